#pragma once

#include <QStringView>
#include <QVector>

namespace vorlane {

// For each key, how many of the keys sort before it by UTF-16 code units (the
// order of QStringView::compare): equal keys share a rank. The keys are
// sorted by eight code units at a time, packed into two integers beside the
// key's number, past the units that all the keys being told apart share: the
// sort itself then moves and compares small fixed records, and each key's
// characters are read a few times in all, not once per comparison. Many keys
// sharing long prefixes (folders of one tree) stay cheap that way.
QVector<int> codeUnitRanks(const QVector<QStringView>& keys);

// The key's first four UTF-16 code units as one number, 0 past its end: two
// keys whose numbers differ compare by code units as the numbers do.
inline quint64 codeUnitPrefix(QStringView key) {
    quint64 p = 0;
    for (qsizetype i = 0; i < 4; ++i)
        p = p << 16 | (i < key.size() ? key[i].unicode() : 0u);
    return p;
}

} // namespace vorlane
