// zendrel [FOLDER]: names the application, creates the main window on the workspace folder and
// lets Qt's event loop drive the message loop until the window closes. Without a folder the
// workspace is the program's folder in a build, or the user's copy of the shipped one when
// installed.
#include "platform/MessageLoop.h"
#include "platform/WorkspaceFolder.h"
#include "ui/DialogService.h"
#include "ui/QtDialogService.h"
#include "ui/QtLoopBridge.h"
#include "ui/domain1.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zendrel"));
    QApplication::setApplicationVersion(QStringLiteral("2.10"));

    // Qt has taken its own options out of the arguments by now.
    const QStringList args = QApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && (args[1] == "-h" || args[1] == "--help"))) {
        std::fprintf(stderr, "usage: zendrel [FOLDER]\n");
        return 2;
    }
    std::string problem;
    std::string folder =
        args.size() == 2
            ? std::string()
            : zendrel::OpenDefaultWorkspace(zendrel::CurrentWorkspacePlaces(), problem);
    if (args.size() == 2) {
        if (!QFileInfo(args[1]).isDir()) {
            std::fprintf(stderr, "zendrel: the workspace folder '%s' does not exist\n",
                         args[1].toLocal8Bit().constData());
            return 2;
        }
        folder = QFile::encodeName(args[1]).toStdString();
        if (!folder.ends_with('/'))
            folder += '/';
    }

    zendrel::MessageLoop loop;
    zendrel::QtDialogService dialogs;
    zendrel::T_FDomain window(loop, dialogs, folder);
    zendrel::QtLoopBridge bridge(loop, [&](const std::string& what) {
        dialogs.showMessage(&window, QString::fromLocal8Bit(what), QStringLiteral("Error"),
                            zendrel::DialogService::Icon::Error);
    });
    window.show();
    if (!problem.empty())
        dialogs.showMessage(&window,
                            QStringLiteral("Your workspace folder could not be made (%1). The "
                                           "shipped workspace is open; changes to it cannot be "
                                           "saved.")
                                .arg(QString::fromLocal8Bit(problem)),
                            QStringLiteral("Zendrel"), zendrel::DialogService::Icon::Warning);
    return QApplication::exec();
}
