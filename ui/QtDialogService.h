#pragma once

#include "ui/DialogService.h"

namespace zendrel {

// Converts a filter of the form "Text File (*.txt)|*.txt|All Files (*.*)|*.*" (description and
// pattern pairs joined by '|') into Qt's ";;"-separated form, keeping each description and
// replacing its patterns with the pair's pattern list.
QString QtFileFilter(const QString& pipeFilter);

// The real dialogs of the window program.
class QtDialogService final : public DialogService {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& caption,
                     Icon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                        const QString& initialName,
                                        const QString& initialFolder) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& filter,
                                        const QString& initialName,
                                        const QString& initialFolder) override;
    bool askItem(QWidget* parent, bool newItem, QString& text) override;
    void beep() override;
};

} // namespace zendrel
