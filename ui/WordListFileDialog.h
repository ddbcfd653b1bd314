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

// Runs `save` and, when it succeeded, `saveSettings` (when set); a failure of either is shown to
// the user. Returns false when `save` failed.
bool SaveAndRecord(DialogService& dialogs, QWidget* parent, const std::function<void()>& save,
                   const std::function<void()>& saveSettings);

} // namespace zendrel
