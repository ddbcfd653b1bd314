#include "ui/ZoneCheckList.h"

#include "ui/Latin1.h"

#include <QResizeEvent>

namespace zendrel {

namespace {
constexpr int kColumns = 3;
} // namespace

ZoneCheckList::ZoneCheckList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("clbDom"));
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A scrolling list may shrink to a few rows, so the window keeps its layout size.
    setMinimumHeight(58);
}

void ZoneCheckList::setZones(const std::vector<std::string>& zones) {
    clear();
    for (const std::string& zone : zones) {
        auto* item = new QListWidgetItem(toQ(zone), this);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    updateColumns();
}

std::vector<std::string> ZoneCheckList::checkedZones() const {
    std::vector<std::string> out;
    for (int i = 0; i < count(); ++i)
        if (isChecked(i))
            out.push_back(fromQ(item(i)->text()));
    return out;
}

bool ZoneCheckList::isChecked(int row) const {
    const QListWidgetItem* it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void ZoneCheckList::setChecked(int row, bool on) {
    if (QListWidgetItem* it = item(row))
        it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void ZoneCheckList::setAllChecked(bool on) {
    for (int i = 0; i < count(); ++i)
        setChecked(i, on);
}

void ZoneCheckList::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    updateColumns();
}

void ZoneCheckList::updateColumns() {
    const int rowHeight = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : fontMetrics().height() + 4;
    setGridSize(QSize(std::max(1, viewport()->width() / kColumns), rowHeight));
}

} // namespace zendrel
