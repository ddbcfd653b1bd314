#pragma once

#include "tools/gateway/GatewayAnswers.h"
#include "tools/gateway/GatewayConnection.h"
#include "tools/gateway/GatewayOptions.h"
#include "tools/gateway/NameRegistry.h"
#include "tools/gateway/TlsContext.h"

#include <csignal>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zendrel::gateway {

// The ports the gateway listens on.
struct GatewayPorts {
    std::uint16_t web = 0;
    std::optional<std::uint16_t> whois;
    std::optional<std::uint16_t> tls;
};

// The line the gateway prints once it listens: the web port first (all that older readers look
// at), then " whois=N" and " tls=N" for the other listeners.
std::string PortLine(const GatewayPorts& ports);

// The gateway's single-threaded poll() loop on 127.0.0.1: accepts clients on each listener,
// hands each complete request its reply and stops on its own after the request limit or the
// idle time.
class GatewayServer {
public:
    GatewayServer(GatewayOptions options, NameRegistry names);
    ~GatewayServer();
    GatewayServer(const GatewayServer&) = delete;
    GatewayServer& operator=(const GatewayServer&) = delete;

    // Binds and listens on every port the options ask for; returns the ports (the chosen ones
    // where the options say 0). Throws std::runtime_error with the reason when a port cannot be
    // had or the TLS certificate and key cannot be used.
    GatewayPorts listen();

    // Serves until the request limit is reached and answered, the gateway was idle for the idle
    // time, or `stop` becomes non-zero.
    void run(const volatile std::sig_atomic_t& stop);

private:
    enum class ListenerKind { Web, Whois, Tls };
    struct Listener {
        int fd;
        ListenerKind kind;
    };

    std::uint16_t open(std::uint16_t port, ListenerKind kind);
    bool finished(std::int64_t now) const;
    int pollTimeout(std::int64_t now) const;
    void runDue(std::int64_t now);
    void acceptClients(const Listener& listener, std::int64_t now);
    void answer(GatewayConnection& c, std::int64_t now);
    void stopListening();

    GatewayOptions options_;
    NameRegistry names_;
    GatewayAnswers answers_;
    std::unique_ptr<TlsContext> tls_; // set when a TLS listener is asked for
    std::vector<Listener> listeners_;
    std::size_t maxConnections_;
    long requests_ = 0;
    std::int64_t lastActivity_ = 0;
    std::vector<std::unique_ptr<GatewayConnection>> connections_;
};

} // namespace zendrel::gateway
