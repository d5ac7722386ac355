#pragma once

#include "core/media/playtime.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace vorlane {

// The tag fields a mask can use, read from whatever tag a file's format has.
// Text is one line: CR, LF and NUL come back as blanks.
struct TagFields {
    QString title, artist, album, year, comment;
    QString track; // two digits at least ("07"), the number before any "/"
    QString genre;

    // The field of a mask letter: T, A, C, Y, R, N (track) or G (genre).
    QString field(char letter) const;
};

// Tags of every kind. An MP3 gives each field from its ID3v2 tag and, where
// that has none, from its ID3v1 tag; FLAC, Ogg, Opus, MP4, WMA, APE, WavPack,
// AIFF, WAV and the other formats the tag library knows (chosen by the file
// name's extension) give their own tags; any other file gives its ID3v1 tag.
// A damaged tag gives empty fields. Only the fields of `letters` (as
// TagFields::field names them) are read; the others stay empty.
inline constexpr char kAllTagFields[] = "TACYRNG";
TagFields readAllTags(ByteSource& source, const QString& fileName, QByteArrayView letters = kAllTagFields);
// The same for a file on disk; nothing when it cannot be opened.
std::optional<TagFields> readAllTags(const QString& path, QByteArrayView letters = kAllTagFields);

// The file name's extension names a format whose playing time the tag
// library's audio properties give.
bool hasAudioProperties(const QString& fileName);
// That playing time in seconds; nothing when the format is not one of those
// or the file holds no audio stream the library understands.
std::optional<double> audioSeconds(ByteSource& source, const QString& fileName);

// The name of an ID3v1 genre byte; empty for 255 and other unknown values.
QString id3v1GenreName(int index);

} // namespace vorlane
