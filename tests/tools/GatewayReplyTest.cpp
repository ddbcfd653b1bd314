#include "tools/gateway/GatewayReply.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel::gateway {
namespace {

using namespace std::string_literals;

// Undoes chunked framing strictly; sets `ok` to false on any framing fault and collects the
// chunk sizes.
std::string Unchunk(std::string_view framed, bool& ok, std::vector<std::size_t>& sizes) {
    std::string body;
    ok = false;
    for (;;) {
        std::size_t eol = framed.find("\r\n");
        if (eol == std::string_view::npos)
            return body;
        std::size_t size = std::stoul(std::string(framed.substr(0, eol)), nullptr, 16);
        framed.remove_prefix(eol + 2);
        if (size == 0) {
            ok = framed == "\r\n";
            return body;
        }
        if (framed.size() < size + 2 || framed.substr(size, 2) != "\r\n")
            return body;
        sizes.push_back(size);
        body += framed.substr(0, size);
        framed.remove_prefix(size + 2);
    }
}

// An endless reply's piece: `unit` as often as it takes to reach 16 KiB.
std::string Repeated(const std::string& unit) {
    std::string out;
    while (!unit.empty() && out.size() < 16 * 1024)
        out += unit;
    return out;
}

const std::string kHead11 = "HTTP/1.1 200 OK\r\nServer: zendrel-gateway\r\n"
                            "Content-Type: text/plain; charset=us-ascii\r\n";

TEST(GatewayReply, FramesHttpRepliesByVersionAndOptions) {
    struct Case {
        const char* what;
        HttpStyle style;
        ReplyMode mode;
        std::string head; // expected head, up to and including the blank line
        std::string body; // expected body bytes
        std::string repeat;
    };
    const std::string page = "line one\nline two\n";
    const std::string nuls = std::string(16, '\0') + "line one\0\nline two\0\n"s;
    const Case cases[] = {
        {"web as before",
         {false, true, false},
         ReplyMode::Normal,
         "HTTP/1.0 200 OK\r\nServer: zendrel-gateway\r\nContent-Type: text/plain; "
         "charset=us-ascii\r\nContent-Length: 18\r\nConnection: close\r\n\r\n",
         page,
         ""},
        {"web without length",
         {false, false, false},
         ReplyMode::Normal,
         "HTTP/1.0 200 OK\r\nServer: zendrel-gateway\r\nContent-Type: text/plain; "
         "charset=us-ascii\r\nConnection: close\r\n\r\n",
         page,
         ""},
        {"chunked needs 1.1",
         {false, true, true},
         ReplyMode::Normal,
         "HTTP/1.0 200 OK\r\nServer: zendrel-gateway\r\nContent-Type: text/plain; "
         "charset=us-ascii\r\nContent-Length: 18\r\nConnection: close\r\n\r\n",
         page,
         ""},
        {"tls with length",
         {true, true, false},
         ReplyMode::Normal,
         kHead11 + "Content-Length: 18\r\nConnection: close\r\n\r\n",
         page,
         ""},
        {"tls chunked",
         {true, true, true},
         ReplyMode::Normal,
         kHead11 + "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n",
         "12\r\n" + page + "\r\n0\r\n\r\n",
         ""},
        {"nul bytes counted in the length",
         {true, true, false},
         ReplyMode::Nul,
         kHead11 + "Content-Length: 36\r\nConnection: close\r\n\r\n",
         nuls,
         ""},
        {"endless has no length",
         {false, true, false},
         ReplyMode::Endless,
         "HTTP/1.0 200 OK\r\nServer: zendrel-gateway\r\nContent-Type: text/plain; "
         "charset=us-ascii\r\nConnection: close\r\n\r\n",
         page,
         page},
        {"endless chunks never end",
         {true, true, true},
         ReplyMode::Endless,
         kHead11 + "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n",
         "12\r\n" + page + "\r\n",
         "12\r\n" + page + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GatewayReply r = HttpGatewayReply(200, "OK", page, c.style, c.mode);
        EXPECT_EQ(r.bytes.substr(0, r.bodyStart), c.head);
        EXPECT_EQ(r.bytes.substr(r.bodyStart), c.body);
        EXPECT_EQ(r.repeat, Repeated(c.repeat));
    }
}

TEST(GatewayReply, ChunkedBodiesComeInSeveralSmallChunks) {
    std::string page;
    for (int i = 0; page.size() < 1000; ++i)
        page += "Name Server: NS" + std::to_string(i) + ".EXAMPLE.TEST\n";
    GatewayReply r = HttpGatewayReply(200, "OK", page, {true, true, true}, ReplyMode::Normal);
    bool ok = false;
    std::vector<std::size_t> sizes;
    EXPECT_EQ(Unchunk(std::string_view(r.bytes).substr(r.bodyStart), ok, sizes), page);
    EXPECT_TRUE(ok);
    EXPECT_GE(sizes.size(), 10u);
    for (std::size_t size : sizes)
        EXPECT_LE(size, 100u);
}

TEST(GatewayReply, WhoisRepliesAreTheTextAlone) {
    const std::string text = "Domain Name: A.COM\nRegistrar: X\n";
    const std::pair<ReplyMode, GatewayReply> cases[] = {
        {ReplyMode::Normal, {text, 0, ""}},
        {ReplyMode::Reset, {text, 0, ""}},
        {ReplyMode::Endless, {text, 0, text}},
        {ReplyMode::Nul,
         {std::string(16, '\0') + "Domain Name: A.COM\0\nRegistrar: X\0\n"s, 0, ""}},
    };
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(mode));
        GatewayReply r = WhoisGatewayReply(text, mode);
        EXPECT_EQ(r.bytes, expected.bytes);
        EXPECT_EQ(r.bodyStart, 0u);
        EXPECT_EQ(r.repeat, Repeated(expected.repeat));
    }
}

} // namespace
} // namespace zendrel::gateway
