#pragma once

#include "core/filelist/groupop.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace vorlane {

class TMain;

// The small progress window of group operations: a count and a Cancel button.
class TfrmGroupOp : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGroupOp(QWidget* parent = nullptr);

    QLabel* LInfo = nullptr;
    QPushButton* bCancel = nullptr;
};

// Group operations on the desktop: the progress window, the disabled window
// that started the operation, the status report.
class QtGroupUi : public GroupUi {
public:
    QtGroupUi(TMain& main, GroupOperation& group);
    ~QtGroupUi() override;

    void begin(const QString& caption) override;
    void setInfo(const QString& text) override;
    void end() override;
    void setStatus(const QString& text) override;

    TfrmGroupOp* window() const { return m_window; }

private:
    TMain& m_main;
    TfrmGroupOp* m_window;
    QPointer<QWidget> m_remembered;
    QPointer<QWidget> m_focus;
};

} // namespace vorlane
