#include "platform/Files.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace zendrel::test {
namespace {

const std::string kWindow = ZENDREL_BINARY_DIR "/app/zendrel";

// Runs the window program with `args` (already quoted for the shell); its exit status and what
// it wrote to standard error.
std::pair<int, std::string> RunWindow(const std::string& args, const TempDir& dir) {
    const std::string command = "QT_QPA_PLATFORM=offscreen timeout 60 '" + kWindow + "' " + args +
                                " >/dev/null 2>'" + dir.file("stderr") + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("stderr")};
}

TEST(WindowProgram, RefusesAMissingWorkspaceFolderOrExtraArguments) {
    if (!FileExists(kWindow))
        GTEST_SKIP() << "the window program is not built";
    TempDir dir;
    // Appended, not "'" + ...: GCC 12 misreads that insert at the front as an overlap.
    std::string quoted(1, '\'');
    quoted += dir.file("no such folder");
    quoted += '\'';
    auto [status, err] = RunWindow(quoted, dir);
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("the workspace folder"), std::string::npos) << err;
    EXPECT_NE(err.find("no such folder"), std::string::npos) << err;
    EXPECT_EQ(RunWindow("a b", dir).first, 2);
    EXPECT_EQ(RunWindow("--help", dir).first, 2);
}

} // namespace
} // namespace zendrel::test
