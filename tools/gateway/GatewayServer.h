#pragma once

#include "tools/gateway/GatewayConnection.h"
#include "tools/gateway/GatewayOptions.h"
#include "tools/gateway/NameRegistry.h"

#include <csignal>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel::gateway {

// The gateway's single-threaded poll() loop on 127.0.0.1: accepts clients, hands each complete
// request its reply and stops on its own after the request limit or the idle time.
class GatewayServer {
public:
    GatewayServer(GatewayOptions options, NameRegistry names);
    ~GatewayServer();
    GatewayServer(const GatewayServer&) = delete;
    GatewayServer& operator=(const GatewayServer&) = delete;

    // Binds and listens; returns the port (the chosen one when the options say 0). Throws
    // std::runtime_error with the system's reason when the port cannot be had.
    std::uint16_t listen();

    // Serves until the request limit is reached and answered, the gateway was idle for the idle
    // time, or `stop` becomes non-zero.
    void run(const volatile std::sig_atomic_t& stop);

    // The whole HTTP reply to a request head.
    std::string replyFor(std::string_view head) const;

private:
    bool finished(std::int64_t now) const;
    int pollTimeout(std::int64_t now) const;
    void runDue(std::int64_t now);
    void acceptClients(std::int64_t now);
    void handleRead(GatewayConnection& c, std::int64_t now);
    void stopListening();

    GatewayOptions options_;
    NameRegistry names_;
    int listenFd_ = -1;
    std::size_t maxConnections_;
    long requests_ = 0;
    std::int64_t lastActivity_ = 0;
    std::vector<std::unique_ptr<GatewayConnection>> connections_;
};

} // namespace zendrel::gateway
