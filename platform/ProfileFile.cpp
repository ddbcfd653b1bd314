#include "platform/ProfileFile.h"

#include "platform/Files.h"

namespace zendrel {

namespace {

std::string writeErrorText(const std::string& path) {
    return "Unable to write to " + path;
}

} // namespace

ProfileDocument LoadProfile(const std::string& path) {
    std::string bytes;
    ReadFileBytes(path, bytes);
    return ProfileDocument::Parse(bytes);
}

std::string GetProfileString(const std::string& path, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
    auto value = LoadProfile(path).value(section, key);
    return value ? *value : std::string(defaultValue);
}

void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    WriteProfileStrings(path, section, {{std::string(key), std::string(value)}});
}

void WriteProfileStrings(const std::string& path, std::string_view section,
                         const ProfileEntries& entries) {
    // The file is read again for every update rather than cached, so that edits made by hand
    // while the program runs are kept.
    std::string bytes;
    if (!ReadFileBytes(path, bytes) && FileExists(path))
        throw FileWriteError(writeErrorText(path)); // rewriting it would lose what it holds
    ProfileDocument doc = ProfileDocument::Parse(bytes);
    for (const auto& [key, value] : entries)
        doc.set(section, key, value);
    WriteFileAtomically(path, doc.serialize(), writeErrorText(path));
}

} // namespace zendrel
