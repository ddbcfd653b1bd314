// The editing commands of the additional-word grid: add, edit and delete through the input
// dialog and the confirmation box, the column toggles of the header and the flag toggles.
#include "ui/AdditionalWordPane.h"
#include "ui/DialogService.h"
#include "ui/FlagHeaderView.h"
#include "ui/ListButton.h"
#include "ui/WordListFileDialog.h"
#include "ui/WordText.h"

#include <QTableWidget>
#include <algorithm>

namespace zendrel {

// The add and edit buttons share this handler; the edit button's tag is 1. On an empty grid
// both work on row 1, so the first word never leaves an empty row above it.
void AdditionalWordPane::SpeedButton3Click(QObject* sender) {
    const bool empty = gridEmpty();
    const bool add = ButtonTag(sender) == 0 && !empty;
    const int target = empty ? 0 : selectedRow();
    QString text = add ? QString() : cell(target, 2);
    if (!dialogs_.askItem(this, add, text))
        return;
    userEdited();
    int row = target;
    if (empty)
        selectRow(0);
    if (add) {
        row = sgAdd->rowCount();
        sgAdd->setRowCount(row + 1);
        selectRow(row);
        setCell(row, 0, QString());
        setCell(row, 1, QString());
    }
    setWord(row, WordBytes(text, add ? std::string() : wordBytes(row)));
}

void AdditionalWordPane::SpeedButton4Click() {
    const int row = selectedRow();
    if (sgAdd->rowCount() == 1 && gridEmpty())
        return;
    if (!dialogs_.askYesNo(this, "Delete Item", "Question"))
        return;
    userEdited();
    if (sgAdd->rowCount() > 1) {
        sgAdd->removeRow(row);
        selectRow(std::min(row, sgAdd->rowCount() - 1));
        return;
    }
    setCell(0, 0, QString());
    setCell(0, 1, QString());
    setWord(0, std::string());
}

void AdditionalWordPane::SpeedButton6Click() {
    std::optional<std::string> chosen = ChooseWordListFile(dialogs_, this, false, path_);
    if (!chosen)
        return;
    path_ = *chosen;
    LoadAdditionalWords();
    // The user chose this file; what it holds now is theirs to overwrite.
    keepUnreadableFile_ = false;
}

void AdditionalWordPane::SpeedButton8Click() {
    SaveWordListAs(
        dialogs_, this, path_, keepUnreadableFile_, {}, [this] { SaveAdditionalWords(); },
        saveSettings_);
}

// A release over the header cell of a flag column flips the column's check mark and sets the
// whole column to match.
void AdditionalWordPane::sgAddMouseUp(int column) {
    if (column != 0 && column != 1)
        return;
    QString text = header_->text(column);
    const bool on = !text.startsWith('1');
    header_->setText(column, on ? "1" + text : text.mid(1));
    userEdited();
    for (int r = 0; r < sgAdd->rowCount(); ++r)
        setCell(r, column, on ? "1" : QString());
}

void AdditionalWordPane::sgAddDblClick(int row, int column) {
    if (row < 0 || (column != 0 && column != 1))
        return;
    userEdited();
    setCell(row, column, cell(row, column) == "1" ? QString() : "1");
}

} // namespace zendrel
