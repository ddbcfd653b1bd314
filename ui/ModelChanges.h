#pragma once

#include <QAbstractItemModel>

namespace zendrel {

// Calls `changed` whenever anything in `model` changes: texts, check marks, rows added, removed
// or replaced. The model's own signals are used, so changes made with the view's signals blocked
// are heard too.
template <typename Changed>
void OnModelChange(QAbstractItemModel* model, QObject* context, Changed changed) {
    QObject::connect(model, &QAbstractItemModel::dataChanged, context, changed);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, context, changed);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, context, changed);
    QObject::connect(model, &QAbstractItemModel::modelReset, context, changed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, context, changed);
}

} // namespace zendrel
