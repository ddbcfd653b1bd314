#include "platform/MessageLoop.h"
#include "ui/QtDialogService.h"
#include "ui/QtLoopBridge.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace zendrel {
namespace {

// A target whose handler can run a nested Qt event loop, as a modal dialog does.
class Recorder final : public MessageTarget {
public:
    using MessageTarget::MessageTarget;
    std::vector<unsigned> seen;
    std::function<void(unsigned)> onMessage;

protected:
    void handleMessage(const Message& m) override {
        seen.push_back(m.msg == WM_TIMER ? WM_TIMER : m.msg);
        if (onMessage)
            onMessage(m.msg);
    }
};

// Runs Qt's event loop until `done` or a generous limit; the bridge alone drives the loop.
bool spinUntil(const std::function<bool()>& done) {
    QEventLoop qt;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            qt.quit();
    });
    poll.start(1);
    QTimer::singleShot(5000, &qt, &QEventLoop::quit);
    qt.exec();
    return done();
}

TEST(QtLoopBridge, QtEventLoopDeliversPostsTimersAndFailures) {
    MessageLoop loop;
    std::vector<std::string> failures;
    QtLoopBridge bridge(loop, [&](const std::string& what) { failures.push_back(what); });
    Recorder target(loop);
    target.onMessage = [&](unsigned msg) {
        if (msg == WM_USER + 9)
            throw std::runtime_error("handler failed");
    };
    target.post(WM_USER + 1);
    target.post(WM_USER + 9);
    target.setTimer(1, 10);
    ASSERT_TRUE(spinUntil([&] { return target.seen.size() >= 4; }));
    target.killTimer(1);
    EXPECT_EQ(target.seen[0], WM_USER + 1);
    EXPECT_EQ(target.seen[1], WM_USER + 9);
    EXPECT_EQ(target.seen[2], WM_TIMER);
    EXPECT_EQ(failures, std::vector<std::string>{"handler failed"});
}

TEST(QtLoopBridge, WorkPostedBeforeAModalLoopRunsWhileItIsOpen) {
    MessageLoop loop;
    QtLoopBridge bridge(loop, [](const std::string&) {});
    Recorder target(loop);
    bool dialogSawReply = false;
    target.onMessage = [&](unsigned msg) {
        if (msg != WM_USER + 1)
            return;
        // The handler posts, then sits in a modal loop until that message has been handled.
        target.post(WM_USER + 2);
        dialogSawReply = spinUntil([&] { return target.seen.size() >= 2; });
    };
    target.post(WM_USER + 1);
    ASSERT_TRUE(spinUntil([&] { return target.seen.size() >= 2; }));
    EXPECT_TRUE(dialogSawReply);
    EXPECT_EQ(target.seen, (std::vector<unsigned>{WM_USER + 1, WM_USER + 2}));
}

TEST(QtDialogService, PipeFiltersBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter("Text File (*.txt)|*.txt|All Files (*.*)|*.*"),
              "Text File (*.txt);;All Files (*.*)");
    EXPECT_EQ(QtFileFilter("Lists|*.txt;*.lst"), "Lists (*.txt *.lst)");
    EXPECT_EQ(QtFileFilter("dangling"), "");
}

} // namespace
} // namespace zendrel
