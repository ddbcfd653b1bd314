#include "platform/AsciiText.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

TEST(AsciiText, CaseAndBlanksConcernOnlyAsciiBytes) {
    EXPECT_EQ(TrimBlanks(" \t\r\n a b\x01\x20"), "a b");
    EXPECT_EQ(TrimBlanks("\x7f x"), "\x7f x");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(LowerCase("AbZ-\xC4\xe9@[`"), "abz-\xC4\xe9@[`");
    EXPECT_EQ(UpperCase("<html>\xe4z{"), "<HTML>\xe4Z{");
    EXPECT_TRUE(EqualsNoCase("Param", "pARAM"));
    EXPECT_FALSE(EqualsNoCase("Param", "Params"));
    EXPECT_FALSE(EqualsNoCase("\xC4", "\xE4")); // no case outside ASCII
}

TEST(AsciiText, HexDigitsInEitherCase) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    EXPECT_EQ(HexDigitValue('g'), -1);
    EXPECT_EQ(HexDigitValue('/'), -1);
    EXPECT_EQ(HexDigitValue(':'), -1);
}

} // namespace
} // namespace zendrel
