#include "ui/ResultsModel.h"

#include "engine/ResultStore.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

class ResultsModelTest : public ::testing::Test {
protected:
    ResultStore store;
    ResultsModel model{store};
};

TEST_F(ResultsModelTest, AppendedRowsAreAnnouncedInOneBatch) {
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 500; ++i)
        store.append("name" + std::to_string(i) + ".com");
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(model.rowCount(), 0) << "rows are not visible before they are announced";
    model.flush();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[0][2].toInt(), 499);
    EXPECT_EQ(model.rowCount(), 500);
    EXPECT_EQ(model.index(499, 0).data().toString(), "name499.com");
}

TEST_F(ResultsModelTest, ChangedTextsAreCoalescedAndTheTimerFlushes) {
    for (int i = 0; i < 10; ++i)
        store.append("n.com");
    model.flush();
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int bytes = 0; bytes < 100; ++bytes) {
        store.setSubItem(3, ResultStore::kState, std::to_string(bytes) + " bytes");
        store.setSubItem(7, ResultStore::kTime, std::to_string(bytes));
    }
    EXPECT_EQ(changed.count(), 0);
    ASSERT_TRUE(changed.wait(ResultsModel::kFlushMs * 50));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 7);
    EXPECT_EQ(model.index(3, 1).data().toString(), "99 bytes");
    EXPECT_EQ(model.index(7, 2).data().toString(), "99");
}

TEST_F(ResultsModelTest, ClearingResetsAtOnceSoNoStaleRowIsRead) {
    QTableView view;
    view.setModel(&model);
    for (int i = 0; i < 5; ++i)
        store.append("n.com");
    model.flush();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    store.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    store.append("late.com");
    store.setSubItem(0, ResultStore::kState, "x");
    model.flush();
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ResultsModelTest, CheckingAllRowsRepaintsWithoutLosingTheScrollPosition) {
    QTableView view;
    view.setModel(&model);
    for (int i = 0; i < 200; ++i)
        store.append("n.com");
    model.flush();
    view.scrollTo(model.index(150, 0));
    const int scrolled = view.verticalScrollBar()->value();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    store.setAllChecked(true);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 199);
    EXPECT_EQ(view.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(model.index(199, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST_F(ResultsModelTest, CheckMarksAreTheOnlyUserChangeAndBytesSurviveAsLatin1) {
    model.setExtraColumns({"registrar"});
    store.append("caf\xe9.com");
    model.flush();
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(store.subItemCount(), 4) << "State, Time, one extra and the unfilled one";
    const QModelIndex name = model.index(0, 0);
    EXPECT_EQ(name.data().toString().toLatin1().toStdString(), "caf\xe9.com");
    EXPECT_TRUE(model.flags(name) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(name) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(model.setData(name, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(store.checked(0));
    EXPECT_FALSE(model.setData(model.index(0, 1), "typed", Qt::EditRole));
    EXPECT_EQ(store.subItem(0, ResultStore::kState), "");
}

} // namespace
} // namespace zendrel
