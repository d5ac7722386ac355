#include "applymask.h"

#include "core/editor/namelines.h"
#include "core/filelist/filelist.h"
#include "core/masks/codepoints.h"
#include "core/masks/counter.h"
#include "core/masks/lettercase.h"
#include "core/media/mp3tag.h"
#include "core/media/photodate.h"
#include "core/media/tagreader.h"
#include "core/platform/paths.h"

#include <vector>

namespace vorlane {

namespace {

const QString kCounterDigits = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kDecimal = QStringLiteral("0123456789");

// A decimal integer, optionally after spaces and a sign; nothing else.
std::optional<qint64> parseNumber(QStringView s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    if (i == s.size())
        return std::nullopt;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return std::nullopt;
        v = v * 10 + (s[i].unicode() - u'0');
        if (v > qint64(INT32_MAX) + 1)
            return std::nullopt;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN)
        return std::nullopt;
    return v;
}

// A range selector of "[n]", "[e]" and "[f]": characters from..to, counted
// from the right end when `fromRight`; `toEnd` runs to the last character.
struct Range {
    bool all = true;
    bool fromRight = false;
    bool toEnd = false;
    qint64 from = 0, to = 0;
};

std::optional<Range> parseRange(QStringView sel) {
    Range r;
    if (sel.isEmpty())
        return r;
    r.all = false;
    if (sel.front() == u'-') {
        r.fromRight = true;
        sel = sel.mid(1);
    }
    const qsizetype dash = sel.indexOf(u'-');
    const auto a = parseNumber(dash < 0 ? sel : sel.left(dash));
    if (!a)
        return std::nullopt;
    r.from = r.to = *a;
    if (dash >= 0) {
        if (dash == sel.size() - 1) {
            r.toEnd = true;
        } else {
            const auto b = parseNumber(sel.mid(dash + 1));
            if (!b)
                return std::nullopt;
            r.to = *b;
        }
    }
    return r;
}

QString selectRange(const QString& source, const Range& r) {
    if (r.all)
        return source;
    const qint64 L = codePointCount(source);
    qint64 from = r.from;
    qint64 to = r.toEnd ? L : r.to;
    if (r.fromRight) {
        const qint64 f = L - to + 1;
        to = L - from + 1;
        from = f;
    }
    if (from > L || to < 1 || to < from)
        return QString();
    from = qMax<qint64>(from, 1);
    to = qMin(to, L);
    return midCodePoints(source, from - 1, to - from + 1);
}

struct Element {
    enum class Kind { Text, Name, Extension, EditorText, Folder, Size, Time, Tag, Counter, Date };
    Kind kind = Kind::Text;
    QString text;       // Text; Date: its format
    Range range;        // Name, Extension, EditorText
    char field = 0;     // Tag
    int counter = -1;   // Counter: index into the program's counters
    bool total = false; // Counter: steps by the total instead of the counter
};

// A name is one editor line: line breaks and NUL become blanks.
void flattenLines(QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c == u'\r' || c == u'\n' || c == u'\0')
            s[i] = u' ';
    }
}

QString convertLetters(QString text, const LetterSettings& s) {
    QString aside;
    if (s.exextcb) {
        const qsizetype dot = text.lastIndexOf(u'.');
        if (dot >= 0) {
            aside = text.mid(dot + 1);
            text.truncate(dot + 1);
        }
    }
    if (s.Translitcb)
        text = Translit(text);
    if (s.Casecb > 0) {
        if (s.fcase && (s.Casecb == 3 || s.Casecb == 4))
            text = lowerCase(text);
        switch (s.Casecb) {
        case 1:
            text = lowerCase(text);
            break;
        case 2:
            text = upperCase(text);
            break;
        case 3:
            text = FirstLetterUp(text);
            break;
        case 4:
            text = UpFirstInEachWord(text);
            break;
        default:
            break;
        }
    }
    return text + aside;
}

} // namespace

struct Mask::Program {
    std::vector<Element> elements;
    std::vector<Counter> counters;
    QByteArray tagFields; // the letters of the tag elements, for one read of them all
};

namespace {

// Reads a mask from left to right into elements; nothing when malformed.
class Parser {
public:
    Parser(const QString& mask, bool extended) : m_mask(mask), m_extended(extended) {}

    bool run(std::vector<Element>& elements, std::vector<Counter>& counters) {
        m_elements = &elements;
        m_counters = &counters;
        const qsizetype n = m_mask.size();
        while (m_pos < n) {
            const QChar c = m_mask[m_pos++];
            if (c != u'[') {
                literal(c);
                continue;
            }
            if (m_pos >= n)
                return false;
            const QChar e = m_mask[m_pos++];
            if (e == u'[') {
                literal(e);
                continue;
            }
            const char letter = e.toLatin1();
            if (!element(letter >= 'a' && letter <= 'z' ? char(letter - 32) : letter))
                return false;
        }
        return true;
    }

private:
    void literal(QChar c) {
        if (m_elements->empty() || m_elements->back().kind != Element::Kind::Text)
            m_elements->push_back({});
        m_elements->back().text += c;
    }
    void add(Element::Kind kind) {
        Element e;
        e.kind = kind;
        m_elements->push_back(std::move(e));
    }

    // Consumes `c` when it is the next character.
    bool take(char16_t c) {
        if (m_pos < m_mask.size() && m_mask[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool closing() { return take(u']'); }
    // A digit within lo..hi, consumed; -1 when the next character is none.
    int digit(char16_t lo, char16_t hi) {
        if (m_pos >= m_mask.size() || m_mask[m_pos] < lo || m_mask[m_pos] > hi)
            return -1;
        return m_mask[m_pos++].unicode() - u'0';
    }

    // Quoted text after a ',': the raw text up to the next quote.
    std::optional<QString> quoted() {
        if (!take(u','))
            return std::nullopt;
        if (!take(u'\''))
            return std::nullopt;
        const qsizetype end = m_mask.indexOf(u'\'', m_pos);
        if (end < 0)
            return std::nullopt;
        const QString raw = m_mask.mid(m_pos, end - m_pos);
        m_pos = end + 1;
        return raw;
    }

    bool element(char letter) {
        switch (letter) {
        case 'N':
        case 'E':
        case 'F': {
            const qsizetype end = m_mask.indexOf(u']', m_pos);
            if (end < 0)
                return false;
            const auto range = parseRange(QStringView(m_mask).mid(m_pos, end - m_pos));
            m_pos = end + 1;
            if (!range)
                return false;
            add(letter == 'N'   ? Element::Kind::Name
                : letter == 'E' ? Element::Kind::Extension
                                : Element::Kind::EditorText);
            m_elements->back().range = *range;
            return true;
        }
        case 'P':
        case 'S':
        case 'T':
            if (!closing())
                return false;
            add(letter == 'P'   ? Element::Kind::Folder
                : letter == 'S' ? Element::Kind::Size
                                : Element::Kind::Time);
            return true;
        case 'M': {
            if (m_pos >= m_mask.size())
                return false;
            char field = m_mask[m_pos].toLatin1();
            if (field >= 'a' && field <= 'z')
                field = char(field - 32);
            const bool extendedField = field == 'N' || field == 'G';
            if (field != 'A' && field != 'C' && field != 'R' && field != 'T' && field != 'Y' &&
                !(m_extended && extendedField))
                return false;
            ++m_pos;
            if (!closing())
                return false;
            add(Element::Kind::Tag);
            m_elements->back().field = field;
            return true;
        }
        case 'C':
            return counter();
        case 'D':
            return m_extended && date();
        default:
            return false;
        }
    }

    // "[d]" or "[d'format']": a format of Qt's date letters that cannot
    // put a folder delimiter or a line break into a name.
    bool date() {
        QString format = QString::fromLatin1(kDefaultDateFormat);
        if (take(u'\'')) {
            const qsizetype end = m_mask.indexOf(u'\'', m_pos);
            if (end < 0)
                return false;
            format = m_mask.mid(m_pos, end - m_pos);
            m_pos = end + 1;
            if (format.isEmpty() || !validDateFormat(format))
                return false;
        }
        if (!closing())
            return false;
        add(Element::Kind::Date);
        m_elements->back().text = format;
        return true;
    }

    bool counter() {
        int width = 1;
        QString start;
        QString alphabet = kCounterDigits;
        bool total = false;
        if (take(u'c') || take(u'C')) {
            total = true;
            width = 3;
            start = QStringLiteral("0");
            alphabet = kDecimal;
            if (!closing()) {
                width = digit(u'1', u'9');
                if (width < 0 || !closing())
                    return false;
            }
        } else if (!closing()) {
            width = digit(u'0', u'9');
            if (width < 0)
                return false;
            alphabet = kDecimal;
            if (!closing()) {
                const auto s = quoted();
                if (!s)
                    return false;
                // Only the last `width` characters of the start text count.
                start = expandedTail(*s, width);
                if (!closing()) {
                    const auto a = quoted();
                    if (!a || !closing())
                        return false;
                    const auto expanded = expandQuoted(*a, kMaxAlphabet);
                    if (!expanded)
                        return false;
                    alphabet = *expanded;
                }
            }
        }
        add(Element::Kind::Counter);
        m_elements->back().counter = int(m_counters->size());
        m_elements->back().total = total;
        m_counters->emplace_back(width, start, alphabet);
        return true;
    }

    const QString& m_mask;
    const bool m_extended;
    qsizetype m_pos = 0;
    std::vector<Element>* m_elements = nullptr;
    std::vector<Counter>* m_counters = nullptr;
};

} // namespace

Mask::Mask(const MaskSpec& naming)
    : m_settings(naming.settings),
      m_countsGroup(naming.mask.contains(QLatin1String("[cc"), Qt::CaseInsensitive)) {
    auto program = std::make_shared<Program>();
    if (Parser(naming.mask, naming.extendedElements).run(program->elements, program->counters)) {
        for (const Element& e : program->elements)
            if (e.kind == Element::Kind::Tag && !program->tagFields.contains(e.field))
                program->tagFields += e.field;
        m_program = std::move(program);
    }
}

std::optional<QString> Mask::apply(int counter, int total, const QString& path,
                                   const MaskContext& ctx) const {
    if (!m_program)
        return std::nullopt;
    const qsizetype cut = lastDelimiter(path) + 1;
    const QString name = path.mid(cut);
    const qsizetype dot = name.lastIndexOf(u'.');
    int line = -2; // looked up at the first element that needs it
    auto lineOfPath = [&] {
        if (line == -2)
            line = ctx.list ? ctx.list->findLine(path) : -1;
        return line;
    };

    // Tags of every kind are read once per name, whatever the number of fields.
    std::optional<std::optional<TagFields>> allTags;

    QString out;
    for (const Element& e : m_program->elements) {
        switch (e.kind) {
        case Element::Kind::Text:
            out += e.text;
            break;
        case Element::Kind::Name:
            out += selectRange(dot < 0 ? name : name.left(dot), e.range);
            break;
        case Element::Kind::Extension:
            out += selectRange(dot < 0 ? QString() : name.mid(dot + 1), e.range);
            break;
        case Element::Kind::EditorText: {
            const int i = lineOfPath();
            QString source;
            if (i >= 0 && ctx.editor && i < ctx.editor->count())
                source = ctx.editor->line(i);
            out += selectRange(source, e.range);
            break;
        }
        case Element::Kind::Folder:
            out += QStringView(path).left(cut);
            break;
        case Element::Kind::Size:
        case Element::Kind::Time: {
            const int i = lineOfPath();
            if (i < 0)
                return std::nullopt;
            const FileItemInfo& info = ctx.list->line(i).info;
            if (e.kind == Element::Kind::Size) {
                out += QString::number(info.FileSize);
            } else {
                const qint32 t = info.PlayTime;
                out += QString::asprintf("%d:%.2d", t % 3600 / 60, t % 60);
            }
            break;
        }
        case Element::Kind::Tag: {
            if (!ctx.readTag && ctx.allTags) {
                if (!allTags)
                    allTags = readAllTags(path, m_program->tagFields);
                if (!*allTags)
                    return std::nullopt;
                out += (*allTags)->field(e.field);
                break;
            }
            const auto text = ctx.readTag ? ctx.readTag(path, e.field) : ReadMp3TagField(path, e.field);
            if (!text)
                return std::nullopt;
            out += *text;
            break;
        }
        case Element::Kind::Counter:
            out += m_program->counters[size_t(e.counter)].text(e.total ? total : counter);
            break;
        case Element::Kind::Date: {
            const QDateTime date = fileDate(path);
            if (!date.isValid())
                return std::nullopt;
            out += dateText(date, e.text);
            break;
        }
        }
    }
    flattenLines(out);
    return convertLetters(out, m_settings);
}

std::optional<QString> ApplyMask(int counter, int total, const QString& path, const MaskSpec& mask,
                                 const MaskContext& context) {
    return Mask(mask).apply(counter, total, path, context);
}

} // namespace vorlane
