#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zendrel {

// Texts below the window are single-byte; Latin-1 maps every byte to one character and back, so
// nothing a user typed or a file held is altered on its way through a widget.
inline QString toQ(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters beyond Latin-1 cannot be stored in a single byte; Qt turns them into '?'.
inline std::string fromQ(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace zendrel
