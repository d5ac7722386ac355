#pragma once

#include <QString>

// A counter advanced one step at a time, exactly as the stepping rule says:
// the reference that the computed counter is checked against.
QString counterTextStepped(int width, const QString& start, const QString& alphabet, qint64 steps);
