#include "lookup/TextRules.h"

#include "lookup/SplitFields.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Items = std::vector<std::string>;

TEST(SplitFields, KeepsEmptyAndUntrimmedItems) {
    EXPECT_TRUE(SplitFields(';', "").empty());
    EXPECT_EQ(SplitFields(';', "a;"), (Items{"a", ""}));
    EXPECT_EQ(SplitFields(';', ";"), (Items{"", ""}));
    EXPECT_EQ(SplitFields(';', "a;;b"), (Items{"a", "", "b"}));
    EXPECT_EQ(SplitFields('|', " x |y"), (Items{" x ", "y"}));
    EXPECT_EQ(SplitFields(';', std::string("\0;\xff", 3)), (Items{std::string(1, '\0'), "\xff"}));
}

struct NumberCase {
    const char* text;
    std::optional<int32_t> value;
};

class ReadDataIntegerTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadDataIntegerTest, FollowsTheDataFileRule) {
    EXPECT_EQ(ReadDataInteger(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadDataIntegerTest,
    ::testing::Values(NumberCase{"7", 7}, NumberCase{"  3", 3}, NumberCase{"+12", 12},
                      NumberCase{"-1", -1}, NumberCase{"007", 7}, NumberCase{"$1F", 31},
                      NumberCase{"$ff", 255}, NumberCase{"2147483647", INT32_MAX},
                      NumberCase{"-2147483648", INT32_MIN}, NumberCase{"2147483648", std::nullopt},
                      NumberCase{"-2147483649", std::nullopt},
                      NumberCase{"99999999999999999999999", std::nullopt},
                      NumberCase{"$80000000", std::nullopt}, NumberCase{"3 ", std::nullopt},
                      NumberCase{"", std::nullopt}, NumberCase{" ", std::nullopt},
                      NumberCase{"-", std::nullopt}, NumberCase{"$", std::nullopt},
                      NumberCase{"-$1", std::nullopt}, NumberCase{"1x", std::nullopt},
                      NumberCase{"\t1", std::nullopt}, NumberCase{"x", std::nullopt}));

TEST(TextRules, TrimAndLowerWorkOnBytes) {
    EXPECT_EQ(TrimBlanks(" \t\r\n a b\x01\x20"), "a b");
    EXPECT_EQ(TrimBlanks("\x7f x"), "\x7f x");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(LowerCase("AbZ-\xC4\xe9@[`"), "abz-\xC4\xe9@[`");
}

} // namespace
} // namespace zendrel
