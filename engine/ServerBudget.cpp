#include "engine/ServerBudget.h"

#include <algorithm>

namespace zendrel {

Millis PaceInterval(int count, Millis period) {
    if (count <= 0 || period <= 0)
        return 0;
    return (period + count - 1) / count;
}

ServerLimits Strictest(ServerLimits a, ServerLimits b) {
    ServerLimits s;
    s.interval = std::max(a.interval, b.interval);
    if (a.conns == 0 || b.conns == 0)
        s.conns = std::max(a.conns, b.conns);
    else
        s.conns = std::min(a.conns, b.conns);
    return s;
}

bool ServerBudget::canStart(Millis now) const {
    if (limits_.conns > 0 && live_ >= limits_.conns)
        return false;
    return now >= nextStart_;
}

void ServerBudget::started(Millis now) {
    // Counted from the actual start, never from when it was allowed: a start a tick late then
    // costs that tick, but no two starts are ever closer than the interval, so no window of one
    // period ever holds more than the pace allows.
    nextStart_ = now + limits_.interval;
    ++live_;
}

void ServerBudget::finished() {
    if (live_ > 0)
        --live_;
}

void ServerBudget::reset() {
    nextStart_ = kNever;
    live_ = 0;
}

} // namespace zendrel
