#include "ui/AdditionalWordPane.h"

#include "engine/WorkspaceSettings.h"
#include "ui/DialogService.h"
#include "ui/FlagCellDelegate.h"
#include "ui/FlagHeaderView.h"
#include "ui/ListButton.h"
#include "ui/WordListFileDialog.h"
#include "ui/WordText.h"

#include <QHBoxLayout>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zendrel {

namespace {

constexpr int kFirst = 0;
constexpr int kLast = 1;
constexpr int kWord = 2;
constexpr int kBytesRole = Qt::UserRole;

QString flagText(const std::string& cell) {
    return QString::fromLatin1(cell);
}

} // namespace

AdditionalWordPane::AdditionalWordPane(DialogService& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(2, 2, 2, 2);
    buildToolRow(row);
    column->addLayout(row);
    buildGrid();
    column->addWidget(sgAdd, 1);
}

void AdditionalWordPane::buildToolRow(QHBoxLayout* row) {
    SpeedButton3 = MakeListButton(this, "SpeedButton3", "+", "add", 0);
    SpeedButton14 = MakeListButton(this, "SpeedButton14", "v", "edit", 1);
    SpeedButton4 = MakeListButton(this, "SpeedButton4", "-", "delete");
    SpeedButton6 = MakeListButton(this, "SpeedButton6", "Load");
    SpeedButton8 = MakeListButton(this, "SpeedButton8", "Save");
    for (QToolButton* b : {SpeedButton3, SpeedButton14, SpeedButton4, SpeedButton6, SpeedButton8})
        row->addWidget(b);
    row->addStretch(1);
    for (QToolButton* b : {SpeedButton3, SpeedButton14})
        connect(b, &QToolButton::clicked, this, [this, b] { SpeedButton3Click(b); });
    connect(SpeedButton4, &QToolButton::clicked, this, &AdditionalWordPane::SpeedButton4Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &AdditionalWordPane::SpeedButton6Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &AdditionalWordPane::SpeedButton8Click);
}

void AdditionalWordPane::buildGrid() {
    sgAdd = new QTableWidget(1, 3, this);
    sgAdd->setObjectName("sgAdd");
    header_ = new FlagHeaderView(sgAdd);
    sgAdd->setHorizontalHeader(header_);
    // The header view paints the texts it keeps; the model's stay empty.
    sgAdd->setHorizontalHeaderLabels({QString(), QString(), QString()});
    sgAdd->verticalHeader()->hide();
    sgAdd->verticalHeader()->setMinimumSectionSize(1);
    sgAdd->verticalHeader()->setDefaultSectionSize(18);
    header_->setMinimumSectionSize(1);
    header_->setFixedHeight(18);
    sgAdd->setColumnWidth(kFirst, 40);
    sgAdd->setColumnWidth(kLast, 43);
    sgAdd->setColumnWidth(kWord, 176);
    sgAdd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgAdd->setSelectionMode(QAbstractItemView::SingleSelection);
    sgAdd->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgAdd->setItemDelegate(new FlagCellDelegate(sgAdd));
    selectRow(0);
    connect(header_, &FlagHeaderView::sectionReleased, this, &AdditionalWordPane::sgAddMouseUp);
    connect(sgAdd, &QTableWidget::cellDoubleClicked, this, &AdditionalWordPane::sgAddDblClick);
}

QString AdditionalWordPane::cell(int row, int column) const {
    const QTableWidgetItem* item = sgAdd->item(row, column);
    return item ? item->text() : QString();
}

void AdditionalWordPane::setCell(int row, int column, const QString& text) {
    if (QTableWidgetItem* item = sgAdd->item(row, column)) {
        item->setText(text);
        return;
    }
    sgAdd->setItem(row, column, new QTableWidgetItem(text));
}

void AdditionalWordPane::setWord(int row, const std::string& bytes) {
    // The item is filled before it enters the grid, so the view hears of it once.
    auto* item = new QTableWidgetItem(WordDisplayText(bytes));
    item->setData(kBytesRole, QByteArray::fromStdString(bytes));
    sgAdd->setItem(row, kWord, item);
}

std::string AdditionalWordPane::wordBytes(int row) const {
    const QTableWidgetItem* item = sgAdd->item(row, kWord);
    return item ? item->data(kBytesRole).toByteArray().toStdString() : std::string();
}

std::vector<AdditionalRow> AdditionalWordPane::rows() const {
    std::vector<AdditionalRow> out;
    for (int r = 0; r < sgAdd->rowCount(); ++r) {
        out.push_back({cell(r, kFirst).toLatin1().toStdString(),
                       cell(r, kLast).toLatin1().toStdString(), wordBytes(r)});
    }
    return out;
}

void AdditionalWordPane::setRows(const std::vector<AdditionalRow>& rows) {
    sgAdd->clearContents();
    sgAdd->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int row = static_cast<int>(r);
        setCell(row, kFirst, flagText(rows[r].first));
        setCell(row, kLast, flagText(rows[r].last));
        setWord(row, rows[r].word);
    }
    selectRow(0);
}

QString AdditionalWordPane::headerText(int column) const {
    return header_->text(column);
}

void AdditionalWordPane::setHeaderText(int column, const QString& text) {
    header_->setText(column, text);
}

void AdditionalWordPane::LoadAdditionalWords() {
    std::vector<AdditionalRow> loaded;
    WordListLoad result = zendrel::LoadAdditionalWords(path_, loaded);
    keepUnreadableFile_ = result == WordListLoad::Unreadable;
    setRows(loaded);
}

void AdditionalWordPane::SaveAdditionalWords() {
    if (keepUnreadableFile_)
        return;
    zendrel::SaveAdditionalWords(path_, rows());
}

bool AdditionalWordPane::gridEmpty() const {
    return sgAdd->rowCount() == 1 && cell(0, kFirst).isEmpty() && cell(0, kLast).isEmpty() &&
           cell(0, kWord).isEmpty();
}

// The grid always has a current row; this is it, or row 0 when the view has none.
int AdditionalWordPane::selectedRow() const {
    int row = sgAdd->currentRow();
    return row >= 0 && row < sgAdd->rowCount() ? row : 0;
}

void AdditionalWordPane::selectRow(int row) {
    sgAdd->setCurrentCell(row, kWord);
}

void AdditionalWordPane::applySettings(const WorkspaceSettings& s) {
    setPath(s.fileAddDomain);
    for (auto [column, on] : {std::pair{kFirst, s.firstAdd}, std::pair{kLast, s.lastAdd}}) {
        if (on)
            setHeaderText(column, "1" + headerText(column));
    }
}

void AdditionalWordPane::storeSettings(WorkspaceSettings& s) const {
    s.fileAddDomain = path();
    s.firstAdd = headerText(kFirst).startsWith(QLatin1Char('1'));
    s.lastAdd = headerText(kLast).startsWith(QLatin1Char('1'));
}

} // namespace zendrel
