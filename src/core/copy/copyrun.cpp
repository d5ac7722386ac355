#include "copyrun.h"

#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <isa-l/crc.h>

#include <atomic>
#include <optional>
#include <thread>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {
// Bytes per copy_file_range call: the kernel moves them without a trip
// through our memory, and the loop still looks at the clock often.
constexpr qint64 kKernelChunk = qint64(8) << 20;
// Bytes per read where we move, compare or checksum the data ourselves: a
// block that stays in the processor's cache between the read and its use.
constexpr qsizetype kBlock = qsizetype(256) << 10;

const QString kAccessError = QStringLiteral("File access error");
const QString kReadError = QStringLiteral("File read error");
const QString kWriteError = QStringLiteral("File write error");
const QString kDiffers = QStringLiteral("Target file differs from source");
const QString kPathBreak = QStringLiteral("The path holds a line break or a NUL character");
const QString kAsk = QStringLiteral("\rWhat do you want to do?");

// The first offset at or after `pos` where the file holds data, or `end`
// when only a hole follows; `pos` where the file system cannot tell.
qint64 nextData(int fd, qint64 pos, qint64 end) {
    const off_t d = sys().lseek(fd, off_t(pos), SEEK_DATA);
    if (d < 0)
        return errno == ENXIO ? end : pos;
    return qMin<qint64>(d, end);
}

qint64 sizeOf(int fd) {
    struct ::stat st {};
    return sys().fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}
} // namespace

ProgressValue scaledProgress(qint64 done, qint64 total) {
    int shift = 0;
    while ((total >> shift) > INT_MAX)
        ++shift;
    return {int(qBound<qint64>(0, done, total) >> shift), int(total >> shift)};
}

CopyRun::CopyRun(FileList& list, Prompts& prompts, Clock& clock, EventPump& pump, CopyUi* ui)
    : m_list(list), m_prompts(prompts), m_clock(clock), m_pump(pump), m_ui(ui) {}

CopyRun::~CopyRun() = default;

QString CopyRun::crcText(quint32 crc) {
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

int CopyRun::countSelectedFiles() const {
    int m = 0;
    for (int i = 0; i < m_list.count(); ++i)
        if (m_list.isSelected(i) && !m_list.isSeparator(i))
            ++m;
    return m;
}

QString CopyRun::nameLine(int line) const {
    NameLines& names = m_list.editor();
    return line < names.count() ? names.line(line) : QString();
}

void CopyRun::prepare(const QString& caption, const QString& destination) {
    if (m_ui)
        m_ui->setCaption(caption);
    m_cancel = false;
    m_layout.reset(destination);
    m_groupFolders.clear();
    m_lastPump = m_clock.nowMs();
    m_n = 1;
    m_m = countSelectedFiles();
}

QString CopyRun::compareCountText(const Result& r) {
    if (r.failed > 0)
        return QStringLiteral("%1 of %2 copies differ or are missing").arg(r.failed).arg(r.total);
    return QStringLiteral("%1 of %2 copies match").arg(r.done).arg(r.total);
}

CopyRun::Result CopyRun::finish(Result r, bool compare) {
    r.cancelled = m_cancel;
    r.total = m_m;
    if (m_list.hooks.lb1Click)
        m_list.hooks.lb1Click();
    if (r.aborted)
        return r;
    if (m_cancel) {
        m_prompts.ask(QStringLiteral("Warning"), QStringLiteral("Operation was cancelled"),
                      Prompts::Icon::Warning, Prompts::Buttons::Ok);
        return r;
    }
    // A compare whose copies were not all found equal must not end like a
    // clean one: the count says how many lines still need attention.
    QString text = QStringLiteral("Operation complete");
    if (compare && r.failed > 0)
        text += u'\r' + compareCountText(r) + QLatin1String(kLinesStaySelected);
    m_prompts.ask(QStringLiteral("Information"), text, Prompts::Icon::Information, Prompts::Buttons::Ok);
    return r;
}

Prompts::Answer CopyRun::askText(const QString& text) {
    return m_prompts.ask(QStringLiteral("Error!"), text + kAsk, Prompts::Icon::Error,
                         Prompts::Buttons::AbortRetryIgnore);
}

Prompts::Answer CopyRun::ask(const Failure& f) {
    QString text = f.what + u'\r' + withVisibleControls(f.path);
    if (!f.cause.isEmpty())
        text += u'\r' + f.cause;
    return askText(text);
}

void CopyRun::showCount(int n, int m) {
    if (m_ui)
        m_ui->setCount(QStringLiteral("%1 file from %2").arg(n).arg(m));
}

void CopyRun::showProgress(qint64 done, qint64 total) {
    if (!m_ui)
        return;
    const ProgressValue p = scaledProgress(done, total);
    m_ui->setProgress(p.value, p.maximum);
}

void CopyRun::tick(qint64 done, qint64 total, int flushFd) {
    if (m_clock.nowMs() - m_lastPump < kPumpMs)
        return;
    showProgress(done, total);
    // Writeback of what was copied since the last time starts now, without
    // waiting for it: a copy cut short leaves its bytes on the disk.
    if (flushFd >= 0 && done > m_flushed) {
        ::sync_file_range(flushFd, off_t(m_flushed), off_t(done - m_flushed), SYNC_FILE_RANGE_WRITE);
        m_flushed = done;
    }
    m_pump.pump();
    m_lastPump = m_clock.nowMs();
}

QString CopyRun::placeTarget(const QString& line) {
    QStringList create;
    const QString target = m_layout.target(line, create);
    if (!create.isEmpty()) {
        m_groupFolders = create;
        makeGroupFolders();
    }
    return target;
}

void CopyRun::makeGroupFolders() {
    for (const QString& folder : m_groupFolders) {
        // A NUL would cut the name the system sees; the target is refused when it opens.
        if (hasLineBreakOrNul(folder))
            break;
        // Any failure but an existing folder shows when the target opens.
        sys().mkdir(encodeName(folder).constData(), 0777);
    }
}

CopyRun::Result CopyRun::runSelected(const QString& caption, const QString& destination,
                                     Outcome (CopyRun::*each)(int)) {
    prepare(caption, destination);
    const bool compare = each == &CopyRun::compareFile;
    Result r;
    if (m_m == 0) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("No items selected"));
        r.aborted = true;
        return r;
    }
    for (int i = 0; i < m_list.count(); ++i) {
        if (!m_list.isSelected(i))
            continue;
        if (m_list.isSeparator(i)) {
            m_layout.separator(nameLine(i));
            continue;
        }
        if (m_cancel)
            continue;
        switch ((this->*each)(i)) {
        case Outcome::Done:
            m_list.setSelected(i, false);
            ++r.done;
            ++m_n;
            break;
        case Outcome::Ignored:
            ++r.failed;
            break;
        case Outcome::Cancelled:
            break;
        case Outcome::Aborted:
            ++r.failed;
            r.aborted = true;
            return finish(r, compare);
        }
    }
    return finish(r, compare);
}

// --- copying

CopyRun::Result CopyRun::CopyFiles(const QString& destination) {
    return runSelected(QStringLiteral("Copy"), destination, &CopyRun::copyFile);
}

CopyRun::Outcome CopyRun::copyFile(int line) {
    const QString source = m_list.text(line);
    QString target;
    bool placed = false;
    // Each Retry starts the file over: what the target holds says how far it got.
    for (;;) {
        const Failure f = copyAttempt(source, target, placed, line);
        if (f.ok())
            return m_cancel ? Outcome::Cancelled : Outcome::Done;
        switch (ask(f)) {
        case Prompts::Answer::Retry:
            continue;
        case Prompts::Answer::Ignore:
            return Outcome::Ignored;
        default:
            if (!f.midCopy)
                return Outcome::Aborted;
            m_cancel = true;
            return Outcome::Cancelled;
        }
    }
}

CopyRun::Failure CopyRun::copyAttempt(const QString& source, QString& target, bool& placed, int line) {
    showProgress(0, 0);
    if (hasLineBreakOrNul(source))
        return {kAccessError, source, kPathBreak};
    OpenedFile s = openRegularFile(source, O_RDONLY);
    if (!s.ok())
        return {kAccessError, source, s.error};
    const UniqueFd src = std::move(s.fd);
    ::posix_fadvise(src.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const qint64 size = sizeOf(src.get());
    if (size < 0)
        return {kAccessError, source, systemErrorText(errno)};
    showProgress(0, size);
    showCount(m_n, m_m);
    if (m_ui)
        m_ui->setFrom(QStringLiteral("From: ") + visibleName(source));

    if (!placed) {
        target = placeTarget(nameLine(line));
        placed = true;
    } else {
        // A retry after the user made room for the folder.
        makeGroupFolders();
    }
    if (hasLineBreakOrNul(target))
        return {kAccessError, target, kPathBreak};
    OpenedFile t = openRegularFile(target, O_RDWR | O_CREAT, 0644);
    if (!t.ok())
        return {kAccessError, target, t.error};
    UniqueFd dst = std::move(t.fd);
    const qint64 length = sizeOf(dst.get());
    if (length < 0)
        return {kAccessError, target, systemErrorText(errno)};
    if (m_ui)
        m_ui->setTo(QStringLiteral("To: ") + visibleName(target));
    tick(0, size, -1);
    if (m_cancel)
        return {};

    // What the target holds must be the source's beginning before anything
    // is added to it.
    Failure f = checkPrefix(src.get(), dst.get(), length, size, source, target);
    if (!f.ok() || m_cancel)
        return f;
    f = copyRest(src.get(), dst.get(), length, size, source, target);
    if (!f.ok() || m_cancel)
        return f;
    if (const int error = dst.close())
        return {kWriteError, target, systemErrorText(error), true};
    showProgress(size, size);
    return {};
}

CopyRun::Failure CopyRun::checkPrefix(int src, int dst, qint64 length, qint64 size, const QString& source,
                                      const QString& target) {
    if (length > size)
        return {kDiffers, target, QString()};
    if (length == 0)
        return {};
    m_buffer.resize(kBlock);
    m_other.resize(kBlock);
    qint64 pos = 0;
    while (pos < length) {
        // Where both files have a hole, both read as zeros.
        const qint64 data = qMin(nextData(src, pos, length), nextData(dst, pos, length));
        if (data > pos) {
            pos = data;
            continue;
        }
        const qint64 n = qMin<qint64>(kBlock, length - pos);
        const ssize_t a = readFully(src, m_buffer.data(), size_t(n), off_t(pos));
        if (a < 0)
            return {kReadError, source, systemErrorText(errno), true};
        const ssize_t b = readFully(dst, m_other.data(), size_t(n), off_t(pos));
        if (b < 0)
            return {kReadError, target, systemErrorText(errno), true};
        if (a != n || b != n || std::memcmp(m_buffer.constData(), m_other.constData(), size_t(n)) != 0)
            return {kDiffers, target, QString()};
        pos += n;
        tick(pos, size, -1);
        if (m_cancel)
            return {};
    }
    return {};
}

CopyRun::Failure CopyRun::copyRest(int src, int dst, qint64 from, qint64 size, const QString& source,
                                   const QString& target) {
    qint64 done = from;
    m_flushed = from;
    bool kernel = true;
    for (;;) {
        qint64 moved = 0;
        if (kernel) {
            off_t in = done;
            off_t out = done;
            const ssize_t k = sys().copyFileRange(src, &in, dst, &out, size_t(kKernelChunk));
            if (k < 0 && errno == EINTR)
                continue;
            if (k <= 0) {
                // Not between these files, or a failure: the rest goes by read
                // and write, which also tells a read failure from a write
                // failure. The end of some files only a read can confirm.
                kernel = false;
                continue;
            }
            moved = k;
        } else {
            m_buffer.resize(kBlock);
            const ssize_t r = readFully(src, m_buffer.data(), size_t(kBlock), off_t(done));
            if (r < 0)
                return {kReadError, source, systemErrorText(errno), true};
            // What was written stays: a later copy resumes after it.
            if (!writeFully(dst, m_buffer.constData(), size_t(r), off_t(done)))
                return {kWriteError, target, systemErrorText(errno), true};
            moved = r;
        }
        if (moved == 0)
            return {};
        done += moved;
        tick(done, size, dst);
        if (m_cancel)
            return {};
    }
}

// --- comparing

bool CopyRun::CountFileCRC32(const QString& path, quint32& crc, QString* cause) {
    const Crc c = crcOf(path);
    if (!c.failure.ok()) {
        if (cause)
            *cause = c.failure.cause;
        return false;
    }
    crc = c.value;
    return true;
}

namespace {

// The CRC-32 of an open file from where it stands to its end, a block at a
// time; `goOn(counted)` is asked before each block and ends the count early
// when false. The errno of a failed read, else 0.
template <typename GoOn> int countCrc(int fd, QByteArray& buffer, quint32& crc, GoOn goOn) {
    buffer.resize(kBlock);
    crc = 0; // the gzip CRC-32 starts from 0, as zlib's does
    qint64 count = 0;
    while (goOn(count)) {
        const ssize_t r = readFully(fd, buffer.data(), size_t(kBlock));
        if (r < 0)
            return errno;
        if (r == 0)
            break;
        crc = crc32_gzip_refl(crc, reinterpret_cast<const unsigned char*>(buffer.constData()), quint64(r));
        count += r;
    }
    return 0;
}

// The copy's checksum counted on a second thread while the run counts the
// source's: on two cores a compare then takes about as long as reading the
// larger file. Only a count that went through to the end is offered; any
// failure is left to the run's own count, which asks the user about it.
class CountAhead {
public:
    explicit CountAhead(const QString& path) {
        if (!sys().concurrent() || hasLineBreakOrNul(path))
            return;
        m_thread = std::thread([this, path] {
            OpenedFile f = openRegularFile(path, O_RDONLY);
            if (!f.ok())
                return;
            const UniqueFd fd = std::move(f.fd);
            ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
            QByteArray buffer;
            quint32 crc = 0;
            if (countCrc(fd.get(), buffer, crc, [this](qint64) { return !m_stop; }) == 0 && !m_stop)
                m_crc = crc;
        });
    }
    ~CountAhead() { stop(); }
    CountAhead(const CountAhead&) = delete;
    CountAhead& operator=(const CountAhead&) = delete;

    // Waits for the count: the checksum, or nothing when it failed.
    std::optional<quint32> result() {
        if (m_thread.joinable())
            m_thread.join();
        return m_crc;
    }
    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_stop = false;
    std::optional<quint32> m_crc;
    std::thread m_thread;
};

} // namespace

CopyRun::Crc CopyRun::crcOf(const QString& path) {
    Crc out;
    showProgress(0, 0);
    if (hasLineBreakOrNul(path)) {
        out.failure = {kAccessError, path, kPathBreak};
        return out;
    }
    OpenedFile f = openRegularFile(path, O_RDONLY);
    if (!f.ok()) {
        out.failure = {kAccessError, path, f.error};
        return out;
    }
    const UniqueFd fd = std::move(f.fd);
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const qint64 size = sizeOf(fd.get());
    qint64 nextPump = 0;
    const int error = countCrc(fd.get(), m_buffer, out.value, [&](qint64 count) {
        if (count >= nextPump) {
            showProgress(count, size);
            m_pump.pump();
            nextPump = (count / kCrcPumpBytes + 1) * kCrcPumpBytes;
        }
        // A cancelled count gives the checksum of what was read.
        return !m_cancel;
    });
    if (error != 0)
        out.failure = {kReadError, path, systemErrorText(error)};
    return out;
}

CopyRun::Result CopyRun::CountCRC(const QString& destination) {
    return runSelected(QStringLiteral("CRC check"), destination, &CopyRun::compareFile);
}

CopyRun::Outcome CopyRun::compareFile(int line) {
    const QString source = m_list.text(line);
    showCount(m_n, m_m);
    if (m_ui) {
        m_ui->setFrom(visibleName(source));
        m_ui->setTo(QString());
    }
    // Where the copy lies, found without making its group's folders yet.
    DestinationLayout ahead = m_layout;
    QStringList later;
    const QString expected = ahead.target(nameLine(line), later);
    CountAhead copyCount(expected);
    Crc s;
    for (;;) {
        s = crcOf(source);
        if (s.failure.ok())
            break;
        const Prompts::Answer a = ask(s.failure);
        if (a == Prompts::Answer::Retry)
            continue;
        return a == Prompts::Answer::Ignore ? Outcome::Ignored : Outcome::Aborted;
    }
    if (m_cancel)
        return Outcome::Cancelled;
    const QString target = placeTarget(nameLine(line));
    if (m_ui)
        m_ui->setTo(visibleName(target));
    // Retry reads the copy again; the source's checksum stands.
    std::optional<quint32> counted = target == expected ? copyCount.result() : std::nullopt;
    for (;;) {
        Crc t;
        if (counted)
            t.value = *counted;
        else
            t = crcOf(target);
        counted.reset();
        if (m_cancel)
            return Outcome::Cancelled;
        Prompts::Answer a;
        if (!t.failure.ok())
            a = ask(t.failure);
        else if (t.value == s.value)
            return Outcome::Done;
        else
            a = askText(QStringLiteral("CRC are not coincide\r") + withVisibleControls(source) +
                        QStringLiteral("\r(CRC=") + crcText(s.value) + QStringLiteral(")\r\r") +
                        withVisibleControls(target) + QStringLiteral("\r(CRC=") + crcText(t.value) +
                        QStringLiteral(")\r"));
        if (a == Prompts::Answer::Retry)
            continue;
        return a == Prompts::Answer::Ignore ? Outcome::Ignored : Outcome::Aborted;
    }
}

} // namespace vorlane
