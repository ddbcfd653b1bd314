#pragma once

#include "platform/Clock.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zendrel {

// Lookups per minute over the last minute, and the time the remaining rows will take at that
// pace. Ended lookups are counted in one-second buckets, so the memory stays the same however
// fast lookups end.
class LookupRate {
public:
    // Counting starts at `now` (the start of a search).
    void start(Millis now);
    // One lookup ended at `now`.
    void ended(Millis now);
    // Lookups per minute over the minute before `now`; over the time since the start while that
    // is shorter (but at least a second, so the first lookups do not promise a rate).
    double perMinute(Millis now) const;
    // Seconds `remaining` rows take at the current rate; none while the rate is unknown.
    std::optional<std::int64_t> secondsLeft(std::size_t remaining, Millis now) const;

private:
    static constexpr int kBuckets = 60;
    void advance(std::int64_t second);

    Millis start_ = 0;
    std::int64_t second_ = 0; // the second (since start) the newest bucket counts
    std::array<std::uint32_t, kBuckets> buckets_{};
};

} // namespace zendrel
