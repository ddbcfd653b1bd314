// "Check DNS first" through the session: a real name server (the simulated internet's) answers
// over loopback, the registries are scripted, time is a manual clock.
#include "engine/SearchSession.h"
#include "engine/UnavailableRows.h"
#include "lookup/ZoneTable.h"
#include "tests/engine/FakeRunSettings.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"
#include "tests/engine/ScriptedServers.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorldProcess.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

class DnsPrecheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("names.txt", "taken.com\nheld.com hold\nbroken.com registered servfail\n"
                               "mailonly.com registered nodata\nquiet.com registered silent\n"
                               "taken.net\ndnsonly.org\n");
        dir.write("world.conf", "[dns]\nnames = names.txt\n");
        world = std::make_unique<WorldProcess>(ZENDREL_BINARY_DIR "/tools/zendrel-world",
                                               dir.file("world.conf"));
        settings.nameServers = "127.0.0.1:" + std::to_string(world->port("dns"));
        ZoneTable zones;
        ReadZoneTable("reg;whois://whois.reg.test/%s;1;com;pace=100/s;conns=5\n"
                      "nod;whois://whois.reg.test/%s;1;net;nodns\n"
                      "gw;http://gw.test/q?n=%s;1;org\n",
                      zones);
        session.setZoneTable(std::move(zones));
        MethodTable methods;
        ReadMethodTable("0;Registrar\n1;Registrar:;Registrar:|No match|on hold\n", methods);
        session.setMethodTable(std::move(methods));
        session.addListener(events);
        session.setLookupFactory([this](const LookupContext& c, LookupRequest r) {
            return std::make_unique<ServerLookup>(c, std::move(r), servers);
        });
        for (const char* host : {"whois.reg.test", "gw.test"})
            servers.answer[host] = [](int, const std::string&) { return Answer{"Registrar: R\n"}; };
    }

    // Looks the rows up, letting the name server's real answers in between manual-clock steps.
    void lookUp(const std::vector<std::string>& captions) {
        for (const std::string& c : captions)
            session.rows().append(c);
        session.lookUpRows();
        for (long t = 0; t < 600000 && events.finished.empty(); t += 10) {
            loop.runUntil([] { return false; }, 1);
            loop.advance(10);
        }
        ASSERT_EQ(events.finished.size(), 1u);
    }
    std::set<std::string> askedRegistries() {
        std::set<std::string> names;
        for (const auto& [host, starts] : servers.starts)
            for (const auto& s : starts)
                names.insert(s.second);
        return names;
    }
    std::string text(std::size_t row, int item) const {
        return std::string(session.rows().subItem(row, item));
    }

    TempDir dir;
    std::unique_ptr<WorldProcess> world;
    ManualClock clock;
    MessageLoop loop{clock};
    FakeSearchWindow window;
    FakeRunSettings settings;
    RecordingListener events;
    ScriptedServers servers;
    SearchSession session{loop, window, settings};
};

TEST_F(DnsPrecheckTest, OnlyNameServersInTheAnswerRuleANameOut) {
    settings.dns = true;
    lookUp({"taken.com", "held.com", "broken.com", "mailonly.com", "quiet.com", "free.com",
            "taken.net", "dnsonly.org"});
    for (std::size_t row : {0u, 7u}) { // a four-field line's row is checked too
        EXPECT_EQ(text(row, ResultStore::kState), "is not available") << row;
        EXPECT_EQ(text(row, ResultStore::kTime), "dns") << row;
        EXPECT_FALSE(session.rows().checked(row)) << row;
        EXPECT_TRUE(IsUnavailableRow(session.rows(), row)) << row; // "Delete unavailable" too
    }
    // No such name, no NS records, a failing server, no answer at all: the registry decides.
    // So it does for a zone marked nodns, whatever DNS would say.
    EXPECT_EQ(askedRegistries(), (std::set<std::string>{"held.com", "broken.com", "mailonly.com",
                                                        "quiet.com", "free.com", "taken.net"}));
    for (std::size_t row = 1; row < 7; ++row) {
        EXPECT_EQ(text(row, ResultStore::kState), "is not available") << row;
        EXPECT_EQ(text(row, ResultStore::kTime), "~") << row;
    }
    EXPECT_EQ(world->stop()["dns.delegated"], 2);
}

TEST_F(DnsPrecheckTest, WithoutTheOptionNoNameServerIsAsked) {
    lookUp({"taken.com", "free.com"});
    EXPECT_EQ(askedRegistries(), (std::set<std::string>{"taken.com", "free.com"}));
    EXPECT_EQ(world->stop()["dns.queries"], 0);
}

TEST_F(DnsPrecheckTest, AnUnusableServerListLeavesEveryRowToItsRegistry) {
    settings.dns = true;
    settings.nameServers = "not a server list";
    lookUp({"taken.com", "free.com"});
    EXPECT_EQ(askedRegistries(), (std::set<std::string>{"taken.com", "free.com"}));
}

} // namespace
} // namespace zendrel::test
