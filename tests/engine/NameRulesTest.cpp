#include "engine/NameRules.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

std::vector<IndexTuple> allTuples(int size, int base) {
    IndexTuple p(static_cast<std::size_t>(size), 0);
    p.back() = -1;
    std::vector<IndexTuple> out;
    while (NextCombination(p, base))
        out.push_back(p);
    return out;
}

TEST(NextCombination, RunsThroughEveryTupleInLexicographicOrder) {
    std::vector<IndexTuple> want = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1},
                                    {1, 2}, {2, 0}, {2, 1}, {2, 2}};
    EXPECT_EQ(allTuples(2, 3), want);
    EXPECT_EQ(allTuples(4, 2).size(), 16u);
    EXPECT_EQ(allTuples(1, 3), (std::vector<IndexTuple>{{0}, {1}, {2}}));
    EXPECT_TRUE(allTuples(3, 0).empty());
}

TEST(MaskRepeats, KeepsFirstOccurrenceOfEachIndex) {
    struct Case {
        IndexTuple p;
        IndexTuple m;
    };
    const Case cases[] = {
        {{0, 0}, {0, -1}},
        {{0, 1}, {0, 1}},
        {{1, 0, 1}, {1, 0, -1}},
        {{2, 2, 2, 2}, {2, -1, -1, -1}},
        {{0, 1, 1, 0, 2}, {0, 1, -1, -1, 2}},
    };
    for (const Case& c : cases) {
        IndexTuple m;
        MaskRepeats(c.p, m);
        EXPECT_EQ(m, c.m);
    }
}

TEST(NormalizeHyphens, DropsDoublePairsThenOneHyphenAtEachEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {"a--b", "ab"},    {"a---b", "a-b"},       {"a----b", "ab"}, {"-shop", "shop"},
        {"shop-", "shop"}, {"--shop", "shop"},     {"-a-", "a"},     {"--", ""},
        {"-", ""},         {"my-shop", "my-shop"}, {"", ""},         {"---x", "x"},
    };
    for (const auto& [in, out] : cases) {
        std::string s = in;
        NormalizeHyphens(s);
        EXPECT_EQ(s, out) << in;
    }
}

TEST(StripHyphens, RemovesEveryHyphenAndReportsChange) {
    std::string s = "-a-b--c-";
    EXPECT_TRUE(StripHyphens(s));
    EXPECT_EQ(s, "abc");
    EXPECT_FALSE(StripHyphens(s));
    EXPECT_EQ(s, "abc");
}

TEST(CaseInsensitiveLess, IgnoresAsciiCaseOnly) {
    CaseInsensitiveLess less;
    EXPECT_FALSE(less("Web", "web"));
    EXPECT_FALSE(less("web", "Web"));
    EXPECT_TRUE(less("apple", "Banana"));
    EXPECT_TRUE(less("my-shop", "myshop"));
    EXPECT_TRUE(less("net", "netweb"));
    EXPECT_TRUE(less("\xC4", "\xE4")); // bytes above ASCII are distinct, ordered by value
}

} // namespace
} // namespace zendrel
