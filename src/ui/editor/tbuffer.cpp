#include "tbuffer.h"

#include "nameeditor.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace vorlane {

TBuffer::TBuffer(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Buffer"));
    setWindowTitle(QStringLiteral("Buffer"));
    se1 = new NameEditor(NameEditor::Role::Scratch, this);
    se1->setObjectName(QStringLiteral("se1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(se1);
    resize(511, 255);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TBuffer::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
}

} // namespace vorlane
