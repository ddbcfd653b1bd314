#pragma once

#include <string_view>

namespace zendrel {

// What a gateway's reply says about a name.
enum class ReplyState { Hold, NotAvailable, Available, NoData };

// The State column text of `state`: "hold", "is not available", "is available" or "no data".
std::string_view ReplyStateText(ReplyState state);

// Whether a row with `state` carries a check mark (worth attention: free or on hold).
bool ReplyStateChecked(ReplyState state);

} // namespace zendrel
