#include "qtprompts.h"

#include <QMessageBox>
#include <QPushButton>

namespace vorlane {

namespace {
// Standard buttons with the accelerators the desktop's own boxes may lack.
void addButton(QMessageBox& box, QMessageBox::StandardButton which, const char* caption) {
    box.addButton(which)->setText(QString::fromLatin1(caption));
}
} // namespace

std::unique_ptr<QMessageBox> QtPrompts::makeBox(QWidget* owner, const QString& title, const QString& text,
                                                Icon icon, Buttons buttons) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(title);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    box->setText(shown);
    box->setWindowModality(Qt::ApplicationModal);
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box->setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNoCancel:
        addButton(*box, QMessageBox::Yes, "&Yes");
        addButton(*box, QMessageBox::No, "&No");
        addButton(*box, QMessageBox::Cancel, "Cancel");
        box->setDefaultButton(QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::AbortRetryIgnore:
        addButton(*box, QMessageBox::Abort, "&Abort");
        addButton(*box, QMessageBox::Retry, "&Retry");
        addButton(*box, QMessageBox::Ignore, "&Ignore");
        box->setDefaultButton(QMessageBox::Abort);
        box->setEscapeButton(QMessageBox::Abort);
        break;
    }
    return box;
}

Prompts::Answer QtPrompts::answerOf(const QMessageBox& box, Buttons buttons) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return buttons == Buttons::AbortRetryIgnore ? Answer::Abort
                                                    : (buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
}

Prompts::Answer QtPrompts::ask(const QString& title, const QString& text, Icon icon, Buttons buttons) {
    const std::unique_ptr<QMessageBox> box = makeBox(m_owner, title, text, icon, buttons);
    box->exec();
    return answerOf(*box, buttons);
}

} // namespace vorlane
