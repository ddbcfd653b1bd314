#include "engine/UniqueDecoding.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace zendrel {
namespace {

TEST(UniqueDecoding, DecidesKnownCodes) {
    struct Case {
        std::vector<std::string> words;
        bool decodable;
    };
    const Case cases[] = {
        {{}, true},
        {{"web", "shop"}, true},
        {{"shop", "shopping"}, true},          // a prefix, but "ping" never follows
        {{"shop", "shopping", "ping"}, false}, // shop+ping = shopping
        {{"a", "ab", "bb"}, true},             // not prefix-free, still decodable
        {{"a", "ab", "ba"}, false},            // a+ba = ab+a
        {{"ab", "c", "abc", "d"}, false},
        {{"net", ""}, false},
        {{"net", "net"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUniquelyDecodable(c.words), c.decodable) << ::testing::PrintToString(c.words);
}

// Against brute force over small codes: every join of up to five words, compared as texts.
TEST(UniqueDecoding, AgreesWithBruteForceOnSmallCodes) {
    std::mt19937 random(17);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> words;
        for (int n = 2 + static_cast<int>(random() % 3); n > 0; --n) {
            std::string w(1 + random() % 3, 'a');
            for (char& c : w)
                c = random() % 2 ? 'a' : 'b';
            if (std::find(words.begin(), words.end(), w) == words.end())
                words.push_back(w);
        }
        std::map<std::string, std::vector<int>> seen;
        bool collision = false;
        std::vector<std::vector<int>> level = {{}};
        for (int len = 1; len <= 5 && !collision; ++len) {
            std::vector<std::vector<int>> next;
            for (const auto& seq : level)
                for (int w = 0; w < static_cast<int>(words.size()); ++w) {
                    next.push_back(seq);
                    next.back().push_back(w);
                    std::string text;
                    for (int i : next.back())
                        text += words[static_cast<std::size_t>(i)];
                    auto [it, fresh] = seen.emplace(text, next.back());
                    collision = collision || (!fresh && it->second != next.back());
                }
            level = std::move(next);
        }
        EXPECT_EQ(IsUniquelyDecodable(words), !collision) << ::testing::PrintToString(words);
    }
}

} // namespace
} // namespace zendrel
