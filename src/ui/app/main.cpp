// The desktop program.
#include "core/platform/paths.h"
#include "ui/app/qtprompts.h"
#include "ui/app/tmain.h"

#include <QApplication>
#include <QDir>
#include <QProxyStyle>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {
// Hints show after 100 ms.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 100;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
const char* kUsage = "Usage: vorlane [OPTIONS] [--] [FILE|FOLDER]...\n"
                     "\n"
                     "Renames many files at once: the files and folders given are listed in the\n"
                     "left pane, their new names are made in the right one. A project file\n"
                     "(.vln) among them is opened first, as File > Open does, and the others\n"
                     "are added to it.\n"
                     "\n"
                     "Options:\n"
                     "  --version   print the version and exit\n"
                     "  --help      print this help and exit\n"
                     "  --          end of options: every later argument is a path\n";

// --help and --version are answered before a window (or a display) is needed.
// Returns the exit status, or -1 to go on.
int answerInfoOptions(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0)
            break;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(a, "--version") == 0) {
            std::printf("vorlane %s\n", VORLANE_VERSION);
            return 0;
        }
    }
    return -1;
}
} // namespace

int main(int argc, char* argv[]) {
    if (const int status = answerInfoOptions(argc, argv); status >= 0)
        return status;
    // A write past the file-size limit fails with EFBIG and is reported like a
    // full disk, instead of killing the program with the user's unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setStyle(new HintStyle);
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
    // What is left of argv is ours; an option we do not know is not a path.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            const QByteArray shown =
                vorlane::encodeName(vorlane::withVisibleControls(vorlane::decodeName(argv[i])));
            std::fprintf(stderr, "vorlane: unknown option '%s'\nTry 'vorlane --help'.\n", shown.constData());
            return 2;
        }
    }

    const QString appDir = QApplication::applicationDirPath();
    vorlane::Options options;
    vorlane::QtPrompts prompts;
    vorlane::TMainDeps deps;
    deps.options = &options;
    deps.prompts = &prompts;
    deps.home = vorlane::programHome(appDir);
    deps.appDir = appDir;

    vorlane::TMain main(deps);
    prompts.setOwner(&main);
    main.show();

    // Paths given on the command line, by their real bytes (the toolkit has
    // taken its own options out of argv).
    QStringList paths;
    const QString cwd = QDir::currentPath();
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        if (!optionsEnd && std::strcmp(argv[i], "--") == 0) {
            optionsEnd = true;
            continue;
        }
        QString p = vorlane::decodeName(QByteArray(argv[i]));
        if (!p.startsWith(u'/'))
            p = cwd + u'/' + p;
        paths << p;
    }
    if (!paths.isEmpty())
        main.openArguments(paths);
    return app.exec();
}
