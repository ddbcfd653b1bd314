#include "engine/NameLengthTable.h"

#include "engine/ProgressMeter.h"

#include <algorithm>
#include <cassert>

namespace zendrel {

namespace {

std::uint64_t plus(std::uint64_t a, std::uint64_t b) {
    return ProgressMeter::saturatingAdd(a, b);
}
std::uint64_t times(std::uint64_t a, std::uint64_t b) {
    return ProgressMeter::saturatingMul(a, b);
}

} // namespace

NameShape ShapeOf(std::string_view text) {
    const auto hyphens = static_cast<int>(std::count(text.begin(), text.end(), '-'));
    return {static_cast<int>(text.size()) - hyphens, hyphens};
}

NameLengthTable::NameLengthTable(int limit, int maxHyphens)
    : limit_(std::max(limit, 0)), maxHyphens_(std::max(maxHyphens, 0)),
      counts_(static_cast<std::size_t>(limit_) * static_cast<std::size_t>(maxHyphens_ + 1)) {}

std::size_t NameLengthTable::index(int stripped, int hyphens) const {
    return static_cast<std::size_t>(stripped) * static_cast<std::size_t>(maxHyphens_ + 1) +
           static_cast<std::size_t>(std::min(hyphens, maxHyphens_));
}

void NameLengthTable::add(NameShape shape, std::uint64_t n) {
    if (shape.stripped >= limit_)
        return;
    std::uint64_t& c = counts_[index(shape.stripped, shape.hyphens)];
    c = plus(c, n);
}

void NameLengthTable::remove(NameShape shape, std::uint64_t n) {
    if (shape.stripped >= limit_)
        return;
    std::uint64_t& c = counts_[index(shape.stripped, shape.hyphens)];
    assert(c >= n);
    c -= n;
}

std::uint64_t NameLengthTable::at(int stripped, int hyphens) const {
    return counts_[index(stripped, hyphens)];
}

std::uint64_t NameLengthTable::texts() const {
    std::uint64_t total = 0;
    for (std::uint64_t c : counts_)
        total = plus(total, c);
    return total;
}

std::uint64_t NameLengthTable::rows() const {
    std::uint64_t total = 0;
    forEach([&](NameShape shape, std::uint64_t n) {
        total = plus(total, times(n, RowsForShape(shape, limit_)));
    });
    return total;
}

std::uint64_t RowsForShape(NameShape shape, int limit) {
    const int length = shape.stripped + shape.hyphens;
    if (length > 0 && length < limit)
        return shape.hyphens > 0 ? 2 : 1;
    return shape.hyphens > 0 && shape.stripped > 0 && shape.stripped < limit ? 1 : 0;
}

// Counts subsets of each size by shape (each part used at most once), then orders them: a subset
// of j parts gives j! sequences, all of the same shape.
NameLengthTable CombinedShapes(const std::vector<NameShape>& parts, int combinations, int limit,
                               int maxHyphens) {
    const std::size_t most =
        std::min(static_cast<std::size_t>(std::max(combinations, 1)), parts.size());
    std::vector<NameLengthTable> subsets(most + 1, NameLengthTable(limit, maxHyphens));
    subsets[0].add({0, 0}, 1);
    for (const NameShape& part : parts) {
        for (std::size_t j = most; j-- > 0;) {
            subsets[j].forEach([&](NameShape shape, std::uint64_t n) {
                subsets[j + 1].add({shape.stripped + part.stripped, shape.hyphens + part.hyphens},
                                   n);
            });
        }
    }
    NameLengthTable out(limit, maxHyphens);
    std::uint64_t orders = 1;
    for (std::size_t j = 1; j <= most; ++j) {
        orders = times(orders, j);
        subsets[j].forEach(
            [&](NameShape shape, std::uint64_t n) { out.add(shape, times(n, orders)); });
    }
    return out;
}

NameLengthTable JoinedShapes(const NameLengthTable& names, const NameLengthTable& affixes) {
    NameLengthTable out(names.limit(), names.maxHyphens());
    names.forEach([&](NameShape name, std::uint64_t n) {
        affixes.forEach([&](NameShape affix, std::uint64_t m) {
            out.add({name.stripped + affix.stripped, name.hyphens + affix.hyphens}, times(n, m));
        });
    });
    return out;
}

} // namespace zendrel
