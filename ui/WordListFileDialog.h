#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace zendrel {

class DialogService;

// The filter of every word-list Load and Save dialog.
extern const QString kWordListFilter;

// Asks for a word-list file to load or save, starting at `currentPath` (and in `folder` when it
// is not empty); the chosen path, or nullopt when cancelled.
std::optional<std::string> ChooseWordListFile(DialogService& dialogs, QWidget* parent, bool save,
                                              const std::string& currentPath,
                                              const std::string& folder = {});

// Shows a failed save to the user.
void ShowSaveError(DialogService& dialogs, QWidget* parent, const std::exception& error);

} // namespace zendrel

namespace zendrel {

// The Save button of a word list: asks for the file (starting in `folder` when not empty), makes
// it the list's `path`, runs `save` and then `saveSettings` (when set), showing any failure. A
// failed save puts back the previous path and `keepUnreadable` protection, so the save at close
// still goes where it went before and nothing is lost.
void SaveWordListAs(DialogService& dialogs, QWidget* parent, std::string& path,
                    bool& keepUnreadable, const std::string& folder,
                    const std::function<void()>& save, const std::function<void()>& saveSettings);

} // namespace zendrel
