#pragma once

#include "lookup/ReplyState.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zendrel {

// Why a lookup got no complete reply. The row itself only ever shows the verdict ("no data" when
// nothing arrived); the reason is for progress output and logs.
enum class LookupFailure : std::uint8_t {
    None,              // the transfer ended normally
    TimeLimit,         // aborted when the time limit was passed
    UnusableAddress,   // the address could not even be started on; nothing was sent
    NameNotFound,      // the server's host name did not resolve
    ConnectionRefused, // nothing listens at the server's address
    Tls,               // the TLS handshake or the server's certificate failed; see `detail`
    ProxyTunnel,       // the proxy would not open a tunnel to the server; see `detail`
    Network,           // any other failure on the wire; `error` has its number
};

// How the lookup of one row ended, kept with the lookup until it is released.
struct LookupOutcome {
    LookupFailure failure = LookupFailure::None;
    int error = 0;              // the network layer's error number (socket numbering), 0 if none
    int httpStatus = 0;         // status of an HTTP reply; 0 for other kinds or when none came
    std::size_t replyBytes = 0; // the reply text that was read (up to the cap)
    ReplyState verdict = ReplyState::NoData;
    // Nothing arrived that the method could read (for an RDAP line a status line is something).
    bool noReply = true;
    // The server refused to answer (a busy phrase of its line, or 429/503): no verdict was
    // read, and unless the row gave up it waits for a retry.
    bool refused = false;
    std::string retryAfter; // the reply's Retry-After value, as sent; empty when none
    std::string detail;     // the failure in words where its kind alone does not say enough
};

// A short lower-case text for `failure` ("time limit", "connection refused" …); empty for None.
const char* LookupFailureText(LookupFailure failure);

// The failure a network error number stands for; None for 0.
LookupFailure FailureFromNetworkError(int error);

} // namespace zendrel
