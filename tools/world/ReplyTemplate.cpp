#include "tools/world/ReplyTemplate.h"

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

namespace zendrel::world {

namespace {

struct Registrar {
    const char* name;
    const char* iana;
    const char* dnsHost;
};

constexpr Registrar kRegistrars[] = {
    {"Northwind Name Services", "4101", "northwind-dns.test"},
    {"Cobalt Registrar Ltd", "4102", "cobalt-ns.test"},
    {"Meridian Domains SA", "4103", "meridian-dns.test"},
    {"Quayside Internet Names", "4104", "quayside.test"},
};

std::uint32_t nameHash(std::string_view name) {
    std::uint32_t h = 2166136261u; // FNV-1a: stable across runs and machines
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

std::string date(unsigned year, std::uint32_t h) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", year, 1 + (h >> 9) % 12, 1 + (h >> 13) % 28);
    return text;
}

std::vector<std::pair<std::string, std::string>> details(std::string_view name) {
    std::uint32_t h = nameHash(name);
    const Registrar& r = kRegistrars[h % std::size(kRegistrars)];
    unsigned created = 1996 + (h >> 4) % 28;
    std::string ns1 = "ns1." + std::string(r.dnsHost), ns2 = "ns2." + std::string(r.dnsHost);
    return {
        {"{name}", std::string(name)},
        {"{NAME}", upper(name)},
        {"{registrar}", r.name},
        {"{iana}", r.iana},
        {"{created}", date(created, h)},
        {"{expires}", date(2027 + (h >> 20) % 5, h)},
        {"{ns1}", ns1},
        {"{ns2}", ns2},
        {"{NS1}", upper(ns1)},
        {"{NS2}", upper(ns2)},
    };
}

} // namespace

std::string ExpandTemplate(std::string_view text, std::string_view name) {
    if (text.find('{') == std::string_view::npos)
        return std::string(text);
    auto values = details(name);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [key, value] : values) {
            if (text.compare(i, key.size(), key) == 0) {
                out += value;
                i += key.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

} // namespace zendrel::world
