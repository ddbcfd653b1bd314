#include "engine/LookupConnection.h"
#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "tests/ui/QStringPrinter.h"
#include "ui/QtLoopBridge.h"
#include "ui/ResultsModel.h"
#include "ui/UpDown.h"
#include "ui/ZoneCheckList.h"
#include "ui/domain1.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace zendrel {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";
constexpr int kWaitMs = 20000;

// The window driven by Qt's event loop through the bridge, looking names up on the local gateway
// over loopback: the run controls as the user meets them.
class WindowRunControl : public ::testing::Test {
protected:
    void open(std::vector<std::string> gatewayArgs, const std::string& keywords) {
        gatewayArgs.insert(gatewayArgs.end(), {"--idle-exit-ms", "60000"});
        gateway = std::make_unique<test::GatewayProcess>(kGateway, std::move(gatewayArgs));
        const std::string url =
            "http://127.0.0.1:" + std::to_string(gateway->port()) + "/whois?name=%s";
        ws.write("domain.txt", "test;" + url + ";1;com\r\n");
        ws.write("method.txt", "0;Registrar\r\n"
                               "1;Registrar:;Registrar:|No match for|Status: on hold\r\n");
        ws.write("default.txt", keywords);
        window = std::make_unique<T_FDomain>(loop, dialogs, ws.path());
        bridge = std::make_unique<QtLoopBridge>(
            loop, [this](const std::string& what) { failures.push_back(what); });
        window->findChild<ZoneCheckList*>("clbDom")->setChecked(0, true);
    }
    template <typename W>
    W* find(const char* name) const {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(find<QToolButton>(name), Qt::LeftButton); }
    bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, kWaitMs); }
    bool completed(std::size_t count = 1) {
        return waitFor([&] { return dialogs.messages.size() >= count; });
    }
    // The loop has handled everything posted and due and has no idle work left, so whatever
    // the finished run still had queued (late reports of aborted lookups, generation steps) has
    // run; only a new timer or socket could bring more, and a finished run keeps none.
    bool loopSettled() {
        return waitFor([&] { return loop.nextDeadline() != Millis{0}; });
    }
    std::string text(std::size_t row, int item) {
        return std::string(window->results().subItem(row, item));
    }
    std::size_t liveConnections() {
        std::size_t live = 0;
        for (std::size_t i = 0; i < window->results().size(); ++i)
            live += window->results().connection(i) ? 1 : 0;
        return live;
    }
    void expectIdleWindow() {
        EXPECT_EQ(window->session().variables().runState, RunState::Idle);
        EXPECT_TRUE(find<QToolButton>("sbSearch")->isEnabled());
        EXPECT_FALSE(find<QToolButton>("sbStop")->isEnabled());
        EXPECT_TRUE(find<QToolButton>("sbResume")->isEnabled());
        EXPECT_FALSE(window->session().generator().active());
        EXPECT_EQ(liveConnections(), 0u);
    }

    static std::string numberedKeywords(int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "kw" + std::to_string(100 + i) + "\r\n";
        return text;
    }

    MessageLoop loop;
    test::FakeDialogs dialogs;
    std::vector<std::string> failures;
    std::unique_ptr<test::GatewayProcess> gateway;
    test::TempDir ws;
    std::unique_ptr<T_FDomain> window;
    std::unique_ptr<QtLoopBridge> bridge;
};

TEST_F(WindowRunControl, StopAbortsLiveLookupsAndRowsKeepTheirLastTexts) {
    open({"--delay-ms", "60000"}, numberedKeywords(12));
    find<UpDown>("udLink")->setPosition(5);
    click("sbSearch");
    ASSERT_TRUE(waitFor([&] {
        return window->session().variables().activeLookups == 5 &&
               text(4, ResultStore::kState) != "";
    }));
    std::vector<std::string> before;
    for (std::size_t r = 0; r < 5; ++r)
        before.push_back(text(r, ResultStore::kState));

    click("sbStop");
    ASSERT_TRUE(completed());
    EXPECT_EQ(dialogs.messages[0].text, "Search is completed");
    expectIdleWindow();
    // Late reports of the aborted requests must not overwrite what the rows showed.
    ASSERT_TRUE(loopSettled());
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(text(r, ResultStore::kState), before[r]) << r;
        EXPECT_NE(text(r, ResultStore::kTime), "~") << r;
    }
    EXPECT_EQ(text(5, ResultStore::kState), "") << "rows never reached stay empty";
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(failures.empty());
}

TEST_F(WindowRunControl, AutoResumeRunsTheAllowedPassesOverUncheckedRows) {
    // Each reply takes a while, so every pass lasts long enough to be seen on the button.
    open({"--delay-ms", "150"}, "shop\r\nzzfree\r\n");
    find<QCheckBox>("cbResume")->setChecked(true);
    find<UpDown>("udAR")->setPosition(2);
    QStringList captions;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString now = find<QToolButton>("sbResume")->text();
        if (captions.isEmpty() || captions.back() != now)
            captions << now;
    });
    watch.start(1);

    // The watch has seen the caption the button shows now.
    auto watched = [&] {
        return waitFor([&] {
            return !captions.isEmpty() && captions.back() == find<QToolButton>("sbResume")->text();
        });
    };

    click("sbSearch");
    ASSERT_TRUE(completed());
    ASSERT_TRUE(watched());
    EXPECT_EQ(captions, QStringList({"Resume", "Resume : 1", "Resume : 2", "Resume"}));
    EXPECT_EQ(dialogs.messages.size(), 1u) << "one summary after the last pass";
    EXPECT_EQ(text(0, ResultStore::kState), "is not available");
    EXPECT_FALSE(window->results().checked(0));
    EXPECT_EQ(text(1, ResultStore::kState), "is available");
    EXPECT_TRUE(window->results().checked(1));
    expectIdleWindow();

    // A new Search counts its automatic passes from 0 again.
    captions.clear();
    click("sbSearch");
    ASSERT_TRUE(completed(2));
    ASSERT_TRUE(watched());
    EXPECT_EQ(captions, QStringList({"Resume", "Resume : 1", "Resume : 2", "Resume"}));

    // Resume by hand looks up the unchecked row again and leaves the checked one alone.
    find<QCheckBox>("cbResume")->setChecked(false);
    window->results().setSubItem(0, ResultStore::kState, "stale");
    window->results().setSubItem(1, ResultStore::kState, "kept");
    click("sbResume");
    ASSERT_TRUE(completed(3));
    EXPECT_EQ(text(0, ResultStore::kState), "is not available");
    EXPECT_EQ(text(1, ResultStore::kState), "kept");
    expectIdleWindow();
    EXPECT_TRUE(failures.empty());
}

TEST_F(WindowRunControl, ClosingDuringARunFinishesItFirst) {
    open({"--delay-ms", "60000"}, numberedKeywords(8));
    find<UpDown>("udLink")->setPosition(5);
    window->show();
    click("sbSearch");
    ASSERT_TRUE(waitFor([&] { return window->session().variables().activeLookups >= 3; }));
    click("ExplorerButton1");
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1u) << "the summary is shown before the window goes";
    EXPECT_EQ(dialogs.messages[0].text, "Search is completed");
    EXPECT_EQ(window->session().variables().runState, RunState::Idle);
    EXPECT_EQ(liveConnections(), 0u);
    ASSERT_TRUE(loopSettled());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(failures.empty());
}

// Counts the paint passes of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(WindowRunControl, ProgressOfManyLiveLookupsReachesTheViewCoalesced) {
    // One byte every 5 ms per lookup: every byte is a new "Loading" text in its row.
    open({"--mode", "trickle", "--trickle-ms", "5"}, numberedKeywords(120));
    find<UpDown>("udLink")->setPosition(100);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    click("sbSearch");
    // The measurement starts once many rows are changing all the time, however long a loaded
    // machine takes to get there.
    auto loadingRows = [&] {
        int loading = 0;
        for (std::size_t r = 0; r < window->results().size(); ++r)
            loading += text(r, ResultStore::kState).rfind("Loading", 0) == 0 ? 1 : 0;
        return loading;
    };
    ASSERT_TRUE(waitFor([&] { return loadingRows() >= 30; }));

    QWidget* viewport = find<QAbstractItemView>("lvResult")->viewport();
    PaintCounter counter;
    viewport->installEventFilter(&counter);
    QSignalSpy changed(window->resultsModel(), &QAbstractItemModel::dataChanged);
    QElapsedTimer clock;
    clock.start();
    // Watched until the view has had a good number of updates (about 600 ms of them when they
    // are coalesced) and has painted; updates sent row by row would reach that count at once.
    constexpr int kUpdatesWatched = 15;
    ASSERT_TRUE(waitFor([&] { return changed.count() >= kUpdatesWatched && counter.paints > 0; }))
        << changed.count() << " updates, " << counter.paints << " paints";
    const qint64 elapsed = clock.elapsed();
    viewport->removeEventFilter(&counter);

    EXPECT_GT(changed.count(), 0) << "rows kept changing while the view was watched";
    const qint64 passes = elapsed / ResultsModel::kFlushMs + 2;
    EXPECT_LE(changed.count(), passes);
    EXPECT_LE(counter.paints, passes);
    EXPECT_GT(counter.paints, 0) << "the view did show the progress";
    click("sbStop");
    ASSERT_TRUE(completed());
    EXPECT_TRUE(failures.empty());
}

// A Stop must take effect within a frame, whatever phase generation is in.
TEST_F(WindowRunControl, StopDuringGenerationOfALargeListIdlesTheWindowWithinAFrame) {
    struct Case {
        const char* what;
        std::function<bool(T_FDomain&)> reached;
        bool summary;
    };
    const Case cases[] = {
        {"while joining keywords",
         [](T_FDomain& w) {
             return w.session().generator().phase() == CandidateGenerator::Phase::Combine;
         },
         false},
        {"while adding rows with lookups live",
         [](T_FDomain& w) {
             return w.results().size() > 2000 && w.session().variables().activeLookups > 0;
         },
         true},
    };
    // 30 keywords joined up to three at a time: 25,260 rows, too many to finish unnoticed.
    open({"--delay-ms", "60000"}, numberedKeywords(30));
    find<UpDown>("udComb")->setPosition(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.messages.clear();
        click("sbSearch");
        ASSERT_TRUE(waitFor([&] { return c.reached(*window); }));
        click("sbStop");
        // A pass runs for about 5 ms: three of them fit in one frame of the screen.
        int passes = 0;
        do {
            bridge->runOnce();
        } while (++passes < 3 && (window->session().generator().active() ||
                                  window->session().variables().runState != RunState::Idle));
        expectIdleWindow();
        EXPECT_TRUE(find<QProgressBar>("pbar")->isHidden());
        EXPECT_EQ(dialogs.messages.size(), c.summary ? 1u : 0u);
        // Rows made before a stop in the row phase stay; a stop before it adds none.
        const std::size_t rows = window->results().size();
        EXPECT_LT(rows, 25260u);
        EXPECT_EQ(rows > 2000, c.summary) << rows;
        ASSERT_TRUE(loopSettled());
        EXPECT_EQ(window->results().size(), rows) << "no row is added after the stop";
    }
    EXPECT_TRUE(failures.empty());
}

} // namespace
} // namespace zendrel
