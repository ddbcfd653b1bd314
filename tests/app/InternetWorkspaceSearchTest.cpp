// zendrel-search on a copy of the shipped internet workspace whose addresses point at local
// registries that replay recorded replies: the shipped zone lines (path or query form, method and
// options kept) and methods give the right verdicts and columns end to end, over TLS for the
// RDAP lines and on a port-43 connection for the whois lines.
#include "platform/Files.h"
#include "tests/support/ReplayServer.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zendrel::test {
namespace {

using Columns = std::vector<std::string>;

const std::string kSearch = ZENDREL_BINARY_DIR "/app/zendrel-search";
const std::string kInternet = ZENDREL_INTERNET_DATA;
const Columns kNone = {"", "", "", "", ""};

std::string Recorded(const std::string& file) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(std::string(ZENDREL_TEST_DATA) + "/" + file, bytes)) << file;
    return bytes;
}

std::string Http(int status, const std::string& body, const std::string& headers = "") {
    const char* reason = status == 200   ? "OK"
                         : status == 404 ? "Not Found"
                         : status == 429 ? "Too Many Requests"
                                         : "Internal Server Error";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: application/rdap+json\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

// A recorded RDAP body, served as the registry served it.
std::string RdapRecorded(const std::string& file) {
    return Http(200, Recorded("rdap/" + file));
}

// How the zone's server answers a name: `first` the first time, `later` (when given) every time
// after, as a registry that refused a client answers it once the client has waited.
struct Reply {
    std::string first;
    std::string later = {};
};

struct Case {
    const char* name;
    Reply reply;
    const char* state;
    Columns columns;
    int asked = 1; // how often the search must ask for the name
};

// RDAP answers for names that are not registered, blocked, reserved or refused: no openly
// licensed recording of them exists, so these are made up after the registries' answers as
// registries.md describes them (status, title, description and notices as documented there).
const std::string kVerisignNotFound = Http(404, "");
const std::string kPirNotFound = Http(
    404, R"({"rdapConformance":["rdap_level_0","icann_rdap_response_profile_1",)"
         R"("icann_rdap_technical_implementation_guide_1"],"errorCode":404,)"
         R"("title":"Object not found","description":["Object not found"],)"
         R"("notices":[{"title":"Terms of Service","description":["Queries to the RDAP )"
         R"(services are throttled. If too many queries are received from a single IP address )"
         R"(within a specified time, the service will begin to reject further queries for a )"
         R"(period of time."]}],"lang":"en"})");
const std::string kCentralNicNotFound =
    Http(404, R"({"errorCode":404,"title":"Object not found","description":["Object not found"],)"
              R"("notices":[{"title":"Status Codes","description":["For more information on )"
              R"(domain status codes, please visit https://icann.org/epp"]},{"title":"Terms of )"
              R"(Use","description":["Access to the Whois and RDAP services is rate limited."]},)"
              R"({"title":"RDDS Inaccuracy Complaint Form","description":["URL of the ICANN )"
              R"(RDDS Inaccuracy Complaint Form: https://icann.org/wicf"]}]})");
const std::string kCentralNicReserved =
    Http(404, R"({"errorCode":404,"title":"Not Found","description":["Domain Name: )"
              R"(jailbreaks.xyz","This name is not available for registration:",)"
              R"("Registry Reserved"]})");
const std::string kGoogleNotFound =
    Http(404, R"({"lang":"en","errorCode":404,"title":"Not Found","description":)"
              R"(["u34jedzcq.dev not found"],"rdapConformance":["rdap_level_0"],"notices":)"
              R"([{"title":"RDAP Terms of Service","description":["By querying our Domain )"
              R"(Database, you are agreeing to comply with these terms."]}]})");
const std::string kGoogleBlocked =
    Http(404, R"({"lang":"en","errorCode":404,"title":"Not Found","notices":[{"title":)"
              R"("Blocked Domain","description":["This name has been blocked by a GlobalBlock )"
              R"(service"]}]})");
// A rate limit that names no wait beyond the next second: the search asks until it gives up.
const std::string kQuota =
    Http(429, R"({"errorCode":429,"title":"Too Many Requests"})", "Retry-After: 0\r\n");
// AFNIC's recorded port-43 refusal ends with its not-found line; served with a 404 it says
// "not found" twice over, and is still a refusal.
const std::string kAfnicRefusal = Http(404, Recorded("whois-2026/fr__throttled__toomany.txt"));

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        // RDAP over TLS.
        {"google.com",
         {RdapRecorded("com__registered__google.verisign-2026.json")},
         "is not available",
         {"markmonitor inc.", "1997-09-15t04:00:00z", "2028-09-14t04:00:00z", "ns1.google.com",
          "ns2.google.com"}},
        {"u34jedzcq.com", {kVerisignNotFound}, "is available", kNone},
        {"u34jedzcq.org", {kPirNotFound}, "is available", kNone},
        {"lemonde.fr",
         {kAfnicRefusal, RdapRecorded("fr__registered__lemonde.afnic.json")},
         "is not available",
         {"nameshield", "2005-08-02t14:16:36z", "2025-06-09t22:08:09z",
          "ns-cloud-b4.googledomains.com", "ns-cloud-b2.googledomains.com"},
         2},
        {"nic.xyz",
         {RdapRecorded("xyz__registered__nic.centralnic.json")},
         "is not available",
         {"centralnic ltd", "2013-09-11t11:58:06.0z", "2024-09-11t23:59:59.0z", "x.nic.xyz",
          "y.nic.xyz"}},
        {"jailbreaks.xyz", {kCentralNicReserved}, "hold", kNone},
        {"u34jedzcq.xyz", {kCentralNicNotFound}, "is available", kNone},
        {"u34jedzcq.art", {kQuota}, "no data", kNone, 5},
        {"brand.dev", {kGoogleBlocked}, "hold", kNone},
        {"u34jedzcq.dev", {kGoogleNotFound}, "is available", kNone},
        {"norway.no",
         {RdapRecorded("no__registered__norway.norid.json")},
         "is not available",
         {"domeneshop as", "2017-01-24t12:09:23z", "", "ns1-09.azure-dns.com",
          "ns2-09.azure-dns.net"}},
        {"example.cz",
         {RdapRecorded("cz__registered__example.cznic.json")},
         "is not available",
         {"reg-internet-cz", "2004-08-30t22:55:00+00:00", "2019-08-30t12:00:00+00:00",
          "ns2.pipni.cz", "ns3.pipni.cz"}},
        {"bitcoin.top",
         {RdapRecorded("top__registered__bitcoin.zdns.json")},
         "is not available",
         {"\xe6\x88\x90\xe9\x83\xbd\xe8\xa5\xbf\xe7\xbb\xb4\xe6\x95\xb0\xe7\xa0\x81\xe7\xa7\x91"
          "\xe6\x8a\x80\xe6\x9c\x89\xe9\x99\x90\xe5\x85\xac\xe5\x8f\xb8",
          "2014-11-17t16:00:29.0z", "2021-11-17t16:00:29.0z", "ns1.72dns.com.", "ns2.idc1.cn."}},
        // Port 43.
        {"google.de",
         {Recorded("whois/de__registered__google.txt")},
         "is not available",
         {"", "", "", "ns1.google.com", "ns2.google.com"}},
        {"u34jedzcq.de", {Recorded("whois/de__available__u34jedzcq.txt")}, "is available", kNone},
        {"msens.de",
         {Recorded("whois/de__throttled__denic.txt"), Recorded("whois/de__failed__msens.txt")},
         "is not available",
         {"", "", "", "newreg-ns1.premiumregistrations.com", "newreg-ns2.premiumregistrations.com"},
         2},
        {"google.us",
         {Recorded("whois-2026/us__registered__google.txt")},
         "is not available",
         {"markmonitor, inc.", "2002-04-19t23:16:01z", "2027-04-18t23:59:59z", "ns1.google.com",
          "ns2.google.com"}},
        {"u34jedzcq.us",
         {Recorded("whois-2026/us__available__u34jedzcq.txt")},
         "is available",
         kNone},
        {"google.io",
         {Recorded("whois-2026/io__registered__google.txt")},
         "is not available",
         {"markmonitor inc.", "2002-10-01t01:00:00z", "2026-09-30t01:00:00z", "ns1.google.com",
          "ns4.google.com"}},
        {"u34jedzcq.io",
         {Recorded("whois-2026/io__available__u34jedzcq.txt")},
         "is available",
         kNone},
        {"registry.io", {Recorded("whois/io__reserved__registry.txt")}, "hold", kNone},
        {"google.se",
         {Recorded("whois-2026/se__registered__google.txt")},
         "is not available",
         {"markmonitor inc", "2003-08-27", "2026-10-20", "ns1.google.com", "ns2.google.com"}},
        {"u34jedzcq.se",
         {Recorded("whois-2026/se__available__u34jedzcq.txt")},
         "is available",
         kNone},
        {"ogogle.se",
         {Recorded("whois/se__serverhold__ogogle.txt")},
         "hold",
         {"frobbit ab", "2008-06-14", "2013-06-14", "ns1.binero.se", "ns2.binero.se"}},
        {"google.jp",
         {Recorded("whois-2026/jp__registered__google.txt")},
         "is not available",
         {"", "", "", "ns1.google.com", "ns2.google.com"}},
        {"veganwiz.jp",
         {Recorded("whois-2026/jp__available__veganwiz.txt")},
         "is available",
         kNone},
        // whois.rotld.ro also gave its not-found answer for a registered name.
        {"google.ro", {Recorded("whois-2026/ro__available__google-doubtful.txt")}, "no data", kNone},
    };
    return cases;
}

std::string ZoneOf(const std::string& name) {
    return name.substr(name.find('.') + 1);
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> f;
    for (std::size_t p = 0, e;; p = e + 1) {
        e = line.find(';', p);
        f.push_back(line.substr(p, e == std::string::npos ? e : e - p));
        if (e == std::string::npos)
            return f;
    }
}

// `address` with its scheme's host (and port, if any) replaced by `hostPort`.
std::string Readdressed(const std::string& address, const std::string& hostPort) {
    const std::size_t host = address.find("://") + 3;
    return address.substr(0, host) + hostPort + address.substr(address.find('/', host));
}

// `templ` with the name in place of %s, as the search fills it in.
std::string Filled(const std::string& templ, const std::string& name) {
    const std::size_t at = templ.find("%s");
    return templ.substr(0, at) + name + templ.substr(at + 2);
}

// One zone under test: its shipped line, the local registry that replays its cases, and the
// first line of the request each of its names must arrive as.
struct Zone {
    std::vector<std::string> fields;
    std::vector<const Case*> cases;
    std::vector<std::string> expected; // request first lines, one per case
    std::unique_ptr<ReplayServer> server;
    std::string hostPort;

    bool rdap() const { return fields[1].starts_with("https://"); }

    // The request's first line for `name`: the HTTP request line or the port-43 query.
    std::string requestLine(const std::string& name) const {
        const std::size_t host = fields[1].find("://") + 3;
        const std::string rest = Filled(fields[1].substr(fields[1].find('/', host)), name);
        return rdap() ? "GET " + rest + " HTTP/1.1\r" : rest.substr(1) + "\r";
    }

    std::string answer(const std::string& request, int repeat) const {
        const std::string first = request.substr(0, request.find('\n'));
        for (std::size_t i = 0; i < cases.size(); ++i) {
            if (expected[i] != first)
                continue;
            const Reply& r = cases[i]->reply;
            return repeat == 0 || r.later.empty() ? r.first : r.later;
        }
        ADD_FAILURE() << "unexpected request: " << first;
        return rdap() ? Http(500, "") : "";
    }
};

class InternetWorkspaceSearch : public ::testing::Test {
protected:
    void SetUp() override {
        // The servers' certificate comes from a CA of this test, the only one the search trusts.
        trust_.write("ca.pem", ca_.certificatePem());
        mkdir(trust_.file("certs").c_str(), 0755);
        CertificateRequest r;
        r.commonName = "localhost";
        r.dnsNames = {"localhost"};
        r.ipAddresses = {"127.0.0.1"};
        identity_ = ca_.issue(r);
        std::filesystem::copy(kInternet, ws_.path());
        for (const Case& c : Cases())
            zones_[ZoneOf(c.name)].cases.push_back(&c);
    }

    // Rewrites the copy's zone table: the lines of the zones under test, each pointed at a
    // server of its own (the pace is per server, so zones are asked side by side); the others
    // are left out, so nothing can reach a real registry.
    void readdress() {
        std::string table;
        for (const std::string& line : SplitLines(ws_.read("domain.txt"))) {
            std::vector<std::string> f = Fields(line);
            if (f.size() < 4) {
                table += line + "\r\n";
                continue;
            }
            auto it = zones_.find(f[3]);
            if (it == zones_.end())
                continue;
            Zone& z = it->second;
            z.fields = f;
            for (const Case* c : z.cases)
                z.expected.push_back(z.requestLine(c->name));
            auto answer = [&z](const std::string& request, int repeat) {
                return z.answer(request, repeat);
            };
            z.server = z.rdap() ? std::make_unique<ReplayServer>(identity_, answer)
                                : std::make_unique<ReplayServer>(answer);
            // A host name on one line: the certificate is checked against a name, not only
            // against an address.
            z.hostPort =
                (f[3] == "cz" ? "localhost:" : "127.0.0.1:") + std::to_string(z.server->port());
            f[1] = Readdressed(f[1], z.hostPort);
            std::string out = f[0];
            for (std::size_t i = 1; i < f.size(); ++i)
                out += ";" + f[i];
            table += out + "\r\n";
        }
        ws_.write("domain.txt", table);
        for (const auto& [zone, z] : zones_)
            ASSERT_TRUE(z.server) << "no shipped line for " << zone;
    }

    // Searches every zone in a zendrel-search of its own, all at once, for its names.
    void search() {
        std::string script;
        for (const auto& [zone, z] : zones_) {
            std::string words;
            for (const Case* c : z.cases) {
                // Appended piece by piece: GCC 12 misreads a concatenation here at -O3.
                if (!words.empty())
                    words += ',';
                const std::string name(c->name);
                words += name.substr(0, name.find('.'));
            }
            script += "(SSL_CERT_FILE='" + trust_.file("ca.pem") + "' SSL_CERT_DIR='" +
                      trust_.file("certs") + "' timeout 60 '" + kSearch + "' --zones " + zone +
                      " --words " + words + " --format json '" + ws_.path() + "' >'" +
                      out_.file(zone + ".out") + "' 2>'" + out_.file(zone + ".err") +
                      "'; echo $? >'" + out_.file(zone + ".rc") + "') &\n";
        }
        script += "wait\n";
        out_.write("run.sh", script);
        ASSERT_EQ(std::system(("bash '" + out_.file("run.sh") + "'").c_str()), 0);
    }

    CertificateAuthority ca_{"Zendrel replay CA"};
    PemPair identity_;
    TempDir trust_, ws_, out_;
    std::map<std::string, Zone> zones_;
};

TEST_F(InternetWorkspaceSearch, RecordedRepliesGiveTheirVerdictsThroughTheRealTransports) {
    ASSERT_NO_FATAL_FAILURE(readdress());
    ASSERT_NO_FATAL_FAILURE(search());
    for (const auto& [zone, z] : zones_) {
        EXPECT_EQ(out_.read(zone + ".rc"), "0\n") << zone << ": " << out_.read(zone + ".err");
        std::map<std::string, nlohmann::json> rows;
        for (const std::string& line : SplitLines(out_.read(zone + ".out"))) {
            nlohmann::json row = nlohmann::json::parse(line, nullptr, false);
            rows[row.value("name", "")] = row;
        }
        EXPECT_EQ(rows.size(), z.cases.size()) << zone << ": " << out_.read(zone + ".out");
        for (const Case* c : z.cases) {
            const nlohmann::json& row = rows[c->name];
            if (!row.is_object()) {
                ADD_FAILURE() << c->name << " has no row";
                continue;
            }
            EXPECT_EQ(row.value("state", ""), c->state) << c->name;
            Columns columns;
            for (const char* caption :
                 {"registrar", "created", "expires", "name server 1", "name server 2"})
                columns.push_back(row["columns"].value(caption, "(none)"));
            EXPECT_EQ(columns, c->columns) << c->name;
        }

        // Each name was asked as often as its replies demand, at the shipped path or in the
        // shipped query form; RDAP requests name the local server and accept RDAP's types.
        std::map<std::string, int> asked;
        int total = 0;
        for (const Case* c : z.cases)
            total += c->asked;
        EXPECT_EQ(z.server->requests().size(), static_cast<std::size_t>(total)) << zone;
        for (const std::string& request : z.server->requests()) {
            ++asked[request.substr(0, request.find('\n'))];
            if (z.rdap()) {
                EXPECT_NE(request.find("\r\nHost: " + z.hostPort + "\r\n"), std::string::npos)
                    << request;
                EXPECT_NE(request.find("\r\nAccept: application/rdap+json, application/json\r\n"),
                          std::string::npos)
                    << request;
            }
        }
        for (std::size_t i = 0; i < z.cases.size(); ++i)
            EXPECT_EQ(asked[z.expected[i]], z.cases[i]->asked) << z.cases[i]->name;
    }
}

} // namespace
} // namespace zendrel::test
