#include "core/platform/dirwalk.h"
#include "core/platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vorlane;

TEST(Paths, PartsOfAPath) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* last;
        const char* ext;
    };
    const Case cases[] = {
        {"/m/Rock/a.mp3", "/m/Rock/", "a.mp3", "a.mp3", ".mp3"},
        {"/m/Rock", "/m/", "Rock", "Rock", ""},
        {"/m/Rock/", "/m/Rock/", "", "Rock", ""},
        {"Separator", "", "Separator", "Separator", ""},
        {"/", "/", "", "", ""},
        {"/a.b/c", "/a.b/", "c", "c", ""},
        {"/x/.hidden", "/x/", ".hidden", ".hidden", ".hidden"},
        {"/x/a.tar.gz", "/x/", "a.tar.gz", "a.tar.gz", ".gz"},
    };
    for (const Case& c : cases) {
        const QString p = QString::fromUtf8(c.path);
        EXPECT_EQ(folderPart(p), QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(fileNamePart(p), QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(lastComponent(p), QString::fromUtf8(c.last)) << c.path;
        EXPECT_EQ(extensionOf(p), QString::fromUtf8(c.ext)) << c.path;
    }
}

TEST(Paths, CodecKeepsValidUtf8AsText) {
    const QByteArray utf8 = QStringLiteral("/music/Пётр — 🎵.mp3").toUtf8();
    EXPECT_EQ(decodeName(utf8), QStringLiteral("/music/Пётр — 🎵.mp3"));
    EXPECT_EQ(encodeName(decodeName(utf8)), utf8);
}

TEST(Paths, CodecRoundTripsAnyBytes) {
    // Invalid sequences: lone continuation, truncated, overlong, surrogate, past U+10FFFF, Latin-1.
    const QList<QByteArray> odd = {"\x80",        "a\xC3",   "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                   "caf\xE9.txt", "\xFF\xFE"};
    for (const QByteArray& b : odd) {
        const QString s = decodeName(b);
        EXPECT_EQ(encodeName(s), b) << b.toHex().constData();
        EXPECT_NE(s.toUtf8(), b) << "invalid bytes must not pass as text";
    }
    QRandomGenerator rng(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray b(int(rng.bounded(1, 24)), '\0');
        for (char& c : b)
            c = char(rng.bounded(1, 256));
        ASSERT_EQ(encodeName(decodeName(b)), b) << b.toHex().constData();
    }
}

TEST(Paths, EncodingAppendsToWhatIsThere) {
    // Text that is not from a name as well: a stray surrogate has no bytes
    // of its own and becomes U+FFFD.
    const struct {
        QString name;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("plain ascii.mp3"), "plain ascii.mp3"},
        {QStringLiteral("Пётр 🎵"), "\xD0\x9F\xD1\x91\xD1\x82\xD1\x80 \xF0\x9F\x8E\xB5"},
        {decodeName("caf\xE9\xFF"), "caf\xE9\xFF"},
        {QString(QChar(0xD83C)) + u'a', "\xEF\xBF\xBD"
                                        "a"},
        {u'a' + QString(QChar(0xDE00)), "a\xEF\xBF\xBD"},
        {QString(), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeName(c.name), c.bytes) << c.bytes.toHex().constData();
        QByteArray out("x/");
        appendEncodedName(out, c.name);
        appendEncodedName(out, c.name);
        EXPECT_EQ(out, "x/" + c.bytes + c.bytes) << c.bytes.toHex().constData();
    }
}

TEST(Paths, HomeFolderFollowsOverride) {
    QTemporaryDir dir;
    const QString wanted = dir.path() + QStringLiteral("/home/sub");
    qputenv("VORLANE_HOME", wanted.toUtf8());
    EXPECT_EQ(programHome(QStringLiteral("/nonexistent")), wanted);
    EXPECT_TRUE(QFileInfo(wanted).isDir());
    qunsetenv("VORLANE_HOME");
    // Writable executable folder: portable use.
    EXPECT_EQ(programHome(dir.path()), dir.path());
    // Not writable: the per-user configuration folder.
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/cfg")).toUtf8());
    EXPECT_EQ(programHome(QStringLiteral("/nonexistent/bin")), dir.path() + QStringLiteral("/cfg/vorlane"));
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(Paths, FirstFolderAmongManyPathsOfOneFolder) {
    // Past 64 paths in a folder the kinds come from one listing; each case
    // puts one odd path among 70 plain files, and a few paths alone, which
    // are looked up one by one.
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath(QStringLiteral("sub"));
    QStringList files;
    for (int i = 0; i < 70; ++i) {
        files << root + QStringLiteral("/f%1").arg(i);
        QFile f(files.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(::symlink("sub", QFile::encodeName(root + QStringLiteral("/tosub")).constData()), 0);
    ASSERT_EQ(::symlink("f1", QFile::encodeName(root + QStringLiteral("/tofile")).constData()), 0);
    const struct {
        const char* odd;
        bool folder;
    } cases[] = {
        {"sub", true},     {"tosub", true}, {"..", true},         {"sub/", true}, {".", true},
        {"tofile", false}, {"gone", false}, {"sub/../f2", false}, {"f3", false},
    };
    for (const auto& c : cases) {
        for (const bool many : {true, false}) {
            QStringList paths = many ? files : files.mid(0, 3);
            const qsizetype at = paths.size() - 2;
            paths.insert(at, root + u'/' + QString::fromLatin1(c.odd));
            EXPECT_EQ(firstFolder(paths), c.folder ? at : -1) << c.odd << " many=" << many;
        }
    }
}
