// Cost of the message loop's basic operations: one posted message, one timer tick.
#include "platform/MessageLoop.h"

#include <chrono>
#include <cstdio>

using namespace zendrel;

namespace {

class Sink : public MessageTarget {
public:
    using MessageTarget::MessageTarget;
    long count = 0;

protected:
    void handleMessage(const Message&) override { ++count; }
};

template <typename F>
double nsPer(long n, F&& body) {
    auto t0 = std::chrono::steady_clock::now();
    body();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / static_cast<double>(n);
}

} // namespace

int main() {
    const long n = 2000000;
    MessageLoop loop;
    Sink sink(loop);
    // Warm up so the queue's blocks are allocated: the figure is the steady state.
    for (int i = 0; i < 1000; ++i)
        sink.post(1);
    loop.runUntilIdle();
    double post = nsPer(n, [&] {
        for (long i = 0; i < n; ++i) {
            sink.post(1);
            if ((i & 63) == 63)
                loop.runPending(1000);
        }
        loop.runUntilIdle();
    });
    std::printf("loop.post_dispatch_ns: %.1f ns\n", post);

    ManualClock clock;
    MessageLoop timed(clock);
    Sink ticker(timed);
    ticker.setTimer(1, 10);
    const long ticks = 500000;
    double tick = nsPer(ticks, [&] { timed.advance(10 * ticks); });
    std::printf("loop.timer_tick_ns: %.1f ns\n", tick);
    return ticker.count == ticks && sink.count >= n ? 0 : 1;
}
