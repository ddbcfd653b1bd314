#pragma once

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace zendrel {

class ProxyGrid;
class UpDown;

// The column right of the results list: resume controls, the export button with its filters,
// "Delete unavailable" and the connection-settings grid.
class ResumeExportPane final : public QFrame {
    Q_OBJECT
public:
    explicit ResumeExportPane(QWidget* parent = nullptr);

    QToolButton* sbResume;
    QCheckBox* cbResume;
    QLineEdit* eAR;
    UpDown* udAR;
    QToolButton* SpeedButton10;
    QCheckBox* cbFree;
    QCheckBox* cbHold;
    QCheckBox* cbNot;
    QCheckBox* cbDNO;
    QCheckBox* cbAll;
    QCheckBox* cbDel;
    ProxyGrid* sgProxy;

private:
    QWidget* resumeBlock();
    QWidget* exportBlock();
};

} // namespace zendrel
