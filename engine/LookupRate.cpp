#include "engine/LookupRate.h"

#include <algorithm>
#include <cmath>

namespace zendrel {

void LookupRate::start(Millis now) {
    start_ = now;
    second_ = 0;
    buckets_.fill(0);
}

void LookupRate::advance(std::int64_t second) {
    if (second <= second_)
        return;
    // Buckets of the seconds skipped over counted nothing.
    for (std::int64_t s = second_ + 1; s <= second && s <= second_ + kBuckets; ++s)
        buckets_[static_cast<std::size_t>(s % kBuckets)] = 0;
    second_ = second;
}

void LookupRate::ended(Millis now) {
    const std::int64_t second = std::max<Millis>(0, now - start_) / 1000;
    advance(second);
    if (second > second_ - kBuckets) // a late report for a second already forgotten is dropped
        ++buckets_[static_cast<std::size_t>(second % kBuckets)];
}

double LookupRate::perMinute(Millis now) const {
    const Millis elapsed = std::max<Millis>(0, now - start_);
    if (elapsed < 1000)
        return 0;
    const std::int64_t current = elapsed / 1000;
    // The window covers the whole seconds before the current one (and the current one so far).
    std::uint64_t count = 0;
    for (std::int64_t s = std::max<std::int64_t>(0, current - kBuckets + 1); s <= current; ++s) {
        if (s <= second_ && s > second_ - kBuckets)
            count += buckets_[static_cast<std::size_t>(s % kBuckets)];
    }
    // The oldest bucket counts a whole second, the current one the part of it gone by.
    const Millis windowMs = std::min<Millis>(elapsed, (kBuckets - 1) * 1000 + elapsed % 1000);
    if (windowMs <= 0)
        return 0;
    return static_cast<double>(count) * 60000.0 / static_cast<double>(windowMs);
}

std::optional<std::int64_t> LookupRate::secondsLeft(std::size_t remaining, Millis now) const {
    const double rate = perMinute(now);
    if (rate <= 0)
        return std::nullopt;
    return static_cast<std::int64_t>(std::ceil(static_cast<double>(remaining) * 60.0 / rate));
}

} // namespace zendrel
