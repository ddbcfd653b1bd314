#include "tools/world/RegistryReply.h"

#include "tools/gateway/RequestHead.h"
#include "tools/world/NameBook.h"
#include "tools/world/ReplyTemplate.h"

namespace zendrel::world {

namespace {

// Port-43 queries are one short line; anything longer is not a query.
constexpr std::size_t kMaxQueryLine = 1024;

bool usableName(std::string_view name) {
    if (name.empty() || name.size() > 253)
        return false;
    for (unsigned char c : name)
        if (c <= ' ' || c >= 0x7f || c == '/' || c == '%' || c == '?')
            return false;
    return true;
}

QueryStatus readWhoisLine(std::string_view bytes, Query& query) {
    std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos)
        return bytes.size() < kMaxQueryLine ? QueryStatus::NeedMore : QueryStatus::Bad;
    std::string_view line = bytes.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.remove_suffix(1);
    std::size_t space = line.rfind(' ');
    std::string_view word = space == std::string_view::npos ? line : line.substr(space + 1);
    word = word.substr(0, word.find('/'));
    if (!usableName(word))
        return QueryStatus::Bad;
    query.name = CanonicalName(word);
    return QueryStatus::Complete;
}

std::optional<std::string> rdapName(std::string_view target, int& code) {
    std::size_t at = target.find("/domain/");
    code = 404;
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view name = target.substr(at + 8);
    name = name.substr(0, name.find('?'));
    code = 400;
    if (!usableName(name))
        return std::nullopt;
    return std::string(name);
}

QueryStatus readHttpHead(Service service, std::string_view bytes, Query& query) {
    using namespace gateway;
    HeadStatus head = CheckRequestHead(bytes);
    if (head == HeadStatus::NeedMore)
        return QueryStatus::NeedMore;
    std::string_view firstLine = bytes.substr(0, bytes.find_first_of("\r\n"));
    query.http11 = firstLine.ends_with(" HTTP/1.1");
    query.badStatus = 400;
    auto request = head == HeadStatus::Complete ? ParseRequestLine(bytes) : std::nullopt;
    if (!request)
        return QueryStatus::Bad;
    if (request->method != "GET") {
        query.badStatus = 405;
        return QueryStatus::Bad;
    }
    int code = 400;
    auto name = service == Service::Rdap ? rdapName(request->target, code)
                                         : NameFromTarget(request->target, code);
    if (!name || !usableName(*name)) {
        query.badStatus = code;
        return QueryStatus::Bad;
    }
    query.name = CanonicalName(*name);
    query.badStatus = 0;
    return QueryStatus::Complete;
}

const char* reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 429:
        return "Too Many Requests";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

std::string httpDate(std::time_t when) {
    std::tm tm{};
    gmtime_r(&when, &tm);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    return text;
}

std::string httpReply(Service service, const ReplyShape& shape, bool http11, std::string body,
                      std::time_t wallNow) {
    int status = shape.status ? shape.status : 200;
    std::string reply = (http11 ? "HTTP/1.1 " : "HTTP/1.0 ") + std::to_string(status) + " " +
                        reason(status) + "\r\nServer: zendrel-world\r\n";
    reply += service == Service::Rdap ? "Content-Type: application/rdap+json\r\n"
                                      : "Content-Type: text/plain; charset=us-ascii\r\n";
    if (shape.retryAfterSeconds >= 0)
        reply += "Retry-After: " +
                 (shape.retryAsDate ? httpDate(wallNow + shape.retryAfterSeconds)
                                    : std::to_string(shape.retryAfterSeconds)) +
                 "\r\n";
    reply += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    return reply + body;
}

} // namespace

QueryStatus ReadQuery(Service service, std::string_view bytes, Query& query) {
    if (service == Service::Whois)
        return readWhoisLine(bytes, query);
    return readHttpHead(service, bytes, query);
}

Outgoing RenderReply(Service service, const ReplyShape& shape, const Query& query,
                     std::time_t wallNow) {
    if (shape.kind != ShapeKind::Text)
        return {shape.kind, {}};
    std::string body = ExpandTemplate(shape.body, query.name);
    if (service == Service::Whois)
        return {ShapeKind::Text, std::move(body)};
    return {ShapeKind::Text, httpReply(service, shape, query.http11, std::move(body), wallNow)};
}

Outgoing RenderBadQuery(Service service, const Query& query) {
    if (service == Service::Whois)
        return {ShapeKind::Text, "% Malformed query.\n"};
    ReplyShape shape{ShapeKind::Text, query.badStatus ? query.badStatus : 400, -1, false, {}};
    return {ShapeKind::Text,
            httpReply(service, shape, query.http11, std::string(reason(shape.status)) + "\n", 0)};
}

} // namespace zendrel::world
