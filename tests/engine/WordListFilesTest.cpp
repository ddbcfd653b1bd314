#include "engine/WordListFiles.h"

#include "platform/Files.h"
#include "tests/engine/WordListPrinters.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zendrel {
namespace {

using test::TempDir;

TEST(KeywordFile, RoundTripKeepsTextsOrderChecksAndBytes) {
    TempDir dir;
    std::vector<KeywordEntry> entries = {{"cloud", true},
                                         {"bike", false},
                                         {"cloud", false},
                                         {"caf\xc3\xa9", true},
                                         {"\xe9t\xe9", false}};
    SaveKeywords(dir.file("k.txt"), entries);
    EXPECT_EQ(dir.read("k.txt"), "cloud\r\nbike;-\r\ncloud;-\r\ncaf\xc3\xa9\r\n\xe9t\xe9;-\r\n");
    std::vector<KeywordEntry> back;
    EXPECT_EQ(LoadKeywords(dir.file("k.txt"), back), WordListLoad::Loaded);
    EXPECT_EQ(back, entries);
    SaveKeywords(dir.file("k2.txt"), back);
    EXPECT_EQ(dir.read("k2.txt"), dir.read("k.txt"));
}

TEST(KeywordFile, ReadsHandWrittenLines) {
    struct Case {
        const char* bytes;
        std::vector<KeywordEntry> want;
    };
    const Case cases[] = {
        {"a\rb\nc\r\nd", {{"a", true}, {"b", true}, {"c", true}, {"d", true}}},
        {"a;\r\nb;x\r\nc;-\r\nd;-x;y\r\ne; -",
         {{"a", true}, {"b", true}, {"c", false}, {"d", false}, {"e", true}}},
        {"\r\n\r\na\n\n", {{"a", true}}},
        {";-\r\n", {{"", false}}},
        {"", {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        dir.write("k.txt", c.bytes);
        std::vector<KeywordEntry> got = {{"stale", true}};
        LoadKeywords(dir.file("k.txt"), got);
        EXPECT_EQ(got, c.want) << c.bytes;
    }
}

TEST(AdditionalWordFile, EveryFlagCombinationRoundTrips) {
    TempDir dir;
    std::vector<AdditionalRow> rows = {
        {"1", "1", "top"}, {"1", "", "pre"}, {"", "1", "post"}, {"", "", "none"},      {"", "", ""},
        {"1", "1", ""},    {"1", "", ""},    {"x", "1", "odd"}, {"1", "1", "\xff\xfe"}};
    SaveAdditionalWords(dir.file("a.txt"), rows);
    EXPECT_EQ(dir.read("a.txt"), "top\r\npre; -\r\npost;- \r\nnone;--\r\n;--\r\n;  \r\n; -\r\n"
                                 "odd;- \r\n\xff\xfe\r\n");
    std::vector<AdditionalRow> back;
    EXPECT_EQ(LoadAdditionalWords(dir.file("a.txt"), back), WordListLoad::Loaded);
    rows[7].first = ""; // any flag value other than "1" is off, and comes back empty
    EXPECT_EQ(back, rows);
}

TEST(AdditionalWordFile, ReadsHandWrittenLines) {
    struct Case {
        const char* bytes;
        std::vector<AdditionalRow> want;
    };
    const Case cases[] = {
        {"w", {{"1", "1", "w"}}},
        {"w;-", {{"", "1", "w"}}},
        {"w; -", {{"1", "", "w"}}},
        {"w;", {{"1", "1", "w"}}},
        {"w;x-;more", {{"1", "", "w"}}},
        {"a\n\nb\r", {{"1", "1", "a"}, {"", "", ""}, {"1", "1", "b"}}},
        {"", {{"", "", ""}}},
        {"\r\n", {{"", "", ""}}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        dir.write("a.txt", c.bytes);
        std::vector<AdditionalRow> got = {{"1", "1", "stale"}, {"1", "1", "stale"}};
        LoadAdditionalWords(dir.file("a.txt"), got);
        EXPECT_EQ(got, c.want) << c.bytes;
    }
}

TEST(WordListFiles, TellsMissingFromUnreadable) {
    TempDir dir;
    ::mkdir(dir.file("folder.txt").c_str(), 0700);
    std::vector<KeywordEntry> keywords = {{"stale", true}};
    std::vector<AdditionalRow> rows;
    EXPECT_EQ(LoadKeywords(dir.file("missing.txt"), keywords), WordListLoad::NoFile);
    EXPECT_TRUE(keywords.empty());
    EXPECT_EQ(LoadKeywords("", keywords), WordListLoad::NoFile);
    EXPECT_EQ(LoadKeywords(dir.file("folder.txt"), keywords), WordListLoad::Unreadable);
    EXPECT_TRUE(keywords.empty());
    EXPECT_EQ(LoadAdditionalWords(dir.file("folder.txt"), rows), WordListLoad::Unreadable);
    EXPECT_EQ(rows, std::vector<AdditionalRow>(1));
    EXPECT_EQ(LoadAdditionalWords(dir.file("missing.txt"), rows), WordListLoad::NoFile);
    EXPECT_EQ(rows, std::vector<AdditionalRow>(1));
}

// A list is read only from a regular file of at most 256 MiB. A device that never ends, a pipe
// nobody writes to or a file far too big would otherwise hang the start or exhaust memory; each
// is refused like an unreadable file, so it is not written over either.
TEST(WordListFiles, ReadsOnlyRegularFilesOfASaneSize) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
    const std::string huge = dir.file("huge.txt");
    {
        std::ofstream out(huge); // sparse: one byte past the limit costs no disk
    }
    ASSERT_EQ(::truncate(huge.c_str(), 256 * 1024 * 1024 + 1), 0);
    for (const std::string& path : {std::string("/dev/zero"), dir.file("pipe.txt"), huge}) {
        SCOPED_TRACE(path);
        std::vector<KeywordEntry> keywords = {{"stale", true}};
        std::vector<AdditionalRow> rows;
        EXPECT_EQ(LoadKeywords(path, keywords), WordListLoad::Unreadable);
        EXPECT_TRUE(keywords.empty());
        EXPECT_EQ(LoadAdditionalWords(path, rows), WordListLoad::Unreadable);
        EXPECT_EQ(rows, std::vector<AdditionalRow>(1));
    }
}

TEST(WordListFiles, FailedSaveThrowsAndKeepsTheOldFile) {
    TempDir dir;
    dir.write("k.txt", "old\r\n");
    ::mkdir(dir.file("folder.txt").c_str(), 0700);
    std::vector<KeywordEntry> keywords = {{"new", true}};
    EXPECT_THROW(SaveKeywords(dir.file("no/such/k.txt"), keywords), FileWriteError);
    EXPECT_THROW(SaveKeywords(dir.file("folder.txt"), keywords), FileWriteError);
    EXPECT_THROW(SaveAdditionalWords(dir.file("folder.txt"), {{"1", "1", "w"}}), FileWriteError);
    EXPECT_EQ(dir.read("k.txt"), "old\r\n");
    SaveKeywords("", keywords); // no path, no file, no error
    SaveAdditionalWords("", {});
}

} // namespace
} // namespace zendrel
