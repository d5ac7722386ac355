#pragma once

#include "core/editor/namelines.h"
#include "core/filelist/textcounts.h"
#include "core/masks/applymask.h"
#include "core/platform/filesystem.h"
#include "core/platform/prompts.h"
#include "core/settings/options.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace vorlane {

struct FileItemInfo {
    qint64 FileSize = 0;
    qint32 PlayTime = 0;
    qint32 ItemNumber = 0; // -1 marks a separator
};

struct ListLine {
    QString text;
    FileItemInfo info;
    bool selected = false;
    bool isSeparator() const { return info.ItemNumber == -1; }
};

} // namespace vorlane

// A line moves in memory as its bytes: a list of a million lines grows in
// place instead of being copied.
Q_DECLARE_TYPEINFO(vorlane::ListLine, Q_RELOCATABLE_TYPE);

namespace vorlane {

// What the file list needs from the window around it. Every hook may be left
// empty (command line, core tests).
struct FileListHooks {
    std::function<void(bool)> setModified;
    // Refresh the status bar and align the panes.
    std::function<void()> lb1Click;
    // Lines, selection or caret changed: repaint (suppressed inside updates).
    std::function<void()> changed;
    // One-way alignment of the editor's top line to the list's top line.
    std::function<void()> alignEditorTop;
    // An ordinary line was added: the running group operation counts it.
    std::function<void()> itemAdded;
    // Playing time in seconds of a file whose upper-case extension is given.
    std::function<qint32(const QString& path, const QString& extUpper)> countPlayTime;
    // Opens a file with the program the desktop associates with it.
    std::function<void(const QString& path)> openFile;
};

// One entry of the undo log: the old full path, the new name, and where its
// bytes lay in the log when it was read ([start, end), -1 when unknown).
struct LoggedRename {
    QString before;
    QString after;
    qint64 start = -1;
    qint64 end = -1;
};

// The two status-bar panels for the current selection.
struct StatusTexts {
    QString panel0;
    QString panel1;
    // Panel 1's playing time alone ("Time: hh:mm:ss"), whatever stands in
    // front of it: what the status bar's copy of the time takes.
    QString time;

    // Panel 1 after Select All: the albums counted in front of the sums.
    StatusTexts withAlbums(int albums) const;
};

// The left pane's data: lines with their records, selection and caret, the
// item counter and the pending folder separator, kept line for line with the
// name editor.
class FileList {
public:
    enum SortMode { ByName = 1, ByNameWithoutDir = 2, ByNumber = 3 };

    FileList(Options& options, Prompts& prompts, NameLines& editor, FileSystem& fs);

    FileListHooks hooks;
    // Files the undo window put into the list to be renamed back: where the
    // file stands now -> its log entry. The rename that brings a file back
    // takes its entry off the log, so it is never taken back twice.
    QHash<QString, LoggedRename> takeBacks;

    // --- reading
    int count() const { return int(m_lines.size()); }
    const ListLine& line(int i) const { return m_lines[i]; }
    const QString& text(int i) const { return m_lines[i].text; }
    bool isSeparator(int i) const { return m_lines[i].isSeparator(); }
    bool isSelected(int i) const { return m_lines[i].selected; }
    int selectedCount() const;
    // The first line whose text equals `path` exactly, or -1: on a file system
    // that tells letter case apart, a.mp3 and A.mp3 are two files.
    int findLine(const QString& path) const;
    int caret() const { return m_caret; }
    qint32 itemCounter() const { return m_itemCounter; }
    const QString& pendingSeparator() const { return m_pendingSeparator; }
    NameLines& editor() { return m_editor; }
    const NameLines& editor() const { return m_editor; }
    FileSystem& fileSystem() { return m_fs; }
    Options& options() { return m_options; }
    const Options& options() const { return m_options; }

    // --- state set by the window and by later commands
    void setCaret(int i);
    void setSelected(int i, bool on);
    void selectOnly(int i);
    void selectRange(int from, int to, bool on);
    void clearSelection();
    void setPendingSeparator(const QString& folder) { m_pendingSeparator = folder; }
    void setPlayTime(int i, qint32 seconds) { m_lines[i].info.PlayTime = seconds; }
    void setFileSize(int i, qint64 bytes) { m_lines[i].info.FileSize = bytes; }
    // The mask that names files as they are added (not in loading mode);
    // without one their editor lines stay empty.
    void setNameMask(std::optional<Mask> mask) { m_nameMask = std::move(mask); }

    // Suspends repaint notifications of the list and the editor; nestable.
    void beginUpdate();
    void endUpdate();
    bool updating() const { return m_updateDepth > 0; }
    // Changes whenever lines are added, removed or moved (not on selection).
    quint64 structureVersion() const { return m_structure; }

    // --- the list's operations
    // Adds a file's line at the end. `position` is the file's 0-based place
    // among the candidates of its group and `groupSize` their number (0 when
    // not known), for naming it. In loading mode the line is taken as stored,
    // without checks or measurements. `known`, when given, stands for the
    // lookup of the path that the caller has just made (the folder scan).
    // True when the line was added.
    bool AddItem(int position, int groupSize, bool loadingMode, const QString& text,
                 const FileSystem::Stat* known = nullptr);
    // Adds a separator line with this text at the end; its editor line shows
    // the text's last component.
    void AddSeparator(const QString& text);
    // Between these two calls the caller promises that the files it adds
    // differ from each other and from every listed line (one folder walk into
    // an empty list): the duplicate test is skipped and its index made again
    // at its next use, which keeps a large first scan fast. Nests.
    void beginDistinctAdding();
    void endDistinctAdding();
    // Replaces the text of line i (a file renamed on disk).
    void setLineText(int i, const QString& text);
    void AppendSeparator(const QString& text, const QString& editorText);
    void RenumberItems();
    // Empties the list and the editor lines beside it.
    void clear();

    // --- the list's commands
    void Insertseparator1Click();
    void mDeleteFromListClick();
    void Selectallseparators1Click();
    void ShiftSelectionUp1Click();
    void ShiftSelectionDown1Click();
    void SortSelection(SortMode mode);
    // Selects every line; returns the number of albums.
    int SelectAll1Click();
    void InvertSelection1Click();
    void SelectAlbum1Click();
    void Lb1DblClick();
    void mDeletefromdiskClick();

    StatusTexts statusTexts() const;

private:
    void setModified();
    void lb1Click();
    void notifyChanged();
    void indexAdd(const QString& text);
    void indexRemove(const QString& text);
    // Room for `more` lines beyond those there, growing at least twofold.
    void makeRoom(int more);
    void indexAppended(const QString& text, bool counted = false);
    // The duplicate test that also counts the line in: false when a line with
    // exactly this text is listed already.
    bool claim(const QString& text);
    // A line stored as given (loading mode) is not looked up as it comes in:
    // the indexes are rebuilt at their next use instead of growing line by
    // line, which keeps loading a large project fast.
    void indexDropped();
    // Whether a line with exactly this text is listed (the duplicate test).

    // Makes the text index when it is due (after lines were removed or loaded).
    void buildIndex() const;
    // Keeps the lines whose flag is false, in list and editor, in one pass.
    void removeLines(const QVector<char>& remove);
    void moveLine(int from, int to);

    Options& m_options;
    Prompts& m_prompts;
    NameLines& m_editor;
    FileSystem& m_fs;

    QVector<ListLine> m_lines;
    int m_caret = -1;
    qint32 m_itemCounter = 0;
    QString m_pendingSeparator;
    std::optional<Mask> m_nameMask;
    int m_updateDepth = 0;
    int m_distinctDepth = 0;
    quint64 m_structure = 0;
    bool m_changedWhileSuspended = false;
    // Line text -> number of lines with that text, for the duplicate
    // test; rebuilt on demand after lines were removed.
    mutable TextCounts m_index;
    mutable bool m_indexValid = true;
    // Line text -> its first line; rebuilt on demand after lines move.
    mutable QHash<QString, int> m_firstLine;
    mutable bool m_firstLineValid = false;
};

} // namespace vorlane
