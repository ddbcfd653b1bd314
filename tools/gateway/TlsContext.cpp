#include "tools/gateway/TlsContext.h"

#include "tools/gateway/TlsStream.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <stdexcept>
#include <unistd.h>

namespace zendrel::gateway {

namespace {

std::string openSslReason() {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "unknown reason";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

} // namespace

TlsContext::TlsContext(const std::string& certificateFile, const std::string& keyFile)
    : ctx_(SSL_CTX_new(TLS_server_method())) {
    if (!ctx_)
        throw std::runtime_error("cannot set up TLS: " + openSslReason());
    SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    SSL_CTX_set_num_tickets(ctx_, 0);
    SSL_CTX_set_session_cache_mode(ctx_, SSL_SESS_CACHE_OFF);
    // Writes may be partial and resumed from a moved buffer, as a poll loop does them; idle
    // connections give their buffers back.
    SSL_CTX_set_mode(ctx_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER |
                               SSL_MODE_RELEASE_BUFFERS);
    std::string problem;
    if (SSL_CTX_use_certificate_chain_file(ctx_, certificateFile.c_str()) != 1)
        problem = "cannot use TLS certificate " + certificateFile + ": " + openSslReason();
    else if (SSL_CTX_use_PrivateKey_file(ctx_, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        problem = "cannot use TLS key " + keyFile + ": " + openSslReason();
    else if (SSL_CTX_check_private_key(ctx_) != 1)
        problem = "TLS key " + keyFile + " does not belong to " + certificateFile;
    if (!problem.empty()) {
        SSL_CTX_free(ctx_);
        throw std::runtime_error(problem);
    }
}

TlsContext::~TlsContext() {
    SSL_CTX_free(ctx_);
}

std::unique_ptr<ClientStream> TlsContext::accept(int fd) const {
    SSL* ssl = SSL_new(ctx_);
    if (!ssl || SSL_set_fd(ssl, fd) != 1) {
        SSL_free(ssl);
        ERR_clear_error();
        ::close(fd);
        return nullptr;
    }
    SSL_set_accept_state(ssl);
    return MakeTlsStream(fd, ssl);
}

} // namespace zendrel::gateway
