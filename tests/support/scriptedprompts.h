#pragma once

#include "core/platform/prompts.h"

#include <functional>

namespace vorlane {

// Records every box and answers from a script; when the script runs out it
// gives the first button of the box (OK, Yes or Abort). `onAsk`, when set,
// runs as each box is shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override {
        shown.append({title, text, icon, buttons});
        if (onAsk)
            onAsk(text);
        if (!script.isEmpty())
            return script.takeFirst();
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNoCancel:
            return Answer::Yes;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        }
        return Answer::Ok;
    }

    QList<Answer> script;
    QList<Shown> shown;
    std::function<void(const QString&)> onAsk;
};

} // namespace vorlane
