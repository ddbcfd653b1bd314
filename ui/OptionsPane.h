#pragma once

#include <QFrame>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zendrel {

class CheckAllBox;
class UpDown;
class ZoneCheckList;
struct WorkspaceSettings;

// The right pane of the work area: the four search options and the zone check list.
class OptionsPane final : public QFrame {
    Q_OBJECT
public:
    explicit OptionsPane(QWidget* parent = nullptr);

    bool useHyphens() const;
    int hyphens() const;
    int timeLimit() const; // seconds
    int linkLimit() const;
    int maxLength() const;
    bool dnsFirst() const;

    // Replaces the zone list with one entry per name, each checked as `checked` says.
    void setZones(const std::vector<std::string>& zones, bool checked);
    void setAllZonesChecked(bool on);
    // The checked zones' names, in list order.
    std::vector<std::string> checkedZones() const;

    // The pane's keys in the settings file: "Hyphens", "CountHyphens", "Dom" (one "+" or "-"
    // per zone), "Links", "TimeOut", "MaxLength", and the DNS check of the [Zendrel] section.
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

    // Calls `changed` on `receiver`'s thread whenever an option that shapes the names of a
    // search changes: hyphens, length limit or zones; until `receiver` goes.
    void watchSearchOptions(QObject* receiver, const std::function<void()>& changed);

private:
    QWidget* optionBlock();
    QWidget* zoneTitle();
    void Image2Click(bool on);

    QCheckBox* cbHyphens;
    QLineEdit* Edit2;
    UpDown* udHyphens;
    QLabel* Label6;
    QLineEdit* Edit21;
    UpDown* udTime;
    QLabel* Label7;
    QLineEdit* Edit3;
    UpDown* udLink;
    QLabel* Label10;
    QLineEdit* eMax;
    UpDown* udMax;
    QCheckBox* cbDnsFirst;
    CheckAllBox* Panel16;
    QLabel* Label1;
    ZoneCheckList* clbDom;
};

} // namespace zendrel
