#include "engine/CandidateLists.h"

namespace zendrel {

namespace {

bool isBlank(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

} // namespace

CandidateLists BuildCandidateLists(const SearchInput& input) {
    CandidateLists lists;
    for (const std::string& k : input.keywords)
        lists.names.insert(k);
    for (const AdditionalWordRow& row : input.additionalRows) {
        std::string entry;
        entry += isBlank(row.first) ? ' ' : '1';
        entry += isBlank(row.last) ? ' ' : '1';
        // A row with neither flag adds nothing, whatever its word.
        if (entry != "  ")
            lists.entries.insert(entry + row.name);
    }
    for (const std::string& z : input.zones)
        lists.zones.insert(z);
    return lists;
}

} // namespace zendrel
