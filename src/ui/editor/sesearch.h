#pragma once

#include "core/editor/searchsession.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>

class QDialog;
class QWidget;

namespace vorlane {

class NameEditor;
class SciSearchTarget;
class TConfirmReplaceDialog;
class Tfd1;
class Trd1;

// Search and replace in an editor: the three dialogs, created once, and the
// commands that run them. The logic is the core's SearchSession; this side
// shows the dialogs and places the confirmation near each occurrence.
class SESearch {
public:
    // `showModal` runs a dialog modally and gives its result.
    SESearch(Prompts& prompts, std::function<int(QDialog*)> showModal, QWidget* parent);
    ~SESearch();

    void ShowSearchDialog(NameEditor* editor);
    // Find next (backwards false) and Find previous (true); without a search
    // text the search dialog opens instead.
    void SearchAgain(NameEditor* editor, bool backwards);
    void ShowReplaceDialog(NameEditor* editor);

    Tfd1* fd1() const { return m_fd1; }
    Trd1* rd1() const { return m_rd1; }
    TConfirmReplaceDialog* confirmDialog() const { return m_confirm; }
    SearchSession& session() { return m_session; }

    // The system beep when nothing is found and after replacing; tests count it.
    std::function<void()> beep;

private:
    ReplaceAnswer ConfirmReplace(SciSearchTarget& target, const TextRange& occurrence);
    SciSearchTarget& targetFor(NameEditor* editor);

    std::function<int(QDialog*)> m_showModal;
    SearchSession m_session;
    Tfd1* m_fd1;
    Trd1* m_rd1;
    TConfirmReplaceDialog* m_confirm;
    std::map<NameEditor*, std::unique_ptr<SciSearchTarget>> m_targets;
};

} // namespace vorlane
