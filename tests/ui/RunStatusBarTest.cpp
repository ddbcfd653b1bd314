// The status bar during and after a search on the local gateway, with Qt's event loop driving
// the message loop as in the program.
#include "ui/RunStatusBar.h"

#include "engine/RowStateCounts.h"
#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "tests/ui/QStringPrinter.h"
#include "tests/ui/WindowHarness.h"
#include "ui/QtLoopBridge.h"
#include "ui/RunProgress.h"
#include "ui/ZoneCheckList.h"
#include "ui/domain1.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

TEST(RunStatusBarTexts, NameEveryStateAndTheTimeLeftOnlyWhileRunning) {
    RunStatusFigures f;
    f.counts = RowStateCounts{3, 12, 1, 2, 4, 36};
    f.running = true;
    f.perMinute = 83.6;
    f.secondsLeft = 130;
    RunStatusTexts t = DescribeRunStatus(f);
    EXPECT_EQ(t.available, "is available: 3");
    EXPECT_EQ(t.notAvailable, "is not available: 12");
    EXPECT_EQ(t.hold, "hold: 1");
    EXPECT_EQ(t.noData, "no data: 2");
    EXPECT_EQ(t.waiting, "waiting: 40") << "waiting and never looked up alike";
    EXPECT_EQ(t.rate, "84 lookups/min");
    EXPECT_EQ(t.left, "2m10s left");
    f.running = false;
    EXPECT_EQ(DescribeRunStatus(f).left, "");
    EXPECT_EQ(DescribeRunStatus(RunStatusFigures{}).rate, "") << "no search yet";
}

TEST(RunStatusBarTexts, ARefusedSearchShowsNoPace) {
    test::WindowHarness h;
    h.click("sbSearch"); // no zone checked
    h.loop.runUntilIdle();
    QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_TRUE(h.find<QLabel>("lblRate")->isHidden());
    EXPECT_TRUE(h.find<QLabel>("lblLeft")->isHidden());
    EXPECT_EQ(h.find<QLabel>("lblWaiting")->text(), "waiting: 0");
}

class StatusDuringRun : public ::testing::Test {
protected:
    QString text(const char* label) { return window->findChild<QLabel*>(label)->text(); }
    bool shows(const char* label) { return !window->findChild<QLabel*>(label)->isHidden(); }
    // Whether the state fields say exactly what the rows say now.
    bool fieldsMatchRows() {
        const RowStateCounts c = CountRowStates(window->results());
        return text("lblAvailable") == QStringLiteral("is available: %1").arg(c.available) &&
               text("lblNotAvailable") ==
                   QStringLiteral("is not available: %1").arg(c.notAvailable) &&
               text("lblHold") == QStringLiteral("hold: %1").arg(c.hold) &&
               text("lblNoData") == QStringLiteral("no data: %1").arg(c.noData) &&
               text("lblWaiting") == QStringLiteral("waiting: %1").arg(c.waiting + c.open);
    }

    test::GatewayProcess gateway{kGateway, {"--delay-ms", "250", "--idle-exit-ms", "30000"}};
    test::TempDir ws;
    MessageLoop loop;
    test::FakeDialogs dialogs;
    std::unique_ptr<T_FDomain> window;
};

TEST_F(StatusDuringRun, CountsFollowTheRowsAFewTimesASecondAndStayAfterTheRun) {
    const std::string url = "http://127.0.0.1:" + std::to_string(gateway.port()) + "/whois?name=%s";
    ws.write("domain.txt", "t;" + url + ";1;com\r\nt;" + url + ";1;net\r\nt;" + url + ";1;org\r\n");
    ws.write("method.txt",
             "0;Registrar\r\n1;Registrar:;Registrar:|No match for|Status: on hold\r\n");
    // Taken, on hold and free names of the gateway's own list in each zone.
    ws.write("default.txt", "shop\r\ncloud\r\npixel\r\ngreen\r\nzzfree\r\nzzopen\r\n");
    ws.write("param.txt", "[Param]\r\nLinks=2\r\nTimeOut=20\r\nDom=+++\r\n");
    window = std::make_unique<T_FDomain>(loop, dialogs, ws.path());
    std::vector<std::string> failures;
    QtLoopBridge bridge(loop, [&](const std::string& what) { failures.push_back(what); });
    window->show();

    RunProgress& progress = *window->runProgress();
    int mismatches = 0;
    bool midRunSeen = false;
    bool paceSeen = false;
    QObject::connect(&progress, &RunProgress::figuresShown, [&] {
        // Nothing ran on the loop since the figures were counted.
        mismatches += fieldsMatchRows() ? 0 : 1;
        const RowStateCounts& c = progress.figures().counts;
        if (progress.running() && c.done() > 0 && c.waiting + c.open > 0)
            midRunSeen = true;
        if (progress.running() && text("lblLeft").endsWith(" left") &&
            QRegularExpression("^\\d+ lookups/min$").match(text("lblRate")).hasMatch())
            paceSeen = true;
    });
    const int before = progress.updates();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window->findChild<QToolButton*>("sbSearch"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->session().busy(); }, 5000));
    QCoreApplication::processEvents();
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(failures.empty());

    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(midRunSeen);
    EXPECT_TRUE(paceSeen) << "the run lasts over a second at two lookups at a time";
    const int updates = progress.updates() - before;
    EXPECT_LE(updates, elapsed / RunProgress::kIntervalMs + 4) << "never once per row";
    // After the run: the final counts, the pace it ended with, no time left.
    ASSERT_EQ(window->results().size(), 18u);
    EXPECT_TRUE(fieldsMatchRows());
    EXPECT_EQ(text("lblWaiting"), "waiting: 0");
    EXPECT_EQ(text("lblHold"), "hold: 2") << "green.org, pixel.net";
    EXPECT_FALSE(shows("lblLeft"));
    EXPECT_TRUE(shows("lblRate"));
}

} // namespace
} // namespace zendrel
