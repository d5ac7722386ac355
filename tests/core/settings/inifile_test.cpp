#include "core/platform/paths.h"
#include "core/settings/inifile.h"
#include "core/settings/storedstate.h"
#include "support/guards.h"
#include "support/scriptedprompts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace vorlane;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(IniDocument, Lookups) {
    const IniDocument doc(QByteArrayLiteral("top=0\r\n"
                                            "[Main]\r\n"
                                            "Width = 758 \r\n"
                                            "; Height=1\r\n"
                                            "Quoted=\"  two words \"\r\n"
                                            "Single='x'\r\n"
                                            "Uneven=\"x'\r\n"
                                            "Inner=a=b\r\n"
                                            "Width=999\r\n"
                                            "[main]\r\n"
                                            "Left=5\r\n"
                                            "[Other]\r\n"
                                            "Width=1\r\n"));
    const struct {
        const char* section;
        const char* key;
        std::optional<QString> value;
    } cases[] = {
        {"MAIN", "width", "758"},           {"Main", "Height", std::nullopt},
        {"Main", "Quoted", "  two words "}, {"Main", "Single", "x"},
        {"Main", "Uneven", "\"x'"},         {"Main", "Inner", "a=b"},
        {"Main", "Left", std::nullopt},     {"Other", "WIDTH", "1"},
        {"Main", "top", std::nullopt},      {"Missing", "Width", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(doc.value(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(doc.keys("main"), QStringList({"Width", "Quoted", "Single", "Uneven", "Inner", "Width"}));
}

// Writes touch only their own line; every other line keeps its bytes and its
// line end.
TEST(IniDocument, WritesLeaveOtherLinesAlone) {
    const QByteArray odd = "[A]\rx=1\r; a comment\rno equals sign\r\n\r\n\xff\xfe junk\n[B]\ny=2\n";
    const struct {
        const char* what;
        std::function<void(IniDocument&)> change;
        QByteArray expected;
    } cases[] = {
        {"nothing", [](IniDocument&) {}, odd},
        {"replace", [](IniDocument& d) { d.setValue("a", "X", "7"); },
         "[A]\rx=7\r; a comment\rno equals sign\r\n\r\n\xff\xfe junk\n[B]\ny=2\n"},
        {"new key after the section's last key", [](IniDocument& d) { d.setValue("A", "z", "3"); },
         "[A]\rx=1\rz=3\r\n; a comment\rno equals sign\r\n\r\n\xff\xfe junk\n[B]\ny=2\n"},
        {"new section at the end", [](IniDocument& d) { d.setValue("C", "k", "v"); }, odd + "[C]\r\nk=v\r\n"},
        {"erase keeps the lines that are not keys", [](IniDocument& d) { d.eraseSection("a"); },
         "; a comment\rno equals sign\r\n\r\n\xff\xfe junk\n[B]\ny=2\n"},
        {"names that would break the file are refused",
         [](IniDocument& d) {
             d.setValue("A]", "k", "v");
             d.setValue("A", "k=", "v");
             d.setValue("A", "[k", "v");
             d.setValue("A", "k\r\n[B", "v");
         },
         odd},
    };
    for (const auto& c : cases) {
        IniDocument doc(odd);
        c.change(doc);
        EXPECT_EQ(doc.toBytes(), c.expected) << c.what;
    }
    IniDocument last("[A]\r\nx=1");
    last.setValue("A", "y", "2");
    EXPECT_EQ(last.toBytes(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniDocument, ValuesReadBackAsWritten) {
    const QString values[] = {"",   " lead", "trail\t", "\"q\"", "'q'",
                              "\"", "a;b=c", "[n].[e]", "Кир",   decodeName("\xff\xfe")};
    IniDocument doc;
    for (const QString& v : values) {
        doc.setValue("S", "k", v);
        EXPECT_EQ(IniDocument(doc.toBytes()).value("S", "k"), v) << v.toStdString();
    }
    // A line break cannot stay inside a value: it would start a new line.
    doc.setValue("S", "k", QStringLiteral("a\r\n[Main]\nb") + QChar(0) + u'c');
    EXPECT_EQ(IniDocument(doc.toBytes()).keys("S"), QStringList({"k"}));
    EXPECT_FALSE(IniDocument(doc.toBytes()).value("Main", "b").has_value());
    EXPECT_TRUE(IniDocument::problemWith(doc.toBytes()).isEmpty());
}

TEST(IniDocument, ProblemsOfTheBytes) {
    const struct {
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"", ""},
        {"[A]\r\nx=1\r\n", ""},
        {"[A]\rx=1\r", ""},
        {"[A]\r\nx=1\r\n  \t", ""},
        {"[A]\r\nx=1\r\n\xc3", ""},
        {"[A]\r\nWidth=7", ""},
        {QByteArray("[A]\r\nx=\0\r\n", 10), "Not a text file"},
        {"\x7f"
         "ELF\x02\x01\x01\r\n",
         "Not a text file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniDocument::problemWith(c.bytes), QString::fromLatin1(c.problem))
            << c.bytes.toHex().data();
}

TEST(StoredState, ComboKeys) {
    const std::pair<int, const char*> keys[] = {{0, "A"},   {1, "B"},   {25, "Z"},
                                                {26, "Z1"}, {27, "Z2"}, {99, "Z74"}};
    for (const auto& [i, key] : keys)
        EXPECT_EQ(comboItemKey(i), key) << i;
}

TEST(StoredState, CombosReadBackAsStored) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath("vln.ini"));
    QStringList hundred;
    for (int i = 0; i < 100; ++i)
        hundred << QStringLiteral("[c%1]_[n]").arg(i);
    const struct {
        ComboState state;
        QByteArray section;
    } cases[] = {
        {{{"x", "y"}, "w"}, "[M]\r\nA=x\r\nB=y\r\nC=w\r\n"},
        {{{}, "w"}, "[M]\r\nA=w\r\n"},
        {{hundred, "[n]"}, ""},
    };
    for (const auto& c : cases) {
        saveComboState(ini, "M", c.state);
        if (!c.section.isEmpty()) {
            EXPECT_EQ(readAll(ini.path()), c.section);
        }
        EXPECT_EQ(loadComboState(ini, "M", "current"), c.state);
        IniFile again(ini.path());
        EXPECT_EQ(loadComboState(again, "M", "current"), c.state);
    }
    // A missing section leaves the text and gives no items.
    EXPECT_EQ(loadComboState(ini, "None", "current"), (ComboState{{}, "current"}));
}

TEST(IniFile, NumbersAndBooleans) {
    QTemporaryDir dir;
    writeAll(dir.filePath("vln.ini"), "[S]\r\nn=-12\r\nx=abc\r\nb=2\r\nz=0\r\nbig=99999999999\r\n");
    IniFile ini(dir.filePath("vln.ini"));
    EXPECT_EQ(ini.readInteger("S", "n", 5), -12);
    EXPECT_EQ(ini.readInteger("S", "x", 5), 5);
    EXPECT_EQ(ini.readInteger("S", "big", 5), 5);
    EXPECT_EQ(ini.readInteger("S", "missing", 5), 5);
    EXPECT_TRUE(ini.readBool("S", "b", false));
    EXPECT_FALSE(ini.readBool("S", "z", true));
    EXPECT_TRUE(ini.readBool("S", "x", true));
    ini.writeBool("S", "t", true);
    ini.writeInteger("S", "n", 42);
    EXPECT_EQ(readAll(ini.path()), "[S]\r\nn=42\r\nx=abc\r\nb=2\r\nz=0\r\nbig=99999999999\r\nt=1\r\n");
}

// Each call sees the file as it is now, and each write is on the disk at
// once; a batch writes once at its end.
TEST(IniFile, ActsOnTheFileAtOnce) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vln.ini");
    IniFile ini(path);
    ini.writeString("S", "a", "1");
    EXPECT_EQ(readAll(path), "[S]\r\na=1\r\n");
    writeAll(path, "[S]\r\na=2\r\nb=3\r\n");
    EXPECT_EQ(ini.readString("S", "a", ""), "2");
    EXPECT_EQ(ini.readSection("S"), QStringList({"a", "b"}));
    {
        const IniFile::Batch batch(ini);
        ini.writeString("S", "c", "4");
        EXPECT_EQ(readAll(path), "[S]\r\na=2\r\nb=3\r\n");
    }
    EXPECT_EQ(readAll(path), "[S]\r\na=2\r\nb=3\r\nc=4\r\n");
}

// A write that cannot finish leaves the old file whole and is told once.
TEST(IniFile, FailedWritesKeepTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vln.ini");
    const QByteArray old = "[S]\r\na=1\r\n";
    writeAll(path, old);
    ScriptedPrompts prompts;
    IniFile ini(path, &prompts);
    {
        const FileSizeLimit cap(old.size() + 4);
        ini.writeString("S", "b", "a value longer than the cap");
        ini.writeString("S", "c", "another");
    }
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"vln.ini"}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_EQ(prompts.shown[0].text, "Can't write settings file\r" + path + "\rFile too large\r" +
                                         "Settings changed now will not be kept.");
    // The folder cannot take a file: said when the file is opened.
    ScriptedPrompts early;
    IniFile gone(dir.filePath("missing/vln.ini"), &early);
    gone.writeString("S", "a", "1");
    ASSERT_EQ(early.shown.size(), 1);
    EXPECT_EQ(early.shown[0].text, "Can't write settings file\r" + dir.filePath("missing/vln.ini") +
                                       "\rNo such file or directory\rSettings changed now will not be kept.");
}

// Files saved by text editors: a UTF-8 byte-order mark in front, no line end
// after the last line. Both read as written, and a write keeps one section of
// each name and the rest of the text as it was.
TEST(IniFile, FilesSavedByTextEditors) {
    const QByteArray bom = "\xEF\xBB\xBF";
    const struct {
        const char* what;
        QByteArray bytes;
        QByteArray afterWrite; // after Main/Left=5
    } cases[] = {
        {"byte-order mark", bom + "[Main]\r\nWidth=900\r\n", bom + "[Main]\r\nWidth=900\r\nLeft=5\r\n"},
        {"no last line end", "[Main]\r\nWidth=900", "[Main]\r\nWidth=900\r\nLeft=5\r\n"},
        {"both, LF only", bom + "[Main]\nWidth=900", bom + "[Main]\nWidth=900\r\nLeft=5\r\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("vln.ini");
        writeAll(path, c.bytes);
        ScriptedPrompts prompts;
        IniFile ini(path, &prompts);
        EXPECT_EQ(ini.readInteger("Main", "Width", 758), 900) << c.what;
        EXPECT_EQ(ini.readSection("Main"), QStringList({"Width"})) << c.what;
        ini.writeInteger("Main", "Left", 5);
        EXPECT_EQ(readAll(path), c.afterWrite) << c.what;
        EXPECT_TRUE(prompts.shown.isEmpty()) << c.what;
    }
}
