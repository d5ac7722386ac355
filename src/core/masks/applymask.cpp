#include "applymask.h"

#include "core/editor/namelines.h"
#include "core/filelist/filelist.h"
#include "core/masks/counter.h"
#include "core/masks/lettercase.h"
#include "core/media/mp3tag.h"
#include "core/platform/paths.h"

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

// The characters of `source` chosen by a range selector.
std::optional<QString> selectRange(const QString& source, QStringView sel) {
    if (sel.isEmpty())
        return source;
    const qint64 L = source.size();
    bool fromRight = false;
    if (sel.front() == u'-') {
        fromRight = true;
        sel = sel.mid(1);
    }
    qint64 from, to;
    const qsizetype dash = sel.indexOf(u'-');
    if (dash < 0) {
        const auto a = parseNumber(sel);
        if (!a)
            return std::nullopt;
        from = to = *a;
    } else {
        const auto a = parseNumber(sel.left(dash));
        if (!a)
            return std::nullopt;
        from = *a;
        if (dash == sel.size() - 1) {
            to = L;
        } else {
            const auto b = parseNumber(sel.mid(dash + 1));
            if (!b)
                return std::nullopt;
            to = *b;
        }
    }
    if (fromRight) {
        const qint64 f = L - to + 1;
        to = L - from + 1;
        from = f;
    }
    if (from > L || to < 1 || to < from)
        return QString();
    from = qMax<qint64>(from, 1);
    to = qMin(to, L);
    return source.mid(from - 1, to - from + 1);
}

class Expander {
public:
    Expander(int counter, int total, const QString& path, const QString& mask, const MaskContext& ctx)
        : m_counter(counter), m_total(total), m_path(path), m_mask(mask), m_ctx(ctx) {
        const qsizetype cut = lastDelimiter(path) + 1;
        m_folder = path.left(cut);
        const QString name = path.mid(cut);
        const qsizetype dot = name.lastIndexOf(u'.');
        m_base = dot < 0 ? name : name.left(dot);
        m_ext = dot < 0 ? QString() : name.mid(dot + 1);
    }

    std::optional<QString> run() {
        const qsizetype n = m_mask.size();
        while (m_pos < n) {
            const QChar c = m_mask[m_pos++];
            if (c != u'[') {
                m_out += c;
                continue;
            }
            if (m_pos >= n)
                return std::nullopt;
            const QChar e = m_mask[m_pos++];
            if (e == u'[') {
                m_out += u'[';
                continue;
            }
            if (!element(e.toLatin1() >= 'a' && e.toLatin1() <= 'z' ? char(e.toLatin1() - 32) : e.toLatin1()))
                return std::nullopt;
        }
        return m_out;
    }

private:
    // Consumes `c` when it is the next character.
    bool take(char16_t c) {
        if (m_pos < m_mask.size() && m_mask[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool closing() { return take(u']'); }

    // Quoted text after a ',': the raw text up to the next quote, expanded.
    std::optional<QString> quoted() {
        if (!take(u'\''))
            return std::nullopt;
        const qsizetype end = m_mask.indexOf(u'\'', m_pos);
        if (end < 0)
            return std::nullopt;
        const QString raw = m_mask.mid(m_pos, end - m_pos);
        m_pos = end + 1;
        return expandQuoted(raw);
    }

    int line() const { return m_ctx.list ? m_ctx.list->findLine(m_path) : -1; }

    bool element(char letter) {
        switch (letter) {
        case 'N':
        case 'E':
        case 'F': {
            const qsizetype end = m_mask.indexOf(u']', m_pos);
            if (end < 0)
                return false;
            const QStringView sel = QStringView(m_mask).mid(m_pos, end - m_pos);
            m_pos = end + 1;
            QString source;
            if (letter == 'N') {
                source = m_base;
            } else if (letter == 'E') {
                source = m_ext;
            } else {
                const int i = line();
                if (i >= 0 && m_ctx.editor && i < m_ctx.editor->count())
                    source = m_ctx.editor->line(i);
            }
            const auto part = selectRange(source, sel);
            if (!part)
                return false;
            m_out += *part;
            return true;
        }
        case 'P':
            if (!closing())
                return false;
            m_out += m_folder;
            return true;
        case 'S':
        case 'T': {
            if (!closing())
                return false;
            const int i = line();
            if (i < 0)
                return false;
            const FileItemInfo& info = m_ctx.list->line(i).info;
            if (letter == 'S') {
                m_out += QString::number(info.FileSize);
            } else {
                const qint32 t = info.PlayTime;
                m_out += QString::asprintf("%d:%.2d", t % 3600 / 60, t % 60);
            }
            return true;
        }
        case 'M': {
            if (m_pos >= m_mask.size())
                return false;
            char field = m_mask[m_pos].toLatin1();
            if (field >= 'a' && field <= 'z')
                field = char(field - 32);
            if (field != 'A' && field != 'C' && field != 'R' && field != 'T' && field != 'Y')
                return false;
            ++m_pos;
            if (!closing())
                return false;
            const auto text = m_ctx.readTag ? m_ctx.readTag(m_path, field) : ReadMp3TagField(m_path, field);
            if (!text)
                return false;
            m_out += *text;
            return true;
        }
        case 'C':
            return counter();
        default:
            return false;
        }
    }

    bool counter() {
        int width = 1;
        QString start;
        QString alphabet = kCounterDigits;
        qint64 steps = m_counter;
        if (take(u'c') || take(u'C')) {
            width = 3;
            start = QStringLiteral("0");
            alphabet = kDecimal;
            steps = m_total;
            if (!closing()) {
                if (m_pos >= m_mask.size() || m_mask[m_pos] < u'1' || m_mask[m_pos] > u'9')
                    return false;
                width = m_mask[m_pos++].unicode() - u'0';
                if (!closing())
                    return false;
            }
        } else if (!closing()) {
            if (m_pos >= m_mask.size() || m_mask[m_pos] < u'0' || m_mask[m_pos] > u'9')
                return false;
            width = m_mask[m_pos++].unicode() - u'0';
            alphabet = kDecimal;
            if (!closing()) {
                if (!take(u','))
                    return false;
                const auto s = quoted();
                if (!s)
                    return false;
                start = *s;
                if (!closing()) {
                    if (!take(u','))
                        return false;
                    const auto a = quoted();
                    if (!a || !closing())
                        return false;
                    alphabet = *a;
                }
            }
        }
        m_out += counterText(width, start, alphabet, steps);
        return true;
    }

    int m_counter;
    int m_total;
    const QString& m_path;
    const QString& m_mask;
    const MaskContext& m_ctx;
    QString m_folder, m_base, m_ext;
    QString m_out;
    qsizetype m_pos = 0;
};

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

std::optional<QString> ApplyMask(int counter, int total, const QString& path, const QString& mask,
                                 const MaskContext& context) {
    auto result = Expander(counter, total, path, mask, context).run();
    if (!result)
        return std::nullopt;
    return convertLetters(*result, context.settings);
}

} // namespace vorlane
