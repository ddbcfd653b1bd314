#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

using IndexTuple = std::vector<std::int32_t>;

// Advances `tuple` like an odometer in base `base`, last position fastest. Starting from zeros
// with the last element at -1, the first call yields all zeros; returns false once position 0
// wraps (at once when base is 0).
bool NextCombination(IndexTuple& tuple, std::int32_t base);

// Copies `tuple` into `mask`, then marks with -1 every later repeat of an index, so that the
// first occurrence of each keyword stays.
void MaskRepeats(const IndexTuple& tuple, IndexTuple& mask);

// True when `tuple` (with `mask` from MaskRepeats) is the first tuple, in NextCombination's
// order, whose unmasked indexes give this sequence of keywords. Later tuples with the same
// sequence join to the same text, so only the first one needs joining.
bool FirstTupleOfSequence(const IndexTuple& tuple, const IndexTuple& mask);

// Removes every "--" pair (first occurrence first, until none is left), then one leading and
// one trailing hyphen.
void NormalizeHyphens(std::string& name);

// Removes every hyphen; returns whether the name changed.
bool StripHyphens(std::string& name);

// Appends to `forms` the texts that get rows for one name of the candidate list: the name with
// its hyphens normalized when it is shorter than `maxLength`, and its hyphen-free form when that
// differs and is short enough. Empty forms never get rows.
void RowForms(std::string name, std::size_t maxLength, std::vector<std::string>& forms);

// What one additional entry (flag1 flag2 word) adds to a name. The hyphen budget is spent on the
// prefix first, so with a budget of one only the prefix form gets a hyphen.
struct Affixes {
    bool prefix = false;
    bool prefixHyphen = false;
    bool suffix = false;
    bool suffixHyphen = false;
    std::string_view word;
};
Affixes EntryAffixes(std::string_view entry, int hyphenBudget);

// Orders texts ignoring the case of ASCII letters; other bytes compare by value.
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// The text with ASCII letters in lower case: equal for two texts exactly when
// CaseInsensitiveLess holds neither way.
std::string FoldCase(std::string_view text);

} // namespace zendrel
