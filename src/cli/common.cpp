#include "cli.h"

#include "core/copy/copyrun.h"
#include "core/filelist/filelist.h"
#include "core/platform/dirwalk.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"

#include <QDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane::cli {

void out(const QString& line) {
    const QByteArray b = encodeName(withVisibleControls(line)) + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString& line) {
    const QByteArray b = "vorlane-cli: " + encodeName(withVisibleControls(line)) + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

Prompts::Answer CliPrompts::ask(const QString& title, const QString& text, Icon icon, Buttons buttons) {
    if (buttons == Buttons::Ok && icon == Icon::Information) {
        // A summary: one line each ("Operation complete", then any count).
        QString summary = text;
        summary.remove(QLatin1String(CopyRun::kLinesStaySelected));
        for (const QString& part : summary.split(u'\r', Qt::SkipEmptyParts))
            err(part);
        return Answer::Ok;
    }
    // "Can't rename file\rOLD\r\tto\rNEW\rcause" -> "Can't rename file OLD to NEW: cause"
    QString line = text;
    line.remove(QStringLiteral("\rWhat do you want to do?"));
    line.replace(QStringLiteral("\r\tto\r"), QStringLiteral(" to "));
    // "CRC are not coincide\rSRC\r(CRC=..)\r\rCOPY\r(CRC=..)" -> "... SRC (CRC=..): COPY (CRC=..)"
    line.replace(QStringLiteral("\r\r"), QStringLiteral("\r"));
    line.replace(QStringLiteral("\r(CRC="), QStringLiteral(" (CRC="));
    while (line.endsWith(u'\r'))
        line.chop(1);
    const qsizetype first = line.indexOf(u'\r');
    if (first >= 0)
        line[first] = u' ';
    line.replace(u'\r', QStringLiteral(": "));
    switch (buttons) {
    case Buttons::Ok:
        if (icon == Icon::Error)
            ++errors;
        err(line);
        return Answer::Ok;
    case Buttons::AbortRetryIgnore:
        ++errors;
        err(line);
        return onError;
    case Buttons::YesNoCancel:
        break;
    }
    if (yes)
        return Answer::Yes;
    if (!::isatty(STDIN_FILENO)) {
        err(title + QStringLiteral(": ") + line + QStringLiteral(" (not confirmed; use --yes)"));
        return Answer::No;
    }
    std::fprintf(stderr, "%s? [y/N] ", encodeName(line).constData());
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return Answer::No;
    return (answer[0] == 'y' || answer[0] == 'Y') ? Answer::Yes : Answer::No;
}

namespace {

bool readNames(const QString& path, QStringList& names, QString& error) {
    int fd = STDIN_FILENO;
    if (path != QLatin1String("-")) {
        // The user names this file on purpose: a pipe (as a shell's <(...)
        // passes it) or a FIFO is read as a stream, like standard input, and
        // waits for its writer. Anything else must be a regular file.
        const QByteArray name = encodeName(path);
        struct ::stat st {};
        if (::stat(name.constData(), &st) == 0 && S_ISFIFO(st.st_mode)) {
            do {
                fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
            } while (fd < 0 && errno == EINTR);
            if (fd < 0) {
                error = systemErrorText(errno);
                return false;
            }
        } else {
            OpenedFile f = openRegularFile(path, O_RDONLY);
            if (!f.ok()) {
                error = f.error;
                return false;
            }
            fd = f.fd.release();
        }
    }
    QByteArray bytes;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        bytes.append(buf, n);
    }
    const int readError = n < 0 ? errno : 0;
    if (fd != STDIN_FILENO)
        ::close(fd);
    if (readError) {
        error = systemErrorText(readError);
        return false;
    }
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    names.reserve(rest.count('\n') + 1);
    for (;;) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        if (line.endsWith('\r'))
            line.chop(1);
        names << decodeName(line);
        if (end < 0)
            break;
        rest = rest.sliced(end + 1);
    }
    if (!names.isEmpty() && names.last().isEmpty())
        names.removeLast(); // the final line break ends the last line
    return true;
}

} // namespace

QString absolute(const QString& path) {
    // Read once: the command line never changes folder, and a lookup per
    // path would cost a system call each.
    static const QString current = currentFolder();
    return path.startsWith(u'/') ? path : current + u'/' + path;
}

bool NamedFiles::read(const QString& namesPath) {
    m_path = namesPath;
    QString error;
    if (readNames(namesPath, m_lines, error))
        return true;
    err(QStringLiteral("can't read ") + namesPath + QStringLiteral(": ") + error);
    return false;
}

void NamedFiles::addTo(FileList& list, NameLines& editor, const QStringList& paths, bool separators) const {
    const int n = int(paths.size());
    int added = 0;
    int names = 0;
    for (const QString& line : m_lines) {
        if (separators && line.startsWith(u'#')) {
            list.AddSeparator(line.mid(1));
            continue;
        }
        ++names;
        if (added < n) {
            list.AddItem(added, n, true, absolute(paths[added]));
            editor.setLine(list.count() - 1, line);
            ++added;
        }
    }
    for (; added < n; ++added)
        list.AddItem(added, n, true, absolute(paths[added]));
    if (names != n)
        err(QStringLiteral("warning: %1 holds %2 name(s) for %3 path(s)").arg(m_path).arg(names).arg(n));
}

Args parse(const QStringList& in, const QSet<QString>& flags, const QSet<QString>& valued,
           const QSet<QString>& paired) {
    Args a;
    bool options = true;
    for (int i = 0; i < in.size(); ++i) {
        const QString& s = in[i];
        if (options && s == QLatin1String("--")) {
            options = false;
        } else if (options && s == QLatin1String("--help")) {
            a.help = true;
        } else if (options && s.startsWith(QLatin1String("--"))) {
            QString name = s, value;
            const qsizetype eq = s.indexOf(u'=');
            if (eq > 0) {
                name = s.left(eq);
                value = s.mid(eq + 1);
            }
            if (flags.contains(name) && eq < 0) {
                a.flags.insert(name);
            } else if (valued.contains(name)) {
                if (eq < 0) {
                    if (++i >= in.size()) {
                        a.error = name + QStringLiteral(" needs a value");
                        return a;
                    }
                    value = in[i];
                }
                a.values.insert(name, value);
            } else if (paired.contains(name)) {
                QStringList both;
                if (eq > 0)
                    both << value;
                while (both.size() < 2 && ++i < in.size())
                    both << in[i];
                if (both.size() < 2) {
                    a.error = name + QStringLiteral(" needs two values");
                    return a;
                }
                a.pairs.insert(name, both);
            } else {
                a.error = QStringLiteral("unknown option ") + s;
                return a;
            }
        } else {
            a.positional << s;
        }
    }
    return a;
}

} // namespace vorlane::cli
