#include "core/masks/applymask.h"
#include "core/media/mp3tag.h"
#include "core/media/playtime.h"
#include "core/media/tagreader.h"
#include "support/diskfixture.h"
#include "support/mediafiles.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

using namespace vorlane;

namespace {

// The fields in mask order: title, artist, album, year, comment, track, genre.
const QString kAllFields = QStringLiteral("[mt]|[ma]|[mc]|[my]|[mr]|[mn]|[mg]");

std::optional<QString> named(const QString& path, const QString& mask, bool allTags, bool extended = true) {
    MaskSpec naming;
    naming.mask = mask;
    naming.extendedElements = extended;
    MaskContext ctx;
    ctx.allTags = allTags;
    return ApplyMask(0, 1, path, naming, ctx);
}

// A 128-byte ID3v1.1 tag: title, artist, track byte, genre byte.
QByteArray id3v1(const QByteArray& title, const QByteArray& artist, int track, int genre) {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, title.size(), title);
    tag.replace(33, artist.size(), artist);
    tag[126] = char(track);
    tag[127] = char(genre);
    return tag;
}

void append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(bytes);
}

QByteArray contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// Two seconds of sine, and the files the encoders make of it.
class EncodedTags : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_disk = std::make_unique<Disk>();
        s_sox = media::sine(s_disk->path("s.wav"), 2.0, 44100, {"-b", "16", "-c", "1"});
    }
    static void TearDownTestSuite() { s_disk.reset(); }

    // Runs each command in turn (an encoder, then a tagger), with "IN" and
    // "OUT" standing for the sound and the file made.
    static QString make(const QString& name, const QList<QStringList>& commands) {
        const QString out = s_disk->path(name);
        for (QStringList c : commands) {
            for (QString& arg : c)
                arg = arg == "IN" ? s_disk->path("s.wav") : arg == "OUT" ? out : arg;
            // Encoders read non-ASCII arguments through the locale.
            QString errors;
            EXPECT_TRUE(media::run("env", QStringList{"LC_ALL=C.UTF-8"} + c, &errors))
                << errors.toStdString();
        }
        return out;
    }
    static bool have(const QStringList& programs, QString* missing) {
        if (!s_sox) {
            *missing = "sox";
            return false;
        }
        for (const QString& p : programs)
            if (QStandardPaths::findExecutable(p).isEmpty()) {
                *missing = p;
                return false;
            }
        return true;
    }

    static std::unique_ptr<Disk> s_disk;
    static bool s_sox;
};
std::unique_ptr<Disk> EncodedTags::s_disk;
bool EncodedTags::s_sox = false;

struct Kind {
    const char* name;
    QStringList programs;
    QList<QStringList> commands;
    // The seven fields as kAllFields joins them.
    QString fields;
};

void PrintTo(const Kind& k, std::ostream* os) {
    *os << k.name;
}

class EncodedKinds : public EncodedTags, public ::testing::WithParamInterface<Kind> {};

} // namespace

// Each kind's own tags through the mask engine, with the option on; the
// playing time from the audio properties (2 s of sound).
TEST_P(EncodedKinds, FieldsAndTime) {
    const Kind& k = GetParam();
    QString missing;
    if (!have(k.programs, &missing))
        GTEST_SKIP() << missing.toStdString() << " is not installed: no " << k.name << " file to read";
    const QString path = make(k.name, k.commands);
    EXPECT_EQ(named(path, kAllFields, true), k.fields);
    // The reader's own text, as the command line prints it, is one line too.
    const auto t = readAllTags(path);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(
        QStringList({t->title, t->artist, t->album, t->year, t->comment, t->track, t->genre}).join(u'|'),
        k.fields);

    ScriptedPrompts prompts;
    const qint32 seconds = CountPlayTime(path, prompts, true);
    if (timeKindOf(path) == TimeKind::None) {
        EXPECT_EQ(seconds, 2);
        EXPECT_TRUE(prompts.shown.isEmpty());
        // Without the option these formats have no time and no message.
        EXPECT_EQ(CountPlayTime(path, prompts, false), 0);
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EncodedKinds,
    ::testing::Values(
        Kind{"id3v2.mp3",
             {"lame"},
             {{"lame", "--quiet", "--id3v2-only", "--tt", "Песня о нём", "--ta", "Artist", "--tl", "Album",
               "--ty", "2001", "--tc", "Comment", "--tn", "7/12", "--tg", "Rock", "IN", "OUT"}},
             "Песня о нём|Artist|Album|2001|Comment|07|Rock"},
        Kind{"tags.flac",
             {"flac", "metaflac"},
             {{"flac", "--silent", "-f", "-o", "OUT", "IN"},
              {"metaflac", "--set-tag=TITLE=Flac title", "--set-tag=ARTIST=Флак", "--set-tag=ALBUM=Album",
               "--set-tag=DATE=1999", "--set-tag=COMMENT=Line one\r\nline two", "--set-tag=TRACKNUMBER=3",
               "--set-tag=GENRE=Jazz", "OUT"}},
             "Flac title|Флак|Album|1999|Line one  line two|03|Jazz"},
        Kind{"tags.ogg",
             {"oggenc"},
             {{"oggenc", "--quiet", "-t", "Ogg title", "-a", "Artist", "-l", "Album", "-d", "2010", "-N",
               "12/14", "-G", "Pop", "-c", "COMMENT=Hi", "-o", "OUT", "IN"}},
             "Ogg title|Artist|Album|2010|Hi|12|Pop"},
        Kind{"tags.opus",
             {"opusenc"},
             {{"opusenc", "--quiet", "--title", "Opus title", "--artist", "Artist", "--album", "Album",
               "--date", "2020-05-01", "--tracknumber", "105", "--genre", "Blues", "--comment", "COMMENT=c",
               "IN", "OUT"}},
             "Opus title|Artist|Album|2020|c|105|Blues"}),
    [](const ::testing::TestParamInfo<Kind>& info) {
        return QString::fromLatin1(info.param.name).replace(u'.', u'_').toStdString();
    });

// In an MP3 the ID3v2 frame comes first and the ID3v1 field fills what v2
// lacks; with the option off only ID3v1 counts, and the new elements are
// malformed until "Extended mask elements" is on.
TEST_F(EncodedTags, OptionsSwitchTheReaderAndTheElements) {
    QString missing;
    if (!have({"lame"}, &missing))
        GTEST_SKIP() << missing.toStdString() << " is not installed: no MP3 with an ID3v2 tag";
    const QString path =
        make("both.mp3", {{"lame", "--quiet", "--id3v2-only", "--tt", "V2 title", "--tn", "4", "IN", "OUT"}});
    append(path, id3v1("V1 title", "V1 artist", 9, 17));
    struct Case {
        QString mask;
        bool allTags, extended;
        std::optional<QString> name;
    };
    const Case cases[] = {
        {"[mt]-[ma]", false, false, "V1 title-V1 artist"},
        {"[mt]-[ma]", true, false, "V2 title-V1 artist"},
        {"[mn] [mg]", false, true, "09 Rock"},
        {"[mn] [mg]", true, true, "04 Rock"},
        {"[mn]", true, false, std::nullopt},
        {"[MG]", false, false, std::nullopt},
        {"[mx]", true, true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask.toStdString() + (c.allTags ? " all tags" : "") + (c.extended ? " extended" : ""));
        EXPECT_EQ(named(path, c.mask, c.allTags, c.extended), c.name);
    }
}

// ID3v1 alone, as the new elements read it with the option off and on: the
// v1.1 track byte only after a zero byte, the genre byte's name.
TEST(TagReader, Id3v1TrackAndGenre) {
    Disk disk;
    struct Case {
        const char* name;
        QByteArray tag;
        QString track, genre;
    };
    QByteArray v10 = id3v1("T", "A", 5, 0);
    v10[125] = 'x'; // a comment that fills all 30 bytes: no track
    const Case cases[] = {
        {"v11.mp3", id3v1("T", "A", 7, 17), "07", "Rock"},
        {"v10.mp3", v10, "", "Blues"},
        {"nogenre.mp3", id3v1("T", "A", 0, 255), "", ""},
        {"notag.mp3", QByteArray(128, 'x'), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = disk.path(c.name);
        append(path, QByteArray(300, '\0') + c.tag);
        for (const bool allTags : {false, true}) {
            EXPECT_EQ(named(path, "[mn]", allTags), c.track) << allTags;
            EXPECT_EQ(named(path, "[mg]", allTags), c.genre) << allTags;
        }
    }
}

// Damaged files: cut short, garbled, an ID3v2 header that claims more than
// the file holds. Each gives text (empty or what is left) and never fails
// the mask; a missing file fails it as before.
TEST_F(EncodedTags, DamagedTagsGiveEmptyText) {
    QString missing;
    if (!have({"lame", "flac", "metaflac", "oggenc"}, &missing))
        GTEST_SKIP() << missing.toStdString() << " is not installed: no files to damage";
    const QString mp3 = make("d.mp3", {{"lame", "--quiet", "--id3v2-only", "--tt", "Title", "IN", "OUT"}});
    const QString flac = make("d.flac", {{"flac", "--silent", "-f", "-o", "OUT", "IN"},
                                         {"metaflac", "--set-tag=TITLE=Title", "OUT"}});
    const QString ogg = make("d.ogg", {{"oggenc", "--quiet", "-t", "Title", "-o", "OUT", "IN"}});
    QByteArray hugeV2 = contents(mp3);
    hugeV2[6] = hugeV2[7] = hugeV2[8] = hugeV2[9] = '\x7F'; // a 256 MiB tag
    QByteArray garbled = contents(flac);
    for (qsizetype i = 8; i < qMin<qsizetype>(garbled.size(), 600); i += 7)
        garbled[i] = char(garbled[i] ^ 0x5A);
    const std::pair<const char*, QByteArray> files[] = {
        {"cut.mp3", contents(mp3).left(20)},
        {"huge.mp3", hugeV2},
        {"cut.flac", contents(flac).left(100)},
        {"garbled.flac", garbled},
        {"cut.ogg", contents(ogg).left(200)},
        {"random.opus", QByteArray(5000, '\x4F')},
        {"empty.m4a", QByteArray()},
        {"text.wma", QByteArray("not a file of this kind")},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const QString path = s_disk->path(name);
        append(path, bytes);
        const auto text = named(path, kAllFields, true);
        ASSERT_TRUE(text.has_value());
        EXPECT_TRUE(*text == "||||||" || *text == "Title||||||") << text->toStdString();
    }
    EXPECT_EQ(named(s_disk->path("missing.flac"), "[mt]", true), std::nullopt);
    EXPECT_EQ(named(s_disk->path("missing.flac"), "[n]", true), "missing");
}

// Bytes in memory: each format's reader run over cut copies of a real file
// ends, whatever the cut.
TEST_F(EncodedTags, EveryCutOfARealFileEnds) {
    QString missing;
    if (!have({"flac", "metaflac"}, &missing))
        GTEST_SKIP() << missing.toStdString() << " is not installed";
    const QByteArray whole = contents(make("c.flac", {{"flac", "--silent", "-f", "-o", "OUT", "IN"},
                                                      {"metaflac", "--set-tag=TITLE=Title", "OUT"}}));
    for (qsizetype cut = 0; cut < qMin<qsizetype>(whole.size(), 4000); cut += 37) {
        MemorySource source(QByteArrayView(whole).first(cut));
        const TagFields t = readAllTags(source, "c.flac");
        EXPECT_TRUE(t.title.isEmpty() || t.title == "Title") << cut;
    }
    MemorySource source(whole);
    EXPECT_EQ(readAllTags(source, "c.flac").title, "Title");
}

// An Ogg stream whose last page states a position before the stream's start
// (as a damaged Opus file may): no playing time, never a negative one.
TEST_F(EncodedTags, OggLengthBeforeTheStartIsNoLength) {
    QString missing;
    if (!have({"opusenc"}, &missing))
        GTEST_SKIP() << missing.toStdString() << " is not installed";
    QByteArray bytes = contents(make("g.opus", {{"opusenc", "--quiet", "IN", "OUT"}}));
    const qsizetype last = bytes.lastIndexOf("OggS");
    ASSERT_GT(last, 0);
    bytes.replace(last + 6, 8, QByteArray(8, '\0')); // granule position 0, before the pre-skip
    MemorySource source(bytes);
    EXPECT_EQ(audioSeconds(source, "g.opus"), std::nullopt);
    const QString path = s_disk->path("g0.opus");
    append(path, bytes);
    ScriptedPrompts prompts;
    EXPECT_EQ(CountPlayTime(path, prompts, true), 0);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "File has the zero playing time\r" + path);
}
