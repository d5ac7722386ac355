#include "cli.h"

#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/rename/undolist.h"
#include "core/rename/undolog.h"

#include <QCoreApplication>

namespace vorlane::cli {

int undo(const QStringList& argv) {
    const Args a = parse(argv, {QStringLiteral("--list")}, {QStringLiteral("--last")});
    if (a.help)
        return help();
    QString error = a.error;
    const bool list = a.flags.contains(QStringLiteral("--list"));
    const bool last = a.values.contains(QStringLiteral("--last"));
    if (error.isEmpty() && list == last)
        error = QStringLiteral("undo takes either --list or --last N");
    if (error.isEmpty() && !a.positional.isEmpty())
        error = QStringLiteral("undo takes no paths");
    int n = 0;
    if (error.isEmpty() && last) {
        bool ok = false;
        n = a.values.value(QStringLiteral("--last")).toInt(&ok);
        if (!ok || n < 1)
            error = QStringLiteral("--last takes a whole number of 1 or more");
    }
    if (!error.isEmpty()) {
        err(error);
        return 2;
    }

    const QString log = programHome(QCoreApplication::applicationDirPath()) + QStringLiteral("/vlnundo.txt");
    QString why;
    if (!UndoLog::createIfMissing(log, &why)) {
        err(QStringLiteral("can't create the undo log ") + log + QStringLiteral(": ") + why);
        return 1;
    }
    if (list) {
        QByteArray bytes;
        if (!readWholeFile(log, bytes, &why)) {
            err(QStringLiteral("can't read the undo log ") + log + QStringLiteral(": ") + why);
            return 1;
        }
        for (const UndoRow& r : UndoList::parse(bytes))
            out(r.before + u'\t' + r.after + (r.refused.isEmpty() ? QString() : u'\t' + r.refused));
        return 0;
    }
    const TakeBackResult r = takeBackLast(log, n, PosixFileSystem::instance());
    for (const QString& note : r.notes)
        err(note);
    for (const QString& failure : r.failures)
        err(failure);
    if (!r.error.isEmpty())
        err(r.error);
    if (r.left > 0)
        err(QStringLiteral("%1 older rename(s) were not taken back; their entries stay in the undo log")
                .arg(r.left));
    if (!r.error.isEmpty() || !r.failures.isEmpty())
        return 1;
    if (r.available < n)
        err(QStringLiteral("warning: the undo log held %1 rename(s)").arg(r.available));
    return 0;
}

} // namespace vorlane::cli
