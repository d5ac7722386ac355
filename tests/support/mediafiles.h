#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Sound files for tests and benchmarks: MPEG frames and RIFF chunks built
// byte by byte, and real files made by the encoders lame and sox.
namespace media {

// One MPEG audio frame: the four header bytes, then zeros up to `length`.
QByteArray frame(quint32 header, int length);
// `count` frames in a row, every `padEvery`-th one (from the first) with the
// padding bit set and one byte longer.
QByteArray frames(quint32 header, int length, int count, int padEvery = 0);
// An ID3v2.3 tag around `body`.
QByteArray id3v2(const QByteArray& body);

// A RIFF chunk: id, little-endian size, data and the pad byte of an odd size.
QByteArray chunk(const char* id, const QByteArray& data, bool pad = true);
// The 16 bytes of a "fmt " chunk's data (PCM unless `formatTag` says otherwise).
QByteArray fmtData(int channels, int sampleRate, int bits, int byteRate = -1, int formatTag = 1);
// "RIFF", its size, "WAVE" and the chunks.
QByteArray riff(const QByteArray& chunks);

// Runs a program to its end; true when it exits with 0. Its error output
// goes to `errors` when given.
bool run(const QString& program, const QStringList& args, QString* errors = nullptr);
// A sine tone made by sox: `seconds` long, then `soxFormat` (e.g. "-b 16 -c 2").
bool sine(const QString& path, double seconds, int sampleRate, const QStringList& soxFormat);

} // namespace media
