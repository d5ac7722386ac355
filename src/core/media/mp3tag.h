#pragma once

#include <QString>

#include <optional>

namespace vorlane {

// One field of the ID3 version 1 tag in a file's last 128 bytes: 'T' title,
// 'A' artist, 'C' album, 'Y' year, 'R' comment. Empty when the file has no
// tag; nothing when the file cannot be opened. Text that is not valid UTF-8
// (allowing for a last character cut off at the field's end) is read as
// Windows-1251. Line breaks in the field come back as blanks.
std::optional<QString> ReadMp3TagField(const QString& path, char field);

} // namespace vorlane
