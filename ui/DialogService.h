#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace zendrel {

// Every modal interaction of the window goes through here, so tests answer dialogs without a
// modal loop ever blocking them. The window program uses the Qt implementation; tests install
// a scripted one.
class DialogService {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~DialogService() = default;

    // A task-modal message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption,
                             Icon icon) = 0;
    // A Yes/No question box; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // File dialogs with a filter in the form "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
    // nullopt when cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                                const QString& initialName,
                                                const QString& initialFolder) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& filter,
                                                const QString& initialName,
                                                const QString& initialFolder) = 0;
    // The input dialog for one word: true and the trimmed word when confirmed.
    virtual bool askItem(QWidget* parent, bool newItem, QString& text) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

} // namespace zendrel
