#include "paths.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace vorlane {

qsizetype lastDelimiter(const QString& path) {
    if constexpr (!kWindowsPaths)
        return path.lastIndexOf(u'/');
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isPathDelimiter(path[i]))
            return i;
    return -1;
}

QString folderPart(const QString& path) {
    return path.left(lastDelimiter(path) + 1);
}

QString fileNamePart(const QString& path) {
    return path.mid(lastDelimiter(path) + 1);
}

QString lastComponent(const QString& path) {
    QString p = path;
    if (!p.isEmpty() && isPathDelimiter(p.back()))
        p.chop(1);
    return fileNamePart(p);
}

QString separatorName(const QString& text) {
    const QString last = lastComponent(text);
    return last.isEmpty() ? text : last;
}

QString extensionOf(const QString& path) {
    const QString name = fileNamePart(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool hasLineBreakOrNul(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() <= u'\r' && (c == u'\r' || c == u'\n' || c == QChar(0)))
            return true;
    return false;
}

QString withVisibleControls(const QString& text) {
    if (!hasLineBreakOrNul(text))
        return text;
    QString out = text;
    for (QChar& c : out) {
        if (c == u'\r')
            c = QChar(0x240D);
        else if (c == u'\n')
            c = QChar(0x240A);
        else if (c == QChar(0))
            c = QChar(0x2400);
    }
    return out;
}

namespace {
constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF hold the bytes 0x80..0xFF

// Length of the valid UTF-8 sequence at p (1..4), or 0 when it is not valid.
int validSequence(const unsigned char* p, qsizetype left, char32_t& cp) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    int len;
    char32_t min;
    if ((b & 0xE0) == 0xC0) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not valid.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}
} // namespace

QString decodeName(QByteArrayView bytes) {
    // Most names are plain ASCII: one vectorised scan, one widening copy.
    if (QtPrivate::isAscii(QLatin1StringView(bytes.data(), bytes.size())))
        return QString::fromLatin1(bytes.data(), bytes.size());
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = validSequence(p + i, n - i, cp);
        if (len == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.append(QChar::highSurrogate(cp));
            out.append(QChar::lowSurrogate(cp));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += len;
    }
    return out;
}

void appendEncodedName(QByteArray& out, QStringView name) {
    // One pass into room for the longest result (three bytes per UTF-16
    // unit; a surrogate pair's four bytes take the room of two units).
    const qsizetype start = out.size();
    const qsizetype n = name.size();
    if (QtPrivate::isAscii(name)) {
        out.resize(start + n);
        char* o = out.data() + start;
        const char16_t* p = name.utf16();
        for (qsizetype i = 0; i < n; ++i)
            o[i] = char(p[i]);
        return;
    }
    out.resize(start + 3 * n);
    char* o = out.data() + start;
    char* const begin = o;
    const char16_t* p = name.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u < 0x80) {
            *o++ = char(u);
            continue;
        }
        char32_t cp = u;
        if (u >= 0xDC80 && u <= 0xDCFF) {
            *o++ = char(u - kEscapeBase);
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            cp = QChar::surrogateToUcs4(u, p[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(u)) {
            cp = 0xFFFD; // a stray surrogate has no bytes of its own
        }
        if (cp < 0x800) {
            *o++ = char(0xC0 | (cp >> 6));
            *o++ = char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *o++ = char(0xE0 | (cp >> 12));
            *o++ = char(0x80 | ((cp >> 6) & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        } else {
            *o++ = char(0xF0 | (cp >> 18));
            *o++ = char(0x80 | ((cp >> 12) & 0x3F));
            *o++ = char(0x80 | ((cp >> 6) & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        }
    }
    out.resize(start + (o - begin));
}

QByteArray encodeName(const QString& name) {
    QByteArray out;
    if (!name.isEmpty())
        appendEncodedName(out, name);
    return out;
}

QString visibleName(const QString& name) {
    QString out = name;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0xDC80 && u <= 0xDCFF) || u < 0x20 || u == 0x7F)
            c = QChar(char16_t(0xFFFD));
    }
    return out;
}

QString programHome(const QString& executableDir) {
    QString dir = qEnvironmentVariable("VORLANE_HOME");
    if (dir.isEmpty()) {
        if (!executableDir.isEmpty() && ::access(QFile::encodeName(executableDir).constData(), W_OK) == 0) {
            dir = executableDir;
        } else {
            QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
            if (base.isEmpty())
                base = QDir::homePath() + QStringLiteral("/.config");
            dir = base + QStringLiteral("/vorlane");
        }
    }
    QDir().mkpath(dir);
    while (dir.size() > 1 && dir.endsWith(u'/'))
        dir.chop(1);
    return dir;
}

QStringList helpFilePlaces(const QString& executableDir) {
    QStringList places;
    for (const char* place : {"/vln.html", "/../share/vorlane/vln.html"})
        places << QDir::cleanPath(QFileInfo(executableDir + QLatin1String(place)).absoluteFilePath());
    return places;
}

QString helpFile(const QString& executableDir) {
    for (const QString& place : helpFilePlaces(executableDir))
        if (QFileInfo::exists(place))
            return place;
    return QString();
}

QString helpMissingText(const QString& executableDir) {
    QString text = QStringLiteral("Can't open help file\rvln.html was not found at:");
    for (const QString& place : helpFilePlaces(executableDir))
        text += u'\r' + visibleName(place);
    return text;
}

} // namespace vorlane
