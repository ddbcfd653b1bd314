#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace zendrel::test {

// A name for a parameterised case taken from the file it reads ("whois/de__registered__google.txt"
// becomes "whois_de_registered_google"): letters and digits kept, every other run one "_", the
// extension dropped. Such names stay the same from build to build and can be picked with -R.
inline std::string CaseNameFromFile(std::string_view file) {
    const std::size_t dot = file.rfind('.');
    if (dot != std::string_view::npos && dot > file.rfind('/') + 1)
        file = file.substr(0, dot);
    std::string name;
    for (char c : file) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    return name;
}

} // namespace zendrel::test
