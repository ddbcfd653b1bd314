#pragma once

#include "platform/Clock.h"

#include <limits>

namespace zendrel {

// How hard one server (a host and port) may be asked: registries allow about one query per
// second per address and block clients that go faster.
struct ServerLimits {
    Millis interval = 0; // the least time between two lookups started; 0: no pace
    int conns = 0;       // lookups at once; 0: no limit
};

// A pace of `count` lookups per `period` as the time between two starts, rounded up so that the
// pace is never exceeded.
Millis PaceInterval(int count, Millis period);

// The strictest of two lines' limits for one server: the longer interval, the smaller count.
ServerLimits Strictest(ServerLimits a, ServerLimits b);

// The budget of one server during a run: starts are spaced evenly at the pace (not in bursts a
// sliding-window server could refuse) and never more than `conns` run at once.
class ServerBudget {
public:
    explicit ServerBudget(ServerLimits limits = {}) : limits_(limits) {}

    const ServerLimits& limits() const { return limits_; }
    void tighten(ServerLimits limits) { limits_ = Strictest(limits_, limits); }

    // True when a lookup may start at `now`.
    bool canStart(Millis now) const;
    // The earliest time the pace allows the next start (whatever the connection count).
    Millis nextStart() const { return nextStart_; }
    int live() const { return live_; }

    void started(Millis now);
    void finished();
    // Forgets the run's starts and live lookups, keeping the limits.
    void reset();

private:
    static constexpr Millis kNever = std::numeric_limits<Millis>::min();

    ServerLimits limits_;
    Millis nextStart_ = kNever;
    int live_ = 0;
};

} // namespace zendrel
