#pragma once

#include "engine/WordListFiles.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QListWidget;
class QToolButton;

namespace zendrel {

class CheckAllBox;
class DialogService;
struct WorkspaceSettings;

// The keyword pane: the title strip, the tool row (check-all box, add, edit, delete, Load, Save)
// and the keyword check list `clbDomain`. It holds the keyword file's path.
class KeywordPane : public QWidget {
    Q_OBJECT
public:
    KeywordPane(DialogService& dialogs, QWidget* parent = nullptr);

    // The keywords in list order, with their check marks.
    std::vector<KeywordEntry> entries() const;
    // Replaces the list.
    void setEntries(const std::vector<KeywordEntry>& entries);

    const std::string& path() const { return path_; }
    // The keyword file's path; empty means no file is read or written.
    void setPath(const std::string& path) { path_ = path; }

    // The pane's key in the settings file: "FileNameDomain", the path.
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

    // Replaces the list with the keyword file at the path; a file that cannot be read gives an
    // empty list without a message.
    void LoadKeywords();
    // Writes the list to the path (nothing for an empty path, nor over a file that is there but
    // could not be loaded and was not replaced by the user since). Throws FileWriteError.
    void SaveKeywords();
    // True while the last load found an unreadable file that SaveKeywords must leave alone.
    bool keepsUnreadableFile() const { return keepUnreadableFile_; }

    // Called after a save through the Save button, to record the settings.
    void setSaveSettings(std::function<void()> saveSettings) {
        saveSettings_ = std::move(saveSettings);
    }

    // Puts a widget of the window at the end of the tool row.
    void addToToolRow(QWidget* widget);

    QListWidget* list() const { return clbDomain; }

private:
    void buildToolRow(QHBoxLayout* row);
    void SpeedButton1Click(QObject* sender);
    void SpeedButton13Click();
    void SpeedButton5Click();
    void SpeedButton7Click();
    void Image1Click(bool on);
    void appendEntry(const KeywordEntry& entry);
    void userEdited() { keepUnreadableFile_ = false; }

    DialogService& dialogs_;
    std::string path_;
    bool keepUnreadableFile_ = false;
    std::function<void()> saveSettings_;

    QLabel* Label2;
    CheckAllBox* Panel13;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton13;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton7;
    QHBoxLayout* toolRow_;
    QListWidget* clbDomain;
};

} // namespace zendrel
