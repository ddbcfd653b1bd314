#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel::tables {

// The RDAP bootstrap file for DNS (RFC 9224): which server is authoritative for which labels.
struct RdapBootstrap {
    std::string publication;
    std::map<std::string, std::string> baseByLabel; // lower-case label -> first https base URL
    std::string error;                              // empty when the file was read
};

RdapBootstrap ReadRdapBootstrap(std::string_view json);

// The base URL for `zone` (e.g. "co.uk"): the entry of the longest label that ends the zone at a
// dot boundary, as RFC 9224 matches names. Nothing when no entry covers the zone.
std::optional<std::string> FindRdapBase(const RdapBootstrap& bootstrap, std::string_view zone);

} // namespace zendrel::tables
