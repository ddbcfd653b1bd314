#pragma once

#include <string>
#include <string_view>

namespace zendrel::world {

// Fills a reply template for `name` (as the registry keeps it: lower case, no final dot).
// Placeholders: {name} and {NAME} (upper case), {registrar}, {iana} (the registrar's number),
// {created} and {expires} (YYYY-MM-DD), {ns1}, {ns2}, {NS1}, {NS2}. Any other text in braces,
// JSON included, stays as it is. The details are derived from the name, so they differ between
// names but never between two queries for the same name.
std::string ExpandTemplate(std::string_view text, std::string_view name);

} // namespace zendrel::world
