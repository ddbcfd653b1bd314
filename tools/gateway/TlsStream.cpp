// The TLS client stream: OpenSSL on a non-blocking socket, every call returning at once with what
// the socket must become ready for. The error queue is cleared before each call, as
// SSL_get_error() reads it to tell a wait from a failure.
#include "tools/gateway/TlsStream.h"

#include <climits>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

namespace zendrel::gateway {

namespace {

int clamped(std::size_t size) {
    return static_cast<int>(size > INT_MAX ? INT_MAX : size);
}

class TlsStream final : public ClientStream {
public:
    TlsStream(int fd, SSL* ssl) : ClientStream(fd), ssl_(ssl) {}
    ~TlsStream() override { SSL_free(ssl_); }

    bool encrypted() const override { return true; }

    StreamResult open() override {
        ERR_clear_error();
        int rc = SSL_do_handshake(ssl_);
        return rc == 1 ? StreamResult{StreamStatus::Done} : unfinished(rc);
    }

    StreamResult read(char* buf, std::size_t size) override {
        ERR_clear_error();
        int n = SSL_read(ssl_, buf, clamped(size));
        return n > 0 ? StreamResult{StreamStatus::Done, static_cast<std::size_t>(n)}
                     : unfinished(n);
    }

    StreamResult write(const char* data, std::size_t size) override {
        ERR_clear_error();
        int n = SSL_write(ssl_, data, clamped(size));
        return n > 0 ? StreamResult{StreamStatus::Done, static_cast<std::size_t>(n)}
                     : unfinished(n);
    }

    // Sends close-notify without waiting for the client's: the reply is complete, and a client
    // that closes at once must not keep the connection open.
    StreamResult finish() override {
        ERR_clear_error();
        int rc = SSL_shutdown(ssl_);
        if (rc < 0) {
            StreamResult r = unfinished(rc);
            if (r.status == StreamStatus::WantRead || r.status == StreamStatus::WantWrite)
                return r;
        }
        ::shutdown(fd(), SHUT_WR);
        return {StreamStatus::Done};
    }

private:
    StreamResult unfinished(int rc) {
        switch (SSL_get_error(ssl_, rc)) {
        case SSL_ERROR_WANT_READ:
            return {StreamStatus::WantRead};
        case SSL_ERROR_WANT_WRITE:
            return {StreamStatus::WantWrite};
        case SSL_ERROR_ZERO_RETURN:
            return {StreamStatus::Closed};
        default:
            // A reset, plain text on the TLS port, a bad handshake: nothing more to say to it.
            SSL_set_quiet_shutdown(ssl_, 1);
            ERR_clear_error();
            return {StreamStatus::Failed};
        }
    }

    SSL* ssl_;
};

} // namespace

std::unique_ptr<ClientStream> MakeTlsStream(int fd, SSL* ssl) {
    return std::make_unique<TlsStream>(fd, ssl);
}

} // namespace zendrel::gateway
