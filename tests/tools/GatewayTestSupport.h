#pragma once

#include "tests/support/GatewayProcess.h"
#include "tests/support/LoopbackClient.h"

#include <string>
#include <vector>

namespace zendrel::test {

inline std::string GatewayProgram() {
    return ZENDREL_BINARY_DIR "/tools/zendrel-gateway";
}

// Every test gateway stops by itself if a test forgets it.
inline GatewayProcess StartGateway(std::vector<std::string> args = {}) {
    args.insert(args.end(), {"--idle-exit-ms", "20000"});
    return GatewayProcess(GatewayProgram(), std::move(args));
}

inline std::string WhoisRequest(const std::string& name) {
    return "GET /whois?name=" + name + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
}

// An HTTP reply cut at its blank line.
struct SplitReply {
    std::string head;
    std::string body;
    bool complete = false; // a blank line was found
};

inline SplitReply SplitHttpReply(const std::string& bytes) {
    std::size_t end = bytes.find("\r\n\r\n");
    if (end == std::string::npos)
        return {bytes, {}, false};
    return {bytes.substr(0, end + 2), bytes.substr(end + 4), true};
}

} // namespace zendrel::test
