// vorlane-cli: the renamer's core for scripts.
#include "core/editor/namelines.h"
#include "core/filelist/adding.h"
#include "core/masks/applymask.h"
#include "core/media/mp3tag.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/rename/rename.h"
#include "core/rename/undolog.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace vorlane;

namespace {

const char* kHelp = "Usage: vorlane-cli [--version] [--help] COMMAND [OPTIONS] [--] ARGS...\n"
                    "\n"
                    "Batch renaming from the command line, with the same core as the desktop program.\n"
                    "\n"
                    "Commands:\n"
                    "  scan [--recursive] [--file-mask MASKS] DIR...\n"
                    "      Print what opening each folder would add to an empty file list: one\n"
                    "      line per list line, a file as its full path, a separator as '#' and its text.\n"
                    "      --recursive        include subfolders\n"
                    "      --file-mask MASKS  e.g. \"*.mp3;*.wav\" (default \"*.*\")\n"
                    "  rename --names FILE [--yes] [--on-error abort|ignore] PATH...\n"
                    "      Rename PATH i to line i of FILE (in the folder of PATH i; trailing\n"
                    "      blanks dropped), appending each rename to the undo log. FILE '-' is\n"
                    "      standard input (then give --yes). PATH must be a file, not a folder;\n"
                    "      a FILE with more or fewer names than paths is warned about. One line\n"
                    "      is printed per failure, with its cause; the exit status is 1 when any\n"
                    "      rename failed.\n"
                    "      --yes              do not ask for confirmation\n"
                    "      --on-error WHAT    abort (default) or ignore a failed rename and go on\n"
                    "  names --mask MASK [--case none|lower|upper|first|words] [--force-case]\n"
                    "        [--translit] [--exclude-ext] PATH...\n"
                    "      Print the new name of each path from MASK (e.g. \"[c3,'1']_[n].[e]\"); the\n"
                    "      counter is the path's position, the total the number of paths. A\n"
                    "      malformed mask prints <Error> for each path and ends with status 2.\n"
                    "  tags PATH\n"
                    "      Print the ID3v1 fields of a file: title=, artist=, album=, year=, comment=.\n"
                    "\n"
                    "Options:\n"
                    "  --version   print the version and exit\n"
                    "  --help      print this help and exit\n"
                    "  --          end of options: every later argument is a path\n";

// Output is line by line: a CR, LF or NUL from a name is shown, never written.
void out(const QString& line) {
    const QByteArray b = encodeName(withVisibleControls(line)) + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void err(const QString& line) {
    const QByteArray b = "vorlane-cli: " + encodeName(withVisibleControls(line)) + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

// Message boxes on a terminal: errors go to standard error, questions are
// answered by the command's options or, on a terminal, by the user.
class CliPrompts : public Prompts {
public:
    bool yes = false;
    Answer onError = Answer::Abort;
    int errors = 0;

    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override {
        // "Can't rename file\rOLD\r\tto\rNEW\rcause" -> "Can't rename file OLD to NEW: cause"
        QString line = text;
        line.remove(QStringLiteral("\rWhat do you want to do?"));
        line.replace(QStringLiteral("\r\tto\r"), QStringLiteral(" to "));
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
};

// The names file, one name a line (LF or CR LF; a UTF-8 byte-order mark is
// dropped); "-" reads standard input.
bool readNames(const QString& path, QStringList& names, QString& error) {
    int fd = STDIN_FILENO;
    if (path != QLatin1String("-")) {
        const OpenedFile f = openRegularFile(path, O_RDONLY);
        if (!f.ok()) {
            error = f.error;
            return false;
        }
        fd = f.fd;
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
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        names << decodeName(line);
    }
    if (!names.isEmpty() && names.last().isEmpty())
        names.removeLast(); // the final line break ends the last line
    return true;
}

QString absolute(const QString& path) {
    return path.startsWith(u'/') ? path : QDir::currentPath() + u'/' + path;
}

struct Args {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
    QString error;
    bool help = false;
};

// Options before "--", each either a flag or taking one value; --help among
// them asks for the usage instead.
Args parse(const QStringList& in, const QSet<QString>& flags, const QSet<QString>& valued) {
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

int help() {
    std::fputs(kHelp, stdout);
    return 0;
}

int scan(const QStringList& argv) {
    const Args a = parse(argv, {QStringLiteral("--recursive")}, {QStringLiteral("--file-mask")});
    if (a.help)
        return help();
    if (!a.error.isEmpty() || a.positional.isEmpty()) {
        err(a.error.isEmpty() ? QStringLiteral("scan needs at least one folder") : a.error);
        return 2;
    }
    Options options;
    if (a.values.contains(QStringLiteral("--file-mask")))
        options.masked = a.values.value(QStringLiteral("--file-mask"));
    CliPrompts prompts;
    ListNameLines editor;
    FileList list(options, prompts, editor, PosixFileSystem::instance());
    SteadyClock clock;
    NoPump pump;
    GroupOperation group(list.groupCounterRef(), clock, pump);
    FileAdder adder(list, group, prompts, options);
    const bool recursive = a.flags.contains(QStringLiteral("--recursive"));
    for (const QString& dir : a.positional)
        adder.addFolder(absolute(dir), recursive);
    for (int i = 0; i < list.count(); ++i)
        out(list.isSeparator(i) ? u'#' + list.text(i) : list.text(i));
    return prompts.errors ? 1 : 0;
}

int rename(const QStringList& argv) {
    const Args a =
        parse(argv, {QStringLiteral("--yes")}, {QStringLiteral("--names"), QStringLiteral("--on-error")});
    if (a.help)
        return help();
    QString error = a.error;
    const QString onError = a.values.value(QStringLiteral("--on-error"), QStringLiteral("abort"));
    if (error.isEmpty() && !a.values.contains(QStringLiteral("--names")))
        error = QStringLiteral("rename needs --names FILE");
    if (error.isEmpty() && onError != QLatin1String("abort") && onError != QLatin1String("ignore"))
        error = QStringLiteral("--on-error takes abort or ignore");
    if (error.isEmpty() && a.positional.isEmpty())
        error = QStringLiteral("rename needs at least one path");
    if (!error.isEmpty()) {
        err(error);
        return 2;
    }
    const QString namesPath = a.values.value(QStringLiteral("--names"));
    QStringList names;
    if (!readNames(namesPath, names, error)) {
        err(QStringLiteral("can't read ") + namesPath + QStringLiteral(": ") + error);
        return 2;
    }
    const int n = int(a.positional.size());
    for (const QString& path : a.positional) {
        if (PosixFileSystem::instance().stat(absolute(path)).isDir) {
            err(path + QStringLiteral(": is a folder; rename takes files only"));
            return 2;
        }
    }
    if (names.size() != n)
        err(QStringLiteral("warning: %1 holds %2 name(s) for %3 path(s)")
                .arg(namesPath)
                .arg(names.size())
                .arg(n));

    Options options;
    CliPrompts prompts;
    prompts.yes = a.flags.contains(QStringLiteral("--yes"));
    prompts.onError = onError == QLatin1String("ignore") ? Prompts::Answer::Ignore : Prompts::Answer::Abort;
    ListNameLines editor;
    FileList list(options, prompts, editor, PosixFileSystem::instance());
    for (int i = 0; i < n; ++i)
        list.AddItem(i, n, true, absolute(a.positional[i]));
    editor.setLines(names.mid(0, n));
    list.SelectAll1Click();

    const QString log = programHome(QCoreApplication::applicationDirPath()) + QStringLiteral("/vlnundo.txt");
    QString logError;
    if (!UndoLog::createIfMissing(log, &logError)) {
        err(QStringLiteral("can't create the undo log ") + log + QStringLiteral(": ") + logError);
        return 1;
    }
    const RenameRun::Result r = RenameRun(list, prompts, PosixFileSystem::instance(), log).Rename1Click();
    if (!r.started)
        return 1;
    return (r.failed > 0 || r.renamed < n) ? 1 : 0;
}

int names(const QStringList& argv) {
    const Args a = parse(
        argv, {QStringLiteral("--force-case"), QStringLiteral("--translit"), QStringLiteral("--exclude-ext")},
        {QStringLiteral("--mask"), QStringLiteral("--case")});
    if (a.help)
        return help();
    QString error = a.error;
    static const QStringList cases = {QStringLiteral("none"), QStringLiteral("lower"),
                                      QStringLiteral("upper"), QStringLiteral("first"),
                                      QStringLiteral("words")};
    const int caseChoice =
        int(cases.indexOf(a.values.value(QStringLiteral("--case"), QStringLiteral("none"))));
    if (error.isEmpty() && !a.values.contains(QStringLiteral("--mask")))
        error = QStringLiteral("names needs --mask MASK");
    if (error.isEmpty() && caseChoice < 0)
        error = QStringLiteral("--case takes none, lower, upper, first or words");
    if (error.isEmpty() && a.positional.isEmpty())
        error = QStringLiteral("names needs at least one path");
    if (!error.isEmpty()) {
        err(error);
        return 2;
    }
    Options options;
    CliPrompts prompts;
    ListNameLines editor;
    FileList list(options, prompts, editor, PosixFileSystem::instance());
    const int n = int(a.positional.size());
    QStringList paths;
    for (int i = 0; i < n; ++i) {
        const QString path = absolute(a.positional[i]);
        paths << path;
        // A file enters as the add-files command adds it; anything else as a stored line.
        const FileSystem::Stat st = PosixFileSystem::instance().stat(path);
        const bool file = st.exists && !st.isDir;
        list.AddItem(i, n, !file, path, file ? &st : nullptr);
    }
    MaskContext ctx;
    ctx.list = &list;
    ctx.editor = &editor;
    MaskSpec spec;
    spec.mask = a.values.value(QStringLiteral("--mask"));
    spec.settings.Casecb = caseChoice;
    spec.settings.fcase = a.flags.contains(QStringLiteral("--force-case"));
    spec.settings.Translitcb = a.flags.contains(QStringLiteral("--translit"));
    spec.settings.exextcb = a.flags.contains(QStringLiteral("--exclude-ext"));
    const Mask mask(spec);
    bool malformed = false;
    for (int i = 0; i < n; ++i) {
        const auto name = mask.apply(i, n, paths[i], ctx);
        malformed = malformed || !name;
        out(name.value_or(QStringLiteral("<Error>")));
    }
    return malformed ? 2 : 0;
}

int tags(const QStringList& argv) {
    const Args a = parse(argv, {}, {});
    if (a.help)
        return help();
    if (!a.error.isEmpty() || a.positional.size() != 1) {
        err(a.error.isEmpty() ? QStringLiteral("tags needs one path") : a.error);
        return 2;
    }
    const QString path = absolute(a.positional.first());
    // The reason a file cannot be read, which the tag reader does not give.
    const OpenedFile probe = openRegularFile(path, O_RDONLY);
    if (!probe.ok()) {
        err(QStringLiteral("can't open ") + path + QStringLiteral(": ") + probe.error);
        return 1;
    }
    ::close(probe.fd);
    const std::pair<const char*, char> fields[] = {
        {"title", 'T'}, {"artist", 'A'}, {"album", 'C'}, {"year", 'Y'}, {"comment", 'R'}};
    for (const auto& [name, letter] : fields) {
        const auto value = ReadMp3TagField(path, letter);
        if (!value) {
            err(QStringLiteral("can't open ") + path);
            return 1;
        }
        out(QString::fromLatin1(name) + u'=' + *value);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
    // Arguments by their bytes: paths need not be UTF-8.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << decodeName(QByteArray(argv[i]));
    if (args.isEmpty()) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    const QString cmd = args.takeFirst();
    if (cmd == QLatin1String("--help") || cmd == QLatin1String("-h"))
        return help();
    if (cmd == QLatin1String("--version")) {
        std::printf("vorlane-cli %s\n", VORLANE_VERSION);
        return 0;
    }
    if (cmd == QLatin1String("scan"))
        return scan(args);
    if (cmd == QLatin1String("rename"))
        return rename(args);
    if (cmd == QLatin1String("names"))
        return names(args);
    if (cmd == QLatin1String("tags"))
        return tags(args);
    err(QStringLiteral("unknown command '") + cmd + QStringLiteral("'"));
    std::fputs(kHelp, stderr);
    return 2;
}
