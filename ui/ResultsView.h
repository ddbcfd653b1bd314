#pragma once

#include <QTableView>
#include <vector>

namespace zendrel {

class ResultsModel;

// The results list: a report view with grid lines and fixed row heights, never edited and never
// sorted. Fixed heights keep each batch of new rows cheap however long the list grows.
class ResultsView final : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 18;

    explicit ResultsView(QWidget* parent = nullptr);
    // Attaches the model and gives its columns their widths (100, 100, 50, then 100 each).
    void setResultsModel(ResultsModel* model);
    // Width of column `c`: what the user dragged it to, else 100 (50 for "Time").
    int preferredWidth(int c) const;
    void setPreferredWidth(int c, int width);

signals:
    // A click on the header of column `column` ("Domain" is 0).
    void headerClicked(int column);

private:
    // A model reset (a new search empties the list) must not undo the user's column widths.
    void applyColumnWidths();
    std::vector<int> widths_;
    bool applying_ = false;
};

} // namespace zendrel
