#pragma once

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

// The length `name` has once every hyphen is removed: no form of the name, and no longer name
// built around it, is shorter.
std::size_t LengthWithoutHyphens(std::string_view name);

// Orders texts ignoring the case of ASCII letters; other bytes compare by value.
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

} // namespace zendrel
