#pragma once

#include <QString>

namespace vorlane {

// Quoted text of counters: "a-e" gives "abcde" (a "-" between two characters
// stands for the characters strictly between them).
QString expandQuoted(const QString& raw);

// The text of a fixed-width counter: the start text padded (or cut) to the
// width, advanced `steps` times through the alphabet. Computed digit by digit
// with cycle skipping, giving exactly what stepping one at a time gives.
QString counterText(int width, const QString& start, const QString& alphabet, qint64 steps);

} // namespace vorlane
