#include "layout.h"

#include "core/platform/paths.h"
#include "core/rename/rename.h"

namespace vorlane {

namespace {
constexpr char16_t kDelimiter = kWindowsPaths ? u'\\' : u'/';

// Automatic group names run 1..9, A..Z, 0 and round again.
QChar nextAutoName(QChar c) {
    if (c == u'9')
        return u'A';
    if (c == u'Z')
        return u'0';
    return QChar(c.unicode() + 1);
}
} // namespace

void DestinationLayout::reset(const QString& destination) {
    m_destination = destination;
    m_group.clear();
    m_pending = false;
    m_autoName = u'0';
}

void DestinationLayout::separator(const QString& nameLine) {
    // Of separators in a row before a file, the first one names the group.
    if (m_pending)
        return;
    m_pending = true;
    if (!nameLine.isEmpty()) {
        m_group = nameLine;
        return;
    }
    m_autoName = nextAutoName(m_autoName);
    m_group = QString(m_autoName);
}

bool DestinationLayout::isAbsoluteGroup(const QString& group) {
    if constexpr (kWindowsPaths)
        return group.contains(u':') || group.contains(QStringLiteral("\\\\"));
    return group.startsWith(u'/');
}

QString DestinationLayout::target(const QString& nameLine, QStringList& create) {
    if (m_pending || m_group.isEmpty()) {
        QString base;
        QString group = m_group;
        if (!isAbsoluteGroup(group)) {
            base = m_destination;
            if (base.isEmpty() || base.back() != kDelimiter)
                base += kDelimiter;
            if (group.isEmpty())
                group = QStringLiteral("0");
            else if (kWindowsPaths && group.front() == kDelimiter)
                group.remove(0, 1);
        }
        QString folder = base + group;
        if (folder.back() != kDelimiter)
            folder += kDelimiter;
        for (qsizetype i = base.size(); i < folder.size(); ++i)
            if (folder[i] == kDelimiter)
                create << folder.left(i + 1);
        m_group = folder;
        m_pending = false;
    }
    // Names end where the rename ends them: trailing blanks go.
    return m_group + RenameRun::newName(nameLine);
}

} // namespace vorlane
