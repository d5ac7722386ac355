#pragma once

#include "core/filelist/filelist.h"
#include "support/fakefs.h"
#include "support/listlines.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

// A file list over an in-memory disk, a plain editor and scripted prompts.
class FileListTest : public ::testing::Test {
protected:
    FileListTest() : list(options, prompts, editor, fs) {
        list.hooks.setModified = [this](bool f) {
            if (f)
                ++modifiedCalls;
        };
        list.hooks.lb1Click = [this] { ++clicks; };
    }

    // Adds files of one folder as the folder commands do: pending separator, then AddItem each.
    void addFolder(const QString& folder, const QStringList& names, qint64 size = 10) {
        list.setPendingSeparator(folder);
        for (int i = 0; i < names.size(); ++i) {
            const QString path = folder + u'/' + names[i];
            fs.files.insert(path, size);
            list.AddItem(i, int(names.size()), false, path);
        }
    }
    QString add(const QString& path, qint64 size = 10) {
        fs.files.insert(path, size);
        list.AddItem(0, 0, false, path);
        return path;
    }
    QStringList texts() const { return listTexts(list); }
    QList<int> numbers() const {
        QList<int> n;
        for (int i = 0; i < list.count(); ++i)
            n << list.line(i).info.ItemNumber;
        return n;
    }
    QList<int> selected() const { return selectedLines(list); }
    void select(const QList<int>& lines) {
        list.clearSelection();
        for (int i : lines)
            list.setSelected(i, true);
    }

    vorlane::Options options;
    vorlane::ScriptedPrompts prompts;
    vorlane::ListNameLines editor;
    FakeFileSystem fs;
    vorlane::FileList list;
    int modifiedCalls = 0;
    int clicks = 0;
};
