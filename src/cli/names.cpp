#include "cli.h"

#include "core/app/workspace.h"
#include "core/masks/applymask.h"

namespace vorlane::cli {

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
    Workspace ws({&options, &prompts, &editor});
    FileList& list = ws.list;
    const int n = int(a.positional.size());
    QStringList paths;
    for (int i = 0; i < n; ++i) {
        const QString path = absolute(a.positional[i]);
        paths << path;
        // A file enters as the add-files command adds it; anything else as a stored line.
        const FileSystem::Stat st = ws.fs.stat(path);
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

} // namespace vorlane::cli
