#include "ui/WordText.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>

namespace zendrel {

QString WordDisplayText(const std::string& bytes) {
    QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = decode(raw);
    // The decoder replaces invalid sequences, so only a text that encodes back to the same bytes
    // is a faithful reading.
    if (!decode.hasError() && text.toUtf8() == raw)
        return text;
    return QString::fromLatin1(raw);
}

std::string WordBytes(const QString& text, const std::string& previousBytes) {
    QString previous = WordDisplayText(previousBytes);
    if (!previousBytes.empty() && previous == text)
        return previousBytes;
    // A word read as single bytes stays single bytes when the user changes it, as long as every
    // character still fits in one.
    bool singleBytes =
        !previousBytes.empty() && previous.toUtf8() != QByteArray::fromStdString(previousBytes);
    bool fitsLatin1 =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xff; });
    QByteArray raw = singleBytes && fitsLatin1 ? text.toLatin1() : text.toUtf8();
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

} // namespace zendrel
