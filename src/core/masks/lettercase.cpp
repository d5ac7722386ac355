#include "lettercase.h"

#include "core/platform/cp1251.h"

#include <QLocale>

namespace vorlane {

namespace {

enum class Kind { Letter, Delimiter, Neutral, Control, Mark };

Kind kindOf(char32_t c) {
    const int code = c <= 0xFFFF ? cp1251Code(QChar(char16_t(c))) : -1;
    if (code < 0) {
        if (QChar::isMark(c))
            return Kind::Mark;
        return QChar::isLetter(c) ? Kind::Letter : Kind::Delimiter;
    }
    if (code < 32)
        return Kind::Control;
    if ((code >= 65 && code <= 90) || (code >= 97 && code <= 122) || code >= 192)
        return Kind::Letter;
    if (code >= 128) // the mixed block: Cyrillic letters among signs
        return QChar::isLetter(c) ? Kind::Letter : Kind::Delimiter;
    if ((code >= 48 && code <= 57) || code == 64)
        return Kind::Neutral;
    return Kind::Delimiter; // 32-47, 58-63, 91-96, 123-127
}

// The code point at `i`, a surrogate pair taken whole; `i` moves past it.
char32_t nextCodePoint(const QString& s, qsizetype& i) {
    const QChar c = s[i++];
    if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i++]);
    return c.unicode();
}

} // namespace

QString lowerCase(const QString& text) {
    return QLocale().toLower(text);
}

QString upperCase(const QString& text) {
    return QLocale().toUpper(text);
}

namespace {
// Lower case, then a capital for the first word letter after a start: the
// text's start, a control character and, with `atWords`, a word delimiter.
// Combining marks belong to the letter before them: they neither start a
// word nor are split from their letter when it is upper-cased.
QString capitalise(const QString& text, bool atWords) {
    const QString low = lowerCase(text);
    const QLocale locale;
    QString out;
    out.reserve(low.size());
    bool next = true;
    qsizetype i = 0;
    while (i < low.size()) {
        const qsizetype start = i;
        const Kind k = kindOf(nextCodePoint(low, i));
        if (k == Kind::Control || (atWords && k == Kind::Delimiter)) {
            next = true;
        } else if (k == Kind::Letter && next) {
            qsizetype j = i;
            while (j < low.size() && kindOf(nextCodePoint(low, j)) == Kind::Mark)
                i = j;
            out += locale.toUpper(low.mid(start, i - start));
            next = false;
            continue;
        }
        out += QStringView(low).mid(start, i - start);
    }
    return out;
}
} // namespace

QString FirstLetterUp(const QString& text) {
    return capitalise(text, false);
}

QString UpFirstInEachWord(const QString& text) {
    return capitalise(text, true);
}

QString Translit(const QString& text) {
    static const char* const kLatin[32] = {"A", "B",  "V",  "G",   "D",  "E", "ZH", "Z",  "I",  "J", "K",
                                           "L", "M",  "N",  "O",   "P",  "R", "S",  "T",  "U",  "F", "KH",
                                           "C", "CH", "SH", "SHH", "''", "Y", "'",  "EH", "JU", "JA"};
    QString out;
    out.reserve(text.size() + text.size() / 4);
    for (const QChar c : text) {
        const int code = cp1251Code(c);
        if (code == 168) {
            out += QLatin1String("JO");
        } else if (code == 184) {
            out += QLatin1String("jo");
        } else if (code >= 192 && code <= 223) {
            out += QLatin1String(kLatin[code - 192]);
        } else if (code >= 224) {
            out += QString::fromLatin1(kLatin[code - 224]).toLower();
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace vorlane
