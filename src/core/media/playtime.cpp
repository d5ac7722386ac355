#include "playtime.h"

#include "core/media/tagreader.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

qint64 MemorySource::read(qint64 pos, char* buf, qint64 n) {
    if (pos < 0 || n < 0)
        return -1;
    const qint64 got = qBound<qint64>(0, m_bytes.size() - pos, n);
    if (got > 0)
        std::memcpy(buf, m_bytes.data() + pos, size_t(got));
    return got;
}

qint64 FileSource::read(qint64 pos, char* buf, qint64 n) {
    const ssize_t got = readFully(m_fd, buf, size_t(n), off_t(pos));
    if (got < 0)
        m_error = errno;
    return got;
}

TimeKind timeKindOf(const QString& path) {
    QString ext = extensionOf(path);
    for (QChar& c : ext)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    if (ext == QLatin1String(".MP3"))
        return TimeKind::Mp3;
    if (ext == QLatin1String(".WAV"))
        return TimeKind::Wav;
    return TimeKind::None;
}

TimeKind timeKindOf(const QString& path, bool allTags) {
    const TimeKind kind = timeKindOf(path);
    if (kind == TimeKind::None && allTags && hasAudioProperties(path))
        return TimeKind::Tagged;
    return kind;
}

namespace {

// A file opened for one count, closed on every way out.
class CountedFile {
public:
    explicit CountedFile(const QString& path) : m_opened(openRegularFile(path, O_RDONLY)) {
        struct ::stat st {};
        if (m_opened.ok() && sys().fstat(m_opened.fd.get(), &st) == 0) {
            m_size = st.st_size;
            ::posix_fadvise(m_opened.fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        }
    }
    CountedFile(const CountedFile&) = delete;
    CountedFile& operator=(const CountedFile&) = delete;

    bool ok() const { return m_opened.ok(); }
    const QString& error() const { return m_opened.error; }
    FileSource source() const { return FileSource(m_opened.fd.get(), m_size); }

private:
    OpenedFile m_opened;
    qint64 m_size = 0;
};

qint32 failure(Prompts& prompts, const QString& text, const QString& path, const QString& cause = QString()) {
    QString message = text + u'\r' + withVisibleControls(path);
    if (!cause.isEmpty())
        message += u'\r' + cause;
    prompts.error(QStringLiteral("Error!"), message);
    return 0;
}

const QString kCantOpen = QStringLiteral("Can't open file");
const QString kZeroTime = QStringLiteral("File has the zero playing time");

qint32 clampSeconds(double seconds) {
    return seconds >= double(std::numeric_limits<qint32>::max()) ? std::numeric_limits<qint32>::max()
                                                                 : qint32(seconds);
}

} // namespace

qint32 CountWavTime(const QString& path, Prompts& prompts) {
    const CountedFile file(path);
    if (!file.ok())
        return failure(prompts, kCantOpen, path, file.error());
    FileSource source = file.source();
    const WavTime t = readWav(source);
    if (!t.error.isEmpty())
        return failure(prompts, t.error, path, t.readError ? systemErrorText(t.readError) : QString());
    // To the nearest second, a half going to the even neighbour.
    return clampSeconds(std::nearbyint(t.seconds));
}

qint32 CountMp3Time(const QString& path, Prompts& prompts) {
    const CountedFile file(path);
    if (!file.ok())
        return failure(prompts, kCantOpen, path, file.error());
    FileSource source = file.source();
    const Mp3Time t = walkMp3(source);
    if (t.readError)
        return failure(prompts, QStringLiteral("Error reading file"), path, systemErrorText(t.readError));
    const qint32 seconds = clampSeconds(t.seconds);
    if (seconds == 0)
        return failure(prompts, kZeroTime, path);
    return seconds;
}

qint32 CountTaggedTime(const QString& path, Prompts& prompts) {
    const CountedFile file(path);
    if (!file.ok())
        return failure(prompts, kCantOpen, path, file.error());
    FileSource source = file.source();
    const auto seconds = audioSeconds(source, path);
    if (source.error())
        return failure(prompts, QStringLiteral("Error reading file"), path, systemErrorText(source.error()));
    const qint32 rounded = seconds ? clampSeconds(std::nearbyint(*seconds)) : 0;
    if (rounded <= 0)
        return failure(prompts, kZeroTime, path);
    return rounded;
}

qint32 CountPlayTime(const QString& path, Prompts& prompts, bool allTags) {
    switch (timeKindOf(path, allTags)) {
    case TimeKind::Mp3:
        return CountMp3Time(path, prompts);
    case TimeKind::Wav:
        return CountWavTime(path, prompts);
    case TimeKind::Tagged:
        return CountTaggedTime(path, prompts);
    case TimeKind::None:
        break;
    }
    return 0;
}

} // namespace vorlane
