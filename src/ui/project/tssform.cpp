#include "tssform.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QThread>

namespace vorlane {

TSSForm::TSSForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SSForm"));
    setFixedSize(320, 80);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(191, 191, 255));
    setPalette(pal);
    setAutoFillBackground(true);
    Pb1 = new QProgressBar(this);
    Pb1->setObjectName(QStringLiteral("Pb1"));
    Pb1->setRange(0, 10);
    Pb1->setTextVisible(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 28, 16, 28);
    layout->addWidget(Pb1);
    pause = [](int ms) { QThread::msleep(ulong(ms)); };
}

void TSSForm::showSaved(const QWidget* main) {
    const QRect frame = main->frameGeometry();
    move(frame.left() + (frame.width() - width()) / 2, frame.top() + 50);
    Pb1->setValue(0);
    show();
    raise();
    for (int step = 0; step <= 10; ++step) {
        Pb1->setValue(step);
        repaint();
        pause(25);
    }
    hide();
}

} // namespace vorlane
