#pragma once

#include "core/editor/searchsession.h"

namespace vorlane {

class NameEditor;

// The search commands' view of a name editor: text positions in characters
// of the decoded lines, translated to and from the editor's byte positions.
class SciSearchTarget : public SearchTarget {
public:
    explicit SciSearchTarget(NameEditor* editor) : m_e(editor) {}

    NameEditor* editor() const { return m_e; }

    QString text() const override;
    TextPos caret() const override;
    void setCaret(TextPos pos) override;
    void showFound(const TextRange& found, bool caretAtStart) override;
    void replaceLines(int first, int last, const QString& with) override;
    void beginEdits() override;
    void endEdits() override;
    std::optional<SearchBlock> selection() const override;
    void select(const SearchBlock& block) override;

    // The editor's position of a text position; a column past the end of its
    // line gives the line's end and, in `virtualSpace`, how far past it is.
    long position(TextPos pos, long* virtualSpace = nullptr) const;
    TextPos textPos(long position, long virtualSpace = 0) const;

private:
    QString lineText(int line) const;

    NameEditor* m_e;
};

} // namespace vorlane
