#include "tests/support/ReplayServer.h"

#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

constexpr int kIoLimitSeconds = 5;
constexpr std::size_t kRequestLimit = 65536;

void SetTimeouts(int fd) {
    timeval tv{kIoLimitSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

SSL_CTX* ServerContext(const PemPair& identity) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    BIO* certBio =
        BIO_new_mem_buf(identity.certificate.data(), static_cast<int>(identity.certificate.size()));
    BIO* keyBio = BIO_new_mem_buf(identity.key.data(), static_cast<int>(identity.key.size()));
    X509* cert = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
    const bool ok = ctx && cert && key && SSL_CTX_use_certificate(ctx, cert) == 1 &&
                    SSL_CTX_use_PrivateKey(ctx, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    BIO_free(certBio);
    BIO_free(keyBio);
    if (!ok) {
        SSL_CTX_free(ctx);
        throw std::runtime_error("replay server: unusable certificate or key");
    }
    return ctx;
}

// A port-43 query ends with its line feed, an HTTP request head with its blank line.
bool Complete(const std::string& got, bool http) {
    return got.size() >= kRequestLimit || got.find(http ? "\r\n\r\n" : "\n") != std::string::npos;
}

std::string FirstLine(const std::string& request) {
    return request.substr(0, request.find('\n'));
}

} // namespace

ReplayServer::ReplayServer(Answer answer, int maxConnections)
    : answer_(std::move(answer)), maxConnections_(maxConnections) {
    listen();
}

ReplayServer::ReplayServer(const PemPair& identity, Answer answer, int maxConnections)
    : answer_(std::move(answer)), maxConnections_(maxConnections), tls_(ServerContext(identity)) {
    listen();
}

ReplayServer::~ReplayServer() {
    stop();
    SSL_CTX_free(tls_);
}

void ReplayServer::listen() {
    try {
        listenFd_ = ListenOnLoopback(16, port_);
    } catch (...) {
        SSL_CTX_free(tls_);
        throw;
    }
    thread_ = std::thread([this] { run(); });
}

std::vector<std::string> ReplayServer::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void ReplayServer::stop() {
    StopServing(stopping_, thread_, listenFd_);
}

void ReplayServer::run() {
    // A client that goes away before the reply is written must not end the test process.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    for (int served = 0; !stopping_ && served < maxConnections_;) {
        const int fd = AcceptWithinATick(listenFd_);
        if (fd < 0)
            continue;
        ++served;
        SetTimeouts(fd);
        std::optional<std::string> request = tls_ ? serveTls(fd) : serve(fd);
        ::close(fd);
        if (request) {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(std::move(*request));
        }
    }
    ERR_clear_error();
}

std::string ReplayServer::reply(const std::string& request) {
    int repeat = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& earlier : requests_)
            repeat += FirstLine(earlier) == FirstLine(request);
    }
    return answer_(request, repeat);
}

std::optional<std::string> ReplayServer::serve(int fd) {
    std::string got;
    char buf[4096];
    while (!Complete(got, false)) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return std::nullopt;
        got.append(buf, static_cast<std::size_t>(n));
    }
    const std::string bytes = reply(got);
    for (std::size_t off = 0; off < bytes.size();) {
        ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        off += static_cast<std::size_t>(n);
    }
    return got;
}

std::optional<std::string> ReplayServer::serveTls(int fd) {
    SSL* ssl = SSL_new(tls_);
    std::optional<std::string> request;
    if (ssl && SSL_set_fd(ssl, fd) == 1 && SSL_accept(ssl) == 1) {
        std::string got;
        char buf[4096];
        int n = 1;
        while (!Complete(got, true) && (n = SSL_read(ssl, buf, sizeof buf)) > 0)
            got.append(buf, static_cast<std::size_t>(n));
        if (Complete(got, true)) {
            const std::string bytes = reply(got);
            if (bytes.empty() || SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size())) > 0)
                SSL_shutdown(ssl);
            request = std::move(got);
        }
    }
    SSL_free(ssl);
    return request;
}

} // namespace zendrel::test
