#include "cli.h"

#include "core/app/workspace.h"
#include "core/project/projectfile.h"

namespace vorlane::cli {

int project(const QStringList& argv) {
    const Args a = parse(argv, {}, {});
    if (a.help)
        return help();
    if (!a.error.isEmpty() || a.positional.size() != 1) {
        err(a.error.isEmpty() ? QStringLiteral("project needs one project file") : a.error);
        return 2;
    }
    Options options;
    CliPrompts prompts;
    ListNameLines editor;
    Workspace ws({&options, &prompts, &editor});
    const QString path = absolute(a.positional.first());
    QString error;
    const bool read = loadProject(path, ws.list, &error);
    // What was read is printed also when the file breaks off later.
    for (int i = 0; i < ws.list.count(); ++i) {
        const QString& text = ws.list.text(i);
        out((ws.list.isSeparator(i) ? u'#' + text : text) + u'\t' + editor.line(i));
    }
    if (!read) {
        err(QStringLiteral("can't read ") + path + QStringLiteral(": ") + error);
        return 1;
    }
    return 0;
}

} // namespace vorlane::cli
