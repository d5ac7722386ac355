#include "core/masks/convert.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

using namespace vorlane;

// The status bar's reminder shows while added files are not named as they are.
TEST(AddingMaskText, ShownForAnyMaskOrLetterConversionButTheDefault) {
    struct Case {
        const char* mask;
        LetterSettings letters;
        const char* text;
    };
    const Case cases[] = {
        {"[n].[e]", {}, ""},
        // Switches that change nothing by themselves.
        {"[n].[e]", {0, true, false, true}, ""},
        {"Best-[c2,'1'].[e]", {3, false, false, false}, "Mask: Best-[c2,'1'].[e], First letter up"},
        {"[n].[e]", {1, false, false, false}, "Mask: [n].[e], low case"},
        {"[n].[e]", {2, false, false, false}, "Mask: [n].[e], UPPER CASE"},
        {"[n].[e]", {4, true, false, false}, "Mask: [n].[e], Up First In Each Word, Force case"},
        {"[n].[e]", {2, true, false, false}, "Mask: [n].[e], UPPER CASE"},
        {"[n].[e]", {0, false, true, true}, "Mask: [n].[e], Translit, extension aside"},
        {"[c3]_[n].[e]", {0, true, false, true}, "Mask: [c3]_[n].[e]"},
        {"[c3]_[n].[e]",
         {3, true, true, true},
         "Mask: [c3]_[n].[e], First letter up, Force case, Translit, extension aside"},
        {"[N].[E]", {}, "Mask: [N].[E]"},
        {"", {}, "Mask: (empty)"},
        {"[n", {}, "Mask: [n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addingMaskText({QString::fromUtf8(c.mask), c.letters}), QString::fromUtf8(c.text))
            << c.mask;
}
