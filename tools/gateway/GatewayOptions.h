#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zendrel::gateway {

// How the gateway answers once it has read a request or a WHOIS query.
enum class ReplyMode {
    Normal,  // the whole reply, then an orderly close
    Close,   // close without sending anything
    Reset,   // the header and half the body, then a connection reset
    Trickle, // the whole reply, one byte every trickleMs
    Silent,  // never answer; hold the connection until the client goes
    Endless, // the reply's body again and again, until the client goes
    Nul,     // the reply with NUL bytes in its body
};

struct GatewayOptions {
    std::uint16_t port = 18043;
    std::optional<std::uint16_t> whoisPort; // none: no WHOIS listener; 0: any free port
    std::optional<std::uint16_t> tlsPort;   // none: no TLS listener; 0: any free port
    std::string tlsCert;
    std::string tlsKey;
    bool chunked = false;            // replies on the TLS listener in chunked framing
    std::string makeCertificatesDir; // set: write demo certificates there and exit
    std::vector<std::string> nameFiles;
    bool builtInNames = true;
    int delayMs = 0;
    ReplyMode mode = ReplyMode::Normal;
    int trickleMs = 10;
    bool contentLength = true;
    int readTimeoutMs = 30000; // a client must have sent its request (or query) by then
    long maxRequests = 0;      // 0: no limit
    int idleExitMs = 0;        // 0: never
};

// Reads the command line (without the program name). On a bad option, returns none and puts a
// one-line reason into `error`.
std::optional<GatewayOptions> ParseGatewayOptions(const std::vector<std::string>& args,
                                                  std::string& error);

// The text printed for --help and after a bad option.
std::string GatewayUsage();

} // namespace zendrel::gateway
