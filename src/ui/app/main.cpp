// The desktop program.
#include "core/platform/paths.h"
#include "ui/app/qtprompts.h"
#include "ui/app/tmain.h"

#include <QApplication>
#include <QDir>
#include <QProxyStyle>

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
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(new HintStyle);
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));

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

    // Paths given on the command line, by their real bytes.
    QStringList paths;
    const QString cwd = QDir::currentPath();
    for (int i = 1; i < argc; ++i) {
        QString p = vorlane::decodeName(QByteArray(argv[i]));
        if (!p.startsWith(u'/'))
            p = cwd + u'/' + p;
        paths << p;
    }
    if (!paths.isEmpty())
        main.addPaths(paths);
    return app.exec();
}
