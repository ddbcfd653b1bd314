// The shipped internet workspace's methods against recorded replies (verdict and columns) and
// against the RDAP answers registries are documented to give where no recording may be shipped.
#include "tests/lookup/InternetWorkspace.h"

#include "platform/Files.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

using Columns = std::vector<std::string>;

const Columns kUntouched = {"", "", "", "", ""};

struct Recorded {
    const char* name;
    const char* file; // under tests/data; *.json files are RDAP bodies with status 200
    const char* state;
    Columns columns;
};

std::string Bytes(const std::string& file) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(std::string(ZENDREL_TEST_DATA) + "/" + file, bytes)) << file;
    return bytes;
}

class RecordedColumns : public ::testing::TestWithParam<Recorded> {
protected:
    static const InternetWorkspace& ws() {
        static const InternetWorkspace tables;
        return tables;
    }
};

TEST_P(RecordedColumns, GiveVerdictAndColumns) {
    const Recorded& c = GetParam();
    InternetWorkspace::Outcome o = ws().read(c.name, Bytes(c.file));
    EXPECT_EQ(o.state, c.state) << c.file;
    EXPECT_EQ(o.columns, c.columns) << c.file;
}

// One registered (or held) reply per server family, read for all five columns.
INSTANTIATE_TEST_SUITE_P(
    ServerFamilies, RecordedColumns,
    ::testing::Values(
        Recorded{"google.com",
                 "rdap/com__registered__google.verisign-2026.json",
                 "is not available",
                 {"markmonitor inc.", "1997-09-15t04:00:00z", "2028-09-14t04:00:00z",
                  "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.com",
                 "rdap/com__registered__google.verisign.json",
                 "is not available",
                 {"markmonitor inc.", "1997-09-15t04:00:00z", "2028-09-14t04:00:00z",
                  "ns1.google.com", "ns2.google.com"}},
        // ZDNS writes names fully qualified, with their final dot.
        Recorded{"bitcoin.top",
                 "rdap/top__registered__bitcoin.zdns.json",
                 "is not available",
                 {"\xe6\x88\x90\xe9\x83\xbd\xe8\xa5\xbf\xe7\xbb\xb4\xe6\x95\xb0\xe7\xa0\x81"
                  "\xe7\xa7\x91\xe6\x8a\x80\xe6\x9c\x89\xe9\x99\x90\xe5\x85\xac\xe5\x8f\xb8",
                  "2014-11-17t16:00:29.0z", "2021-11-17t16:00:29.0z", "ns1.72dns.com.",
                  "ns2.idc1.cn."}},
        Recorded{"lemonde.fr",
                 "rdap/fr__registered__lemonde.afnic.json",
                 "is not available",
                 {"nameshield", "2005-08-02t14:16:36z", "2025-06-09t22:08:09z",
                  "ns-cloud-b4.googledomains.com", "ns-cloud-b2.googledomains.com"}},
        Recorded{"nic.xyz",
                 "rdap/xyz__registered__nic.centralnic.json",
                 "is not available",
                 {"centralnic ltd", "2013-09-11t11:58:06.0z", "2024-09-11t23:59:59.0z", "x.nic.xyz",
                  "y.nic.xyz"}},
        Recorded{"norway.no",
                 "rdap/no__registered__norway.norid.json",
                 "is not available",
                 {"domeneshop as", "2017-01-24t12:09:23z", "", "ns1-09.azure-dns.com",
                  "ns2-09.azure-dns.net"}},
        Recorded{"example.cz",
                 "rdap/cz__registered__example.cznic.json",
                 "is not available",
                 {"reg-internet-cz", "2004-08-30t22:55:00+00:00", "2019-08-30t12:00:00+00:00",
                  "ns2.pipni.cz", "ns3.pipni.cz"}},
        Recorded{"google.de",
                 "whois/de__registered__google.txt",
                 "is not available",
                 {"", "", "", "ns1.google.com", "ns2.google.com"}},
        Recorded{"msens.de",
                 "whois/de__failed__msens.txt",
                 "is not available",
                 {"", "", "", "newreg-ns1.premiumregistrations.com",
                  "newreg-ns2.premiumregistrations.com"}},
        Recorded{"google.us",
                 "whois-2026/us__registered__google.txt",
                 "is not available",
                 {"markmonitor, inc.", "2002-04-19t23:16:01z", "2027-04-18t23:59:59z",
                  "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.io",
                 "whois-2026/io__registered__google.txt",
                 "is not available",
                 {"markmonitor inc.", "2002-10-01t01:00:00z", "2026-09-30t01:00:00z",
                  "ns1.google.com", "ns4.google.com"}},
        Recorded{"x.io", "whois/io__reserved__registry.txt", "hold", kUntouched},
        Recorded{"eurid.eu",
                 "whois-2026/eu__registered__eurid.txt",
                 "is not available",
                 {"eurid vzw", "", "", "ns2.eurid.eu", "ns2.eurid.eu"}},
        Recorded{"google.it",
                 "whois-2026/it__registered__google.txt",
                 "is not available",
                 {"markmonitor international limited", "1999-12-10 00:00:00", "2027-04-21",
                  "ns1.google.com", "ns2.google.com"}},
        Recorded{"concessionari-fiat.it",
                 "whois/it__pendingdelete__concessionari-fiat.txt",
                 "hold",
                 {"seeweb s.r.l.", "2010-02-08 22:30:04", "2011-02-08", "ns1.th.seeweb.it",
                  "ns2.th.seeweb.it"}},
        Recorded{"google.at",
                 "whois-2026/at__registered__google.txt",
                 "is not available",
                 {"markmonitor inc.", "", "", "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.be",
                 "whois/be__registered__google.txt",
                 "is not available",
                 {"markmonitor", "tue dec 12 2000", "", "ns4.google.com", "ns3.google.com"}},
        Recorded{
            "9i.be", "whois/be__quarantine__9i.txt", "hold", {"", "mon dec 22 2003", "", "", ""}},
        Recorded{"ogogle.se",
                 "whois/se__serverhold__ogogle.txt",
                 "hold",
                 {"frobbit ab", "2008-06-14", "2013-06-14", "ns1.binero.se", "ns2.binero.se"}},
        Recorded{
            "google.dk",
            "whois-2026/dk__registered__google.txt",
            "is not available",
            {"markmonitor inc.", "1999-01-10", "2027-03-31", "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.ru",
                 "whois-2026/ru__registered__google.txt",
                 "is not available",
                 {"ru-center-ru", "2004-03-03t21:00:00z", "2027-03-04t21:00:00z", "ns1.google.com.",
                  "ns2.google.com."}},
        Recorded{"google.pt",
                 "whois-2026/pt__registered__google.txt",
                 "is not available",
                 {"", "09/01/2003 00:00:00", "28/02/2027 23:59:00",
                  "ns3.google.com | ipv4:  and ipv6:", "ns4.google.com | ipv4:  and ipv6:"}},
        Recorded{"arbed.lu",
                 "whois-2026/lu__registered__arbed.txt",
                 "is not available",
                 {"nameshield", "", "", "nsa.perf1.fr", "nsb.perf1.com"}},
        Recorded{"google.sk",
                 "whois-2026/sk__registered__google.txt",
                 "is not available",
                 {"mark-0292", "2003-07-24", "2027-07-24", "ns1.google.com", "ns2.google.com"}},
        Recorded{"samanacrafts.ee",
                 "whois/ee__serverhold__samanacrafts.txt",
                 "hold",
                 {"edicy o\xc3\x9c", "2014-11-01 20:38:55 +02:00", "2015-11-01", "ns4.edicy.net",
                  "ns3.edicy.net"}},
        Recorded{
            "google.lt",
            "whois-2026/lt__registered__google.txt",
            "is not available",
            {"markmonitor, inc.", "2018-12-07", "2026-12-08", "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.lv",
                 "whois-2026/lv__registered__google.txt",
                 "is not available",
                 {"markmonitor inc.", "", "", "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.jp",
                 "whois-2026/jp__registered__google.txt",
                 "is not available",
                 {"", "", "", "ns1.google.com", "ns2.google.com"}},
        Recorded{
            "google.kr",
            "whois-2026/kr__registered__google.txt",
            "is not available",
            {"whois corp.", "2007. 03. 02.", "2027. 03. 02.", "ns1.google.com", "ns2.google.com"}},
        Recorded{"google.hk",
                 "whois-2026/hk__registered__google.txt",
                 "is not available",
                 {"markmonitor inc.", "06-04-2004", "31-03-2027", "", ""}},
        Recorded{"google.mx",
                 "whois-2026/mx__registered__google.txt",
                 "is not available",
                 {"markmonitor", "2009-05-12", "2027-05-11", "ns2.google.com", "ns4.google.com"}},
        Recorded{
            "google.co.nz",
            "whois-2026/nz__registered__google.txt",
            "is not available",
            {"markmonitor. inc", "1999-02-16t11:00:00z", "", "ns1.google.com", "ns2.google.com"}},
        Recorded{"zumbafitness.co.nz", "whois/nz__pendingrelease__zumbafitness.txt", "hold",
                 kUntouched},
        Recorded{"google.ro",
                 "whois-2026/ro__registered__google.txt",
                 "is not available",
                 {"markmonitor inc.", "2000-07-17", "", "ns1.google.com", "ns2.google.com"}},
        // Registered in 2026, yet answered with the usual not-found text: never "is available".
        Recorded{"google.ro", "whois-2026/ro__available__google-doubtful.txt", "no data",
                 kUntouched},
        // The AFNIC refusal ends with AFNIC's not-found line and still is a refusal.
        Recorded{"amazingsales.fr", "whois-2026/fr__throttled__toomany.txt", "refused", {}},
        Recorded{"x.com.br", "whois-2026/br__throttled__limited-nomatch.txt", "refused", {}}),
    [](const ::testing::TestParamInfo<Recorded>& info) {
        return CaseNameFromFile(info.param.file);
    });

struct RdapCase {
    const char* what;
    const char* name;
    int status;
    const char* body;
    const char* state;
};

const char* const kPirNotFound =
    R"({"rdapConformance":["rdap_level_0","icann_rdap_response_profile_1"],"errorCode":404,
    "title":"Object not found","description":["Object not found"],"notices":[{"title":
    "Terms of Service","description":["Queries to the RDAP services are throttled. If too many
    queries are received from a single IP address within a specified time, the service will
    begin to reject further queries for a period of time."]}],"lang":"en"})";

// Written after the registries' published descriptions and server code: no openly licensed
// recording of these answers exists.
TEST(InternetWorkspaceRdap, StatusDecidesAndTheTrapsAreCovered) {
    const RdapCase cases[] = {
        {"Verisign 404, empty body", "u34jedzcq.com", 404, "", "is available"},
        {"PIR 404 with a throttling notice", "nx7f3kq9.org", 404, kPirNotFound, "is available"},
        {"Google 404", "nx7f3kq9.app", 404,
         R"({"lang":"en","errorCode":404,"title":"Not Found","description":["nx7f3kq9.app not found"],
            "notices":[{"title":"RDAP Terms of Service","description":["x"]}]})",
         "is available"},
        {"Google 404 for a blocked name", "brand.dev", 404,
         R"({"errorCode":404,"title":"Not Found","notices":[{"title":"Blocked Domain",
            "description":["This name has been blocked by a GlobalBlock service"]}]})",
         "hold"},
        {"CentralNic-style 404 for a reserved name", "jailbreaks.xyz", 404,
         R"({"errorCode":404,"title":"Not Found","description":["Domain Name: jailbreaks.xyz",
            "This name is not available for registration:","Registry Reserved"]})",
         "hold"},
        {"400 for a name that cannot be registered", "test.test.org", 400,
         R"({"errorCode":400,"title":"Bad Request","description":["Invalid domain name"]})",
         "no data"},
        {"quota error inside a 200", "google.com", 200,
         R"j({"title":"401 Unauthorized","description":"Path 'domain': Quota exceeded (31/30)"})j",
         "no data"},
        {"quota error inside a 200 that carries the name", "google.com", 200,
         R"({"ldhName":"GOOGLE.COM","title":"401 Unauthorized","description":"Quota exceeded"})",
         "is not available"},
        {"redemption period", "gone.com", 200,
         R"({"ldhName":"GONE.COM","status":["redemption period"]})", "hold"},
        {"pending delete", "gone.net", 200,
         R"({"ldhName":"GONE.NET","status":["pending delete","server hold"]})", "hold"},
        {"429 without a body", "x.com", 429, "", "no data"},
        {"503 page", "x.com", 503, "<html>Service Unavailable</html>", "no data"},
        {"no status line at all", "x.com", 0, "", "no data"},
        {"a 200 that is not JSON", "x.com", 200, "<html>ok</html>", "no data"},
        {"429 naming the AFNIC refusal", "x.fr", 429, "Too many requests", "refused"},
    };
    InternetWorkspace ws;
    for (const RdapCase& c : cases)
        EXPECT_EQ(ws.read(c.name, c.body, c.status).state, c.state) << c.what;
}

// Recorded replies of RDAP servers the workspace does not ask, a registrar's and a registry
// platform's whose zone it leaves out, read with the method all RDAP lines share: other back
// ends' shapes (lower-case names, "last update" events, dates with milliseconds and an offset,
// no IANA id) give the same verdict and columns.
TEST(InternetWorkspaceRdap, OtherBackEndsReadWithTheSharedRdapMethod) {
    const InternetWorkspace ws;
    const ZoneEntry* rdap = FindZoneEntry(ws.zones, "x.com");
    ASSERT_TRUE(rdap && rdap->options.rdap);
    const struct {
        const char* file;
        Columns columns;
    } cases[] = {
        {"rdap/com__registered__google.markmonitor.json",
         {"markmonitor inc.", "1997-09-15t07:00:00.000+0000", "2028-09-13t07:00:00.000+0000",
          "ns1.google.com", "ns2.google.com"}},
        {"rdap/click__registered__microsoft.uniregistry.json",
         {"markmonitor inc.", "2014-11-12t19:15:55.283z", "2024-11-12t19:15:55.283z",
          "ns4-08.azure-dns.info", "ns2-08.azure-dns.net"}},
    };
    for (const auto& c : cases) {
        InternetWorkspace::Outcome o = ws.readOn(*rdap, Bytes(c.file));
        EXPECT_EQ(o.state, "is not available") << c.file;
        EXPECT_EQ(o.columns, c.columns) << c.file;
    }
}

TEST(InternetWorkspaceRdap, EveryRdapLineUsesTheRegistrysOwnServer) {
    InternetWorkspace ws;
    int rdap = 0;
    for (const ZoneEntry& zone : ws.zones.entries()) {
        EXPECT_TRUE(zone.options.pace && zone.options.conns) << zone.zone;
        if (!zone.options.rdap) {
            EXPECT_TRUE(zone.urlTemplate.starts_with("whois://")) << zone.zone;
            continue;
        }
        ++rdap;
        EXPECT_TRUE(zone.urlTemplate.starts_with("https://")) << zone.zone;
        EXPECT_TRUE(zone.urlTemplate.ends_with("/domain/%s")) << zone.zone;
        for (const char* redirector : {"rdap.org", "rdap.iana.org", "rdap.nic.io", "rdap.nic.co"})
            EXPECT_EQ(zone.urlTemplate.find(std::string("//") + redirector + "/"),
                      std::string::npos)
                << zone.zone;
    }
    EXPECT_GE(rdap, 50);
    EXPECT_TRUE(ws.zones.problems().empty());
    for (const char* left : {"x.es", "x.ch", "x.li"})
        EXPECT_EQ(FindZoneEntry(ws.zones, left), nullptr) << left;
}

} // namespace
} // namespace zendrel::test
