#include "core/platform/keyranks.h"

#include "support/qtprint.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace vorlane;

namespace {

// How many keys compare below each, one comparison at a time.
QVector<int> plainRanks(const QStringList& keys) {
    QVector<int> r;
    for (const QString& k : keys)
        r << int(std::count_if(keys.begin(), keys.end(), [&](const QString& o) { return o.compare(k) < 0; }));
    return r;
}

QVector<int> ranksOf(const QStringList& keys) {
    QVector<QStringView> views;
    for (const QString& k : keys)
        views << k;
    return codeUnitRanks(views);
}

QString withNuls(const char* text, int nuls) {
    return QString::fromLatin1(text) + QString(nuls, QChar(0));
}

} // namespace

TEST(KeyRanksTest, RanksAsComparingOneByOne) {
    const QString tree = QStringLiteral("\tHOME\tUSER\tMUSIC\tARTIST 1");
    const struct {
        const char* name;
        QStringList keys;
    } cases[] = {
        {"none", {}},
        {"one", {"x"}},
        {"equal keys share a rank", {"b", "a", "b", "a", "c"}},
        {"empty keys first", {"a", "", "", "\t"}},
        {"a prefix before what goes on", {"abcdefghij", "abcdefgh", "abcdefghi", "abc", "abcdefghijklmnopq"}},
        {"ends and NULs",
         {withNuls("a", 0), withNuls("a", 1), withNuls("a", 9), withNuls("a", 7), withNuls("a", 8),
          withNuls("a", 1), withNuls("a", 20), "a\u0001"}},
        {"long shared prefixes",
         {tree + "0\tALBUM 9\t", tree + "\tALBUM 10\t", tree + "0\tALBUM 10\t", tree + "\tALBUM 9\t",
          tree + "0\tALBUM 9\t", tree}},
        {"units above the ASCII range", {"\u00c4", "\uffff", "Z", "\u00c4\u00c4", "\U0001F3B5", "\u0100"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ranksOf(c.keys), plainRanks(c.keys)) << c.name;
}

// Random keys over a few units (NUL among them) of random lengths, many
// sharing long prefixes and ending in runs of NULs.
TEST(KeyRanksTest, RandomKeys) {
    std::mt19937 random(7);
    const QString units = QStringLiteral("ab") + QChar(0) + QChar(0xff21);
    for (int round = 0; round < 30; ++round) {
        QStringList keys;
        const int n = 1 + int(random() % 400);
        const QString lead(int(random() % 20), u'p');
        for (int i = 0; i < n; ++i) {
            QString k = random() % 2 ? lead : QString();
            for (int len = int(random() % 30); len > 0; --len)
                k += units[int(random() % 4)];
            keys << k;
        }
        ASSERT_EQ(ranksOf(keys), plainRanks(keys))
            << "round " << round << ": " << keys.join(u',').toStdString();
    }
}
