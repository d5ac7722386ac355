#pragma once

#include "core/platform/pump.h"

#include <QString>

namespace vorlane {

// The window side of a group operation: the progress window and the window
// that started the operation.
class GroupUi {
public:
    virtual ~GroupUi() = default;
    // Remember the active window, drop its topmost state when "Stay on top" is
    // on, show the progress window with this caption and disable the remembered window.
    virtual void begin(const QString& caption) = 0;
    virtual void setInfo(const QString& text) = 0;
    // Restore and enable the remembered window, hide the progress window,
    // make the remembered window topmost again when "Stay on top" is on.
    virtual void end() = 0;
    // The status bar's first panel.
    virtual void setStatus(const QString& text) = 0;
};

// A long command over many items (adding files, recounting times, undoing
// renames): a progress text refreshed at most every 500 ms, a Cancel button,
// and a closing report in the status bar.
class GroupOperation {
public:
    static constexpr qint64 kRefreshMs = 500;

    GroupOperation(Clock& clock, EventPump& pump, GroupUi* ui = nullptr)
        : m_clock(clock), m_pump(pump), m_ui(ui) {}

    void setUi(GroupUi* ui) { m_ui = ui; }

    void PrepareGroup(const QString& message, int total);
    // After each item: refreshes the progress text now and then; false once
    // the user has pressed Cancel.
    bool PrintGroup();
    void EndGroup(const QString& message);
    // The progress window's Cancel button.
    void bCancelClick() { m_cancel = true; }
    // One more item done: the file list counts each line it adds, other
    // commands their own items.
    void countItem() { ++m_counter; }

    bool cancelled() const { return m_cancel; }
    int counter() const { return m_counter; }
    int total() const { return m_total; }
    void setTotal(int total) { m_total = total; }
    QString infoText() const;
    QString statusText(const QString& message) const;

private:
    int m_counter = 0;
    Clock& m_clock;
    EventPump& m_pump;
    GroupUi* m_ui;
    int m_total = -1;
    qint64 m_lastUpdate = 0;
    bool m_cancel = false;
};

} // namespace vorlane
