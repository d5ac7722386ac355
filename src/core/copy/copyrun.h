#pragma once

#include "core/copy/layout.h"
#include "core/filelist/filelist.h"
#include "core/platform/pump.h"

#include <QByteArray>

namespace vorlane {

// What the copy window shows while a run goes on.
class CopyUi {
public:
    virtual ~CopyUi() = default;
    virtual void setCaption(const QString& text) = 0;
    // "n file from m"
    virtual void setCount(const QString& text) = 0;
    virtual void setFrom(const QString& text) = 0;
    virtual void setTo(const QString& text) = 0;
    virtual void setProgress(int value, int maximum) = 0;
};

// Progress of `done` bytes out of `total` as a progress bar takes it: both
// scaled down alike until the total fits an int.
struct ProgressValue {
    int value = 0;
    int maximum = 0;
};
ProgressValue scaledProgress(qint64 done, qint64 total);

// The copy window's two runs over the selected lines of the file list: copying
// each file into the destination under its name line, resuming a copy that
// was cut short, and comparing such copies with their sources by CRC-32.
class CopyRun {
public:
    // Events are pumped, the progress shown and the target flushed at most this often while copying.
    static constexpr qint64 kPumpMs = 1000;
    // A checksum pumps events once per this many bytes read.
    static constexpr qint64 kCrcPumpBytes = qint64(32) << 20;

    struct Result {
        int done = 0;   // files copied, or pairs found equal
        int failed = 0; // files left for an answer other than Retry
        int total = 0;  // the selected files
        bool cancelled = false;
        bool aborted = false; // ended by Abort without a summary
    };

    CopyRun(FileList& list, Prompts& prompts, Clock& clock, EventPump& pump, CopyUi* ui = nullptr);
    ~CopyRun();
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

    Result CopyFiles(const QString& destination);
    Result CountCRC(const QString& destination);
    // The CRC-32 of a file read to its end (or as far as Cancel let it); false
    // when the file cannot be opened or read, with the system's words in `cause`.
    bool CountFileCRC32(const QString& path, quint32& crc, QString* cause = nullptr);
    // The Cancel button: the run stops after the block in hand.
    void CancelbClick() { m_cancel = true; }
    bool cancelled() const { return m_cancel; }

    // A checksum as messages show it: eight upper-case hexadecimal digits.
    static QString crcText(quint32 crc);
    // What a compare that ran to its end found, for the status bar: "N of M
    // copies differ or are missing", or "M of M copies match".
    static QString compareCountText(const Result& r);
    // Added to the count in the summary box of a compare that found differences.
    static constexpr char kLinesStaySelected[] = " (their lines stay selected)";

private:
    enum class Outcome { Done, Ignored, Aborted, Cancelled };
    // One failure about one file, as the Abort/Retry/Ignore box names it.
    struct Failure {
        QString what; // "File access error", ...
        QString path;
        QString cause;        // the system's words; may be empty
        bool midCopy = false; // Abort then cancels the run (with its summary)
        bool ok() const { return what.isEmpty(); }
    };
    struct Crc {
        quint32 value = 0;
        Failure failure;
    };

    // The selected lines top to bottom: separators place the groups, each
    // file goes through `each`, and the summary box ends the run.
    Result runSelected(const QString& caption, const QString& destination, Outcome (CopyRun::*each)(int));
    int countSelectedFiles() const;
    QString nameLine(int line) const;
    void prepare(const QString& caption, const QString& destination);
    Result finish(Result r, bool compare);
    Prompts::Answer ask(const Failure& f);
    Prompts::Answer askText(const QString& text);
    void showCount(int n, int m);
    void showProgress(qint64 done, qint64 total);
    // At most once per kPumpMs: progress, the target's writeback and pending events.
    void tick(qint64 done, qint64 total, int flushFd);
    QString placeTarget(const QString& nameLine);
    // Makes the current group's folders; existing ones are fine.
    void makeGroupFolders();

    Outcome copyFile(int line);
    // One attempt at a file: open both ends, check what the target holds, copy the rest.
    Failure copyAttempt(const QString& source, QString& target, bool& placed, int line);
    Failure checkPrefix(int src, int dst, qint64 length, qint64 size, const QString& source,
                        const QString& target);
    Failure copyRest(int src, int dst, qint64 from, qint64 size, const QString& source,
                     const QString& target);
    Outcome compareFile(int line);
    Crc crcOf(const QString& path);

    FileList& m_list;
    Prompts& m_prompts;
    Clock& m_clock;
    EventPump& m_pump;
    CopyUi* m_ui;
    DestinationLayout m_layout;
    QStringList m_groupFolders;
    bool m_cancel = false;
    qint64 m_lastPump = 0;
    qint64 m_flushed = 0;
    int m_n = 0;
    int m_m = 0;
    QByteArray m_buffer;
    QByteArray m_other;
};

} // namespace vorlane
