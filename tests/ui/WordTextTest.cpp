#include "ui/WordText.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

TEST(WordText, ShowsUtf8DecodedAndOtherBytesOneForOne) {
    EXPECT_EQ(WordDisplayText("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(WordDisplayText("caf\xe9"), QString::fromLatin1("caf\xe9"));
    EXPECT_EQ(WordDisplayText("\xef\xbb\xbfx").size(), 2); // a byte-order mark is kept
}

TEST(WordText, EditsKeepTheWordsEncoding) {
    struct Case {
        std::string previous;
        QString typed;
        std::string want;
    };
    const Case cases[] = {
        {"", "new", "new"},
        {"\xef\xbb\xbfx", WordDisplayText("\xef\xbb\xbfx"), "\xef\xbb\xbfx"},
        {"caf\xe9", QString::fromLatin1("caf\xe9"), "caf\xe9"},
        {"caf\xe9s", QString::fromLatin1("caf\xe9"), "caf\xe9"},
        {"caf\xc3\xa9s", QString::fromUtf8("caf\xc3\xa9"), "caf\xc3\xa9"},
        {"", QString::fromUtf8("\xc3\xa9"), "\xc3\xa9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WordBytes(c.typed, c.previous), c.want) << c.previous;
}

} // namespace
} // namespace zendrel
