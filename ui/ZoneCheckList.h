#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace zendrel {

// The zone check list: one checkable entry per zone of the zone table, in file order, laid out
// in three columns that fill top to bottom.
class ZoneCheckList final : public QListWidget {
    Q_OBJECT
public:
    explicit ZoneCheckList(QWidget* parent = nullptr);

    // Replaces the entries; every new entry starts checked.
    void setZones(const std::vector<std::string>& zones);
    // Zone names of the checked entries, in list order.
    std::vector<std::string> checkedZones() const;
    bool isChecked(int row) const;
    void setChecked(int row, bool on);
    void setAllChecked(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateColumns();
};

} // namespace zendrel
