#include "inifile.h"

#include "core/platform/atomicfile.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

IniFile::IniFile(const QString& path, Prompts* prompts) : m_path(path), m_prompts(prompts) {
    load();
    if (!m_readable)
        return;
    // Said at the start rather than at the end, when it is too late to matter.
    QString why;
    if (!checkReplaceable(m_path, &why))
        tell(QStringLiteral("Can't write settings file"), why,
             QStringLiteral("Settings changed now will not be kept."));
}

IniFile::Signature IniFile::signature() const {
    struct ::stat st {};
    Signature s;
    if (sys().stat(encodeName(m_path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.sec = st.st_mtim.tv_sec;
    s.nsec = st.st_mtim.tv_nsec;
    return s;
}

void IniFile::load() {
    m_doc = IniDocument();
    m_dirty = false;
    m_seen = signature();
    QString cause;
    QByteArray bytes;
    if (!readWholeFile(m_path, bytes, &cause, kMaxSize)) {
        if (!m_seen.exists && cause == systemErrorText(ENOENT))
            return; // first start
    } else {
        cause = IniDocument::problemWith(bytes);
        if (cause.isEmpty()) {
            m_doc = IniDocument(bytes);
            return;
        }
    }
    m_readable = false;
    tell(QStringLiteral("Can't read settings file"), cause,
         QStringLiteral("The program goes on with its default settings and leaves the file as it is."));
}

void IniFile::tell(const QString& what, const QString& cause, const QString& consequence) {
    if (m_told || !m_prompts)
        return;
    m_told = true;
    m_prompts->error(QStringLiteral("Vorlane"),
                     what + u'\r' + withVisibleControls(m_path) + u'\r' + cause + u'\r' + consequence);
}

void IniFile::refresh() {
    if (m_batch > 0 || !m_readable || signature() == m_seen)
        return;
    // Pending changes of a failed write give way to what is on the disk now.
    load();
}

void IniFile::changed() {
    m_dirty = true;
    if (m_batch == 0)
        flush();
}

bool IniFile::flush() {
    if (!m_dirty || !m_readable)
        return true;
    QString why;
    if (!replaceFileAtomically(m_path, m_doc.toBytes(), &why)) {
        tell(QStringLiteral("Can't write settings file"), why,
             QStringLiteral("Settings changed now will not be kept."));
        return false;
    }
    m_dirty = false;
    m_seen = signature();
    return true;
}

void IniFile::beginBatch() {
    if (m_batch == 0)
        refresh();
    ++m_batch;
}

bool IniFile::endBatch() {
    if (m_batch == 0 || --m_batch > 0)
        return true;
    return flush();
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) {
    refresh();
    return m_doc.value(section, key).value_or(def);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    refresh();
    if (!m_readable)
        return;
    m_doc.setValue(section, key, value);
    changed();
}

int IniFile::readInteger(const QString& section, const QString& key, int def) {
    bool ok = false;
    const int v = readString(section, key, QString()).toInt(&ok, 10);
    return ok ? v : def;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList IniFile::readSection(const QString& section) {
    refresh();
    return m_doc.keys(section);
}

void IniFile::eraseSection(const QString& section) {
    refresh();
    if (!m_readable)
        return;
    m_doc.eraseSection(section);
    changed();
}

} // namespace vorlane
