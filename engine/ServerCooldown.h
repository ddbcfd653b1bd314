#pragma once

#include "platform/Clock.h"

#include <limits>
#include <optional>

namespace zendrel {

// How long a server that refused is left alone. A server that refuses, or answers with nothing
// at all, is told to wait: for the time it names itself (Retry-After, at most 15 minutes),
// otherwise 5 seconds, doubling with every further refusal up to 5 minutes. One answer brings
// it back to normal.
//
// Lookups already running when a pause began say nothing new about the server: their refusals
// may lengthen the pause but do not double it again, and their answers do not end the streak.
class ServerCooldown {
public:
    static constexpr Millis kFirstPause = 5000;
    static constexpr Millis kLongestPause = 5 * 60 * 1000;
    static constexpr Millis kLongestRetryAfter = 15 * 60 * 1000;

    // A lookup started at `startedAt` was refused at `now`; `retryAfter` is the wait the server
    // asked for, if it named one.
    void refused(Millis now, Millis startedAt, std::optional<Millis> retryAfter = std::nullopt);
    // A lookup started at `startedAt` got an answer.
    void answered(Millis startedAt);

    bool paused(Millis now) const { return now < until_; }
    // When the pause ends (in the past when there is none).
    Millis pausedUntil() const { return until_; }
    // Refusals in a row, lookups of one pause counted once.
    int streak() const { return streak_; }
    void reset() { *this = ServerCooldown(); }

private:
    Millis until_ = std::numeric_limits<Millis>::min();
    Millis lastPauseAt_ = std::numeric_limits<Millis>::min();
    int streak_ = 0;
};

} // namespace zendrel
