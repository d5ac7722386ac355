#pragma once

#include "core/platform/dirwalk.h"

#include <QCollator>
#include <QStringList>

#include <vector>

namespace vorlane {

class PlainRanks;

// Orders names the way file managers list them: digits compare as numbers
// ("track 2" before "track 10") and letter case is ignored, by the collation
// of the user's locale. Make one per listing: it holds one collator and turns
// each name into a collation key once, so a sort costs one key per name.
// Names of printable ASCII need no key: they are compared by the collator's
// own ranks of their characters, which give the collator's order.
class NaturalOrder {
public:
    NaturalOrder();

    // Names that collate alike keep a fixed order (by code unit), so the
    // result never depends on the order they came in.
    void sort(QStringList& names) const;
    // Folders first, then everything else, each in natural order.
    void sort(std::vector<DirEntry>& entries) const;
    // Whether plain ASCII names are compared without the collator (the
    // locale's rules passed the check against it).
    bool comparesPlainNamesItself() const;

private:
    QCollator m_collator;
    const PlainRanks* m_plain = nullptr; // the ranks of plain names, when usable
};

} // namespace vorlane
