#include "cli.h"

#include "core/app/workspace.h"
#include "core/copy/copyrun.h"
#include "core/platform/paths.h"

namespace vorlane::cli {

int copyOrCompare(const QStringList& argv, bool compare) {
    const QString command = compare ? QStringLiteral("compare") : QStringLiteral("copy");
    const Args a =
        parse(argv, {}, {QStringLiteral("--names"), QStringLiteral("--to"), QStringLiteral("--on-error")});
    if (a.help)
        return help();
    QString error = a.error;
    const QString onError = a.values.value(QStringLiteral("--on-error"), QStringLiteral("abort"));
    if (error.isEmpty() && !a.values.contains(QStringLiteral("--names")))
        error = command + QStringLiteral(" needs --names FILE");
    if (error.isEmpty() && !a.values.contains(QStringLiteral("--to")))
        error = command + QStringLiteral(" needs --to DIR");
    if (error.isEmpty() && onError != QLatin1String("abort") && onError != QLatin1String("ignore"))
        error = QStringLiteral("--on-error takes abort or ignore");
    if (error.isEmpty() && a.positional.isEmpty())
        error = command + QStringLiteral(" needs at least one path");
    const QString to = a.values.value(QStringLiteral("--to"));
    if (error.isEmpty() && !PosixFileSystem::instance().stat(absolute(to)).isDir)
        error = to + QStringLiteral(": is not a folder");
    if (!error.isEmpty()) {
        err(error);
        return 2;
    }
    const QString namesPath = a.values.value(QStringLiteral("--names"));
    QStringList lines;
    if (!readNames(namesPath, lines, error)) {
        err(QStringLiteral("can't read ") + namesPath + QStringLiteral(": ") + error);
        return 2;
    }

    Options options;
    CliPrompts prompts;
    prompts.onError = onError == QLatin1String("ignore") ? Prompts::Answer::Ignore : Prompts::Answer::Abort;
    ListNameLines editor;
    Workspace ws({&options, &prompts, &editor});
    // Each line of the names file is a separator ("#" and its text, as scan
    // prints it) or the name of the next path.
    const int n = int(a.positional.size());
    int paths = 0;
    int names = 0;
    for (const QString& line : lines) {
        if (line.startsWith(u'#')) {
            ws.list.AddSeparator(line.mid(1));
            continue;
        }
        ++names;
        if (paths < n) {
            ws.list.AddItem(paths, n, true, absolute(a.positional[paths]));
            editor.setLine(ws.list.count() - 1, line);
            ++paths;
        }
    }
    for (; paths < n; ++paths)
        ws.list.AddItem(paths, n, true, absolute(a.positional[paths]));
    if (names != n)
        err(QStringLiteral("warning: %1 holds %2 name(s) for %3 path(s)").arg(namesPath).arg(names).arg(n));
    ws.list.SelectAll1Click();

    CopyRun run(ws.list, prompts, ws.clock, ws.pump);
    const CopyRun::Result r = compare ? run.CountCRC(absolute(to)) : run.CopyFiles(absolute(to));
    return (r.done < n || r.aborted || r.cancelled) ? 1 : 0;
}

int copy(const QStringList& argv) {
    return copyOrCompare(argv, false);
}

} // namespace vorlane::cli
