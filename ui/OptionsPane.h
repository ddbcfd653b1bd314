#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zendrel {

class CheckAllBox;
class UpDown;
class ZoneCheckList;

// The right pane of the work area: the four search options and the zone check list.
class OptionsPane final : public QFrame {
    Q_OBJECT
public:
    explicit OptionsPane(QWidget* parent = nullptr);

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

private:
    QWidget* optionBlock();
    QWidget* zoneTitle();
    void Image2Click(bool on);
};

} // namespace zendrel
