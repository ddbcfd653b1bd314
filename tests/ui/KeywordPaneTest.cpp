#include "ui/KeywordPane.h"

#include "platform/Files.h"
#include "tests/engine/WordListPrinters.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "ui/CheckAllBox.h"

#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zendrel {
namespace {

using test::FakeDialogs;
using test::TempDir;

class KeywordPaneTest : public ::testing::Test {
protected:
    void click(const char* name) {
        auto* b = pane.findChild<QToolButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void add(const QString& word) {
        dialogs.itemAnswers.push_back({true, word});
        click("SpeedButton1");
    }
    QListWidget* list() { return pane.findChild<QListWidget*>("clbDomain"); }

    FakeDialogs dialogs;
    KeywordPane pane{dialogs};
    TempDir dir;
};

TEST_F(KeywordPaneTest, AddAppendsCheckedAndEditReplacesInPlaceUnchecked) {
    add("cloud");
    add("bike");
    add("cloud");
    EXPECT_EQ(pane.entries(),
              (std::vector<KeywordEntry>{{"cloud", true}, {"bike", true}, {"cloud", true}}));
    EXPECT_TRUE(dialogs.itemAsks[0].newItem);
    EXPECT_EQ(dialogs.itemAsks[0].text, "");

    list()->setCurrentRow(1);
    dialogs.itemAnswers.push_back({true, "bicycle"});
    click("SpeedButton2");
    EXPECT_FALSE(dialogs.itemAsks.back().newItem);
    EXPECT_EQ(dialogs.itemAsks.back().text, "bike");
    EXPECT_EQ(pane.entries()[1], (KeywordEntry{"bicycle", false}));
    EXPECT_EQ(list()->currentRow(), 1);

    dialogs.itemAnswers.push_back({false, {}});
    click("SpeedButton2");
    EXPECT_EQ(pane.entries().size(), 3u);
}

TEST_F(KeywordPaneTest, EditWithoutSelectionAdds) {
    dialogs.itemAnswers.push_back({true, "first"});
    click("SpeedButton2");
    EXPECT_TRUE(dialogs.itemAsks.back().newItem);
    EXPECT_EQ(pane.entries(), (std::vector<KeywordEntry>{{"first", true}}));
}

TEST_F(KeywordPaneTest, DeleteProposesFirstAndAsksBeforeRemoving) {
    click("SpeedButton13"); // empty list: nothing to ask
    EXPECT_TRUE(dialogs.questions.empty());
    add("a");
    add("b");
    list()->setCurrentRow(-1);
    dialogs.yesNoAnswers = {false};
    click("SpeedButton13");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, "Delete Item");
    EXPECT_EQ(dialogs.questions[0].caption, "Question");
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_EQ(pane.entries().size(), 2u);
    dialogs.yesNoAnswers = {true};
    click("SpeedButton13");
    EXPECT_EQ(pane.entries(), (std::vector<KeywordEntry>{{"b", true}}));
}

TEST_F(KeywordPaneTest, CheckAllBoxFlipsEveryEntry) {
    add("a");
    add("b");
    list()->item(0)->setCheckState(Qt::Unchecked);
    auto* box = pane.findChild<CheckAllBox*>("Panel13");
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(pane.entries(), (std::vector<KeywordEntry>{{"a", true}, {"b", true}}));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(pane.entries(), (std::vector<KeywordEntry>{{"a", false}, {"b", false}}));
}

TEST_F(KeywordPaneTest, SaveButtonWritesChosenFileThenRecordsSettings) {
    int settingsSaves = 0;
    pane.setSaveSettings([&] {
        EXPECT_EQ(dir.read("mine.txt"), "a\r\nb;-\r\n"); // the list is written first
        ++settingsSaves;
    });
    pane.setPath(dir.file("default.txt"));
    add("a");
    add("b");
    list()->item(1)->setCheckState(Qt::Unchecked);
    dialogs.fileAnswers = {std::nullopt};
    click("SpeedButton7"); // cancelled: nothing happens
    EXPECT_EQ(settingsSaves, 0);
    EXPECT_FALSE(FileExists(dir.file("default.txt")));

    dialogs.fileAnswers = {QString::fromStdString(dir.file("mine.txt"))};
    click("SpeedButton7");
    EXPECT_EQ(settingsSaves, 1);
    EXPECT_EQ(pane.path(), dir.file("mine.txt"));
    const auto& ask = dialogs.fileAsks.back();
    EXPECT_TRUE(ask.save);
    EXPECT_EQ(ask.filter, "Text File (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(ask.initialName.toStdString(), dir.file("default.txt"));
    EXPECT_EQ(ask.initialFolder.toStdString(), ProgramFolder());
}

TEST_F(KeywordPaneTest, FailedSaveIsShownAndKeepsPathAndList) {
    pane.setPath(dir.file("default.txt"));
    add("a");
    bool settingsSaved = false;
    pane.setSaveSettings([&] { settingsSaved = true; });
    dialogs.fileAnswers = {QString::fromStdString(dir.file("no/such/folder.txt"))};
    click("SpeedButton7");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, DialogService::Icon::Error);
    EXPECT_FALSE(settingsSaved);
    EXPECT_EQ(pane.path(), dir.file("default.txt"));
    EXPECT_EQ(pane.entries(), (std::vector<KeywordEntry>{{"a", true}}));
}

TEST_F(KeywordPaneTest, LoadButtonReplacesListAndPathEvenForMissingFile) {
    dir.write("words.txt", "caf\xc3\xa9\r\n\xe9t\xe9;-\r\n");
    add("old");
    dialogs.fileAnswers = {QString::fromStdString(dir.file("words.txt"))};
    click("SpeedButton5");
    EXPECT_EQ(dialogs.fileAsks.back().initialFolder, "");
    EXPECT_EQ(list()->item(0)->text(), QString::fromUtf8("caf\xc3\xa9"));
    pane.setPath(dir.file("back.txt"));
    pane.SaveKeywords();
    EXPECT_EQ(dir.read("back.txt"), dir.read("words.txt")); // bytes come back unchanged

    dialogs.fileAnswers = {QString::fromStdString(dir.file("missing.txt"))};
    click("SpeedButton5");
    EXPECT_EQ(pane.path(), dir.file("missing.txt"));
    EXPECT_TRUE(pane.entries().empty());
}

TEST_F(KeywordPaneTest, UnreadableFileIsNotOverwrittenUntilTheUserEdits) {
    // A folder stands in for a file that is there but cannot be read, even by root; writing
    // over it fails, so a save that tried would throw.
    ::mkdir(dir.file("locked.txt").c_str(), 0700);
    pane.setPath(dir.file("locked.txt"));
    pane.LoadKeywords();
    EXPECT_TRUE(pane.keepsUnreadableFile());
    EXPECT_NO_THROW(pane.SaveKeywords());
    add("new");
    EXPECT_FALSE(pane.keepsUnreadableFile());
    EXPECT_THROW(pane.SaveKeywords(), FileWriteError);

    pane.setPath("");
    pane.LoadKeywords();
    EXPECT_FALSE(pane.keepsUnreadableFile());
    EXPECT_NO_THROW(pane.SaveKeywords());
}

} // namespace
} // namespace zendrel
