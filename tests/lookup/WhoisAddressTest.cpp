#include "lookup/WhoisAddress.h"

#include "lookup/UrlTemplate.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zendrel {
namespace {

TEST(WhoisAddress, QueryIsTakenAsWrittenAfterTheHostPart) {
    struct Case {
        const char* address;
        const char* host;
        const char* port;
        const char* query;
    } cases[] = {
        {"whois://whois.verisign-grs.com/domain example.com", "whois.verisign-grs.com", "43",
         "domain example.com"},
        {"WHOIS://whois.denic.de/-T dn,ace example.de", "whois.denic.de", "43",
         "-T dn,ace example.de"},
        {"whois://whois.jprs.jp/example.jp/e", "whois.jprs.jp", "43", "example.jp/e"},
        {"whois://127.0.0.1:18044/a%20b", "127.0.0.1", "18044", "a%20b"},
        {"whois://h:43//x", "h", "43", "/x"},
    };
    for (const Case& c : cases) {
        std::optional<WhoisAddress> a = ParseWhoisAddress(c.address);
        ASSERT_TRUE(a) << c.address;
        EXPECT_EQ(a->host, c.host) << c.address;
        EXPECT_EQ(a->port, c.port) << c.address;
        EXPECT_EQ(a->query, c.query) << c.address;
    }
}

TEST(WhoisAddress, RefusesAddressesWithoutServerPortOrQuery) {
    for (const char* address : {"whois://", "whois:///domain x", "whois://host", "whois://host/",
                                "whois://host:/x", "whois://host:0/x", "whois://host:65536/x",
                                "whois://host:4x/x", "http://host/x", "whois:/host/x"})
        EXPECT_FALSE(ParseWhoisAddress(address)) << address;
    EXPECT_TRUE(IsWhoisAddress("Whois://h/x"));
    EXPECT_FALSE(IsWhoisAddress("whoi"));
}

TEST(WhoisAddress, AQueryWithALineBreakOrNulIsNotSent) {
    EXPECT_TRUE(IsSendableWhoisQuery("-T dn,ace example.de"));
    EXPECT_FALSE(IsSendableWhoisQuery("example.de\r\nsecond"));
    EXPECT_FALSE(IsSendableWhoisQuery("example.de\n"));
    EXPECT_FALSE(IsSendableWhoisQuery(std::string("a\0b", 3)));
    // A name put into the template can never add one: its bytes are encoded.
    std::optional<std::string> expanded =
        ExpandUrlTemplate("whois://h/domain %s", std::string("x\r\ny", 4));
    ASSERT_TRUE(expanded);
    EXPECT_TRUE(IsSendableWhoisQuery(ParseWhoisAddress(*expanded)->query));
}

} // namespace
} // namespace zendrel
