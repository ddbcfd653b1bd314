#include "engine/RowStateCounts.h"

#include "engine/ResultStore.h"
#include "lookup/ReplyState.h"

namespace zendrel {

StateGroup StateGroupOf(std::string_view state) {
    if (state.empty())
        return StateGroup::Open;
    if (state == ReplyStateText(ReplyState::Available))
        return StateGroup::Available;
    if (state == ReplyStateText(ReplyState::NotAvailable))
        return StateGroup::NotAvailable;
    if (state == ReplyStateText(ReplyState::Hold))
        return StateGroup::Hold;
    if (state == ReplyStateText(ReplyState::NoData) || state == "no method")
        return StateGroup::NoData;
    if (state == "waiting")
        return StateGroup::Waiting;
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

RowStateCounts CountRowStates(const ResultStore& rows) {
    RowStateCounts counts;
    for (std::size_t row = 0; row < rows.size(); ++row)
        counts.add(StateGroupOf(rows.subItem(row, ResultStore::kState)));
    return counts;
}

} // namespace zendrel
