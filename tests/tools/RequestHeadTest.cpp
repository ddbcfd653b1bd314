#include "tools/gateway/RequestHead.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel::gateway {
namespace {

TEST(RequestHead, CompleteOnlyAtTheBlankLineWhenFedByteByByte) {
    for (std::string head : {"GET /whois?name=a.com HTTP/1.0\r\nHost: x\r\n\r\n",
                             "GET /whois?name=a.com HTTP/1.0\n\n"}) {
        for (std::size_t n = 0; n < head.size(); ++n)
            EXPECT_EQ(CheckRequestHead(head.substr(0, n)), HeadStatus::NeedMore) << n;
        EXPECT_EQ(CheckRequestHead(head), HeadStatus::Complete);
    }
    EXPECT_EQ(CheckRequestHead(std::string(kMaxRequestHead, 'x')), HeadStatus::TooLarge);
}

TEST(RequestHead, TakesTheNameOutOfTheTarget) {
    struct Case {
        const char* line;
        const char* name; // nullptr: no name
        int code;
    };
    const Case cases[] = {
        {"GET /whois?name=shop.com HTTP/1.0", "shop.com", 0},
        {"GET /whois?x=1&name=a%2Db.net&y=2 HTTP/1.1", "a-b.net", 0},
        {"GET /whois?name=a.com", "a.com", 0},
        {"GET http://gw:1/whois?name=a.com HTTP/1.0", "a.com", 0},
        {"GET /whois?name= HTTP/1.0", nullptr, 400},
        {"GET /whois?name=a%zz HTTP/1.0", nullptr, 400},
        {"GET /whois?name=a%4 HTTP/1.0", nullptr, 400},
        {"GET /whois?name=a b HTTP/1.0", nullptr, 400},
        {"GET /whois HTTP/1.0", nullptr, 400},
        {"GET /whoisname=a HTTP/1.0", nullptr, 404},
        {"GET / HTTP/1.0", nullptr, 404},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto head = ParseRequestLine(std::string(c.line) + "\r\n\r\n");
        ASSERT_TRUE(head);
        EXPECT_EQ(head->method, "GET");
        int code = 0;
        auto name = NameFromTarget(head->target, code);
        EXPECT_EQ(name.has_value(), c.name != nullptr);
        if (name && c.name)
            EXPECT_EQ(*name, c.name);
        else
            EXPECT_EQ(code, c.code);
    }
    EXPECT_FALSE(ParseRequestLine("GET\r\n\r\n"));
    EXPECT_FALSE(ParseRequestLine(" /whois HTTP/1.0\r\n\r\n"));
}

TEST(RequestHead, FindsHeaderFieldsAndTheVersion) {
    const std::string head = "GET /whois?name=a.com HTTP/1.1\r\nhOST: x\r\nAccept: */*\r\n\r\n"
                             "Body: not a field\r\n";
    EXPECT_EQ(ParseRequestLine(head)->version, "HTTP/1.1");
    EXPECT_EQ(ParseRequestLine("GET /whois?name=a.com\r\n\r\n")->version, "");
    EXPECT_TRUE(HasHeaderField(head, "Host"));
    EXPECT_TRUE(HasHeaderField(head, "accept"));
    EXPECT_FALSE(HasHeaderField(head, "Body"));
    EXPECT_FALSE(HasHeaderField(head, "GET /whois?name=a.com HTTP/1.1\r\nhOST"));
    EXPECT_FALSE(HasHeaderField("GET /x HTTP/1.1\nX-Host: y\n\n", "Host"));
    EXPECT_TRUE(HasHeaderField("GET /x HTTP/1.1\nHost: y\n\n", "Host"));
}

} // namespace
} // namespace zendrel::gateway
