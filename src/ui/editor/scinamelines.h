#pragma once

#include "core/editor/namelines.h"

#include <QByteArray>

#include <optional>

class QsciScintilla;

namespace vorlane {

// The name editor's lines over QScintilla. QScintilla always shows at least
// one line; here text "" is 0 lines and a final line break ends the last line
// rather than starting a new one ("a\n" and "a" are both the one line "a";
// "\n" is one empty line).
//
// Between beginUpdate and endUpdate the lines are edited in a copy that goes
// back into the editor as one edit at the end: each single edit of the editor
// costs time that grows with the document, so thousands of them would not scale.
class SciNameLines : public NameLines {
public:
    explicit SciNameLines(QsciScintilla* editor) : m_e(editor) {}

    int count() const override;
    QString line(int i) const override;
    void setLine(int i, const QString& text) override;
    void append(const QString& text) override;
    QStringList lines() const override;
    void setLines(const QStringList& lines) override;
    void beginUpdate() override;
    void endUpdate() override;

    // Appends n empty lines as one insertion.
    void appendEmpty(int n);
    // The line count once the editor's bytes [pos, pos + length) are deleted
    // (line breaks being LF, as the editor writes them).
    int countAfterDeleting(long pos, long length) const;

private:
    long length() const;
    QByteArray bytes(long start, long end) const;
    bool endsWithBreak() const;
    QStringList readLines() const;
    // Replaces the editor's text, as one step of its undo history.
    void writeText(const QByteArray& bytes);
    QStringList& copy();

    QsciScintilla* m_e;
    int m_updateDepth = 0;
    std::optional<QStringList> m_copy;
};

} // namespace vorlane
