#pragma once

#include "core/filelist/groupop.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;

namespace vorlane {

// What a group operation needs of the main window.
struct GroupHost {
    QWidget* window = nullptr;
    // "Stay on top", read at the moment the operation acts.
    std::function<bool()> stayOnTop;
    std::function<void(bool)> setTopmost;
    // The status bar's first panel.
    std::function<void(const QString&)> setStatus;
};

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
    QtGroupUi(GroupHost host, GroupOperation& group);
    ~QtGroupUi() override;

    void begin(const QString& caption) override;
    void setInfo(const QString& text) override;
    void end() override;
    void setStatus(const QString& text) override;

    TfrmGroupOp* window() const { return m_window; }

private:
    GroupHost m_host;
    TfrmGroupOp* m_window;
    QPointer<QWidget> m_remembered;
    QPointer<QWidget> m_focus;
};

} // namespace vorlane
