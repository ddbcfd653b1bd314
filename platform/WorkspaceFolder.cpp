#include "platform/WorkspaceFolder.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace zendrel {

namespace fs = std::filesystem;

namespace {

bool isFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string withoutSlash(const std::string& folder) {
    return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

// A workspace is its text files and its help page; a program folder that is copied from also
// holds the programs themselves.
bool isWorkspaceFile(const fs::directory_entry& e) {
    std::error_code ec;
    const std::string ext = e.path().extension().string();
    return e.is_regular_file(ec) && (ext == ".txt" || ext == ".html");
}

// Copies the workspace files of `from` into the empty folder `to`, each writable by its owner so
// that the user's copy can be saved over.
std::string copyFiles(const std::string& from, const std::string& to) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(from, ec)) {
        if (!isWorkspaceFile(e))
            continue;
        const fs::path target = fs::path(to) / e.path().filename();
        if (!fs::copy_file(e.path(), target, ec))
            return "cannot copy " + e.path().string() + ": " + ec.message();
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, ec);
    }
    return ec ? "cannot read " + from + ": " + ec.message() : "";
}

} // namespace

std::string UserDataFolder(const char* xdgDataHome, const char* home) {
    // A relative value is not a usable base folder and is ignored, as XDG says.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return withoutSlash(xdgDataHome) + "/zendrel/";
    if (home && home[0] == '/')
        return withoutSlash(home) + "/.local/share/zendrel/";
    return {};
}

std::string InstalledDataFolder(const std::string& programFolder) {
    const std::string data = programFolder + "../share/zendrel/";
    return isFolder(data + "demo") ? data : std::string();
}

WorkspacePlaces CurrentWorkspacePlaces() {
    WorkspacePlaces p;
    p.programFolder = ProgramFolder();
    p.programFolderWritable = ::access(p.programFolder.c_str(), W_OK) == 0;
    p.installedData = InstalledDataFolder(p.programFolder);
    p.userData = UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return p;
}

WorkspaceChoice ChooseDefaultWorkspace(const WorkspacePlaces& places) {
    const bool installed = !places.installedData.empty();
    if ((!installed && places.programFolderWritable) || places.userData.empty())
        return {installed ? places.installedData + "demo/" : places.programFolder, {}};
    return {places.userData + "default/",
            installed ? places.installedData + "demo/" : places.programFolder};
}

WorkspaceChoice ChooseInternetWorkspace(const WorkspacePlaces& places) {
    if (places.installedData.empty() || places.userData.empty() ||
        !isFolder(places.installedData + "internet"))
        return {};
    return {places.userData + "internet/", places.installedData + "internet/"};
}

std::string FillWorkspace(const WorkspaceChoice& choice) {
    if (choice.shipped.empty() || isFolder(choice.folder))
        return {};
    const std::string target = withoutSlash(choice.folder);
    std::error_code ec;
    fs::create_directories(fs::path(target).parent_path(), ec);
    std::string partial = target + ".partial-XXXXXX";
    // A private folder: the settings file may hold proxy and gateway passwords.
    if (ec || !::mkdtemp(partial.data()))
        return "cannot create " + target + ": " + (ec ? ec.message() : std::strerror(errno));
    std::string problem = copyFiles(choice.shipped, partial);
    if (problem.empty() && ::rename(partial.c_str(), target.c_str()) != 0 && !isFolder(target))
        problem = "cannot create " + target + ": " + std::strerror(errno);
    fs::remove_all(partial, ec); // gone already after a rename, or another start was first
    return problem;
}

std::string OpenDefaultWorkspace(const WorkspacePlaces& places, std::string& problem) {
    const WorkspaceChoice choice = ChooseDefaultWorkspace(places);
    problem = FillWorkspace(choice);
    if (!problem.empty())
        return choice.shipped;
    // The internet workspace's copy is a convenience; the window opens without it.
    FillWorkspace(ChooseInternetWorkspace(places));
    return choice.folder;
}

std::string ReadableDefaultWorkspace(const WorkspacePlaces& places) {
    const WorkspaceChoice choice = ChooseDefaultWorkspace(places);
    return choice.shipped.empty() || isFolder(choice.folder) ? choice.folder : choice.shipped;
}

} // namespace zendrel
