#pragma once

#include "engine/SearchInput.h"

#include <string>
#include <utility>
#include <vector>

namespace zendrel::test {

// A search of `keywords` in `zones`, joined up to `c` at a time.
inline SearchInput words(std::vector<std::string> keywords,
                         std::vector<std::string> zones = {"com"}, int c = 1) {
    SearchInput in;
    in.keywords = std::move(keywords);
    in.zones = std::move(zones);
    in.combinations = c;
    return in;
}

// The same search with additional words on; a hyphen budget of 0 switches hyphens off.
inline SearchInput withAdditional(SearchInput in, std::vector<AdditionalWordRow> rows,
                                  int hyphens) {
    in.useAdditional = true;
    in.additionalRows = std::move(rows);
    in.useHyphens = hyphens > 0;
    in.hyphens = hyphens > 0 ? hyphens : 1;
    return in;
}

} // namespace zendrel::test
