#include "core/editor/search.h"
#include "core/editor/searchreplace.h"
#include "core/editor/searchsession.h"
#include "core/platform/paths.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <gtest/gtest.h>

using namespace vorlane;

namespace vorlane {
void PrintTo(const TextPos& p, std::ostream* os) {
    *os << p.line << ':' << p.column;
}
void PrintTo(const TextRange& r, std::ostream* os) {
    PrintTo(r.begin, os);
    *os << '-';
    PrintTo(r.end, os);
}
} // namespace vorlane

namespace {

// An editor over a list of lines that records what the commands did to it.
class LinesEditor : public SearchTarget {
public:
    explicit LinesEditor(QStringList l) : lines(std::move(l)) {}

    QString text() const override { return lines.join(u'\n'); }
    TextPos caret() const override { return caretAt; }
    void setCaret(TextPos p) override { caretAt = p; }
    void showFound(const TextRange& r, bool atStart) override {
        shown << r;
        caretAt = atStart ? r.begin : r.end;
    }
    void replaceLines(int first, int last, const QString& with) override {
        EXPECT_GT(depth, 0) << "an edit outside the undo group";
        lines = lines.mid(0, first) + with.split(u'\n') + lines.mid(last + 1);
    }
    void beginEdits() override { ++depth; }
    void endEdits() override {
        --depth;
        ++undoSteps;
    }
    std::optional<SearchBlock> selection() const override { return selected; }
    void select(const SearchBlock& b) override { selected = b; }

    QStringList lines;
    TextPos caretAt;
    QList<TextRange> shown;
    std::optional<SearchBlock> selected;
    int depth = 0;
    int undoSteps = 0;
};

SearchOptions opts(const char* flags) {
    const QByteArray f(flags);
    return {f.contains('r'), f.contains('c'), f.contains('w')};
}

QStringList split(const char* text) {
    return QString::fromUtf8(text).split(u'\n');
}

int replaceAll(LinesEditor& e, const SearchPattern& p, const QString& with, ReplaceRequest r = {}) {
    return replaceOccurrences(e, p, with, r);
}

TextRange range(int l0, int c0, int l1, int c1) {
    return {{l0, c0}, {l1, c1}};
}

} // namespace

// Replace all over the whole text: plain and regular-expression matching,
// the replacement's back references, anchors, empty matches and modifiers.
TEST(Search, ReplaceAllRules) {
    struct Case {
        const char* flags; // r regex, c match case, w whole words
        const char* pattern;
        const char* replacement;
        const char* in;
        const char* out;
        int count;
    };
    const Case cases[] = {
        {"", "ab", "X", "AB ab aB\nxab", "X X X\nxX", 4},
        {"c", "ab", "X", "AB ab aB", "AB X aB", 1},
        {"w", "ab", "X", "ab abc cab ab.\n_ab", "X abc cab X.\n_ab", 2},
        {"", "a.b", "$1", "a.b axb", "$1 axb", 1},
        {"", "é", "X", "É", "X", 1},
        {"", "", "X", "abc", "abc", 0},
        {"r", "(\\w+)-(\\w+)", "$2-$1", "ab-cd\nx-y", "cd-ab\ny-x", 2},
        {"r", "(a)", "$10", "a", "a0", 1},
        {"r", "a", "US$ $x $", "a", "US$ $x $", 1},
        {"r", "(a)|b", "[$1]", "ab", "[a][]", 2},
        {"r", "\\d+", "<$0>", "a12b3", "a<12>b<3>", 2},
        {"r", "x*", "-", "abc", "-a-b-c-", 4},
        {"r", "x*", "-", "axb", "-a--b-", 4},
        {"r", "^", ">", "a\nb", ">a\n>b", 2},
        {"r", "$", "<", "a\nb", "a<\nb<", 2},
        {"r", "(?-m)^", ">", "a\nb", ">a\nb", 1},
        {"r", "^$", "E", "a\n\nb", "a\nE\nb", 1},
        {"r", "(?<=a)b", "X", "ab cb\nb", "aX cb\nb", 1},
        {"r", "a.c", "X", "a\nc abc", "a\nc X", 1},
        {"r", "(?s)a.c", "X", "a\nc", "X", 1},
        {"r", "b\\nc", "+", "ab\ncd", "a+d", 1},
        {"r", "A", "X", "aA", "XX", 2},
        {"r", "(?-i)A", "X", "aA", "aX", 1},
        {"rc", "A", "X", "aA", "aX", 1},
        {"r", "a+", "X", "aaa", "X", 1},
        {"r", "(?g)a+", "X", "aaa", "X", 1},
        {"r", "(?-g)a+", "X", "aaa", "XXX", 3},
        {"r", "(?i-g:A+)", "X", "aaa", "XXX", 3},
        {"r", "[(?g)]", "X", "g?", "XX", 2},
        {"r", "\\(?g\\)", "X", "(g) g)", "X X", 2},
        {"rw", "a\\w", "X", "ab abc xab ab", "X abc xab X", 2},
        {"w", "a-a", "X", "xa-a-a", "xa-X", 1},
        {"rw", "a-a", "X", "xa-a-a", "xa-X", 1},
        {"r", "\\w+", "X", "Жук 1", "X X", 2},
        {"r", ".", "[$0]", "a\xff", "[a][\xff]", 2},
    };
    for (const Case& c : cases) {
        // Bytes that are not UTF-8 go in as the file-name codec decodes them.
        const QStringList in = decodeName(c.in).split(u'\n');
        const QStringList out = decodeName(c.out).split(u'\n');
        const SearchPattern p(QString::fromUtf8(c.pattern), opts(c.flags));
        ASSERT_TRUE(p.isValid()) << c.pattern << " " << p.errorText().toStdString();
        LinesEditor e(in);
        EXPECT_EQ(replaceAll(e, p, QString::fromUtf8(c.replacement)), c.count) << c.flags << " " << c.pattern;
        EXPECT_EQ(e.lines, out) << c.flags << " " << c.pattern;
        EXPECT_EQ(e.undoSteps, c.count > 0 ? 1 : 0);
        // One name at a time gives the same.
        if (in.size() == 1) {
            int count = 0;
            EXPECT_EQ(replaceAllIn(in[0], p, QString::fromUtf8(c.replacement), &count), out.join(u'\n'));
            EXPECT_EQ(count, c.count) << c.pattern;
        }
    }
}

// A malformed pattern says why and where, counted in the pattern as typed.
TEST(Search, MalformedPatterns) {
    struct Case {
        const char* pattern;
        qsizetype offset;
    };
    const Case cases[] = {{"(ab", 3}, {"(?g)(", 5}, {"x(?-g)y)", 7}, {"ab\\", 3}, {"[a", 2}};
    for (const Case& c : cases) {
        const SearchPattern p(QString::fromUtf8(c.pattern), opts("r"));
        EXPECT_FALSE(p.isValid()) << c.pattern;
        EXPECT_EQ(p.errorOffset(), c.offset) << c.pattern << " " << p.errorText().toStdString();
        LinesEditor e({"(ab x)"});
        EXPECT_EQ(replaceAll(e, p, "y"), 0);
        EXPECT_EQ(e.lines, QStringList({"(ab x)"}));
    }
    EXPECT_EQ(SearchPattern("(ab", opts("r")).errorMessage(),
              "Bad regular expression '(ab'\rmissing closing parenthesis at position 3");
    // The same text as plain text is fine.
    EXPECT_TRUE(SearchPattern("(ab", opts("")).isValid());
}

// Nested repeats on a long name would backtrack for minutes: the engine gives
// up, the search says on which line, and nothing is changed. Occurrences
// before that line are still found.
TEST(Search, PatternTooComplex) {
    const QString hard = QString(30, u'a') + u'x';
    struct Case {
        const char* pattern;
        QStringList lines;
        SearchScope scope;
        TextPos caret;
        bool backward;
        std::optional<TextRange> found; // found before the engine gives up
        int line;                       // where it gives up; -1: it does not
    };
    const Case cases[] = {
        {"(a+)+$", {"ok", "b", hard}, {}, {0, 0}, false, {}, 2},
        {"(a+)+$", {"ok", "b", hard}, {}, {2, 31}, true, {}, 2},
        {"(a|aa)+$", {hard, "ok"}, {}, {0, 0}, false, {}, 0},
        {"(a+)+$|b", {"b", hard}, {}, {0, 0}, false, range(0, 0, 0, 1), -1},
        {"(a+)+$|b", {"b", hard}, {}, {0, 1}, false, {}, 1},
        {"(a+)+$", {"b", hard, "c"}, SearchScope::of({range(1, 2, 1, 31)}), {1, 2}, false, {}, 1},
        {"(a+)+$", {"a", "aa"}, {}, {0, 0}, false, range(0, 0, 0, 1), -1},
    };
    for (const Case& c : cases) {
        const SearchPattern p(c.pattern, opts("r"));
        const QString where = QString("%1 %2:%3%4")
                                  .arg(c.pattern)
                                  .arg(c.caret.line)
                                  .arg(c.caret.column)
                                  .arg(c.backward ? " back" : "");
        int line = -1;
        EXPECT_EQ(findOccurrence(c.lines.join(u'\n'), p, c.scope, c.caret, c.backward, false, &line), c.found)
            << where.toStdString();
        EXPECT_EQ(line, c.line) << where.toStdString();
        if (c.found)
            continue;
        LinesEditor e(c.lines);
        ReplaceRequest r;
        r.scope = c.scope;
        line = -1;
        EXPECT_EQ(replaceOccurrences(e, p, "X", r, &line), 0) << where.toStdString();
        EXPECT_EQ(line, c.line) << where.toStdString();
        EXPECT_EQ(e.lines, c.lines) << where.toStdString();
        EXPECT_EQ(e.undoSteps, 0) << where.toStdString();
    }
    // One name at a time.
    bool gaveUp = false;
    int count = -1;
    EXPECT_EQ(replaceAllIn(hard, SearchPattern("(a+)+$|x", opts("r")), "Y", &count, &gaveUp), hard);
    EXPECT_TRUE(gaveUp);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(replaceAllIn("aab", SearchPattern("(a+)+$|b", opts("r")), "Y", &count, &gaveUp), "aaY");
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(tooComplexMessage(11), "The regular expression is too complex\rLine 12");
}

// Find next and Find previous, repeated from where the last one left the
// caret, visit each occurrence once and end; empty occurrences never hold them.
TEST(Search, RepeatedFindsVisitEachOccurrenceOnce) {
    struct Case {
        const char* flags;
        const char* pattern;
        const char* text;
        bool backward;
        QList<TextRange> visits;
        SearchScope scope;
    };
    const SearchScope column = SearchScope::of({range(0, 1, 0, 3), range(1, 1, 1, 3)});
    const Case cases[] = {
        {"r",
         "x*",
         "axb",
         false,
         {range(0, 0, 0, 0), range(0, 1, 0, 2), range(0, 2, 0, 2), range(0, 3, 0, 3)},
         {}},
        {"r",
         "x*",
         "axb",
         true,
         {range(0, 3, 0, 3), range(0, 2, 0, 2), range(0, 1, 0, 2), range(0, 0, 0, 0)},
         {}},
        {"r", "^", "a\n\nb", false, {range(0, 0, 0, 0), range(1, 0, 1, 0), range(2, 0, 2, 0)}, {}},
        {"", "aa", "aaaa\naa", false, {range(0, 0, 0, 2), range(0, 2, 0, 4), range(1, 0, 1, 2)}, {}},
        {"", "aa", "aaaa\naa", true, {range(1, 0, 1, 2), range(0, 2, 0, 4), range(0, 0, 0, 2)}, {}},
        {"r", "b\\nc", "ab\ncd", false, {range(0, 1, 1, 1)}, {}},
        {"r", "^", "abcd\nabcd", true, {range(1, 1, 1, 1), range(0, 1, 0, 1)}, column},
        {"r",
         "x*",
         "abcd\nabcd",
         true,
         {range(1, 3, 1, 3), range(1, 2, 1, 2), range(1, 1, 1, 1), range(0, 3, 0, 3), range(0, 2, 0, 2),
          range(0, 1, 0, 1)},
         column},
    };
    for (const Case& c : cases) {
        const QStringList lines = split(c.text);
        const SearchPattern p(c.pattern, opts(c.flags));
        TextPos caret = c.backward ? TextPos{int(lines.size()) - 1, int(lines.last().size())} : TextPos{};
        bool onEmpty = false;
        QList<TextRange> visits;
        while (visits.size() < 10) {
            const auto found = findOccurrence(c.text, p, c.scope, caret, c.backward, onEmpty);
            if (!found)
                break;
            visits << *found;
            caret = c.backward ? found->begin : found->end;
            onEmpty = found->begin == found->end;
        }
        EXPECT_EQ(visits, c.visits) << c.pattern << " backward " << c.backward;
    }
    // Look-behind sees the text before the caret.
    EXPECT_EQ(findOccurrence({"ab"}, SearchPattern("(?<=a)b", opts("r")), {}, {0, 1}, false, false),
              range(0, 1, 0, 2));
}

// The selected text and each row of a column selection are texts of their
// own; replacements stay inside them.
TEST(Search, ScopesAndDirections) {
    struct Case {
        const char* flags;
        const char* pattern;
        const char* replacement;
        const char* in;
        SearchScope scope;
        TextPos caret;
        bool backward;
        bool entire;
        const char* out;
    };
    const SearchScope stream = SearchScope::of({range(0, 1, 1, 2)});
    const SearchScope column = SearchScope::of({range(0, 1, 0, 3), range(1, 1, 1, 3)});
    const Case cases[] = {
        {"r", "^.", "X", "abc\ndef", stream, {}, false, true, "aXc\nXef"},
        {"r", ".$", "X", "abcd\nabcd", column, {}, false, true, "abXd\nabXd"},
        {"", "bcd", "X", "abcd\nabcd", column, {}, false, true, "abcd\nabcd"},
        {"", "c", "CCC", "abcd\nabcd", column, {}, false, true, "abCCCd\nabCCCd"},
        {"r", "^", "-", "abcd\nabcd\nx", column, {}, false, true, "a-bcd\na-bcd\nx"},
        {"", "a", "X", "a a a a", {}, {0, 3}, false, false, "a a X X"},
        {"", "a", "X", "a a a a", {}, {0, 3}, true, false, "X X a a"},
        {"", "a", "X", "a a a a", {}, {0, 3}, true, true, "X X X X"},
        {"", "b", "X", "abcd\nabcd", column, {1, 0}, false, false, "abcd\naXcd"},
    };
    for (const Case& c : cases) {
        LinesEditor e(split(c.in));
        ReplaceRequest r;
        r.scope = c.scope;
        r.caret = c.caret;
        r.backward = c.backward;
        r.entire = c.entire;
        replaceAll(e, SearchPattern(c.pattern, opts(c.flags)), c.replacement, r);
        EXPECT_EQ(e.lines, split(c.out)) << c.pattern << " " << c.in;
    }
    // Forward, from the caret: the look-behind still sees what is before it.
    EXPECT_EQ(findOccurrence({"abcb"}, SearchPattern("(?<=c)b", opts("r")), {}, {0, 2}, false, false),
              range(0, 3, 0, 4));
    // An occurrence that leaves the selection is not found in it.
    EXPECT_FALSE(findOccurrence({"abc"}, SearchPattern("bc", opts("")), SearchScope::of({range(0, 0, 0, 2)}),
                                {0, 0}, false, false));
}

// Prompting: each occurrence is shown where it now stands, the answers
// decide, and everything is still one undo step.
TEST(Search, PromptPerOccurrence) {
    struct Case {
        bool backward;
        QList<ReplaceAnswer> answers;
        const char* out;
        int count;
        QList<TextRange> asked;
        TextPos caret;
    };
    using A = ReplaceAnswer;
    const Case cases[] = {
        {false,
         {A::Skip, A::Replace, A::ReplaceAll},
         "a XY XY XY",
         3,
         {range(0, 0, 0, 1), range(0, 2, 0, 3), range(0, 5, 0, 6)},
         {0, 10}},
        {false, {A::Replace, A::Cancel}, "XY a a a", 1, {range(0, 0, 0, 1), range(0, 3, 0, 4)}, {0, 2}},
        {true,
         {A::Replace, A::Skip, A::Replace, A::Skip},
         "a XY a XY",
         2,
         {range(0, 6, 0, 7), range(0, 4, 0, 5), range(0, 2, 0, 3), range(0, 0, 0, 1)},
         {0, 2}},
    };
    for (const Case& c : cases) {
        LinesEditor e({"a a a a"});
        QList<A> answers = c.answers;
        QList<TextRange> asked;
        ReplaceRequest r;
        r.backward = c.backward;
        r.confirm = [&](const TextRange& at) {
            asked << at;
            EXPECT_EQ(e.shown.last(), at);
            return answers.takeFirst();
        };
        EXPECT_EQ(replaceAll(e, SearchPattern("a", opts("")), "XY", r), c.count);
        EXPECT_EQ(e.lines, QStringList({c.out}));
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(e.undoSteps, 1);
        EXPECT_EQ(e.caretAt, c.caret);
    }
}

// The session's messages, and where the caret and the selection end up.
TEST(SearchSession, MessagesAndBlocks) {
    struct Case {
        const char* name;
        bool replace;
        SearchSettings s;
        bool selection;
        QString title;
        QString text;
        QStringList out;
    };
    auto settings = [](const char* text, const char* flags, bool selected = false, const char* with = "X") {
        SearchSettings s;
        s.text = QString::fromUtf8(text);
        s.options = opts(flags);
        s.selectedText = selected;
        s.replacement = QString::fromUtf8(with);
        s.prompt = false;
        return s;
    };
    const QStringList in = {"a b a", "b"};
    const Case cases[] = {
        {"not found", false, settings("zz", ""), false, "Information!", "Search string 'zz' not found!", in},
        {"outside the block", false, settings("a", "", true), true, "Information!",
         "Search string 'a' not found!", in},
        {"no selection", false, settings("a", "", true), false, "Error",
         "Selected text is empty!\rSearch is impossible", in},
        {"malformed", false, settings("(a", "r"), true, "Error",
         "Bad regular expression '(a'\rmissing closing parenthesis at position 2", in},
        {"replaced",
         true,
         settings("b", ""),
         false,
         "Information!",
         "String 'b' replaced 2 time(s)",
         {"a X a", "X"}},
        {"replaced in block",
         true,
         settings("b", "", true),
         true,
         "Information!",
         "String 'b' replaced 1 time(s)",
         {"a X a", "b"}},
        {"replace not found", true, settings("zz", ""), false, "Information!", "String 'zz' not found!", in},
        {"replace without block", true, settings("b", "", true), false, "Error",
         "Tried to search marked block but it is invalid", in},
        {"replace malformed", true, settings("a)", "r"), false, "Error",
         "Bad regular expression 'a)'\runmatched closing parenthesis at position 1", in},
        {"line break in replacement", true, settings("a", "", false, "x\ny"), false, "Error",
         "The replacement holds a line break or a NUL character", in},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        int beeps = 0;
        SearchSession session(prompts, [&] { ++beeps; });
        LinesEditor e(in);
        e.caretAt = {1, 1};
        SearchBlock block; // the "b" of the first line
        block.anchor = {0, 2};
        block.caret = {0, 3};
        if (c.selection)
            e.selected = block;
        if (c.replace)
            session.replace(e, c.s, {});
        else
            session.find(e, c.s);
        ASSERT_EQ(prompts.shown.size(), 1) << c.name;
        EXPECT_EQ(prompts.shown[0].title, c.title) << c.name;
        EXPECT_EQ(prompts.shown[0].text, c.text) << c.name;
        EXPECT_EQ(e.lines, c.out) << c.name;
        const bool failed = c.title == "Error";
        EXPECT_EQ(beeps, failed ? 0 : 1) << c.name;
        if (failed) { // nothing moved
            EXPECT_EQ(e.caretAt, TextPos({1, 1})) << c.name;
        }
        if (c.selection && !failed) { // the block is selected again
            EXPECT_EQ(e.selected->anchor, block.anchor) << c.name;
        }
    }
}

TEST(SearchSession, FindFromOriginAndAgain) {
    ScriptedPrompts prompts;
    SearchSession session(prompts, {});
    LinesEditor e({"ab", "ab"});
    e.caretAt = {1, 1};
    SearchSettings s;
    s.text = "a";
    session.find(e, s); // origin Entire: from the start
    EXPECT_EQ(e.shown.last(), range(0, 0, 0, 1));
    session.searchAgain(e, s, false);
    EXPECT_EQ(e.shown.last(), range(1, 0, 1, 1));
    // Find previous, and the dialog's "Backward" with Find next, go back.
    session.searchAgain(e, s, true);
    EXPECT_EQ(e.caretAt, TextPos({0, 0}));
    s.backward = true;
    e.caretAt = {1, 2};
    session.searchAgain(e, s, false);
    EXPECT_EQ(e.shown.last(), range(1, 0, 1, 1));
    EXPECT_EQ(e.caretAt, TextPos({1, 0}));
    EXPECT_TRUE(prompts.shown.isEmpty());
    s.text.clear();
    EXPECT_EQ(session.searchAgain(e, s, false), SearchSession::Outcome::NeedText);
}

TEST(SearchSession, HistoryAndConfirmPlacement) {
    QStringList history = {"b", "a", "c"};
    rememberText(history, "a");
    EXPECT_EQ(history, QStringList({"a", "b", "c"}));
    rememberText(history, "d");
    rememberText(history, "");
    EXPECT_EQ(history, QStringList({"d", "a", "b", "c"}));

    // Editor 400 x 300 at (100, 100): its lower third starts at y 300.
    struct Case {
        QRect editor;
        int x, y1, y2;
        QPoint at;
    };
    const QSize dialog(200, 100);
    const Case cases[] = {
        {{100, 100, 400, 300}, 150, 120, 136, {150, 140}}, {{100, 100, 400, 300}, 150, 290, 306, {150, 186}},
        {{100, 100, 400, 300}, 150, 284, 300, {150, 304}}, {{100, 100, 400, 300}, 400, 120, 136, {300, 140}},
        {{100, 100, 150, 300}, 150, 120, 136, {75, 140}},  {{100, 100, 151, 300}, 150, 120, 136, {76, 140}},
        {{100, 100, 400, 301}, 150, 285, 301, {150, 305}}, {{100, 100, 400, 301}, 150, 286, 302, {150, 182}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(confirmDialogPosition(c.editor, c.x, c.y1, c.y2, dialog), c.at)
            << c.editor.width() << "x" << c.editor.height() << " " << c.x << "," << c.y2;
}
