// Starts the window as the program does, waits until the display has painted it and saves a
// picture of the screen area it covers, so the layout can be looked at without a desktop.
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "ui/QtDialogService.h"
#include "ui/QtLoopBridge.h"
#include "ui/domain1.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zendrel"));
    zendrel::MessageLoop loop;
    zendrel::QtDialogService dialogs;
    zendrel::T_FDomain window(loop, dialogs, zendrel::ProgramFolder());
    zendrel::QtLoopBridge bridge(
        loop, [](const std::string& what) { std::fprintf(stderr, "%s\n", what.c_str()); });
    window.move(0, 0);
    window.show();
    const QString out = QString::fromLocal8Bit(argv[1]);
    int status = 1;
    QTimer::singleShot(1500, &window, [&] {
        const QRect frame = window.frameGeometry();
        const QPixmap shot =
            window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        status = shot.save(out) ? 0 : 1;
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
