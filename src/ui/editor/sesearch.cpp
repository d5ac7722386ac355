#include "sesearch.h"

#include "ui/editor/nameeditor.h"
#include "ui/editor/scisearchtarget.h"
#include "ui/editor/searchdialogs.h"

#include <QApplication>

namespace vorlane {

SESearch::SESearch(Prompts& prompts, std::function<int(QDialog*)> showModal, QWidget* parent)
    : beep([] { QApplication::beep(); }), m_showModal(std::move(showModal)),
      m_session(prompts, [this] { beep(); }), m_fd1(new Tfd1(parent)), m_rd1(new Trd1(parent)),
      m_confirm(new TConfirmReplaceDialog(parent)) {}

SESearch::~SESearch() = default;

SciSearchTarget& SESearch::targetFor(NameEditor* editor) {
    std::unique_ptr<SciSearchTarget>& t = m_targets[editor];
    if (!t)
        t = std::make_unique<SciSearchTarget>(editor);
    return *t;
}

void SESearch::ShowSearchDialog(NameEditor* editor) {
    do {
        if (m_showModal(m_fd1) != QDialog::Accepted)
            return;
    } while (m_session.find(targetFor(editor), m_fd1->settings()) == SearchSession::Outcome::NeedText);
    m_rd1->setSearchHistory(m_fd1->searchHistory());
}

void SESearch::SearchAgain(NameEditor* editor, bool backwards) {
    if (m_session.searchAgain(targetFor(editor), m_fd1->settings(), backwards) ==
        SearchSession::Outcome::NeedText)
        ShowSearchDialog(editor);
}

void SESearch::ShowReplaceDialog(NameEditor* editor) {
    if (m_showModal(m_rd1) != QDialog::Accepted)
        return;
    SciSearchTarget& target = targetFor(editor);
    const int count =
        m_session.replace(target, m_rd1->settings(), [this, &target](const TextRange& occurrence) {
            return ConfirmReplace(target, occurrence);
        });
    if (count >= 0)
        m_fd1->setSearchHistory(m_rd1->searchHistory());
}

// The occurrence is selected and in view; the question goes next to it.
ReplaceAnswer SESearch::ConfirmReplace(SciSearchTarget& target, const TextRange& occurrence) {
    NameEditor* e = target.editor();
    const long pos = target.position(occurrence.begin);
    const QPoint at(int(e->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, pos)),
                    int(e->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, pos)));
    QWidget* view = e->viewport();
    const QPoint onScreen = view->mapToGlobal(at);
    const int lineHeight = int(e->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, long(occurrence.begin.line)));
    const QRect editorRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    m_confirm->PlaceConfirmDialog(editorRect, onScreen.x(), onScreen.y(), onScreen.y() + lineHeight,
                                  m_rd1->searchText());
    switch (m_showModal(m_confirm)) {
    case TConfirmReplaceDialog::Yes:
        return ReplaceAnswer::Replace;
    case TConfirmReplaceDialog::YesToAll:
        return ReplaceAnswer::ReplaceAll;
    case TConfirmReplaceDialog::Cancel:
        return ReplaceAnswer::Cancel;
    default:
        return ReplaceAnswer::Skip;
    }
}

} // namespace vorlane
