#pragma once

#include <string>
#include <vector>

namespace zendrel {

// True when no text can be cut into words of `words` in two different ways, so that different
// sequences of words always join to different texts. False when a word is empty or appears
// twice. Bytes compare exactly; fold the case first to ignore it.
bool IsUniquelyDecodable(const std::vector<std::string>& words);

} // namespace zendrel
