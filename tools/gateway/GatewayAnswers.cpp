#include "tools/gateway/GatewayAnswers.h"

#include "tools/gateway/RequestHead.h"
#include "tools/gateway/WhoisPage.h"
#include "tools/gateway/WhoisQuery.h"

namespace zendrel::gateway {

GatewayAnswers::GatewayAnswers(const GatewayOptions& options, const NameRegistry& names)
    : options_(options), names_(names) {}

GatewayReply GatewayAnswers::web(std::string_view head, bool overTls) const {
    HttpStyle style{overTls, options_.contentLength, overTls && options_.chunked};
    auto reply = [&](int code, const char* reason, std::string body) {
        return HttpGatewayReply(code, reason, std::move(body), style, options_.mode);
    };
    if (CheckRequestHead(head) == HeadStatus::TooLarge)
        return reply(400, "Bad Request", "request too large\n");
    auto request = ParseRequestLine(head);
    if (!request)
        return reply(400, "Bad Request", "malformed request line\n");
    if (overTls && request->version == "HTTP/1.1" && !HasHeaderField(head, "Host"))
        return reply(400, "Bad Request", "an HTTP/1.1 request needs a Host header\n");
    if (request->method != "GET")
        return reply(405, "Method Not Allowed", "only GET is served\n");
    int code = 0;
    auto name = NameFromTarget(request->target, code);
    if (!name && code == 404)
        return reply(404, "Not Found", "ask for /whois?name=NAME\n");
    if (!name)
        return reply(400, "Bad Request", "missing or unusable name\n");
    return reply(200, "OK", WhoisPage(*name, names_.status(*name)));
}

GatewayReply GatewayAnswers::whois(std::string_view query) const {
    std::string text;
    if (CheckWhoisQuery(query) == HeadStatus::TooLarge) {
        text = "% Error: query too long.\n";
    } else if (auto name = NameFromWhoisQuery(query)) {
        text = WhoisPage(*name, names_.status(*name));
    } else {
        text = "% Error: the query holds no usable name.\n";
    }
    return WhoisGatewayReply(std::move(text), options_.mode);
}

} // namespace zendrel::gateway
