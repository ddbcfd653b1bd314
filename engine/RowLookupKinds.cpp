#include "engine/RowLookupKinds.h"

#include "engine/LookupConnection.h"

namespace zendrel {

std::unique_ptr<RowLookup> MakeRowLookup(const LookupContext& context, LookupRequest request) {
    return std::make_unique<TMyHTTPCLI>(context, std::move(request));
}

} // namespace zendrel
