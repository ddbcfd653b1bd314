#include "lookup/MethodTable.h"

#include "lookup/MethodLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Items = std::vector<std::string>;

MethodTable LoadFrom(const std::string& fileText) {
    test::TempDir dir;
    dir.write("method.txt", fileText);
    MethodTable table;
    LoadMethodTable(dir.path(), table);
    return table;
}

TEST(MethodTable, ExpandsTheNameServerExample) {
    MethodTable table = LoadFrom("0;Registrar;Created;Server 1;Server 2;Server 3\r\n"
                                 "7; Registrar: ;created:;{3~Name server:;name server:;};"
                                 "registrant:|no match for|status: hold");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.extraColumnCount(), 5);
    EXPECT_EQ(table.extraColumnCaptions(),
              (Items{"registrar", "created", "server 1", "server 2", "server 3"}));
    EXPECT_EQ(table.entries()[1].items,
              (Items{"7", "registrar:", "created:", "~1~name server:", "name server:", "~~",
                     "~2~name server:", "name server:", "~~", "~3~name server:", "name server:",
                     "~~", "registrant:|no match for|status: hold"}));
}

struct LineCase {
    const char* name;
    const char* line;
    Items items;
};

class MethodLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(MethodLineTest, StoresExpandedItems) {
    EXPECT_EQ(BuildMethodEntry(GetParam().line).items, GetParam().items) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MethodLineTest,
    ::testing::Values(
        LineCase{"BlockRepeated", "1;{2;a:;b:;};c", {"1", "a:", "b:", "a:", "b:", "c"}},
        LineCase{"OpenerMarksEachPass", "1;{~X;A:;};c", {"1", "~1~x", "a:", "~~", "c"}},
        LineCase{"OpenerWithCount", "1;{2~x;};c", {"1", "~1~x", "~~", "~2~x", "~~", "c"}},
        LineCase{"MarkerOutsideBlock", "1;~2~Foo;c", {"1", "~2~foo", "c"}},
        LineCase{"CloserAlone", "1;};c", {"1", "}", "c"}},
        // An opener keeps the blanks after its tilde; its count may have leading blanks.
        LineCase{"BlanksKeptAfterTilde",
                 "1; { 2~ NS ;a;};c",
                 {"1", "~1~ ns", "a", "~~", "~2~ ns", "a", "~~", "c"}},
        // A count that is not a number is 1; "{" inside a body is plain text.
        LineCase{"CountNotANumber", "1;{2 ~x;{y;};c", {"1", "~1~x", "{y", "~~", "c"}},
        // An unclosed block runs to the end of the line.
        LineCase{"UnclosedBlockRunsToTheEnd", "1;{2;a;b", {"1", "a", "b", "a", "b"}},
        LineCase{"UnclosedOpenerBlock", "1;{1~x;a", {"1", "~1~x", "a", "~~"}},
        // Counts of 0 or less drop the whole block, closing item included.
        LineCase{"ZeroCountDropsBlock", "1;{0~x;a;};c", {"1", "c"}},
        LineCase{"NegativeCountDropsBlock", "1;{-3;a;b;};c;d", {"1", "c", "d"}},
        LineCase{"ZeroCountUnclosed", "1;{0;a", {"1"}}, LineCase{"ZeroCountOnly", "{0;a;}", {""}},
        // A line of blanks is one empty item; a line ending in ";" ends with an empty item.
        LineCase{"BlankLine", "   ", {""}},
        LineCase{"TrailingSemicolon", "2;a:;", {"2", "a:", ""}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(MethodTable, HeaderRules) {
    EXPECT_EQ(LoadFrom("   \n5;a;b").extraColumnCount(), 0);
    EXPECT_EQ(LoadFrom("only").extraColumnCount(), 0);
    EXPECT_TRUE(LoadFrom("only").extraColumnCaptions().empty());
    // A method line in first place is the header and never found as a method.
    MethodTable table = LoadFrom("5;Registrar;x\n\n\n6;r:;y");
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(table.extraColumnCount(), 2);
    EXPECT_EQ(FindMethod(table, 5), nullptr);
    EXPECT_NE(FindMethod(table, 6), nullptr);
}

TEST(MethodTable, MissingFileGivesEmptyTable) {
    MethodTable table = LoadFrom("0;a;b\n1;x");
    test::TempDir empty;
    LoadMethodTable(empty.path(), table);
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.extraColumnCount(), 0);
    EXPECT_TRUE(table.extraColumnCaptions().empty());
}

TEST(MethodTable, HugeBlockCountsAreCapped) {
    MethodEntry big = BuildMethodEntry("1;{2147483647~x;a;};c");
    EXPECT_EQ(big.items.size(), 2u + 3u * kMaxBlockRepeats);
    EXPECT_EQ(big.items[big.items.size() - 2], "~~");
    EXPECT_EQ(big.items.back(), "c");

    std::string body(100000, 'b');
    MethodEntry wide = BuildMethodEntry("1;{2147483647;" + body + ";};c");
    std::size_t bytes = 0;
    for (const std::string& item : wide.items)
        bytes += item.size();
    EXPECT_LE(bytes, kMaxBlockExpansionBytes + 2 * body.size());
    EXPECT_GE(wide.items.size(), 3u);
    EXPECT_EQ(wide.items.back(), "c");
    // Many small blocks share one budget: 5000 blocks of 1000 copies stay near 1 MiB.
    std::string manyBlocks = "1;";
    for (int i = 0; i < 5000; ++i)
        manyBlocks += "{1000~x;};";
    MethodEntry many = BuildMethodEntry(manyBlocks + "c");
    EXPECT_LT(many.items.size(), kMaxBlockExpansionBytes / 16);
    EXPECT_EQ(many.items[1], "~1~x");
    EXPECT_EQ(many.items.back(), "c");
}

TEST(FindMethod, ExactDecimalTextFromEntryOne) {
    MethodTable table = LoadFrom("0;a\n007;x\n7;y\n-2;z\n7;w");
    ASSERT_NE(FindMethod(table, 7), nullptr);
    EXPECT_EQ(FindMethod(table, 7)->classification(), "y");
    EXPECT_EQ(FindMethod(table, -2)->classification(), "z");
    EXPECT_EQ(FindMethod(table, 0), nullptr);
    EXPECT_EQ(FindMethod(table, 8), nullptr);
}

TEST(FindMethodByValue, ReadsNumberItemsAsIntegers) {
    MethodTable table = LoadFrom("x;a\n007;x\n$8;y\nnine;z\n10;w");
    EXPECT_EQ(FindMethodByValue(table, 7)->classification(), "x");
    EXPECT_EQ(FindMethodByValue(table, 8)->classification(), "y");
    try {
        FindMethodByValue(table, 10);
        ADD_FAILURE() << "a number item that is no number must stop the search";
    } catch (const EInvalidInteger& e) {
        EXPECT_STREQ(e.what(), "'nine' is not a valid integer value");
    }
    EXPECT_EQ(FindMethodByValue(LoadFrom("x;a\n1;b"), 2), nullptr);
}

} // namespace
} // namespace zendrel
