#include "ui/WordListFileDialog.h"

#include "ui/DialogService.h"

#include <QFile>
#include <exception>

namespace zendrel {

const QString kWordListFilter = QStringLiteral("Text File (*.txt)|*.txt|All Files (*.*)|*.*");

std::optional<std::string> ChooseWordListFile(DialogService& dialogs, QWidget* parent, bool save,
                                              const std::string& currentPath,
                                              const std::string& folder) {
    QString name = QFile::decodeName(QByteArray::fromStdString(currentPath));
    QString start = QFile::decodeName(QByteArray::fromStdString(folder));
    std::optional<QString> chosen =
        save ? dialogs.saveFileName(parent, kWordListFilter, name, start)
             : dialogs.openFileName(parent, kWordListFilter, name, start);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return QFile::encodeName(*chosen).toStdString();
}

void ShowSaveError(DialogService& dialogs, QWidget* parent, const std::exception& error) {
    dialogs.showMessage(parent, QString::fromLocal8Bit(error.what()), "Error",
                        DialogService::Icon::Error);
}

} // namespace zendrel

namespace zendrel {

void SaveWordListAs(DialogService& dialogs, QWidget* parent, std::string& path,
                    bool& keepUnreadable, const std::string& folder,
                    const std::function<void()>& save, const std::function<void()>& saveSettings) {
    std::optional<std::string> chosen = ChooseWordListFile(dialogs, parent, true, path, folder);
    if (!chosen)
        return;
    const std::string previousPath = path;
    const bool previousKeep = keepUnreadable;
    path = *chosen;
    keepUnreadable = false;
    try {
        save();
    } catch (const std::exception& e) {
        ShowSaveError(dialogs, parent, e);
        path = previousPath;
        keepUnreadable = previousKeep;
        return;
    }
    try {
        if (saveSettings)
            saveSettings();
    } catch (const std::exception& e) {
        ShowSaveError(dialogs, parent, e);
    }
}

} // namespace zendrel
