#include "cli.h"

#include "core/media/playtime.h"

namespace vorlane::cli {

int time(const QStringList& argv) {
    const Args a = parse(argv, {QStringLiteral("--all-tags")}, {});
    if (a.help)
        return help();
    if (!a.error.isEmpty() || a.positional.isEmpty()) {
        err(a.error.isEmpty() ? QStringLiteral("time needs at least one path") : a.error);
        return 2;
    }
    const bool allTags = a.flags.contains(QStringLiteral("--all-tags"));
    CliPrompts prompts;
    bool failed = false;
    for (const QString& given : a.positional) {
        const QString path = absolute(given);
        qint32 seconds = 0;
        if (timeKindOf(path, allTags) == TimeKind::None) {
            err(path + (allTags ? QStringLiteral(": not an audio file whose playing time is known")
                                : QStringLiteral(": not an .mp3 or .wav file")));
            failed = true;
        } else {
            const int before = prompts.errors;
            seconds = CountPlayTime(path, prompts, allTags);
            failed = failed || prompts.errors != before;
        }
        // One line per path, so that lines and paths pair up.
        out(QString::number(seconds));
    }
    return failed ? 1 : 0;
}

} // namespace vorlane::cli
