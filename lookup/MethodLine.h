#pragma once

#include "lookup/MethodTable.h"

#include <cstddef>
#include <string_view>

namespace zendrel {

// A block repeats at most this often; a larger count is taken as this. Real tables repeat a
// block for the few name servers of a reply.
inline constexpr int kMaxBlockRepeats = 1000;

// Blocks stop repeating once the blocks of one line have produced this many bytes of items
// (each item counted with a fixed overhead), so no line can expand beyond its own size plus this.
// The repetitions a line asks for past that point are dropped; its other items are kept.
inline constexpr std::size_t kMaxBlockExpansionBytes = 1 << 20;

// Builds a method entry from one line of the method file: items split at ";", lower-cased and
// trimmed, with "{count~marker;...;}" blocks expanded. The entry always has at least one item.
MethodEntry BuildMethodEntry(std::string_view line);

} // namespace zendrel
