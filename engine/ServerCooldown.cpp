#include "engine/ServerCooldown.h"

#include <algorithm>

namespace zendrel {

void ServerCooldown::refused(Millis now, Millis startedAt, std::optional<Millis> retryAfter) {
    bool sameEpisode = streak_ > 0 && startedAt < lastPauseAt_;
    if (!sameEpisode)
        ++streak_;
    Millis wait;
    if (retryAfter) {
        wait = std::clamp<Millis>(*retryAfter, 0, kLongestRetryAfter);
    } else {
        // 5 s, 10 s, 20 s … up to 5 min; the shift is bounded before it could overflow.
        int doublings = std::min(streak_ - 1, 16);
        wait = std::min(kFirstPause << doublings, kLongestPause);
    }
    until_ = std::max(until_, now + wait);
    lastPauseAt_ = now;
}

void ServerCooldown::answered(Millis startedAt) {
    if (startedAt >= lastPauseAt_)
        streak_ = 0;
}

} // namespace zendrel
