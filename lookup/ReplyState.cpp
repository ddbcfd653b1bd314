#include "lookup/ReplyState.h"

namespace zendrel {

std::string_view ReplyStateText(ReplyState state) {
    switch (state) {
    case ReplyState::Hold:
        return "hold";
    case ReplyState::NotAvailable:
        return "is not available";
    case ReplyState::Available:
        return "is available";
    case ReplyState::NoData:
        break;
    }
    return "no data";
}

bool ReplyStateChecked(ReplyState state) {
    return state == ReplyState::Hold || state == ReplyState::Available;
}

} // namespace zendrel
