#include "core/media/mp3tag.h"

#include "support/diskfixture.h"
#include "support/guards.h"
#include "support/qtprint.h"

#include <sys/stat.h>

using namespace vorlane;

namespace {
// A file of some audio bytes followed by a 128-byte tag built from fields.
QString tagged(const Disk& disk, const QString& name, const QByteArray& title, const QByteArray& artist = {},
               const QByteArray& year = {}, const QByteArray& comment = {}, const QByteArray& magic = "TAG") {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, magic);
    tag.replace(3, title.size(), title);
    tag.replace(33, artist.size(), artist);
    tag.replace(93, year.size(), year);
    tag.replace(97, comment.size(), comment);
    const QString p = disk.path(name);
    QFile f(p);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, '\xFF') + tag.left(128));
    return p;
}
} // namespace

TEST(Mp3Tag, Fields) {
    Disk disk;
    const QByteArray thirty = "123456789012345678901234567890";
    struct Case {
        QString path;
        char field;
        QString expected;
    };
    const Case cases[] = {
        {tagged(disk, "full.mp3", thirty), 'T', QString::fromLatin1(thirty)},
        {tagged(disk, "spaces.mp3", QByteArray(30, ' ')), 'T', ""},
        {tagged(disk, "zero.mp3", QByteArray("Abc\0xyz", 7)), 'T', "Abc"},
        {tagged(disk, "lead.mp3", "  Lead  \t "), 'T', "  Lead  \t"},
        {tagged(disk, "year.mp3", "", "", "2001"), 'Y', "2001"},
        {tagged(disk, "noyear.mp3", "x"), 'Y', ""},
        {tagged(disk, "lower.mp3", "Title", "", "", "", "tag"), 'T', ""},
        {tagged(disk, "v11.mp3", "", "", "",
                QByteArray("Comment text", 12) + QByteArray(16, '\0') + "\0\x07"),
         'R', "Comment text"},
        {tagged(disk, "artist.mp3", "", "Artist"), 'A', "Artist"},
        {tagged(disk, "utf8.mp3", "Пётр"), 'T', "Пётр"},
        {tagged(disk, "cp1251.mp3", "\xCF\xB8\xF2\xF0"), 'T', "Пётр"},
        // UTF-8 cut inside a character at the field's end loses only that character.
        {tagged(disk, "cututf8.mp3", "a" + QByteArray("ж").repeated(14) + "\xD0"), 'T',
         "a" + QString("ж").repeated(14)},
        {tagged(disk, "cut3.mp3", "", "", "", QByteArray("€").repeated(8) + "abcd\xE2\x82"), 'R',
         QString("€").repeated(8) + "abcd"},
        // Without other UTF-8 in the field a final lead byte is a letter of Windows-1251.
        {tagged(disk, "cp1251end.mp3", QByteArray(29, 'a') + "\xC2"), 'T', QString(29, 'a') + "В"},
        // Line breaks become blanks: the text is one line of a list.
        {tagged(disk, "breaks.mp3", "Ti\r\ntle\r\n"), 'T', "Ti  tle"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadMp3TagField(c.path, c.field), c.expected) << c.path.toStdString();
}

TEST(Mp3Tag, ShortAndMissingFiles) {
    Disk disk;
    EXPECT_EQ(ReadMp3TagField(disk.file("short.mp3", 100), 'T'), QString());
    EXPECT_EQ(ReadMp3TagField(disk.file("empty.mp3", 0), 'A'), QString());
    EXPECT_EQ(ReadMp3TagField(disk.path("missing.mp3"), 'T'), std::nullopt);
    // A FIFO named like a song is not read (opening it used to wait for a writer).
    const QString fifo = disk.path("x.mp3");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    EXPECT_EQ(inChild([&] { return ReadMp3TagField(fifo, 'T') == std::nullopt; }), true);
}
