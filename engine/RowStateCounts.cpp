#include "engine/RowStateCounts.h"

#include "engine/ResultStore.h"
#include "lookup/ReplyState.h"

namespace zendrel {

StateGroup StateGroupOf(std::string_view state) {
    // The length tells the texts apart before any comparison: this runs for every row of a
    // million-row list each time the progress is shown.
    switch (state.size()) {
    case 0:
        return StateGroup::Open;
    case 4:
        if (state == ReplyStateText(ReplyState::Hold))
            return StateGroup::Hold;
        break;
    case 7:
        if (state == ReplyStateText(ReplyState::NoData))
            return StateGroup::NoData;
        if (state == "waiting")
            return StateGroup::Waiting;
        break;
    case 9:
        if (state == "no method")
            return StateGroup::NoData; // no answer either
        break;
    case 12:
        if (state == ReplyStateText(ReplyState::Available))
            return StateGroup::Available;
        break;
    case 16:
        if (state == ReplyStateText(ReplyState::NotAvailable))
            return StateGroup::NotAvailable;
        break;
    default:
        break;
    }
    return StateGroup::Open; // a progress text: the lookup is under way
}

void RowStateCounts::add(StateGroup group) {
    switch (group) {
    case StateGroup::Available:
        ++available;
        break;
    case StateGroup::NotAvailable:
        ++notAvailable;
        break;
    case StateGroup::Hold:
        ++hold;
        break;
    case StateGroup::NoData:
        ++noData;
        break;
    case StateGroup::Waiting:
        ++waiting;
        break;
    case StateGroup::Open:
        ++open;
        break;
    }
}

RowStateCounts& RowStateCounts::operator+=(const RowStateCounts& other) {
    available += other.available;
    notAvailable += other.notAvailable;
    hold += other.hold;
    noData += other.noData;
    waiting += other.waiting;
    open += other.open;
    return *this;
}

RowStateCounts CountRowStates(const ResultStore& rows, std::size_t first) {
    RowStateCounts counts;
    for (std::size_t row = first; row < rows.size(); ++row)
        counts.add(StateGroupOf(rows.subItem(row, ResultStore::kState)));
    return counts;
}

} // namespace zendrel
