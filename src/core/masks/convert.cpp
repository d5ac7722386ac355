#include "convert.h"

#include "core/editor/namelines.h"
#include "core/filelist/filelist.h"
#include "core/platform/paths.h"

#include <iterator>

namespace vorlane {

SelectionSpan selectionSpan(const FileList& list) {
    SelectionSpan s;
    for (int i = 0; i < list.count(); ++i) {
        if (!list.isSelected(i) || list.isSeparator(i))
            continue;
        ++s.selectedCount;
        s.lastIndex = i;
        ++s.lastCounter;
        if (s.firstIndex < 0)
            s.firstIndex = i;
    }
    return s;
}

QVector<CounterPlace> counterPlaces(const FileList& list, bool perFolder) {
    QVector<CounterPlace> places(list.count());
    int groupStart = 0;
    int counter = 0;
    // The totals of a group are known at its end; they are filled in then.
    const auto closeGroup = [&](int end) {
        for (int j = groupStart; j < end; ++j)
            if (places[j].counter >= 0)
                places[j].total = counter;
    };
    for (int i = 0; i < list.count(); ++i) {
        if (perFolder && list.isSeparator(i)) {
            closeGroup(i);
            groupStart = i + 1;
            counter = 0;
        }
        if (list.isSelected(i) && !list.isSeparator(i))
            places[i].counter = counter++;
    }
    closeGroup(list.count());
    return places;
}

int convertSelected(const FileList& list, const MaskSpec& naming, const MaskContext& ctx, NameLines& target,
                    bool append, bool perFolder) {
    const Mask mask(naming);
    const QVector<CounterPlace> places = counterPlaces(list, perFolder);
    int counter = 0;
    target.beginUpdate();
    for (int i = 0; i < list.count(); ++i) {
        if (places[i].counter < 0)
            continue;
        const QString name =
            mask.apply(places[i].counter, places[i].total, list.text(i), ctx).value_or(QString());
        ++counter;
        if (append)
            target.append(name);
        else
            target.setLine(i, name);
    }
    target.endUpdate();
    return counter;
}

MaskPreview previewMask(const FileList& list, const SelectionSpan& span, const MaskSpec& naming,
                        const MaskContext& ctx, bool perFolder) {
    const QString error = QStringLiteral("<Error>");
    if (span.firstIndex < 0 || span.firstIndex >= list.count() || span.lastIndex < 0 ||
        span.lastIndex >= list.count())
        return {error, error};
    const Mask mask(naming);
    CounterPlace first{0, span.selectedCount};
    CounterPlace last{span.lastCounter, span.selectedCount};
    if (perFolder) {
        const QVector<CounterPlace> places = counterPlaces(list, true);
        first = places[span.firstIndex];
        last = places[span.lastIndex];
    }
    const auto firstName = mask.apply(first.counter, first.total, list.text(span.firstIndex), ctx);
    const auto lastName = mask.apply(last.counter, last.total, list.text(span.lastIndex), ctx);
    if (!firstName || !lastName)
        return {error, error};
    return {*firstName, *lastName};
}

void storeMask(QStringList& masks, const QString& text) {
    if (text.isEmpty())
        return;
    for (qsizetype i = 0; i < masks.size(); ++i) {
        if (masks[i].compare(text, Qt::CaseInsensitive) == 0) {
            masks.removeAt(i);
            break;
        }
    }
    masks.prepend(text);
}

QString deleteMask(QStringList& masks, const QString& text) {
    qsizetype at = -1;
    for (qsizetype i = 0; i < masks.size() && at < 0; ++i)
        if (masks[i].compare(text, Qt::CaseInsensitive) == 0)
            at = i;
    if (at < 0)
        return QString();
    masks.removeAt(at);
    if (masks.isEmpty())
        return QString();
    return masks[qMin(at, masks.size() - 1)];
}

QString patternOf(const QString& caption) {
    const qsizetype cut = caption.indexOf(QStringLiteral(" - "));
    return cut < 0 ? caption : caption.left(cut);
}

const QStringList& patternCaptions() {
    static const QStringList captions = {
        QStringLiteral("[n] - file name"),
        QStringLiteral("[n3] - 3rd char from filename"),
        QStringLiteral("[n3-5] - 3rd to 5th chars from filename"),
        QStringLiteral("[n3-] - 3rd to last chars from filename"),
        QStringLiteral("[n-3] - 3rd char from filename end"),
        QStringLiteral("[n-3-5] - 3rd to 5th chars from filename end"),
        QStringLiteral("[n-3-] - chars from beginning of FN to 3rd char from FN end"),
        QStringLiteral("-"),
        QStringLiteral("[e] - file extension (other examples see filename)"),
        QStringLiteral("-"),
        QStringLiteral("[c] - single digit/letter counter"),
        QStringLiteral("[c2] - two digits. Start from 0"),
        QStringLiteral("[c2,'1'] - two digits. Start from 1"),
        QStringLiteral("[c8,'0','01'] - binary counter. Length=8. Start from 0"),
        QStringLiteral("[cc3] - three digits. Total selected files counter"),
        QStringLiteral("-"),
        QStringLiteral("[s] - file size     "),
        QStringLiteral("[t] - mp3/wav file playing time"),
        QStringLiteral("[p] - file path"),
        QStringLiteral("-"),
        QStringLiteral("[f] - text from right side      "),
        QStringLiteral("-"),
        QStringLiteral("[ma] - mp3 artist   "),
        QStringLiteral("[mc] - mp3 album   "),
        QStringLiteral("[mt] - mp3 title   "),
        QStringLiteral("[my] - mp3 year   "),
        QStringLiteral("[mr] - mp3 comment"),
    };
    return captions;
}

const QStringList& extendedPatternCaptions() {
    static const QStringList captions = {
        QStringLiteral("[mn] - track number (07)"),
        QStringLiteral("[mg] - genre"),
        QStringLiteral("[d] - date taken or changed (2026-12-08)"),
    };
    return captions;
}

const QStringList& defaultMasks() {
    static const QStringList masks = {QStringLiteral("[n].[e]"), QStringLiteral("[c3]_[n].[e]"),
                                      QStringLiteral("[c3,'1']_[cc3]_[n].[e]")};
    return masks;
}

QString addingMaskText(const MaskSpec& naming) {
    static const char* const kCases[] = {nullptr, "low case", "UPPER CASE", "First letter up",
                                         "Up First In Each Word"};
    const LetterSettings& s = naming.settings;
    const bool caseOn = s.Casecb > 0 && s.Casecb < int(std::size(kCases));
    const bool lettersOn = caseOn || s.Translitcb;
    if (naming.mask == defaultMasks().first() && !lettersOn)
        return QString();
    QString text = QStringLiteral("Mask: ") +
                   (naming.mask.isEmpty() ? QStringLiteral("(empty)") : withVisibleControls(naming.mask));
    if (caseOn) {
        text += QStringLiteral(", ") + QLatin1String(kCases[s.Casecb]);
        // Force case changes only the two capitalising conversions.
        if (s.fcase && (s.Casecb == 3 || s.Casecb == 4))
            text += QStringLiteral(", Force case");
    }
    if (s.Translitcb)
        text += QStringLiteral(", Translit");
    if (s.exextcb && lettersOn)
        text += QStringLiteral(", extension aside");
    return text;
}

} // namespace vorlane
