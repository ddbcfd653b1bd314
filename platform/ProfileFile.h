#pragma once

#include "platform/ProfileDocument.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zendrel {

using ProfileEntries = std::vector<std::pair<std::string, std::string>>;

// Reads the profile file at `path`; a missing or unreadable file reads as empty.
ProfileDocument LoadProfile(const std::string& path);

// The value of `key` in `section` of the file at `path`, whole, or `defaultValue` when the file
// or the key is missing.
std::string GetProfileString(const std::string& path, std::string_view section,
                             std::string_view key, std::string_view defaultValue = {});

// Updates one key in the file at `path`, keeping everything else in it; the file is replaced
// atomically. Throws FileWriteError "Unable to write to <path>" when the system refuses.
void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

// Updates many keys with one replacement of the file, as if each had been written in turn. When
// the system refuses, none of them is written, the old file stays as it was and FileWriteError
// "Unable to write to <path>" is thrown.
void WriteProfileStrings(const std::string& path, std::string_view section,
                         const ProfileEntries& entries);

} // namespace zendrel
