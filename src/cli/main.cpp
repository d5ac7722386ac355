// vorlane-cli: the renamer's core for scripts.
#include "cli.h"

#include "core/platform/paths.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace vorlane;

namespace {

const char* kIntro = "Usage: vorlane-cli [--version] [--help] COMMAND [OPTIONS] [--] ARGS...\n"
                     "\n"
                     "Batch renaming from the command line, with the same core as the desktop program.\n"
                     "\n"
                     "Commands:\n";

const char* kOptions = "\n"
                       "Options:\n"
                       "  --version   print the version and exit\n"
                       "  --help      print this help and exit (after a command: that command's help)\n"
                       "  --          end of options: every later argument is a path\n";

// Each command's usage as the help lists it: "  NAME ARGS", continuation
// lines of the arguments indented further, then the description.
struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp kCommandHelp[] = {
    {"scan", "  scan [--recursive] [--file-mask MASKS] DIR...\n"
             "      Print what opening each folder would add to an empty file list: one\n"
             "      line per list line, a file as its full path, a separator as '#' and its text.\n"
             "      --recursive        include subfolders\n"
             "      --file-mask MASKS  e.g. \"*.mp3;*.wav\" (default \"*.*\")\n"},
    {"rename", "  rename --names FILE [--yes] [--on-error abort|ignore] [--resolve-chains]\n"
               "         [--check | --dry-run] PATH...\n"
               "      Rename PATH i to line i of FILE (in the folder of PATH i; trailing\n"
               "      blanks dropped), appending each rename to the undo log. FILE '-' is\n"
               "      standard input (then give --yes); FILE may also be a pipe, as <(...)\n"
               "      gives. PATH must be a file, not a folder; a FILE with more or fewer\n"
               "      names than paths is warned about. One line is printed per failure, with\n"
               "      its cause; the exit status is 1 when any rename failed.\n"
               "      --yes              do not ask for confirmation\n"
               "      --on-error WHAT    abort (default) or ignore a failed rename and go on\n"
               "      --resolve-chains   order the renames so that a name is freed before it\n"
               "                         is taken, swapping through temporary names\n"
               "      --check            rename nothing; print each rename that would fail as\n"
               "                         PATH<TAB>NAME<TAB>reason (status 1 when there are any)\n"
               "      --dry-run          rename nothing and log nothing; print each rename the\n"
               "                         run would make as OLD<TAB>NEW (full paths, in order,\n"
               "                         temporary names included; a tab in a path shows as\n"
               "                         U+2409), each failure as the run reports it; status\n"
               "                         1 when any rename would fail\n"},
    {"names", "  names --mask MASK [--case none|lower|upper|first|words] [--force-case]\n"
              "        [--translit] [--exclude-ext] [--counter-per-folder] [--all-tags]\n"
              "        [--extended-elements]\n"
              "        [--replace PATTERN REPLACEMENT [--regex] [--match-case] [--whole-words]]\n"
              "        PATH...\n"
              "      Print the new name of each path from MASK (e.g. \"[c3,'1']_[n].[e]\"); the\n"
              "      counter is the path's position, the total the number of paths. A\n"
              "      malformed mask prints <Error> for each path and ends with status 2.\n"
              "      --counter-per-folder  count each run of consecutive paths in one folder\n"
              "                         on its own, as the window does per separator group\n"
              "      --all-tags         [ma] [mc] [mr] [mt] [my] read tags of every kind: ID3v2\n"
              "                         first in MP3 files, the own tags of FLAC, Ogg, Opus,\n"
              "                         M4A, WMA, APE, WavPack, AIFF and WAV files\n"
              "      --extended-elements  [mn] (track number, e.g. 07) and [mg] (genre) are\n"
              "                         valid elements\n"
              "      --replace PATTERN REPLACEMENT  then replace every occurrence of PATTERN\n"
              "                         in each name, as Replace in the name editor does:\n"
              "                         plain text, letter case ignored unless --match-case;\n"
              "                         --whole-words: not part of a longer word; --regex:\n"
              "                         PATTERN is a regular expression (PCRE2) and $0..$9\n"
              "                         in REPLACEMENT stand for its groups\n"},
    {"tags", "  tags [--all-tags] PATH\n"
             "      Print the ID3v1 fields of a file: title=, artist=, album=, year=, comment=.\n"
             "      --all-tags         the fields of tags of every kind (ID3v2 first in MP3\n"
             "                         files, a FLAC, Ogg, Opus, M4A... file's own tags),\n"
             "                         then track= and genre=\n"},
    {"project", "  project PATH.vln\n"
                "      Print the file list of a project file as scan does, each line followed\n"
                "      by a tab and its line of the name editor. A file that breaks off is\n"
                "      printed up to its last whole record, its error named; status 1.\n"},
    {"undo", "  undo --list\n"
             "      Print the undo log, oldest rename first: one line per rename, the old\n"
             "      path and the new name separated by a tab; an entry that is never taken\n"
             "      back (an old path that is not a full path, no new name) has its reason\n"
             "      after a second tab.\n"
             "  undo --last N\n"
             "      Take the last N renames back, newest first: each file gets its old name\n"
             "      again (an existing file is never replaced) and its entry leaves the log\n"
             "      at once, so a stopped run can simply be run again. An entry whose file\n"
             "      is already back is dropped with a note. The run stops at the first\n"
             "      rename that cannot be taken back, printing it with its cause; it and\n"
             "      the older entries stay, and the exit status is 1.\n"},
    {"time", "  time [--all-tags] PATH...\n"
             "      Print the playing time of each .mp3 or .wav file in whole seconds, one\n"
             "      line per path; a file that cannot be counted prints 0, its reason goes\n"
             "      to standard error and the exit status is 1.\n"
             "      --all-tags         also FLAC, Ogg, Opus, M4A and the other formats whose\n"
             "                         audio properties the tag library reads\n"},
    {"copy", "  copy --names FILE --to DIR [--on-error abort|ignore] PATH...\n"
             "      Copy PATH i into DIR under the next name of FILE. A line '#TEXT' in FILE is\n"
             "      a separator, as scan prints it: the files after it go into the sub-folder\n"
             "      named by TEXT's last component (an empty one is named 1..9, A..Z, 0 in\n"
             "      turn); files before any separator go into DIR/0. An existing copy is\n"
             "      never replaced: one that holds the beginning of its source is completed,\n"
             "      any other is reported. The exit status is 1 when a file was not copied.\n"
             "      --on-error WHAT    abort (default) or ignore a failed file and go on\n"},
    {"compare", "  compare --names FILE --to DIR [--on-error abort|ignore] PATH...\n"
                "      Compare each PATH with its copy, found as copy places it, by CRC-32;\n"
                "      the exit status is 1 when a copy differs or is missing.\n"},
};

struct Command {
    const char* name;
    int (*run)(const QStringList& argv);
};

const Command kCommands[] = {
    // clang-format off
    {"scan", cli::scan},
    {"rename", cli::rename},
    {"names", cli::names},
    {"tags", cli::tags},
    {"project", cli::project},
    {"undo", cli::undo},
    {"time", cli::time},
    {"copy", cli::copy},
    {"compare", cli::compare},
    // clang-format on
};

// The command being run, whose help `help()` prints; empty before one is chosen.
QString g_command;

void printUsage(std::FILE* to) {
    std::fputs(kIntro, to);
    for (const CommandHelp& c : kCommandHelp)
        std::fputs(c.text, to);
    std::fputs(kOptions, to);
}

// One command's part of the usage, its synopsis lines turned into "Usage:"
// lines: "  undo --list" becomes "Usage: vorlane-cli undo --list", a further
// synopsis of the same command "   or: vorlane-cli ...", and the lines that
// continue a synopsis move right with it.
QByteArray commandUsage(const CommandHelp& c) {
    static const QByteArray prefix = "Usage: vorlane-cli ";
    const QByteArray name = QByteArray("  ") + c.name + ' ';
    QByteArray out;
    bool synopsis = false;
    int usages = 0;
    for (const QByteArray& line : QByteArray(c.text).split('\n')) {
        if (line.isEmpty())
            continue;
        if (line.startsWith(name)) {
            out += (usages++ == 0 ? prefix : QByteArray("   or: vorlane-cli ")) + line.mid(2);
            synopsis = true;
        } else if (synopsis && line.startsWith("       ")) {
            out += QByteArray(prefix.size() - 2, ' ') + line;
        } else {
            synopsis = false;
            out += line;
        }
        out += '\n';
    }
    return out;
}

} // namespace

int vorlane::cli::help() {
    for (const CommandHelp& c : kCommandHelp) {
        if (g_command == QLatin1String(c.name)) {
            std::fputs(commandUsage(c).constData(), stdout);
            return 0;
        }
    }
    printUsage(stdout);
    return 0;
}

int main(int argc, char* argv[]) {
    // A write past the file-size limit fails with EFBIG and is reported like a
    // full disk, instead of killing the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
    // Arguments by their bytes: paths need not be UTF-8.
    QStringList args;
    args.reserve(argc);
    for (int i = 1; i < argc; ++i)
        args << decodeName(QByteArrayView(argv[i]));
    if (args.isEmpty()) {
        printUsage(stderr);
        return 2;
    }
    const QString cmd = args.takeFirst();
    if (cmd == QLatin1String("--help") || cmd == QLatin1String("-h"))
        return cli::help();
    if (cmd == QLatin1String("--version")) {
        std::printf("vorlane-cli %s\n", VORLANE_VERSION);
        return 0;
    }
    for (const Command& c : kCommands)
        if (cmd == QLatin1String(c.name)) {
            g_command = cmd;
            return c.run(args);
        }
    cli::err(QStringLiteral("unknown command '") + cmd + QStringLiteral("'"));
    printUsage(stderr);
    return 2;
}
