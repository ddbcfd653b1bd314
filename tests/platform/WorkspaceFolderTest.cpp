#include "platform/WorkspaceFolder.h"

#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace zendrel {
namespace {

namespace fs = std::filesystem;

TEST(WorkspaceFolder, UserDataFolderFollowsTheBaseDirectoryRules) {
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {"/data/me", "/home/me", "/data/me/zendrel/"},
        {"/data/me/", "/home/me", "/data/me/zendrel/"},
        {nullptr, "/home/me", "/home/me/.local/share/zendrel/"},
        {"", "/home/me/", "/home/me/.local/share/zendrel/"},
        {"relative/data", "/home/me", "/home/me/.local/share/zendrel/"}, // ignored, as specified
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserDataFolder(c.xdg, c.home), c.folder)
            << (c.xdg ? c.xdg : "(unset)") << " " << (c.home ? c.home : "(unset)");
}

TEST(WorkspaceFolder, InstalledDataIsFoundBesideTheProgramsFolder) {
    test::TempDir prefix;
    fs::create_directories(prefix.file("bin"));
    EXPECT_EQ(InstalledDataFolder(prefix.file("bin/")), "");
    fs::create_directories(prefix.file("share/zendrel/demo"));
    EXPECT_EQ(InstalledDataFolder(prefix.file("bin/")), prefix.file("bin/../share/zendrel/"));
}

TEST(WorkspaceFolder, ChoosesTheProgramFolderOnlyForAWritableBuild) {
    struct Case {
        const char* what;
        bool writable;
        std::string installed;
        std::string user;
        WorkspaceChoice choice;
    };
    const std::string prog = "/b/app/", data = "/usr/share/zendrel/", user = "/h/.z/";
    const Case cases[] = {
        {"build folder", true, "", user, {prog, ""}},
        {"read-only build", false, "", user, {user + "default/", prog}},
        {"installed", false, data, user, {user + "default/", data + "demo/"}},
        {"installed in a writable prefix", true, data, user, {user + "default/", data + "demo/"}},
        {"installed, no home", false, data, "", {data + "demo/", ""}},
        {"read-only build, no home", false, "", "", {prog, ""}},
    };
    for (const Case& c : cases) {
        const WorkspaceChoice got = ChooseDefaultWorkspace({prog, c.writable, c.installed, c.user});
        EXPECT_EQ(got.folder, c.choice.folder) << c.what;
        EXPECT_EQ(got.shipped, c.choice.shipped) << c.what;
    }
}

class WorkspaceFillTest : public ::testing::Test {
protected:
    test::TempDir dir;
    WorkspacePlaces places;

    WorkspaceFillTest() {
        fs::create_directories(dir.file("prefix/bin"));
        fs::create_directories(dir.file("prefix/share/zendrel/demo"));
        fs::create_directories(dir.file("prefix/share/zendrel/internet"));
        dir.write("prefix/share/zendrel/demo/domain.txt", "demo zones");
        dir.write("prefix/share/zendrel/demo/help.html", "help");
        dir.write("prefix/share/zendrel/internet/domain.txt", "registries");
        fs::permissions(dir.file("prefix/share/zendrel/demo/domain.txt"), fs::perms::owner_read);
        places = {dir.file("prefix/bin/"), false, InstalledDataFolder(dir.file("prefix/bin/")),
                  dir.file("home/.local/share/zendrel/")};
    }
    std::string user(const std::string& name) const { return places.userData + name; }
};

TEST_F(WorkspaceFillTest, FirstStartCopiesBothShippedWorkspacesPrivately) {
    std::string problem;
    EXPECT_EQ(OpenDefaultWorkspace(places, problem), user("default/"));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(dir.read("home/.local/share/zendrel/default/domain.txt"), "demo zones");
    EXPECT_EQ(dir.read("home/.local/share/zendrel/default/help.html"), "help");
    EXPECT_EQ(dir.read("home/.local/share/zendrel/internet/domain.txt"), "registries");
    // The user saves over the copies, even of a shipped file that was read-only.
    EXPECT_EQ(fs::status(user("default/domain.txt")).permissions() & fs::perms::owner_write,
              fs::perms::owner_write);
    EXPECT_EQ(fs::status(user("default")).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(std::distance(fs::directory_iterator(places.userData), fs::directory_iterator()), 2);
}

TEST_F(WorkspaceFillTest, AnExistingWorkspaceIsNeverTouched) {
    fs::create_directories(user("default"));
    dir.write("home/.local/share/zendrel/default/default.txt", "my words");
    std::string problem;
    EXPECT_EQ(OpenDefaultWorkspace(places, problem), user("default/"));
    EXPECT_FALSE(fs::exists(user("default/domain.txt")));
    EXPECT_EQ(dir.read("home/.local/share/zendrel/default/default.txt"), "my words");
    EXPECT_EQ(ReadableDefaultWorkspace(places), user("default/"));
}

TEST_F(WorkspaceFillTest, OnlyWorkspaceFilesAreCopiedFromAProgramFolder) {
    dir.write("prefix/bin/zendrel", "program");
    dir.write("prefix/bin/domain.txt", "zones");
    fs::create_directories(dir.file("prefix/bin/sub"));
    const WorkspaceChoice choice{user("default/"), places.programFolder};
    EXPECT_EQ(FillWorkspace(choice), "");
    EXPECT_EQ(dir.read("home/.local/share/zendrel/default/domain.txt"), "zones");
    EXPECT_FALSE(fs::exists(user("default/zendrel")));
    EXPECT_FALSE(fs::exists(user("default/sub")));
}

TEST_F(WorkspaceFillTest, ACopyThatCannotBeMadeOpensTheShippedWorkspace) {
    // A file where the data folder should be: nothing can be created below it.
    fs::create_directories(dir.file("home/.local/share"));
    dir.write("home/.local/share/zendrel", "in the way");
    EXPECT_EQ(ReadableDefaultWorkspace(places), places.installedData + "demo/");
    std::string problem;
    EXPECT_EQ(OpenDefaultWorkspace(places, problem), places.installedData + "demo/");
    EXPECT_NE(problem.find("cannot create"), std::string::npos) << problem;
    EXPECT_EQ(dir.read("home/.local/share/zendrel"), "in the way");
}

TEST_F(WorkspaceFillTest, AFailedCopyLeavesNoHalfWorkspace) {
    // A file named like the workspace: the copy is made, but cannot take its place.
    fs::create_directories(places.userData);
    dir.write("home/.local/share/zendrel/default", "a file");
    EXPECT_NE(FillWorkspace(ChooseDefaultWorkspace(places)), "");
    EXPECT_EQ(dir.read("home/.local/share/zendrel/default"), "a file");
    EXPECT_EQ(std::distance(fs::directory_iterator(places.userData), fs::directory_iterator()), 1);
}

} // namespace
} // namespace zendrel
