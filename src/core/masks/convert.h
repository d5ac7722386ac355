#pragma once

#include "core/masks/applymask.h"

#include <QStringList>

namespace vorlane {

class FileList;
class NameLines;

// The selected lines that are files: where they start and end and how many.
struct SelectionSpan {
    int firstIndex = -1;
    int lastIndex = -1;
    int lastCounter = -1;
    int selectedCount = 0;
};
SelectionSpan selectionSpan(const FileList& list);

// What the counters of a selected file are: its place from 0 and the number
// of files counted with it.
struct CounterPlace {
    int counter = -1;
    int total = 0;
};
// Per line: the selected file lines counted over the whole selection or, with
// `perFolder`, over the selected files of the line's separator group (the
// lines between two separators). Other lines get {-1, 0}.
QVector<CounterPlace> counterPlaces(const FileList& list, bool perFolder);

// Names from a mask for every selected file line, counted from 0 in list
// order (with `perFolder`, from 0 in each separator group); a malformed mask
// gives the empty name. With `append` the names are appended to `target` one
// per file, else each goes to its file's line. Returns the number of files
// converted.
int convertSelected(const FileList& list, const MaskSpec& naming, const MaskContext& ctx, NameLines& target,
                    bool append, bool perFolder = false);

// The mask editor's preview of the first and the last selected file; both
// "<Error>" when the mask is malformed or nothing is selected.
struct MaskPreview {
    QString first;
    QString last;
};
MaskPreview previewMask(const FileList& list, const SelectionSpan& span, const MaskSpec& naming,
                        const MaskContext& ctx, bool perFolder = false);

// The stored masks: Store puts the text first (dropping an entry equal to it
// without regard to case); Delete removes the text's entry and returns the
// text that follows it.
void storeMask(QStringList& masks, const QString& text);
QString deleteMask(QStringList& masks, const QString& text);
// The part of a pattern menu caption before its " - ".
QString patternOf(const QString& caption);
// The pattern menu's captions; "-" stands for a separator.
const QStringList& patternCaptions();
// The captions of the elements that "Extended mask elements" makes valid,
// which the menu lists after the others, greyed while the option is off.
const QStringList& extendedPatternCaptions();
// The masks of a first start.
const QStringList& defaultMasks();

// The status bar's reminder of how added files are named: "Mask: " + the mask
// and the letter conversions that are on ("Mask: Best-[c2,'1'].[e], First
// letter up"); empty while files are added under their own names (the mask
// "[n].[e]" without a letter conversion).
QString addingMaskText(const MaskSpec& naming);

} // namespace vorlane
