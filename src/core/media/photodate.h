#pragma once

#include <QDateTime>
#include <QString>

namespace vorlane {

// The format of the date element when the mask gives none: "2026-12-08".
inline constexpr char kDefaultDateFormat[] = "yyyy-MM-dd";

// The date a file stands for, in local time. For a JPEG, a TIFF, a camera raw
// file or a HEIF/AVIF picture (told by content, not by extension) the date the
// picture was taken: its Exif DateTimeOriginal, else its DateTimeDigitized.
// For everything else, and for pictures without a readable date, the file's
// modification time. Invalid only when the file cannot be stat'ed at all.
// Damaged pictures never throw, crash or hang; safe to call from any thread.
QDateTime fileDate(const QString& path);

// True when `format` (Qt's date-format letters) can give a part of a name:
// it holds no "/" or other path delimiter, no CR, LF or NUL.
bool validDateFormat(const QString& format);

// `dateTime` in `format`, in the C locale so that a name does not depend on
// the user's language ("MMMM" is "December"). A path delimiter that the date
// brings (a time-zone name) becomes "-", CR, LF and NUL become blanks; an
// invalid date gives the empty text.
QString dateText(const QDateTime& dateTime, const QString& format);

} // namespace vorlane
