#pragma once

#include "tools/world/ReplyShape.h"
#include "tools/world/WorldConfig.h"

#include <ctime>
#include <string>
#include <string_view>

namespace zendrel::world {

enum class QueryStatus { NeedMore, Complete, Bad };

// What a client asked, once its query is complete.
struct Query {
    std::string name;    // as the registry keeps names (lower case, no final dot)
    bool http11 = false; // the request was HTTP/1.1: the reply says so too
    int badStatus = 0;   // for a Bad HTTP query: the status that refuses it
};

// Reads the bytes a client sent so far. Port 43: one line ("domain NAME", "-T dn,ace NAME",
// "NAME/e"; the name is its last word, cut at a '/'). RDAP: "GET …/domain/NAME". Web: "GET
// /whois?name=NAME", as the demo gateway is asked.
QueryStatus ReadQuery(Service service, std::string_view bytes, Query& query);

// The bytes a shape puts on the wire, or none for the shapes that send none.
struct Outgoing {
    ShapeKind kind = ShapeKind::Text;
    std::string bytes;
};

// Renders `shape` for the query's name; `wallNow` dates a Retry-After sent as a date.
Outgoing RenderReply(Service service, const ReplyShape& shape, const Query& query,
                     std::time_t wallNow);

// The answer to a query that could not be read.
Outgoing RenderBadQuery(Service service, const Query& query);

} // namespace zendrel::world
