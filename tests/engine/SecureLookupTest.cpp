// https:// lines through the real lookup, TLS included: what an RDAP request looks like on the
// wire, how its replies are framed, and how servers that cannot be trusted, or that break off,
// end the row with "no data", a reason and nothing left open.
#include "engine/LookupOutcome.h"
#include "lookup/ZoneTable.h"
#include "tests/engine/RunHarness.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestTrust.h"
#include "tests/support/TlsServer.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel::test {
namespace {

const char* const kRdapMethods = "0;Registrar;Created\n"
                                 "1;Registrar:;Created:;Registrar:|No match for|on hold\n"
                                 "8;registrar:;registration:;ldhname:|rdap status: 404|xx\n";

std::string State(const RunHarness& h, std::size_t row) {
    return std::string(h.rows.subItem(row, ResultStore::kState));
}

void UseZone(RunHarness& h, const std::string& line) {
    ZoneTable zones;
    ReadZoneTable(line, zones);
    h.session.setZoneTable(std::move(zones));
}

std::string Http11(const std::string& status, const std::string& body, bool chunked = false) {
    std::string head = "HTTP/1.1 " + status + "\r\nContent-Type: application/rdap+json\r\n";
    if (!chunked)
        return head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    std::string out = head + "Transfer-Encoding: chunked\r\n\r\n";
    for (std::size_t at = 0; at < body.size(); at += 7) {
        const std::string piece = body.substr(at, 7);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        out += size;
        out += piece;
        out += "\r\n";
    }
    return out + "0\r\n\r\n";
}

struct Fetched {
    std::string state;
    std::string registrar;
    LookupOutcome outcome;
};

Fetched FetchOne(const std::string& zoneLine, const std::string& name, int seconds = 5) {
    RunHarness h({}, kRdapMethods);
    h.settings.seconds = seconds;
    UseZone(h, zoneLine);
    h.addRows({name});
    h.search();
    EXPECT_TRUE(h.pumpUntilCompleted(3000 + seconds * 1000));
    EXPECT_EQ(h.liveConnections(), 0u);
    Fetched f{State(h, 0), std::string(h.rows.subItem(0, ResultStore::kFirstExtra)), {}};
    if (h.events.lookups.size() == 1)
        f.outcome = h.events.lookups[0].second;
    else
        ADD_FAILURE() << h.events.lookups.size() << " lookups ended";
    return f;
}

TEST(HttpsLookup, RdapRepliesComeOverTlsAsHttp11AndTheStatusDecides) {
    TrustedTestCa();
    const std::string taken = R"({"ldhName":"SHOP.COM","entities":[{"roles":["registrar"],)"
                              R"("vcardArray":["vcard",[["fn",{},"text","Example Registrar"]]]}]})";
    TlsServer found({LoopbackCertificate(), Http11("200 OK", taken, true)});
    TlsServer missing({LoopbackCertificate(), Http11("404 Not Found", R"({"errorCode":404})")});
    const std::string line = ";8;com;rdap\n";
    Fetched a =
        FetchOne("r;https://localhost:" + std::to_string(found.port()) + "/rdap/domain/%s" + line,
                 "shop.com");
    EXPECT_EQ(a.state, "is not available");
    EXPECT_EQ(a.registrar, "example registrar");
    EXPECT_EQ(a.outcome.httpStatus, 200);
    Fetched b =
        FetchOne("r;https://127.0.0.1:" + std::to_string(missing.port()) + "/rdap/domain/%s" + line,
                 "free.com");
    EXPECT_EQ(b.state, "is available");
    EXPECT_EQ(b.outcome.httpStatus, 404);
    // HTTP/1.1 with the port in Host, a close asked for, and RDAP's media types.
    const std::string request = found.request();
    EXPECT_TRUE(request.starts_with("GET /rdap/domain/shop.com HTTP/1.1\r\n")) << request;
    EXPECT_NE(request.find("\r\nHost: localhost:" + std::to_string(found.port()) + "\r\n"),
              std::string::npos);
    EXPECT_NE(request.find("\r\nConnection: close\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nAccept: application/rdap+json, application/json\r\n"),
              std::string::npos);
}

struct HostileTls {
    const char* name;
    TlsServer::Options options;
    LookupFailure failure;
    const char* reason; // part of the reason given
};

// Each server fails in its own way; the row gets "no data" within the time limit, with the
// reason a user would need, and no connection is left.
TEST(HttpsLookup, ServersThatCannotBeTrustedOrBreakOffGiveNoDataAndSayWhy) {
    const CertificateAuthority& ca = TrustedTestCa();
    CertificateRequest other{"other.example", {"other.example"}, {}};
    CertificateRequest expired{"localhost", {"localhost"}, {"127.0.0.1"}, -7200, -3600};
    CertificateRequest loopback{"localhost", {"localhost"}, {"127.0.0.1"}};
    const CertificateAuthority stranger("Some other authority");
    const std::string page =
        "HTTP/1.1 200 OK\r\nContent-Length: 400\r\n\r\nDomain: CUT.COM\r\n" + std::string(200, ' ');
    const HostileTls cases[] = {
        {"another host name", {ca.issue(other), page}, LookupFailure::Tls, "host name"},
        {"expired", {ca.issue(expired), page}, LookupFailure::Tls, "expired"},
        {"self-signed", {SelfSignedCertificate(loopback), page}, LookupFailure::Tls, "self-signed"},
        {"unknown authority",
         {stranger.issue(loopback), page},
         LookupFailure::Tls,
         "unknown issuer"},
        {"TLS 1.0 only",
         {LoopbackCertificate(), page, 0, TlsServer::Ending::CloseNotify, true},
         LookupFailure::Tls,
         "1.2"},
        {"alert in the body",
         {LoopbackCertificate(), page, 60, TlsServer::Ending::AlertMidBody},
         LookupFailure::Tls,
         ""},
        {"garbage in the body",
         {LoopbackCertificate(), page, 60, TlsServer::Ending::GarbageMidBody},
         LookupFailure::Tls,
         ""},
    };
    for (const HostileTls& c : cases) {
        SCOPED_TRACE(c.name);
        TlsServer server(c.options);
        Fetched f = FetchOne("s;https://127.0.0.1:" + std::to_string(server.port()) +
                                 "/whois?name=%s;1;com\n",
                             "cut.com", 2);
        EXPECT_EQ(f.state, "no data");
        EXPECT_EQ(f.outcome.failure, c.failure);
        EXPECT_NE(f.outcome.detail.find(c.reason), std::string::npos) << f.outcome.detail;
        EXPECT_FALSE(f.outcome.detail.empty());
    }
}

TEST(HttpsLookup, PeersThatAreNoTlsServerEndAtOnceOrAtTheTimeLimit) {
    TrustedTestCa();
    // A web server that reads the handshake as a request and answers in plain text.
    ScriptedServer plain({ScriptedServer::pause(50),
                          ScriptedServer::send("HTTP/1.1 400 Bad Request\r\n\r\nRegistrar: X\r\n"),
                          ScriptedServer::close()});
    Fetched p = FetchOne("s;https://127.0.0.1:" + std::to_string(plain.port()) + "/q?%s;1;com\n",
                         "plain.com", 2);
    EXPECT_EQ(p.state, "no data");
    EXPECT_EQ(p.outcome.failure, LookupFailure::Tls);
    EXPECT_EQ(p.outcome.detail, "not a TLS server");
    ScriptedServer stalls({ScriptedServer::hold()});
    Fetched s = FetchOne("s;https://127.0.0.1:" + std::to_string(stalls.port()) + "/q?%s;1;com\n",
                         "stall.com", 2);
    EXPECT_EQ(s.state, "no data");
    EXPECT_EQ(s.outcome.failure, LookupFailure::TimeLimit);
}

TEST(HttpsLookup, AServerThatClosesWithoutCloseNotifyAfterAWholeReplyIsReadNormally) {
    TrustedTestCa();
    const std::string body = "Registrar: Example Co\r\n";
    TlsServer server(
        {LoopbackCertificate(),
         "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body, 0,
         TlsServer::Ending::NoCloseNotify});
    Fetched f =
        FetchOne("s;https://127.0.0.1:" + std::to_string(server.port()) + "/whois?name=%s;1;com\n",
                 "shop.com");
    EXPECT_EQ(f.state, "is not available");
    EXPECT_EQ(f.outcome.failure, LookupFailure::None);
}

} // namespace
} // namespace zendrel::test
