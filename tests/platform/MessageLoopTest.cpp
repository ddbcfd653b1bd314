#include "platform/MessageLoop.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zendrel {
namespace {

// Records what it receives as "name:msg" and runs an optional reaction.
class Recorder : public MessageTarget {
public:
    Recorder(MessageLoop& loop, std::string name, std::vector<std::string>& log)
        : MessageTarget(loop), name_(std::move(name)), log_(log) {}
    std::function<void(const Message&)> onMessage;

protected:
    void handleMessage(const Message& m) override {
        std::string entry = name_ + ":" + std::to_string(m.msg);
        if (m.msg == WM_TIMER) {
            // Appended, not "/" + ...: GCC 12 misreads that insert at the front as an overlap.
            entry += '/';
            entry += std::to_string(m.wParam);
        }
        log_.push_back(std::move(entry));
        if (onMessage)
            onMessage(m);
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

struct LoopTest : ::testing::Test {
    ManualClock clock;
    MessageLoop loop{clock};
    std::vector<std::string> log;
};

TEST_F(LoopTest, PostedMessagesKeepPostingOrderAcrossTargets) {
    Recorder a(loop, "a", log), b(loop, "b", log);
    a.post(1);
    b.post(2);
    a.post(3);
    loop.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "b:2", "a:3"}));
}

TEST_F(LoopTest, SendIsHandledBeforeTheCallReturns) {
    Recorder a(loop, "a", log);
    a.post(1);
    a.send(2);
    EXPECT_EQ(log, (std::vector<std::string>{"a:2"}));
    loop.runUntilIdle();
    EXPECT_EQ(log.back(), "a:1");
}

TEST_F(LoopTest, TimerTickWaitsWhilePostedMessagesWait) {
    Recorder a(loop, "a", log);
    a.setTimer(7, 10);
    // Each handled message posts another, three times: the tick must come after all of them.
    int chain = 3;
    a.onMessage = [&](const Message& m) {
        if (m.msg == 1 && --chain > 0)
            a.post(1);
    };
    clock.set(10);
    a.post(1);
    loop.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "a:1", "a:1", "a:275/7"}));
}

// Time passes while a peer keeps one descriptor readable, or while every handled message posts
// the next one: a due tick must still come within a bounded number of messages, not only once
// the flood ends. Each report advances the clock by 1 ms; the 10 ms timer is due every 10.
TEST_F(LoopTest, DueTimerTicksWhileWorkNeverRunsOut) {
    for (const bool fromDescriptor : {true, false}) {
        SCOPED_TRACE(fromDescriptor ? "readable descriptor" : "endless posting");
        ManualClock time;
        MessageLoop busy{time};
        std::vector<std::string> seen;
        Recorder a(busy, "a", seen);
        int fds[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        const std::string flood(4000, 'x');
        ASSERT_EQ(::write(fds[1], flood.data(), flood.size()), 4000);
        constexpr int kReports = 1000; // 4 bytes each: the descriptor stays readable throughout
        int reports = 0;
        std::vector<int> tickedAt;
        a.onMessage = [&](const Message& m) {
            if (m.msg == WM_TIMER) {
                tickedAt.push_back(reports);
                return;
            }
            char buf[4];
            if (fromDescriptor) {
                ASSERT_EQ(::read(fds[0], buf, sizeof buf), 4);
            }
            time.set(time.now() + 1);
            if (++reports == kReports)
                busy.unwatchFd(fds[0]);
            else if (!fromDescriptor)
                a.post(1);
        };
        a.setTimer(1, 10);
        if (fromDescriptor)
            busy.watchFd(fds[0], kFdReadable, a, 1);
        else
            a.post(1);
        busy.runUntilIdle();
        EXPECT_EQ(reports, kReports);
        // Without a bound the first tick would wait for the end of the flood (report 1000).
        EXPECT_GE(tickedAt.size(), 10u);
        for (std::size_t i = 0; i < tickedAt.size(); ++i)
            EXPECT_LE(tickedAt[i] - (i == 0 ? 0 : tickedAt[i - 1]), 10 + 70) << "tick " << i;
        ::close(fds[0]);
        ::close(fds[1]);
    }
}

// A window drives the loop in short passes; a timer whose handler takes longer than its interval
// is always due again and must not keep one pass from returning.
TEST_F(LoopTest, PassReturnsWithinItsBudgetWhenATimerIsAlwaysDue) {
    Recorder a(loop, "a", log);
    int ticks = 0;
    a.onMessage = [&](const Message&) {
        clock.set(clock.now() + 2);
        if (++ticks == 1000)
            a.killTimer(1);
    };
    a.setTimer(1, 1);
    clock.set(1);
    EXPECT_TRUE(loop.runPending(5));
    EXPECT_LE(ticks, 4);
    a.killTimer(1);
}

TEST_F(LoopTest, ManualClockRunsShortAndLongTimers) {
    Recorder fast(loop, "fast", log), slow(loop, "slow", log);
    fast.setTimer(1, 10);
    slow.setTimer(2, 1000 * 1000);
    loop.advance(100);
    EXPECT_EQ(log.size(), 10u);
    log.clear();
    fast.killTimer(1);
    loop.advance(1000 * 1000 - 101);
    EXPECT_TRUE(log.empty());
    loop.advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"slow:275/2"}));
}

TEST_F(LoopTest, EqualDeadlinesFireInStartOrder) {
    Recorder a(loop, "a", log), b(loop, "b", log);
    b.setTimer(1, 10);
    a.setTimer(1, 10);
    loop.advance(10);
    EXPECT_EQ(log, (std::vector<std::string>{"b:275/1", "a:275/1"}));
}

TEST_F(LoopTest, RestartedTimerFiresOnceAtItsNewDeadline) {
    Recorder a(loop, "a", log);
    a.setTimer(1, 10);
    loop.advance(5);
    a.setTimer(1, 10); // off and on again, as the dispatcher pauses
    loop.advance(9);
    EXPECT_TRUE(log.empty());
    loop.advance(1);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(LoopTest, DestroyedTargetReceivesNothing) {
    auto a = std::make_unique<Recorder>(loop, "a", log);
    Recorder b(loop, "b", log);
    a->post(1);
    a->setTimer(1, 10);
    b.post(2);
    TargetId stale = a->targetId();
    a.reset();
    Recorder c(loop, "c", log); // may reuse the slot; must not get a's messages
    loop.post(stale, Message{3, 0, 0});
    loop.advance(50);
    EXPECT_EQ(log, (std::vector<std::string>{"b:2"}));
}

TEST_F(LoopTest, NestedPumpKeepsFifoOrder) {
    Recorder a(loop, "a", log);
    a.onMessage = [&](const Message& m) {
        if (m.msg == 1) {
            a.post(10);        // posted from inside, behind 2 and 3
            loop.runPending(); // a modal dialog pumping the loop
            log.push_back("back");
        }
    };
    a.post(1);
    a.post(2);
    a.post(3);
    loop.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "a:2", "a:3", "a:10", "back"}));
}

TEST_F(LoopTest, FailureInHandlerIsReportedAndLoopGoesOn) {
    std::vector<std::string> failures;
    loop.setFailureHook([&](const std::string& what) { failures.push_back(what); });
    Recorder a(loop, "a", log);
    a.onMessage = [](const Message& m) {
        if (m.msg == 1)
            throw std::runtime_error("boom");
    };
    a.post(1);
    a.post(2);
    loop.runUntilIdle();
    EXPECT_EQ(failures, (std::vector<std::string>{"boom"}));
    EXPECT_EQ(log, (std::vector<std::string>{"a:1", "a:2"}));
}

TEST_F(LoopTest, IdleWorkRunsOnlyWhenNothingElseWaits) {
    Recorder a(loop, "a", log);
    int steps = 0;
    loop.addIdle([&] {
        log.push_back("idle");
        if (++steps == 1)
            a.post(1); // must be handled before the next idle step
        return steps < 3;
    });
    loop.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"idle", "a:1", "idle", "idle"}));
    EXPECT_FALSE(loop.hasIdle());
}

TEST_F(LoopTest, IdleStepsInterleaveWithDueTimers) {
    Recorder a(loop, "a", log);
    a.setTimer(1, 10);
    int steps = 0;
    loop.addIdle([&] {
        if (++steps == 2)
            clock.set(10); // time passes during generation
        return steps < 4;
    });
    loop.runUntilIdle();
    // the tick comes right after the step in which it became due
    EXPECT_EQ(log, (std::vector<std::string>{"a:275/1"}));
    EXPECT_EQ(steps, 4);
}

TEST_F(LoopTest, FdReadinessIsPostedOnceUntilHandled) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    Recorder a(loop, "a", log);
    int reports = 0;
    a.onMessage = [&](const Message& m) {
        if (m.msg == 50) {
            ++reports;
            EXPECT_EQ(m.wParam, fds[0]);
            EXPECT_TRUE(m.lParam & kFdReadable);
            char buf[16];
            (void)::read(fds[0], buf, sizeof buf);
        }
    };
    loop.watchFd(fds[0], kFdReadable, a, 50);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    EXPECT_TRUE(loop.runUntil([&] { return reports == 1; }, 2000));
    loop.runUntilIdle();
    EXPECT_EQ(reports, 1); // data was read: no further report
    ASSERT_EQ(::write(fds[1], "y", 1), 1);
    EXPECT_TRUE(loop.runUntil([&] { return reports == 2; }, 2000));
    loop.unwatchFd(fds[0]);
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(LoopTest, WakeHookSignalsNewWorkOutsideThePump) {
    int wakes = 0;
    loop.setWakeHook([&] { ++wakes; });
    Recorder a(loop, "a", log);
    a.post(1);
    a.post(2); // queue not empty: no second wake
    EXPECT_EQ(wakes, 1);
    a.onMessage = [&](const Message& m) {
        if (m.msg == 1)
            a.post(3);
    };
    loop.runPending();
    EXPECT_EQ(wakes, 1); // posts from inside the pump need no wake
    EXPECT_EQ(loop.nextDeadline(), std::nullopt);
    a.setTimer(1, 30);
    EXPECT_EQ(wakes, 2);
    EXPECT_EQ(loop.nextDeadline(), 30);
}

} // namespace
} // namespace zendrel
