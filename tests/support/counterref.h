#pragma once

#include <QString>

// The reference that the computed counter is checked against: a counter
// advanced one step at a time, exactly as the stepping rule says, counting
// characters as code points.
QString counterTextStepped(int width, const QString& start, const QString& alphabet, qint64 steps);
