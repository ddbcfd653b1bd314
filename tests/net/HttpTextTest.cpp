#include "net/HttpText.h"

#include <gtest/gtest.h>
#include <string>

using namespace zendrel;

namespace {

struct UrlCase {
    const char* url;
    const char* proto;
    const char* user;
    const char* pass;
    const char* host;
    const char* port;
    const char* path;
};

const UrlCase kUrlCases[] = {
    {"http://u:p@h:8080/a/b.cgi?x=1", "http", "u", "p", "h", "8080", "/a/b.cgi?x=1"},
    {"http://h", "http", "", "", "h", "", ""},
    {"h.example/x", "", "", "", "h.example", "", "/x"},
    {"/abs/path", "http", "", "", "", "", "/abs/path"},
    {"http:/rel", "http", "", "", "", "", "/rel"},
    {"ftp://user@host/f", "ftp", "user", "", "host", "", "/f"},
    {"mailto:me@there", "mailto", "me", "", "there", "", ""},
    {"proxy.local", "", "", "", "proxy.local", "", ""},
    {"", "", "", "", "", "", ""},
};

} // namespace

TEST(HttpText, SplitUrlReadsEveryFormTheFilesUse) {
    for (const UrlCase& c : kUrlCases) {
        std::string proto, user, pass, host, port, path;
        SplitUrl(c.url, proto, user, pass, host, port, path);
        EXPECT_EQ(proto, c.proto) << c.url;
        EXPECT_EQ(user, c.user) << c.url;
        EXPECT_EQ(pass, c.pass) << c.url;
        EXPECT_EQ(host, c.host) << c.url;
        EXPECT_EQ(port, c.port) << c.url;
        EXPECT_EQ(path, c.path) << c.url;
    }
}

TEST(HttpText, FormatHttpDateUsesCalendarAndWeekdayOfTheDayCount) {
    EXPECT_EQ(FormatHttpDate(2.0), "Mon, 01 Jan 1900 00:00:00");
    EXPECT_EQ(FormatHttpDate(25569.5), "Thu, 01 Jan 1970 12:00:00");
    EXPECT_EQ(FormatHttpDate(45000.0 + 3723.0 / 86400.0), "Wed, 15 Mar 2023 01:02:03");
    // Days before 1900 still get a weekday instead of reading outside the name table.
    EXPECT_EQ(FormatHttpDate(1.0), "Sun, 31 Dec 1899 00:00:00");
}

TEST(HttpText, Base64AndNameHelpers) {
    EXPECT_EQ(EncodeBase64(""), "");
    EXPECT_EQ(EncodeBase64("u:p"), "dTpw");
    EXPECT_EQ(EncodeBase64("user:pass"), "dXNlcjpwYXNz");
    EXPECT_EQ(EncodeBase64("ab"), "YWI=");
    EXPECT_EQ(EncodeBase64(std::string("\xff\x00", 2)), "/wA=");
    EXPECT_EQ(ReplaceExt("setup.exe", "htm"), "setup.htm");
    EXPECT_EQ(ReplaceExt("noext", "htm"), "noext.htm");
    EXPECT_EQ(LastPos("/", "/a/b"), 3u);
    EXPECT_EQ(LastPos("x", "abc"), 0u);
    EXPECT_EQ(LastPos("", "abc"), 0u);
}
