#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vorlane {

// One field of the ID3 version 1 tag in a file's last 128 bytes: 'T' title,
// 'A' artist, 'C' album, 'Y' year, 'R' comment. Empty when the file has no
// tag; nothing when the file cannot be opened. Text that is not valid UTF-8
// (allowing for a last character cut off at the field's end) is read as
// Windows-1251. Line breaks in the field come back as blanks.
// 'N' gives the ID3v1.1 track number as two digits ("07") and 'G' the name
// of the genre byte, both empty when the tag has none.
std::optional<QString> ReadMp3TagField(const QString& path, char field);

// A file's last 128 bytes when it has that many; empty when it is shorter,
// nothing when it cannot be opened.
std::optional<QByteArray> readId3v1Block(const QString& path);
// One field, as ReadMp3TagField gives it, of such a block; empty unless the
// block is an ID3v1 tag.
QString id3v1Field(QByteArrayView tag, char field);

} // namespace vorlane
