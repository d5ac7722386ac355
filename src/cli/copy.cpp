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
    NamedFiles files;
    if (!files.read(a.values.value(QStringLiteral("--names"))))
        return 2;

    Options options;
    CliPrompts prompts;
    prompts.onError = onError == QLatin1String("ignore") ? Prompts::Answer::Ignore : Prompts::Answer::Abort;
    ListNameLines editor;
    Workspace ws({&options, &prompts, &editor});
    // The names file may group the files: "#" and a separator's text, as scan prints it.
    files.addTo(ws.list, editor, a.positional, true);
    ws.list.SelectAll1Click();

    CopyRun run(ws.list, prompts, ws.clock, ws.pump);
    const CopyRun::Result r = compare ? run.CountCRC(absolute(to)) : run.CopyFiles(absolute(to));
    return (r.done < int(a.positional.size()) || r.aborted || r.cancelled) ? 1 : 0;
}

int copy(const QStringList& argv) {
    return copyOrCompare(argv, false);
}

} // namespace vorlane::cli
