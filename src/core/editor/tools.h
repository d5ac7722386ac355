#pragma once

#include <QStringList>
#include <QStringView>

namespace vorlane {

// Text tools of the editors' context menu, on lines.

// Every line padded on the left to the length of the longest.
QStringList rightAlign(const QStringList& lines);
// Leading blanks (spaces only) removed.
QStringList leftAlign(const QStringList& lines);
// Lines padded on the left so that the dots of their extensions stand in one
// column; a line without extension ends in the column before it.
QStringList alignByDot(const QStringList& lines);
// The selected text's lines sorted by the locale without regard to case, each
// ending in CR LF (descending: in reverse order).
QString sortSelectedText(const QString& text, bool descending);
// The text with each line break, LF or CR LF, as CR LF; a CR on its own stays.
// One pass: replacing LF by CR LF in place moves the rest of a large text
// again for every batch of lines.
QString withCrLf(QStringView text);
// How much of a name F2 selects for editing: the part before its last dot,
// the whole name when it has no dot or only a leading one (".profile").
qsizetype nameStemLength(const QString& name);

} // namespace vorlane
