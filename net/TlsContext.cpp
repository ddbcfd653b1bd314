// What every TLS session of the program shares: the client context and the way encrypted bytes
// reach the wire. OpenSSL's own socket BIO writes with plain send(), so a peer that goes away
// mid-write would kill the process with SIGPIPE; ours sends with MSG_NOSIGNAL, like the plain
// socket does, and reports the loss as an ordinary reset.
#include "net/TlsContext.h"

#include "net/TlsSessionCache.h"

#include <cerrno>
#include <cstdint>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>

namespace zendrel {

namespace {

int DescriptorOf(BIO* bio) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
}

bool Retryable(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

int SocketWrite(BIO* bio, const char* data, int len) {
    BIO_clear_retry_flags(bio);
    ssize_t n = ::send(DescriptorOf(bio), data, static_cast<std::size_t>(len), MSG_NOSIGNAL);
    if (n < 0 && Retryable(errno))
        BIO_set_retry_write(bio);
    return static_cast<int>(n);
}

int SocketRead(BIO* bio, char* buffer, int size) {
    BIO_clear_retry_flags(bio);
    ssize_t n = ::recv(DescriptorOf(bio), buffer, static_cast<std::size_t>(size), 0);
    if (n < 0 && Retryable(errno))
        BIO_set_retry_read(bio);
    if (n == 0)
        BIO_set_flags(bio, BIO_FLAGS_IN_EOF); // the record layer asks BIO_eof() to tell EOF apart
    return static_cast<int>(n);
}

long SocketControl(BIO* bio, int cmd, long, void*) {
    switch (cmd) {
    case BIO_CTRL_FLUSH:
        return 1;
    case BIO_CTRL_EOF:
        return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0;
    default:
        return 0;
    }
}

int SocketCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* MakeSocketMethod() {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "zendrel socket");
    if (m == nullptr)
        return nullptr;
    BIO_meth_set_write(m, SocketWrite);
    BIO_meth_set_read(m, SocketRead);
    BIO_meth_set_ctrl(m, SocketControl);
    BIO_meth_set_create(m, SocketCreate);
    return m;
}

// Renegotiation is refused so that a write never has to wait for a read; buffers are released
// between records so that a hundred idle connections stay small.
SSL_CTX* MakeContext(std::string& failure) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    if (ctx == nullptr) {
        failure = "TLS not available: cannot make a client context";
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_options(ctx, SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_mode(ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER |
                              SSL_MODE_RELEASE_BUFFERS);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    KeepOfferedSessions(ctx);
    if (SSL_CTX_set_default_verify_paths(ctx) != 1) {
        SSL_CTX_free(ctx);
        failure = "TLS not available: cannot read the trusted certificates";
        return nullptr;
    }
    return ctx;
}

} // namespace

SSL_CTX* TlsClientContext(std::string& failure) {
    static std::string initFailure;
    static SSL_CTX* const ctx = MakeContext(initFailure);
    ERR_clear_error();
    if (ctx == nullptr)
        failure = initFailure;
    return ctx;
}

BIO* NewSocketBio(int fd) {
    static BIO_METHOD* const method = MakeSocketMethod();
    if (method == nullptr)
        return nullptr;
    BIO* bio = BIO_new(method);
    if (bio != nullptr)
        BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
    return bio;
}

} // namespace zendrel
