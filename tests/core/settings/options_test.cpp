#include "core/settings/options.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(Options, FirstStartDefaults) {
    const Options o;
    int on = 0;
    for (const OptionInfo& info : optionTable()) {
        if (info.flag) {
            const bool value = o.*info.flag;
            EXPECT_EQ(value ? QStringLiteral("1") : QStringLiteral("0"), info.defaultValue) << info.name;
            on += value ? 1 : 0;
        } else {
            EXPECT_EQ(o.*info.text, info.defaultValue) << info.name;
        }
    }
    EXPECT_EQ(optionTable().size(), 16);
    EXPECT_EQ(on, 3);
    EXPECT_TRUE(o.Dsfcb && o.Iccb && o.cbDontCountmp3);
    EXPECT_EQ(o.masked, QStringLiteral("*.*"));
}

TEST(Options, AlarmColumn) {
    const std::pair<const char*, int> cases[] = {{"127", 127}, {"80", 80},   {" 60 ", 60}, {"", 127},
                                                 {"abc", 127}, {"12x", 127}, {"0", 0}};
    Options o;
    for (const auto& [text, col] : cases) {
        o.Alleveled = QString::fromLatin1(text);
        EXPECT_EQ(o.alarmColumn(), col) << text;
    }
}
