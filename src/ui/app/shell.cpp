#include "shell.h"

#include "core/platform/paths.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QUrl>

namespace vorlane {

namespace {
QUrl urlOf(const QString& path) {
    // The URL carries the path's real bytes, also for names that are not UTF-8.
    return QUrl::fromEncoded("file://" + encodeName(path).toPercentEncoding("/"), QUrl::StrictMode);
}
} // namespace

bool Shell::openFile(const QString& path) {
    return QDesktopServices::openUrl(urlOf(path));
}

bool Shell::showInFileManager(const QString& path) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{urlOf(path).toString(QUrl::FullyEncoded)} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    return QDesktopServices::openUrl(urlOf(folderPart(path)));
}

Shell& Shell::desktop() {
    static Shell shell;
    return shell;
}

} // namespace vorlane
