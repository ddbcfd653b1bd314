#pragma once

#include "tools/gateway/GatewayOptions.h"
#include "tools/gateway/GatewayReply.h"
#include "tools/gateway/NameRegistry.h"

#include <string_view>

namespace zendrel::gateway {

// What the gateway says to one complete request, the same made-up registrations on every
// listener.
class GatewayAnswers {
public:
    GatewayAnswers(const GatewayOptions& options, const NameRegistry& names);

    // The reply to an HTTP request head: HTTP/1.0 on the plain listener; HTTP/1.1 over TLS,
    // where a 1.1 request without Host is refused, as HTTP/1.1 demands.
    GatewayReply web(std::string_view head, bool overTls) const;

    // The reply to a port-43 query line: the page's text, or a one-line error.
    GatewayReply whois(std::string_view query) const;

private:
    const GatewayOptions& options_;
    const NameRegistry& names_;
};

} // namespace zendrel::gateway
