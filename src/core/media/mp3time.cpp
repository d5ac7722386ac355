// The playing time of MPEG audio files (Layers I to III, MPEG-1, 2 and 2.5),
// from their frame headers alone.
#include "playtime.h"

#include <array>
#include <cstring>
#include <vector>

namespace vorlane {

namespace {

// Bit rates in kbit/s by index 1 to 14: MPEG-1 Layers I, II, III; MPEG-2 and
// 2.5 Layer I; MPEG-2 and 2.5 Layers II and III.
constexpr int kBitRates[5][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};

// Sample rates by the header's version field (0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1).
constexpr int kSampleRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

// The longest frame there is (MPEG-2 Layer II, 160 kbit/s at 8000 Hz, padded)
// and the header after it.
constexpr qint64 kMaxFrame = 2881;
constexpr qint64 kLookahead = kMaxFrame + 4;
// Read size: large enough that system calls cost nothing beside the bytes.
constexpr qint64 kBlock = 256 * 1024;

struct Header {
    int version = 0; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    int layer = 0;   // 1, 2 or 3
    int sampleRate = 0;
    int samples = 0;
    int length = 0; // bytes, header included
    bool crc = false;
    bool mono = false;

    bool sameStream(const Header& o) const {
        return version == o.version && layer == o.layer && sampleRate == o.sampleRate;
    }
};

constexpr int bitRateColumn(int version, int layer) {
    return version == 3 ? layer - 1 : (layer == 1 ? 3 : 4);
}

// Samples a frame holds: 384 in Layer I, 1152 in Layers II and III, except
// that MPEG-2 and 2.5 Layer III frames hold half as many.
constexpr int samplesPerFrame(int version, int layer) {
    if (layer == 1)
        return 384;
    return layer == 3 && version != 3 ? 576 : 1152;
}

// Frame length in bytes, padding left out, by the header's version, layer,
// bit-rate and sample-rate fields; 0 where a field holds a reserved value.
// Index: (version << 2 | layer bits) << 6 | bit-rate index << 2 | sample-rate index.
constexpr std::array<quint16, 1024> makeLengths() {
    std::array<quint16, 1024> t{};
    for (int i = 0; i < 1024; ++i) {
        const int version = i >> 8, layerBits = (i >> 6) & 3, rateIndex = (i >> 2) & 15, srIndex = i & 3;
        if (version == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || srIndex == 3)
            continue;
        const int layer = 4 - layerBits;
        const int rate = kSampleRates[version][srIndex];
        const int kbits = kBitRates[bitRateColumn(version, layer)][rateIndex];
        // A frame's bytes are its samples' share of the bit rate, counted in
        // slots of four bytes in Layer I and of one byte otherwise.
        const int slot = layer == 1 ? 4 : 1;
        t[i] = quint16(samplesPerFrame(version, layer) / 8 / slot * 1000 * kbits / rate * slot);
    }
    return t;
}
constexpr std::array<quint16, 1024> kLengths = makeLengths();

bool parseHeader(const uchar* b, Header& h) {
    // Sync, and no reserved emphasis.
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0 || (b[3] & 3) == 2)
        return false;
    const int length = kLengths[((b[1] >> 1) & 15) << 6 | b[2] >> 2];
    if (length == 0)
        return false;
    h.version = (b[1] >> 3) & 3;
    h.layer = 4 - ((b[1] >> 1) & 3);
    h.sampleRate = kSampleRates[h.version][(b[2] >> 2) & 3];
    h.samples = samplesPerFrame(h.version, h.layer);
    const int padding = (b[2] >> 1) & 1;
    h.length = length + (h.layer == 1 ? 4 * padding : padding);
    h.crc = (b[1] & 1) == 0;
    h.mono = (b[3] >> 6) == 3;
    return true;
}

quint32 be32(const uchar* p) {
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

// The source through one large block: frames are found and skipped in
// memory, and the file is read once, front to back.
class BlockReader {
public:
    // One buffer serves every walk of a thread: no allocation per file.
    explicit BlockReader(ByteSource& source) : m_source(source), m_buf(buffer()) {}

    // The bytes from `pos` on, at least `want` of them unless the source ends
    // first; `avail` tells how many. Null at the end or after a failed read.
    const uchar* window(qint64 pos, qint64 want, qint64& avail) {
        const qint64 end = m_start + m_len;
        if (pos < m_start || pos >= end || (end - pos < want && !m_atEnd)) {
            if (!fill(pos))
                return nullptr;
        }
        avail = m_start + m_len - pos;
        return avail > 0 ? m_buf.data() + (pos - m_start) : nullptr;
    }
    // Asks the processor to fetch the block's bytes up to `to`, from where the
    // last call stopped.
    void prefetch(qint64 to) {
        const qint64 end = qMin(to, m_start + m_len);
        for (; m_fetched < end; m_fetched += 64)
            __builtin_prefetch(m_buf.data() + (m_fetched - m_start));
    }
    // True when the block holds the source's last byte.
    bool atEnd() const { return m_atEnd; }
    qint64 end() const { return m_start + m_len; }
    int error() const { return m_error; }

private:
    static std::vector<uchar>& buffer() {
        thread_local std::vector<uchar> b(static_cast<size_t>(kBlock));
        return b;
    }

    bool fill(qint64 pos) {
        const qint64 got = m_source.read(pos, reinterpret_cast<char*>(m_buf.data()), kBlock);
        if (got < 0) {
            m_error = m_source.error();
            m_len = 0;
            m_atEnd = true;
            return false;
        }
        m_start = pos;
        m_fetched = pos;
        m_len = got;
        m_atEnd = got < kBlock;
        return true;
    }

    ByteSource& m_source;
    std::vector<uchar>& m_buf;
    qint64 m_start = 0;
    qint64 m_len = 0;
    bool m_atEnd = false;
    int m_error = 0;
    qint64 m_fetched = 0;
};

// Past ID3v2 tags at `pos`, each skipped by the size it gives, so that no
// picture inside one is ever taken for audio.
qint64 skipId3v2(BlockReader& r, qint64 pos) {
    qint64 avail = 0;
    while (const uchar* b = r.window(pos, 10, avail)) {
        if (avail < 10 || std::memcmp(b, "ID3", 3) != 0 || b[3] == 0xFF || b[4] == 0xFF ||
            ((b[6] | b[7] | b[8] | b[9]) & 0x80))
            break;
        const qint64 size = qint64(b[6]) << 21 | qint64(b[7]) << 14 | qint64(b[8]) << 7 | b[9];
        const bool footer = b[3] >= 4 && (b[5] & 0x10);
        pos += 10 + size + (footer ? 10 : 0);
    }
    return pos;
}

// Whether a frame header found by searching at `pos` starts real audio: the
// frame must be followed by another of the same stream, the end of the file or
// an ID3v1 tag that ends the file. Bytes up to kLookahead past `pos` are in the block.
bool confirmed(BlockReader& r, const uchar* b, qint64 pos, qint64 avail, const Header& h) {
    const qint64 next = pos + h.length;
    if (r.atEnd() && next == r.end())
        return true;
    if (h.length + 4 > avail)
        return false;
    const uchar* n = b + h.length;
    Header following;
    if (parseHeader(n, following) && following.sameStream(h))
        return true;
    return r.atEnd() && next + 128 == r.end() && std::memcmp(n, "TAG", 3) == 0;
}

// The first frame header at or after `pos`, moving one byte at a time; with
// `stream`, only frames of that stream. -1 when none is left.
qint64 findFrame(BlockReader& r, qint64 pos, const Header* stream, Header& out) {
    for (;;) {
        qint64 avail = 0;
        const uchar* b = r.window(pos, kLookahead, avail);
        if (!b || avail < 4)
            return -1;
        // Candidates whose lookahead lies in the block, or all up to the end.
        const qint64 scan = r.atEnd() ? avail - 3 : avail - kLookahead + 1;
        const uchar* c = b;
        const uchar* stop = b + scan;
        while (c < stop && (c = static_cast<const uchar*>(std::memchr(c, 0xFF, size_t(stop - c))))) {
            Header h;
            const qint64 at = pos + (c - b);
            if (parseHeader(c, h) && (!stream || h.sameStream(*stream)) &&
                confirmed(r, c, at, avail - (c - b), h)) {
                out = h;
                return at;
            }
            ++c;
        }
        if (r.atEnd())
            return -1;
        pos += scan;
    }
}

// The frame count that a Xing/Info or VBRI header in the first frame gives:
// -1 without such a header, 0 when it gives none.
qint64 infoHeaderFrames(const uchar* b, qint64 avail, const Header& h) {
    const int side = h.version == 3 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17);
    for (const int offset : {4 + side, 6 + side}) {
        if (offset + 12 > qMin<qint64>(avail, h.length))
            break;
        const uchar* x = b + offset;
        if (std::memcmp(x, "Xing", 4) == 0 || std::memcmp(x, "Info", 4) == 0)
            return (be32(x + 4) & 1) ? be32(x + 8) : 0;
        if (!h.crc)
            break;
    }
    if (36 + 18 <= qMin<qint64>(avail, h.length) && std::memcmp(b + 36, "VBRI", 4) == 0)
        return be32(b + 36 + 14);
    return -1;
}

} // namespace

Mp3Time walkMp3(ByteSource& source) {
    Mp3Time out;
    BlockReader r(source);
    Header first;
    qint64 pos = findFrame(r, skipId3v2(r, 0), nullptr, first);
    if (pos < 0) {
        out.readError = r.error();
        return out;
    }
    qint64 avail = 0;
    const uchar* b = r.window(pos, kLookahead, avail);
    const qint64 stated = b ? infoHeaderFrames(b, avail, first) : -1;
    if (stated >= 0) {
        // The information frame carries no audio. The count it states is what
        // the encoder wrote, not what the file holds now (it may have been cut
        // short or joined to another), so it is kept for comparison only and
        // every frame is walked all the same.
        if (stated > 0)
            out.statedFrames = stated;
        pos += first.length;
        if (!(b = r.window(pos, 4, avail)) || avail < 4 || !parseHeader(b, first))
            pos = findFrame(r, pos, &first, first);
    }
    qint64 samples = 0;
    Header h = first;
    while (pos >= 0) {
        ++out.frames;
        samples += h.samples;
        pos += h.length;
        r.prefetch(pos + 4096);
        b = r.window(pos, 4, avail);
        if (!b || avail < 4)
            break;
        if (!parseHeader(b, h) || !h.sameStream(first))
            pos = findFrame(r, pos, &first, h);
    }
    out.seconds = double(samples) / first.sampleRate;
    out.readError = r.error();
    return out;
}

} // namespace vorlane
