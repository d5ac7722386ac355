#include "cli.h"

#include "core/app/workspace.h"
#include "core/editor/searchreplace.h"
#include "core/masks/applymask.h"
#include "core/masks/convert.h"
#include "core/platform/paths.h"

#include <optional>

namespace vorlane::cli {

namespace {

// The search of --replace from its options; an error when they do not make one.
std::optional<SearchPattern> replacePattern(const Args& a, QString& error) {
    const QStringList options = {QStringLiteral("--regex"), QStringLiteral("--match-case"),
                                 QStringLiteral("--whole-words")};
    const QStringList replace = a.pairs.value(QStringLiteral("--replace"));
    if (replace.isEmpty()) {
        for (const QString& o : options)
            if (a.flags.contains(o))
                error = o + QStringLiteral(" goes with --replace");
        return std::nullopt;
    }
    SearchOptions so;
    so.regex = a.flags.contains(options[0]);
    so.matchCase = a.flags.contains(options[1]);
    so.wholeWords = a.flags.contains(options[2]);
    SearchPattern pattern(replace[0], so);
    if (replace[0].isEmpty())
        error = QStringLiteral("--replace: the pattern is empty");
    else if (!pattern.isValid())
        error = QStringLiteral("--replace: bad regular expression '") + replace[0] + QStringLiteral("': ") +
                pattern.errorText() + QStringLiteral(" at position ") +
                QString::number(pattern.errorOffset());
    else if (hasLineBreakOrNul(replace[1]))
        error = QStringLiteral("--replace: the replacement holds a line break or a NUL character");
    return pattern;
}

} // namespace

int names(const QStringList& argv) {
    const Args a =
        parse(argv,
              {QStringLiteral("--force-case"), QStringLiteral("--translit"), QStringLiteral("--exclude-ext"),
               QStringLiteral("--regex"), QStringLiteral("--match-case"), QStringLiteral("--whole-words"),
               QStringLiteral("--counter-per-folder"), QStringLiteral("--all-tags"),
               QStringLiteral("--extended-elements")},
              {QStringLiteral("--mask"), QStringLiteral("--case")}, {QStringLiteral("--replace")});
    if (a.help)
        return help();
    QString error = a.error;
    const std::optional<SearchPattern> pattern = error.isEmpty() ? replacePattern(a, error) : std::nullopt;
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
    options.cbAllTags = a.flags.contains(QStringLiteral("--all-tags"));
    options.cbExtendedElements = a.flags.contains(QStringLiteral("--extended-elements"));
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
    ctx.allTags = options.cbAllTags;
    MaskSpec naming;
    naming.extendedElements = options.cbExtendedElements;
    naming.mask = a.values.value(QStringLiteral("--mask"));
    naming.settings.Casecb = caseChoice;
    naming.settings.fcase = a.flags.contains(QStringLiteral("--force-case"));
    naming.settings.Translitcb = a.flags.contains(QStringLiteral("--translit"));
    naming.settings.exextcb = a.flags.contains(QStringLiteral("--exclude-ext"));
    const Mask mask(naming);
    // Each path's counter and total: over all paths, or over the run of
    // consecutive paths in the same folder (the command line has no separators).
    QVector<CounterPlace> places(n);
    const bool perFolder = a.flags.contains(QStringLiteral("--counter-per-folder"));
    for (int start = 0; start < n;) {
        int end = start + 1;
        while (perFolder && end < n && folderPart(paths[end]) == folderPart(paths[start]))
            ++end;
        if (!perFolder)
            end = n;
        for (int i = start; i < end; ++i)
            places[i] = {i - start, end - start};
        start = end;
    }
    bool malformed = false;
    QStringList names;
    for (int i = 0; i < n; ++i) {
        const auto name = mask.apply(places[i].counter, places[i].total, paths[i], ctx);
        malformed = malformed || !name;
        bool gaveUp = false;
        if (name && pattern)
            names << replaceAllIn(*name, *pattern, a.pairs.value(QStringLiteral("--replace"))[1], nullptr,
                                  &gaveUp);
        else
            names << name.value_or(QStringLiteral("<Error>"));
        if (gaveUp) {
            // No names at all rather than a list that stops short of the paths.
            err(QStringLiteral("--replace: ") + tooComplexMessage(i).replace(u'\r', QStringLiteral(": ")));
            return 2;
        }
    }
    for (const QString& name : names)
        out(name);
    return malformed ? 2 : 0;
}

} // namespace vorlane::cli
