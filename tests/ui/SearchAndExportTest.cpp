#include "tests/ui/WindowHarness.h"
#include "ui/ResultsModel.h"
#include "ui/ResultsView.h"
#include "ui/ZoneCheckList.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QStyleOptionViewItem>
#include <filesystem>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::WindowHarness;

class SearchAndExport : public ::testing::Test {
protected:
    // Runs generation to its end and lets the view hear of every row.
    void search() {
        h.click("sbSearch");
        h.loop.runUntilIdle();
        h.window->resultsModel()->flush();
    }
    void checkZones(std::initializer_list<int> rows) {
        for (int r : rows)
            h.find<ZoneCheckList>("clbDom")->setChecked(r, true);
    }
    void clickHeader(int column) {
        QHeaderView* header = h.find<ResultsView>("lvResult")->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QAbstractItemModel* model() { return h.find<ResultsView>("lvResult")->model(); }
    bool rowChecked(int row) {
        return model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }

    WindowHarness h;
};

TEST_F(SearchAndExport, SearchWithoutZoneWarnsAndLeavesTheWindowIdle) {
    h.click("sbSearch");
    h.loop.runUntilIdle();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "You must select domain type. For example \".com\"");
    EXPECT_EQ(h.dialogs.messages[0].caption, "Attention");
    EXPECT_EQ(h.dialogs.messages[0].icon, DialogService::Icon::Error);
    EXPECT_TRUE(h.find<QToolButton>("sbSearch")->isEnabled());
    EXPECT_FALSE(h.find<QToolButton>("sbStop")->isEnabled());
    EXPECT_TRUE(h.find<QToolButton>("sbResume")->isEnabled());
    EXPECT_EQ(model()->rowCount(), 0);
}

TEST_F(SearchAndExport, SearchFillsTheListInNameThenZoneOrder) {
    checkZones({0, 2});
    h.click("sbSearch");
    EXPECT_FALSE(h.find<QToolButton>("sbSearch")->isEnabled()) << "busy while generating";
    EXPECT_TRUE(h.find<QToolButton>("sbStop")->isEnabled());
    EXPECT_FALSE(h.find<QToolButton>("sbResume")->isEnabled());
    h.loop.runUntilIdle();
    h.window->resultsModel()->flush();
    // "cloud" is unchecked in the keyword file; names and zones come in case-insensitive order.
    const char* expected[] = {"bike.co.uk", "bike.com", "shop.co.uk", "shop.com"};
    ASSERT_EQ(model()->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(model()->index(r, 0).data().toString(), expected[r]);
        EXPECT_FALSE(rowChecked(r));
        EXPECT_EQ(model()->index(r, 1).data().toString(), "");
    }
    EXPECT_TRUE(h.find<QProgressBar>("pbar")->isHidden());
    EXPECT_TRUE(h.dialogs.messages.empty());

    // A click on a row's check box marks the row in the store the run reads.
    auto* view = h.find<ResultsView>("lvResult");
    h.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.window.get()));
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(model()->index(2, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(h.window->results().checked(2));
    EXPECT_FALSE(h.window->results().checked(1));
}

TEST_F(SearchAndExport, DomainHeaderTogglesAllRowsAndOtherHeadersDoNothing) {
    // Before any run the counter is 0: the first click unchecks every row.
    h.window->results().append("a.com");
    h.window->results().setChecked(0, true);
    h.window->resultsModel()->flush();
    clickHeader(1);
    clickHeader(2);
    EXPECT_TRUE(rowChecked(0)) << "other headers do nothing";
    clickHeader(0);
    EXPECT_FALSE(rowChecked(0));

    // Once a run has started the first click checks every row, the next unchecks them.
    checkZones({0});
    search();
    ASSERT_EQ(model()->rowCount(), 2);
    clickHeader(0);
    EXPECT_TRUE(rowChecked(0));
    EXPECT_TRUE(rowChecked(1));
    clickHeader(0);
    EXPECT_FALSE(rowChecked(0));
    EXPECT_FALSE(rowChecked(1));
}

TEST_F(SearchAndExport, LookupsRunToTheEndAndExitDuringARunFinishesIt) {
    checkZones({0});
    search();
    EXPECT_FALSE(h.find<QToolButton>("sbSearch")->isEnabled()) << "lookups are running";
    EXPECT_TRUE(h.find<QToolButton>("sbStop")->isEnabled());
    EXPECT_FALSE(h.find<QToolButton>("sbResume")->isEnabled());
    // Nothing listens on port 1 of this computer: every lookup fails at once with "no data".
    for (int tick = 0; tick < 3000 && h.dialogs.messages.empty(); ++tick) {
        h.loop.advance(10);
        h.loop.runUntil([] { return false; }, 1);
    }
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Search is completed");
    EXPECT_EQ(h.dialogs.messages[0].caption, "Domains");
    h.window->resultsModel()->flush();
    EXPECT_EQ(model()->index(0, 1).data().toString(), "no data");
    EXPECT_TRUE(h.find<QToolButton>("sbSearch")->isEnabled());
    EXPECT_FALSE(h.find<QToolButton>("sbStop")->isEnabled());

    h.click("sbSearch");
    h.loop.runUntilIdle();
    ASSERT_FALSE(h.find<QToolButton>("sbSearch")->isEnabled());
    h.window->show();
    h.click("ExplorerButton1");
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.window->session().variables().runState, RunState::Idle);
    EXPECT_EQ(h.dialogs.messages.size(), 2u) << "the end-of-run step ran before closing";
    EXPECT_TRUE(std::filesystem::exists(h.dir.file("param.txt"))) << "saved after the run ended";
}

TEST_F(SearchAndExport, SaveResultsWritesTheFilteredRowsWithTxtAppended) {
    checkZones({0});
    search();
    ResultStore& rows = h.window->results();
    ASSERT_EQ(rows.size(), 2u);
    rows.setSubItem(0, ResultStore::kState, "is available");
    rows.setSubItem(0, ResultStore::kTime, "~");
    rows.setSubItem(0, ResultStore::kFirstExtra, "Example Registrar");
    rows.setSubItem(1, ResultStore::kState, "is not available");
    h.check("cbAll", false); // on by default in a new workspace
    h.check("cbFree", true);

    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("found")));
    h.click("SpeedButton10");
    ASSERT_EQ(h.dialogs.fileAsks.size(), 1u);
    EXPECT_TRUE(h.dialogs.fileAsks[0].save);
    EXPECT_EQ(h.dialogs.fileAsks[0].filter, "Text File (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(h.dialogs.fileAsks[0].initialName, QString::fromStdString(h.dir.file("*.txt")));
    EXPECT_EQ(h.dir.read("found.txt"), "bike.com;is available;~;Example Registrar;;\r\n");

    h.check("cbAll", true);
    h.check("cbDNO", true);
    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("names.lst")));
    h.click("SpeedButton10");
    EXPECT_EQ(h.dir.read("names.lst"), "bike.com\r\nshop.com\r\n");
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(SearchAndExport, SaveFailureIsReportedAndCancelWritesNothing) {
    checkZones({0});
    search();
    h.check("cbAll", true);
    h.dialogs.fileAnswers.push_back(std::nullopt);
    h.click("SpeedButton10");
    EXPECT_TRUE(h.dialogs.messages.empty());

    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("missing/out.txt")));
    h.click("SpeedButton10");
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].icon, DialogService::Icon::Error);
    EXPECT_FALSE(h.dialogs.messages[0].text.isEmpty());
    EXPECT_EQ(model()->rowCount(), 2) << "the list is unchanged";
}

} // namespace
} // namespace zendrel
