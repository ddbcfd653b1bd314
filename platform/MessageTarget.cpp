#include "platform/MessageTarget.h"

#include "platform/MessageLoop.h"

namespace zendrel {

MessageTarget::MessageTarget(MessageLoop& loop) : loop_(&loop), id_(loop.registerTarget(this)) {}

MessageTarget::~MessageTarget() {
    loop_->unregisterTarget(id_);
}

void MessageTarget::post(unsigned msg, std::intptr_t wParam, std::intptr_t lParam) {
    loop_->post(id_, Message{msg, wParam, lParam});
}

void MessageTarget::send(unsigned msg, std::intptr_t wParam, std::intptr_t lParam) {
    loop_->send(*this, Message{msg, wParam, lParam});
}

void MessageTarget::setTimer(unsigned timerId, Millis interval) {
    loop_->setTimer(*this, timerId, interval);
}

void MessageTarget::killTimer(unsigned timerId) {
    loop_->killTimer(*this, timerId);
}

bool MessageTarget::timerActive(unsigned timerId) const {
    return loop_->timerActive(*this, timerId);
}

} // namespace zendrel
