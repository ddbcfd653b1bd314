#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zendrel::world {

// How a simulated server answers one query: every normal answer and every refusal is a shape.
enum class ShapeKind {
    Text,   // the body (on an HTTP server: status `status`, 200 unless given)
    Empty,  // an orderly close without a byte
    Reset,  // a connection reset without a byte
    Silent, // nothing at all until the client gives up
};

struct ReplyShape {
    ShapeKind kind = ShapeKind::Empty;
    int status = 0;             // HTTP status; 0 for a plain text reply (200 on HTTP)
    int retryAfterSeconds = -1; // sent as Retry-After when >= 0
    bool retryAsDate = false;   // Retry-After as an HTTP date that many seconds ahead
    std::string body;           // a template: see ExpandTemplate
};

// Reads a shape: "empty", "reset", "silent", "text BODY", "status CODE [retry-after=S |
// retry-date=S] [BODY]", or the name of a recorded refusal ("afnic", "registro.br",
// "nominet" …; see BuiltInShapeNames). BODY keeps its spaces; "\n", "\r", "\t" and "\\" in it
// stand for those characters. On failure, returns none and puts a reason into `error`.
std::optional<ReplyShape> ParseShape(std::string_view text, std::string& error);

// The names ParseShape knows as recorded refusals, comma-separated, for the usage text.
std::string BuiltInShapeNames();

// `text` with "\n", "\r", "\t" and "\\" turned into the characters they name.
std::string Unescape(std::string_view text);

} // namespace zendrel::world
