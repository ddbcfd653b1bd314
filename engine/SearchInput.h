#pragma once

#include <string>
#include <vector>

namespace zendrel {

// One data row of the additional-word grid, its three cells as they stand.
struct AdditionalWordRow {
    std::string first; // "First": non-blank means the word may stand before a name
    std::string last;  // "Last": non-blank means the word may stand after a name
    std::string name;  // the word itself, not trimmed
};

// The controls a search reads, copied once when Search is pressed.
struct SearchInput {
    std::vector<std::string> keywords;             // checked keywords, in list order
    int combinations = 1;                          // udComb, 1..10
    bool useAdditional = false;                    // cbAdd
    std::vector<AdditionalWordRow> additionalRows; // sgAdd data rows, from row 1 on
    bool useHyphens = false;                       // cbHyphens
    int hyphens = 1;                               // udHyphens, 1..2
    std::vector<std::string> zones;                // checked zones, without the dot
    int maxLength = 30;                            // udMax: names must be shorter
};

} // namespace zendrel
