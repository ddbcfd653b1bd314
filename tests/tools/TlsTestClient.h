#pragma once

#include <cstdint>
#include <string>

namespace zendrel::test {

// What a TLS test client saw: whether the handshake and the certificate check passed, the bytes
// that came until the server closed, and how the stream ended.
struct TlsFetch {
    bool connected = false; // handshake done and the certificate verified for the host
    std::string error;      // why not, or why reading stopped early
    std::string bytes;
    bool closeNotify = false; // the server ended with a TLS close-notify
    bool timedOut = false;
};

// Connects to 127.0.0.1:port with blocking OpenSSL calls bounded by `timeoutMs` each, trusts only
// the CA in `caFile`, checks the certificate for `host` (a name or an IP address) and sends
// SNI for a name, sends `request` and reads until the server closes or `maxBytes` came.
TlsFetch FetchOverTls(std::uint16_t port, const std::string& caFile, const std::string& host,
                      const std::string& request, int timeoutMs = 10000,
                      std::size_t maxBytes = 16 * 1024 * 1024);

} // namespace zendrel::test
