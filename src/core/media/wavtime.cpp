// The playing time of RIFF WAVE files from their chunk headers; the sound
// data itself is never read.
#include "playtime.h"

#include <cstring>

namespace vorlane {

namespace {

quint32 le32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

// Whether the sound is stored sample by sample (integer PCM, floating point,
// A-law, mu-law), so that its length follows from the data size, channels,
// sample rate and bits per sample. An extensible format names its sub-format
// in the first bytes of a GUID at offset 24; a chunk too short to hold one
// counts as PCM.
bool samplesStoredWhole(const uchar* fmt, quint32 size) {
    const auto plain = [](quint32 tag) { return tag == 1 || tag == 3 || tag == 6 || tag == 7; };
    const quint16 tag = le16(fmt);
    if (tag == 0xFFFE)
        return size < 40 || plain(le32(fmt + 24));
    return plain(tag);
}

WavTime failed(const char* text, qint64 got, ByteSource& source) {
    WavTime out;
    out.error = QString::fromLatin1(text);
    if (got < 0)
        out.readError = source.error();
    return out;
}

} // namespace

WavTime readWav(ByteSource& source) {
    uchar head[12];
    qint64 got = source.read(0, reinterpret_cast<char*>(head), 12);
    if (got != 12)
        return failed("Error reading file (beginning)", got, source);
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return failed("Wrong file header (RIFF, WAVE)", 0, source);

    // One pass over the chunks: "fmt " and "data" may come in either order.
    bool haveFmt = false, haveData = false;
    bool whole = true;
    quint16 channels = 0, bits = 0;
    quint32 sampleRate = 0, byteRate = 0;
    qint64 dataStart = 0, dataSize = 0;
    qint64 pos = 12;
    while (!haveFmt || !haveData) {
        uchar chunk[8];
        got = source.read(pos, reinterpret_cast<char*>(chunk), 8);
        if (got != 8)
            return failed(haveFmt ? "Error reading file (finding data-section)"
                                  : "Error reading file (finding fmt-section)",
                          got, source);
        const quint32 size = le32(chunk + 4);
        const qint64 body = pos + 8;
        if (!haveFmt && std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > 10000) {
                WavTime out;
                out.error = QStringLiteral("Wrong data-size in fmt-section (%1)").arg(size);
                return out;
            }
            QByteArray fmt(qsizetype(size), '\0');
            got = source.read(body, fmt.data(), size);
            if (got != qint64(size))
                return failed("Error reading file (data of fmt-section)", got, source);
            const auto* f = reinterpret_cast<const uchar*>(fmt.constData());
            whole = samplesStoredWhole(f, size);
            channels = le16(f + 2);
            sampleRate = le32(f + 4);
            byteRate = le32(f + 8);
            bits = le16(f + 14);
            haveFmt = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            dataStart = body;
            dataSize = size;
            haveData = true;
        }
        // A chunk of odd size is followed by a pad byte.
        pos = body + size + (size & 1);
    }
    // Compressed sound (ADPCM, GSM, MPEG inside RIFF) has no fixed bits per
    // sample; only the average byte rate the file states can time it.
    if (channels == 0 || (whole ? sampleRate == 0 || bits == 0 : byteRate == 0))
        return failed("Error reading WAV-file (nch*freq*bps=0)", 0, source);
    // A size beyond the end of the file counts only what the file holds.
    const qint64 held = qBound<qint64>(0, source.size() - dataStart, dataSize);
    WavTime out;
    out.seconds = whole ? double(held) * 8 / channels / sampleRate / bits : double(held) / byteRate;
    if (held == 0)
        out.error = QStringLiteral("File has the zero playing time");
    return out;
}

} // namespace vorlane
