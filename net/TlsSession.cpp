// A TLS client session over the socket's descriptor. Every call clears OpenSSL's per-thread
// error queue first, since SSL_get_error() reads it; errno is taken right after the call, before
// anything else can change it. Once a session has failed, or the peer has closed, it answers
// with that outcome again without touching OpenSSL, so the first reason is the one kept.
#include "net/TlsSession.h"

#include "net/SocketErrors.h"
#include "net/TlsContext.h"
#include "net/TlsFailure.h"
#include "net/TlsSessionCache.h"

#include <arpa/inet.h>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace zendrel {

namespace {

bool IsAddressLiteral(const std::string& name) {
    unsigned char buf[sizeof(in6_addr)];
    return inet_pton(AF_INET, name.c_str(), buf) == 1 ||
           inet_pton(AF_INET6, name.c_str(), buf) == 1;
}

void ClearErrors() {
    ERR_clear_error();
    errno = 0;
}

} // namespace

std::unique_ptr<TlsSession> TlsSession::Start(int fd, const std::string& serverName,
                                              const std::string& service, std::string& failure) {
    SSL_CTX* ctx = TlsClientContext(failure);
    if (ctx == nullptr)
        return nullptr;
    SSL* ssl = SSL_new(ctx);
    if (ssl == nullptr) {
        ERR_clear_error();
        failure = "TLS not available: cannot make a session";
        return nullptr;
    }
    std::unique_ptr<TlsSession> session(new TlsSession(ssl, serverName + ":" + service));
    if (!session->Configure(fd, serverName)) {
        ERR_clear_error();
        failure = "TLS not available: cannot set up the session for " + serverName;
        return nullptr;
    }
    return session;
}

TlsSession::~TlsSession() {
    SSL_free(ssl_);
}

// Names get SNI and a host name check (no partial wildcards); address literals are checked
// against the certificate's IP entries and are never sent as SNI, which forbids them.
bool TlsSession::Configure(int fd, const std::string& serverName) {
    BIO* bio = NewSocketBio(fd);
    if (bio == nullptr)
        return false;
    SSL_set_bio(ssl_, bio, bio);
    if (IsAddressLiteral(serverName)) {
        if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), serverName.c_str()) != 1)
            return false;
    } else {
        SSL_set_hostflags(ssl_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        if (SSL_set1_host(ssl_, serverName.c_str()) != 1 ||
            SSL_set_tlsext_host_name(ssl_, serverName.c_str()) != 1)
            return false;
    }
    ResumeSessionOf(ssl_, resumptionKey_);
    SSL_set_connect_state(ssl_);
    return true;
}

TlsSession::Status TlsSession::Handshake() {
    if (Broken())
        return Status::Failed;
    ClearErrors();
    int rc = SSL_do_handshake(ssl_);
    if (rc == 1)
        return Status::Done;
    int sysError = errno;
    int sslError = SSL_get_error(ssl_, rc);
    if (sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE) {
        ERR_clear_error();
        return sslError == SSL_ERROR_WANT_READ ? Status::WantRead : Status::WantWrite;
    }
    int error = sslError == SSL_ERROR_SYSCALL && sysError != 0 ? WinsockErrorFromErrno(sysError)
                                                               : WSAECONNABORTED;
    Fail(error, TlsHandshakeFailure(ssl_, sslError, sysError));
    return Status::Failed;
}

TlsSession::Io TlsSession::Fail(int error, std::string reason) {
    brokenError_ = error;
    failure_ = std::move(reason);
    return {Status::Failed, 0, error};
}

// Sorts out a read or write that moved nothing.
TlsSession::Io TlsSession::Classify(int result, bool reading) {
    int sysError = errno;
    int sslError = SSL_get_error(ssl_, result);
    switch (sslError) {
    case SSL_ERROR_WANT_READ:
        ERR_clear_error();
        return {Status::WantRead, 0, 0};
    case SSL_ERROR_WANT_WRITE:
        ERR_clear_error();
        readWantsWrite_ = reading;
        return {Status::WantWrite, 0, 0};
    case SSL_ERROR_ZERO_RETURN: // close-notify, or the end of the stream without one
        ERR_clear_error();
        peerClosed_ = true;
        return {Status::Closed, 0, 0};
    case SSL_ERROR_SYSCALL:
        if (sysError == 0 && ERR_peek_error() == 0) {
            peerClosed_ = true;
            return {Status::Closed, 0, 0};
        }
        if (sysError != 0) {
            ERR_clear_error();
            return Fail(WinsockErrorFromErrno(sysError), {});
        }
        [[fallthrough]];
    default:
        return Fail(WSAECONNABORTED, TlsConnectionFailure(sslError, sysError));
    }
}

TlsSession::Io TlsSession::Read(void* buffer, int size) {
    if (Broken())
        return {Status::Failed, 0, brokenError_};
    if (peerClosed_)
        return {Status::Closed, 0, 0};
    readWantsWrite_ = false;
    ClearErrors();
    int n = SSL_read(ssl_, buffer, size);
    if (n > 0)
        return {Status::Done, n, 0};
    return Classify(n, true);
}

TlsSession::Io TlsSession::Write(const void* data, int len) {
    if (Broken())
        return {Status::Failed, 0, brokenError_};
    ClearErrors();
    int n = SSL_write(ssl_, data, len);
    if (n > 0)
        return {Status::Done, n, 0};
    return Classify(n, false);
}

int TlsSession::Available() {
    if (Broken() || peerClosed_)
        return 0;
    int pending = SSL_pending(ssl_);
    if (pending > 0)
        return pending;
    // A peek takes in the records the descriptor holds without handing any plaintext out.
    readWantsWrite_ = false;
    ClearErrors();
    char c;
    int n = SSL_peek(ssl_, &c, 1);
    if (n > 0)
        return SSL_pending(ssl_);
    Classify(n, true);
    return 0;
}

bool TlsSession::Buffered() const {
    return !Broken() && !peerClosed_ && SSL_has_pending(ssl_) == 1;
}

void TlsSession::SendCloseNotify() {
    if (Broken() || SSL_is_init_finished(ssl_) != 1)
        return;
    ClearErrors();
    SSL_shutdown(ssl_);
    ERR_clear_error();
}

} // namespace zendrel
