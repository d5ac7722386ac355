// vorlane-cli: the renamer's core for scripts.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

const char* kHelp = "Usage: vorlane-cli [--version] [--help] COMMAND [ARGS...]\n"
                    "\n"
                    "Batch renaming from the command line, with the same core as the desktop program.\n"
                    "\n"
                    "Options:\n"
                    "  --version   print the version and exit\n"
                    "  --help      print this help and exit\n";

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        std::fputs(kHelp, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == QLatin1String("--version")) {
        std::printf("vorlane-cli %s\n", VORLANE_VERSION);
        return 0;
    }
    std::fprintf(stderr, "vorlane-cli: unknown command '%s'\n%s", qPrintable(args.first()), kHelp);
    return 2;
}
