// Program start: names the application, creates the main window on the program's folder and lets
// Qt's event loop drive the message loop until the window closes.
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "ui/DialogService.h"
#include "ui/QtDialogService.h"
#include "ui/QtLoopBridge.h"
#include "ui/domain1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zendrel"));
    QApplication::setApplicationVersion(QStringLiteral("2.10"));

    zendrel::MessageLoop loop;
    zendrel::QtDialogService dialogs;
    zendrel::T_FDomain window(loop, dialogs, zendrel::ProgramFolder());
    zendrel::QtLoopBridge bridge(loop, [&](const std::string& what) {
        dialogs.showMessage(&window, QString::fromLocal8Bit(what), QStringLiteral("Error"),
                            zendrel::DialogService::Icon::Error);
    });
    window.show();
    return QApplication::exec();
}
