#pragma once

#include "core/filelist/filelist.h"

#include <QList>
#include <QStringList>

// What a test reads back from a file list: each line's text, and which lines
// are selected.
inline QStringList listTexts(const vorlane::FileList& list) {
    QStringList t;
    for (int i = 0; i < list.count(); ++i)
        t << list.text(i);
    return t;
}

inline QList<int> selectedLines(const vorlane::FileList& list) {
    QList<int> s;
    for (int i = 0; i < list.count(); ++i)
        if (list.isSelected(i))
            s << i;
    return s;
}
