#include "tests/support/TlsServer.h"

#include "tests/support/LoopbackListener.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

constexpr int kAcceptLimitMs = 10000;
constexpr int kIoLimitSeconds = 5;
constexpr int kHoldLimitMs = 20000;

void SetTimeouts(int fd) {
    timeval tv{kIoLimitSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool UseIdentity(SSL_CTX* ctx, const PemPair& identity) {
    BIO* certBio =
        BIO_new_mem_buf(identity.certificate.data(), static_cast<int>(identity.certificate.size()));
    BIO* keyBio = BIO_new_mem_buf(identity.key.data(), static_cast<int>(identity.key.size()));
    X509* cert = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
    bool ok = cert && key && SSL_CTX_use_certificate(ctx, cert) == 1 &&
              SSL_CTX_use_PrivateKey(ctx, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    BIO_free(certBio);
    BIO_free(keyBio);
    return ok;
}

bool WriteAll(SSL* ssl, const char* data, std::size_t len) {
    while (len > 0) {
        int n = SSL_write(ssl, data, static_cast<int>(len));
        if (n <= 0)
            return false;
        data += n;
        len -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadRequest(SSL* ssl) {
    std::string got;
    char buf[4096];
    while (got.find("\r\n\r\n") == std::string::npos && got.size() < 65536) {
        int n = SSL_read(ssl, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

// Asks for renegotiation, which the client refuses with a warning; OpenSSL takes the refusal as
// fatal and answers with a handshake-failure alert: a real, encrypted alert mid-stream.
void SendFatalAlert(SSL* ssl) {
    if (SSL_renegotiate(ssl) != 1 || SSL_do_handshake(ssl) <= 0)
        return;
    char buf[256];
    for (int i = 0; i < 4 && SSL_read(ssl, buf, sizeof buf) > 0; ++i) {
    }
}

// Keeps the connection open until the client closes it, so a client that only notices the end
// of the stream from the descriptor would wait here.
void HoldUntilClientCloses(int fd, const std::atomic<bool>& stopping) {
    for (int waited = 0; !stopping && waited < kHoldLimitMs; waited += 20) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        char buf[256];
        ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK))
            return;
    }
}

} // namespace

TlsServer::TlsServer(Options options) : options_(std::move(options)) {
    listenFd_ = ListenOnLoopback(4, port_);
    thread_ = std::thread([this] { run(); });
}

TlsServer::~TlsServer() {
    stop();
}

std::string TlsServer::request() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return request_;
}

void TlsServer::stop() {
    StopServing(stopping_, thread_, listenFd_);
}

void TlsServer::run() {
    for (int waited = 0; !stopping_ && waited < kAcceptLimitMs; waited += 20) {
        const int fd = AcceptWithinATick(listenFd_);
        if (fd < 0)
            continue;
        SetTimeouts(fd);
        play(fd);
        ::close(fd);
        break;
    }
    ERR_clear_error();
}

SSL_CTX* TlsServer::makeContext() const {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (ctx == nullptr)
        return nullptr;
    if (options_.tls10Only) {
        SSL_CTX_set_min_proto_version(ctx, TLS1_VERSION);
        SSL_CTX_set_max_proto_version(ctx, TLS1_VERSION);
        SSL_CTX_set_cipher_list(ctx, "DEFAULT:@SECLEVEL=0"); // otherwise TLS 1.0 is not offered
    } else if (options_.ending == Ending::AlertMidBody) {
        SSL_CTX_set_max_proto_version(ctx, TLS1_2_VERSION); // renegotiation ended with 1.3
    }
    if (!UseIdentity(ctx, options_.identity)) {
        SSL_CTX_free(ctx);
        return nullptr;
    }
    return ctx;
}

void TlsServer::play(int fd) {
    SSL_CTX* ctx = makeContext();
    SSL* ssl = ctx != nullptr ? SSL_new(ctx) : nullptr;
    if (ssl != nullptr && SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
        handshakeDone_ = true;
        serve(ssl, fd);
    }
    SSL_free(ssl);
    SSL_CTX_free(ctx);
}

void TlsServer::serve(SSL* ssl, int fd) {
    std::string got = ReadRequest(ssl);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        request_ = got;
    }
    const std::string& reply = options_.reply;
    bool midBody =
        options_.ending == Ending::AlertMidBody || options_.ending == Ending::GarbageMidBody;
    std::size_t len = midBody ? std::min(options_.cut, reply.size()) : reply.size();
    if (!WriteAll(ssl, reply.data(), len))
        return;
    switch (options_.ending) {
    case Ending::CloseNotify:
        SSL_shutdown(ssl);
        break;
    case Ending::NoCloseNotify:
        break;
    case Ending::AlertMidBody:
        SendFatalAlert(ssl);
        HoldUntilClientCloses(fd, stopping_);
        break;
    case Ending::GarbageMidBody: {
        // An application-data record whose contents decrypt to nothing valid.
        std::string record("\x17\x03\x03\x00\x40", 5);
        record.append(64, '\x5a');
        ::send(fd, record.data(), record.size(), MSG_NOSIGNAL);
        HoldUntilClientCloses(fd, stopping_);
        break;
    }
    }
}

} // namespace zendrel::test
