#pragma once

#include "engine/SearchInput.h"

#include <cstdint>
#include <string>

namespace zendrel {

// How many result rows Search will append: one per candidate name and checked zone.
struct NameCount {
    std::uint64_t rows = 0;
    bool exact = true;    // false: `rows` is an upper bound
    bool tooMany = false; // more than 64 bits hold; `rows` says nothing
};

// Up to this many candidate texts (counted before equal ones are merged) the names are listed to
// count them exactly when counting by length cannot prove itself exact; listing that many takes
// a few tens of milliseconds.
inline constexpr std::uint64_t kListedNamesLimit = 50000;

// Counts the rows Search would append for `input`, following the generator's rules (ordered
// combinations of distinct keywords, prefixes and suffixes with their hyphen budget, the length
// limit, hyphen normalisation and the hyphen-free second form) without generating every name.
// Exact when no two ways of joining the words can give the same name, or when the names are few
// enough to list; otherwise an upper bound.
NameCount CountCandidateRows(const SearchInput& input);

// The two ways of counting that CountCandidateRows chooses from. Listing makes every name short
// enough for a row (as a folded text, without rows) and is always exact. Counting by length
// takes every way of joining the words as a different name and says whether it could prove that
// they are.
NameCount ListCandidateRows(const SearchInput& input);
NameCount CountCandidateRowsByLength(const SearchInput& input);

// "1 name", "12,480 names", "at most 2,140,000 names" or "too many names to count".
std::string DescribeNameCount(const NameCount& count);

} // namespace zendrel
