#include "engine/NameRules.h"

#include <algorithm>
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

// Against brute force: the first tuples of their sequences give every sequence once, in the
// order in which the sequences first appear among all tuples.
TEST(FirstTupleOfSequence, KeepsExactlyTheFirstAppearanceOfEachSequence) {
    for (int size = 1; size <= 4; ++size) {
        for (int base = 1; base <= 4; ++base) {
            std::vector<IndexTuple> firstSeen, kept;
            for (const IndexTuple& p : allTuples(size, base)) {
                IndexTuple m, seq;
                MaskRepeats(p, m);
                for (std::int32_t v : m)
                    if (v != -1)
                        seq.push_back(v);
                if (std::find(firstSeen.begin(), firstSeen.end(), seq) == firstSeen.end())
                    firstSeen.push_back(seq);
                if (FirstTupleOfSequence(p, m))
                    kept.push_back(seq);
            }
            EXPECT_EQ(kept, firstSeen) << size << " positions, base " << base;
        }
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

} // namespace
} // namespace zendrel
