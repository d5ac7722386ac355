#pragma once

#include <QByteArray>
#include <QString>

namespace vorlane {

// Windows-1251: its codes define the letter classes of the case conversions
// and the transliteration table, and it is the fallback for tag text that is
// not UTF-8.

// The code of a character (0..255), or -1 when the code page lacks it.
int cp1251Code(QChar c);
// Bytes of the code page as text.
QString fromCp1251(const QByteArray& bytes);

} // namespace vorlane
