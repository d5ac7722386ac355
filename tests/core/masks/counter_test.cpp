#include "core/masks/counter.h"
#include "support/counterref.h"
#include "support/qtprint.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace vorlane;

TEST(Counter, QuotedTextExpansion) {
    const std::pair<const char*, const char*> cases[] = {
        {"a-e", "abcde"}, {"0-9A-F", "0123456789ABCDEF"},
        {"z-a", "za"},    {"a--b", "a-b"},
        {"-ab", "-ab"},   {"ab-", "ab-"},
        {"a-b", "ab"},    {"", ""},
        {"-", "-"},       {"a-c-e", "abcde"},
        {"😀-😂", "😀😁😂"},
    };
    for (const auto& [raw, expanded] : cases)
        EXPECT_EQ(expandQuoted(raw, kMaxAlphabet), QString::fromUtf8(expanded)) << raw;
}

TEST(Counter, Examples) {
    const QString dec = "0123456789";
    const QString all = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    struct Case {
        int width;
        QString start, alphabet;
        qint64 steps;
        QString text;
    };
    const Case cases[] = {
        {2, "", dec, 0, "00"},    {2, "", dec, 99, "99"},        {2, "", dec, 100, "00"},
        {2, "1", dec, 0, "01"},   {2, "1", dec, 99, "00"},       {1, "", all, 10, "A"},
        {1, "", all, 36, "0"},    {3, "x", dec, 0, "00x"},       {3, "x", dec, 1, "000"},
        {3, "x", dec, 2, "001"},  {8, "0", "01", 5, "00000101"}, {3, "", dec, -4, "000"},
        {0, "5", dec, 9, ""},     {3, "1", "", 9, ""},           {2, "12345", dec, 0, "45"},
        {3, "0", dec, 25, "025"}, {3, "😀", dec, 0, "00😀"},       {2, "", "😀😁", 3, "😁😁"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(counterText(c.width, c.start, c.alphabet, c.steps), c.text)
            << c.width << " " << c.start.toStdString() << " " << c.steps;
        EXPECT_EQ(counterTextStepped(c.width, c.start, c.alphabet, c.steps), c.text);
    }
}

// The computed counter equals stepping one by one for any alphabet, repeats
// and foreign characters included.
TEST(Counter, ComputedEqualsStepped) {
    QRandomGenerator rng(2024);
    const QString pool = "abcxyz019-ЖЁ";
    auto randomText = [&](int maxLen) {
        QString s;
        const int n = int(rng.bounded(maxLen + 1));
        for (int i = 0; i < n; ++i)
            s += pool[int(rng.bounded(int(pool.size())))];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const int width = int(rng.bounded(10));
        const QString alphabet = randomText(6);
        const QString start = randomText(11);
        const qint64 steps = rng.bounded(round % 10 == 0 ? 5000 : 300) - 3;
        ASSERT_EQ(counterText(width, start, alphabet, steps),
                  counterTextStepped(width, start, alphabet, steps))
            << "width " << width << " start '" << start.toStdString() << "' alphabet '"
            << alphabet.toStdString() << "' steps " << steps;
    }
}

TEST(Counter, LargeStepCountsAreQuick) {
    EXPECT_EQ(counterText(9, "", "0123456789", 2147483647), "147483647");
    EXPECT_EQ(counterText(4, "", "01", 2147483647), "1111");
    EXPECT_EQ(counterText(3, "", "aba", 2147483647), counterTextStepped(3, "", "aba", 2147483647 % 2 + 2));
}
