#pragma once

#include "tools/gateway/ClientStream.h"

#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace zendrel::gateway {

// The TLS listener's server settings: its certificate and key, TLS 1.2 or newer, no session
// tickets (every test connection is a full handshake, as a client's first visit is).
class TlsContext {
public:
    // Loads the PEM certificate chain and key. Throws std::runtime_error naming the file and
    // OpenSSL's reason when either cannot be used.
    TlsContext(const std::string& certificateFile, const std::string& keyFile);
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // A TLS server stream over the accepted socket `fd` (owned by the stream); none when
    // OpenSSL cannot make one, and then `fd` is closed.
    std::unique_ptr<ClientStream> accept(int fd) const;

private:
    SSL_CTX* ctx_;
};

} // namespace zendrel::gateway
