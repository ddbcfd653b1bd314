// A deliberately plain TLS client, independent of the program's own: blocking OpenSSL calls with
// socket time limits, verification against one CA file only.
#include "tests/tools/TlsTestClient.h"

#include "tests/support/LoopbackClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace zendrel::test {

namespace {

std::string openSslError() {
    char text[256] = "no reason given";
    if (unsigned long code = ERR_get_error())
        ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return text;
}

void limitSocketTime(int fd, int timeoutMs) {
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool isAddress(const std::string& host) {
    in_addr a{};
    return ::inet_pton(AF_INET, host.c_str(), &a) == 1;
}

SSL_CTX* clientContext(const std::string& caFile, std::string& error) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    if (ctx && SSL_CTX_load_verify_locations(ctx, caFile.c_str(), nullptr) == 1) {
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        return ctx;
    }
    error = "cannot load " + caFile + ": " + openSslError();
    SSL_CTX_free(ctx);
    return nullptr;
}

bool expectHost(SSL* ssl, const std::string& host) {
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
    if (isAddress(host))
        return X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1;
    return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 &&
           X509_VERIFY_PARAM_set1_host(param, host.c_str(), 0) == 1;
}

void readToEnd(SSL* ssl, TlsFetch& f, std::size_t maxBytes) {
    char buf[16384];
    while (f.bytes.size() < maxBytes) {
        int n = SSL_read(ssl, buf, sizeof buf);
        if (n > 0) {
            f.bytes.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        int why = SSL_get_error(ssl, n);
        f.closeNotify = why == SSL_ERROR_ZERO_RETURN;
        f.timedOut = why == SSL_ERROR_WANT_READ || (errno == EAGAIN && why == SSL_ERROR_SYSCALL);
        if (!f.closeNotify)
            f.error =
                why == SSL_ERROR_SYSCALL ? "connection ended without close-notify" : openSslError();
        return;
    }
}

void exchange(int fd, SSL_CTX* ctx, const std::string& host, const std::string& request,
              std::size_t maxBytes, TlsFetch& f) {
    SSL* ssl = SSL_new(ctx);
    if (!ssl || SSL_set_fd(ssl, fd) != 1 || !expectHost(ssl, host)) {
        f.error = "cannot set up the client: " + openSslError();
    } else if (SSL_connect(ssl) != 1) {
        long verify = SSL_get_verify_result(ssl);
        f.error = verify != X509_V_OK ? X509_verify_cert_error_string(verify) : openSslError();
    } else {
        f.connected = true;
        if (SSL_write(ssl, request.data(), static_cast<int>(request.size())) <= 0)
            f.error = "cannot send the request: " + openSslError();
        else
            readToEnd(ssl, f, maxBytes);
    }
    SSL_free(ssl);
}

} // namespace

TlsFetch FetchOverTls(std::uint16_t port, const std::string& caFile, const std::string& host,
                      const std::string& request, int timeoutMs, std::size_t maxBytes) {
    TlsFetch f;
    SSL_CTX* ctx = clientContext(caFile, f.error);
    if (!ctx)
        return f;
    int fd = ConnectLoopback(port);
    if (fd < 0) {
        f.error = "cannot connect";
    } else {
        limitSocketTime(fd, timeoutMs);
        exchange(fd, ctx, host, request, maxBytes, f);
        ::close(fd);
    }
    SSL_CTX_free(ctx);
    return f;
}

} // namespace zendrel::test
