#pragma once

#include <cstdint>
#include <string>

namespace zendrel::test {

// What a plain client socket saw until the peer closed, reset or the time ran out.
struct Received {
    std::string bytes;
    bool reset = false;    // ended by ECONNRESET rather than an orderly close
    bool timedOut = false; // still open when the time ran out
    int reads = 0;         // recv() calls that returned data
};

// Connects a blocking TCP socket to 127.0.0.1:port; -1 on failure.
int ConnectLoopback(std::uint16_t port);

// Sends all of `bytes`; false when the peer refused them.
bool SendAll(int fd, const std::string& bytes);

// Reads until the peer closes or resets, or `timeoutMs` passes; closes `fd`.
Received ReadUntilClosed(int fd, int timeoutMs);

// Connects, sends `request` and reads the whole answer.
Received FetchLoopback(std::uint16_t port, const std::string& request, int timeoutMs = 10000);

} // namespace zendrel::test
