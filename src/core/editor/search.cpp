#include "search.h"

#include <algorithm>

namespace vorlane {

// --- the editor's lines as one text

JoinedText::JoinedText(QString text) : m_text(std::move(text)) {
    m_starts.push_back(0);
    const QChar* d = m_text.constData();
    for (qsizetype i = 0, n = m_text.size(); i < n; ++i)
        if (d[i] == u'\n')
            m_starts.push_back(i + 1);
}

qsizetype JoinedText::lineEnd(int line) const {
    return line + 1 < lines() ? m_starts[size_t(line) + 1] - 1 : m_text.size();
}

qsizetype JoinedText::offsetOf(TextPos p) const {
    const int line = std::clamp(p.line, 0, lines() - 1);
    return lineStart(line) + std::clamp<qsizetype>(p.column, 0, lineEnd(line) - lineStart(line));
}

TextPos JoinedText::posOf(qsizetype offset) const {
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    const int line = int(it - m_starts.begin()) - 1;
    return {line, int(offset - m_starts[size_t(line)])};
}

// --- scopes

std::vector<Piece> piecesOf(const JoinedText& doc, const SearchScope& scope) {
    std::vector<Piece> out;
    if (scope.whole) {
        out.push_back({0, doc.text().size()});
        return out;
    }
    for (const TextRange& r : scope.pieces) {
        qsizetype a = doc.offsetOf(r.begin), b = doc.offsetOf(r.end);
        if (b < a)
            std::swap(a, b);
        out.push_back({a, b});
    }
    std::sort(out.begin(), out.end(), [](const Piece& x, const Piece& y) { return x.start < y.start; });
    qsizetype reached = 0;
    for (Piece& p : out) {
        p.start = std::max(p.start, reached);
        p.end = std::max(p.end, p.start);
        reached = p.end;
    }
    return out;
}

bool scanPiece(const JoinedText& doc, const Piece& piece, const SearchPattern& pattern, qsizetype from,
               bool emptyAtFrom, const std::function<bool(const PatternMatch&)>& take, int* gaveUpLine) {
    const QString& text = doc.text();
    const bool all = piece.start == 0 && piece.end == text.size();
    const QString subject = pattern.prepared(all ? text : text.mid(piece.start, piece.end - piece.start));
    qsizetype gaveUpAt = 0;
    const bool ok = pattern.scan(
        subject, from - piece.start, emptyAtFrom,
        [&](const PatternMatch& m) {
            PatternMatch inDoc = m;
            inDoc.start += piece.start;
            inDoc.end += piece.start;
            for (auto& g : inDoc.groups)
                for (qsizetype& offset : g)
                    if (offset >= 0)
                        offset += piece.start;
            return take(inDoc);
        },
        &gaveUpAt);
    if (!ok && gaveUpLine)
        *gaveUpLine = doc.posOf(piece.start + gaveUpAt).line;
    return ok;
}

// --- finding

std::optional<TextRange> findOccurrence(const QString& text, const SearchPattern& pattern,
                                        const SearchScope& scope, TextPos caret, bool backward,
                                        bool skipEmptyAtCaret, int* gaveUpLine) {
    const JoinedText doc(text);
    const qsizetype at = doc.offsetOf(caret);
    std::vector<Piece> pieces = piecesOf(doc, scope);
    if (backward)
        std::reverse(pieces.begin(), pieces.end());
    std::optional<Piece> found;
    for (const Piece& p : pieces) {
        if (backward ? p.start > at : p.end < at)
            continue;
        bool ok = true;
        if (!backward) {
            const qsizetype from = std::max(at, p.start);
            ok = scanPiece(
                doc, p, pattern, from, !(skipEmptyAtCaret && from == at),
                [&](const PatternMatch& m) {
                    found = Piece{m.start, m.end};
                    return false;
                },
                gaveUpLine);
        } else {
            const qsizetype limit = std::min(p.end, at);
            ok = scanPiece(
                doc, p, pattern, p.start, true,
                [&](const PatternMatch& m) {
                    if (m.end > limit)
                        return false;
                    if (!(skipEmptyAtCaret && m.empty() && m.start == at))
                        found = Piece{m.start, m.end};
                    return true;
                },
                gaveUpLine);
        }
        if (!ok)
            return std::nullopt;
        if (found)
            return TextRange{doc.posOf(found->start), doc.posOf(found->end)};
    }
    return std::nullopt;
}

} // namespace vorlane
