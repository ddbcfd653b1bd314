#pragma once

#include <QString>
#include <string>

namespace zendrel {

// Word lists keep the bytes of their files; the window shows them as text. Valid UTF-8 is shown
// decoded, anything else byte for byte as Latin-1, so no file ever fails to display.
QString WordDisplayText(const std::string& bytes);

// The bytes for a word the user typed: the bytes it came from when the text is unchanged, so
// confirming an edit never recodes a word; otherwise the encoding the old word was shown in
// (single bytes, or UTF-8 for new words and words that were UTF-8).
std::string WordBytes(const QString& text, const std::string& previousBytes = {});

} // namespace zendrel
