#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace zendrel {

// The small modal dialog that asks for one word. Typing is limited to the characters a
// domain-name label can hold; Enter and Escape do not close it, only its two buttons and the
// title-bar close (which counts as Cancel) do.
class T_FIQ : public QDialog {
    Q_OBJECT
public:
    // The characters that may be typed or pasted into the field.
    static const QString kAllowed;

    // `newItem` chooses the caption "New Item" or "Edit Item"; the field starts with `text`.
    T_FIQ(QWidget* parent, bool newItem, const QString& text);

    // The field's text with blanks and control characters removed from both ends.
    QString trimmedText() const;
    // The field's context menu, whose paste is filtered like typing; the caller owns it.
    QMenu* createFieldMenu();

signals:
    // A typed or pasted character was refused (the default beep has sounded).
    void beeped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool filterKey(QKeyEvent* event);
    void pasteFiltered(const QString& text);
    void showFieldMenu(const QPoint& pos);
    void refuse();

    QLabel* Label1;
    QLineEdit* eItem;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
};

// Asks for a word: true when the user pressed "OK" with a field that is not blank, and then
// `text` holds the trimmed field; otherwise false with `text` unchanged.
bool AskItem(QWidget* parent, bool newItem, QString& text);

} // namespace zendrel
