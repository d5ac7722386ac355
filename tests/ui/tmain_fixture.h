#pragma once

#include "support/fakefs.h"
#include "support/listlines.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"
#include "ui/app/shell.h"
#include "ui/app/tmain.h"
#include "ui/editor/nameeditor.h"
#include "ui/filelist/filelistview.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class RecordingShell : public vorlane::Shell {
public:
    bool openFile(const QString& path) override {
        opened << path;
        return openResult;
    }
    bool showInFileManager(const QString& path) override {
        shown << path;
        return true;
    }
    QStringList opened;
    QStringList shown;
    bool openResult = true;
};

// The real main window over a fake disk (or the real one), scripted prompts
// and a temporary home folder.
class TMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("VORLANE_HOME", home.path().toUtf8());
        makeWindow(&fakeFs);
    }
    // A null `fs` is the real disk; `clock` and `pump` replace the real ones.
    void makeWindow(vorlane::FileSystem* fs, const QString& appDir = QString(),
                    vorlane::Clock* clock = nullptr, vorlane::EventPump* pump = nullptr) {
        window.reset();
        vorlane::TMainDeps deps;
        deps.options = &options;
        deps.prompts = &prompts;
        deps.fs = fs;
        deps.shell = &shell;
        deps.home = home.path();
        deps.appDir = appDir.isEmpty() ? home.path() : appDir;
        deps.clock = clock;
        deps.pump = pump;
        window = std::make_unique<vorlane::TMain>(deps);
        window->show();
        QApplication::processEvents();
    }
    // Adds files that exist on the fake disk, optionally as a folder group.
    void addFiles(const QStringList& paths, const QString& folder = QString(), qint64 size = 100) {
        for (const QString& p : paths)
            fakeFs.files.insert(p, size);
        vorlane::FileList& list = window->list();
        list.setPendingSeparator(folder);
        // Named as the adding commands name them.
        list.setNameMask(vorlane::Mask(window->maskSpec()));
        for (int i = 0; i < paths.size(); ++i)
            list.AddItem(i, int(paths.size()), false, paths[i]);
        list.setNameMask(std::nullopt);
        window->Lb1Click();
    }
    QStringList texts() { return listTexts(window->list()); }
    QList<int> selected() { return selectedLines(window->list()); }
    void trigger(const char* handler) {
        QAction* a = window->action(QLatin1String(handler));
        ASSERT_NE(a, nullptr) << handler;
        a->trigger();
        QApplication::processEvents();
    }

    QTemporaryDir home;
    vorlane::Options options;
    vorlane::ScriptedPrompts prompts;
    FakeFileSystem fakeFs;
    RecordingShell shell;
    std::unique_ptr<vorlane::TMain> window;
};
