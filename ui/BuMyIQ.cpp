#include "ui/BuMyIQ.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace zendrel {

const QString T_FIQ::kAllowed =
    QStringLiteral("-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

namespace {

bool isControl(QChar c) {
    return c.unicode() <= 31;
}

QToolButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        QStyle::StandardPixmap glyph, int left) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(parent->style()->standardIcon(glyph));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(left, 52, 100, 30);
    return b;
}

} // namespace

T_FIQ::T_FIQ(QWidget* parent, bool newItem, const QString& text) : QDialog(parent) {
    setObjectName("T_FIQ");
    setWindowTitle(QString(newItem ? "New" : "Edit") + " Item");
    setFixedSize(330, 94);
    move(200, 108);

    Label1 = new QLabel("Enter here", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 14, 80, 18);
    eItem = new QLineEdit(text, this);
    eItem->setObjectName("eItem");
    eItem->setGeometry(89, 10, 233, 24);
    eItem->setContextMenuPolicy(Qt::CustomContextMenu);
    eItem->setAcceptDrops(false); // a drop would bypass the filter
    eItem->installEventFilter(this);
    connect(eItem, &QWidget::customContextMenuRequested, this, &T_FIQ::showFieldMenu);

    SpeedButton1 = makeButton(this, "SpeedButton1", "OK", QStyle::SP_DialogOkButton, 89);
    SpeedButton2 = makeButton(this, "SpeedButton2", "Cancel", QStyle::SP_DialogCancelButton, 200);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::accept);
    connect(SpeedButton2, &QToolButton::clicked, this, &QDialog::reject);
    eItem->setFocus();
}

QString T_FIQ::trimmedText() const {
    QString t = eItem->text();
    qsizetype begin = 0, end = t.size();
    while (begin < end && t[begin].unicode() <= 32)
        ++begin;
    while (end > begin && t[end - 1].unicode() <= 32)
        --end;
    return t.mid(begin, end - begin);
}

void T_FIQ::refuse() {
    QApplication::beep();
    emit beeped();
}

bool T_FIQ::eventFilter(QObject* watched, QEvent* event) {
    if (watched != eItem)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return filterKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
        // The selection paste of X11 desktops.
        pasteFiltered(QApplication::clipboard()->text(QClipboard::Selection));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// True when the key is consumed here rather than reaching the field.
bool T_FIQ::filterKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered(QApplication::clipboard()->text());
        return true;
    }
    const QString typed = event->text();
    for (QChar c : typed) {
        if (!isControl(c) && !kAllowed.contains(c)) {
            refuse();
            return true;
        }
    }
    return false;
}

void T_FIQ::pasteFiltered(const QString& text) {
    QString kept;
    for (QChar c : text) {
        if (kAllowed.contains(c))
            kept += c;
    }
    if (kept.size() != text.size())
        refuse();
    if (!kept.isEmpty())
        eItem->insert(kept);
}

// Built here rather than taken from the field, because the stock menu's paste would insert the
// clipboard unfiltered and cannot be told apart reliably from its other entries.
QMenu* T_FIQ::createFieldMenu() {
    auto* menu = new QMenu(eItem);
    const bool editable = !eItem->isReadOnly();
    const bool selected = eItem->hasSelectedText();
    auto add = [&](const char* name, const QString& text, QKeySequence::StandardKey key,
                   bool enabled, auto slot) {
        QAction* a = menu->addAction(text + '\t' + QKeySequence(key).toString(), this, slot);
        a->setObjectName(name);
        a->setEnabled(enabled);
    };
    add("edit-undo", "&Undo", QKeySequence::Undo, eItem->isUndoAvailable(),
        [this] { eItem->undo(); });
    add("edit-redo", "&Redo", QKeySequence::Redo, eItem->isRedoAvailable(),
        [this] { eItem->redo(); });
    menu->addSeparator();
    add("edit-cut", "Cu&t", QKeySequence::Cut, editable && selected, [this] { eItem->cut(); });
    add("edit-copy", "&Copy", QKeySequence::Copy, selected, [this] { eItem->copy(); });
    add("edit-paste", "&Paste", QKeySequence::Paste,
        editable && !QApplication::clipboard()->text().isEmpty(),
        [this] { pasteFiltered(QApplication::clipboard()->text()); });
    add("edit-delete", "Delete", QKeySequence::Delete, editable && selected,
        [this] { eItem->del(); });
    menu->addSeparator();
    add("select-all", "Select All", QKeySequence::SelectAll, !eItem->text().isEmpty(),
        [this] { eItem->selectAll(); });
    return menu;
}

void T_FIQ::showFieldMenu(const QPoint& pos) {
    QMenu* menu = createFieldMenu();
    menu->exec(eItem->mapToGlobal(pos));
    delete menu;
}

void T_FIQ::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape reach the dialog when the field ignores them; neither may close it.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool AskItem(QWidget* parent, bool newItem, QString& text) {
    T_FIQ dialog(parent, newItem, text);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString result = dialog.trimmedText();
    if (result.isEmpty())
        return false;
    text = result;
    return true;
}

} // namespace zendrel
