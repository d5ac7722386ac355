#pragma once

#include <QString>

namespace vorlane {

// Case conversions and transliteration of new names. Character classes follow
// the Windows-1251 code of each character; a letter outside that code page is
// a word letter, a combining mark belongs to the letter before it, and any
// other character outside it is a word delimiter.
QString lowerCase(const QString& text);
QString upperCase(const QString& text);
// Lower case, then capital first letters of the text and of each line.
QString FirstLetterUp(const QString& text);
// Lower case, then a capital at the start of each word.
QString UpFirstInEachWord(const QString& text);
// Russian Cyrillic to Latin letters.
QString Translit(const QString& text);

} // namespace vorlane
