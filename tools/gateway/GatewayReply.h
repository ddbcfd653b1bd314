#pragma once

#include "tools/gateway/GatewayOptions.h"

#include <string>
#include <string_view>

namespace zendrel::gateway {

// The bytes of one reply, as a connection plays them out.
struct GatewayReply {
    std::string bytes;         // head (if any) and body
    std::size_t bodyStart = 0; // where the body begins: a reset cuts halfway through the body
    std::string repeat;        // when not empty, sent again and again after `bytes`, without end
};

// How an HTTP reply is framed.
struct HttpStyle {
    bool http11 = false; // the status line's version; framing by chunks needs HTTP/1.1
    bool contentLength = true;
    bool chunked = false; // Transfer-Encoding: chunked (only with http11)
};

// A complete HTTP reply with a plain-text body, shaped by the endless and nul modes (an endless
// body has no length, so it carries no Content-Length).
GatewayReply HttpGatewayReply(int code, std::string_view reason, std::string body,
                              const HttpStyle& style, ReplyMode mode);

// A port-43 reply: the text alone, shaped by the endless and nul modes.
GatewayReply WhoisGatewayReply(std::string text, ReplyMode mode);

} // namespace zendrel::gateway
