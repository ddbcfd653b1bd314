#include "ui/AdditionalWordPane.h"

#include "platform/Files.h"
#include "tests/engine/WordListPrinters.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zendrel {
namespace {

using test::FakeDialogs;
using test::TempDir;
using Rows = std::vector<AdditionalRow>;

class AdditionalWordPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        pane.resize(400, 300);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }
    void click(const char* name) {
        auto* b = pane.findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void add(const QString& word) {
        dialogs.itemAnswers.push_back({true, word});
        click("SpeedButton3");
    }
    QTableWidget* grid() { return pane.findChild<QTableWidget*>("sgAdd"); }
    void clickHeader(int column, Qt::MouseButton button = Qt::LeftButton) {
        QHeaderView* h = grid()->horizontalHeader();
        QTest::mouseClick(h->viewport(), button, {},
                          QPoint(h->sectionViewportPosition(column) + 5, 5));
    }
    void doubleClickCell(int row, int column) {
        QRect r = grid()->visualRect(grid()->model()->index(row, column));
        // The view takes a double-click only after a press on the same cell.
        QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }

    FakeDialogs dialogs;
    AdditionalWordPane pane{dialogs};
    TempDir dir;
};

TEST_F(AdditionalWordPaneTest, StartsWithOneEmptyRowAndTheGridGeometry) {
    EXPECT_EQ(pane.rows(), Rows(1));
    EXPECT_EQ(pane.headerText(0), "First");
    EXPECT_EQ(pane.headerText(1), "Last");
    EXPECT_EQ(pane.headerText(2), "Name");
    EXPECT_EQ(grid()->columnWidth(0), 40);
    EXPECT_EQ(grid()->columnWidth(1), 43);
    EXPECT_EQ(grid()->columnWidth(2), 176);
    EXPECT_EQ(grid()->rowHeight(0), 18);
}

TEST_F(AdditionalWordPaneTest, FirstWordFillsRowOneThenAddsAppendWithFlagsOff) {
    add("pre");
    ASSERT_EQ(dialogs.itemAsks.size(), 1u);
    EXPECT_FALSE(dialogs.itemAsks[0].newItem); // the empty grid's row is edited
    EXPECT_EQ(pane.rows(), (Rows{{"", "", "pre"}}));

    pane.setRows({{"1", "1", "pre"}});
    add("post");
    EXPECT_TRUE(dialogs.itemAsks.back().newItem);
    EXPECT_EQ(pane.rows(), (Rows{{"1", "1", "pre"}, {"", "", "post"}}));
    EXPECT_EQ(grid()->currentRow(), 1);

    grid()->setCurrentCell(0, 2);
    dialogs.itemAnswers.push_back({true, "before"});
    click("SpeedButton14");
    EXPECT_FALSE(dialogs.itemAsks.back().newItem);
    EXPECT_EQ(dialogs.itemAsks.back().text, "pre");
    EXPECT_EQ(pane.rows(), (Rows{{"1", "1", "before"}, {"", "", "post"}}));
}

TEST_F(AdditionalWordPaneTest, DeleteAsksOnlyWhenThereIsSomethingToDelete) {
    click("SpeedButton4");
    EXPECT_TRUE(dialogs.questions.empty());

    pane.setRows({{"1", "", "a"}, {"", "1", "b"}, {"", "", "c"}});
    grid()->setCurrentCell(1, 2);
    dialogs.yesNoAnswers = {false, true};
    click("SpeedButton4");
    EXPECT_EQ(pane.rows().size(), 3u);
    click("SpeedButton4");
    EXPECT_EQ(pane.rows(), (Rows{{"1", "", "a"}, {"", "", "c"}}));

    pane.setRows({{"", "1", ""}});
    dialogs.yesNoAnswers = {true};
    click("SpeedButton4");
    EXPECT_EQ(dialogs.questions.size(), 3u);
    EXPECT_EQ(dialogs.questions.back().text, "Delete Item");
    EXPECT_EQ(dialogs.questions.back().caption, "Question");
    EXPECT_EQ(pane.rows(), Rows(1));
}

TEST_F(AdditionalWordPaneTest, HeaderClicksToggleTheWholeColumn) {
    pane.setRows({{"", "1", "a"}, {"1", "", "b"}});
    grid()->setCurrentCell(1, 2);
    clickHeader(0);
    EXPECT_EQ(grid()->currentRow(), 1);
    EXPECT_EQ(pane.headerText(0), "1First");
    EXPECT_EQ(pane.rows(), (Rows{{"1", "1", "a"}, {"1", "", "b"}}));
    clickHeader(0, Qt::RightButton); // any button
    EXPECT_EQ(pane.headerText(0), "First");
    EXPECT_EQ(pane.rows(), (Rows{{"", "1", "a"}, {"", "", "b"}}));
    clickHeader(2);
    EXPECT_EQ(pane.headerText(2), "Name");
    EXPECT_EQ(pane.rows(), (Rows{{"", "1", "a"}, {"", "", "b"}}));
}

TEST_F(AdditionalWordPaneTest, DoubleClickTogglesOnlyFlagCells) {
    pane.setRows({{"", "1", "a"}});
    doubleClickCell(0, 0);
    doubleClickCell(0, 1);
    doubleClickCell(0, 2);
    EXPECT_EQ(pane.rows(), (Rows{{"1", "", "a"}}));
}

TEST_F(AdditionalWordPaneTest, LoadClearsWhatTheRowsHeldAndSaveRoundTrips) {
    dir.write("add.txt", "top\r\n\r\npre; -\r\n\xff");
    pane.setRows(
        {{"1", "1", "x"}, {"1", "1", "y"}, {"1", "1", "z"}, {"1", "1", "w"}, {"1", "1", "v"}});
    dialogs.fileAnswers = {QString::fromStdString(dir.file("add.txt"))};
    click("SpeedButton6");
    Rows expected = {{"1", "1", "top"}, {"", "", ""}, {"1", "", "pre"}, {"1", "1", "\xff"}};
    EXPECT_EQ(pane.rows(), expected);

    int settingsSaves = 0;
    pane.setSaveSettings([&] { ++settingsSaves; });
    dialogs.fileAnswers = {QString::fromStdString(dir.file("copy.txt"))};
    click("SpeedButton8");
    EXPECT_EQ(settingsSaves, 1);
    EXPECT_EQ(pane.path(), dir.file("copy.txt"));
    pane.setRows({});
    pane.LoadAdditionalWords();
    EXPECT_EQ(pane.rows(), expected);

    dialogs.fileAnswers = {QString::fromStdString(dir.file("missing.txt"))};
    click("SpeedButton6");
    EXPECT_EQ(pane.rows(), Rows(1));
}

TEST_F(AdditionalWordPaneTest, FailedSaveIsShownAndKeepsThePath) {
    pane.setPath(dir.file("add.txt"));
    pane.setSaveSettings([] { ADD_FAILURE() << "settings saved after a failed save"; });
    dialogs.fileAnswers = {QString::fromStdString(dir.file("no/such/add.txt"))};
    click("SpeedButton8");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, DialogService::Icon::Error);
    EXPECT_EQ(pane.path(), dir.file("add.txt"));
}

TEST_F(AdditionalWordPaneTest, UnreadableFileIsNotOverwrittenUntilTheUserEdits) {
    // A folder stands in for an unreadable file; a save that tried to replace it would throw.
    ::mkdir(dir.file("locked.txt").c_str(), 0700);
    pane.setPath(dir.file("locked.txt"));
    pane.LoadAdditionalWords();
    EXPECT_TRUE(pane.keepsUnreadableFile());
    EXPECT_NO_THROW(pane.SaveAdditionalWords());
    doubleClickCell(0, 0);
    EXPECT_FALSE(pane.keepsUnreadableFile());
    EXPECT_THROW(pane.SaveAdditionalWords(), FileWriteError);
}

} // namespace
} // namespace zendrel
