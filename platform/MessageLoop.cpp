#include "platform/MessageLoop.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <sys/epoll.h>
#include <system_error>
#include <unistd.h>

namespace zendrel {

namespace {

// Bounds that keep one runPending() pass short enough for input and painting in the window.
constexpr int kMessagesPerBudgetCheck = 64;
constexpr int kMaxIdleStepsPerPass = 100000;
constexpr Millis kFdPollIntervalWhileIdle = 1;

TargetId makeId(std::uint32_t slot, std::uint32_t generation) {
    return (static_cast<TargetId>(generation) << 32) | slot;
}

std::uint32_t slotOf(TargetId id) {
    return static_cast<std::uint32_t>(id & 0xffffffffu);
}

unsigned toEpoll(unsigned interest) {
    unsigned ev = EPOLLONESHOT;
    if (interest & kFdReadable)
        ev |= EPOLLIN | EPOLLRDHUP;
    if (interest & kFdWritable)
        ev |= EPOLLOUT;
    // Lets a socket hear of the peer's close while it does not want more data.
    if (interest & kFdHangup)
        ev |= EPOLLRDHUP;
    return ev;
}

unsigned fromEpoll(unsigned ev) {
    unsigned bits = 0;
    if (ev & EPOLLIN)
        bits |= kFdReadable;
    if (ev & EPOLLOUT)
        bits |= kFdWritable;
    if (ev & (EPOLLHUP | EPOLLRDHUP))
        bits |= kFdHangup;
    if (ev & EPOLLERR)
        bits |= kFdError;
    return bits;
}

Millis realMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

MessageLoop::MessageLoop() : ownClock_(std::make_unique<RealClock>()), clock_(ownClock_.get()) {
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0)
        throw std::system_error(errno, std::generic_category(), "epoll_create1");
    slots_.push_back(Slot{}); // slot 0 is never used, so TargetId 0 means "none"
}

MessageLoop::MessageLoop(Clock& clock) : MessageLoop() {
    ownClock_.reset();
    clock_ = &clock;
}

MessageLoop::~MessageLoop() {
    if (epollFd_ >= 0)
        ::close(epollFd_);
}

// ---------------------------------------------------------------- targets

TargetId MessageLoop::registerTarget(MessageTarget* t) {
    std::uint32_t slot;
    if (!freeSlots_.empty()) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        slot = static_cast<std::uint32_t>(slots_.size());
        slots_.push_back(Slot{});
    }
    slots_[slot].target = t;
    return makeId(slot, slots_[slot].generation);
}

void MessageLoop::unregisterTarget(TargetId id) {
    std::uint32_t slot = slotOf(id);
    if (slot >= slots_.size() || slots_[slot].target == nullptr)
        return;
    slots_[slot].target = nullptr;
    ++slots_[slot].generation; // queued messages for the old id now miss
    freeSlots_.push_back(slot);
    for (auto it = timers_.begin(); it != timers_.end();) {
        it = it->first.target == id ? timers_.erase(it) : std::next(it);
    }
    for (auto it = watches_.begin(); it != watches_.end();) {
        if (it->second.target == id) {
            epoll_ctl(epollFd_, EPOLL_CTL_DEL, it->first, nullptr);
            it = watches_.erase(it);
        } else {
            ++it;
        }
    }
}

MessageTarget* MessageLoop::find(TargetId id) const {
    std::uint32_t slot = slotOf(id);
    if (slot >= slots_.size())
        return nullptr;
    const Slot& s = slots_[slot];
    return (s.target && makeId(slot, s.generation) == id) ? s.target : nullptr;
}

void MessageLoop::wake() {
    if (depth_ == 0 && wakeHook_)
        wakeHook_();
}

void MessageLoop::setFailureHook(std::function<void(const std::string&)> hook) {
    failureHook_ = std::move(hook);
}

void MessageLoop::setWakeHook(std::function<void()> hook) {
    wakeHook_ = std::move(hook);
}

// ---------------------------------------------------------------- messages

void MessageLoop::post(TargetId target, const Message& m) {
    bool wasEmpty = queue_.empty();
    queue_.push_back(Envelope{target, m, 0});
    ++posted_;
    if (wasEmpty)
        wake();
}

void MessageLoop::send(MessageTarget& target, const Message& m) {
    deliver(&target, m);
}

void MessageLoop::deliver(MessageTarget* t, const Message& m) {
    try {
        t->handleMessage(m);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown failure");
    }
}

void MessageLoop::report(const std::string& what) {
    if (failureHook_)
        failureHook_(what);
    else
        std::fprintf(stderr, "zendrel: %s\n", what.c_str());
}

void MessageLoop::dispatchNext() {
    Envelope e = queue_.front(); // no reference survives the handler
    queue_.pop_front();
    ++dispatched_;
    dispatch(e);
}

void MessageLoop::dispatch(const Envelope& e) {
    if (MessageTarget* t = find(e.target))
        deliver(t, e.m);
    if (e.watchId != 0)
        rearm(static_cast<int>(e.m.wParam), e.watchId);
}

// ---------------------------------------------------------------- timers

void MessageLoop::setTimer(MessageTarget& target, unsigned timerId, Millis interval) {
    if (interval < 1)
        interval = 1;
    TimerKey key{target.targetId(), timerId};
    Timer t{interval, now() + interval, ++timerSeq_};
    timers_[key] = t;
    due_.push(Due{t.deadline, t.seq, key});
    wake();
}

void MessageLoop::killTimer(MessageTarget& target, unsigned timerId) {
    timers_.erase(TimerKey{target.targetId(), timerId});
}

bool MessageLoop::timerActive(const MessageTarget& target, unsigned timerId) const {
    return timers_.count(TimerKey{target.targetId(), timerId}) != 0;
}

// The heap keeps entries of killed or restarted timers; they are dropped when they surface.
const MessageLoop::Due* MessageLoop::topDue() {
    while (!due_.empty()) {
        const Due& d = due_.top();
        auto it = timers_.find(d.key);
        if (it != timers_.end() && it->second.seq == d.seq)
            return &d;
        due_.pop();
    }
    return nullptr;
}

bool MessageLoop::runDueTimer() {
    const Due* d = topDue();
    Millis t = now();
    if (!d || d->deadline > t)
        return false;
    TimerKey key = d->key;
    due_.pop();
    Timer& timer = timers_[key];
    // A late timer does not catch up: like a window timer, it produces one tick, then the
    // next one interval later.
    Millis next = timer.deadline + timer.interval;
    if (next <= t)
        next = t + timer.interval;
    timer.deadline = next;
    timer.seq = ++timerSeq_;
    due_.push(Due{timer.deadline, timer.seq, key});
    if (MessageTarget* target = find(key.target))
        deliver(target, Message{WM_TIMER, static_cast<std::intptr_t>(key.id), 0});
    return true;
}

// Ticks yield to posted work, but not to work posted after they fell due: a peer that keeps its
// socket readable, or handlers that always post the next message, would otherwise hold back the
// one-second time limits (and the progress output) for as long as they keep going. The loop
// notices a due timer when it polls descriptors and every few dozen messages, and remembers how
// many messages had been posted by then; once those are handled, the ticks go first.
void MessageLoop::noticeDueTimer() {
    if (tickBarrier_)
        return;
    const Due* d = topDue();
    if (d && d->deadline <= now())
        tickBarrier_ = posted_;
}

bool MessageLoop::tickOwed() const {
    return tickBarrier_ && dispatched_ >= *tickBarrier_;
}

// Every timer due now gets its one tick, in deadline order.
void MessageLoop::deliverOwedTicks() {
    tickBarrier_.reset();
    const Millis at = now();
    for (const Due* d = topDue(); d && d->deadline <= at; d = topDue())
        runDueTimer();
}

// ---------------------------------------------------------------- fd watches

void MessageLoop::armWatch(int fd, const Watch& w, bool add) {
    epoll_event ev{};
    ev.events = toEpoll(w.interest);
    ev.data.fd = fd;
    if (epoll_ctl(epollFd_, add ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, fd, &ev) != 0)
        throw std::system_error(errno, std::generic_category(), "epoll_ctl");
}

void MessageLoop::watchFd(int fd, unsigned interest, MessageTarget& target, unsigned msg) {
    unwatchFd(fd);
    Watch w{target.targetId(), msg, interest, nextWatchId_++, true};
    armWatch(fd, w, true);
    watches_[fd] = w;
}

void MessageLoop::updateFd(int fd, unsigned interest) {
    auto it = watches_.find(fd);
    if (it == watches_.end())
        return;
    it->second.interest = interest;
    if (it->second.armed)
        armWatch(fd, it->second, false);
}

void MessageLoop::unwatchFd(int fd) {
    auto it = watches_.find(fd);
    if (it == watches_.end())
        return;
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    watches_.erase(it);
}

void MessageLoop::rearm(int fd, std::uint64_t watchId) {
    auto it = watches_.find(fd);
    if (it == watches_.end() || it->second.watchId != watchId || it->second.armed)
        return;
    it->second.armed = true;
    armWatch(fd, it->second, false);
}

bool MessageLoop::pollFds(int timeoutMs) {
    if (watches_.empty() && timeoutMs == 0)
        return false;
    epoll_event events[64];
    int n = epoll_wait(epollFd_, events, 64, timeoutMs);
    lastFdPoll_ = now();
    bool posted = false;
    for (int i = 0; i < n; ++i) {
        int fd = events[i].data.fd;
        auto it = watches_.find(fd);
        if (it == watches_.end() || !it->second.armed)
            continue;
        it->second.armed = false; // one-shot until the target has handled this report
        Message m{it->second.msg, fd, static_cast<std::intptr_t>(fromEpoll(events[i].events))};
        queue_.push_back(Envelope{it->second.target, m, it->second.watchId});
        ++posted_;
        posted = true;
    }
    return posted;
}

// ---------------------------------------------------------------- idle work

MessageLoop::IdleId MessageLoop::addIdle(IdleStep step) {
    IdleId id = nextIdleId_++;
    idle_.push_back(Idle{id, std::make_shared<IdleStep>(std::move(step))});
    wake();
    return id;
}

void MessageLoop::removeIdle(IdleId id) {
    for (std::size_t i = 0; i < idle_.size(); ++i) {
        if (idle_[i].id == id) {
            idle_.erase(idle_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

bool MessageLoop::runIdleStep() {
    if (idle_.empty())
        return false;
    if (idleCursor_ >= idle_.size())
        idleCursor_ = 0;
    IdleId id = idle_[idleCursor_].id;
    std::shared_ptr<IdleStep> step = idle_[idleCursor_].step; // it may remove itself or add others
    ++idleCursor_;
    bool more = false;
    try {
        more = (*step)();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("unknown failure");
    }
    if (!more)
        removeIdle(id);
    return true;
}

// ---------------------------------------------------------------- driving

std::optional<Millis> MessageLoop::nextDeadline() {
    if (!queue_.empty() || !idle_.empty())
        return 0;
    const Due* d = topDue();
    if (!d)
        return std::nullopt;
    Millis wait = d->deadline - now();
    return wait < 0 ? 0 : wait;
}

// One pass: posted messages in order, then fd readiness, then due ticks, then idle steps. Every
// unit of work counts against the budget, so a pass returns to a driving toolkit within about
// `budget` ms whatever kind of work keeps coming.
bool MessageLoop::runPending(Millis budget) {
    ++depth_;
    const Millis start = now();
    pollFds(0);
    int sinceCheck = 0;
    int idleSteps = 0;
    bool more = false;
    while (!quit_) {
        if (!queue_.empty()) {
            if (tickOwed())
                deliverOwedTicks();
            else
                dispatchNext();
            if (++sinceCheck == kMessagesPerBudgetCheck) {
                sinceCheck = 0;
                noticeDueTimer();
                if (now() - start >= budget) {
                    more = true;
                    break;
                }
            }
            continue;
        }
        if (idle_.empty() || now() - lastFdPoll_ >= kFdPollIntervalWhileIdle) {
            if (pollFds(0)) {
                noticeDueTimer();
                continue;
            }
        }
        if (runDueTimer()) {
            if (now() - start >= budget) {
                more = true;
                break;
            }
            continue;
        }
        if (idle_.empty())
            break;
        if (now() - start >= budget || idleSteps >= kMaxIdleStepsPerPass) {
            more = true;
            break;
        }
        runIdleStep();
        ++idleSteps;
    }
    --depth_;
    return more || !queue_.empty();
}

void MessageLoop::waitForWork(Millis maxWait) {
    std::optional<Millis> next = nextDeadline();
    Millis wait = maxWait;
    if (next && !clock_->isManual())
        wait = std::min(wait, *next);
    if (!queue_.empty() || !idle_.empty())
        wait = 0;
    if (wait < 0)
        wait = 0;
    pollFds(static_cast<int>(wait));
}

void MessageLoop::run() {
    quit_ = false;
    while (!quit_) {
        if (runPending())
            continue;
        if (quit_)
            break;
        waitForWork(clock_->isManual() ? 10 : 1000);
    }
}

bool MessageLoop::runUntil(const std::function<bool()>& done, Millis timeoutMs) {
    const Millis end = realMillis() + timeoutMs;
    while (!done()) {
        Millis left = end - realMillis();
        if (left <= 0)
            return done();
        if (runPending())
            continue;
        if (done())
            break;
        waitForWork(std::min<Millis>(left, 50));
    }
    return true;
}

void MessageLoop::runUntilIdle() {
    while (runPending(1000)) {
    }
}

void MessageLoop::advance(Millis ms) {
    auto* manual = dynamic_cast<ManualClock*>(clock_);
    if (!manual)
        throw std::logic_error("MessageLoop::advance needs a manual clock");
    const Millis target = manual->now() + ms;
    runUntilIdle();
    for (;;) {
        const Due* d = topDue();
        if (!d || d->deadline > target)
            break;
        if (d->deadline > manual->now())
            manual->set(d->deadline);
        runUntilIdle();
    }
    manual->set(target);
    runUntilIdle();
}

} // namespace zendrel
