#include "tests/ui/WindowHarness.h"
#include "ui/HelpWindow.h"
#include "ui/ProxyGrid.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/UpDown.h"
#include "ui/ZoneCheckList.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSplitter>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::WindowHarness;

TEST(MainWindow, StartsWithItsCaptionsHintsAndRunButtons) {
    WindowHarness h;
    EXPECT_EQ(h.window->windowTitle(), "Zendrel 2.10");
    const std::pair<const char*, const char*> captions[] = {{"sbSearch", "Search"},
                                                            {"sbStop", "Stop"},
                                                            {"ExplorerButton1", "   Exit"},
                                                            {"sbResume", "Resume"},
                                                            {"SpeedButton10", "Save Results"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(h.find<QToolButton>(name)->text(), caption) << name;
    const std::pair<const char*, const char*> boxes[] = {
        {"cbAdd", "Additional  Domain Name Keywords"},
        {"cbHyphens", "Using Hyphens"},
        {"cbResume", "Auto Resume"},
        {"cbFree", "is available"},
        {"cbHold", "hold"},
        {"cbNot", "is not available"},
        {"cbDNO", "Domain Name only"},
        {"cbAll", "All"},
        {"cbDel", "Delete unavailable"}};
    for (const auto& [name, caption] : boxes)
        EXPECT_EQ(h.find<QCheckBox>(name)->text(), caption) << name;
    EXPECT_EQ(h.find<QLabel>("Label5")->toolTip(), "Word Combinations");
    EXPECT_EQ(h.find<QLineEdit>("Edit1")->toolTip(), "Word Combinations");
    EXPECT_EQ(h.find<QLineEdit>("Edit21")->toolTip(), "Skip loading after (seconds)");
    EXPECT_EQ(h.find<QLabel>("Label1")->text(), "Domains");

    EXPECT_TRUE(h.find<QToolButton>("sbSearch")->isEnabled());
    EXPECT_FALSE(h.find<QToolButton>("sbStop")->isEnabled());
    EXPECT_TRUE(h.find<QToolButton>("sbResume")->isEnabled());
    EXPECT_TRUE(h.find<QProgressBar>("pbar")->isHidden());
    EXPECT_EQ(h.find<QProgressBar>("pbar")->maximum(), 100);
}

TEST(MainWindow, NumberFieldsStartAtTheSettingsDefaultsWithinTheirRanges) {
    WindowHarness h;
    struct Field {
        const char* upDown;
        const char* edit;
        int min, max, value;
    };
    const Field fields[] = {{"udComb", "Edit1", 1, 10, 1},     {"udHyphens", "Edit2", 1, 2, 1},
                            {"udTime", "Edit21", 1, 1000, 50}, {"udLink", "Edit3", 1, 100, 2},
                            {"udMax", "eMax", 1, 63, 30},      {"udAR", "eAR", 0, 100, 0}};
    for (const Field& f : fields) {
        auto* ud = h.find<UpDown>(f.upDown);
        EXPECT_EQ(ud->minimum(), f.min) << f.upDown;
        EXPECT_EQ(ud->maximum(), f.max) << f.upDown;
        EXPECT_EQ(ud->position(), f.value) << f.upDown;
        EXPECT_EQ(h.find<QLineEdit>(f.edit)->text(), QString::number(f.value)) << f.edit;
    }
    EXPECT_TRUE(h.find<QLineEdit>("Edit2")->isReadOnly());
}

TEST(MainWindow, TablesFillTheZoneListAndTheExtraResultColumns) {
    WindowHarness h;
    auto* zones = h.find<ZoneCheckList>("clbDom");
    ASSERT_EQ(zones->count(), 3);
    EXPECT_EQ(zones->item(2)->text(), "co.uk");
    EXPECT_TRUE(zones->checkedZones().empty());

    auto* view = h.find<ResultsView>("lvResult");
    QAbstractItemModel* model = view->model();
    ASSERT_EQ(model->columnCount(), 5);
    // The method table keeps every item lower-case, its column captions included.
    const char* headers[] = {"Domain", "State", "Time", "registrar", "created"};
    const int widths[] = {100, 100, 50, 100, 100};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), headers[c]);
        EXPECT_EQ(view->columnWidth(c), widths[c]) << c;
    }
    EXPECT_FALSE(view->isSortingEnabled());
    EXPECT_TRUE(view->showGrid());
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(MainWindow, WithoutWorkspaceFilesTheWindowStillOpensEmpty) {
    WindowHarness h(false);
    EXPECT_EQ(h.find<ZoneCheckList>("clbDom")->count(), 0);
    EXPECT_EQ(h.find<ResultsView>("lvResult")->model()->columnCount(), 3);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST(MainWindow, ConnectionGridTakesValuesOnlyInItsValueColumn) {
    WindowHarness h;
    auto* grid = h.find<ProxyGrid>("sgProxy");
    ASSERT_EQ(grid->rowCount(), 9);
    ASSERT_EQ(grid->columnCount(), 2);
    const char* labels[] = {"Proxy",    "Proxy Port",     "Sender",
                            "Agent",    "Reference",      "Username",
                            "Password", "Proxy Username", "Proxy Password"};
    for (int r = 0; r < 9; ++r) {
        EXPECT_EQ(grid->item(r, 0)->text(), labels[r]);
        EXPECT_FALSE(grid->item(r, 0)->flags() & Qt::ItemIsSelectable);
        EXPECT_FALSE(grid->item(r, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_TRUE(grid->item(r, 1)->flags() & Qt::ItemIsEditable);
        EXPECT_EQ(grid->rowHeight(r), 18);
        EXPECT_TRUE(grid->item(r, 1)->text().isEmpty());
    }
    EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);

    grid->setCurrentCell(3, 0);
    EXPECT_EQ(grid->currentColumn(), 1) << "a label never becomes the current cell";
    grid->setValue(0, "  proxy.local ");
    grid->setValue(1, "8080");
    const auto settings = grid->settings();
    EXPECT_EQ(settings[0], "proxy.local");
    EXPECT_EQ(settings[1], "8080");
    EXPECT_EQ(settings[8], "");
}

TEST(MainWindow, ExitClosesTheWindowAndF1OpensHelp) {
    WindowHarness h;
    h.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.window.get()));
    QTest::keyClick(h.window.get(), Qt::Key_F1);
    ASSERT_NE(h.window->helpWindow(), nullptr);
    EXPECT_TRUE(h.window->helpWindow()->isVisible());
    EXPECT_TRUE(h.window->helpWindow()->text().contains("Search")) << "built-in text";
    h.window->helpWindow()->close();

    h.dir.write("help.html", "<p>Our own page</p>");
    h.window->showHelp();
    EXPECT_EQ(h.window->helpWindow()->text(), "Our own page");

    h.click("ExplorerButton1");
    EXPECT_FALSE(h.window->isVisible());
}

TEST(MainWindow, SplittersSizeTheKeywordPaneAndTheLowerPane) {
    WindowHarness h;
    h.window->resize(900, 600);
    h.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.window.get()));
    EXPECT_EQ(h.find<QSplitter>("Splitter2")->handleWidth(), 3);
    EXPECT_EQ(h.find<QSplitter>("Splitter1")->handleWidth(), 2);
    h.window->setLowerPaneHeight(250);
    EXPECT_EQ(h.window->lowerPaneHeight(), 250);
}

} // namespace
} // namespace zendrel
