#include "cli.h"

#include "core/app/workspace.h"
#include "core/platform/dirwalk.h"
#include "core/platform/paths.h"
#include "core/rename/conflicts.h"
#include "core/rename/planfs.h"
#include "core/rename/rename.h"
#include "core/rename/undolog.h"

#include <QCoreApplication>

namespace vorlane::cli {

namespace {

// A path of a dry-run line: a tab in it is shown as U+2409 so that the one
// real tab of the line always parts the old path from the new one (line
// breaks never get this far: the run refuses them).
QString plannedField(QString path) {
    return path.replace(u'\t', QChar(0x2409));
}

} // namespace

int rename(const QStringList& argv) {
    const Args a = parse(argv,
                         {QStringLiteral("--yes"), QStringLiteral("--resolve-chains"),
                          QStringLiteral("--check"), QStringLiteral("--dry-run")},
                         {QStringLiteral("--names"), QStringLiteral("--on-error")});
    if (a.help)
        return help();
    QString error = a.error;
    const QString onError = a.values.value(QStringLiteral("--on-error"), QStringLiteral("abort"));
    if (error.isEmpty() && !a.values.contains(QStringLiteral("--names")))
        error = QStringLiteral("rename needs --names FILE");
    if (error.isEmpty() && onError != QLatin1String("abort") && onError != QLatin1String("ignore"))
        error = QStringLiteral("--on-error takes abort or ignore");
    if (error.isEmpty() && a.flags.contains(QStringLiteral("--check")) &&
        a.flags.contains(QStringLiteral("--dry-run")))
        error = QStringLiteral("give --check or --dry-run, not both");
    if (error.isEmpty() && a.positional.isEmpty())
        error = QStringLiteral("rename needs at least one path");
    if (!error.isEmpty()) {
        err(error);
        return 2;
    }
    NamedFiles files;
    if (!files.read(a.values.value(QStringLiteral("--names"))))
        return 2;
    QStringList paths;
    paths.reserve(a.positional.size());
    for (const QString& path : a.positional)
        paths << absolute(path);
    if (const qsizetype i = firstFolder(paths); i >= 0) {
        err(a.positional[i] + QStringLiteral(": is a folder; rename takes files only"));
        return 2;
    }

    Options options;
    options.cbResolveChains = a.flags.contains(QStringLiteral("--resolve-chains"));
    CliPrompts prompts;
    prompts.yes = a.flags.contains(QStringLiteral("--yes"));
    prompts.onError = onError == QLatin1String("ignore") ? Prompts::Answer::Ignore : Prompts::Answer::Abort;
    ListNameLines editor;
    Workspace ws({&options, &prompts, &editor});
    files.addTo(ws.list, editor, a.positional, false);
    ws.list.SelectAll1Click();

    if (a.flags.contains(QStringLiteral("--check"))) {
        // The renames that would fail, one a line; nothing is renamed.
        const QVector<Conflict> conflicts = findConflicts(ws.list, options.cbResolveChains);
        for (const Conflict& c : conflicts)
            out(ws.list.text(c.line) + QStringLiteral("\t") + editor.line(c.line) + QStringLiteral("\t") +
                conflictText(c.kind));
        return conflicts.isEmpty() ? 0 : 1;
    }

    if (a.flags.contains(QStringLiteral("--dry-run"))) {
        // The real run over a file system that only remembers its steps:
        // same order, same temporary names, same failures (on standard
        // error, as the real run reports them), and no undo log.
        PlanningFileSystem plan(ws.fs);
        RenameRun run(ws.list, prompts, plan, QString());
        run.setUnlogged();
        prompts.yes = true;
        const RenameRun::Result r = run.Rename1Click();
        for (const PlanningFileSystem::Step& step : plan.steps())
            out(plannedField(step.from) + u'\t' + plannedField(step.to));
        return (r.failed > 0 || r.renamed < int(a.positional.size())) ? 1 : 0;
    }

    const QString log = programHome(QCoreApplication::applicationDirPath()) + QStringLiteral("/vlnundo.txt");
    QString logError;
    if (!UndoLog::createIfMissing(log, &logError)) {
        err(QStringLiteral("can't create the undo log ") + log + QStringLiteral(": ") + logError);
        return 1;
    }
    const RenameRun::Result r = RenameRun(ws.list, prompts, ws.fs, log).Rename1Click();
    if (!r.started)
        return 1;
    return (r.failed > 0 || r.renamed < int(a.positional.size())) ? 1 : 0;
}

} // namespace vorlane::cli
