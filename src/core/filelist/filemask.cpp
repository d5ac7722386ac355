#include "filemask.h"

#include <QLocale>

namespace vorlane {

FileMask::FileMask(const QString& text) {
    if (text.size() <= 2)
        return;
    // Blanks around a pattern ("*.mp3; *.wav") are the list's layout, not
    // part of the pattern.
    for (QString pattern : QLocale().toUpper(text).split(u';')) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            m_all = true;
        else if (pattern == QLatin1String("*") || pattern.startsWith(QLatin1String("*.")))
            m_extensions << pattern.mid(1);
    }
}

bool FileMask::matches(const QString& fileName) const {
    if (m_all)
        return true;
    if (m_extensions.isEmpty())
        return false;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return m_extensions.contains(dot < 0 ? QString() : QLocale().toUpper(fileName.mid(dot)));
}

} // namespace vorlane
