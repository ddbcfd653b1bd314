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

bool FirstTupleOfSequence(const IndexTuple& tuple, const IndexTuple& mask) {
    // The first tuple of a sequence takes, position by position, the smallest index still
    // allowed: any index already used while enough positions remain for the unused ones, or the
    // sequence's next new index.
    std::size_t distinct = 0;
    for (std::int32_t m : mask)
        distinct += m != -1 ? 1 : 0;
    std::size_t used = 0;
    std::int32_t smallestUsed = 0;
    for (std::size_t j = 0; j < tuple.size(); ++j) {
        const bool isNew = mask[j] != -1;
        std::int32_t allowed = isNew ? tuple[j] : -1; // the next new index, when this is it
        if (!isNew) {
            // The next new index sits at a later unmasked position.
            for (std::size_t k = j + 1; k < tuple.size() && allowed == -1; ++k)
                if (mask[k] != -1)
                    allowed = tuple[k];
        }
        const std::size_t remaining = tuple.size() - j;
        if (used > 0 && remaining > distinct - used)
            allowed = allowed == -1 ? smallestUsed : std::min(allowed, smallestUsed);
        if (tuple[j] != allowed)
            return false;
        if (isNew) {
            smallestUsed = used == 0 ? tuple[j] : std::min(smallestUsed, tuple[j]);
            ++used;
        }
    }
    return true;
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

void RowForms(std::string name, std::size_t maxLength, std::vector<std::string>& forms) {
    if (!name.empty() && name.size() < maxLength) {
        NormalizeHyphens(name);
        // A name of hyphens only normalizes to nothing; a row ".com" would be no name at all.
        if (!name.empty())
            forms.push_back(name);
    }
    if (StripHyphens(name) && !name.empty() && name.size() < maxLength)
        forms.push_back(std::move(name));
}

Affixes EntryAffixes(std::string_view entry, int hyphenBudget) {
    Affixes a;
    if (entry.size() < 2)
        return a;
    a.prefix = entry[0] == '1';
    a.suffix = entry[1] == '1';
    a.word = entry.substr(2);
    int h = hyphenBudget;
    if (a.prefix && h >= 1) {
        a.prefixHyphen = true;
        --h;
    }
    a.suffixHyphen = a.suffix && h >= 1;
    return a;
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

std::string FoldCase(std::string_view text) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [](char c) { return static_cast<char>(fold(c)); });
    return out;
}

} // namespace zendrel
