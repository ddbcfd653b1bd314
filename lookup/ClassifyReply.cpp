// Turns a gateway's reply into a verdict and a row's extra columns, driven entirely by a method
// of the method table: the program knows no gateway's wording.
#include "lookup/ClassifyReply.h"

#include "lookup/FieldExtraction.h"
#include "lookup/SplitFields.h"
#include "lookup/TextRules.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {

namespace {

bool IsReset(std::string_view item) {
    return item == "~~";
}

// Walks the extraction steps of one method over one reply, column by column.
class Extraction {
public:
    Extraction(ReplyRow& row, const MethodEntry& method, std::string_view reply, int columns)
        : row_(row), items_(method.items), reply_(reply), work_(reply), columns_(columns) {}

    void run() {
        // The last item is the classification item, never a step.
        std::size_t last = items_.size() - 1;
        for (std::size_t i = 1; i < last && column_ < columns_; ++i) {
            std::string_view item = TrimBlanks(items_[i]);
            if (item.empty()) {
                ++column_;
            } else if (item.front() != '~') {
                writeField(item);
                ++column_;
            } else if (IsReset(item)) {
                work_ = reply_;
            } else if (!position(item.substr(1))) {
                i = skipSection(i, last);
                if (i == last)
                    return;
            }
        }
    }

private:
    void writeField(std::string_view item) {
        if (std::optional<std::string> value = ExtractField(item, work_))
            row_.setExtraColumn(column_, *value);
    }

    // Applies "count~marker"; false when the section was not found.
    bool position(std::string_view countAndMarker) {
        std::size_t tilde = countAndMarker.find('~');
        if (tilde == std::string_view::npos)
            return false;
        std::optional<int32_t> count = ReadDataInteger(countAndMarker.substr(0, tilde));
        if (!count)
            return false;
        PositionSection(work_, *count, countAndMarker.substr(tilde + 1));
        return !work_.empty();
    }

    // Passes over the steps of a section that was not found, so that each still stands for its
    // column. Returns the index just before the next reset (which is then handled), or `last`.
    std::size_t skipSection(std::size_t i, std::size_t last) {
        for (std::size_t j = i + 1; j < last; ++j) {
            std::string_view item = TrimBlanks(items_[j]);
            if (IsReset(item))
                return j - 1;
            if (item.empty() || item.front() != '~')
                ++column_;
        }
        return last;
    }

    ReplyRow& row_;
    const std::vector<std::string>& items_;
    std::string_view reply_;
    std::string_view work_;
    int columns_;
    int column_ = 0;
};

// The verdict and the place of the phrase that gave it (none for "no data").
struct Verdict {
    ReplyState state = ReplyState::NoData;
    std::optional<std::size_t> index;
};

Verdict Judge(std::string_view reply, const std::vector<std::string>& list) {
    std::optional<std::size_t> taken;
    std::optional<std::size_t> free;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string& phrase = list[i];
        if (phrase.empty() || reply.find(phrase) == std::string_view::npos)
            continue;
        switch (i % 3) {
        case 0:
            if (!taken)
                taken = i;
            break;
        case 1:
            if (!free)
                free = i;
            break;
        default:
            return {ReplyState::Hold, i};
        }
    }
    if (taken)
        return {ReplyState::NotAvailable, taken};
    if (free)
        return {ReplyState::Available, free};
    return {};
}

} // namespace

ReplyState JudgeReply(std::string_view reply, std::string_view phrases) {
    return Judge(reply, SplitFields('|', phrases)).state;
}

Judgement JudgeReplyWithPhrase(std::string_view reply, std::string_view phrases) {
    const std::vector<std::string> list = SplitFields('|', phrases);
    const Verdict v = Judge(reply, list);
    Judgement out;
    out.state = v.state;
    if (v.index)
        out.phrase = DecidingPhrase{*v.index, list[*v.index]};
    return out;
}

ClassifyOutcome ClassifyReply(ReplyRow& row, std::string_view reply, int32_t methodNumber,
                              const MethodTable& methods) {
    row.setChecked(false);
    ClassifyOutcome outcome;
    if (reply.empty()) {
        row.setStateText(ReplyStateText(ReplyState::NoData));
        return outcome;
    }
    outcome.replyEmpty = false;
    const MethodEntry* method = methodNumber >= 1 ? FindMethod(methods, methodNumber) : nullptr;
    std::string lowered;
    if (method) {
        lowered = LowerCase(reply);
        outcome.state = JudgeReply(lowered, method->classification());
    }
    row.setStateText(ReplyStateText(outcome.state));
    if (outcome.state == ReplyState::Hold || outcome.state == ReplyState::NotAvailable) {
        try {
            Extraction(row, *method, lowered, methods.extraColumnCount()).run();
        } catch (const std::exception&) {
            // A column that cannot be written ends the extraction; earlier values stay.
        }
    }
    row.setChecked(ReplyStateChecked(outcome.state));
    return outcome;
}

} // namespace zendrel
