#pragma once

#include "engine/WordListFiles.h"

#include <ostream>

namespace zendrel {

// Readable failure messages for the word-list types.
inline void PrintTo(const KeywordEntry& e, std::ostream* os) {
    *os << '{' << e.text << (e.checked ? " +" : " -") << '}';
}
inline void PrintTo(const AdditionalRow& r, std::ostream* os) {
    *os << "{\"" << r.first << "\",\"" << r.last << "\",\"" << r.word << "\"}";
}

} // namespace zendrel
