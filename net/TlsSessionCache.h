#pragma once

#include <string>

struct ssl_ctx_st;
struct ssl_st;

namespace zendrel {

// Sessions servers have offered for resumption, one per server name and port, kept for the
// life of the process. A resumed handshake skips the certificate exchange and its signature
// checks; only the server that issued a session can take it up, so resuming never weakens the
// verification of the first handshake, whose server name it was keyed by.
void KeepOfferedSessions(ssl_ctx_st* ctx);

// Offers `ssl` the session last kept for `key` and has the sessions it is given kept under
// `key`, which must outlive `ssl`.
void ResumeSessionOf(ssl_st* ssl, const std::string& key);

} // namespace zendrel
