// The installed program: `cmake --install` into a temporary prefix and the .deb that CPack makes,
// each started the way a user would start it, with a home folder that has never seen Zendrel.
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zendrel::test {
namespace {

namespace fs = std::filesystem;

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `command` with the shell, its output kept in `dir`.
Ran Shell(const std::string& command, const TempDir& dir) {
    const std::string full =
        "( " + command + " ) >'" + dir.file("out") + "' 2>'" + dir.file("err") + "'";
    const int status = std::system(full.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("out"), dir.read("err")};
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// A user who never ran Zendrel, with the window drawn off screen.
std::string FreshUser(const std::string& home) {
    return "env -u XDG_DATA_HOME HOME=" + Quoted(home) + " QT_QPA_PLATFORM=offscreen ";
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

class InstalledProgram : public ::testing::Test {
protected:
    TempDir dir;
    std::string prefix = dir.file("prefix/");
    std::string home = dir.file("home/");

    void SetUp() override {
        fs::create_directories(home);
        const Ran r = Shell(Quoted(ZENDREL_CMAKE) + " --install " + Quoted(ZENDREL_BINARY_DIR) +
                                " --prefix " + Quoted(prefix),
                            dir);
        ASSERT_EQ(r.status, 0) << r.err;
    }
};

TEST_F(InstalledProgram, PutsEachFileInItsUsualPlace) {
    for (const char* file :
         {"bin/zendrel", "bin/zendrel-search", "bin/zendrel-gateway",
          "share/zendrel/demo/domain.txt", "share/zendrel/demo/method.txt",
          "share/zendrel/demo/param.txt", "share/zendrel/demo/default.txt",
          "share/zendrel/demo/add.txt", "share/zendrel/demo/help.html",
          "share/zendrel/internet/domain.txt", "share/zendrel/internet/help.html",
          "share/doc/zendrel/help.html", "share/doc/zendrel/copyright",
          "share/doc/zendrel/changelog.gz", "share/applications/zendrel.desktop",
          "share/icons/hicolor/scalable/apps/zendrel.svg", "share/man/man1/zendrel.1.gz",
          "share/man/man1/zendrel-search.1.gz", "share/man/man1/zendrel-gateway.1.gz"})
        EXPECT_TRUE(fs::is_regular_file(prefix + file)) << file;
    const Ran man = Shell("zcat " + Quoted(prefix + "share/man/man1/zendrel-search.1.gz") +
                              " | grep -c '^.SH '",
                          dir);
    EXPECT_GE(std::atoi(man.out.c_str()), 4) << "sections of the manual page";
}

// The window copies the shipped workspaces into the user's data folder on first start; the
// headless program, which writes nothing, then reads the user's copy.
TEST_F(InstalledProgram, FirstStartFillsTheUsersWorkspace) {
    const Ran before = Shell(FreshUser(home) + Quoted(prefix + "bin/zendrel-search"), dir);
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_NE(before.out.find(".com;"), std::string::npos) << before.out;
    EXPECT_FALSE(fs::exists(home + ".local")) << "the headless program wrote to the home folder";

    // Still running after five seconds: the window is up. It is stopped there.
    const Ran window = Shell(FreshUser(home) + "timeout 5 " + Quoted(prefix + "bin/zendrel"), dir);
    EXPECT_EQ(window.status, 124) << window.err;
    const std::string user = home + ".local/share/zendrel/";
    std::string shipped, copied;
    for (const char* ws : {"default/", "internet/"}) {
        const std::string from = prefix + "share/zendrel/" + (ws[0] == 'd' ? "demo/" : ws);
        ASSERT_TRUE(fs::is_regular_file(user + ws + "domain.txt")) << ws;
        EXPECT_EQ(fs::file_size(user + ws + "domain.txt"), fs::file_size(from + "domain.txt"));
        EXPECT_TRUE(fs::is_regular_file(user + ws + "help.html")) << ws;
    }

    dir.write("home/.local/share/zendrel/default/default.txt", "zzinstalled\r\n");
    const Ran after = Shell(FreshUser(home) + Quoted(prefix + "bin/zendrel-search"), dir);
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out.rfind("zzinstalled.", 0), 0u) << after.out;
}

// The package's Depends names the package of every library its programs load, and the package
// unpacked in a fresh root starts.
TEST(Package, DeclaresItsLibrariesAndStartsUnpacked) {
    TempDir dir;
    const Ran pack = Shell("cpack --config " + Quoted(ZENDREL_BINARY_DIR "/CPackConfig.cmake") +
                               " -B " + Quoted(dir.file("deb")),
                           dir);
    ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
    const Ran found = Shell("ls " + Quoted(dir.file("deb")) + "/zendrel_*.deb", dir);
    ASSERT_EQ(found.status, 0) << found.err;
    const std::string deb = Words(found.out).at(0);

    const Ran depends = Shell("dpkg-deb -f " + Quoted(deb) + " Depends", dir);
    std::set<std::string> declared;
    for (std::string w : Words(depends.out))
        if (w[0] != '(' && w.back() != ')')
            declared.insert(w.substr(0, w.find_first_of(",:")));
    EXPECT_TRUE(declared.count("libqt6widgets6")) << depends.out;
    EXPECT_TRUE(declared.count("ca-certificates")) << depends.out;

    ASSERT_EQ(Shell("dpkg-deb -x " + Quoted(deb) + " " + Quoted(dir.file("root")), dir).status, 0);
    std::set<std::string> needed;
    for (const char* program : {"zendrel", "zendrel-search", "zendrel-gateway"}) {
        const Ran r = Shell("readelf -d " + Quoted(dir.file("root/usr/bin/") + program) +
                                " | sed -n 's/.*Shared library: \\[\\(.*\\)\\]/\\1/p'",
                            dir);
        for (const std::string& lib : Words(r.out))
            needed.insert(lib);
    }
    ASSERT_FALSE(needed.empty());
    // One look-up for all: "package[, package]: /path/lib" per line.
    std::string patterns;
    for (const std::string& lib : needed)
        patterns += " '*/" + lib + "'";
    std::istringstream owners(Shell("dpkg -S" + patterns, dir).out);
    std::set<std::string> covered;
    for (std::string line; std::getline(owners, line);) {
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos)
            continue;
        const std::string lib = fs::path(line.substr(colon + 2)).filename().string();
        for (std::string p : Words(line.substr(0, colon)))
            if (declared.count(p.substr(0, p.find_first_of(",:"))))
                covered.insert(lib);
    }
    for (const std::string& lib : needed)
        EXPECT_TRUE(covered.count(lib)) << lib << " comes from no package in " << depends.out;

    fs::create_directories(dir.file("home"));
    const Ran run =
        Shell(FreshUser(dir.file("home")) + Quoted(dir.file("root/usr/bin/zendrel-search")), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(".com;"), std::string::npos);

    if (Shell("command -v lintian", dir).status != 0)
        GTEST_SKIP() << "lintian is not installed";
    const Ran lint = Shell("lintian --fail-on error,warning " + Quoted(deb), dir);
    EXPECT_EQ(lint.status, 0) << lint.out << lint.err;
}

} // namespace
} // namespace zendrel::test
