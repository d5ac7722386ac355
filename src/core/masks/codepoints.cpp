#include "codepoints.h"

namespace vorlane {

namespace {
// Length in UTF-16 units of the character at `i`.
qsizetype unitsAt(QStringView s, qsizetype i) {
    return s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate() ? 2 : 1;
}
} // namespace

std::u32string toCodePoints(QStringView text) {
    std::u32string out;
    out.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = unitsAt(text, i);
        out += n == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : char32_t(text[i].unicode());
        i += n;
    }
    return out;
}

QString fromCodePoints(std::u32string_view codePoints) {
    QString out;
    out.reserve(qsizetype(codePoints.size()));
    for (const char32_t c : codePoints) {
        if (QChar::requiresSurrogates(c)) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(char16_t(c));
        }
    }
    return out;
}

qsizetype codePointCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i))
        ++count;
    return count;
}

QString midCodePoints(const QString& text, qsizetype from, qsizetype count) {
    qsizetype i = 0;
    for (; from > 0 && i < text.size(); --from)
        i += unitsAt(text, i);
    qsizetype end = i;
    for (; count > 0 && end < text.size(); --count)
        end += unitsAt(text, end);
    return text.mid(i, end - i);
}

} // namespace vorlane
