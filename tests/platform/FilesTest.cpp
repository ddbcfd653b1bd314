#include "platform/Files.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zendrel {
namespace {

std::string TempFolder() {
    char tmpl[] = "/tmp/zendrel-files-XXXXXX";
    return std::string(mkdtemp(tmpl)) + "/";
}

TEST(SplitLines, AcceptsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\r\n"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines(std::string("x\0y\xff", 4)),
              (std::vector<std::string>{std::string("x\0y\xff", 4)}));
}

TEST(AtomicWrite, ReplacesContentAndLeavesNoTemporaryFile) {
    std::string dir = TempFolder();
    std::string path = dir + "list.txt";
    WriteFileAtomically(path, "old");
    WriteFileAtomically(path, std::string("n\0ew\xe9", 5));
    std::string back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, std::string("n\0ew\xe9", 5));
    std::string cmd = "test $(ls " + dir + " | wc -l) -eq 1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

TEST(AtomicWrite, FailedRenameLeavesTargetAndNoTemporaryFile) {
    // A folder in the target's place makes the final rename fail after the data was written,
    // the same moment at which a crash would hit.
    std::string dir = TempFolder();
    std::string target = dir + "busy";
    ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
    WriteFileAtomically(target + "/inner.txt", "kept");
    EXPECT_THROW(WriteFileAtomically(target, "new", "Unable to write"), FileWriteError);
    std::string back;
    ASSERT_TRUE(ReadFileBytes(target + "/inner.txt", back));
    EXPECT_EQ(back, "kept");
    std::string cmd = "test $(ls " + dir + " | wc -l) -eq 1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

TEST(AtomicWrite, SuccessfulSaveRemovesWhatKilledSavesOfTheSameFileLeft) {
    std::string dir = TempFolder();
    const std::string path = dir + "param.txt";
    for (const char* name :
         {"param.txt.tmp-Ab3xYz", "param.txt.tmp-000000", "param.txt.tmp-long1234",
          "param.txt.tmp-", "default.txt.tmp-Ab3xYz", "xparam.txt.tmp-Ab3xYz"})
        WriteFileAtomically(dir + name, "left");
    ASSERT_EQ(mkdir((dir + "param.txt.tmp-folder").c_str(), 0755), 0);
    // A refused save removes nothing: only a save that replaced the file knows it is whole.
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    EXPECT_THROW(WriteFileAtomically(path, "x"), FileWriteError);
    EXPECT_EQ(access((dir + "param.txt.tmp-Ab3xYz").c_str(), F_OK), 0);
    ASSERT_EQ(rmdir(path.c_str()), 0);

    WriteFileAtomically(path, "[Param]\r\n");
    std::string back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, "[Param]\r\n");
    for (const char* gone : {"param.txt.tmp-Ab3xYz", "param.txt.tmp-000000"})
        EXPECT_NE(access((dir + gone).c_str(), F_OK), 0) << gone;
    for (const char* kept : {"param.txt.tmp-long1234", "param.txt.tmp-", "default.txt.tmp-Ab3xYz",
                             "xparam.txt.tmp-Ab3xYz", "param.txt.tmp-folder"})
        EXPECT_EQ(access((dir + kept).c_str(), F_OK), 0) << kept;
}

TEST(AtomicWrite, MissingFolderThrowsGivenText) {
    try {
        WriteFileAtomically("/nonexistent-zendrel/x.txt", "x", "Unable to write to x");
        FAIL();
    } catch (const FileWriteError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to x");
    }
}

TEST(ReadFile, UnreadablePathsGiveFalse) {
    std::string out = "stale";
    EXPECT_FALSE(ReadFileBytes("/nonexistent-zendrel/x.txt", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ReadFileBytes("/tmp", out));
    EXPECT_FALSE(ReadFileBytes("", out));
}

} // namespace
} // namespace zendrel
