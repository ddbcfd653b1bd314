#pragma once

#include "platform/Clock.h"
#include "platform/Message.h"
#include "platform/MessageTarget.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

namespace zendrel {

// The one event loop of the program: every piece of work after start-up runs from here, on one
// thread. Posted messages form a single FIFO across all targets; timer ticks wait for posted
// messages, but only for those posted before the tick fell due, so no stream of work can hold a
// due tick back for long; fd readiness is turned into posted messages so that socket
// notifications take their place in that FIFO; idle work runs when nothing else is due.
//
// The loop never owns the thread's outer loop in the window program: a bridge drives it through
// pollFd(), nextDeadline() and runPending(). Headless programs and tests call run(), runUntil()
// or, with a manual clock, advance().
class MessageLoop {
public:
    MessageLoop();                      // real clock
    explicit MessageLoop(Clock& clock); // e.g. a ManualClock owned by the test
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    Clock& clock() const { return *clock_; }
    Millis now() const { return clock_->now(); }

    // --- messages ---
    void post(TargetId target, const Message& m);
    void post(MessageTarget& target, const Message& m) { post(target.targetId(), m); }
    // Calls the handler at once; a failure is reported like one from a posted message.
    void send(MessageTarget& target, const Message& m);
    std::size_t pendingCount() const { return queue_.size(); }

    // --- timers (periodic; per target and id) ---
    void setTimer(MessageTarget& target, unsigned timerId, Millis interval);
    void killTimer(MessageTarget& target, unsigned timerId);
    bool timerActive(const MessageTarget& target, unsigned timerId) const;

    // --- fd watches: readiness is posted to the target as {msg, fd, FdEvents bits} ---
    // A watch reports once, then stays quiet until that message has been handled.
    void watchFd(int fd, unsigned interest, MessageTarget& target, unsigned msg);
    void updateFd(int fd, unsigned interest);
    void unwatchFd(int fd);

    // --- idle work: one step at a time, only when nothing is posted and no timer is due ---
    using IdleStep = std::function<bool()>; // returns false when the work is finished
    using IdleId = std::uint64_t;
    IdleId addIdle(IdleStep step);
    void removeIdle(IdleId id);
    bool hasIdle() const { return !idle_.empty(); }

    // --- hooks ---
    // Receives the text of any failure that escapes a handler; the loop goes on.
    void setFailureHook(std::function<void(const std::string&)> hook);
    // Called when new work appears while the loop is not running (posted into an empty queue,
    // a timer set, idle work added), so a driving bridge can schedule runPending().
    void setWakeHook(std::function<void()> hook);

    // --- driving ---
    int pollFd() const { return epollFd_; }
    // Milliseconds until something is due: 0 when work is ready now, nullopt when nothing is
    // scheduled at all (only fd readiness can bring work).
    std::optional<Millis> nextDeadline();
    // Runs what is posted and due, and idle work, for about `budget` ms; returns whether work
    // remains ready. Re-entrant: a handler may call it (a modal dialog does).
    bool runPending(Millis budget = 5);
    // Runs until quit(); waits on fds and timers between passes.
    void run();
    void quit() { quit_ = true; }
    // Runs (waiting for fds and, with a real clock, timers) until `done` holds or `timeoutMs`
    // of real time have passed; returns done().
    bool runUntil(const std::function<bool()>& done, Millis timeoutMs);
    // Runs everything ready now, idle work included, without waiting.
    void runUntilIdle();
    // Manual clock only: moves time forward in steps to each timer deadline up to now + ms,
    // running everything that becomes due, in order.
    void advance(Millis ms);

private:
    friend class MessageTarget;
    struct Envelope {
        TargetId target;
        Message m;
        std::uint64_t watchId; // non-zero for fd readiness: re-arm after handling
    };
    struct Slot {
        MessageTarget* target = nullptr;
        std::uint32_t generation = 0;
    };
    struct TimerKey {
        TargetId target;
        unsigned id;
        bool operator==(const TimerKey&) const = default;
    };
    struct TimerKeyHash {
        std::size_t operator()(const TimerKey& k) const {
            return std::hash<std::uint64_t>()(k.target * 1000003u + k.id);
        }
    };
    struct Timer {
        Millis interval;
        Millis deadline;
        std::uint64_t seq;
    };
    struct Due {
        Millis deadline;
        std::uint64_t seq;
        TimerKey key;
        bool operator>(const Due& o) const {
            return deadline != o.deadline ? deadline > o.deadline : seq > o.seq;
        }
    };
    struct Watch {
        TargetId target;
        unsigned msg;
        unsigned interest;
        std::uint64_t watchId;
        bool armed;
    };
    struct Idle {
        IdleId id;
        std::shared_ptr<IdleStep> step; // shared so a step can run while the list changes
    };

    TargetId registerTarget(MessageTarget* t);
    void unregisterTarget(TargetId id);
    MessageTarget* find(TargetId id) const;
    void wake();

    void dispatchNext();
    void dispatch(const Envelope& e);
    void deliver(MessageTarget* t, const Message& m);
    void report(const std::string& what);
    bool pollFds(int timeoutMs);
    void rearm(int fd, std::uint64_t watchId);
    void armWatch(int fd, const Watch& w, bool add);
    const Due* topDue();
    bool runDueTimer();
    void noticeDueTimer();
    bool tickOwed() const;
    void deliverOwedTicks();
    bool runIdleStep();
    void waitForWork(Millis maxWait);

    std::unique_ptr<Clock> ownClock_;
    Clock* clock_;
    std::deque<Envelope> queue_;
    std::uint64_t posted_ = 0;     // messages ever queued
    std::uint64_t dispatched_ = 0; // messages ever taken from the queue
    // When set, due ticks go before the next message once `dispatched_` reaches it.
    std::optional<std::uint64_t> tickBarrier_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> freeSlots_;
    std::unordered_map<TimerKey, Timer, TimerKeyHash> timers_;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> due_;
    std::uint64_t timerSeq_ = 0;
    std::unordered_map<int, Watch> watches_;
    std::uint64_t nextWatchId_ = 1;
    std::vector<Idle> idle_;
    std::size_t idleCursor_ = 0;
    IdleId nextIdleId_ = 1;
    std::function<void(const std::string&)> failureHook_;
    std::function<void()> wakeHook_;
    int epollFd_ = -1;
    int depth_ = 0;
    Millis lastFdPoll_ = 0;
    bool quit_ = false;
};

} // namespace zendrel
