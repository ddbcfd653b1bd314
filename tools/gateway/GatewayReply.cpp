// Frames the gateway's texts: HTTP/1.0 as the web gateway always spoke it, HTTP/1.1 with a
// length or chunks for the TLS listener, bare text for port 43; and the body shapes of the
// hostile modes, which a client must survive whatever the framing.
#include "tools/gateway/GatewayReply.h"

#include <cstdio>

namespace zendrel::gateway {

namespace {

// Chunks are kept small, so that even a short page arrives in several of them.
constexpr std::size_t kChunkSize = 100;
// An endless reply repeats its body in pieces of at least this size, so that it is sent in
// full-sized writes (and TLS records) rather than one small write per page.
constexpr std::size_t kRepeatSize = 16 * 1024;

std::string repeated(std::string_view unit) {
    std::string out;
    while (!unit.empty() && out.size() < kRepeatSize)
        out += unit;
    return out;
}

std::string withNulBytes(std::string_view body) {
    std::string out(16, '\0');
    for (char c : body) {
        if (c == '\n')
            out += '\0';
        out += c;
    }
    return out;
}

std::string chunked(std::string_view body) {
    std::string out;
    for (std::size_t at = 0; at < body.size(); at += kChunkSize) {
        std::string_view piece = body.substr(at, kChunkSize);
        char size[20];
        std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
        out += size;
        out += piece;
        out += "\r\n";
    }
    return out;
}

std::string httpHead(int code, std::string_view reason, std::size_t length, const HttpStyle& style,
                     bool endless) {
    std::string head = style.http11 ? "HTTP/1.1 " : "HTTP/1.0 ";
    head += std::to_string(code) + " " + std::string(reason) + "\r\n";
    head += "Server: zendrel-gateway\r\n";
    head += "Content-Type: text/plain; charset=us-ascii\r\n";
    if (style.http11 && style.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (style.contentLength && !endless)
        head += "Content-Length: " + std::to_string(length) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

} // namespace

GatewayReply HttpGatewayReply(int code, std::string_view reason, std::string body,
                              const HttpStyle& style, ReplyMode mode) {
    if (mode == ReplyMode::Nul)
        body = withNulBytes(body);
    bool endless = mode == ReplyMode::Endless;
    bool chunks = style.http11 && style.chunked;
    GatewayReply reply;
    reply.bytes = httpHead(code, reason, body.size(), style, endless);
    reply.bodyStart = reply.bytes.size();
    std::string framed = chunks ? chunked(body) : body;
    reply.bytes += framed;
    if (endless)
        reply.repeat = repeated(framed);
    else if (chunks)
        reply.bytes += "0\r\n\r\n";
    return reply;
}

GatewayReply WhoisGatewayReply(std::string text, ReplyMode mode) {
    GatewayReply reply;
    reply.bytes = mode == ReplyMode::Nul ? withNulBytes(text) : text;
    if (mode == ReplyMode::Endless)
        reply.repeat = repeated(reply.bytes);
    return reply;
}

} // namespace zendrel::gateway
