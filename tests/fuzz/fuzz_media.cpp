// libFuzzer harness for the playing-time readers: random bytes as an MP3
// stream and as a WAV file.
#include "core/media/playtime.h"

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
    return 0;
}
