#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

// True when `urlTemplate` holds at most one "%s" and no "%" other than "%s" and "%%". A zone
// with any other template is treated like a zone without a method.
bool IsUsableUrlTemplate(std::string_view urlTemplate);

// The request address: `urlTemplate` with `name` in place of its "%s" and "%%" made "%".
// Bytes of `name` outside letters, digits and "-._~" are percent-encoded, so no typed name can
// break the request line. Nothing when the template is not usable.
std::optional<std::string> ExpandUrlTemplate(std::string_view urlTemplate, std::string_view name);

} // namespace zendrel
