// libFuzzer harness for the search and replace engine: a random pattern,
// replacement and text, with random options, scope, caret and answers.
#include "core/editor/searchreplace.h"
#include "core/platform/paths.h"

#include <QByteArray>
#include <QList>

#include <cstdint>

namespace {

using namespace vorlane;

class Lines : public SearchEditor {
public:
    explicit Lines(QStringList l) : lines(std::move(l)) {}
    QString text() const override { return lines.join(u'\n'); }
    TextPos caret() const override { return at; }
    void setCaret(TextPos p) override { at = p; }
    void showFound(const TextRange& r, bool atStart) override { at = atStart ? r.begin : r.end; }
    void replaceLines(int first, int last, const QString& with) override {
        if (depth != 1 || first < 0 || last < first || last >= lines.size())
            __builtin_trap(); // edits are whole lines of the text, inside one undo step
        lines = lines.mid(0, first) + with.split(u'\n') + lines.mid(last + 1);
    }
    void beginEdits() override { ++depth; }
    void endEdits() override { --depth; }

    QStringList lines;
    TextPos at;
    int depth = 0;
};

bool inside(const TextRange& r, const QStringList& lines) {
    auto ok = [&](TextPos p) {
        return p.line >= 0 && p.line < lines.size() && p.column >= 0 && p.column <= lines[p.line].size();
    };
    return ok(r.begin) && ok(r.end) && r.begin <= r.end;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint8_t flags = data[0];
    const uint8_t caretSeed = data[1];
    const uint8_t scopeSeed = data[2];
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3)).split('\1');
    const QString patternText = decodeName(parts.value(0));
    QString replacement = decodeName(parts.value(1));
    replacement.remove(u'\n').remove(u'\r').remove(QChar(0));
    QStringList lines = decodeName(parts.value(2, "a\nb")).split(u'\n');
    for (QString& l : lines)
        l.remove(u'\r');

    SearchOptions options{bool(flags & 1), bool(flags & 2), bool(flags & 4)};
    const SearchPattern pattern(patternText, options);
    if (!pattern.isValid()) {
        if (pattern.errorOffset() > patternText.size())
            __builtin_trap();
        return 0;
    }

    // One name at a time: an occurrence count within reason; nothing found, nothing changed.
    int count = 0;
    const QString one = replaceAllIn(lines[0], pattern, replacement, &count);
    if (count > 2 * lines[0].size() + 1 || (count == 0 && one != lines[0]))
        __builtin_trap();

    // A scope: everything, a stream of text, or a column over some rows.
    const int lineCount = int(lines.size());
    SearchScope scope;
    const int top = scopeSeed % lineCount, bottom = top + (scopeSeed >> 4) % (lineCount - top);
    const int left = (scopeSeed >> 2) % 4, right = left + (scopeSeed >> 5) % 4;
    if (flags & 64) {
        QList<TextRange> rows;
        for (int l = top; l <= bottom; ++l)
            if (left <= lines[l].size())
                rows.append(TextRange{{l, left}, {l, int(qMin<qsizetype>(right, lines[l].size()))}});
        scope = SearchScope::of(rows);
    } else if (flags & 128) {
        scope = SearchScope::of({{{top, left}, {bottom, right}}});
    }
    const TextPos caret{caretSeed % lineCount, caretSeed >> 3};
    const bool backward = flags & 8;

    // Finds from one end to the other visit each occurrence once and stop.
    TextPos from = backward ? TextPos{lineCount - 1, int(lines.last().size())} : TextPos{};
    bool onEmpty = false;
    qsizetype total = 0;
    for (const QString& l : lines)
        total += l.size() + 1;
    int steps = 0;
    const QString joined = lines.join(u'\n');
    while (auto found = findOccurrence(joined, pattern, scope, from, backward, onEmpty)) {
        if (!inside(*found, lines) || ++steps > 2 * total + 2)
            __builtin_trap();
        const TextPos next = backward ? found->begin : found->end;
        if (backward ? next > from : next < from)
            __builtin_trap();
        from = next;
        onEmpty = found->begin == found->end;
    }

    // Replacing: answers from the input; the column's outside never changes.
    Lines editor(lines);
    ReplaceRequest request;
    request.scope = scope;
    request.caret = caret;
    request.backward = backward;
    request.entire = flags & 16;
    int asked = 0;
    if (flags & 32)
        request.confirm = [&](const TextRange& r) {
            if (!inside(r, editor.lines))
                __builtin_trap();
            return ReplaceAnswer((caretSeed >> (asked++ % 4 * 2)) & 3);
        };
    const int replaced = replaceOccurrences(editor, pattern, replacement, request);
    if (replaced < 0 || replaced > 2 * total + 2 || editor.depth != 0)
        __builtin_trap();
    if (flags & 64) {
        if (editor.lines.size() != lines.size())
            __builtin_trap();
        for (int l = 0; l < lineCount; ++l) {
            const bool row = l >= top && l <= bottom && left <= lines[l].size();
            const qsizetype end = qMin<qsizetype>(right, lines[l].size());
            const qsizetype tail = lines[l].size() - end;
            if (!row ? editor.lines[l] != lines[l]
                     : (editor.lines[l].left(left) != lines[l].left(left) ||
                        editor.lines[l].right(tail) != lines[l].right(tail) ||
                        editor.lines[l].size() < left + tail))
                __builtin_trap();
        }
    }
    // Each occurrence put back as it was leaves the text as it was.
    if (options.regex) {
        Lines same(lines);
        ReplaceRequest all;
        all.scope = scope;
        replaceOccurrences(same, pattern, QStringLiteral("$0"), all);
        if (same.lines != lines)
            __builtin_trap();
    }
    return 0;
}
