#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vorlane {

// Masks count characters as code points: a surrogate pair is one character,
// and so is a lone surrogate (the file-name codec keeps stray bytes as such).
std::u32string toCodePoints(QStringView text);
QString fromCodePoints(std::u32string_view codePoints);
qsizetype codePointCount(QStringView text);
// `count` characters of `text` from the 0-based character `from` on.
QString midCodePoints(const QString& text, qsizetype from, qsizetype count);

} // namespace vorlane
