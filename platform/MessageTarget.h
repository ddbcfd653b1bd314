#pragma once

#include "platform/Clock.h"
#include "platform/Message.h"

#include <cstdint>

namespace zendrel {

class MessageLoop;

// Identifies a registered target; a destroyed target's id is never reused, so a message
// addressed to it is recognised as stale and dropped.
using TargetId = std::uint64_t;

// Anything that receives posted messages, timer ticks and fd readiness: the stand-in for a
// window (visible or hidden). Registration lasts from construction to destruction.
class MessageTarget {
public:
    explicit MessageTarget(MessageLoop& loop);
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    MessageLoop& loop() const { return *loop_; }
    TargetId targetId() const { return id_; }

    // Queues a message for this target behind everything already posted.
    void post(unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    // Handles a message at once, before returning.
    void send(unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    // Starts (or restarts) periodic timer `timerId`; ticks arrive as WM_TIMER.
    void setTimer(unsigned timerId, Millis interval);
    void killTimer(unsigned timerId);
    bool timerActive(unsigned timerId) const;

protected:
    virtual void handleMessage(const Message& m) = 0;

private:
    friend class MessageLoop;
    MessageLoop* loop_;
    TargetId id_;
};

} // namespace zendrel
