// The count line of the status bar, driven through the window's own controls and checked
// against the rows a Search then really makes.
#include "engine/NameCount.h"
#include "tests/ui/WindowHarness.h"
#include "ui/AdditionalWordPane.h"
#include "ui/KeywordPane.h"
#include "ui/NameCountPreview.h"
#include "ui/ResultsModel.h"
#include "ui/UpDown.h"
#include "ui/ZoneCheckList.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::WindowHarness;

// The window with the few steps these tests take on it.
class CountedWindow {
public:
    NameCountPreview& preview() { return *h.window->countPreview(); }
    // Waits for the count of the last change; loop state, not a fixed sleep.
    void settle() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !preview().pending(); }, 5000));
    }
    QString shown() { return h.find<QLabel>("lblCount")->text(); }
    // Types `text` over the number in field `edit`, as a user does.
    void type(const char* edit, const QString& text) {
        auto* field = h.find<QLineEdit>(edit);
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void checkZones(std::initializer_list<int> rows) {
        for (int r : rows)
            h.find<ZoneCheckList>("clbDom")->setChecked(r, true);
    }
    // The rows Search makes from the controls as they stand.
    std::size_t searchedRows() {
        h.click("sbSearch");
        h.loop.runUntilIdle();
        return h.window->results().size();
    }
    QString describe(std::uint64_t rows) {
        return QString::fromStdString(DescribeNameCount({rows, true, false}));
    }

    WindowHarness h;
};

class CountPreview : public ::testing::Test, protected CountedWindow {};

TEST(CountPreviewCases, FollowKeywordsWordsOptionsAndZonesAndMatchTheSearch) {
    struct Case {
        const char* what;
        std::vector<KeywordEntry> keywords;
        std::vector<AdditionalRow> words; // none: the additional words are off
        const char* combinations;
        bool hyphens;
        const char* length;
        std::initializer_list<int> zones;
    };
    const Case cases[] = {
        {"keywords in two zones",
         {{"shop", true}, {"cloud", false}, {"bike", true}},
         {},
         "1",
         false,
         "30",
         {0, 2}},
        {"pairs of keywords",
         {{"web", true}, {"net", true}, {"app", true}},
         {},
         "2",
         false,
         "30",
         {1}},
        {"words before and after, with hyphens and a length limit",
         {{"shop", true}, {"cloud", true}, {"go", true}},
         {{"1", "", "my"}, {"", "1", "hub"}, {"1", "1", "x"}},
         "2",
         true,
         "9",
         {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountedWindow w;
        w.h.window->keywordPane()->setEntries(c.keywords);
        w.h.window->additionalWordPane()->setRows(c.words);
        w.h.check("cbAdd", !c.words.empty());
        w.h.check("cbHyphens", c.hyphens);
        w.type("Edit1", c.combinations);
        w.type("eMax", c.length);
        w.checkZones(c.zones);
        w.settle();
        const QString before = w.shown();
        EXPECT_EQ(w.h.window->results().size(), 0u) << "counted, not generated";
        EXPECT_EQ(before, w.describe(w.searchedRows()));
    }
}

TEST_F(CountPreview, ABurstOfChangesIsCountedOnce) {
    checkZones({0});
    settle();
    const int made = preview().countsMade();
    std::string file;
    for (int i = 0; i < 300; ++i) {
        file += 'w'; // appended piece by piece: GCC 12 misreads "w" + temporary at -O3
        file += std::to_string(i);
        file += "\r\n";
    }
    h.dir.write("words.txt", file);
    h.dialogs.fileAnswers.push_back(QString::fromStdString(h.dir.file("words.txt")));
    h.click("SpeedButton6"); // Load: 300 rows arrive one by one
    h.check("cbAdd", true);
    h.find<UpDown>("udComb")->setPosition(2);
    h.find<UpDown>("udMax")->setPosition(20);
    checkZones({1, 2});
    EXPECT_TRUE(preview().pending());
    settle();
    EXPECT_EQ(preview().countsMade(), made + 1);
    EXPECT_EQ(shown(), describe(searchedRows()));
}

TEST_F(CountPreview, CollidingWordsTooManyToListShowAnUpperBound) {
    // "a" + "b" and "ab" give one name in two ways, and there are too many names to list them.
    std::vector<KeywordEntry> keywords{{"ab", true}};
    for (char c = 'a'; c <= 'p'; ++c)
        keywords.push_back({std::string(1, c), true});
    h.window->keywordPane()->setEntries(keywords);
    type("Edit1", "4");
    checkZones({0, 1});
    settle();
    const NameCount bound = preview().count();
    EXPECT_FALSE(bound.exact);
    EXPECT_TRUE(shown().startsWith("at most ")) << shown().toStdString();
    SearchInput in;
    for (const KeywordEntry& k : keywords)
        in.keywords.push_back(k.text);
    in.combinations = 4;
    in.zones = {"com", "net"};
    in.maxLength = 30;
    const NameCount listed = ListCandidateRows(in);
    EXPECT_GE(bound.rows, listed.rows);
    EXPECT_LT(bound.rows, listed.rows * 2) << "a bound worth showing";
}

} // namespace
} // namespace zendrel
