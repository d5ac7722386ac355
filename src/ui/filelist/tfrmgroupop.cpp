#include "tfrmgroupop.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vorlane {

TfrmGroupOp::TfrmGroupOp(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmGroupOp"));
    setFixedSize(237, 67);
    LInfo = new QLabel(this);
    LInfo->setObjectName(QStringLiteral("LInfo"));
    LInfo->setAlignment(Qt::AlignCenter);
    QFont f = LInfo->font();
    f.setBold(true);
    f.setPixelSize(16);
    LInfo->setFont(f);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(LInfo);
    layout->addWidget(bCancel, 0, Qt::AlignHCenter);
}

QtGroupUi::QtGroupUi(GroupHost host, GroupOperation& group)
    : m_host(std::move(host)), m_window(new TfrmGroupOp) {
    QObject::connect(m_window->bCancel, &QPushButton::clicked, [&group] { group.bCancelClick(); });
}

QtGroupUi::~QtGroupUi() {
    delete m_window;
}

void QtGroupUi::begin(const QString& caption) {
    m_window->setWindowTitle(caption);
    m_remembered = QApplication::activeWindow() ? QApplication::activeWindow() : m_host.window;
    m_focus = QApplication::focusWidget();
    if (m_remembered == m_host.window && m_host.stayOnTop())
        m_host.setTopmost(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->move(screen->geometry().center() - m_window->rect().center());
    m_window->show();
    m_remembered->setEnabled(false);
}

void QtGroupUi::setInfo(const QString& text) {
    m_window->LInfo->setText(text);
}

void QtGroupUi::end() {
    if (m_remembered) {
        if (m_remembered->isMinimized())
            m_remembered->showNormal();
        m_remembered->setEnabled(true);
        m_remembered->activateWindow();
        if (m_focus)
            m_focus->setFocus();
    }
    m_window->hide();
    if (m_remembered == m_host.window && m_host.stayOnTop())
        m_host.setTopmost(true);
}

void QtGroupUi::setStatus(const QString& text) {
    m_host.setStatus(text);
}

} // namespace vorlane
