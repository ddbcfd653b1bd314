#include "ui/QtDialogService.h"

#include "ui/BuMyIQ.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace zendrel {

QString QtFileFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split('|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype paren = description.indexOf('(');
        if (paren >= 0)
            description = description.left(paren).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::Icon qtIcon(DialogService::Icon icon) {
    switch (icon) {
    case DialogService::Icon::Information:
        return QMessageBox::Information;
    case DialogService::Icon::Warning:
        return QMessageBox::Warning;
    case DialogService::Icon::Error:
        return QMessageBox::Critical;
    case DialogService::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The dialog starts on `initialName` inside `initialFolder` unless the name is already a path.
QString startPath(const QString& initialName, const QString& initialFolder) {
    if (initialFolder.isEmpty() || QFileInfo(initialName).isAbsolute())
        return initialName;
    return QDir(initialFolder).filePath(initialName);
}

} // namespace

void QtDialogService::showMessage(QWidget* parent, const QString& text, const QString& caption,
                                  Icon icon) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtDialogService::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogService::openFileName(QWidget* parent, const QString& filter,
                                                     const QString& initialName,
                                                     const QString& initialFolder) {
    const QString path = QFileDialog::getOpenFileName(
        parent, QString(), startPath(initialName, initialFolder), QtFileFilter(filter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtDialogService::saveFileName(QWidget* parent, const QString& filter,
                                                     const QString& initialName,
                                                     const QString& initialFolder) {
    // The caller decides about overwriting, as the files it writes are replaced without asking.
    const QString path = QFileDialog::getSaveFileName(
        parent, QString(), startPath(initialName, initialFolder), QtFileFilter(filter), nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

bool QtDialogService::askItem(QWidget* parent, bool newItem, QString& text) {
    return AskItem(parent, newItem, text);
}

void QtDialogService::beep() {
    QApplication::beep();
}

} // namespace zendrel
