#pragma once

#include "platform/MessageTarget.h"

namespace zendrel {

// The hidden message window of a component (a socket, an HTTP client, a lookup): it hands every
// message to its owner's handler. Destroying it drops whatever is still queued for it, which is
// how a component makes sure that no message of an earlier connection, or of a destroyed
// component, is ever delivered.
template <typename Owner>
class HiddenWindow final : public MessageTarget {
public:
    using Handler = void (Owner::*)(const Message&);
    HiddenWindow(MessageLoop& loop, Owner& owner, Handler handler)
        : MessageTarget(loop), owner_(&owner), handler_(handler) {}

protected:
    // The owner may destroy this window from inside the call; nothing here is touched after it.
    void handleMessage(const Message& m) override { (owner_->*handler_)(m); }

private:
    Owner* owner_;
    Handler handler_;
};

} // namespace zendrel
