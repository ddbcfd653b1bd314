#include "platform/IntegerText.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zendrel {
namespace {

template <typename T>
struct NumberCase {
    const char* name;
    const char* text;
    std::optional<T> value;
};

template <typename T>
std::string CaseName(const ::testing::TestParamInfo<NumberCase<T>>& info) {
    return info.param.name;
}

class ReadDataIntegerTest : public ::testing::TestWithParam<NumberCase<std::int32_t>> {};

TEST_P(ReadDataIntegerTest, FollowsTheDataFileRule) {
    EXPECT_EQ(ReadDataInteger(GetParam().text), GetParam().value) << GetParam().text;
}

using DataCase = NumberCase<std::int32_t>;
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadDataIntegerTest,
    ::testing::Values(
        DataCase{"Digit", "7", 7}, DataCase{"LeadingSpaces", "  3", 3},
        DataCase{"PlusSign", "+12", 12}, DataCase{"MinusSign", "-1", -1},
        DataCase{"LeadingZeros", "007", 7}, DataCase{"HexCapitals", "$1F", 31},
        DataCase{"HexSmall", "$ff", 255}, DataCase{"Largest", "2147483647", INT32_MAX},
        DataCase{"Smallest", "-2147483648", INT32_MIN},
        DataCase{"AboveRange", "2147483648", std::nullopt},
        DataCase{"BelowRange", "-2147483649", std::nullopt},
        DataCase{"FarAboveRange", "99999999999999999999999", std::nullopt},
        DataCase{"HexAboveRange", "$80000000", std::nullopt},
        DataCase{"TrailingBlank", "3 ", std::nullopt}, DataCase{"Empty", "", std::nullopt},
        DataCase{"OnlyBlank", " ", std::nullopt}, DataCase{"OnlySign", "-", std::nullopt},
        DataCase{"OnlyDollar", "$", std::nullopt},
        DataCase{"SignBeforeDollar", "-$1", std::nullopt},
        DataCase{"TrailingLetter", "1x", std::nullopt}, DataCase{"LeadingTab", "\t1", std::nullopt},
        DataCase{"Letter", "x", std::nullopt}),
    CaseName<std::int32_t>);

class ReadSettingsIntegerTest : public ::testing::TestWithParam<NumberCase<long long>> {};

TEST_P(ReadSettingsIntegerTest, FollowsTheSettingsRule) {
    EXPECT_EQ(ReadSettingsInteger(GetParam().text), GetParam().value) << GetParam().text;
}

using SettingsCase = NumberCase<long long>;
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadSettingsIntegerTest,
    ::testing::Values(SettingsCase{"Digits", "120", 120},
                      SettingsCase{"BlanksAround", " \t-4\r ", -4}, SettingsCase{"Hex", "0x10", 16},
                      SettingsCase{"HexCapitalX", "0XfF", 255},
                      SettingsCase{"NegativeHex", "-0x10", -16},
                      SettingsCase{"FifteenDigits", "999999999999999", 999999999999999LL},
                      SettingsCase{"FifteenHexDigits", "0xfffffffffffffff", 0xfffffffffffffffLL},
                      SettingsCase{"SixteenDigits", "1000000000000000", std::nullopt},
                      SettingsCase{"ZeroXAlone", "0x", std::nullopt},
                      SettingsCase{"HexWithoutPrefix", "1f", std::nullopt},
                      SettingsCase{"DollarHex", "$10", std::nullopt},
                      SettingsCase{"BlankInside", "1 2", std::nullopt},
                      SettingsCase{"Empty", "", std::nullopt}),
    CaseName<long long>);

TEST(ReadLeadingNumber, ReadsDigitsUpToTheFirstOtherByteAndSaturates) {
    EXPECT_EQ(ReadLeadingNumber("20 "), 20);
    EXPECT_EQ(ReadLeadingNumber("1234abc"), 1234);
    EXPECT_EQ(ReadLeadingNumber(""), 0);
    EXPECT_EQ(ReadLeadingNumber(" 5"), 0);
    EXPECT_EQ(ReadLeadingNumber("-5"), 0);
    EXPECT_EQ(ReadLeadingNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(ReadLeadingNumber("2147483648"), INT32_MAX);
    EXPECT_EQ(ReadLeadingNumber(std::string(5000, '9')), INT32_MAX);
}

TEST(ReadDigits, StopsAtTheFirstOtherByteOrOnceAboveTheBound) {
    const DigitRun run = ReadDigits("12ab", 10, 1000);
    EXPECT_EQ(run.value, 12u);
    EXPECT_EQ(run.length, 2u);
    EXPECT_EQ(ReadDigits("12ab", 16, 1000).value, 0x12abu);
    // The digit that passes the bound is still read; none after it.
    const DigitRun long_ = ReadDigits("1234567", 10, 99);
    EXPECT_EQ(long_.value, 123u);
    EXPECT_EQ(long_.length, 3u);
    EXPECT_EQ(ReadDigits(std::string(100, 'f'), 16, UINT64_MAX / 16).length, 16u);
}

} // namespace
} // namespace zendrel
