#include "app/cli/RunSetup.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::TempDir;

// A workspace of three zones (com and net checked), two keywords (one unchecked) and the stored
// filter "is available" only.
class RunSetupTest : public ::testing::Test {
protected:
    RunSetupTest() {
        dir_.write("domain.txt", "gw;http://h/%s;1;com\r\ngw;http://h/%s;1;net\r\n"
                                 "gw;http://h/%s;1;Co.UK\r\n");
        dir_.write("method.txt", "0;Registrar\r\n1;r:;r:|n|h\r\n");
        dir_.write("default.txt", "shop\r\nold;-\r\n");
        dir_.write("param.txt", "[Param]\r\nDom=++-\r\nCombinations=2\r\nHyphens=1\r\n"
                                "CountHyphens=2\r\nLinks=7\r\nTimeOut=9\r\nSaveAll=0\r\n"
                                "Available=1\r\nDNOnly=1\r\n");
        ws_ = LoadWorkspace(dir_.path());
    }

    std::optional<RunSetup> prepare(std::vector<std::string> args,
                                    std::optional<std::vector<KeywordEntry>> words = {}) {
        const ParsedCommandLine command = ParseSearchOptions(args);
        EXPECT_TRUE(command.ok()) << command.error;
        error_.clear();
        return PrepareRun(ws_, command.options, words, error_);
    }

    TempDir dir_;
    Workspace ws_;
    std::string error_;
};

TEST_F(RunSetupTest, WithoutOptionsTheStoredSearchRuns) {
    const std::optional<RunSetup> run = prepare({});
    ASSERT_TRUE(run);
    EXPECT_EQ(run->input.keywords, std::vector<std::string>{"shop"});
    EXPECT_EQ(run->input.zones, (std::vector<std::string>{"com", "net"}));
    EXPECT_EQ(run->input.combinations, 2);
    EXPECT_TRUE(run->input.useHyphens);
    EXPECT_EQ(run->input.hyphens, 2);
    EXPECT_EQ(run->settings.links, 7);
    EXPECT_EQ(run->settings.timeOut, 9);
    EXPECT_TRUE(run->selection.available);
    EXPECT_FALSE(run->selection.notAvailable || run->selection.hold || run->selection.other);
    EXPECT_TRUE(run->domainOnly);
}

TEST_F(RunSetupTest, OptionsTakeThePlaceOfStoredValuesForThisRunOnly) {
    const std::optional<RunSetup> run =
        prepare({"--zones", "co.uk,.COM,com", "--combinations", "1", "--hyphens", "0",
                 "--max-length", "12", "--connections", "3", "--timeout", "4", "--only", "no-data"},
                std::vector<KeywordEntry>{{"cloud", true}, {"skip", false}, {"data", true}});
    ASSERT_TRUE(run);
    EXPECT_EQ(run->input.keywords, (std::vector<std::string>{"cloud", "data"}));
    // The table's spelling, each zone once.
    EXPECT_EQ(run->input.zones, (std::vector<std::string>{"Co.UK", "com"}));
    EXPECT_EQ(run->input.combinations, 1);
    EXPECT_FALSE(run->input.useHyphens);
    EXPECT_EQ(run->input.maxLength, 12);
    EXPECT_EQ(run->settings.links, 3);
    EXPECT_EQ(run->settings.timeOut, 4);
    EXPECT_TRUE(run->selection.other);
    EXPECT_FALSE(run->selection.available);
    // The workspace itself is untouched.
    EXPECT_EQ(ws_.settings.links, 7);
    EXPECT_EQ(ws_.keywords.size(), 2u);
}

TEST_F(RunSetupTest, AnUnknownZoneListsTheZonesTheTableHas) {
    EXPECT_FALSE(prepare({"--zones", "com,org"}));
    EXPECT_EQ(error_, "unknown zone 'org'; the zone table " + dir_.path() +
                          "domain.txt has com, net, Co.UK");
    ws_.zones.clear();
    EXPECT_FALSE(prepare({"--zones", "com"}));
    EXPECT_EQ(error_, "unknown zone 'com': the zone table " + dir_.path() +
                          "domain.txt has no "
                          "zones");
}

bool FakeInput(std::string& bytes) {
    bytes = "alpha\r\nbeta;-\n\ngamma";
    return true;
}

TEST(ReadWordsOption, ListFileAndStandardInput) {
    TempDir dir;
    std::string error;
    SearchOptions o;
    EXPECT_FALSE(ReadWordsOption(o, FakeInput, error));
    EXPECT_TRUE(error.empty());

    o.wordsFile = "-";
    const auto fromInput = ReadWordsOption(o, FakeInput, error);
    ASSERT_TRUE(fromInput);
    EXPECT_EQ(*fromInput,
              (std::vector<KeywordEntry>{{"alpha", true}, {"beta", false}, {"gamma", true}}));

    dir.write("words.txt", "one\r\ntwo;-\r\n");
    o.wordsFile = dir.file("words.txt");
    EXPECT_EQ(ReadWordsOption(o, FakeInput, error)->size(), 2u);

    o.wordsFile = dir.file("missing.txt");
    EXPECT_FALSE(ReadWordsOption(o, FakeInput, error));
    EXPECT_EQ(error, "--words-file: " + dir.file("missing.txt") +
                         " cannot be read: No such file or directory");
    o.wordsFile = dir.path();
    EXPECT_FALSE(ReadWordsOption(o, FakeInput, error));
    EXPECT_EQ(error, "--words-file: " + dir.path() + " cannot be read: it is a folder");
}

} // namespace
} // namespace zendrel
