// Counting the rows of a search without making them. Lists of a few thousand names are simply
// listed (as folded texts, without rows), which is exact by construction. Bigger searches (ten
// keywords joined up to ten at a time give ten million names before any additional word) are
// counted by shape: how many names there are of each length and hyphen count, which is all the
// length limit and the hyphen rules look at. That count takes every way of joining the words as
// a different name, so it is exact only when the words can be proved never to join to the same
// text in two ways; otherwise it is an upper bound.
#include "engine/NameCount.h"

#include "engine/CandidateLists.h"
#include "engine/NameLengthTable.h"
#include "engine/NameRules.h"
#include "engine/ProgressMeter.h"
#include "engine/UniqueDecoding.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_set>

namespace zendrel {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// Limits beyond this are not counted; the window allows up to 63.
constexpr int kLongestCountedLimit = 1024;

struct Part {
    std::string text; // case folded
    NameShape shape;
};

struct Affix {
    std::string word; // case folded
    NameShape shape;  // of the word with its hyphen
    bool prefix = false;
    bool hyphen = false;
};

// The parts of a search that can end up in a name short enough for a row; a name with any other
// part is too long, and so is every name made from it.
struct Plan {
    int limit = 0;
    int combinations = 1; // 1 when there is no combination phase
    std::uint64_t zones = 0;
    std::vector<Part> keywords; // by stripped length
    std::vector<Affix> affixes; // by stripped length
    bool emptyKeyword = false;
};

template <typename T>
void sortByLength(std::vector<T>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const T& a, const T& b) { return a.shape.stripped < b.shape.stripped; });
}

void addAffixes(Plan& plan, const CandidateLists& lists, int hyphenBudget) {
    for (const std::string& entry : lists.entries) {
        const Affixes a = EntryAffixes(entry, hyphenBudget);
        const NameShape word = ShapeOf(a.word);
        if (word.stripped >= plan.limit)
            continue;
        if (a.prefix)
            plan.affixes.push_back({FoldCase(a.word),
                                    {word.stripped, word.hyphens + (a.prefixHyphen ? 1 : 0)},
                                    true,
                                    a.prefixHyphen});
        if (a.suffix)
            plan.affixes.push_back({FoldCase(a.word),
                                    {word.stripped, word.hyphens + (a.suffixHyphen ? 1 : 0)},
                                    false,
                                    a.suffixHyphen});
    }
    sortByLength(plan.affixes);
}

Plan makePlan(const SearchInput& input) {
    const CandidateLists lists = BuildCandidateLists(input);
    Plan plan;
    plan.limit = std::max(input.maxLength, 0);
    plan.combinations = std::max(input.combinations, 1);
    plan.zones = lists.zones.size();
    for (const std::string& name : lists.names) {
        const NameShape shape = ShapeOf(name);
        if (shape.stripped >= plan.limit)
            continue;
        plan.keywords.push_back({FoldCase(name), shape});
        plan.emptyKeyword = plan.emptyKeyword || name.empty();
    }
    sortByLength(plan.keywords);
    if (input.useAdditional)
        addAffixes(plan, lists, input.useHyphens ? input.hyphens : 0);
    return plan;
}

// Enough hyphen counts for every name the plan can make.
int hyphenRange(const Plan& plan) {
    std::vector<int> counts;
    for (const Part& k : plan.keywords)
        counts.push_back(k.shape.hyphens);
    std::sort(counts.rbegin(), counts.rend());
    counts.resize(std::min(counts.size(), static_cast<std::size_t>(plan.combinations)));
    int most = 0;
    for (int c : counts)
        most = std::min(most + c, plan.limit);
    int affix = 0;
    for (const Affix& a : plan.affixes)
        affix = std::max(affix, a.shape.hyphens);
    return std::min(most + affix, plan.limit);
}

struct ShapeCount {
    std::uint64_t texts = 0;
    std::uint64_t rowsPerZone = 0;
};

ShapeCount countByShape(const Plan& plan) {
    const int hyphens = hyphenRange(plan);
    std::vector<NameShape> parts;
    for (const Part& k : plan.keywords)
        parts.push_back(k.shape);
    NameLengthTable names = CombinedShapes(parts, plan.combinations, plan.limit, hyphens);
    // Joining never keeps an empty name; without a combination phase the keyword list does.
    if (plan.combinations >= 2 && plan.emptyKeyword)
        names.remove({0, 0}, 1);
    ShapeCount out{names.texts(), names.rows()};
    if (plan.affixes.empty())
        return out;
    NameLengthTable affixes(plan.limit, hyphens);
    for (const Affix& a : plan.affixes)
        affixes.add(a.shape, 1);
    const NameLengthTable joined = JoinedShapes(names, affixes);
    out.texts = ProgressMeter::saturatingAdd(out.texts, joined.texts());
    out.rowsPerZone = ProgressMeter::saturatingAdd(out.rowsPerZone, joined.rows());
    return out;
}

// True when different ways of making a name always give different texts, so that counting the
// ways counts the names. Then every name is words joined whole, with single hyphens only where
// an affix put them, and the words (keywords, affix words and the hyphen) are uniquely decodable.
bool provablyDistinct(const Plan& plan) {
    std::vector<std::string> words;
    for (const Part& k : plan.keywords) {
        if (k.text.empty() || k.shape.hyphens > 0)
            return false;
        words.push_back(k.text);
    }
    if (plan.affixes.empty())
        return plan.combinations < 2 || IsUniquelyDecodable(words);
    const std::set<std::string> keywords(words.begin(), words.end());
    std::set<std::string> affixWords;
    std::set<std::tuple<bool, std::string, bool>> forms;
    bool hyphen = false;
    for (const Affix& a : plan.affixes) {
        if (a.word.empty() || a.word.find('-') != std::string::npos || keywords.count(a.word) ||
            !forms.emplace(a.prefix, a.word, a.hyphen).second)
            return false;
        affixWords.insert(a.word);
        hyphen = hyphen || a.hyphen;
    }
    words.insert(words.end(), affixWords.begin(), affixWords.end());
    if (hyphen)
        words.push_back("-");
    return IsUniquelyDecodable(words);
}

// Every ordered sequence of 1 to `combinations` distinct keywords short enough for rows.
void joinKeywords(const Plan& plan, std::unordered_set<std::string>& names) {
    std::vector<bool> used(plan.keywords.size());
    std::string text;
    std::function<void(int, int)> extend = [&](int stripped, int depth) {
        for (std::size_t i = 0; i < plan.keywords.size(); ++i) {
            const Part& k = plan.keywords[i];
            if (stripped + k.shape.stripped >= plan.limit)
                break;
            if (used[i])
                continue;
            const std::size_t before = text.size();
            text += k.text;
            if (!text.empty())
                names.insert(text);
            if (depth + 1 < plan.combinations) {
                used[i] = true;
                extend(stripped + k.shape.stripped, depth + 1);
                used[i] = false;
            }
            text.resize(before);
        }
    };
    extend(0, 0);
}

std::uint64_t listRowsPerZone(const Plan& plan) {
    std::unordered_set<std::string> names;
    if (plan.combinations >= 2)
        joinKeywords(plan, names);
    else
        for (const Part& k : plan.keywords)
            names.insert(k.text);
    if (!plan.affixes.empty()) {
        const std::vector<std::string> base(names.begin(), names.end());
        for (const std::string& name : base) {
            const int stripped = ShapeOf(name).stripped;
            for (const Affix& a : plan.affixes) {
                if (stripped + a.shape.stripped >= plan.limit)
                    break;
                std::string joined = a.prefix ? a.word : name;
                if (a.hyphen)
                    joined += '-';
                joined += a.prefix ? name : a.word;
                names.insert(std::move(joined));
            }
        }
    }
    std::uint64_t rows = 0;
    std::vector<std::string> forms;
    for (const std::string& name : names) {
        forms.clear();
        RowForms(name, static_cast<std::size_t>(plan.limit), forms);
        rows += forms.size();
    }
    return rows;
}

// Limits beyond kLongestCountedLimit are not counted.
std::optional<Plan> planFor(const SearchInput& input, NameCount& out) {
    if (input.maxLength > kLongestCountedLimit) {
        out.exact = false;
        out.tooMany = true;
        return std::nullopt;
    }
    return makePlan(input);
}

NameCount withRows(NameCount out, std::uint64_t rowsPerZone, std::uint64_t zones) {
    out.rows = ProgressMeter::saturatingMul(rowsPerZone, zones);
    out.tooMany = out.rows == kMax;
    return out;
}

} // namespace

NameCount CountCandidateRows(const SearchInput& input) {
    NameCount out;
    const std::optional<Plan> plan = planFor(input, out);
    if (!plan)
        return out;
    const ShapeCount shapes = countByShape(*plan);
    out.exact = provablyDistinct(*plan);
    if (!out.exact && shapes.texts <= kListedNamesLimit) {
        out.exact = true;
        return withRows(out, listRowsPerZone(*plan), plan->zones);
    }
    return withRows(out, shapes.rowsPerZone, plan->zones);
}

NameCount ListCandidateRows(const SearchInput& input) {
    NameCount out;
    const std::optional<Plan> plan = planFor(input, out);
    return plan ? withRows(out, listRowsPerZone(*plan), plan->zones) : out;
}

NameCount CountCandidateRowsByLength(const SearchInput& input) {
    NameCount out;
    const std::optional<Plan> plan = planFor(input, out);
    if (!plan)
        return out;
    out.exact = provablyDistinct(*plan);
    return withRows(out, countByShape(*plan).rowsPerZone, plan->zones);
}

std::string DescribeNameCount(const NameCount& count) {
    if (count.tooMany)
        return "too many names to count";
    const std::string digits = std::to_string(count.rows);
    std::string text = count.exact ? "" : "at most ";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    text += count.rows == 1 ? " name" : " names";
    return text;
}

} // namespace zendrel
