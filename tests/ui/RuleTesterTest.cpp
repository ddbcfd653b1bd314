// The rule tester on recorded registry replies, on an edited method table and on replies
// fetched from the local gateway.
#include "ui/RuleTester.h"

#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/TempDir.h"
#include "tests/ui/FakeDialogs.h"
#include "tests/ui/QStringPrinter.h"
#include "ui/QtLoopBridge.h"
#include "ui/UpDown.h"
#include "ui/domain1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

namespace zendrel {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
}

// The window on a workspace, with the tester opened by its shortcut.
class TesterWindow {
public:
    explicit TesterWindow(const std::map<std::string, std::string>& files) {
        for (const auto& [name, bytes] : files)
            ws.write(name, bytes);
        window = std::make_unique<T_FDomain>(loop, dialogs, ws.path());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    RuleTester* open() {
        QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
        RuleTester* t = window->ruleTester();
        EXPECT_TRUE(t && t->isVisible());
        return t;
    }
    template <typename W>
    W* find(const char* name) const {
        W* w = window->ruleTester()->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) const { return find<QLabel>(label)->text(); }
    void chooseMethod(int number) {
        auto* combo = find<QComboBox>("cbMethod");
        const int index = combo->findData(number);
        ASSERT_GE(index, 0) << number;
        combo->setCurrentIndex(index);
    }
    // Caption and value of each extra column as the table shows them.
    std::vector<std::pair<QString, QString>> columns() const {
        auto* table = find<QTableWidget>("tblColumns");
        std::vector<std::pair<QString, QString>> out;
        for (int r = 0; r < table->rowCount(); ++r)
            out.emplace_back(table->item(r, 0)->text(), table->item(r, 1)->text());
        return out;
    }

    test::TempDir ws;
    MessageLoop loop;
    test::FakeDialogs dialogs;
    std::unique_ptr<T_FDomain> window;
};

std::map<std::string, std::string> InternetWorkspace() {
    const std::string folder = std::string(ZENDREL_SAMPLE_DATA) + "internet/";
    return {{"domain.txt", Read(folder + "domain.txt")},
            {"method.txt", Read(folder + "method.txt")}};
}

using Columns = std::vector<std::pair<QString, QString>>;

TEST(RuleTester, ReadsARecordedRdapReplyLoadedFromAFile) {
    TesterWindow w(InternetWorkspace());
    RuleTester* tester = w.open();
    ASSERT_EQ(tester->methodNumber(), 1);
    EXPECT_TRUE(w.find<QComboBox>("cbMethod")->currentText().startsWith("1  (com, net, org"));
    EXPECT_TRUE(w.find<QCheckBox>("cbRdap")->isChecked()) << "method 1 reads the rdap lines";
    w.dialogs.fileAnswers.push_back(
        QString::fromLatin1(ZENDREL_TEST_DATA "/rdap/com__registered__google.verisign.json"));
    QTest::mouseClick(w.find<QToolButton>("sbLoadReply"), Qt::LeftButton);
    ASSERT_EQ(w.dialogs.fileAsks.size(), 1u);

    EXPECT_EQ(w.text("lblVerdict"), "taken");
    EXPECT_EQ(w.text("lblState"), "is not available, the row is not checked");
    EXPECT_EQ(w.text("lblPhrase"), "\"ldhname:\", phrase 1 of the method (a taken phrase)");
    EXPECT_EQ(w.columns(), (Columns{{"registrar", "markmonitor inc."},
                                    {"created", "1997-09-15t04:00:00z"},
                                    {"expires", "2028-09-14t04:00:00z"},
                                    {"name server 1", "ns1.google.com"},
                                    {"name server 2", "ns2.google.com"}}));
    EXPECT_TRUE(w.find<QPlainTextEdit>("edRuleText")
                    ->toPlainText()
                    .startsWith("rdap status: 200\nldhname: GOOGLE.COM\n"));

    // The registry's "no such name" is its status alone.
    w.find<QSpinBox>("seStatus")->setValue(404);
    w.find<QPlainTextEdit>("edReply")->setPlainText(R"({"errorCode":404})");
    EXPECT_EQ(w.text("lblVerdict"), "free");
    EXPECT_EQ(w.text("lblState"), "is available, the row is checked");
    EXPECT_EQ(w.text("lblPhrase"), "\"rdap status: 404\", phrase 2 of the method (a free phrase)");
}

TEST(RuleTester, ReadsRecordedWhoisRepliesPastedForAnotherMethod) {
    TesterWindow w(InternetWorkspace());
    w.open();
    w.chooseMethod(3);
    EXPECT_FALSE(w.find<QCheckBox>("cbRdap")->isChecked()) << "method 3 reads a port-43 line";
    EXPECT_FALSE(w.find<QPlainTextEdit>("edRuleText")->isVisible());
    auto* reply = w.find<QPlainTextEdit>("edReply");
    reply->setPlainText(
        QString::fromLatin1(Read(ZENDREL_TEST_DATA "/whois/us__registered__google.txt")));
    EXPECT_EQ(w.text("lblVerdict"), "taken");
    EXPECT_EQ(w.text("lblPhrase"), "\"domain name:\", phrase 1 of the method (a taken phrase)");
    const Columns columns = w.columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].second, "markmonitor, inc.");
    EXPECT_EQ(columns[3].second, "ns1.google.com");
    EXPECT_EQ(columns[4].second, "ns2.google.com");

    reply->setPlainText(
        QString::fromLatin1(Read(ZENDREL_TEST_DATA "/whois/us__available__u34jedzcq.txt")));
    EXPECT_EQ(w.text("lblVerdict"), "free");
    EXPECT_EQ(w.text("lblPhrase"), "\"not found:\", phrase 5 of the method (a free phrase)");
    EXPECT_EQ(w.columns()[0].second, "") << "free names fill no column";
}

TEST(RuleTester, ReadsTheMethodFileAgainEachTimeItOpens) {
    TesterWindow w({{"domain.txt", "t;http://127.0.0.1:1/w?n=%s;1;com\r\n"},
                    {"method.txt", "0;Registrar\r\n1;Registrar:;Registrar:|No match for|\r\n"}});
    w.open();
    w.find<QPlainTextEdit>("edReply")->setPlainText("Registrar: Acme\nStatus: parked");
    EXPECT_EQ(w.text("lblVerdict"), "taken");

    w.ws.write("method.txt", "0;Owner;Registrar\r\n"
                             "1;;Registrar:;Registrar:|No match for|Status: parked\r\n"
                             "2;;;x|y|\r\n");
    w.open(); // the shortcut again, with the tester open
    EXPECT_EQ(w.text("lblVerdict"), "on hold");
    EXPECT_EQ(w.columns(), (Columns{{"owner", ""}, {"registrar", "acme"}}));
    EXPECT_EQ(w.find<QComboBox>("cbMethod")->count(), 2);
    EXPECT_EQ(w.window->session().methods().extraColumnCount(), 1)
        << "the window keeps the table it started with";

    w.ws.write("method.txt", "0;Registrar\r\n1;Registrar:;No such phrase||\r\n");
    w.window->ruleTester()->close();
    w.open();
    EXPECT_EQ(w.text("lblVerdict"), "no verdict");
    EXPECT_EQ(w.text("lblPhrase"), "nothing: none of the method's phrases occurs in the reply");
}

class TesterFetch : public ::testing::Test {
protected:
    void open(std::vector<std::string> gatewayArgs) {
        gatewayArgs.insert(gatewayArgs.end(), {"--idle-exit-ms", "30000"});
        gateway = std::make_unique<test::GatewayProcess>(kGateway, std::move(gatewayArgs));
        const std::string url =
            "http://127.0.0.1:" + std::to_string(gateway->port()) + "/whois?name=%s";
        w = std::make_unique<TesterWindow>(std::map<std::string, std::string>{
            {"domain.txt", "t;" + url + ";2;com\r\n"},
            {"method.txt", "0;Registrar\r\n1;;x|y|z\r\n"
                           "2;Registrar:;Registrar:|No match for|Status: on hold\r\n"}});
        bridge = std::make_unique<QtLoopBridge>(w->loop, [](const std::string&) {});
        tester = w->open();
    }
    void fetch(const QString& name) {
        auto* field = w->find<QLineEdit>("edName");
        field->clear();
        QTest::keyClicks(field, name);
        QTest::mouseClick(w->find<QToolButton>("sbFetch"), Qt::LeftButton);
    }

    std::unique_ptr<test::GatewayProcess> gateway;
    std::unique_ptr<TesterWindow> w;
    std::unique_ptr<QtLoopBridge> bridge;
    RuleTester* tester = nullptr;
};

TEST_F(TesterFetch, AFetchedReplyIsReadWithItsZoneLinesMethod) {
    open({});
    fetch("shop.com");
    EXPECT_TRUE(tester->fetching()) << "the window goes on while the reply comes";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tester->fetching(); }, 20000));
    EXPECT_EQ(tester->methodNumber(), 2) << "the zone line's method";
    EXPECT_NE(tester->reply().find("Registrar: Harbour Names Ltd"), std::string::npos);
    EXPECT_EQ(w->text("lblVerdict"), "taken");
    EXPECT_EQ(w->columns(), (Columns{{"registrar", "harbour names ltd"}}));
    EXPECT_TRUE(w->text("lblFetch").contains("status 200")) << w->text("lblFetch").toStdString();

    fetch("nosuchzone.example");
    EXPECT_FALSE(tester->fetching());
    EXPECT_TRUE(w->text("lblFetch").startsWith("No line of the zone table"));
}

TEST_F(TesterFetch, TheTimeLimitAndClosingEndASlowFetch) {
    open({"--delay-ms", "8000"});
    w->window->findChild<UpDown*>("udTime")->setPosition(1);
    QElapsedTimer clock;
    clock.start();
    fetch("shop.com");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tester->fetching(); }, 7000));
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_TRUE(w->text("lblFetch").contains("time limit")) << w->text("lblFetch").toStdString();
    EXPECT_EQ(w->text("lblVerdict"), "no verdict");

    fetch("cloud.com");
    ASSERT_TRUE(tester->fetching());
    tester->close();
    EXPECT_FALSE(tester->fetching()) << "closing cancels at once";
    EXPECT_EQ(w->text("lblFetch"), "Fetch cancelled.");
}

} // namespace
} // namespace zendrel
