#include "ui/ResultsModel.h"

#include "ui/Latin1.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace zendrel {

namespace {
constexpr int kFixedColumns = 3; // "Domain", "State", "Time"
} // namespace

ResultsModel::ResultsModel(ResultStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store), shown_(store.size()) {
    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &ResultsModel::flush);
    store_.setObserver(this);
}

ResultsModel::~ResultsModel() {
    store_.setObserver(nullptr);
}

void ResultsModel::setExtraColumns(const QStringList& captions) {
    beginResetModel();
    extra_ = captions;
    store_.setObserver(nullptr);
    store_.setExtraColumnCount(static_cast<int>(captions.size()));
    store_.setObserver(this);
    shown_ = store_.size();
    dirtyFirst_ = SIZE_MAX;
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(shown_, INT_MAX));
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFixedColumns + static_cast<int>(extra_.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= store_.size())
        return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return toQ(store_.caption(row));
        return toQ(store_.subItem(row, index.column() - 1));
    }
    if (role == Qt::CheckStateRole && index.column() == 0)
        return store_.checked(row) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole ||
        row >= store_.size())
        return false;
    // The store tells us about the change; announce it now, as the user is looking at it.
    store_.setChecked(row, value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const fixed[kFixedColumns] = {"Domain", "State", "Time"};
    if (section >= 0 && section < kFixedColumns)
        return QString::fromLatin1(fixed[section]);
    const int extra = section - kFixedColumns;
    return extra >= 0 && extra < extra_.size() ? extra_[extra] : QVariant();
}

void ResultsModel::rowsAppended(std::size_t, std::size_t) {
    armFlush();
}

void ResultsModel::rowChanged(std::size_t row) {
    dirtyFirst_ = std::min(dirtyFirst_, row);
    dirtyLast_ = std::max(dirtyLast_, row);
    armFlush();
}

void ResultsModel::storeReset() {
    if (store_.size() == shown_ && shown_ > 0) {
        // Same number of rows (all check marks set, say): repaint them and keep the user's
        // scroll position and selection, which a reset would throw away.
        dirtyFirst_ = SIZE_MAX;
        dirtyLast_ = 0;
        emit dataChanged(index(0, 0), index(static_cast<int>(shown_ - 1), columnCount() - 1));
        return;
    }
    // Rows may have gone: the view must hear of it before it next reads a row.
    beginResetModel();
    shown_ = store_.size();
    dirtyFirst_ = SIZE_MAX;
    dirtyLast_ = 0;
    endResetModel();
}

void ResultsModel::armFlush() {
    if (!flushTimer_.isActive())
        flushTimer_.start(kFlushMs);
}

void ResultsModel::flush() {
    flushTimer_.stop();
    const std::size_t total = std::min<std::size_t>(store_.size(), INT_MAX);
    if (total > shown_) {
        beginInsertRows({}, static_cast<int>(shown_), static_cast<int>(total - 1));
        shown_ = total;
        endInsertRows();
    }
    if (dirtyFirst_ != SIZE_MAX) {
        const std::size_t last = std::min(dirtyLast_, shown_ == 0 ? 0 : shown_ - 1);
        if (dirtyFirst_ <= last && dirtyFirst_ < shown_)
            emit dataChanged(index(static_cast<int>(dirtyFirst_), 0),
                             index(static_cast<int>(last), columnCount() - 1));
        dirtyFirst_ = SIZE_MAX;
        dirtyLast_ = 0;
    }
}

} // namespace zendrel
