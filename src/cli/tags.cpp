#include "cli.h"

#include "core/media/mp3tag.h"
#include "core/media/tagreader.h"
#include "core/platform/fileio.h"

#include <fcntl.h>
#include <unistd.h>

namespace vorlane::cli {

int tags(const QStringList& argv) {
    const Args a = parse(argv, {QStringLiteral("--all-tags")}, {});
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
    const std::pair<const char*, char> fields[] = {{"title", 'T'}, {"artist", 'A'},  {"album", 'C'},
                                                   {"year", 'Y'},  {"comment", 'R'}, {"track", 'N'},
                                                   {"genre", 'G'}};
    if (a.flags.contains(QStringLiteral("--all-tags"))) {
        const auto tags = readAllTags(path);
        if (!tags) {
            err(QStringLiteral("can't open ") + path);
            return 1;
        }
        for (const auto& [name, letter] : fields)
            out(QString::fromLatin1(name) + u'=' + tags->field(letter));
        return 0;
    }
    // The ID3v1 fields that the masks read while the option is off.
    for (const auto& [name, letter] : fields) {
        if (letter == 'N')
            break;
        const auto value = ReadMp3TagField(path, letter);
        if (!value) {
            err(QStringLiteral("can't open ") + path);
            return 1;
        }
        out(QString::fromLatin1(name) + u'=' + *value);
    }
    return 0;
}

} // namespace vorlane::cli
