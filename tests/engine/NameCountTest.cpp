#include "engine/NameCount.h"

#include "engine/CandidateGenerator.h"
#include "engine/ResultStore.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"
#include "tests/engine/SearchInputs.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using test::withAdditional;
using test::words;

// The real generator, run to the end: the count every preview must agree with.
class GeneratedRows {
public:
    std::uint64_t of(const SearchInput& in) {
        run_ = RunVariables{};
        gen_.start(in);
        loop_.runUntilIdle();
        return store_.size();
    }

private:
    ManualClock clock_;
    MessageLoop loop_{clock_};
    RunVariables run_;
    ResultStore store_;
    test::FakeSearchWindow window_;
    test::RecordingListener events_;
    CandidateGenerator gen_{loop_, run_, store_, window_, events_};
};

// Both ways of counting against the generator: listing is always exact; counting by length is
// never below the real count and equal to it whenever it says it is exact. Returns that claim.
bool expectAgrees(GeneratedRows& generated, const SearchInput& in, const std::string& what) {
    SCOPED_TRACE(what);
    const std::uint64_t real = generated.of(in);
    const NameCount listed = ListCandidateRows(in);
    EXPECT_TRUE(listed.exact);
    EXPECT_EQ(listed.rows, real);
    const NameCount chosen = CountCandidateRows(in);
    EXPECT_TRUE(chosen.exact);
    EXPECT_EQ(chosen.rows, real);
    const NameCount shaped = CountCandidateRowsByLength(in);
    EXPECT_GE(shaped.rows, real);
    if (shaped.exact) {
        EXPECT_EQ(shaped.rows, real);
    }
    return shaped.exact;
}

// "w" and the number. Appended, not "w" + ...: GCC 12 misreads that insert at the front as an
// overlap.
std::string affix(int number) {
    std::string word(1, 'w');
    word += std::to_string(number);
    return word;
}

SearchInput limited(SearchInput in, int maxLength) {
    in.maxLength = maxLength;
    return in;
}

TEST(NameCount, AgreesWithTheGeneratorOverACaseTable) {
    struct Case {
        const char* what;
        SearchInput in;
        bool shapeExact; // whether counting by length can prove itself exact
    };
    const AdditionalWordRow both{"x", "x", "my"};
    const Case cases[] = {
        {"keywords in three zones", words({"web", "Apple", "net"}, {"org", "com", "COM"}), true},
        {"case duplicates", words({"Web", "web", "WEB", "shop"}), true},
        {"pairs", words({"net", "web"}, {"com"}, 2), true},
        {"joined names that collide", words({"a", "b", "ab", "ba"}, {"com", "net"}, 3), false},
        {"prefix codes still count exactly", words({"shop", "shopping", "web"}, {"com"}, 3), true},
        {"ten at a time, fewer keywords", words({"x", "y", "zz"}, {"com"}, 10), true},
        {"limit is exclusive",
         limited(words({std::string(29, 'x'), std::string(30, 'y'), "ab"}), 30), true},
        {"a--b normalised and stripped", limited(words({"a--b", "c-d", "e"}), 4), false},
        {"hyphens only", words({"--", "-", "ok"}), false},
        {"empty keyword alone", words({""}), false},
        {"empty keyword joined", words({"", "a", "b"}, {"com"}, 2), false},
        {"empty keyword with affixes", withAdditional(words({"", "a"}), {both}, 1), false},
        {"budget of one", withAdditional(words({"shop", "web"}), {both}, 1), true},
        {"budget of two", withAdditional(words({"shop", "web"}), {both}, 2), true},
        {"no hyphens, suffix only", withAdditional(words({"shop"}), {{" ", "1", "my"}}, 0), true},
        {"affix equal to a joined name",
         withAdditional(words({"my", "shop"}, {"com"}, 2), {{"1", "", "my"}}, 1), false},
        {"affix makes a keyword", withAdditional(words({"myshop", "shop"}), {{"1", "", "my"}}, 0),
         false},
        {"one word in two rows",
         withAdditional(words({"shop"}), {{"1", "", "my"}, {"1", "1", "My"}}, 1), false},
        {"blank flag rows ignored", withAdditional(words({"shop"}), {{" ", "\t", "zz"}}, 1), true},
        {"hyphenated affix word", withAdditional(words({"shop"}), {{"1", "1", "e-"}}, 2), false},
        {"affixes past the limit but stripped within",
         limited(withAdditional(words({"abcd", "ab"}), {{"1", "1", "xy"}}, 2), 7), true},
        {"no zones", words({"shop"}, {}), true},
        {"no keywords", withAdditional(words({}), {both}, 1), true},
        {"limit of one", limited(words({"a", "b"}), 1), true},
    };
    GeneratedRows generated;
    for (const Case& c : cases) {
        expectAgrees(generated, c.in, c.what);
        EXPECT_EQ(CountCandidateRowsByLength(c.in).exact, c.shapeExact) << c.what;
    }
}

// Short words over a tiny alphabet collide, normalise and hit the limit in every way there is.
TEST(NameCount, AgreesWithTheGeneratorOnRandomLists) {
    std::mt19937 random(20260117);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto word = [&] {
        static const char letters[] = {'a', 'b', 'A', '-'};
        std::string w(static_cast<std::size_t>(pick(4)), ' ');
        for (char& c : w)
            c = letters[pick(4)];
        return w;
    };
    static const char* const flags[] = {"", " ", "x"};
    GeneratedRows generated;
    int provedExact = 0;
    for (int i = 0; i < 300; ++i) {
        SearchInput in;
        for (int k = pick(6); k > 0; --k)
            in.keywords.push_back(word());
        in.combinations = 1 + pick(4);
        in.useAdditional = pick(2) == 1;
        for (int k = pick(5); k > 0; --k)
            in.additionalRows.push_back({flags[pick(3)], flags[pick(3)], word()});
        in.useHyphens = pick(2) == 1;
        in.hyphens = 1 + pick(2);
        in.maxLength = 1 + pick(9);
        in.zones =
            pick(2) ? std::vector<std::string>{"com"} : std::vector<std::string>{"com", "net"};
        provedExact += expectAgrees(generated, in, "random case " + std::to_string(i));
        if (HasFailure())
            return;
    }
    EXPECT_GT(provedExact, 30); // the proof of exactness is exercised, not only the bound
}

// Ten keywords joined up to ten at a time with a thousand affix words: too many names to list,
// but no two ways of joining give the same text, so counting by length is exact. Checked against
// listing where listing is still possible (shorter limits); the full limit must not saturate.
TEST(NameCount, CountsTheLargestSearchExactlyByLength) {
    std::vector<std::string> keywords;
    for (int i = 0; i < 10; ++i)
        keywords.push_back(std::string("kw") + static_cast<char>('a' + i) + "x");
    std::vector<AdditionalWordRow> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back({i % 3 ? "x" : "", i % 2 ? "x" : "", affix(1000 + i)});
    const SearchInput in = withAdditional(words(keywords, {"com", "net"}, 10), rows, 1);
    for (int limit : {10, 14}) {
        SCOPED_TRACE(limit);
        const NameCount listed = ListCandidateRows(limited(in, limit));
        const NameCount shaped = CountCandidateRowsByLength(limited(in, limit));
        EXPECT_TRUE(shaped.exact);
        EXPECT_GT(listed.rows, 20000u);
        EXPECT_EQ(shaped.rows, listed.rows);
    }
    const NameCount full = CountCandidateRows(limited(in, 63));
    EXPECT_TRUE(full.exact);
    EXPECT_FALSE(full.tooMany);
    EXPECT_GT(full.rows, CountCandidateRows(limited(in, 30)).rows);
}

// Joined names that collide ("my" + "shop" is also a keyword), too many to list: the count is an
// upper bound and says so.
TEST(NameCount, MarksAnUpperBoundWhereListingWouldTakeTooLong) {
    std::vector<AdditionalWordRow> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back({"x", "x", affix(1000 + i)});
    const SearchInput in =
        withAdditional(words({"my", "shop", "myshop", "web", "store", "net"}, {"com"}, 3), rows, 1);
    const NameCount count = CountCandidateRows(in);
    EXPECT_FALSE(count.exact);
    EXPECT_GT(count.rows, ListCandidateRows(in).rows);
    EXPECT_EQ(DescribeNameCount(count).rfind("at most ", 0), 0u);
}

TEST(NameCount, SaysWhenThereAreTooManyToCount) {
    std::vector<std::string> keywords;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'z'; ++b)
            keywords.push_back(std::string{a, b});
    const NameCount count = CountCandidateRows(limited(words(keywords, {"com"}, 10), 63));
    EXPECT_TRUE(count.tooMany);
    EXPECT_EQ(DescribeNameCount(count), "too many names to count");
}

TEST(NameCount, DescribesCountsWithGroupedDigits) {
    struct Case {
        NameCount count;
        const char* text;
    };
    const Case cases[] = {
        {{0, true, false}, "0 names"},
        {{1, true, false}, "1 name"},
        {{999, true, false}, "999 names"},
        {{1000, true, false}, "1,000 names"},
        {{12480, true, false}, "12,480 names"},
        {{2140000, false, false}, "at most 2,140,000 names"},
        {{1234567890123, true, false}, "1,234,567,890,123 names"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeNameCount(c.count), c.text);
}

} // namespace
} // namespace zendrel
