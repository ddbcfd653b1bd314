#include "lookup/FieldExtraction.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zendrel {
namespace {

struct FieldCase {
    const char* name;
    const char* item;
    const char* work;
    std::optional<std::string> value;
};

class ExtractFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ExtractFieldTest, ReadsTheValueAfterTheLabel) {
    EXPECT_EQ(ExtractField(GetParam().item, GetParam().work), GetParam().value)
        << GetParam().item << " in " << GetParam().work;
}

const char* const kServers = "ns: a\nns: b\nns: c\n";

INSTANTIATE_TEST_SUITE_P(
    Items, ExtractFieldTest,
    ::testing::Values(FieldCase{"ValueUpToTheHandle", "registrar:",
                                "registrar: acme names ltd (acme-1)\n", "acme names ltd"},
                      FieldCase{"FirstOccurrence", "ns:", kServers, "a"},
                      FieldCase{"SecondOccurrence", "2~ns:", kServers, "b"},
                      FieldCase{"LastOccurrence", "-1~ns:", kServers, "c"},
                      FieldCase{"OccurrenceBeyondTheLast", "4~ns:", kServers, std::nullopt},
                      FieldCase{"ZerothOccurrence", "0~ns:", kServers, std::nullopt},
                      FieldCase{"NegativeOtherThanLast", "-2~ns:", kServers, std::nullopt},
                      FieldCase{"CountNotANumber", "x~ns:", kServers, std::nullopt},
                      FieldCase{"EmptyCount", "~ns:", kServers, std::nullopt},
                      FieldCase{"EmptyLabel", "1~", kServers, std::nullopt},
                      FieldCase{"AbsentLabel", "absent:", kServers, std::nullopt},
                      // Markup and CR end or trim a value; an empty value is still a value.
                      FieldCase{"EmptyBeforeMarkup", "owner:", "<b>owner:</b> x", ""},
                      FieldCase{"ClosingBracketEndsTheValue", "owner:", "owner: x>y", "x"},
                      FieldCase{"CarriageReturnTrimmed", "owner:", "owner:\tx y \r\nz", "x y"},
                      FieldCase{"ValueToTheEnd", "owner:", "owner: rest", "rest"},
                      // Occurrences do not overlap: "aa" occurs twice in "aaaa", not three times.
                      FieldCase{"OccurrencesDoNotOverlap", "-1~aa", "aaaa!", "!"},
                      FieldCase{"OverlapNotCounted", "3~aa", "aaaa!", std::nullopt},
                      // Labels are lower-cased; "#a" stands for a line feed, "#9" for a tab.
                      FieldCase{"LabelLowerCased", "Name:", "name: x", "x"},
                      FieldCase{"LineFeedEscape", "name:#a", "name: x\nname:\ny", "y"},
                      FieldCase{"TabEscape", "a#9", "a b\na\tc", "c"}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST(DecodeLabelEscape, ReplacesOnlyTheFirstEscape) {
    EXPECT_EQ(DecodeLabelEscape("ab"), "ab");
    EXPECT_EQ(DecodeLabelEscape("x#a#a"), "x\n#a");
    EXPECT_EQ(DecodeLabelEscape("#0"), std::string(1, '\0'));
    EXPECT_EQ(DecodeLabelEscape("#f"), "\x0f");
    EXPECT_EQ(DecodeLabelEscape("x#gy"), "x\xffy");
    EXPECT_EQ(DecodeLabelEscape("x#"), "x\xff");
}

TEST(PositionSection, NarrowsToTheSectionOfTheCountthMarker) {
    const std::string reply = "a\nns: 1\nns: 2\n\nns: 3\n<br>\nend";
    struct Case {
        int32_t count;
        const char* marker;
        const char* section;
    };
    const Case cases[] = {{1, "ns:", "ns: 1\nns: 2"},
                          {3, "ns:", "ns: 3"},
                          {2, "ns:", "ns: 2"},
                          {4, "ns:", ""},
                          {0, "ns:", ""},
                          {-1, "ns:", ""},
                          {1, "", ""},
                          {1, "end", "end"}};
    for (const Case& c : cases) {
        std::string_view work = reply;
        PositionSection(work, c.count, c.marker);
        EXPECT_EQ(work, c.section) << c.count << "~" << c.marker;
    }
    // With CR LF line ends there is no empty "\n\n": the section runs to the end.
    std::string_view crlf = "x\r\nns: 1\r\n\r\nns: 2";
    PositionSection(crlf, 1, "ns:");
    EXPECT_EQ(crlf, "ns: 1\r\n\r\nns: 2");
}

} // namespace
} // namespace zendrel
