#include "core/platform/cp1251.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(Cp1251, CodesAndDecoding) {
    EXPECT_EQ(cp1251Code(u'A'), 65);
    EXPECT_EQ(cp1251Code(QChar(0x0401)), 168); // Ё
    EXPECT_EQ(cp1251Code(QChar(0x0451)), 184); // ё
    EXPECT_EQ(cp1251Code(QChar(0x0410)), 192); // А
    EXPECT_EQ(cp1251Code(QChar(0x044F)), 255); // я
    EXPECT_EQ(cp1251Code(QChar(0x00E9)), -1);  // é
    EXPECT_EQ(fromCp1251("\xCF\xF0\xE8\xE2\xE5\xF2 \xA8"), "Привет Ё");
}
