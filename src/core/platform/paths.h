#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Path rules shared by the whole program. On POSIX the folder part of a path
// runs up to and including its last '/'.
namespace vorlane {

#ifdef Q_OS_WIN
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif

// True for the characters that end a folder part ('/' here; '\' and ':' on Windows).
inline bool isPathDelimiter(QChar c) {
    if constexpr (kWindowsPaths)
        return c == u'\\' || c == u':';
    return c == u'/';
}
// Index of the last delimiter, or -1.
qsizetype lastDelimiter(const QString& path);
// Folder part including its final delimiter ("/a/b/c.txt" -> "/a/b/").
QString folderPart(const QString& path);
// Everything after the folder part ("/a/b/c.txt" -> "c.txt").
QString fileNamePart(const QString& path);
// The last component after one trailing delimiter is dropped:
// "/m/Rock" and "/m/Rock/" give "Rock", "Separator" stays, "/" gives "".
QString lastComponent(const QString& path);
// What a separator shows for its folder: the last component, or the whole
// text when that is empty, so the root "/" shows as "/" rather than nothing.
QString separatorName(const QString& text);
// The text from the file name's last '.' on, the dot included; empty if none.
QString extensionOf(const QString& path);

// True when the text holds CR, LF or NUL, which no line of ours may carry.
bool hasLineBreakOrNul(const QString& text);
// The text with CR, LF and NUL shown as the symbols U+240D, U+240A and U+2400,
// for messages that quote a name.
QString withVisibleControls(const QString& text);

// Lossless file-name codec: valid UTF-8 decodes as usual; every byte that is
// not part of a valid sequence maps to U+DC80 + (byte - 0x80) and back, so a
// name that is not valid UTF-8 survives the round trip byte for byte.
QString decodeName(QByteArrayView bytes);
QByteArray encodeName(const QString& name);
// encodeName's bytes appended to `out`, which keeps its capacity between calls.
void appendEncodedName(QByteArray& out, QStringView name);
// A name or path in the codec's form as one line of display text: each byte
// that is not UTF-8 and each control character (CR, LF, NUL, ...) shows as
// U+FFFD, one character for one, so a prefix of the text is a prefix of the name.
QString visibleName(const QString& name);

// Folder that holds vln.ini and vlnundo.txt: $VORLANE_HOME when set, else the
// executable's folder when writable, else $XDG_CONFIG_HOME/vorlane
// (~/.config/vorlane). The folder is created when missing. Ends without '/'.
QString programHome(const QString& executableDir);
// The help file: vln.html beside the executable, else where an installation
// puts it (share/vorlane beside bin); empty when neither exists.
QString helpFile(const QString& executableDir);
// The full paths helpFile looks at, in its order.
QStringList helpFilePlaces(const QString& executableDir);
// What F1 says when there is no help file: the name it looked for and where.
QString helpMissingText(const QString& executableDir);

} // namespace vorlane
