#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zendrel::gateway {

// How the gateway answers once it has read a request.
enum class ReplyMode {
    Normal,  // the whole reply, then an orderly close
    Close,   // close without sending anything
    Reset,   // the header and half the body, then a connection reset
    Trickle, // the whole reply, one byte every trickleMs
};

struct GatewayOptions {
    std::uint16_t port = 18043;
    std::vector<std::string> nameFiles;
    bool builtInNames = true;
    int delayMs = 0;
    ReplyMode mode = ReplyMode::Normal;
    int trickleMs = 10;
    bool contentLength = true;
    long maxRequests = 0; // 0: no limit
    int idleExitMs = 0;   // 0: never
};

// Reads the command line (without the program name). On a bad option, returns none and puts a
// one-line reason into `error`.
std::optional<GatewayOptions> ParseGatewayOptions(const std::vector<std::string>& args,
                                                  std::string& error);

// The text printed for --help and after a bad option.
std::string GatewayUsage();

} // namespace zendrel::gateway
