#include "core/filelist/textcounts.h"

#include <QHash>

#include <gtest/gtest.h>

#include <random>

using namespace vorlane;

namespace {

quint32 sameForAll(QStringView) {
    return 7;
}

// Texts that share their hash in pairs, so equal hashes with unequal texts
// meet in every probe.
quint32 byLength(QStringView text) {
    return quint32(text.size() / 2);
}

} // namespace

// Random additions, removals and reservations against a plain hash of counts,
// with the real hash and with hashes that collide.
TEST(TextCountsTest, CountsAsAPlainHashDoes) {
    const struct {
        const char* name;
        TextCounts::Hash hash;
        int texts; // how many different texts the operations pick from
    } cases[] = {
        {"default hash, few texts", TextCounts::defaultHash, 20},
        {"default hash, many texts", TextCounts::defaultHash, 3000},
        {"one hash for all", sameForAll, 40},
        {"hashes in pairs", byLength, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextCounts counts(c.hash);
        QHash<QString, int> model;
        std::mt19937 random(1);
        for (int step = 0; step < 20000; ++step) {
            const int pick = int(random() % unsigned(c.texts));
            const QString text = pick == 0 ? QString() : QStringLiteral("/m/%1.mp3").arg(pick);
            switch (random() % 8) {
            case 0:
            case 1:
                counts.remove(text);
                if (model.value(text) > 0 && --model[text] == 0)
                    model.remove(text);
                break;
            case 2:
                if (step % 500 == 0) {
                    counts.clear();
                    model.clear();
                } else if (step % 100 == 0) {
                    counts.reserve(step);
                }
                break;
            default: {
                int& n = counts[text];
                EXPECT_EQ(n, model.value(text));
                ++n;
                ++model[text];
            }
            }
            ASSERT_EQ(counts.count(text), model.value(text)) << text.toStdString() << " at step " << step;
        }
        for (int pick = 0; pick < c.texts; ++pick) {
            const QString text = pick == 0 ? QString() : QStringLiteral("/m/%1.mp3").arg(pick);
            EXPECT_EQ(counts.count(text), model.value(text)) << text.toStdString();
        }
    }
}

// A null and an empty text are the same text, as in the list's lines.
TEST(TextCountsTest, NullAndEmptyAreOneText) {
    TextCounts counts;
    ++counts[QString()];
    ++counts[QStringLiteral("")];
    EXPECT_EQ(counts.count(QString()), 2);
    counts.remove(QStringLiteral(""));
    EXPECT_EQ(counts.count(QString()), 1);
}

// Texts taken down to 0 give their room back when the table grows, and
// every text still counted keeps its count through that.
TEST(TextCountsTest, GrowingKeepsTheCountsLeft) {
    TextCounts counts;
    for (int i = 0; i < 5000; ++i)
        ++counts[QString::number(i)];
    for (int i = 0; i < 5000; i += 2)
        counts.remove(QString::number(i));
    for (int i = 5000; i < 20000; ++i)
        counts[QString::number(i)] += 2;
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(counts.count(QString::number(i)), i >= 5000 ? 2 : i % 2) << i;
}
