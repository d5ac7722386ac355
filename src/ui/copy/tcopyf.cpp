#include "tcopyf.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace vorlane {

TCopyf::TCopyf(FileList& list, Prompts& prompts, Clock& clock, EventPump& pump, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_run(list, prompts, clock, pump, this) {
    setObjectName(QStringLiteral("Copyf"));
    setWindowTitle(QStringLiteral("Copy"));
    Nofsl = new QLabel(this);
    Nofsl->setObjectName(QStringLiteral("Nofsl"));
    Froml = new QLabel(this);
    Froml->setObjectName(QStringLiteral("Froml"));
    Tol = new QLabel(this);
    Tol->setObjectName(QStringLiteral("Tol"));
    for (QLabel* l : {Froml, Tol}) {
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setMinimumHeight(2 * l->fontMetrics().lineSpacing());
    }
    pb1 = new QProgressBar(this);
    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setTextVisible(false);
    Cancelb = new QPushButton(QStringLiteral("&Cancel"), this);
    Cancelb->setObjectName(QStringLiteral("Cancelb"));
    Cancelb->setAutoDefault(false);
    connect(Cancelb, &QPushButton::clicked, this, [this] { CancelbClick(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Nofsl);
    layout->addWidget(Froml);
    layout->addWidget(Tol);
    layout->addWidget(pb1);
    layout->addWidget(Cancelb, 0, Qt::AlignHCenter);
    setFixedSize(420, 190);
}

TCopyf::~TCopyf() = default;

void TCopyf::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    // The run starts once the window is up, inside its modal loop; until it
    // ends, the last result says that nothing ran.
    m_result = CopyRun::Result();
    m_result.aborted = true;
    m_armed = true;
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TCopyf::FormActivate() {
    if (!m_armed || m_running)
        return;
    m_armed = false;
    m_running = true;
    Nofsl->clear();
    Froml->clear();
    Tol->clear();
    pb1->setRange(0, 1);
    pb1->setValue(0);
    m_result = Tag == 0 ? m_run.CopyFiles(destination) : m_run.CountCRC(destination);
    m_running = false;
    done(QDialog::Accepted);
}

void TCopyf::CancelbClick() {
    m_run.CancelbClick();
}

void TCopyf::reject() {
    if (m_running)
        CancelbClick();
    else
        QDialog::reject();
}

void TCopyf::setCaption(const QString& text) {
    setWindowTitle(text);
}

void TCopyf::setCount(const QString& text) {
    Nofsl->setText(text);
}

void TCopyf::setFrom(const QString& text) {
    Froml->setText(text);
}

void TCopyf::setTo(const QString& text) {
    Tol->setText(text);
}

void TCopyf::setProgress(int value, int maximum) {
    pb1->setRange(0, qMax(1, maximum));
    pb1->setValue(value);
}

} // namespace vorlane
