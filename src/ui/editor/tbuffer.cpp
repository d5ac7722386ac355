#include "tbuffer.h"

#include "editorsetup.h"

#include <Qsci/qsciscintilla.h>

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace vorlane {

TBuffer::TBuffer(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Buffer"));
    setWindowTitle(QStringLiteral("Buffer"));
    se1 = new QsciScintilla(this);
    se1->setObjectName(QStringLiteral("se1"));
    setupEditor(se1);
    se1->SendScintilla(QsciScintilla::SCI_SETHSCROLLBAR, 0L);
    se1->SendScintilla(QsciScintilla::SCI_SETVSCROLLBAR, 0L);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(se1);
    resize(511, 255);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

} // namespace vorlane
