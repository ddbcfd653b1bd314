#include "lookup/RdapReplyText.h"

#include "platform/Files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

const std::string kRdap = std::string(ZENDREL_TEST_DATA) + "/rdap/";

std::string Recorded(const std::string& file) {
    std::string body;
    EXPECT_TRUE(ReadFileBytes(kRdap + file, body)) << file;
    return body;
}

std::vector<std::string> Lines(const std::string& text) {
    return SplitLines(text);
}

bool HasLine(const std::string& text, const std::string& line) {
    for (const std::string& l : Lines(text))
        if (l == line)
            return true;
    return false;
}

TEST(RdapReplyText, VerisignReplyBecomesOneLinePerFact) {
    std::string text = RdapReplyText(200, Recorded("com__registered__google.verisign.json"));
    std::vector<std::string> lines = Lines(text);
    const std::vector<std::string> head = {
        "rdap status: 200",
        "ldhname: GOOGLE.COM",
        "handle: 2138514_DOMAIN_COM-VRSN",
        "status: client delete prohibited",
        "status: client transfer prohibited",
        "status: client update prohibited",
        "status: server delete prohibited",
        "status: server transfer prohibited",
        "status: server update prohibited",
        "registrar: MarkMonitor Inc.",
        "registrar iana id: 292",
        "registration: 1997-09-15T04:00:00Z",
        "expiration: 2028-09-14T04:00:00Z",
        "last changed: 2019-09-09T15:39:04Z",
        "last update of RDAP database: 2024-07-29T17:23:53Z",
        "nameserver: NS1.GOOGLE.COM",
        "nameserver: NS2.GOOGLE.COM",
        "nameserver: NS3.GOOGLE.COM",
        "nameserver: NS4.GOOGLE.COM",
    };
    ASSERT_GT(lines.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
    EXPECT_TRUE(HasLine(text, "title: Terms of Use"));
    EXPECT_TRUE(HasLine(text, "title: Status Codes"));
    // Every line after the status line is a fact of its own.
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(": "), std::string::npos) << lines[i];
}

struct BackEnd {
    const char* file;
    const char* name;
    const char* registrar;
    const char* registration;
    const char* firstServer;
};

// Each back end places its facts a little differently; the text is the same shape for all.
TEST(RdapReplyText, EveryRecordedBackEndGivesNameRegistrarDateAndServers) {
    const BackEnd cases[] = {
        {"com__registered__google.verisign-2026.json", "GOOGLE.COM", "MarkMonitor Inc.",
         "1997-09-15T04:00:00Z", "NS1.GOOGLE.COM"},
        {"com__registered__google.markmonitor.json", "google.com", "MarkMonitor Inc.",
         "1997-09-15T07:00:00.000+0000", "ns1.google.com"},
        {"fr__registered__lemonde.afnic.json", "lemonde.fr", "NAMESHIELD", "2005-08-02T14:16:36Z",
         "ns-cloud-b1.googledomains.com"},
        {"xyz__registered__nic.centralnic.json", "nic.xyz", "CentralNic Ltd",
         "2013-09-11T11:58:06.0Z", "x.nic.xyz"},
        {"click__registered__microsoft.uniregistry.json", "microsoft.click", "MarkMonitor Inc.",
         "2014-11-12T19:15:55.283Z", "ns1-08.azure-dns.com"},
        {"top__registered__bitcoin.zdns.json", "bitcoin.top.", nullptr, "2014-11-17T16:00:29.0Z",
         "ns1.72dns.com."},
        {"no__registered__norway.norid.json", "norway.no", "Domeneshop AS", "2017-01-24T12:09:23Z",
         "ns1-09.azure-dns.com"},
        // No vCard name: the registrar's handle stands for it.
        {"cz__registered__example.cznic.json", "example.cz", "REG-INTERNET-CZ",
         "2004-08-30T22:55:00+00:00", "ns2.pipni.cz"},
    };
    for (const BackEnd& c : cases) {
        std::string text = RdapReplyText(200, Recorded(c.file));
        EXPECT_EQ(Lines(text).front(), "rdap status: 200") << c.file;
        EXPECT_TRUE(HasLine(text, std::string("ldhname: ") + c.name)) << c.file;
        if (c.registrar)
            EXPECT_TRUE(HasLine(text, std::string("registrar: ") + c.registrar)) << c.file;
        else
            EXPECT_NE(text.find("\nregistrar: "), std::string::npos) << c.file;
        EXPECT_TRUE(HasLine(text, std::string("registration: ") + c.registration)) << c.file;
        EXPECT_TRUE(HasLine(text, std::string("nameserver: ") + c.firstServer)) << c.file;
    }
}

TEST(RdapReplyText, StatusLineAloneOrNoTextAtAll) {
    EXPECT_EQ(RdapReplyText(404, ""), "rdap status: 404");
    EXPECT_EQ(RdapReplyText(0, "{\"ldhName\":\"x.com\"}"), "");
    EXPECT_EQ(RdapReplyText(-1, ""), "");
    EXPECT_EQ(RdapReplyText(200, "[1,2,3]"), "rdap status: 200");
    EXPECT_EQ(RdapReplyText(200, "{}"), "rdap status: 200");
}

TEST(RdapReplyText, ErrorObjectsGiveTitleAndDescriptionLines) {
    // After the published description of a registry's reply for a reserved name.
    std::string reserved = RdapReplyText(
        404, R"({"errorCode":404,"title":"Not Found","description":["Domain Name: jailbreaks.fun",
            "This name is not available for registration:","Registry Reserved"]})");
    EXPECT_EQ(reserved, "rdap status: 404\ntitle: Not Found\ndescription: Domain Name: "
                        "jailbreaks.fun\ndescription: This name is not available for "
                        "registration:\ndescription: Registry Reserved");
    // A quota error inside a 200, with a single description string.
    EXPECT_EQ(RdapReplyText(200, R"({"title":"401 Unauthorized","description":"Quota exceeded"})"),
              "rdap status: 200\ntitle: 401 Unauthorized\ndescription: Quota exceeded");
}

TEST(RdapReplyText, BodiesThatAreNotJsonFollowTheStatusLine) {
    EXPECT_EQ(RdapReplyText(503, "<html>busy</html>"), "rdap status: 503\n<html>busy</html>");
    EXPECT_EQ(RdapReplyText(200, "{\"ldhName\":"), "rdap status: 200\n{\"ldhName\":");
    std::string badUtf8 = "{\"ldhName\":\"\xff\xfe\"}";
    EXPECT_EQ(RdapReplyText(200, badUtf8), "rdap status: 200\n" + badUtf8);
}

TEST(RdapReplyText, HostileJsonIsBoundedAndCannotForgeLines) {
    // Too deep for the parser: read as text, never recursed into.
    std::string deep = std::string(200000, '[') + std::string(200000, ']');
    EXPECT_EQ(RdapReplyText(200, deep).size(), deep.size() + 17);
    std::string limit = std::string(kRdapMaxJsonDepth, '[') + std::string(kRdapMaxJsonDepth, ']');
    EXPECT_EQ(RdapReplyText(200, limit), "rdap status: 200");
    // Brackets inside strings do not count towards the depth.
    std::string quoted = "{\"ldhName\":\"" + std::string(500, '[') + "\\\"\"}";
    EXPECT_EQ(RdapReplyText(200, quoted),
              "rdap status: 200\nldhname: " + std::string(500, '[') + "\"");
    // Too large to parse.
    std::string huge = "{\"ldhName\":\"" + std::string(kRdapMaxJsonBytes, 'a') + "\"}";
    EXPECT_EQ(RdapReplyText(200, huge).size(), huge.size() + 17);
    // Values cannot start lines of their own.
    EXPECT_EQ(
        RdapReplyText(200, R"({"ldhName":"a.com\nstatus: server hold\r","handle":"h\u0000"})"),
        "rdap status: 200\nldhname: a.com status: server hold \nhandle: h ");
    // Members of unexpected types are passed over.
    std::string odd = R"({"ldhName":5,"handle":"h","status":[1,null,"active",{}],
        "entities":[{"roles":"registrar"},{"roles":["registrar"],"vcardArray":["vcard",[["fn"]]],
        "publicIds":[{"type":"IANA Registrar ID","identifier":7}]}],
        "events":[{"eventAction":"registration"},{"eventDate":"2000"},"x",
                  {"eventAction":"expiration","eventDate":"2030"}],
        "nameservers":[{"ldhName":["a"]},{"unicodeName":"ns.example"},7],
        "notices":[{"title":["t"],"description":[7,"d"]},"n"]})";
    EXPECT_EQ(RdapReplyText(200, odd), "rdap status: 200\nldhname: 5\nhandle: h\nstatus: active\n"
                                       "registrar iana id: 7\nexpiration: 2030\n"
                                       "nameserver: ns.example\ndescription: d");
}

} // namespace
} // namespace zendrel
