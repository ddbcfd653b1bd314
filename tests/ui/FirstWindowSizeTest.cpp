#include "ui/FirstWindowSize.h"

#include "tests/ui/WindowHarness.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

const QSize kDesign(746, 394);

TEST(FirstWindowSize, UsesALargeScreenButNeverLessThanTheLayout) {
    struct Case {
        const char* what;
        QRect available;
        QRect expected;
    };
    const Case cases[] = {
        {"full HD below a panel", {0, 0, 1920, 1040}, {240, 130, 1440, 780}},
        {"4K, second screen", {1920, 0, 3840, 2160}, {2400, 270, 2880, 1620}},
        {"laptop", {0, 0, 1280, 720}, {160, 90, 960, 540}},
        {"a low screen keeps the layout's height", {0, 0, 1024, 500}, {128, 53, 768, 394}},
        {"narrower than the layout: at the left edge", {0, 25, 640, 455}, {0, 56, 746, 394}},
    };
    for (const Case& c : cases) {
        const QRect got = FirstWindowGeometry(c.available, kDesign);
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_GE(got.width(), kDesign.width()) << c.what;
        EXPECT_GE(got.height(), kDesign.height()) << c.what;
    }
}

TEST(FirstWindowSize, AFirstStartOpensMaximizedOverASensibleNormalSize) {
    test::WindowHarness h;
    EXPECT_TRUE(h.window->windowState() & Qt::WindowMaximized);
    const QRect expected =
        FirstWindowGeometry(QGuiApplication::primaryScreen()->availableGeometry(), kDesign);
    EXPECT_EQ(h.window->geometry(), expected) << "what restoring the window gives";
}

} // namespace
} // namespace zendrel
