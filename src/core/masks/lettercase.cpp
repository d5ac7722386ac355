#include "lettercase.h"

#include "core/platform/cp1251.h"

#include <QLocale>

namespace vorlane {

namespace {

enum class Kind { Letter, Delimiter, Neutral, Control };

Kind kindOf(QChar c) {
    const int code = cp1251Code(c);
    if (code < 0)
        return c.isLetter() ? Kind::Letter : Kind::Delimiter;
    if (code < 32)
        return Kind::Control;
    if ((code >= 65 && code <= 90) || (code >= 97 && code <= 122) || code == 168 || code == 184 ||
        code >= 192)
        return Kind::Letter;
    if ((code >= 48 && code <= 57) || code == 64)
        return Kind::Neutral;
    return Kind::Delimiter; // 32-47, 58-63, 91-96, 123-191 but the two letters Ё and ё
}

QString upperOf(QChar c) {
    return QLocale().toUpper(QString(c));
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
QString capitalise(const QString& text, bool atWords) {
    const QString low = lowerCase(text);
    QString out;
    out.reserve(low.size());
    bool next = true;
    for (const QChar c : low) {
        const Kind k = kindOf(c);
        if (k == Kind::Control || (atWords && k == Kind::Delimiter)) {
            next = true;
        } else if (k == Kind::Letter && next) {
            out += upperOf(c);
            next = false;
            continue;
        }
        out += c;
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
