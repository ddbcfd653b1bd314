#include "ui/ResultsView.h"

#include "ui/ResultsModel.h"

#include <QHeaderView>

namespace zendrel {

ResultsView::ResultsView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("lvResult"));
    setShowGrid(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setMinimumHeight(3 * kRowHeight);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &ResultsView::headerClicked);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int c, int, int width) {
        if (applying_ || width <= 0)
            return;
        if (static_cast<std::size_t>(c) >= widths_.size())
            widths_.resize(c + 1, 0);
        widths_[c] = width;
    });
}

void ResultsView::setResultsModel(ResultsModel* model) {
    setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &ResultsView::applyColumnWidths);
    applyColumnWidths();
}

int ResultsView::preferredWidth(int c) const {
    if (c >= 0 && static_cast<std::size_t>(c) < widths_.size() && widths_[c] > 0)
        return widths_[c];
    return c == 2 ? 50 : 100;
}

void ResultsView::setPreferredWidth(int c, int width) {
    if (c < 0 || width <= 0)
        return;
    if (static_cast<std::size_t>(c) >= widths_.size())
        widths_.resize(c + 1, 0);
    widths_[c] = width;
    if (model() && c < model()->columnCount())
        setColumnWidth(c, width);
}

void ResultsView::applyColumnWidths() {
    applying_ = true;
    const int columns = model() ? model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        setColumnWidth(c, preferredWidth(c));
    applying_ = false;
}

} // namespace zendrel
