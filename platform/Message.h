#pragma once

#include <cstdint>

namespace zendrel {

// A window message: a number and two parameters, as the handlers of the system expect them.
struct Message {
    unsigned msg = 0;
    std::intptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Delivered to a target for each tick of one of its timers; wParam carries the timer id.
inline constexpr unsigned WM_TIMER = 0x0113;
// First message number free for a target's own use.
inline constexpr unsigned WM_USER = 0x0400;

// Readiness bits reported by fd watches in lParam of the watch's message (wParam = fd).
enum FdEvents : unsigned {
    kFdReadable = 1,
    kFdWritable = 2,
    kFdHangup = 4,
    kFdError = 8,
};

} // namespace zendrel
