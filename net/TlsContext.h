#pragma once

#include <string>

struct bio_st;
struct ssl_ctx_st;

namespace zendrel {

// The one client context of the process, made on first use: TLS 1.2 or newer, certificates
// verified against OpenSSL's default paths (so SSL_CERT_FILE and SSL_CERT_DIR, read when it is
// made, choose the trust store); nullptr with `failure` set when it cannot be made.
ssl_ctx_st* TlsClientContext(std::string& failure);

// A BIO reading and writing descriptor `fd` (not owned) that never raises SIGPIPE; nullptr when
// it cannot be made.
bio_st* NewSocketBio(int fd);

} // namespace zendrel
