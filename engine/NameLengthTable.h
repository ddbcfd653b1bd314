#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zendrel {

// The shape of a text that decides whether and how often a candidate name gets rows: its length
// without hyphens and its number of hyphens.
struct NameShape {
    int stripped = 0;
    int hyphens = 0;
};
NameShape ShapeOf(std::string_view text);

// How many texts there are of each shape, for the shapes that can still get rows under a length
// limit: the stripped length below the limit, the hyphen count capped at `maxHyphens` (the cap
// standing for "that many or more" when it is the limit itself). Counts saturate.
class NameLengthTable {
public:
    NameLengthTable(int limit, int maxHyphens);

    int limit() const { return limit_; }
    int maxHyphens() const { return maxHyphens_; }
    // Adds `n` texts of a shape; shapes too long for any row are dropped.
    void add(NameShape shape, std::uint64_t n);
    void remove(NameShape shape, std::uint64_t n);
    std::uint64_t at(int stripped, int hyphens) const;
    // Calls f(shape, count) for every shape with texts.
    template <typename F>
    void forEach(F&& f) const {
        for (int s = 0; s < limit_; ++s)
            for (int h = 0; h <= maxHyphens_; ++h)
                if (const std::uint64_t n = at(s, h))
                    f(NameShape{s, h}, n);
    }
    // All texts, and the rows they get at most in one zone.
    std::uint64_t texts() const;
    std::uint64_t rows() const;

private:
    std::size_t index(int stripped, int hyphens) const;

    int limit_;
    int maxHyphens_;
    std::vector<std::uint64_t> counts_;
};

// The rows one name of this shape gets, at most: two forms when it is within the limit and has
// hyphens, one when only its hyphen-free form is. Exact for a name whose hyphens all stand single
// between letters; names of hyphens only, and runs of hyphens, may get fewer.
std::uint64_t RowsForShape(NameShape shape, int limit);

// Shapes of the names joined from 1 to `combinations` distinct texts of `parts`, one name per
// ordered sequence (so names that happen to be equal are counted each time).
NameLengthTable CombinedShapes(const std::vector<NameShape>& parts, int combinations, int limit,
                               int maxHyphens);

// Shapes of every name of `names` joined with every affix of `affixes` (a prefix or suffix with its
// hyphen already counted in its shape).
NameLengthTable JoinedShapes(const NameLengthTable& names, const NameLengthTable& affixes);

} // namespace zendrel
