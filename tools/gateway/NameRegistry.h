#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace zendrel::gateway {

enum class NameStatus { Free, Registered, Hold };

// The gateway's idea of which names are taken: every name not listed is free.
class NameRegistry {
public:
    // Adds the names that ship with the gateway, chosen to meet the sample word lists.
    void addBuiltIn();

    // Adds the names of a list file: one name per line, "NAME" for registered, "NAME hold" for
    // on hold, "#" starting a comment. Returns false when the file cannot be read.
    bool addFile(const std::string& path);

    // Adds the names of list text in the file's format.
    void addText(std::string_view text);

    // The status of `name`, compared without regard to case.
    NameStatus status(std::string_view name) const;

private:
    std::unordered_map<std::string, NameStatus> names_;
};

} // namespace zendrel::gateway
