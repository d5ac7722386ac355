#include "atomicfile.h"

#include "fileio.h"
#include "paths.h"
#include "sys.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {
constexpr qsizetype kBufferSize = 1 << 20;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A written folder entry survives a crash only once the folder is synced.
void syncFolder(const QByteArray& folder) {
    const UniqueFd fd(sys().open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
    if (fd.valid())
        sys().fsync(fd.get());
}
} // namespace

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(int error) {
    m_error = systemErrorText(error);
    discard();
    return false;
}

bool AtomicFile::open() {
    discard();
    m_error.clear();
    m_target = encodeName(m_path);
    struct ::stat st {};
    bool exists = sys().stat(m_target.constData(), &st, false) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (::realpath(m_target.constData(), real)) {
            m_target = QByteArray(real);
            exists = sys().stat(m_target.constData(), &st, false) == 0;
        } else {
            exists = false; // a dangling link: the link itself is replaced
        }
    }
    if (exists && !S_ISREG(st.st_mode)) {
        m_error = QString::fromLatin1(kNotRegularFile);
        return false;
    }
    const QByteArray folder = folderOf(m_target);
    QByteArray name = folder + (folder.endsWith('/') ? "" : "/") + ".vorlane-save.XXXXXX";
    m_fd.reset(sys().openTemp(name.data()));
    if (!m_fd.valid())
        return fail(errno);
    m_temp = name;
    // The new file keeps the old one's permissions, or takes the usual ones.
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (sys().fchmod(m_fd.get(), mode) != 0)
        return fail(errno);
    m_buffer.reserve(kBufferSize);
    return true;
}

bool AtomicFile::flush() {
    if (!writeAll(m_fd.get(), m_buffer))
        return fail(errno);
    m_buffer.clear();
    return true;
}

bool AtomicFile::write(QByteArrayView bytes) {
    if (!m_fd.valid())
        return false;
    m_buffer.append(bytes);
    return m_buffer.size() < kBufferSize || flush();
}

bool AtomicFile::commit() {
    if (!m_fd.valid())
        return false;
    if (!flush())
        return false;
    if (sys().fsync(m_fd.get()) != 0)
        return fail(errno);
    if (const int error = m_fd.close())
        return fail(error);
    if (sys().rename(m_temp.constData(), m_target.constData()) != 0)
        return fail(errno);
    m_temp.clear();
    syncFolder(folderOf(m_target));
    return true;
}

void AtomicFile::discard() {
    m_fd.reset();
    if (!m_temp.isEmpty())
        sys().unlink(m_temp.constData());
    m_temp.clear();
    m_buffer.clear();
}

bool replaceFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    AtomicFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorText();
    return false;
}

bool checkReplaceable(const QString& path, QString* error) {
    const QByteArray p = encodeName(path);
    if (::access(p.constData(), F_OK) == 0 && ::access(p.constData(), W_OK) != 0) {
        if (error)
            *error = systemErrorText(errno);
        return false;
    }
    // Opening makes (and discarding removes) the temporary file beside it.
    AtomicFile file(path);
    if (file.open())
        return true;
    if (error)
        *error = file.errorText();
    return false;
}

} // namespace vorlane
