// libFuzzer harness for the playing-time and tag readers: random bytes as an
// MP3 stream and as a WAV file, and as a file of each format the tag reader
// knows (tags and audio properties).
#include "core/media/playtime.h"
#include "core/media/tagreader.h"

#include <QByteArrayView>

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    vorlane::MemorySource mp3(bytes);
    const vorlane::Mp3Time m = vorlane::walkMp3(mp3);
    if (!std::isfinite(m.seconds) || m.seconds < 0 || m.frames < 0 || m.readError != 0)
        __builtin_trap();
    // Walked frames are at least 24 bytes long (MPEG-2 Layer III, 8 kbit/s at 24000 Hz).
    if (m.frames > qint64(size) / 24 + 1)
        __builtin_trap();

    vorlane::MemorySource wav(bytes);
    const vorlane::WavTime w = vorlane::readWav(wav);
    if (!std::isfinite(w.seconds) || w.seconds < 0 || w.readError != 0)
        __builtin_trap();
    // Only bytes the file holds are counted, at one bit per second at least.
    if (w.seconds > double(size) * 8)
        __builtin_trap();
    if (w.error.isEmpty() == (w.seconds == 0))
        __builtin_trap(); // a time of 0 always comes with its message

    // The first byte chooses the format by the file name's extension, the
    // rest is the file.
    static const char* const kNames[] = {"f.mp3", "f.flac", "f.ogg",  "f.opus", "f.m4a", "f.wma",
                                         "f.ape", "f.wv",   "f.aiff", "f.wav",  "f.mpc", "f.bin"};
    if (size > 0) {
        const QString name = QString::fromLatin1(kNames[data[0] % (sizeof kNames / sizeof *kNames)]);
        vorlane::MemorySource rest(bytes.sliced(1));
        const vorlane::TagFields t = vorlane::readAllTags(rest, name);
        for (const QString* f : {&t.title, &t.artist, &t.album, &t.year, &t.comment, &t.track, &t.genre})
            if (f->contains(u'\r') || f->contains(u'\n') || f->contains(QChar(0)))
                __builtin_trap(); // tag text is one line
        const auto seconds = vorlane::audioSeconds(rest, name);
        if (seconds && (!std::isfinite(*seconds) || *seconds < 0))
            __builtin_trap();
    }
    return 0;
}
