#include "core/settings/inidocument.h"
#include "support/diskfixture.h"
#include "support/guards.h"
#include "tmain_fixture.h"
#include "ui/filelist/filechooser.h"
#include "ui/filelist/topendirdialog.h"
#include "ui/masks/tmaskedf.h"
#include "ui/settings/toptions.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

using namespace vorlane;

namespace {

class OptionsTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        answerDialogs();
    }
    // Modal dialogs show; the options dialog runs `inOptions` and ends by
    // its own buttons or keys; the add-files dialog tells its filters.
    void answerDialogs() {
        window->execDialog = [this](QDialog* d) {
            d->setResult(QDialog::Rejected);
            d->show();
            QApplication::processEvents();
            if (auto* chooser = qobject_cast<FileChooser*>(d)) {
                chooserFilters.clear();
                for (int i = 0; i < chooser->filterBox()->count(); ++i)
                    chooserFilters << chooser->filterBox()->itemText(i);
            } else if (auto* t = qobject_cast<TOptions*>(d); t && inOptions) {
                inOptions(*t);
            }
            d->hide();
            return d->result();
        };
    }
    // A new run of the program: the old window goes, the options are back at
    // their defaults, and the new window reads the settings file.
    void restart() {
        window.reset();
        options = Options();
        makeWindow(nullptr);
        answerDialogs();
    }
    // Opens Options, lets `change` work on the dialog, and presses Ok or Cancel.
    void runOptions(const std::function<void(TOptions&)>& change, bool ok = true) {
        inOptions = [&](TOptions& d) {
            change(d);
            (ok ? d.okButton() : d.cancelButton())->click();
        };
        trigger("Options1Click");
        inOptions = nullptr;
    }
    static void type(TOptions& d, const char* name, const QString& text) {
        d.edit(name)->selectAll();
        QTest::keyClicks(d.edit(name), text);
    }
    TOptions* dlg() { return window->optionsDialog(); }
    QString iniPath() { return home.path() + "/vln.ini"; }

    std::function<void(TOptions&)> inOptions;
    QStringList chooserFilters;
};

const char* const kSwitches[] = {"Topmcb",
                                 "Dsfcb",
                                 "Iccb",
                                 "cbDontCountmp3",
                                 "cbDontRenum",
                                 "Ssorcb",
                                 "cbDontAskToSave",
                                 "cbMaxSpeed",
                                 "cbDontLookDups",
                                 "cbDontUseSeps",
                                 "cbCounterPerFolder",
                                 "cbAllTags",
                                 "cbExtendedElements"};

} // namespace

TEST_F(OptionsTest, DialogOfTheSwitches) {
    EXPECT_EQ(dlg()->windowTitle(), "Options");
    // Creation order, which is the order of every walk over the controls.
    QStringList order;
    for (QWidget* w : dlg()->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QPushButton*>(w))
            order << w->objectName();
    EXPECT_EQ(order, QStringList({"masked", "bOk", "Topmcb", "Dsfcb", "Iccb", "cbDontCountmp3", "cbDontRenum",
                                  "Alleveled", "Ssorcb", "cbDontAskToSave", "cbMaxSpeed", "cbDontLookDups",
                                  "cbDontUseSeps", "cbResolveChains", "cbCounterPerFolder", "cbAllTags",
                                  "cbExtendedElements", "bCancel"}));
    EXPECT_EQ(dlg()->okButton()->text(), "Ok");
    EXPECT_TRUE(dlg()->okButton()->isDefault());
    EXPECT_EQ(dlg()->cancelButton()->text(), "Cancel");
    for (const OptionInfo& info : optionTable()) {
        QWidget* c = info.isText ? static_cast<QWidget*>(dlg()->edit(info.name)) : dlg()->check(info.name);
        ASSERT_NE(c, nullptr) << info.name;
        EXPECT_EQ(c->toolTip(), QString(info.hint).replace("\r\n", "\n")) << info.name;
        if (!info.isText) {
            EXPECT_EQ(dlg()->check(info.name)->text(), info.caption);
        }
    }
    // First start.
    EXPECT_EQ(dlg()->edit("masked")->text(), "*.*");
    EXPECT_EQ(dlg()->edit("Alleveled")->text(), "127");
    QStringList on;
    for (const char* name : kSwitches)
        if (dlg()->check(name)->isChecked())
            on << name;
    EXPECT_EQ(on, QStringList({"Dsfcb", "Iccb", "cbDontCountmp3"}));
    // The three parts stand indented under Maximize speed.
    dlg()->show();
    QApplication::processEvents();
    const QRect speed = dlg()->check("cbMaxSpeed")->geometry();
    for (const char* part : {"cbDontCountmp3", "cbDontRenum", "cbDontLookDups"}) {
        const QRect r = dlg()->check(part)->geometry();
        EXPECT_GT(r.left(), speed.left()) << part;
        EXPECT_GT(r.top(), speed.top()) << part;
    }
    dlg()->hide();
}

TEST_F(OptionsTest, MaximizeSpeedSwitchesItsParts) {
    const auto states = [this] {
        QString s;
        for (const char* n : {"cbMaxSpeed", "cbDontCountmp3", "cbDontRenum", "cbDontLookDups"})
            s += dlg()->check(n)->isChecked() ? u'1' : u'0';
        return s;
    };
    const struct {
        const char* click;
        const char* after; // Maximize speed, then its three parts
    } steps[] = {
        {"cbMaxSpeed", "1111"},     {"cbDontRenum", "0101"},    {"cbDontRenum", "1111"},
        {"cbMaxSpeed", "0000"},     {"cbDontCountmp3", "0100"}, {"cbDontRenum", "0110"},
        {"cbDontLookDups", "1111"},
    };
    runOptions([&](TOptions& d) {
        for (const auto& s : steps) {
            d.check(s.click)->click();
            EXPECT_EQ(states(), s.after) << s.click;
        }
    });
    EXPECT_TRUE(options.cbMaxSpeed && options.cbDontCountmp3 && options.cbDontRenum &&
                options.cbDontLookDups);
}

TEST_F(OptionsTest, CancelPutsEveryOptionBack) {
    const QStringList before = SnapshotOptions(options);
    runOptions(
        [&](TOptions& d) {
            type(d, "masked", "*.mp3");
            type(d, "Alleveled", "12");
            for (const char* name : {"cbMaxSpeed", "Dsfcb", "Topmcb", "Ssorcb"})
                d.check(name)->click();
        },
        false);
    EXPECT_EQ(SnapshotOptions(options), before);
    EXPECT_FALSE(dlg()->check("cbMaxSpeed")->isChecked());
    EXPECT_FALSE(dlg()->check("cbDontRenum")->isChecked());
    EXPECT_TRUE(dlg()->check("Dsfcb")->isChecked());
    EXPECT_EQ(dlg()->edit("masked")->text(), "*.*");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(OptionsTest, KeysEndTheDialog) {
    const struct {
        Qt::Key key;
        bool kept;
    } keys[] = {{Qt::Key_Escape, false}, {Qt::Key_F10, true}};
    for (const auto& k : keys) {
        inOptions = [&](TOptions& d) {
            type(d, "Alleveled", "60");
            QTest::keyClick(&d, k.key);
        };
        trigger("Options1Click");
        EXPECT_EQ(options.Alleveled, k.kept ? "60" : "127") << k.key;
        EXPECT_EQ(window->Se2()->edgeColumn(), k.kept ? 60 : 127) << k.key;
    }
}

// Every switch, changed through the dialog, changes what the program does.
TEST_F(OptionsTest, EverySwitchActs) {
    Disk disk;
    for (const char* f : {"f/a.mp3", "f/b.WAV", "f/C.ogg"})
        disk.file(f);
    restart();
    FileList& list = window->list();
    const auto addTwice = [&](const QString& path) {
        list.clear();
        list.setPendingSeparator(disk.path("f"));
        list.AddItem(0, 2, false, path);
        list.AddItem(1, 2, false, path);
        return list.count();
    };
    int counted = 0;
    list.hooks.countPlayTime = [&](const QString&, const QString&) {
        ++counted;
        return 0;
    };
    const struct {
        const char* name;
        const char* text; // edit boxes: the new text
        std::function<QString()> effect;
        QString before, after;
    } rows[] = {
        {"masked", "*.mp3;*.wav",
         [&] {
             list.clear();
             window->openDirDialog()->browser = [&](const TOpenDirDialog&) { return disk.path("f"); };
             window->OpenDirectory1Click();
             QStringList names;
             for (int i = 1; i < list.count(); ++i)
                 names << fileNamePart(list.text(i));
             names.sort();
             trigger("Openfiles1Click");
             return names.join(' ') + " | " + chooserFilters.join(", ");
         },
         "C.ogg a.mp3 b.WAV | (*.*), MP3 Files (*.mp3), All Files (*.*)",
         "a.mp3 b.WAV | (*.mp3;*.wav), MP3 Files (*.mp3), All Files (*.*)"},
        {"Alleveled", "abc", [&] { return QString::number(window->Se2()->edgeColumn()); }, "127", "127"},
        {"Alleveled", "80", [&] { return QString::number(window->Se2()->edgeColumn()); }, "127", "80"},
        {"Topmcb", nullptr,
         [&] { return QString::number(bool(window->windowFlags() & Qt::WindowStaysOnTopHint)); }, "0", "1"},
        {"cbDontAskToSave", nullptr, [&] { return QString::number(window->options().cbDontAskToSave); }, "0",
         "1"},
        {"Dsfcb", nullptr,
         [&] {
             addTwice(disk.path("f/a.mp3"));
             list.setCaret(1);
             trigger("mCopyPathAndNameClick");
             return QGuiApplication::clipboard()->text();
         },
         "a.mp3", disk.path("f/a.mp3")},
        {"Iccb", nullptr,
         [&] {
             list.clear();
             for (const char* f : {"f/b.WAV", "f/C.ogg", "f/a.mp3"})
                 list.AddItem(0, 0, false, disk.path(f));
             trigger("SelectAll1Click");
             trigger("SortbyNamewithoutdir1Click");
             QStringList names;
             for (int i = 0; i < list.count(); ++i)
                 names << fileNamePart(list.text(i));
             return names.join(' ');
         },
         "a.mp3 b.WAV C.ogg", "C.ogg a.mp3 b.WAV"},
        {"cbDontUseSeps", nullptr,
         [&] {
             addTwice(disk.path("f/a.mp3"));
             return QString::number(list.count());
         },
         "2", "1"},
        {"cbDontCountmp3", nullptr,
         [&] {
             counted = 0;
             addTwice(disk.path("f/b.WAV"));
             return QString::number(counted);
         },
         "0", "1"},
        {"cbDontRenum", nullptr,
         [&] {
             list.clear();
             for (const char* f : {"f/a.mp3", "f/b.WAV", "f/C.ogg"})
                 list.AddItem(0, 0, false, disk.path(f));
             list.selectOnly(0);
             trigger("mDeleteFromListClick");
             // Earlier rows used numbers, so kept numbers do not start at 1.
             return list.line(0).info.ItemNumber == 1 && list.line(1).info.ItemNumber == 2 ? "1 2" : "kept";
         },
         "1 2", "kept"},
        {"cbDontLookDups", nullptr, [&] { return QString::number(addTwice(disk.path("f/a.mp3"))); }, "2",
         "3"},
        {"Ssorcb", nullptr,
         [&] { return QString::number(window->Se2()->SendScintilla(QsciScintilla::SCI_GETHSCROLLBAR)); }, "0",
         "1"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.effect(), r.before) << r.name;
        QString old;
        runOptions([&](TOptions& d) {
            if (r.text) {
                old = d.edit(r.name)->text();
                type(d, r.name, r.text);
            } else {
                d.check(r.name)->click();
            }
        });
        EXPECT_EQ(r.effect(), r.after) << r.name;
        runOptions([&](TOptions& d) { r.text ? type(d, r.name, old) : d.check(r.name)->click(); });
        EXPECT_EQ(r.effect(), r.before) << r.name << " back";
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(OptionsTest, SettingsSurviveARestart) {
    runOptions([&](TOptions& d) {
        type(d, "masked", "*.mp3");
        type(d, "Alleveled", "abc");
        d.check("Iccb")->click();
        d.check("cbMaxSpeed")->click();
        d.check("cbCounterPerFolder")->click();
        d.check("cbExtendedElements")->click();
    });
    TMaskedf* m = window->maskedf();
    m->Maskcb->setEditText("[n]_x");
    m->StorebClick();
    m->Casecb->setCurrentIndex(2);
    m->fcase->setChecked(true);
    window->move(100, 120);
    window->resize(900, 500);
    window->splitter()->setSizes({300, 600});
    QApplication::processEvents();
    const QStringList stored = SnapshotOptions(options);
    const int lbWidth = window->lb1()->width();

    restart();
    EXPECT_EQ(SnapshotOptions(options), stored);
    EXPECT_EQ(dlg()->edit("Alleveled")->text(), "abc");
    EXPECT_EQ(window->Se2()->edgeColumn(), 127);
    EXPECT_TRUE(dlg()->check("cbDontLookDups")->isChecked());
    m = window->maskedf();
    EXPECT_EQ(m->mask(), "[n]_x");
    EXPECT_EQ(m->Maskcb->itemText(0), "[n]_x");
    EXPECT_EQ(m->Maskcb->count(), 4);
    EXPECT_EQ(m->Casecb->currentIndex(), 2);
    EXPECT_TRUE(m->fcase->isChecked());
    EXPECT_EQ(window->pos(), QPoint(100, 120));
    EXPECT_EQ(window->size(), QSize(900, 500));
    EXPECT_EQ(window->lb1()->width(), lbWidth);

    const IniDocument ini(Disk().read(iniPath()));
    EXPECT_EQ(ini.keys("Main"), QStringList({"Left", "Top", "Width", "Height", "LBWidth"}));
    EXPECT_EQ(ini.value("masked", "Text"), "*.mp3");
    EXPECT_EQ(ini.value("Casecb", "ItemIndex"), "2");
    EXPECT_EQ(ini.value("cbMaxSpeed", "Checked"), "1");
    EXPECT_EQ(ini.value("cbCounterPerFolder", "Checked"), "1");
    EXPECT_TRUE(options.cbCounterPerFolder);
    EXPECT_EQ(ini.value("cbAllTags", "Checked"), "0");
    EXPECT_EQ(ini.value("cbExtendedElements", "Checked"), "1");
    EXPECT_TRUE(options.cbExtendedElements && !options.cbAllTags);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(OptionsTest, HundredStoredMasksSurviveARestart) {
    TMaskedf* m = window->maskedf();
    m->Maskcb->clear();
    QStringList masks;
    for (int i = 0; i < 100; ++i) {
        m->Maskcb->setEditText(QStringLiteral("[c%1]_[n].[e]").arg(i));
        m->StorebClick();
        masks.prepend(m->mask());
    }
    m->Maskcb->setEditText("[n] current");
    restart();
    m = window->maskedf();
    QStringList read;
    for (int i = 0; i < m->Maskcb->count(); ++i)
        read << m->Maskcb->itemText(i);
    EXPECT_EQ(read, masks);
    EXPECT_EQ(m->mask(), "[n] current");
    const IniDocument ini(Disk().read(iniPath()));
    EXPECT_EQ(ini.keys("Maskcb").size(), 101);
    EXPECT_EQ(ini.value("Maskcb", "Z75"), "[n] current");
}

// A settings file that cannot be read: the program starts with its defaults,
// says so once, and leaves the file as it was.
TEST_F(OptionsTest, UnreadableSettingsFile) {
    runOptions([&](TOptions& d) { type(d, "masked", "*.mp3"); });
    window->resize(900, 500);
    window.reset();
    const QByteArray saved = Disk().read(iniPath());
    ASSERT_TRUE(saved.contains("Width=900\r\n"));

    QByteArray junk(4096, '\0');
    quint32 seed = 12345;
    for (char& c : junk)
        c = char((seed = seed * 1103515245 + 12345) >> 24);
    QByteArray huge = "[Main]\r\nWidth=900\r\n";
    while (huge.size() < 10 * 1024 * 1024)
        huge += "; padding padding padding padding padding padding padding padding\r\n";
    const struct {
        const char* what;
        QByteArray bytes; // empty: a folder stands in the file's place
        const char* cause;
    } cases[] = {
        {"binary junk", junk, "Not a text file"},
        {"huge", huge, "File too large (over 1 MiB)"},
        {"a folder", QByteArray(), "not a regular file"},
    };
    for (const auto& c : cases) {
        QFile::remove(iniPath());
        if (c.bytes.isEmpty()) {
            ASSERT_TRUE(QDir().mkdir(iniPath()));
        } else {
            QFile f(iniPath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        prompts.shown.clear();
        restart();
        ASSERT_EQ(prompts.shown.size(), 1) << c.what;
        EXPECT_EQ(prompts.shown[0].title, "Vorlane");
        EXPECT_EQ(prompts.shown[0].text, "Can't read settings file\r" + iniPath() + '\r' + c.cause +
                                             "\rThe program goes on with its default settings and leaves the "
                                             "file as it is.")
            << c.what;
        EXPECT_EQ(window->size(), QSize(758, 452)) << c.what;
        EXPECT_EQ(SnapshotOptions(options), SnapshotOptions(Options())) << c.what;
        EXPECT_EQ(window->maskedf()->mask(), "[n].[e]") << c.what;
        runOptions([&](TOptions& d) { type(d, "masked", "*.wav"); });
        window.reset();
        EXPECT_EQ(prompts.shown.size(), 1) << c.what;
        if (!c.bytes.isEmpty())
            EXPECT_EQ(Disk().read(iniPath()), c.bytes) << c.what;
        else
            EXPECT_TRUE(QFileInfo(iniPath()).isDir());
        QDir(iniPath()).removeRecursively();
    }
}

// A write that fails at the end is told once and leaves the old file whole.
TEST_F(OptionsTest, SettingsThatCannotBeWritten) {
    window.reset();
    const QByteArray old = Disk().read(iniPath());
    restart();
    runOptions([&](TOptions& d) { type(d, "masked", "*.mp3"); });
    prompts.shown.clear();
    {
        const FileSizeLimit cap(16);
        window.reset();
    }
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Can't write settings file\r" + iniPath() +
                                         "\rFile too large\rSettings changed now will not be kept.");
    EXPECT_EQ(Disk().read(iniPath()), old);
}

TEST_F(OptionsTest, WindowsAreCreatedAndDestroyedInOrder) {
    QStringList created;
    for (QWidget* w : window->windows())
        created << w->objectName();
    EXPECT_EQ(created, QStringList({"Main", "Options", "Maskedf", "Buffer", "SSForm", "Undof", "Copyf",
                                    "frmGroupOp"}));
    QStringList destroyed;
    for (QWidget* w : window->windows())
        QObject::connect(w, &QObject::destroyed, [&destroyed, name = w->objectName()] { destroyed << name; });
    window.reset();
    std::reverse(created.begin(), created.end());
    EXPECT_EQ(destroyed, created);
    // Each stored its state while the settings file was open, newest first.
    const QByteArray ini = Disk().read(iniPath());
    const qsizetype masks = ini.indexOf("[Maskcb]");
    const qsizetype mask = ini.indexOf("[masked]");
    const qsizetype main = ini.indexOf("[Main]");
    EXPECT_GE(masks, 0);
    EXPECT_LT(masks, mask);
    EXPECT_LT(mask, main);
}
