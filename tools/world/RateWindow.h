#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

namespace zendrel::world {

// "N per period", as registries publish their limits (1 per second, 15 per minute, 1,800 per
// 15 minutes, 7,200 per day).
struct Rate {
    int count = 0;
    std::int64_t periodMs = 0;
};

// Reads "N/s", "N/min", "N/h", "N/d", also with a multiple of the unit ("1800/15min",
// "15/60s"). None for anything else, for N < 1 and for periods beyond 30 days.
std::optional<Rate> ParseRate(std::string_view text);

// Counts events in a sliding window of one period, less a grace: clients cannot send requests
// exactly one period apart (connecting takes a varying time), and a real server that refused a
// client pacing at its published rate would be useless to measure pacing against.
class RateWindow {
public:
    RateWindow(Rate rate, std::int64_t graceMs);

    // True when `rate.count` events were recorded in the window that ends at `now`.
    bool full(std::int64_t now);
    void record(std::int64_t now);

private:
    void forgetBefore(std::int64_t now);

    Rate rate_;
    std::int64_t windowMs_;
    std::deque<std::int64_t> times_;
};

} // namespace zendrel::world
