#pragma once

#include "engine/ResultExport.h"
#include "engine/RunSettings.h"

#include <QFrame>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace zendrel {

class ProxyGrid;
class UpDown;
struct WorkspaceSettings;

// The column right of the results list: resume controls, the export button with its filters,
// "Delete unavailable" and the connection-settings grid.
class ResumeExportPane final : public QFrame {
    Q_OBJECT
public:
    explicit ResumeExportPane(QWidget* parent = nullptr);

    void setResumeEnabled(bool on);
    void setResumeCaption(const QString& caption);
    bool autoResume() const;
    int autoResumeLimit() const;
    bool deleteUnavailable() const;
    // The export boxes as they stand.
    ExportFilter exportFilter() const;
    // The nine connection-settings values, trimmed, in label order.
    ConnectionSettings connectionSettings() const;

    // The pane's keys in the settings file: "Delete", "Available", "NotAvailable", "Hold",
    // "DNOnly", "SaveAll", "AutoResume", "Resume" and the connection-settings grid's.
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

signals:
    void resumeClicked();
    void saveResultsClicked();

private:
    QWidget* resumeBlock();
    QWidget* exportBlock();

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
};

} // namespace zendrel
