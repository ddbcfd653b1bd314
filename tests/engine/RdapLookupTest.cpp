// RDAP lines through the real HTTP lookup: the status decides, and only a status that a server
// actually sent counts.
#include "engine/LookupOutcome.h"
#include "lookup/ZoneTable.h"
#include "tests/engine/RunHarness.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel::test {
namespace {

const char* const kRdapMethods =
    "0;Registrar;Created\n"
    "8;registrar:;registration:;ldhname:|rdap status: 404|status: server hold\n";

TEST(RdapLookup, OnlyAStatusTheServerSentDecides) {
    ScriptedServer notFound(ScriptedServer::reply("HTTP/1.0 404 Not Found\r\n\r\n"));
    ScriptedServer found(ScriptedServer::reply(
        "HTTP/1.0 200 OK\r\nContent-Type: application/rdap+json\r\n\r\n"
        R"({"ldhName":"X.ORG","status":["active"],"events":[{"eventAction":"registration",)"
        R"("eventDate":"2001-02-03T00:00:00Z"}]})"));
    const std::string closed = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
    // A relocation to a server that is not there: the client's own failure must not become
    // the registry's 404.
    ScriptedServer relocating(
        ScriptedServer::reply("HTTP/1.0 302 Found\r\nLocation: " + closed + "/x\r\n\r\n"));

    RunHarness h({}, kRdapMethods);
    ZoneTable zones;
    ReadZoneTable("a;" + notFound.url("/domain/%s") + ";8;com;rdap\n" + "b;" +
                      found.url("/domain/%s") + ";8;org;rdap\n" + "c;" + closed +
                      "/domain/%s;8;net;rdap\n" + "d;" + relocating.url("/domain/%s") +
                      ";8;info;rdap\n",
                  zones);
    h.session.setZoneTable(std::move(zones));
    h.addRows({"x.com", "x.org", "x.net", "x.info"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());

    auto state = [&](std::size_t row) { return std::string(h.rows.subItem(row, 0)); };
    EXPECT_EQ(state(0), "is available");
    EXPECT_EQ(state(1), "is not available");
    EXPECT_EQ(h.rows.subItem(1, ResultStore::kFirstExtra + 1), "2001-02-03t00:00:00z");
    EXPECT_EQ(state(2), "no data");
    EXPECT_EQ(state(3), "no data");
    ASSERT_EQ(h.events.lookups.size(), 4u);
    std::map<std::size_t, int> status;
    for (const auto& [row, outcome] : h.events.lookups)
        status[row] = outcome.httpStatus;
    EXPECT_EQ(status, (std::map<std::size_t, int>{{0, 404}, {1, 200}, {2, 0}, {3, 302}}));
}

} // namespace
} // namespace zendrel::test
