#pragma once

#include <cstdint>

namespace zendrel {

// Milliseconds on a monotonic scale; only differences are meaningful.
using Millis = std::int64_t;

// The loop reads time only through this, so tests can run timer-driven behaviour (time limits
// of up to 1000 s, the 10 ms dispatcher) in microseconds instead of sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Millis now() const = 0;
    // True when time moves only when a test says so; the loop then never waits for a timer.
    virtual bool isManual() const { return false; }
};

class RealClock final : public Clock {
public:
    Millis now() const override;
};

// Advanced explicitly, normally through MessageLoop::advance so that everything due runs in order.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Millis start = 0) : now_(start) {}
    Millis now() const override { return now_; }
    bool isManual() const override { return true; }
    void set(Millis t) { now_ = t; }

private:
    Millis now_;
};

} // namespace zendrel
