#include "ui/ProxyGrid.h"

#include "engine/WorkspaceSettings.h"
#include "ui/Latin1.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace zendrel {

namespace {

constexpr int kRowHeight = 18;
// A column narrower than this could no longer be grabbed to widen it again.
constexpr int kMinColumnWidth = 10;
constexpr int kMaxColumnWidth = 32767;

int usableColumnWidth(int stored) {
    return std::clamp(stored, kMinColumnWidth, kMaxColumnWidth);
}

// Draws the label cells like fixed cells: button colour, text 1 pixel in from the corner and a
// black line along the bottom edge.
class LabelCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect r = option.rect;
        painter->save();
        painter->fillRect(r, option.palette.color(QPalette::Button));
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->drawText(r.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data().toString());
        painter->setPen(Qt::black);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

} // namespace

ProxyGrid::ProxyGrid(QWidget* parent) : QTableWidget(kSettings, 2, parent) {
    setObjectName(QStringLiteral("sgProxy"));
    setHorizontalHeaderLabels({QString(), QString()});
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(false);
    setColumnWidth(0, 82);
    setColumnWidth(1, 76);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMinimumHeight(3 * kRowHeight);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setItemDelegate(new LabelCellDelegate(this));
    for (int row = 0; row < kSettings; ++row) {
        auto* labelItem = new QTableWidgetItem(QString::fromLatin1(kConnectionLabels[row]));
        labelItem->setFlags(Qt::ItemIsEnabled); // neither selectable nor editable
        setItem(row, 0, labelItem);
        setItem(row, 1, new QTableWidgetItem(QString()));
    }
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { sgProxySelectCell(row, column); });
}

void ProxyGrid::sgProxySelectCell(int row, int column) {
    // The labels are never current, so typing always lands in a value cell.
    if (column == 0 && row >= 0)
        setCurrentCell(row, 1);
}

QString ProxyGrid::value(int index) const {
    const QTableWidgetItem* it = item(index, 1);
    return it ? it->text() : QString();
}

void ProxyGrid::setValue(int index, const QString& text) {
    if (QTableWidgetItem* it = item(index, 1))
        it->setText(text);
}

ConnectionSettings ProxyGrid::settings() const {
    ConnectionSettings out;
    for (int i = 0; i < kSettings; ++i)
        out[static_cast<std::size_t>(i)] = fromQ(value(i).trimmed());
    return out;
}

void ProxyGrid::applySettings(const WorkspaceSettings& s) {
    for (int i = 0; i < kSettings; ++i)
        setValue(i, toQ(s.connection[static_cast<std::size_t>(i)]));
    setColumnWidth(0, usableColumnWidth(s.sgProxy0));
    setColumnWidth(1, usableColumnWidth(s.sgProxy1));
}

void ProxyGrid::storeSettings(WorkspaceSettings& s) const {
    for (int i = 0; i < kSettings; ++i)
        s.connection[static_cast<std::size_t>(i)] = fromQ(value(i));
    s.sgProxy0 = columnWidth(0);
    s.sgProxy1 = columnWidth(1);
}

} // namespace zendrel
