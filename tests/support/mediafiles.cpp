#include "mediafiles.h"

#include <QProcess>

namespace media {

namespace {
void putLe32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char(v >> (8 * i)));
}
void putLe16(QByteArray& b, quint16 v) {
    b.append(char(v));
    b.append(char(v >> 8));
}
} // namespace

QByteArray frame(quint32 header, int length) {
    QByteArray f(length, '\0');
    for (int i = 0; i < 4; ++i)
        f[i] = char(header >> (24 - 8 * i));
    return f;
}

QByteArray frames(quint32 header, int length, int count, int padEvery) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const bool pad = padEvery > 0 && i % padEvery == 0;
        out += pad ? frame(header | 0x200, length + 1) : frame(header, length);
    }
    return out;
}

QByteArray id3v2(const QByteArray& body) {
    QByteArray t("ID3\x03\x00\x00", 6);
    const quint32 n = quint32(body.size());
    for (int shift : {21, 14, 7, 0})
        t.append(char((n >> shift) & 0x7F));
    return t + body;
}

QByteArray chunk(const char* id, const QByteArray& data, bool pad) {
    QByteArray c(id, 4);
    putLe32(c, quint32(data.size()));
    c += data;
    if (pad && data.size() % 2)
        c.append('\0');
    return c;
}

QByteArray fmtData(int channels, int sampleRate, int bits, int byteRate, int formatTag) {
    QByteArray f;
    putLe16(f, quint16(formatTag));
    putLe16(f, quint16(channels));
    putLe32(f, quint32(sampleRate));
    putLe32(f, quint32(byteRate >= 0 ? byteRate : sampleRate * channels * bits / 8));
    putLe16(f, quint16(channels * bits / 8));
    putLe16(f, quint16(bits));
    return f;
}

QByteArray riff(const QByteArray& chunks) {
    QByteArray r("RIFF");
    putLe32(r, quint32(chunks.size() + 4));
    return r + "WAVE" + chunks;
}

bool run(const QString& program, const QStringList& args, QString* errors) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return false;
    if (errors)
        *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool sine(const QString& path, double seconds, int sampleRate, const QStringList& soxFormat) {
    return run(QStringLiteral("sox"),
               QStringList{"-n", "-r", QString::number(sampleRate)} + soxFormat +
                   QStringList{path, "synth", QString::number(seconds), "sine", "440"});
}

} // namespace media
