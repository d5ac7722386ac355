#include "cli.h"

#include "core/app/workspace.h"

namespace vorlane::cli {

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
    Workspace ws({&options, &prompts, &editor});
    const bool recursive = a.flags.contains(QStringLiteral("--recursive"));
    for (const QString& dir : a.positional)
        ws.adder.addFolder(absolute(dir), recursive);
    for (int i = 0; i < ws.list.count(); ++i)
        out(ws.list.isSeparator(i) ? u'#' + ws.list.text(i) : ws.list.text(i));
    return prompts.errors ? 1 : 0;
}

} // namespace vorlane::cli
