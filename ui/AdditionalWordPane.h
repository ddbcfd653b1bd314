#pragma once

#include "engine/WordListFiles.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QTableWidget;
class QToolButton;

namespace zendrel {

class DialogService;
class FlagHeaderView;
struct WorkspaceSettings;

// The additional-word pane: the tool row (add, edit, delete, Load, Save) and the grid `sgAdd`
// with the "First" and "Last" flag columns and the word column. The grid always has at least one
// data row; the header row is the grid's header, so data row 1 is the table's row 0.
class AdditionalWordPane : public QWidget {
    Q_OBJECT
public:
    AdditionalWordPane(DialogService& dialogs, QWidget* parent = nullptr);

    // The data rows in grid order, cells as the grid holds them.
    std::vector<AdditionalRow> rows() const;
    // Replaces the data rows (an empty vector gives one empty row).
    void setRows(const std::vector<AdditionalRow>& rows);

    // Header text of column 0 ("First"), 1 ("Last") or 2 ("Name"); a leading "1" on the first
    // two is the column's check mark.
    QString headerText(int column) const;
    void setHeaderText(int column, const QString& text);

    const std::string& path() const { return path_; }
    // The additional-word file's path; empty means no file is read or written.
    void setPath(const std::string& path) { path_ = path; }

    // The pane's keys in the settings file: "FileAddDomain" (the path), "FirstAdd" and
    // "LastAdd" (the flag columns' check marks).
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

    // Replaces the rows with the file at the path; a file that cannot be read gives one empty row.
    void LoadAdditionalWords();
    // Writes the rows to the path, with the same exceptions as KeywordPane::SaveKeywords.
    void SaveAdditionalWords();
    bool keepsUnreadableFile() const { return keepUnreadableFile_; }

    // Called after a save through the Save button, to record the settings.
    void setSaveSettings(std::function<void()> saveSettings) {
        saveSettings_ = std::move(saveSettings);
    }

    QTableWidget* grid() const { return sgAdd; }

private:
    void buildToolRow(QHBoxLayout* row);
    void buildGrid();
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    void setWord(int row, const std::string& bytes);
    std::string wordBytes(int row) const;
    bool gridEmpty() const;
    int selectedRow() const;
    void selectRow(int row);
    void SpeedButton3Click(QObject* sender);
    void SpeedButton4Click();
    void SpeedButton6Click();
    void SpeedButton8Click();
    void sgAddMouseUp(int column);
    void sgAddDblClick(int row, int column);
    void userEdited() { keepUnreadableFile_ = false; }

    DialogService& dialogs_;
    std::string path_;
    bool keepUnreadableFile_ = false;
    std::function<void()> saveSettings_;

    QToolButton* SpeedButton3;
    QToolButton* SpeedButton14;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton8;
    QTableWidget* sgAdd;
    FlagHeaderView* header_;
};

} // namespace zendrel
