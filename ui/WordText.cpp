#include "ui/WordText.h"

#include <QByteArray>

namespace zendrel {

QString WordDisplayText(const std::string& bytes) {
    QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text = QString::fromUtf8(raw);
    // The decoder replaces invalid sequences (and may drop a byte-order mark), so only a text
    // that encodes back to the same bytes is a faithful reading.
    if (text.toUtf8() == raw)
        return text;
    return QString::fromLatin1(raw);
}

std::string WordBytes(const QString& text, const std::string& previousBytes) {
    if (!previousBytes.empty() && WordDisplayText(previousBytes) == text)
        return previousBytes;
    QByteArray raw = text.toUtf8();
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

} // namespace zendrel
