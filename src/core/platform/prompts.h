#pragma once

#include <QList>
#include <QString>

namespace vorlane {

// Every message box of the program goes through this interface: the desktop
// shows a real box, the command line prints, tests script the answers.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNoCancel, AbortRetryIgnore };
    enum class Answer { Ok, Yes, No, Cancel, Abort, Retry, Ignore };

    virtual ~Prompts() = default;
    // A '\r' inside the text is a line break on screen.
    virtual Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) = 0;

    void error(const QString& title, const QString& text) { ask(title, text, Icon::Error, Buttons::Ok); }
};

} // namespace vorlane
