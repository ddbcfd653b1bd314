#pragma once

#include "tools/certs/Certificates.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

struct ssl_st;
struct ssl_ctx_st;

namespace zendrel::test {

// A TLS server on 127.0.0.1 for one connection, played on its own thread with OpenSSL's server
// side and a blocking socket: the peers a TLS client has to survive, from a wrong certificate to
// a stream that breaks in the middle of a reply. Every wait is bounded by a few seconds.
class TlsServer {
public:
    enum class Ending {
        CloseNotify,    // the whole reply, close-notify, close
        NoCloseNotify,  // the whole reply, then the connection just closes
        AlertMidBody,   // part of the reply, then a fatal alert (TLS 1.2 only)
        GarbageMidBody, // part of the reply, then a record that is not one
    };
    struct Options {
        PemPair identity;
        std::string reply;   // sent once the request has been read
        std::size_t cut = 0; // bytes of the reply sent before a mid-body ending
        Ending ending = Ending::CloseNotify;
        bool tls10Only = false; // speaks TLS 1.0 and nothing newer
    };

    explicit TlsServer(Options options);
    ~TlsServer();
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;

    int port() const { return port_; }
    // The request read after the handshake (empty when the handshake failed).
    std::string request() const;
    // Whether a handshake completed on the server's side.
    bool handshakeDone() const { return handshakeDone_.load(); }
    // Waits for the connection to end and the thread to finish.
    void stop();

private:
    void run();
    void play(int fd);
    void serve(ssl_st* ssl, int fd);
    ssl_ctx_st* makeContext() const;

    Options options_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> handshakeDone_{false};
    mutable std::mutex mutex_;
    std::string request_;
    std::thread thread_;
};

} // namespace zendrel::test
