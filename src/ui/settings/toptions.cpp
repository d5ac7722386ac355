#include "toptions.h"

#include "ui/settings/formstate.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlane {

namespace {
QString shownHint(const QString& hint) {
    return QString(hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

TOptions::TOptions(Options& options, IniFile* settings, QWidget* parent)
    : QDialog(parent), m_options(options), m_settings(settings) {
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Options"));

    // Controls are created in the table's order with the dialog as their
    // parent, which is the order every walk over them takes.
    auto* general = new QGridLayout;
    int row = 0;
    auto* speed = new QVBoxLayout;
    QList<QWidget*> parts;
    for (const OptionInfo& info : optionTable()) {
        const QString name = QLatin1String(info.name);
        QWidget* control;
        if (info.isText) {
            auto* e = new QLineEdit(this);
            auto* label = new QLabel(info.caption, this);
            label->setBuddy(e);
            general->addWidget(label, row, 0);
            general->addWidget(e, row++, 1);
            connect(e, &QLineEdit::textChanged, this,
                    [this, field = info.text](const QString& text) { m_options.*field = text; });
            control = e;
        } else {
            auto* c = new QCheckBox(info.caption, this);
            connect(c, &QCheckBox::toggled, this, [this, field = info.flag, role = info.speed](bool on) {
                m_options.*field = on;
                if (role == SpeedRole::Switch)
                    cbMaxSpeedClick();
                else if (role == SpeedRole::Part)
                    cbDontCountmp3Click();
            });
            if (info.speed == SpeedRole::Switch)
                speed->insertWidget(0, c);
            else if (info.speed == SpeedRole::Part)
                parts << c;
            else
                general->addWidget(c, row++, 0, 1, 2);
            control = c;
        }
        control->setObjectName(name);
        if (!info.hint.isEmpty())
            control->setToolTip(shownHint(info.hint));
        m_controls.insert(name, control);
        if (!m_ok) {
            m_ok = new QPushButton(QStringLiteral("Ok"), this);
            m_ok->setObjectName(QStringLiteral("bOk"));
            m_ok->setDefault(true);
        }
    }
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("bCancel"));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, [this] { bCancelClick(); });

    // Its parts stand indented under "Maximize speed".
    for (QWidget* p : parts) {
        auto* row = new QHBoxLayout;
        row->addSpacing(20);
        row->addWidget(p);
        speed->addLayout(row);
    }
    speed->addStretch(1);
    general->setRowStretch(row, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(general);
    layout->addSpacing(12);
    layout->addLayout(speed);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    showValues();
    FormCreate();
}

TOptions::~TOptions() {
    FormDestroy();
}

void TOptions::FormCreate() {
    if (m_settings)
        LoadFormState(this, *m_settings);
}

void TOptions::FormDestroy() {
    if (!m_settings)
        return;
    showValues();
    SaveFormState(this, *m_settings);
}

QCheckBox* TOptions::check(const QString& name) const {
    return qobject_cast<QCheckBox*>(m_controls.value(name));
}

QLineEdit* TOptions::edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(m_controls.value(name));
}

void TOptions::showValues() {
    ++m_coupling;
    for (const OptionInfo& info : optionTable()) {
        const QString name = QLatin1String(info.name);
        if (info.isText)
            edit(name)->setText(m_options.*info.text);
        else
            check(name)->setChecked(m_options.*info.flag);
    }
    --m_coupling;
}

void TOptions::cbMaxSpeedClick() {
    if (m_coupling > 0)
        return;
    setMaxSpeed(m_options, m_options.cbMaxSpeed);
    showValues();
}

void TOptions::cbDontCountmp3Click() {
    if (m_coupling > 0)
        return;
    updateMaxSpeed(m_options);
    showValues();
}

void TOptions::bCancelClick() {
    reject();
}

void TOptions::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::NoModifier) {
        e->accept();
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace vorlane
