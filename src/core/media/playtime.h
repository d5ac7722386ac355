#pragma once

#include "core/platform/prompts.h"

#include <QByteArrayView>
#include <QString>

namespace vorlane {

// The bytes of a file, or of memory, read at any offset.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    // Up to `n` bytes at `pos` into `buf`: the count read, short only at the
    // end, or -1 after a failure whose errno error() then gives.
    virtual qint64 read(qint64 pos, char* buf, qint64 n) = 0;
    virtual int error() const { return 0; }
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(QByteArrayView bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    qint64 read(qint64 pos, char* buf, qint64 n) override;

private:
    QByteArrayView m_bytes;
};

// An open descriptor of a regular file; the caller closes it.
class FileSource : public ByteSource {
public:
    FileSource(int fd, qint64 size) : m_fd(fd), m_size(size) {}
    qint64 size() const override { return m_size; }
    qint64 read(qint64 pos, char* buf, qint64 n) override;
    int error() const override { return m_error; }

private:
    int m_fd;
    qint64 m_size;
    int m_error = 0;
};

// The playing time of MPEG audio: every frame walked, from the first to the
// last the file holds.
struct Mp3Time {
    double seconds = 0;
    qint64 frames = 0;
    // The frame count that a Xing/Info or VBRI header in the first frame
    // states, -1 without one: a cross-check against the walk, never the answer.
    qint64 statedFrames = -1;
    int readError = 0; // errno of a failed read that ended the walk
};
Mp3Time walkMp3(ByteSource& source);

// The playing time of a RIFF WAVE file from its "fmt " and "data" chunks:
// data size x 8 / channels / sample rate / bits per sample for sound stored
// sample by sample, data size / byte rate for compressed sound.
struct WavTime {
    double seconds = 0;
    QString error;     // the first line of the failure's message; empty on success
    int readError = 0; // errno behind a failed read
};
WavTime readWav(ByteSource& source);

// Which counter a file's extension chooses (".mp3" or ".wav" in any case).
// With `allTags` ("Read tags of every kind"), the other formats whose audio
// properties the tag library reads (FLAC, Ogg, Opus, M4A, ...) are Tagged.
enum class TimeKind { None, Mp3, Wav, Tagged };
TimeKind timeKindOf(const QString& path);
TimeKind timeKindOf(const QString& path, bool allTags);

// A file's playing time in whole seconds; 0 after a message box on failure.
qint32 CountWavTime(const QString& path, Prompts& prompts);
qint32 CountMp3Time(const QString& path, Prompts& prompts);
// The time the tag library's audio properties give, rounded to the nearest
// second; 0 after a message box when it gives none.
qint32 CountTaggedTime(const QString& path, Prompts& prompts);
// The counter that the extension chooses; 0 without a message for other files.
qint32 CountPlayTime(const QString& path, Prompts& prompts, bool allTags = false);

} // namespace vorlane
