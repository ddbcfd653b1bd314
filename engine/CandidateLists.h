#pragma once

#include "engine/NameRules.h"
#include "engine/SearchInput.h"

#include <set>
#include <string>

namespace zendrel {

using NameSet = std::set<std::string, CaseInsensitiveLess>;

// The three ordered lists a search starts from: names K, additional entries A (flag1 flag2 word)
// and zones Z. Each is sorted ignoring case; of two items equal but for case the first stays.
struct CandidateLists {
    NameSet names;
    NameSet entries;
    NameSet zones;
};

// Builds the lists from the controls' values as Search reads them.
CandidateLists BuildCandidateLists(const SearchInput& input);

} // namespace zendrel
