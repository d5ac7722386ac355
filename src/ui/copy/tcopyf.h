#pragma once

#include "core/copy/copyrun.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorlane {

// The copy window: shown modally for a copy (tag 0) or a compare (tag 1),
// it runs as soon as it is shown and closes itself at the end.
class TCopyf : public QDialog, public CopyUi {
    Q_OBJECT
public:
    TCopyf(FileList& list, Prompts& prompts, Clock& clock, EventPump& pump, QWidget* parent = nullptr);
    ~TCopyf() override;

    QLabel* Nofsl = nullptr;
    QLabel* Froml = nullptr;
    QLabel* Tol = nullptr;
    QProgressBar* pb1 = nullptr;
    QPushButton* Cancelb = nullptr;

    // 0: copy, 1: compare.
    int Tag = 0;
    // The folder the files go to, or where their copies are.
    QString destination;

    // Runs the chosen operation once per showing.
    void FormActivate();
    void CancelbClick();
    CopyRun& run() { return m_run; }
    const CopyRun::Result& lastResult() const { return m_result; }

    void setCaption(const QString& text) override;
    void setCount(const QString& text) override;
    void setFrom(const QString& text) override;
    void setTo(const QString& text) override;
    void setProgress(int value, int maximum) override;

protected:
    void showEvent(QShowEvent* e) override;
    // Esc and the title bar's close button cancel a run instead of leaving it.
    void reject() override;

private:
    CopyRun m_run;
    CopyRun::Result m_result;
    bool m_armed = false;
    bool m_running = false;
};

} // namespace vorlane
