#pragma once

#include "tools/certs/Certificates.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct ssl_ctx_st;

namespace zendrel::test {

// A registry stand-in on 127.0.0.1 that answers each connection with the reply chosen for the
// request it read: in the clear, a port-43 query line; over TLS, an HTTP request read to its
// blank line. The reply may depend on how often the same request came before, as a registry
// refuses a client and answers it later. Connections are served one after another on the
// server's own thread (registries are asked about once a second, so none waits long); every
// read and write is bounded, and at most `maxConnections` are served.
class ReplayServer {
public:
    // The bytes to send for `request` (the query line or the HTTP request head, as read), the
    // `repeat`-th time a request with that first line came (0 the first time).
    using Answer = std::function<std::string(const std::string& request, int repeat)>;

    // A port-43 server.
    explicit ReplayServer(Answer answer, int maxConnections = 32);
    // An HTTPS server with `identity` as its certificate and key.
    ReplayServer(const PemPair& identity, Answer answer, int maxConnections = 32);
    ~ReplayServer();
    ReplayServer(const ReplayServer&) = delete;
    ReplayServer& operator=(const ReplayServer&) = delete;

    int port() const { return port_; }
    // The requests read so far, in arriving order.
    std::vector<std::string> requests() const;
    // Stops accepting and waits for the thread.
    void stop();

private:
    void listen();
    void run();
    std::optional<std::string> serve(int fd);
    std::optional<std::string> serveTls(int fd);
    std::string reply(const std::string& request);

    Answer answer_;
    int maxConnections_;
    ssl_ctx_st* tls_ = nullptr;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace zendrel::test
