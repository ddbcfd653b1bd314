#include "engine/NameRules.h"

#include <algorithm>

namespace zendrel {

bool NextCombination(IndexTuple& tuple, std::int32_t base) {
    if (tuple.empty())
        return false;
    ++tuple.back();
    bool result = true;
    for (std::size_t i = tuple.size(); i-- > 0;) {
        if (tuple[i] > base - 1) {
            tuple[i] = 0;
            result = i > 0;
            if (i > 0)
                ++tuple[i - 1];
        }
    }
    return result;
}

void MaskRepeats(const IndexTuple& tuple, IndexTuple& mask) {
    mask = tuple;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == -1)
            continue;
        for (std::size_t j = 0; j < mask.size(); ++j) {
            if (j != i && mask[j] != -1 && tuple[i] == tuple[j])
                mask[j] = -1;
        }
    }
}

void NormalizeHyphens(std::string& name) {
    for (std::size_t at = name.find("--"); at != std::string::npos; at = name.find("--"))
        name.erase(at, 2);
    if (!name.empty() && name.front() == '-')
        name.erase(0, 1);
    if (!name.empty() && name.back() == '-')
        name.pop_back();
}

bool StripHyphens(std::string& name) {
    const std::size_t before = name.size();
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name.size() != before;
}

namespace {

unsigned char fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold(a[i]);
        const unsigned char y = fold(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

} // namespace zendrel
