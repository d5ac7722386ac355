#pragma once

#include "core/platform/prompts.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace vorlane {

// Message boxes of the desktop program: application-modal, '\r' breaks lines.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }
    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override;

    // The box ask shows, not yet run: its buttons carry Alt accelerators
    // (&Yes, &No, &Abort, &Retry, &Ignore), Enter takes the default button
    // and Esc Cancel (Abort in an Abort / Retry / Ignore box).
    static std::unique_ptr<QMessageBox> makeBox(QWidget* owner, const QString& title, const QString& text,
                                                Icon icon, Buttons buttons);
    // The answer of a box that has closed: the button clicked, else the
    // answer of closing it.
    static Answer answerOf(const QMessageBox& box, Buttons buttons);

private:
    QWidget* m_owner;
};

} // namespace vorlane
