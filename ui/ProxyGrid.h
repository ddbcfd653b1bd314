#pragma once

#include "engine/RunSettings.h"

#include <QTableWidget>
#include <array>
#include <string>

namespace zendrel {

struct WorkspaceSettings;

// The connection-settings grid: labels in a fixed-looking first column, the user's values typed
// straight into the second. Only value cells can be selected, so only they can be edited. The
// grid's empty header stands for the fixed header row, so its data rows are settings 0 to 8,
// labelled with their keys in the settings file.
class ProxyGrid final : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kSettings = static_cast<int>(std::tuple_size_v<ConnectionSettings>);

    explicit ProxyGrid(QWidget* parent = nullptr);

    // Value of setting `index` (0 "Proxy" … 8 "Proxy Password") exactly as typed.
    QString value(int index) const;
    void setValue(int index, const QString& text);
    // The nine values, trimmed, in label order: what every new lookup connection takes.
    ConnectionSettings settings() const;

    // The grid's keys in the settings file: one per label (the value) and "sgProxy0",
    // "sgProxy1" (the column widths).
    void applySettings(const WorkspaceSettings& s);
    void storeSettings(WorkspaceSettings& s) const;

private:
    void sgProxySelectCell(int row, int column);
};

} // namespace zendrel
