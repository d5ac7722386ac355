#include "searchreplace.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace vorlane {

namespace {

bool isReference(const QString& r, qsizetype i) {
    return r[i] == u'$' && i + 1 < r.size() && r[i + 1] >= u'0' && r[i + 1] <= u'9';
}

int referenceAt(const QString& r, qsizetype i) {
    return r[i + 1].unicode() - u'0';
}

// The highest group the replacement refers to; -1 for none.
int highestReference(const QString& r) {
    int highest = -1;
    for (qsizetype i = 0; i < r.size(); ++i)
        if (isReference(r, i))
            highest = std::max(highest, referenceAt(r, i++));
    return highest;
}

// The replacement with $0..$9 expanded; `groups` holds a start and an end
// (-1: took no part) for each of the first `count` groups of `original`.
qsizetype expandedSize(const QString& r, const qsizetype* groups, int count) {
    qsizetype size = 0;
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (!isReference(r, i)) {
            ++size;
            continue;
        }
        const int g = referenceAt(r, i++);
        if (g < count && groups[2 * g] >= 0)
            size += groups[2 * g + 1] - groups[2 * g];
    }
    return size;
}

void appendExpanded(QString& out, const QString& r, const qsizetype* groups, int count,
                    QStringView original) {
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (!isReference(r, i)) {
            out += r[i];
            continue;
        }
        const int g = referenceAt(r, i++);
        if (g < count && groups[2 * g] >= 0)
            out += original.mid(groups[2 * g], groups[2 * g + 1] - groups[2 * g]);
    }
}

struct Replacement {
    qsizetype start;
    qsizetype end;
    // Where its groups start in Replacer::groups.
    qsizetype groups;
};

// What replaces each occurrence, built where it goes: the groups the
// replacement refers to are kept as offsets into the text as it was.
struct Replacer {
    const QString& replacement;
    const QString& original;
    int count; // groups kept per occurrence; 0: the replacement stands as it is
    std::vector<qsizetype> groups;

    qsizetype size(const Replacement& r) const {
        return count ? expandedSize(replacement, &groups[size_t(r.groups)], count) : replacement.size();
    }
    void append(QString& out, const Replacement& r) const {
        if (count)
            appendExpanded(out, replacement, &groups[size_t(r.groups)], count, original);
        else
            out += replacement;
    }
    qsizetype moved(const Replacement& r) const { return size(r) - (r.end - r.start); }
};

// Applies replacements (ascending, not overlapping) to the editor as one
// change of the lines they touch; `doc` follows when asked to. Returns where
// `offset` of the changed text (inside the changed lines) stands.
TextPos applyReplacements(SearchEditor& editor, JoinedText& doc, const Replacer& with,
                          const std::vector<Replacement>& reps, qsizetype offset, bool updateDoc) {
    const QString& text = doc.text();
    const int first = doc.posOf(reps.front().start).line;
    const int last = doc.posOf(reps.back().end).line;
    const qsizetype from = doc.lineStart(first), to = doc.lineEnd(last);
    qsizetype size = to - from;
    for (const Replacement& r : reps)
        size += with.moved(r);
    QString changed;
    changed.reserve(size);
    qsizetype at = from;
    for (const Replacement& r : reps) {
        changed += QStringView(text).mid(at, r.start - at);
        with.append(changed, r);
        at = r.end;
    }
    changed += QStringView(text).mid(at, to - at);
    editor.replaceLines(first, last, changed);

    const QStringView before = QStringView(changed).left(offset - from);
    const TextPos pos{first + int(before.count(u'\n')), int(before.size() - before.lastIndexOf(u'\n') - 1)};
    if (updateDoc)
        doc = JoinedText(text.left(from) + changed + text.mid(to));
    return pos;
}

// What replaces one occurrence of `pattern` found in `original`.
QString expanded(const SearchPattern& pattern, const QString& replacement, const PatternMatch& m,
                 QStringView original) {
    if (!pattern.options().regex || !replacement.contains(u'$'))
        return replacement;
    QString out;
    out.reserve(expandedSize(replacement, &m.groups[0][0], 10));
    appendExpanded(out, replacement, &m.groups[0][0], 10, original);
    return out;
}

} // namespace

QString replaceAllIn(const QString& text, const SearchPattern& pattern, const QString& replacement,
                     int* count, bool* gaveUp) {
    const QString subject = pattern.prepared(text);
    QString out;
    qsizetype at = 0;
    int n = 0;
    const bool ok = pattern.scan(subject, 0, true, [&](const PatternMatch& m) {
        out += QStringView(text).mid(at, m.start - at);
        out += expanded(pattern, replacement, m, text);
        at = m.end;
        ++n;
        return true;
    });
    if (gaveUp)
        *gaveUp = !ok;
    if (!ok)
        n = 0;
    if (count)
        *count = n;
    if (n == 0)
        return text;
    out += QStringView(text).mid(at);
    return out;
}

int replaceOccurrences(SearchEditor& editor, const SearchPattern& pattern, const QString& replacement,
                       const ReplaceRequest& request, int* gaveUpLine) {
    JoinedText doc(editor.text());
    const qsizetype at = doc.offsetOf(request.caret);
    const bool forward = !request.backward;

    // Every occurrence first, in the original text: replacements are never searched again.
    const QString original = doc.text();
    Replacer with{replacement, original, pattern.options().regex ? highestReference(replacement) + 1 : 0, {}};
    std::vector<Replacement> found;
    for (const Piece& p : piecesOf(doc, request.scope)) {
        if (!request.entire && (forward ? p.end < at : p.start > at))
            continue;
        const qsizetype from = request.entire || !forward ? p.start : std::max(at, p.start);
        const qsizetype limit = request.entire || forward ? p.end : std::min(p.end, at);
        const bool ok = scanPiece(
            doc, p, pattern, from, true,
            [&](const PatternMatch& m) {
                if (m.end > limit)
                    return false;
                found.push_back({m.start, m.end, qsizetype(with.groups.size())});
                for (int g = 0; g < with.count; ++g)
                    for (const qsizetype offset : m.groups[g])
                        with.groups.push_back(offset);
                return true;
            },
            gaveUpLine);
        if (!ok)
            return 0; // nothing was changed yet: the run ends before its first edit
    }
    if (found.empty())
        return 0;
    if (!request.confirm) {
        // Without questions: one change from the first occurrence to the last.
        qsizetype moved = 0;
        for (const Replacement& r : found)
            moved += with.moved(r);
        editor.beginEdits();
        const TextPos caret = applyReplacements(
            editor, doc, with, found, forward ? found.back().end + moved : found.front().start, false);
        editor.endEdits();
        editor.setCaret(caret);
        return int(found.size());
    }
    if (!forward)
        std::reverse(found.begin(), found.end());

    int count = 0;
    qsizetype shift = 0; // what the replacements made so far moved later text by
    std::optional<TextPos> caretAfter;
    bool all = false;
    std::vector<Replacement> rest;
    editor.beginEdits();
    for (const Replacement& r : found) {
        const Replacement live{r.start + (forward ? shift : 0), r.end + (forward ? shift : 0), r.groups};
        if (!all) {
            const TextRange shown{doc.posOf(live.start), doc.posOf(live.end)};
            editor.showFound(shown, !forward);
            const ReplaceAnswer answer = request.confirm(shown);
            if (answer == ReplaceAnswer::Cancel)
                break;
            if (answer == ReplaceAnswer::Skip)
                continue;
            if (answer == ReplaceAnswer::Replace) {
                caretAfter = applyReplacements(editor, doc, with, {live},
                                               forward ? live.start + with.size(live) : live.start, true);
                shift += with.moved(live);
                ++count;
                continue;
            }
            all = true;
        }
        rest.push_back(live);
        ++count;
    }
    if (!rest.empty()) {
        if (!forward)
            std::reverse(rest.begin(), rest.end());
        qsizetype moved = 0;
        for (const Replacement& r : rest)
            moved += with.moved(r);
        caretAfter = applyReplacements(editor, doc, with, rest,
                                       forward ? rest.back().end + moved : rest.front().start, false);
    }
    editor.endEdits();
    if (caretAfter)
        editor.setCaret(*caretAfter);
    return count;
}

} // namespace vorlane
