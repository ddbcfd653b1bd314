#include "app/cli/SearchOptions.h"

#include <gtest/gtest.h>
#include <ostream>

namespace zendrel {
namespace {

SearchOptions Parse(std::vector<std::string> args) {
    const ParsedCommandLine p = ParseSearchOptions(args);
    EXPECT_TRUE(p.ok()) << p.error;
    return p.options;
}

TEST(SearchOptions, NoArgumentsChangeNothing) {
    const SearchOptions o = Parse({});
    EXPECT_TRUE(o.folder.empty());
    EXPECT_FALSE(o.words || o.wordsFile || o.zones || o.combinations || o.hyphens || o.maxLength ||
                 o.connections || o.timeout || o.only);
    EXPECT_EQ(o.format, ResultFormat::Text);
    EXPECT_FALSE(o.check || o.verbose || o.help || o.version);
}

TEST(SearchOptions, ValuesAfterTheOptionOrAfterAnEqualsSign) {
    const SearchOptions o =
        Parse({"--words", " shop, green ,,pixel", "--zones=com,co.uk", "--combinations", "3",
               "--hyphens=0", "--max-length", "63", "--connections=100", "--timeout", "1",
               "--format", "json", "--only=available,no-data", "--verbose", "ws/"});
    EXPECT_EQ(*o.words, (std::vector<std::string>{"shop", "green", "pixel"}));
    EXPECT_EQ(*o.zones, (std::vector<std::string>{"com", "co.uk"}));
    EXPECT_EQ(o.combinations, 3);
    EXPECT_EQ(o.hyphens, 0);
    EXPECT_EQ(o.maxLength, 63);
    EXPECT_EQ(o.connections, 100);
    EXPECT_EQ(o.timeout, 1);
    EXPECT_EQ(o.format, ResultFormat::Json);
    EXPECT_TRUE(o.only->available && o.only->other);
    EXPECT_FALSE(o.only->hold || o.only->notAvailable);
    EXPECT_TRUE(o.verbose);
    EXPECT_EQ(o.folder, "ws/");
}

TEST(SearchOptions, TheLastOfWordsAndWordsFileCounts) {
    SearchOptions o = Parse({"--words", "a", "--words-file", "-"});
    EXPECT_FALSE(o.words);
    EXPECT_EQ(o.wordsFile, "-");
    o = Parse({"--words-file", "list.txt", "--words", "b"});
    EXPECT_FALSE(o.wordsFile);
    EXPECT_EQ(*o.words, std::vector<std::string>{"b"});
}

TEST(SearchOptions, DoubleDashEndsTheOptions) {
    EXPECT_EQ(Parse({"--check", "--", "--odd-folder"}).folder, "--odd-folder");
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
}

struct BadCommandLine {
    const char* name;
    std::vector<std::string> args;
    const char* error;
};

// Test lists show a case by its name, not as a dump of its bytes.
void PrintTo(const BadCommandLine& c, std::ostream* out) {
    *out << c.name;
}

class SearchOptionErrors : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(SearchOptionErrors, SayWhatIsWrongAndTheRange) {
    EXPECT_EQ(ParseSearchOptions(GetParam().args).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchOptionErrors,
    ::testing::Values(
        BadCommandLine{"Unknown", {"--colour"}, "unknown option '--colour'"},
        BadCommandLine{"UnknownWithValue", {"--colour=red"}, "unknown option '--colour'"},
        BadCommandLine{"MissingValue", {"ws", "--zones"}, "--zones needs a value"},
        BadCommandLine{"FlagWithValue", {"--check=yes"}, "--check takes no value"},
        BadCommandLine{"TwoFolders",
                       {"a", "b"},
                       "only one workspace folder can be given: 'a' "
                       "and 'b'"},
        BadCommandLine{"NotANumber",
                       {"--combinations", "two"},
                       "--combinations takes a number from 1 to 10, not 'two'"},
        BadCommandLine{"Empty", {"--timeout="}, "--timeout takes a number from 1 to 1000, not ''"},
        BadCommandLine{"Trailing",
                       {"--connections", "5x"},
                       "--connections takes a number from 1 to 100, not '5x'"},
        BadCommandLine{"BelowRange",
                       {"--max-length", "0"},
                       "--max-length 0 is out of range: it takes a number from 1 to 63"},
        BadCommandLine{"AboveRange",
                       {"--timeout", "1001"},
                       "--timeout 1001 is out of range: it takes a number from 1 to 1000"},
        BadCommandLine{"Negative",
                       {"--connections", "-3"},
                       "--connections -3 is out of range: it takes a number from 1 to 100"},
        BadCommandLine{"Huge",
                       {"--combinations", "99999999999999999999"},
                       "--combinations 99999999999999999999 is out of range: it takes a number "
                       "from 1 to 10"},
        BadCommandLine{"Hyphens",
                       {"--hyphens", "3"},
                       "--hyphens 3 is out of range: it takes 0 (no hyphens) or a number from 1 "
                       "to 2"},
        BadCommandLine{
            "Format", {"--format", "xml"}, "--format takes text, csv, tsv or json, not 'xml'"},
        BadCommandLine{"OnlyUnknown",
                       {"--only", "available,free"},
                       "--only takes available, hold, not-available and no-data, not 'free'"},
        BadCommandLine{"OnlyEmpty",
                       {"--only", " , "},
                       "--only needs at least one of available, hold, not-available and no-data"},
        BadCommandLine{"NoZones", {"--zones", ","}, "--zones needs at least one zone"},
        BadCommandLine{"NoWordsFile",
                       {"--words-file="},
                       "--words-file needs a file name (or - for standard input)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitList, TrimsAndDropsEmptyItems) {
    EXPECT_EQ(SplitList(""), std::vector<std::string>{});
    EXPECT_EQ(SplitList(" a ,b,,  "), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitList("co.uk"), std::vector<std::string>{"co.uk"});
}

} // namespace
} // namespace zendrel
