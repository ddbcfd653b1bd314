#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zendrel {

class UpDown;
class ZoneCheckList;

// The right pane of the work area: the four search options and the zone check list.
class OptionsPane final : public QFrame {
    Q_OBJECT
public:
    explicit OptionsPane(QWidget* parent = nullptr);

    // Replaces the check-all square left of the "Domains" title (the pane takes ownership).
    void setZoneCheckAll(QWidget* box);

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
    QWidget* Panel16;
    QLabel* Label1;
    ZoneCheckList* clbDom;

private:
    QWidget* optionBlock();
    QWidget* zoneTitle();
};

} // namespace zendrel
