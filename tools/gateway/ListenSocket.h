#pragma once

#include <cstdint>

namespace zendrel::gateway {

// A non-blocking listening socket on 127.0.0.1:`port` (0: any free port); sets `bound` to the
// port it got. Throws std::runtime_error with the system's reason when the port cannot be had.
int ListenOnLoopback(std::uint16_t port, std::uint16_t& bound);

} // namespace zendrel::gateway
