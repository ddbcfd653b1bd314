#pragma once

namespace zendrel {

enum class MessageIcon {
    Error,
    Information,
    Question,
};

// A message the user sees at a fixed point of a search: the window shows it in a task-modal box,
// the headless program prints its text.
struct UserMessage {
    const char* text;
    const char* caption;
    MessageIcon icon;
};

// Search was pressed with no zone checked.
inline constexpr UserMessage kNoZoneMessage{"You must select domain type. For example \".com\"",
                                            "Attention", MessageIcon::Error};
// The summary at the end of every run, also one ended by Stop.
inline constexpr UserMessage kRunSummaryMessage{"Search is completed", "Domains",
                                                MessageIcon::Information};

} // namespace zendrel
