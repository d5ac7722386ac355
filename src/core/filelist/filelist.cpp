#include "filelist.h"

#include "core/media/tagreader.h"
#include "core/platform/paths.h"

namespace vorlane {

FileList::FileList(Options& options, Prompts& prompts, NameLines& editor, FileSystem& fs)
    : m_options(options), m_prompts(prompts), m_editor(editor), m_fs(fs) {}

int FileList::selectedCount() const {
    int n = 0;
    for (const ListLine& l : m_lines)
        n += l.selected ? 1 : 0;
    return n;
}

int FileList::findLine(const QString& path) const {
    if (!m_firstLineValid) {
        m_firstLine.clear();
        m_firstLine.reserve(m_lines.size());
        for (int i = 0; i < count(); ++i) {
            const QString& key = m_lines[i].text;
            if (!m_firstLine.contains(key))
                m_firstLine.insert(key, i);
        }
        m_firstLineValid = true;
    }
    return m_firstLine.value(path, -1);
}

void FileList::setCaret(int i) {
    m_caret = m_lines.isEmpty() ? -1 : qBound(0, i, count() - 1);
    notifyChanged();
}

void FileList::setSelected(int i, bool on) {
    if (i >= 0 && i < count() && m_lines[i].selected != on) {
        m_lines[i].selected = on;
        notifyChanged();
    }
}

void FileList::selectOnly(int i) {
    for (ListLine& l : m_lines)
        l.selected = false;
    if (i >= 0 && i < count())
        m_lines[i].selected = true;
    notifyChanged();
}

void FileList::selectRange(int from, int to, bool on) {
    if (from > to)
        std::swap(from, to);
    for (int i = qMax(0, from); i <= to && i < count(); ++i)
        m_lines[i].selected = on;
    notifyChanged();
}

void FileList::clearSelection() {
    selectRange(0, count() - 1, false);
}

void FileList::beginUpdate() {
    if (m_updateDepth++ == 0)
        m_changedWhileSuspended = false;
    m_editor.beginUpdate();
}

void FileList::endUpdate() {
    m_editor.endUpdate();
    if (--m_updateDepth == 0 && m_changedWhileSuspended && hooks.changed)
        hooks.changed();
}

void FileList::notifyChanged() {
    if (m_updateDepth > 0)
        m_changedWhileSuspended = true;
    else if (hooks.changed)
        hooks.changed();
}

void FileList::setModified() {
    if (hooks.setModified)
        hooks.setModified(true);
}

void FileList::lb1Click() {
    if (hooks.lb1Click)
        hooks.lb1Click();
}

void FileList::indexAdd(const QString& text) {
    if (m_indexValid)
        ++m_index[text];
    m_firstLineValid = false;
}

void FileList::indexAppended(const QString& text, bool counted) {
    ++m_structure;
    if (m_indexValid && !counted)
        ++m_index[text];
    if (m_firstLineValid && !m_firstLine.contains(text))
        m_firstLine.insert(text, count() - 1);
}

void FileList::indexDropped() {
    ++m_structure;
    if (m_indexValid) {
        m_index.clear();
        m_indexValid = false;
    }
    m_firstLineValid = false;
}

void FileList::indexRemove(const QString& text) {
    m_firstLineValid = false;
    if (!m_indexValid)
        return;
    m_index.remove(text);
}

bool FileList::claim(const QString& text) {
    buildIndex();
    // One lookup both tests and counts: a scan of many files hashes each once.
    int& n = m_index[text];
    if (n > 0)
        return false;
    n = 1;
    return true;
}

void FileList::beginDistinctAdding() {
    if (m_distinctDepth++ == 0 && m_indexValid) {
        m_index.clear();
        m_indexValid = false;
    }
}

void FileList::endDistinctAdding() {
    --m_distinctDepth;
}

void FileList::buildIndex() const {
    if (m_indexValid)
        return;
    m_index.clear();
    m_index.reserve(m_lines.size());
    for (const ListLine& l : m_lines)
        ++m_index[l.text];
    m_indexValid = true;
}

void FileList::setLineText(int i, const QString& text) {
    indexRemove(m_lines[i].text);
    m_lines[i].text = text;
    indexAdd(text);
    notifyChanged();
}

void FileList::makeRoom(int more) {
    const qsizetype want = m_lines.size() + more;
    if (want > m_lines.capacity())
        m_lines.reserve(std::max(want, m_lines.capacity() * 2));
    m_editor.reserve(int(want));
    if (m_indexValid)
        m_index.reserve(want);
}

void FileList::AddSeparator(const QString& text) {
    AppendSeparator(text, separatorName(text));
    setModified();
}

bool FileList::AddItem(int position, int groupSize, bool loadingMode, const QString& text,
                       const FileSystem::Stat* known) {
    // The first of a group makes room for all of it at once: no copies of
    // the lines while the group comes in, and no fresh memory for each.
    if (position == 0 && groupSize > 1)
        makeRoom(groupSize);
    qint64 size = 0;
    bool claimed = false; // the duplicate test counted the line in already
    if (!loadingMode) {
        // Our own files store one path per line: a path holding a line break
        // or a NUL could never be saved or logged faithfully.
        if (hasLineBreakOrNul(text)) {
            m_prompts.error(QStringLiteral("Error"),
                            QStringLiteral("File name contains a line break or a NUL character\r") +
                                withVisibleControls(text));
            return false;
        }
        claimed = !m_options.cbDontLookDups && m_distinctDepth == 0;
        if (claimed && !claim(text))
            return false;
        const FileSystem::Stat st = known ? *known : m_fs.stat(text);
        if (!st.exists || st.isDir || st.size < 0) {
            if (claimed)
                indexRemove(text);
            m_prompts.error(QStringLiteral("Error"),
                            (st.exists && !st.isDir ? QStringLiteral("Can't open file\r")
                                                    : QStringLiteral("Can't find file\r")) +
                                text);
            return false;
        }
        size = st.size;
    }
    if (!m_options.cbDontUseSeps && !m_pendingSeparator.isEmpty()) {
        if (!m_lines.isEmpty() && m_lines.last().isSeparator()) {
            // A separator with no files under it yet is reused for this folder.
            ListLine& last = m_lines.last();
            indexRemove(last.text);
            last.text = m_pendingSeparator;
            indexAdd(last.text);
            m_editor.setLine(count() - 1, separatorName(m_pendingSeparator));
            m_pendingSeparator.clear();
        } else {
            AppendSeparator(m_pendingSeparator, separatorName(m_pendingSeparator));
        }
    }
    ListLine l;
    l.text = text;
    l.info.FileSize = size;
    l.info.ItemNumber = ++m_itemCounter;
    if (hooks.itemAdded)
        hooks.itemAdded();
    m_lines.append(l);
    if (loadingMode)
        indexDropped();
    else
        indexAppended(text, claimed);
    m_editor.append(QString());
    if (m_caret < 0)
        m_caret = 0;
    if (!loadingMode) {
        const int last = count() - 1;
        try {
            if (!m_options.cbDontCountmp3 && hooks.countPlayTime) {
                QString ext = extensionOf(text);
                for (QChar& c : ext)
                    if (c >= u'a' && c <= u'z')
                        c = QChar(c.unicode() - 32);
                if (ext == QLatin1String(".MP3") || ext == QLatin1String(".WAV") ||
                    (m_options.cbAllTags && hasAudioProperties(text)))
                    m_lines[last].info.PlayTime = hooks.countPlayTime(text, ext);
            }
            if (m_nameMask)
                m_editor.setLine(
                    last,
                    m_nameMask->apply(position, groupSize, text, {this, &m_editor, {}, m_options.cbAllTags})
                        .value_or(QString()));
        } catch (...) {
            // The line stays as far as it was filled.
        }
    }
    setModified();
    notifyChanged();
    return true;
}

void FileList::AppendSeparator(const QString& text, const QString& editorText) {
    ListLine l;
    l.text = text;
    l.info.ItemNumber = -1;
    m_lines.append(l);
    indexAppended(text);
    m_editor.append(QString());
    m_editor.setLine(count() - 1, editorText);
    if (m_caret < 0)
        m_caret = 0;
    m_pendingSeparator.clear();
    notifyChanged();
}

void FileList::RenumberItems() {
    if (m_options.cbDontRenum)
        return;
    m_itemCounter = 0;
    for (ListLine& l : m_lines)
        if (!l.isSeparator())
            l.info.ItemNumber = ++m_itemCounter;
    notifyChanged();
}

void FileList::clear() {
    beginUpdate();
    const int n = count();
    QStringList ed = m_editor.lines();
    ed.erase(ed.begin(), ed.begin() + qMin<qsizetype>(n, ed.size()));
    m_editor.setLines(ed);
    takeBacks.clear();
    m_lines.clear();
    ++m_structure;
    m_index.clear();
    m_indexValid = true;
    m_firstLineValid = false;
    m_caret = -1;
    notifyChanged();
    endUpdate();
}

void FileList::moveLine(int from, int to) {
    if (from == to)
        return;
    m_lines.move(from, to);
    ++m_structure;
    m_firstLineValid = false;
    if (m_caret == from)
        m_caret = to;
    else if (from < to && m_caret > from && m_caret <= to)
        --m_caret;
    else if (from > to && m_caret >= to && m_caret < from)
        ++m_caret;
    if (from < m_editor.count() && to < m_editor.count())
        m_editor.move(from, to);
    notifyChanged();
}

void FileList::removeLines(const QVector<char>& remove) {
    // Compacts the list and the editor lines in place, in one pass each.
    const int n = count();
    int kept = 0;
    int newCaret = -1;
    for (int i = 0; i < n; ++i) {
        if (remove[i])
            continue;
        if (newCaret < 0 && i >= m_caret)
            newCaret = kept;
        if (kept != i)
            m_lines[kept] = std::move(m_lines[i]);
        ++kept;
    }
    if (kept != n) {
        // Rebuilt at the next duplicate test: cheaper than one lookup per removed line.
        m_index.clear();
        m_indexValid = false;
        m_firstLineValid = false;
    }
    m_lines.resize(kept);
    ++m_structure;
    if (m_lines.isEmpty())
        m_caret = -1;
    else
        m_caret = newCaret < 0 ? count() - 1 : newCaret;

    QStringList ed = m_editor.lines();
    qsizetype edKept = 0;
    for (qsizetype i = 0; i < ed.size(); ++i) {
        if (i < n && remove[i])
            continue;
        if (edKept != i)
            ed[edKept] = std::move(ed[i]);
        ++edKept;
    }
    if (edKept != ed.size()) {
        ed.resize(edKept);
        m_editor.setLines(ed);
    }
    notifyChanged();
}

void FileList::Insertseparator1Click() {
    const int p = m_lines.isEmpty() ? -1 : m_caret;
    beginUpdate();
    AddSeparator(QStringLiteral("Separator"));
    if (count() > 1)
        moveLine(count() - 1, p + 1);
    endUpdate();
}

void FileList::mDeleteFromListClick() {
    beginUpdate();
    int remembered = m_caret;
    QVector<char> remove(count(), 0);
    bool any = false;
    for (int i = 0; i < count(); ++i)
        if (m_lines[i].selected)
            remove[i] = 1, any = true;
    if (any) {
        removeLines(remove);
        setModified();
    }
    // Pad the editor to the list's length and mark the change.
    while (m_editor.count() < count())
        m_editor.append(QString());
    setModified();
    if (remembered >= count())
        remembered = count() - 1;
    if (!m_lines.isEmpty()) {
        m_caret = remembered;
        m_lines[m_caret].selected = true;
    }
    RenumberItems();
    notifyChanged();
    endUpdate();
    lb1Click();
}

void FileList::Selectallseparators1Click() {
    beginUpdate();
    for (ListLine& l : m_lines)
        l.selected = l.selected && l.isSeparator();
    mDeleteFromListClick();
    endUpdate();
    if (hooks.alignEditorTop)
        hooks.alignEditorTop();
}

void FileList::ShiftSelectionUp1Click() {
    if (m_caret < 0)
        return;
    int a = m_caret - 1;
    while (a >= 0 && m_lines[a].selected)
        --a;
    ++a;
    int b = m_caret + 1;
    while (b < count() && m_lines[b].selected)
        ++b;
    --b;
    if (a == 0)
        return;
    beginUpdate();
    moveLine(a - 1, b);
    setModified();
    RenumberItems();
    endUpdate();
    setCaret(a - 1);
    if (hooks.alignEditorTop)
        hooks.alignEditorTop();
}

void FileList::ShiftSelectionDown1Click() {
    if (m_caret < 0)
        return;
    int a = m_caret - 1;
    while (a >= 0 && m_lines[a].selected)
        --a;
    ++a;
    int b = m_caret + 1;
    while (b < count() && m_lines[b].selected)
        ++b;
    --b;
    if (b == count() - 1)
        return;
    beginUpdate();
    moveLine(b + 1, a);
    setModified();
    RenumberItems();
    endUpdate();
    setCaret(b + 1);
    if (hooks.alignEditorTop)
        hooks.alignEditorTop();
}

int FileList::SelectAll1Click() {
    beginUpdate();
    int albums = 0;
    for (int i = 0; i < count(); ++i) {
        m_lines[i].selected = true;
        if (!m_lines[i].isSeparator() && (i == 0 || m_lines[i - 1].isSeparator()))
            ++albums;
    }
    notifyChanged();
    endUpdate();
    lb1Click();
    return albums;
}

void FileList::InvertSelection1Click() {
    for (ListLine& l : m_lines)
        l.selected = !l.selected;
    notifyChanged();
    lb1Click();
}

void FileList::SelectAlbum1Click() {
    if (m_caret >= 0) {
        for (int i = m_caret + 1; i < count() && !m_lines[i].isSeparator(); ++i)
            m_lines[i].selected = true;
        for (int i = m_caret; i >= 0 && !m_lines[i].isSeparator(); --i)
            m_lines[i].selected = true;
        notifyChanged();
    }
    lb1Click();
}

void FileList::Lb1DblClick() {
    if (m_caret < 0)
        return;
    if (m_lines[m_caret].isSeparator())
        SelectAlbum1Click();
    else if (hooks.openFile)
        hooks.openFile(m_lines[m_caret].text);
}

void FileList::mDeletefromdiskClick() {
    const int selected = selectedCount();
    if (selected == 0)
        return;
    const auto answer = m_prompts.ask(
        QStringLiteral("Question"),
        QStringLiteral("Are you sure you want to delete (%1) file(s)\rphisically form disk?").arg(selected),
        Prompts::Icon::Question, Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return;
    QVector<char> remove(count(), 0);
    bool any = false;
    for (int i = 0; i < count(); ++i) {
        const ListLine& l = m_lines[i];
        if (!l.selected || l.isSeparator())
            continue;
        if (m_fs.removeFile(l.text).ok()) {
            remove[i] = 1;
            any = true;
            setModified();
        } else {
            m_prompts.error(QStringLiteral("Error!"), QStringLiteral("Can't delete file\r") + l.text);
        }
    }
    if (any) {
        beginUpdate();
        removeLines(remove);
        endUpdate();
    }
}

StatusTexts FileList::statusTexts() const {
    qint64 size = 0;
    qint64 time = 0;
    int n = 0;
    for (const ListLine& l : m_lines) {
        if (l.selected && !l.isSeparator()) {
            size += l.info.FileSize;
            time += l.info.PlayTime;
            ++n;
        }
    }
    const int cur = m_caret >= 0 ? m_lines[m_caret].info.ItemNumber : 0;
    StatusTexts t;
    t.panel0 = QString::asprintf("Cur: %d  Sel: %d", cur, n);
    t.time = QString::asprintf("Time: %.2lld:%.2lld:%.2lld", time / 3600, time % 3600 / 60, time % 60);
    t.panel1 = QString::asprintf("Size: %lld (%.2f Mb)  ", size, double(size) / 1048576.0) + t.time;
    return t;
}

StatusTexts StatusTexts::withAlbums(int albums) const {
    StatusTexts t = *this;
    t.panel1 = QStringLiteral("%1 Album(s) ").arg(albums) + panel1;
    return t;
}

} // namespace vorlane
