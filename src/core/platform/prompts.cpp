#include "prompts.h"

namespace vorlane {

Prompts::Answer ScriptedPrompts::ask(const QString& title, const QString& text, Icon icon, Buttons buttons) {
    shown.append({title, text, icon, buttons});
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

} // namespace vorlane
