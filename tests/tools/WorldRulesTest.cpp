#include "tools/world/DnsAnswer.h"
#include "tools/world/RegistryPolicy.h"
#include "tools/world/RegistryReply.h"

#include <ares.h>
#include <arpa/nameser.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <string>
#include <vector>

namespace zendrel::world {
namespace {

RegistryTerms limitedRegistry() {
    RegistryTerms terms;
    terms.name = "r";
    terms.limit = Rate{2, 1000};
    terms.graceMs = 0;
    terms.conns = 2;
    terms.abuse = Rate{3, 60000};
    terms.blockSeconds = 5;
    return terms;
}

TEST(WorldPolicy, RefusesBeyondTheLimitAndBlocksAfterAbuse) {
    RegistryTerms terms = limitedRegistry();
    RegistryPolicy p(terms);
    EXPECT_EQ(p.decide(0, 0), Treatment::Answer);
    EXPECT_EQ(p.decide(100, 0), Treatment::Answer);
    EXPECT_EQ(p.decide(200, 0), Treatment::Refuse);
    EXPECT_EQ(p.decide(1000, 0), Treatment::Answer); // the first answer left the window
    EXPECT_EQ(p.decide(1050, 2), Treatment::Busy);   // two already being answered
    EXPECT_EQ(p.decide(1060, 0), Treatment::Refuse); // third refusal within the minute: a block
    EXPECT_EQ(p.decide(3000, 0), Treatment::Blocked);
    EXPECT_EQ(p.decide(6059, 0), Treatment::Blocked);
    EXPECT_EQ(p.decide(6060, 0), Treatment::Answer);
    const RegistryStats& s = p.stats();
    EXPECT_EQ(s.queries, 9);
    EXPECT_EQ(s.answered, 4);
    EXPECT_EQ(s.refused, 2);
    EXPECT_EQ(s.busy, 1);
    EXPECT_EQ(s.blocked, 2);
    EXPECT_EQ(s.blocks, 1);
}

TEST(WorldPolicy, AnUnlimitedRegistryAnswersEverything) {
    RegistryTerms terms;
    RegistryPolicy p(terms);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(p.decide(i, 500), Treatment::Answer);
}

TEST(WorldQuery, FindsTheNameInEachFormOfQuery) {
    struct Case {
        Service service;
        std::string bytes;
        QueryStatus status;
        std::string name;
        int badStatus;
    };
    const Case cases[] = {
        {Service::Whois, "domain Shop.COM\r\n", QueryStatus::Complete, "shop.com", 0},
        {Service::Whois, "-T dn,ace shop.de\n", QueryStatus::Complete, "shop.de", 0},
        {Service::Whois, "shop.jp/e\r\n", QueryStatus::Complete, "shop.jp", 0},
        {Service::Whois, "shop.fr", QueryStatus::NeedMore, "", 0},
        {Service::Whois, "\r\n", QueryStatus::Bad, "", 0},
        {Service::Whois, std::string(2000, 'a'), QueryStatus::Bad, "", 0},
        {Service::Rdap, "GET /rdap/domain/shop.fr HTTP/1.1\r\nHost: a\r\n\r\n",
         QueryStatus::Complete, "shop.fr", 0},
        {Service::Rdap, "GET /domain/shop.fr. HTTP/1.0\r\n\r\n", QueryStatus::Complete, "shop.fr",
         0},
        {Service::Rdap, "GET /rdap/domain/shop.fr HTTP/1.1\r\n", QueryStatus::NeedMore, "", 0},
        {Service::Rdap, "GET /rdap/help HTTP/1.1\r\n\r\n", QueryStatus::Bad, "", 404},
        {Service::Rdap, "GET /domain/a%20b HTTP/1.1\r\n\r\n", QueryStatus::Bad, "", 400},
        {Service::Rdap, "POST /domain/a.fr HTTP/1.1\r\n\r\n", QueryStatus::Bad, "", 405},
        {Service::Web, "GET /whois?name=Shop.Net HTTP/1.0\r\n\r\n", QueryStatus::Complete,
         "shop.net", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        Query q;
        EXPECT_EQ(ReadQuery(c.service, c.bytes, q), c.status);
        EXPECT_EQ(q.name, c.name);
        EXPECT_EQ(q.badStatus, c.badStatus);
    }
}

TEST(WorldReply, FramesEachServiceAsItsClientsExpect) {
    Query q{"shop.fr", true, 0};
    ReplyShape refusal{ShapeKind::Text, 429, 30, true, "{\"errorCode\":429}"};
    Outgoing rdap = RenderReply(Service::Rdap, refusal, q, 0);
    EXPECT_TRUE(rdap.bytes.starts_with("HTTP/1.1 429 Too Many Requests\r\n")) << rdap.bytes;
    EXPECT_NE(rdap.bytes.find("\r\nRetry-After: Thu, 01 Jan 1970 00:00:30 GMT\r\n"),
              std::string::npos);
    EXPECT_NE(rdap.bytes.find("\r\nContent-Length: 17\r\n"), std::string::npos);
    EXPECT_TRUE(rdap.bytes.ends_with("\r\n\r\n{\"errorCode\":429}"));

    ReplyShape seconds{ShapeKind::Text, 429, 12, false, ""};
    EXPECT_NE(RenderReply(Service::Rdap, seconds, q, 0).bytes.find("\r\nRetry-After: 12\r\n"),
              std::string::npos);

    ReplyShape page{ShapeKind::Text, 0, -1, false, "Domain: {NAME}\n"};
    EXPECT_EQ(RenderReply(Service::Whois, page, q, 0).bytes, "Domain: SHOP.FR\n");
    Query old{"shop.fr", false, 0};
    Outgoing web = RenderReply(Service::Web, page, old, 0);
    EXPECT_TRUE(web.bytes.starts_with("HTTP/1.0 200 OK\r\n"));
    EXPECT_TRUE(web.bytes.ends_with("\r\n\r\nDomain: SHOP.FR\n"));

    ReplyShape reset{ShapeKind::Reset, 0, -1, false, ""};
    EXPECT_EQ(RenderReply(Service::Web, reset, q, 0).kind, ShapeKind::Reset);
    EXPECT_TRUE(RenderReply(Service::Web, reset, q, 0).bytes.empty());
}

// The answers are read back with the resolver library the program itself uses, so that a
// mistake in the packet format cannot hide behind a parser written alongside it.
std::string nsQuery(const char* name, int type = ns_t_ns) {
    unsigned char* buf = nullptr;
    int length = 0;
    EXPECT_EQ(ares_create_query(name, ns_c_in, type, 0x4242, 1, &buf, &length, 0), ARES_SUCCESS);
    std::string packet(reinterpret_cast<char*>(buf), static_cast<std::size_t>(length));
    ares_free_string(buf);
    return packet;
}

Delegation byName(const std::string& name) {
    if (name == "taken.test")
        return Delegation::Delegated;
    if (name == "broken.test")
        return Delegation::ServFail;
    if (name == "quiet.test")
        return Delegation::Silent;
    if (name == "mailonly.test")
        return Delegation::NoData;
    return Delegation::NxDomain;
}

int rcode(const std::string& reply) {
    return static_cast<unsigned char>(reply[3]) & 0xF;
}

TEST(WorldDns, DelegatedNamesGetTwoNameServers) {
    auto reply = DnsAnswer(nsQuery("Taken.test."), byName);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->substr(0, 2), "\x42\x42");
    hostent* host = nullptr;
    ASSERT_EQ(ares_parse_ns_reply(reinterpret_cast<const unsigned char*>(reply->data()),
                                  static_cast<int>(reply->size()), &host),
              ARES_SUCCESS);
    std::vector<std::string> servers;
    for (char** a = host->h_aliases; a && *a; ++a)
        servers.emplace_back(*a);
    ares_free_hostent(host);
    EXPECT_EQ(servers, (std::vector<std::string>{"ns1.Taken.test", "ns2.Taken.test"}));
}

TEST(WorldDns, OtherNamesGetTheirRcodeOrNothing) {
    EXPECT_EQ(rcode(*DnsAnswer(nsQuery("free.test"), byName)), ns_r_nxdomain);
    EXPECT_EQ(rcode(*DnsAnswer(nsQuery("broken.test"), byName)), ns_r_servfail);
    EXPECT_FALSE(DnsAnswer(nsQuery("quiet.test"), byName));
    auto nodata = DnsAnswer(nsQuery("mailonly.test"), byName);
    EXPECT_EQ(rcode(*nodata), ns_r_noerror);
    EXPECT_EQ(nodata->substr(6, 2), std::string("\0\0", 2)); // no answer records
    auto other = DnsAnswer(nsQuery("taken.test", ns_t_a), byName);
    EXPECT_EQ(rcode(*other), ns_r_noerror);
    EXPECT_EQ(other->substr(6, 2), std::string("\0\0", 2));

    std::string cut = nsQuery("taken.test");
    cut.resize(cut.size() - 3);
    EXPECT_EQ(rcode(*DnsAnswer(cut, byName)), ns_r_formerr);
    std::string answer = *DnsAnswer(nsQuery("taken.test"), byName);
    EXPECT_FALSE(DnsAnswer(answer, byName)); // a reply is never answered
    EXPECT_FALSE(DnsAnswer("\1\2\3", byName));
}

} // namespace
} // namespace zendrel::world
