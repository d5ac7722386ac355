#include "core/rename/conflicts.h"

#include "core/filelist/filelist.h"
#include "support/diskfixture.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

using namespace vorlane;

namespace {
using C = Conflict;
struct Case {
    const char* what;
    QStringList disk;                           // files and folders ("name/") that exist
    QList<std::pair<QString, QString>> renames; // selected: file, new name
    QList<std::pair<int, C::Kind>> inOrder, resolved;
};
} // namespace

TEST(Conflicts, FoundBeforeRename) {
    const QString longName = QString(256, u'x');
    const Case cases[] = {
        {"clean", {"a"}, {{"a", "b"}}, {}, {}},
        {"empty name", {"a"}, {{"a", ""}}, {{0, C::EmptyName}}, {{0, C::EmptyName}}},
        {"line break", {"a"}, {{"a", "x\ry"}}, {{0, C::BadCharacter}}, {{0, C::BadCharacter}}},
        {"too long", {"a"}, {{"a", longName}}, {{0, C::NameTooLong}}, {{0, C::NameTooLong}}},
        {"missing folder", {"a"}, {{"a", "sub/x"}}, {{0, C::MissingFolder}}, {{0, C::MissingFolder}}},
        {"existing folder", {"a", "sub/"}, {{"a", "sub/x"}}, {}, {}},
        {"same target",
         {"a", "b"},
         {{"a", "x"}, {"b", "x"}},
         {{0, C::SameTarget}, {1, C::SameTarget}},
         {{0, C::SameTarget}, {1, C::SameTarget}}},
        {"outside file", {"a", "x"}, {{"a", "x"}}, {{0, C::TargetExists}}, {{0, C::TargetExists}}},
        {"own name", {"a"}, {{"a", "a"}}, {}, {}},
        {"dot", {"a"}, {{"a", "."}}, {{0, C::TargetExists}}, {{0, C::TargetExists}}},
        {"dot dot", {"a"}, {{"a", ".."}}, {{0, C::TargetExists}}, {{0, C::TargetExists}}},
        {"dot dot in a folder",
         {"a", "sub/"},
         {{"a", "sub/.."}},
         {{0, C::TargetExists}},
         {{0, C::TargetExists}}},
        {"dot dot with blanks", {"a"}, {{"a", ".. "}}, {{0, C::TargetExists}}, {{0, C::TargetExists}}},
        {"dots in a name", {"a"}, {{"a", "..."}}, {}, {}},
        {"swap", {"a", "b"}, {{"a", "b"}, {"b", "a"}}, {{0, C::TargetExists}, {1, C::TargetExists}}, {}},
        {"chain downward", {"a", "b"}, {{"a", "b"}, {"b", "c"}}, {{0, C::TargetExists}}, {}},
        {"chain upward", {"a", "b"}, {{"b", "c"}, {"a", "b"}}, {}, {}},
        {"chain meets an outside file",
         {"a", "b", "c"},
         {{"b", "c"}, {"a", "b"}},
         {{0, C::TargetExists}, {1, C::TargetExists}},
         {{0, C::TargetExists}, {1, C::TargetExists}}},
        {"longer chain meets an outside file",
         {"a", "b", "c", "d"},
         {{"c", "d"}, {"b", "c"}, {"a", "b"}},
         {{0, C::TargetExists}, {1, C::TargetExists}, {2, C::TargetExists}},
         {{0, C::TargetExists}, {1, C::TargetExists}, {2, C::TargetExists}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        Disk disk;
        const QString dir = disk.folder(QString("c%1").arg(n++)) + u'/';
        for (const QString& f : c.disk)
            f.endsWith(u'/') ? (void)disk.folder(dir.mid(disk.root().size() + 1) + f)
                             : (void)disk.file(dir.mid(disk.root().size() + 1) + f);
        Options options;
        ScriptedPrompts prompts;
        ListNameLines editor;
        FileList list(options, prompts, editor, PosixFileSystem::instance());
        for (const auto& [file, name] : c.renames) {
            list.AddItem(0, 0, true, dir + file);
            editor.setLine(list.count() - 1, name);
        }
        list.SelectAll1Click();
        for (const bool resolve : {false, true}) {
            QList<std::pair<int, C::Kind>> found;
            for (const Conflict& k : findConflicts(list, resolve))
                found.append({k.line, k.kind});
            EXPECT_EQ(found, resolve ? c.resolved : c.inOrder)
                << c.what << (resolve ? " resolved" : " in order");
        }
    }
}
