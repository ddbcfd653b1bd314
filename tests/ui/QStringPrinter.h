#pragma once

#include <QString>
#include <ostream>

// Failure messages show texts, not the bytes of a QString.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
