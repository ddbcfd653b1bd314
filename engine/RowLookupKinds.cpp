#include "engine/RowLookupKinds.h"

#include "engine/LookupConnection.h"
#include "engine/WhoisLookup.h"
#include "lookup/WhoisAddress.h"

namespace zendrel {

std::unique_ptr<RowLookup> MakeRowLookup(const LookupContext& context, LookupRequest request) {
    if (IsWhoisAddress(request.address))
        return std::make_unique<TWhoisLookup>(context, std::move(request));
    return std::make_unique<TMyHTTPCLI>(context, std::move(request));
}

} // namespace zendrel
