#pragma once

#include "engine/RowLookup.h"

#include <memory>

namespace zendrel {

// The lookup for a request, chosen by the form of its address. Every address that no other
// kind claims is fetched as a web page, as zone tables have always been read.
std::unique_ptr<RowLookup> MakeRowLookup(const LookupContext& context, LookupRequest request);

} // namespace zendrel
