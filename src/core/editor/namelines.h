#pragma once

#include <QStringList>

namespace vorlane {

// The name editor seen as a list of lines. An empty editor has 0 lines, and N
// lines need not end with a line break. Bulk changes (setLines) are one step
// of the editor's undo history.
class NameLines {
public:
    virtual ~NameLines() = default;

    virtual int count() const = 0;
    virtual QString line(int i) const = 0;
    // Replaces line i; lines up to i are added when the editor is shorter.
    virtual void setLine(int i, const QString& text) = 0;
    virtual void append(const QString& text) = 0;
    virtual QStringList lines() const = 0;
    virtual void setLines(const QStringList& lines) = 0;

    // Room for `n` lines in all, where keeping them allows it.
    virtual void reserve(int n) { (void)n; }
    // Repaint suspension around bulk work; nestable.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}

    // Single-line edits built on the bulk calls; adapters may do better.
    virtual void insert(int i, const QString& text);
    virtual void remove(int i);
    virtual void move(int from, int to);
    virtual void exchange(int a, int b);
    void clear() { setLines({}); }
};

// Plain list of lines: the name editor of the command line and of tests.
class ListNameLines : public NameLines {
public:
    int count() const override { return int(m_lines.size()); }
    QString line(int i) const override { return m_lines.value(i); }
    void setLine(int i, const QString& text) override;
    void append(const QString& text) override { m_lines.append(text); }
    void reserve(int n) override {
        if (n > m_lines.capacity())
            m_lines.reserve(std::max<qsizetype>(n, m_lines.capacity() * 2));
    }
    QStringList lines() const override { return m_lines; }
    void setLines(const QStringList& lines) override {
        m_lines = lines;
        ++bulkEdits;
    }

    int bulkEdits = 0;

private:
    QStringList m_lines;
};

} // namespace vorlane
