#pragma once

#include "tools/gateway/NameRegistry.h"

#include <string>
#include <string_view>

namespace zendrel::gateway {

// The text page the gateway shows for `name`. The wording is fixed, so that the sample method
// table can read it: "No match for" when free; "Registrar:", "Created:" and two "Name Server:"
// lines (a blank line after them) when registered; the same with "Status: on hold" on hold.
// Registration details are derived from the name, so they differ between names but never
// between two requests for the same name.
std::string WhoisPage(std::string_view name, NameStatus status);

} // namespace zendrel::gateway
