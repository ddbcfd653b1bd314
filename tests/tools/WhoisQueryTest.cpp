#include "tools/gateway/WhoisQuery.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zendrel::gateway {
namespace {

TEST(WhoisQuery, CompleteOnlyAtTheLineEndWhenFedByteByByte) {
    for (std::string query : {"domain shop.com\r\n", "shop.com\n"}) {
        for (std::size_t n = 0; n < query.size(); ++n)
            EXPECT_EQ(CheckWhoisQuery(query.substr(0, n)), HeadStatus::NeedMore) << n;
        EXPECT_EQ(CheckWhoisQuery(query), HeadStatus::Complete);
    }
    EXPECT_EQ(CheckWhoisQuery(std::string(kMaxWhoisQuery - 1, 'x') + "\n"), HeadStatus::Complete);
    EXPECT_EQ(CheckWhoisQuery(std::string(kMaxWhoisQuery, 'x')), HeadStatus::TooLarge);
    EXPECT_EQ(CheckWhoisQuery(std::string(kMaxWhoisQuery, 'x') + "\n"), HeadStatus::TooLarge);
}

TEST(WhoisQuery, TakesTheLastWordAsTheName) {
    const std::string longest(253, 'a');
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"shop.com\r\n", "shop.com"},
        {"Shop.Com\n", "Shop.Com"},
        {"domain shop.com\r\n", "shop.com"},
        {"-T dn,ace shop.de\r\n", "shop.de"},
        {"\t shop.com \t\r\n", "shop.com"},
        {"shop.com\r\nnext line ignored.com\r\n", "shop.com"},
        {longest + "\r\n", longest},
        {longest + "a\r\n", std::nullopt},
        {"\r\n", std::nullopt},
        {"   \r\n", std::nullopt},
        {std::string("sh\0p.com\r\n", 10), std::nullopt},
        {"sh\rop.com\r\n", std::nullopt},
        {"shop.com\x7f\r\n", std::nullopt},
    };
    for (const auto& [query, name] : cases) {
        SCOPED_TRACE(query.substr(0, 30));
        EXPECT_EQ(NameFromWhoisQuery(query), name);
    }
}

} // namespace
} // namespace zendrel::gateway
