#pragma once

#include <string>

namespace zendrel {

// Where the program may find and keep its workspace. A program run from its build folder keeps
// the workspace beside itself, as it always did. An installed program (or one whose folder it
// cannot write) keeps the user's workspaces in the user's data folder and fills them from the
// shipped ones on first start.
struct WorkspacePlaces {
    std::string programFolder; // ends in '/'
    bool programFolderWritable = true;
    std::string installedData; // <prefix>/share/zendrel/ when run from an install prefix, else ""
    std::string userData; // $XDG_DATA_HOME/zendrel/ or ~/.local/share/zendrel/, "" without a home
};

// The user's data folder for Zendrel: $XDG_DATA_HOME/zendrel/ when that variable holds an
// absolute path, else $HOME/.local/share/zendrel/; "" when neither gives one. Either may be null.
std::string UserDataFolder(const char* xdgDataHome, const char* home);

// <programFolder>/../share/zendrel/ when it holds the shipped demo workspace, else "".
std::string InstalledDataFolder(const std::string& programFolder);

// The places of the running program, from its executable's path and the environment.
WorkspacePlaces CurrentWorkspacePlaces();

// The workspace to open when none is named, and the shipped workspace that fills it when it does
// not exist yet ("" when the workspace is the program folder itself).
struct WorkspaceChoice {
    std::string folder; // ends in '/'
    std::string shipped;
};
WorkspaceChoice ChooseDefaultWorkspace(const WorkspacePlaces& places);
// The user's copy of the shipped internet workspace, for an installed program; {} otherwise.
WorkspaceChoice ChooseInternetWorkspace(const WorkspacePlaces& places);

// Creates `choice.folder` as a copy of the files of `choice.shipped` when it does not exist yet.
// The copy is made under a temporary name and renamed, so an interrupted copy is never taken for
// a complete one; an existing folder is never touched. Returns "" or what went wrong.
std::string FillWorkspace(const WorkspaceChoice& choice);

// For the window: the default workspace, filled on first start together with the internet
// workspace's copy. When the user's folder cannot be made the shipped workspace is opened as it
// is, and `problem` says why.
std::string OpenDefaultWorkspace(const WorkspacePlaces& places, std::string& problem);

// For a program that only reads: the default workspace when it exists, else the shipped one it
// would be filled from.
std::string ReadableDefaultWorkspace(const WorkspacePlaces& places);

} // namespace zendrel
