#include "tools/gateway/WhoisPage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zendrel::gateway {

namespace {

struct Registrar {
    const char* name;
    const char* handle;
    const char* dnsHost;
};

constexpr Registrar kRegistrars[] = {
    {"Harbour Names Ltd", "HN-1", "harbour-names.test"},
    {"Blue Kettle Registry Services", "BK-7", "bluekettle.test"},
    {"Lantern Domains Inc", "LD-3", "lantern-dns.test"},
};

std::uint32_t nameHash(std::string_view name) {
    std::uint32_t h = 2166136261u; // FNV-1a: stable across runs and machines
    for (unsigned char c : name)
        h = (h ^ (c >= 'A' && c <= 'Z' ? c + 32u : c)) * 16777619u;
    return h;
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return out;
}

std::string registeredPage(std::string_view name, bool onHold) {
    std::uint32_t h = nameHash(name);
    const Registrar& r = kRegistrars[h % std::size(kRegistrars)];
    char created[16];
    std::snprintf(created, sizeof created, "%04u-%02u-%02u", 1995 + (h >> 4) % 30,
                  1 + (h >> 9) % 12, 1 + (h >> 13) % 28);
    std::string page = "Domain Name: " + upper(name) + "\n";
    page += "Registrar: " + std::string(r.name) + " (" + r.handle + ")\n";
    page += "Created: " + std::string(created) + "\n";
    page += onHold ? "Status: on hold\n" : "Status: registered\n";
    page += "\n";
    page += "Name Server: NS1." + upper(r.dnsHost) + "\n";
    page += "Name Server: NS2." + upper(r.dnsHost) + "\n";
    page += "\n";
    return page;
}

} // namespace

std::string WhoisPage(std::string_view name, NameStatus status) {
    std::string page = "% Demo WHOIS gateway: answers from its own list, not from a registry.\n\n";
    if (status == NameStatus::Free)
        page += "No match for \"" + upper(name) + "\".\n\n";
    else
        page += registeredPage(name, status == NameStatus::Hold);
    page += "% End of reply.\n";
    return page;
}

} // namespace zendrel::gateway
