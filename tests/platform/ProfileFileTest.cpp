#include "platform/ProfileFile.h"

#include "platform/Files.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zendrel {
namespace {

using test::TempDir;

TEST(ProfileFile, WrittenKeysReadBackAndMissingOnesGiveTheDefault) {
    TempDir dir;
    std::string path = dir.file("param.txt");
    EXPECT_EQ(GetProfileString(path, "Param", "Links", "2"), "2"); // no file yet
    WriteProfileString(path, "Param", "Links", "10");
    WriteProfileString(path, "Param", "Dom", "+-+");
    WriteProfileString(path, "Param", "Links", "12");
    EXPECT_EQ(GetProfileString(path, "Param", "Links", "2"), "12");
    EXPECT_EQ(GetProfileString(path, "Param", "Dom"), "+-+");
    EXPECT_EQ(GetProfileString(path, "Param", "TimeOut", "50"), "50");
    EXPECT_EQ(GetProfileString(path, "Other", "Links", "x"), "x");
    EXPECT_EQ(dir.read("param.txt"), "[Param]\r\nLinks=12\r\nDom=+-+\r\n");
}

TEST(ProfileFile, SectionsAndKeysMatchWithoutRegardToCase) {
    TempDir dir;
    dir.write("param.txt", "[PARAM]\nlinks = 7 \n  TimeOut=9\n");
    std::string path = dir.file("param.txt");
    EXPECT_EQ(GetProfileString(path, "Param", "LINKS"), "7");
    EXPECT_EQ(GetProfileString(path, "param", "timeout"), "9");
    WriteProfileString(path, "Param", "Links", "3");
    EXPECT_EQ(dir.read("param.txt"), "[PARAM]\nLinks=3\n  TimeOut=9\n");

    dir.write("param.txt", "\xEF\xBB\xBF[Param]\r\nLinks=8\r\n"); // saved by an editor
    EXPECT_EQ(GetProfileString(path, "Param", "Links"), "8");
    WriteProfileString(path, "Param", "Links", "6");
    EXPECT_EQ(dir.read("param.txt"), "\xEF\xBB\xBF[Param]\r\nLinks=6\r\n");
}

TEST(ProfileFile, UpdateKeepsEverythingElseOfAHandEditedFile) {
    TempDir dir;
    const std::string before = "; written by hand\r\n"
                               "[Window]\r\n"
                               "Links=99\r\n"
                               "\r\n"
                               "[Param]\r\n"
                               "# my proxy is down\r\n"
                               "Proxy=10.0.0.1\r\n"
                               "Unknown=keep me\r\n"
                               "\r\n"
                               "[Last]\r\n"
                               "x=1\r\n";
    dir.write("param.txt", before);
    std::string path = dir.file("param.txt");
    WriteProfileStrings(path, "Param", {{"Proxy", ""}, {"Links", "4"}});
    std::string expected = before;
    expected.replace(expected.find("Proxy=10.0.0.1"), 14, "Proxy=");
    expected.insert(expected.find("Unknown=keep me\r\n") + 17, "Links=4\r\n");
    EXPECT_EQ(dir.read("param.txt"), expected);
    EXPECT_EQ(GetProfileString(path, "Window", "Links"), "99");
    EXPECT_EQ(GetProfileString(path, "Param", "Links"), "4");
}

TEST(ProfileFile, NewSectionIsAppendedAfterABlankLine) {
    TempDir dir;
    dir.write("param.txt", "[Other]\nA=1");
    WriteProfileString(dir.file("param.txt"), "Param", "B", "2");
    EXPECT_EQ(dir.read("param.txt"), "[Other]\nA=1\n\n[Param]\nB=2\n");
}

TEST(ProfileFile, CommentsAndKeylessLinesNeverMatch) {
    TempDir dir;
    dir.write("param.txt", "Links=1\n[Param]\n;Links=2\nLinks\n# Links=3\n");
    std::string path = dir.file("param.txt");
    EXPECT_EQ(GetProfileString(path, "Param", "Links", "d"), "d");
    WriteProfileString(path, "Param", "Links", "5");
    EXPECT_EQ(dir.read("param.txt"), "Links=1\n[Param]\n;Links=2\nLinks\n# Links=3\nLinks=5\n");
}

// Values are written whole, so they are read whole: a long value cut short at the next start
// would be written back cut, and what it held (check marks of zones, say) silently lost.
TEST(ProfileFile, LongValuesAreReadWhole) {
    TempDir dir;
    std::string path = dir.file("param.txt");
    std::string longValue(100000, 'v');
    longValue.back() = 'L';
    WriteProfileString(path, "Param", "Agent", longValue);
    const std::string read = GetProfileString(path, "Param", "Agent");
    EXPECT_EQ(read.size(), longValue.size());
    EXPECT_TRUE(read == longValue);
    EXPECT_EQ(GetProfileString(path, "Param", "None", longValue).size(), longValue.size());
}

TEST(ProfileFile, LineBreaksInAValueCannotInjectKeysOrSections) {
    TempDir dir;
    std::string path = dir.file("param.txt");
    WriteProfileString(path, "Param", "Agent", "a\r\n[Param]\nLinks=999");
    EXPECT_EQ(GetProfileString(path, "Param", "Links", "none"), "none");
    EXPECT_EQ(GetProfileString(path, "Param", "Agent"), "a  [Param] Links=999");
}

// Checks that a refused batch raises the exact text and leaves the old file alone.
void ExpectRefusedWriteKeepsFile(const TempDir& dir, const std::string& old) {
    std::string path = dir.file("param.txt");
    try {
        WriteProfileStrings(path, "Param", {{"Links", "5"}, {"Padding", std::string(8192, 'p')}});
        FAIL() << "the write was not refused";
    } catch (const FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(dir.read("param.txt"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left behind
}

TEST(ProfileFile, RefusedWriteKeepsTheOldFileWhenTheFolderIsReadOnly) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    dir.write("param.txt", "[Param]\nLinks=2\n");
    chmod(dir.path().c_str(), 0555);
    ExpectRefusedWriteKeepsFile(dir, "[Param]\nLinks=2\n");
    chmod(dir.path().c_str(), 0755);
}

TEST(ProfileFile, RefusedWriteKeepsTheOldFileWhenTheDiskRefusesTheBytes) {
    // A file-size limit makes the write itself fail, even for root.
    TempDir dir;
    dir.write("param.txt", "[Param]\nLinks=2\n");
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectRefusedWriteKeepsFile(dir, "[Param]\nLinks=2\n");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
}

TEST(ProfileFile, MissingFolderRaisesTheSettingsPathInTheText) {
    std::string path = "/nonexistent-zendrel-folder/param.txt";
    EXPECT_EQ(GetProfileString(path, "Param", "Links", "2"), "2");
    try {
        WriteProfileString(path, "Param", "Links", "3");
        FAIL();
    } catch (const FileWriteError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to /nonexistent-zendrel-folder/param.txt");
    }
}

TEST(ProfileFile, AnUnreadableExistingFileIsNotOverwritten) {
    // Reading it as empty and writing that back would lose every other key.
    TempDir dir;
    std::filesystem::create_directory(dir.file("param.txt"));
    EXPECT_THROW(WriteProfileString(dir.file("param.txt"), "Param", "Links", "3"), FileWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("param.txt")));
}

} // namespace
} // namespace zendrel
