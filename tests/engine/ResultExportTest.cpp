#include "engine/ResultExport.h"

#include "engine/CheckAllToggle.h"
#include "engine/ResultStore.h"
#include "platform/Files.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

// Rows in every state the list can show; two extra columns.
class ResultExportTest : public ::testing::Test {
protected:
    ResultStore rows;
    test::TempDir dir;

    ResultExportTest() {
        rows.setExtraColumnCount(2);
        add("free.com", "is available", "~", "Registrar A", "2020");
        add("taken.com", "is not available", "~", "Registrar B", "");
        add("held.net", "hold", "~", "", "");
        add("silent.org", "no data", "~", "", "");
        add("loading.com", "WaitingBody", "12", "", "");
        add("fresh.com", "", "", "", "");
    }
    void add(const char* name, const char* state, const char* time, const char* f1,
             const char* f2) {
        std::size_t r = rows.append(name);
        rows.setSubItem(r, 0, state);
        rows.setSubItem(r, 1, time);
        rows.setSubItem(r, 2, f1);
        rows.setSubItem(r, 3, f2);
    }
};

TEST_F(ResultExportTest, FilterPicksRowsByExactState) {
    struct Case {
        ExportFilter f;
        const char* want;
    };
    const Case cases[] = {
        {{true, false, false, false, true}, "free.com\r\n"},
        {{false, true, false, false, true}, "held.net\r\n"},
        {{false, false, true, false, true}, "taken.com\r\n"},
        {{true, true, true, false, true}, "free.com\r\ntaken.com\r\nheld.net\r\n"},
        {{false, false, false, false, true}, ""},
        {{false, false, false, true, true},
         "free.com\r\ntaken.com\r\nheld.net\r\nsilent.org\r\nloading.com\r\nfresh.com\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatResults(rows, c.f), c.want);
    EXPECT_FALSE(ExportIncludes({true, true, true, false, false}, "Is Available"));
    EXPECT_FALSE(ExportIncludes({true, true, true, false, false}, "is available "));
}

TEST_F(ResultExportTest, FullLinesCarryEverySubItemAndEndInSeparator) {
    EXPECT_EQ(FormatResultLine(rows, 0, false), "free.com;is available;~;Registrar A;2020;");
    EXPECT_EQ(FormatResultLine(rows, 4, false), "loading.com;WaitingBody;12;;;");
    EXPECT_EQ(FormatResultLine(rows, 5, false), "fresh.com;;;;;");
    EXPECT_EQ(FormatResultLine(rows, 5, true), "fresh.com");
    ResultStore plain;
    plain.append("a.com");
    EXPECT_EQ(FormatResultLine(plain, 0, false), "a.com;;;"); // State, Time, the empty one
}

TEST_F(ResultExportTest, FileNamesWithoutExtensionGetTxt) {
    const std::pair<std::string, std::string> cases[] = {
        {"/x/res", "/x/res.txt"},
        {"/x/res.csv", "/x/res.csv"},
        {"/x/res.txt", "/x/res.txt"},
        {"/x.d/res", "/x.d/res.txt"},
        {"/x/.hidden", "/x/.hidden.txt"},
        {"/x/res.", "/x/res.txt"},
        {"res", "res.txt"},
    };
    for (const auto& [chosen, want] : cases)
        EXPECT_EQ(ResultsFileName(chosen), want) << chosen;
}

TEST_F(ResultExportTest, SaveReplacesTheWholeFile) {
    dir.write("out.txt", std::string(10000, 'x'));
    ExportFilter free{true, false, false, false, false};
    EXPECT_EQ(SaveResults(rows, free, dir.file("out")), dir.file("out.txt"));
    EXPECT_EQ(dir.read("out.txt"), "free.com;is available;~;Registrar A;2020;\r\n");

    ExportFilter none;
    SaveResults(rows, none, dir.file("empty.log"));
    EXPECT_TRUE(FileExists(dir.file("empty.log")));
    EXPECT_EQ(dir.read("empty.log"), "");
}

TEST_F(ResultExportTest, FailedSaveThrowsAndLeavesNothingBehind) {
    ExportFilter all{false, false, false, true, false};
    EXPECT_THROW(SaveResults(rows, all, dir.file("missing/out.txt")), FileWriteError);
    std::filesystem::create_directory(dir.file("taken.txt"));
    EXPECT_THROW(SaveResults(rows, all, dir.file("taken.txt")), FileWriteError);
    EXPECT_THROW(SaveResults(rows, all, ""), FileWriteError);
    EXPECT_THROW(SaveResults(rows, all, dir.path()), FileWriteError);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1); // only the folder that blocked the write
}

TEST(CheckAllToggle, AlternatesAndStartsCheckingAfterARun) {
    ResultStore rows;
    rows.append("a.com");
    rows.append("b.com");
    rows.setSubItem(1, 0, "no data");
    rows.setChecked(0, true);
    test::FakeSearchWindow window;
    CheckAllToggle toggle;

    EXPECT_FALSE(toggle.columnClick(1, rows, window)); // State header
    EXPECT_FALSE(toggle.columnClick(2, rows, window)); // Time header
    EXPECT_TRUE(rows.checked(0));
    EXPECT_EQ(toggle.counter(), 0);
    EXPECT_EQ(window.busyCalls, 0);

    // Before any run the first click unchecks.
    EXPECT_TRUE(toggle.columnClick(0, rows, window));
    EXPECT_FALSE(rows.checked(0));
    EXPECT_FALSE(rows.checked(1));
    EXPECT_FALSE(window.busy);
    EXPECT_EQ(window.busyCalls, 2);

    const bool afterRun[] = {true, false, true};
    toggle.reset();
    for (bool want : afterRun) {
        toggle.columnClick(0, rows, window);
        EXPECT_EQ(rows.checked(0), want);
        EXPECT_EQ(rows.checked(1), want);
    }
}

} // namespace
} // namespace zendrel
