// Reads IANA's RDAP bootstrap file. Only https bases are taken: a verdict that a name is free
// must come from the registry's own server over a verified connection, and the few plain-http
// bases in the file are left for a maintainer to decide on.
#include "tools/tables/RdapBootstrap.h"

#include "lookup/TextRules.h"

#include <nlohmann/json.hpp>

namespace zendrel::tables {

RdapBootstrap ReadRdapBootstrap(std::string_view text) {
    RdapBootstrap bootstrap;
    nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("services") ||
        !json["services"].is_array()) {
        bootstrap.error = "not an RDAP bootstrap file (no \"services\" list)";
        return bootstrap;
    }
    if (json.contains("publication") && json["publication"].is_string())
        bootstrap.publication = json["publication"].get<std::string>();
    for (const nlohmann::json& service : json["services"]) {
        if (!service.is_array() || service.size() < 2 || !service[0].is_array() ||
            !service[1].is_array())
            continue;
        std::string base;
        for (const nlohmann::json& url : service[1])
            if (url.is_string() && url.get<std::string>().starts_with("https://")) {
                base = url.get<std::string>();
                break;
            }
        if (base.empty())
            continue;
        for (const nlohmann::json& label : service[0])
            if (label.is_string())
                bootstrap.baseByLabel.emplace(LowerCase(label.get<std::string>()), base);
    }
    return bootstrap;
}

std::optional<std::string> FindRdapBase(const RdapBootstrap& bootstrap, std::string_view zone) {
    std::string name = LowerCase(zone);
    for (std::size_t from = 0;;) {
        auto it = bootstrap.baseByLabel.find(name.substr(from));
        if (it != bootstrap.baseByLabel.end())
            return it->second;
        std::size_t dot = name.find('.', from);
        if (dot == std::string::npos)
            return std::nullopt;
        from = dot + 1;
    }
}

} // namespace zendrel::tables
