#pragma once

#include <algorithm>
#include <string_view>

namespace zendrel {

// One number option of a search: its key in "param.txt", the value a workspace without that
// key gets, the range of its number field (a stored value beyond it is brought to the nearest
// limit) and where the field stands before the settings file is applied. The settings file,
// the headless program and the window's number fields all take these from here.
struct RunOption {
    std::string_view key;
    int fallback;
    int minimum;
    int maximum;
    int initial;

    constexpr int clamp(int value) const { return std::clamp(value, minimum, maximum); }
};

inline constexpr RunOption kCombinationsOption{"Combinations", 1, 1, 10, 1}; // udComb
inline constexpr RunOption kHyphensOption{"CountHyphens", 1, 1, 2, 1};       // udHyphens
inline constexpr RunOption kLinksOption{"Links", 2, 1, 100, 10};             // udLink
inline constexpr RunOption kTimeOutOption{"TimeOut", 50, 1, 1000, 100};      // udTime, seconds
inline constexpr RunOption kMaxLengthOption{"MaxLength", 30, 1, 63, 30};     // udMax
inline constexpr RunOption kResumeOption{"Resume", 0, 0, 100, 1};            // udAR

// Every number option, in the order of the settings file.
inline constexpr const RunOption* kRunOptions[] = {
    &kCombinationsOption, &kHyphensOption,   &kLinksOption,
    &kTimeOutOption,      &kMaxLengthOption, &kResumeOption,
};

} // namespace zendrel
