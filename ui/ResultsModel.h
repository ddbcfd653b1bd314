#pragma once

#include "engine/ResultStore.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>
#include <cstddef>

namespace zendrel {

// The results list as Qt sees it: column 0 is the row's caption with its check mark, then State,
// Time and one column per extra field. Appended rows and changed texts are not announced one by
// one but collected and announced together a few dozen times a second, so a search adding
// millions of rows or writing progress bytes costs the view a handful of layouts a second.
class ResultsModel final : public QAbstractTableModel, private ResultStoreObserver {
    Q_OBJECT
public:
    static constexpr int kFlushMs = 40;

    explicit ResultsModel(ResultStore& store, QObject* parent = nullptr);
    ~ResultsModel() override;

    // Captions of the extra columns after "Domain", "State" and "Time"; sets the store's count.
    void setExtraColumns(const QStringList& captions);
    const QStringList& extraColumns() const { return extra_; }
    ResultStore& store() const { return store_; }
    // Announces everything collected so far now (tests and the end of a run use it).
    void flush();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void rowsAppended(std::size_t first, std::size_t count) override;
    void rowChanged(std::size_t row) override;
    void storeReset() override;
    void armFlush();

    ResultStore& store_;
    QStringList extra_;
    std::size_t shown_ = 0; // rows the view has been told about
    std::size_t dirtyFirst_ = SIZE_MAX;
    std::size_t dirtyLast_ = 0;
    QTimer flushTimer_;
};

} // namespace zendrel
