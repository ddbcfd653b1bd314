#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "ui/QtLoopBridge.h"
#include "ui/ResultsModel.h"
#include "ui/ZoneCheckList.h"
#include "ui/domain1.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zendrel {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

// The window as the program runs it: Qt's event loop drives the real message loop through the
// bridge, and lookups go over loopback to the local gateway.
TEST(WindowSearchEndToEnd, SearchLooksUpEveryRowThroughTheQtEventLoop) {
    test::GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    test::TempDir ws;
    const std::string url = "http://127.0.0.1:" + std::to_string(gateway.port()) + "/whois?name=%s";
    ws.write("domain.txt", "test;" + url + ";1;com\r\n");
    ws.write("method.txt", "0;Registrar;Created;Server 1;Server 2\r\n"
                           "1;Registrar:;Created:;{2~Name Server:;Name Server:;};"
                           "Registrar:|No match for|Status: on hold\r\n");
    ws.write("default.txt", "shop\r\nzzfree\r\n");

    MessageLoop loop;
    test::FakeDialogs dialogs;
    T_FDomain window(loop, dialogs, ws.path());
    std::vector<std::string> failures;
    QtLoopBridge bridge(loop, [&](const std::string& what) { failures.push_back(what); });
    window.findChild<ZoneCheckList*>("clbDom")->setChecked(0, true);
    QTest::mouseClick(window.findChild<QToolButton*>("sbSearch"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }, 20000));
    EXPECT_EQ(dialogs.messages[0].text, "Search is completed");
    EXPECT_TRUE(failures.empty());

    QAbstractItemModel* model = window.resultsModel();
    window.resultsModel()->flush();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(0, 1).data().toString(), "is not available");
    EXPECT_EQ(model->index(0, 3).data().toString(), "harbour names ltd");
    EXPECT_EQ(model->index(1, 1).data().toString(), "is available");
    EXPECT_EQ(model->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(window.findChild<QToolButton*>("sbSearch")->isEnabled());
}

} // namespace
} // namespace zendrel
