#pragma once

#include "core/platform/prompts.h"

class QWidget;

namespace vorlane {

// Message boxes of the desktop program: application-modal, '\r' breaks lines.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }
    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override;

private:
    QWidget* m_owner;
};

} // namespace vorlane
