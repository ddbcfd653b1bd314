#include "platform/Files.h"
#include "tests/ui/WindowHarness.h"
#include "ui/AdditionalWordPane.h"
#include "ui/HelpWindow.h"
#include "ui/KeywordPane.h"
#include "ui/ProxyGrid.h"
#include "ui/ResultsView.h"
#include "ui/UpDown.h"
#include "ui/WorkArea.h"
#include "ui/ZoneCheckList.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTableWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace zendrel {
namespace {

using test::WindowHarness;

// Closes the harness's window (which saves) and opens a new one on the same folder.
void Restart(WindowHarness& h) {
    h.window->close();
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
}

void ShowAndWait(WindowHarness& h) {
    h.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.window.get()));
}

UpDown* upDown(WindowHarness& h, const char* name) {
    return h.find<UpDown>(name);
}

std::string ReadSample(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(std::string(ZENDREL_SAMPLE_DATA) + name, bytes)) << name;
    return bytes;
}

void ClickHeader(QTableWidget* grid, int column) {
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, 5));
}

TEST(WindowSettings, FirstStartWithoutSettingsFileTakesTheDefaults) {
    WindowHarness h;
    EXPECT_TRUE(h.window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(upDown(h, "udLink")->position(), 2);
    EXPECT_EQ(upDown(h, "udTime")->position(), 50);
    EXPECT_TRUE(h.find<QCheckBox>("cbAll")->isChecked());
    EXPECT_TRUE(h.find<QCheckBox>("cbResume")->isChecked());
    EXPECT_FALSE(h.find<QCheckBox>("cbDel")->isChecked());
    EXPECT_TRUE(h.find<ZoneCheckList>("clbDom")->checkedZones().empty());
    EXPECT_EQ(h.window->keywordPane()->path(), h.dir.file("default.txt"));
    EXPECT_EQ(h.window->additionalWordPane()->path(), h.dir.file("add.txt"));
    EXPECT_EQ(h.window->settingsPath(), h.dir.file("param.txt"));
    auto* grid = h.find<ProxyGrid>("sgProxy");
    for (int i = 0; i < ProxyGrid::kSettings; ++i)
        EXPECT_EQ(grid->value(i), "") << i;
    EXPECT_EQ(grid->columnWidth(0), 100);
    EXPECT_EQ(grid->columnWidth(1), 100);
    EXPECT_EQ(h.window->keywordPane()->list()->count(), 3) << "keywords loaded";
    EXPECT_FALSE(std::filesystem::exists(h.dir.file("param.txt"))) << "created at the first save";
    QCoreApplication::processEvents();
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(WindowSettings, EveryOptionSizeAndConnectionSettingSurvivesARestart) {
    WindowHarness h;
    h.window->setWindowState(Qt::WindowNoState);
    h.window->move(40, 30);
    h.window->resize(900, 640);
    ShowAndWait(h);
    WorkArea* work = h.window->workArea();
    upDown(h, "udComb")->setPosition(3);
    h.check("cbAdd", true);
    h.check("cbHyphens", true);
    upDown(h, "udHyphens")->setPosition(2);
    h.find<ZoneCheckList>("clbDom")->setChecked(1, true);
    upDown(h, "udLink")->setPosition(7);
    upDown(h, "udTime")->setPosition(120);
    h.check("cbDel", true);
    ClickHeader(h.window->additionalWordPane()->grid(), 1);
    for (const char* box : {"cbFree", "cbNot", "cbHold", "cbDNO"})
        h.check(box, true);
    h.check("cbAll", false);
    h.check("cbResume", false);
    upDown(h, "udAR")->setPosition(4);
    upDown(h, "udMax")->setPosition(20);
    auto* grid = h.find<ProxyGrid>("sgProxy");
    grid->setValue(0, "  proxy.local  ");
    grid->setValue(6, "pass word");
    grid->setColumnWidth(0, 90);
    grid->setColumnWidth(1, 110);
    work->setKeywordPaneWidth(330);
    h.window->setLowerPaneHeight(240);
    auto* view = h.find<ResultsView>("lvResult");
    view->setColumnWidth(0, 130);
    view->setColumnWidth(1, 140);
    view->setColumnWidth(2, 60);

    Restart(h);
    EXPECT_FALSE(h.window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(h.window->pos(), QPoint(40, 30));
    EXPECT_EQ(h.window->size(), QSize(900, 640));
    ShowAndWait(h);
    work = h.window->workArea();
    EXPECT_EQ(upDown(h, "udComb")->position(), 3);
    EXPECT_EQ(h.find<QLineEdit>("Edit1")->text(), "3");
    EXPECT_TRUE(h.find<QCheckBox>("cbAdd")->isChecked());
    EXPECT_TRUE(h.find<QCheckBox>("cbHyphens")->isChecked());
    EXPECT_EQ(upDown(h, "udHyphens")->position(), 2);
    EXPECT_EQ(h.find<ZoneCheckList>("clbDom")->checkedZones(), std::vector<std::string>{"net"});
    EXPECT_EQ(upDown(h, "udLink")->position(), 7);
    EXPECT_EQ(upDown(h, "udTime")->position(), 120);
    EXPECT_TRUE(h.find<QCheckBox>("cbDel")->isChecked());
    EXPECT_EQ(h.window->additionalWordPane()->headerText(0), "First");
    EXPECT_EQ(h.window->additionalWordPane()->headerText(1), "1Last");
    for (const char* box : {"cbFree", "cbNot", "cbHold", "cbDNO"})
        EXPECT_TRUE(h.find<QCheckBox>(box)->isChecked()) << box;
    EXPECT_FALSE(h.find<QCheckBox>("cbAll")->isChecked());
    EXPECT_FALSE(h.find<QCheckBox>("cbResume")->isChecked());
    EXPECT_EQ(upDown(h, "udAR")->position(), 4);
    EXPECT_EQ(upDown(h, "udMax")->position(), 20);
    EXPECT_EQ(h.find<QLineEdit>("eMax")->text(), "20");
    grid = h.find<ProxyGrid>("sgProxy");
    EXPECT_EQ(grid->value(0), "proxy.local") << "stored trimmed";
    EXPECT_EQ(grid->value(6), "pass word");
    EXPECT_EQ(grid->columnWidth(0), 90);
    EXPECT_EQ(grid->columnWidth(1), 110);
    EXPECT_EQ(work->keywordPaneWidth(), 330);
    EXPECT_EQ(h.window->lowerPaneHeight(), 240);
    view = h.find<ResultsView>("lvResult");
    EXPECT_EQ(view->columnWidth(0), 130);
    EXPECT_EQ(view->columnWidth(1), 140);
    EXPECT_EQ(view->columnWidth(2), 60);
    EXPECT_EQ(view->columnWidth(3), 100) << "extra columns keep their width";
}

TEST(WindowSettings, MaximizedWindowAndPaneSizesRestoreAfterShowing) {
    WindowHarness h;
    ShowAndWait(h);
    h.window->workArea()->setKeywordPaneWidth(310);
    h.window->setLowerPaneHeight(230);
    Restart(h);
    ShowAndWait(h);
    EXPECT_TRUE(h.window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(h.window->workArea()->keywordPaneWidth(), 310);
    EXPECT_EQ(h.window->lowerPaneHeight(), 230);
    h.window->close();
    EXPECT_NE(h.dir.read("param.txt").find("Main=\r\n"), std::string::npos)
        << "a maximized window stores no placement";
}

// Hand-written values and what the window makes of them.
TEST(WindowSettings, HandWrittenValuesLandInTheirControls) {
    struct Case {
        const char* lines;
        std::vector<std::string> zones;
        bool deleteBox;
        int links, maxLength, time;
    };
    const Case cases[] = {
        {"Dom=+", {"com"}, false, 2, 30, 50},
        {"Dom=-++++++", {"net", "co.uk"}, false, 2, 30, 50},
        {"Dom=+x+", {"com", "co.uk"}, false, 2, 30, 50},
        {"Links=0x0A", {}, false, 10, 30, 50},
        {"DeleteItems=1\r\nDelete=0", {}, false, 2, 30, 50},
        {"Delete=1", {}, true, 2, 30, 50},
        // Values beyond a field's own limits are brought to the nearest limit.
        {"MaxLength=99\r\nLinks=0\r\nTimeOut=-5", {}, false, 1, 63, 1},
    };
    for (const Case& c : cases) {
        WindowHarness h;
        h.dir.write("param.txt", std::string("[Param]\r\n") + c.lines + "\r\n");
        h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
        EXPECT_EQ(h.find<ZoneCheckList>("clbDom")->checkedZones(), c.zones) << c.lines;
        EXPECT_EQ(h.find<QCheckBox>("cbDel")->isChecked(), c.deleteBox) << c.lines;
        EXPECT_EQ(upDown(h, "udLink")->position(), c.links) << c.lines;
        EXPECT_EQ(upDown(h, "udMax")->position(), c.maxLength) << c.lines;
        EXPECT_EQ(h.find<QLineEdit>("eMax")->text(), QString::number(c.maxLength)) << c.lines;
        EXPECT_EQ(upDown(h, "udTime")->position(), c.time) << c.lines;
        QCoreApplication::processEvents();
        EXPECT_TRUE(h.dialogs.messages.empty()) << c.lines;
    }
}

TEST(WindowSettings, PlacementWithTwoFieldsMovesOnlyAndDefaultSizesLeaveColumnsAlone) {
    WindowHarness h;
    h.dir.write("param.txt", "[Param]\r\nMain=30,40\r\nParam=260,255\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_FALSE(h.window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(h.window->pos(), QPoint(30, 40));
    EXPECT_EQ(h.window->size(), QSize(746, 394)) << "the layout's size";
    h.window->resize(780, 560); // room for the stored lower pane
    ShowAndWait(h);
    // A pane is never made narrower than its tool row needs.
    KeywordPane* keywords = h.window->keywordPane();
    EXPECT_EQ(h.window->workArea()->keywordPaneWidth(),
              std::max(260, keywords->minimumSizeHint().width()));
    EXPECT_EQ(h.window->lowerPaneHeight(), 255);
    auto* view = h.find<ResultsView>("lvResult");
    EXPECT_EQ(view->columnWidth(0), 100);
    EXPECT_EQ(view->columnWidth(1), 100);
    EXPECT_EQ(view->columnWidth(2), 50);
}

TEST(WindowSettings, PlacementOffEveryScreenOpensOnThePrimaryScreen) {
    WindowHarness h;
    h.dir.write("param.txt", "[Param]\r\nMain=-5000,-4000,400,300\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_EQ(h.window->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    EXPECT_EQ(h.window->size(), QSize(400, 300));
}

TEST(WindowSettings, SampleWorkspaceLoadsWithoutComplaint) {
    WindowHarness h(false);
    for (const char* name : {"domain.txt", "method.txt", "default.txt", "add.txt", "param.txt"})
        h.dir.write(name, ReadSample(name));
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    QCoreApplication::processEvents();
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(upDown(h, "udLink")->position(), 10);
    EXPECT_EQ(upDown(h, "udTime")->position(), 10);
    const std::vector<std::string> zones = h.find<ZoneCheckList>("clbDom")->checkedZones();
    EXPECT_EQ(zones, (std::vector<std::string>{"com", "net", "dev", "de"}));
    EXPECT_GT(h.window->keywordPane()->list()->count(), 0);
}

TEST(WindowSettings, UnusableValuesAreReportedOnceByKeyAndTheRestStillLoads) {
    WindowHarness h;
    h.dir.write("param.txt", "[Param]\r\nMain=1,2,wide,4\r\nLinks=70000\r\nTimeOut=9\r\n"
                             "Param=300,x\r\nDom=+++\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_TRUE(h.dialogs.messages.empty()) << "reported once the window is up";
    QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const QString text = h.dialogs.messages[0].text;
    for (const char* key : {"Main", "Links", "Param"})
        EXPECT_TRUE(text.contains(key)) << key << ": " << text.toStdString();
    EXPECT_FALSE(text.contains("TimeOut"));
    EXPECT_TRUE(text.contains(QString::fromStdString(h.dir.file("param.txt"))));
    EXPECT_TRUE(h.window->windowState() & Qt::WindowMaximized) << "Main took its default";
    EXPECT_EQ(upDown(h, "udLink")->position(), 2);
    EXPECT_EQ(upDown(h, "udTime")->position(), 9);
    EXPECT_EQ(h.find<ZoneCheckList>("clbDom")->checkedZones().size(), 3u);
    EXPECT_EQ(h.window->keywordPane()->list()->count(), 3);
    EXPECT_EQ(h.find<ResultsView>("lvResult")->model()->columnCount(), 5);
}

TEST(WindowSettings, IgnoredZoneOptionsAreNamedInTheSameOneMessage) {
    WindowHarness h;
    h.dir.write("domain.txt", "a;http://127.0.0.1:1/%s;1;com;rdap;pace=fast\r\n"
                              "b;http://127.0.0.1:1/%s;1;net;nodns;colour=red\r\n");
    h.dir.write("param.txt", "[Param]\r\nLinks=70000\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    QCoreApplication::processEvents();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const QString text = h.dialogs.messages[0].text;
    EXPECT_TRUE(text.contains("Links")) << text.toStdString();
    EXPECT_TRUE(text.contains("domain.txt, line 1: option \"pace=fast\" ignored"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("domain.txt, line 2: option \"colour=red\" ignored: unknown option"))
        << text.toStdString();
    EXPECT_EQ(h.find<ZoneCheckList>("clbDom")->count(), 2) << "both zones still load";
}

TEST(WindowSettings, AnEmptyWordListPathLoadsAndWritesNoFile) {
    WindowHarness h;
    h.dir.write("param.txt", "[Param]\r\nFileNameDomain=\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_EQ(h.window->keywordPane()->path(), "");
    EXPECT_EQ(h.window->keywordPane()->list()->count(), 0);
    h.window->close();
    EXPECT_EQ(h.dir.read("default.txt"), "shop\r\ncloud;-\r\nbike\r\n");
    EXPECT_NE(h.dir.read("param.txt").find("FileNameDomain=\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(h.dir.file("add.txt"))) << "the other list is saved";
}

TEST(WindowSettings, FirstHeaderCheckMarkSurvivesARestart) {
    WindowHarness h;
    ShowAndWait(h);
    ClickHeader(h.window->additionalWordPane()->grid(), 0);
    Restart(h);
    EXPECT_NE(h.dir.read("param.txt").find("FirstAdd=1\r\n"), std::string::npos);
    EXPECT_EQ(h.window->additionalWordPane()->headerText(0), "1First");
    EXPECT_EQ(h.window->additionalWordPane()->headerText(1), "Last");
}

TEST(WindowSettings, CheckDnsFirstLivesInItsOwnSectionWithTheNameServersKept) {
    WindowHarness h;
    auto* box = h.find<QCheckBox>("cbDnsFirst");
    EXPECT_FALSE(box->isChecked());
    Restart(h);
    EXPECT_EQ(h.dir.read("param.txt").find("[Zendrel]"), std::string::npos)
        << "a workspace that never used it gets no new section";
    h.dir.write("param.txt", "[Param]\r\nLinks=5\r\n[Zendrel]\r\nDnsServers=127.0.0.1:53\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_FALSE(h.window->dnsFirst());
    EXPECT_EQ(h.window->dnsServers(), "127.0.0.1:53");
    h.find<QCheckBox>("cbDnsFirst")->setChecked(true);
    EXPECT_TRUE(h.window->dnsFirst()) << "the run reads the box as it stands";
    Restart(h);
    EXPECT_TRUE(h.find<QCheckBox>("cbDnsFirst")->isChecked());
    EXPECT_NE(
        h.dir.read("param.txt").find("[Zendrel]\r\nDnsServers=127.0.0.1:53\r\nDnsFirst=1\r\n"),
        std::string::npos)
        << h.dir.read("param.txt");
}

TEST(WindowSettings, HandEditedCommentsAndOtherSectionsAreKept) {
    WindowHarness h;
    h.dir.write("param.txt", "; written by hand\r\n[Param]\r\n; how many at once\r\nLinks=5\r\n"
                             "\r\n[Notes]\r\nTodo=more zones\r\n");
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    upDown(h, "udLink")->setPosition(6);
    h.window->close();
    const std::string text = h.dir.read("param.txt");
    EXPECT_EQ(text.find("; written by hand\r\n[Param]\r\n; how many at once\r\nLinks=6\r\n"), 0u)
        << text;
    EXPECT_NE(text.find("\r\n[Notes]\r\nTodo=more zones\r\n"), std::string::npos) << text;
}

TEST(WindowSettings, RefusedSettingsWriteIsShownFromSaveButtonAndAskedAboutAtClose) {
    // A folder where the file should be refuses every write, even for root.
    WindowHarness h;
    std::filesystem::create_directory(h.dir.file("param.txt"));
    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("mine.txt")));
    h.click("SpeedButton7");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const QString refused = QString::fromStdString("Unable to write to " + h.dir.file("param.txt"));
    EXPECT_EQ(h.dialogs.messages[0].text, refused);
    EXPECT_EQ(h.dialogs.messages[0].icon, DialogService::Icon::Error);
    EXPECT_EQ(h.dir.read("mine.txt"), "shop\r\ncloud;-\r\nbike\r\n") << "the list was saved";

    // Closing asks; "No" keeps the window, its lists and its tables as they are.
    ShowAndWait(h);
    h.dialogs.yesNoAnswers.push_back(false);
    EXPECT_FALSE(h.window->close());
    EXPECT_TRUE(h.window->isVisible());
    ASSERT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_TRUE(h.dialogs.questions[0].text.startsWith(refused))
        << h.dialogs.questions[0].text.toStdString();
    EXPECT_TRUE(h.dialogs.questions[0].text.endsWith("Close anyway?"));
    EXPECT_EQ(h.window->keywordPane()->list()->count(), 3);
    EXPECT_EQ(h.window->session().zones().size(), 3u);

    // Once the folder takes the file again, the close saves without asking.
    std::filesystem::remove(h.dir.file("param.txt"));
    EXPECT_TRUE(h.window->close());
    EXPECT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_NE(h.dir.read("param.txt").find("FileNameDomain=" + h.dir.file("mine.txt")),
              std::string::npos);
}

TEST(WindowSettings, RefusedSaveAtCloseClosesWhenTheUserSaysSo) {
    WindowHarness h;
    std::filesystem::create_directory(h.dir.file("param.txt"));
    ShowAndWait(h);
    h.dialogs.yesNoAnswers.push_back(true);
    EXPECT_TRUE(h.window->close());
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_TRUE(std::filesystem::is_directory(h.dir.file("param.txt")));
}

TEST(WindowSettings, AdditionalWordSaveButtonRecordsTheNewPath) {
    WindowHarness h;
    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("words.txt")));
    h.click("SpeedButton8");
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(h.dir.file("words.txt")));
    const std::string text = h.dir.read("param.txt");
    EXPECT_NE(text.find("FileAddDomain=" + h.dir.file("words.txt") + "\r\n"), std::string::npos)
        << text;
}

TEST(WindowSettings, SaveCutShortByTheDiskLeavesTheOldFileWhole) {
    WindowHarness h;
    // Big enough that a rewrite cannot fit under the limit below.
    const std::string old = "[Param]\r\nLinks=5\r\n; " + std::string(6000, 'n') + "\r\n";
    h.dir.write("param.txt", old);
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    upDown(h, "udLink")->setPosition(9);
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    h.dialogs.yesNoAnswers.push_back(true); // close anyway
    const bool closed = h.window->close();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(closed);
    EXPECT_EQ(h.dialogs.questions.size(), 1u) << "the failed save was reported";
    EXPECT_EQ(h.dir.read("param.txt"), old);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(h.dir.path()))
        ++files;
    EXPECT_EQ(files, 5u) << "no temporary file left behind";
}

TEST(WindowSettings, UnreadableWordListIsNotReplacedAtClose) {
    WindowHarness h;
    std::filesystem::remove(h.dir.file("default.txt"));
    std::filesystem::create_directory(h.dir.file("default.txt"));
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    EXPECT_EQ(h.window->keywordPane()->list()->count(), 0);
    upDown(h, "udLink")->setPosition(8);
    h.window->close();
    EXPECT_TRUE(std::filesystem::is_directory(h.dir.file("default.txt")));
    EXPECT_NE(h.dir.read("param.txt").find("Links=8\r\n"), std::string::npos)
        << "the settings are still saved";
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(WindowSettings, ClosingWhileNamesAreGeneratedStopsThemAndStillSaves) {
    WindowHarness h;
    std::string many;
    for (int i = 0; i < 9; ++i)
        many += "word" + std::to_string(i) + "\r\n";
    h.dir.write("default.txt", many);
    h.window = std::make_unique<T_FDomain>(h.loop, h.dialogs, h.dir.path());
    h.find<ZoneCheckList>("clbDom")->setAllChecked(true);
    upDown(h, "udComb")->setPosition(6);
    ShowAndWait(h);
    h.click("sbSearch");
    h.loop.runPending(2);
    ASSERT_FALSE(h.find<QToolButton>("sbSearch")->isEnabled()) << "still generating";
    h.click("ExplorerButton1");
    EXPECT_FALSE(h.window->isVisible());
    h.loop.runUntil([] { return false; }, 50); // nothing left may touch the freed tables
    EXPECT_FALSE(h.window->session().generator().addingRows());
    EXPECT_EQ(h.dir.read("default.txt"), many) << "the list is written back unchanged";
    EXPECT_NE(h.dir.read("param.txt").find("Combinations=6\r\n"), std::string::npos);
}

TEST(WindowHelp, F1OpensHelpFromEveryControlOfTheWindow) {
    WindowHarness h;
    ShowAndWait(h);
    int controls = 0;
    for (QWidget* w : h.window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->focusPolicy() == Qt::NoFocus || w->window() != h.window.get())
            continue;
        ++controls;
        if (h.window->helpWindow())
            h.window->helpWindow()->hide();
        QTest::keyClick(w, Qt::Key_F1);
        ASSERT_NE(h.window->helpWindow(), nullptr) << w->objectName().toStdString();
        EXPECT_TRUE(h.window->helpWindow()->isVisible())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    EXPECT_GT(controls, 20) << "the lists, grids, fields and boxes were all tried";
}

} // namespace
} // namespace zendrel
