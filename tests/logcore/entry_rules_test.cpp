#include "logcore/entry_rules.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(EntryRules, ProvinceFromTheFirstThreeCharacters)
{
    const std::pair<const char *, const char *> cases[] = {
        {"VE3XYZ", "ON"}, {"va3abc", "ON"}, {"VE9AA", "NB"}, {"CY0A", "NS"}, {"VY0ZEV", "NU"},
        {"VO2X", "NL"},   {"VY2AB", "PE"},  {"VE8", "NT"},   {"VE0AB", ""},  {"VE", ""},
        {"K1ABC", ""},    {"VA8AA", ""},
    };
    for (const auto &[call, province] : cases)
        EXPECT_EQ(ProvinceFromPrefix(call), province) << call;
}

TEST(EntryRules, DigitAfterACompleteCallGoesToTheReport)
{
    struct Case {
        const char *call;
        bool atEnd;
        char key;
        bool handsOff;
    };
    const Case cases[] = {
        {"VE3XYZ", true, '5', true},   {"VE3", true, '5', false},     // no letters after the digit yet
        {"VE3XYZ", false, '5', false},                                 // typed in the middle
        {"VE3XYZ/P", true, '5', false}, {"VE3/W1AW", true, '5', false}, // punctuation after the first character
        {"VE3XYZ", true, 'A', false},  {"VEXYZ", true, '5', false},   // no digit
        {"K1A", true, '5', true},      {"K1", true, '5', false},      // too short
        {"4X1AB", true, '5', true},    {"VE3XY9", true, '5', false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HandsOffDigit(c.call, c.atEnd, QLatin1Char(c.key)), c.handsOff) << c.call << " " << c.key;
}

TEST(EntryRules, PaperLogDatesAndTimes)
{
    const std::pair<const char *, const char *> times[] = {
        {"0930", "09:30"}, {"930", "09:30"}, {"945", "09:45"}, {"18:30", "18:30"}, {"9:05", "09:05"},
        {"1830", "18:30"}, {"23:59:30", "23:59"},
        {"2461", nullptr}, {"2400", nullptr}, {"12", nullptr}, {"", nullptr}, {"99:99", nullptr}, {"12345", nullptr},
    };
    for (const auto &[in, out] : times) {
        const std::optional<QString> t = PostContestTime(in);
        if (out) {
            ASSERT_TRUE(t.has_value()) << in;
            EXPECT_EQ(*t, out) << in;
        } else {
            EXPECT_FALSE(t.has_value()) << in;
        }
    }
    const std::pair<const char *, const char *> dates[] = {
        {"2009/07/01", "2009/07/01"}, {"2009/7/1", "2009/07/01"}, {"2009-07-01", "2009/07/01"},
        {"07/01/2009", "2009/07/01"}, {"2009/02/30", nullptr},    {"2009/13/01", nullptr},
        {"", nullptr},                {"20090701", nullptr},
    };
    for (const auto &[in, out] : dates) {
        const std::optional<QString> d = PostContestDate(in);
        if (out) {
            ASSERT_TRUE(d.has_value()) << in;
            EXPECT_EQ(*d, out) << in;
        } else {
            EXPECT_FALSE(d.has_value()) << in;
        }
    }
}

TEST(EntryRules, ProvincesAndReports)
{
    EXPECT_TRUE(IsProvince("ON"));
    EXPECT_TRUE(IsProvince("pe"));
    EXPECT_FALSE(IsProvince("XX"));
    EXPECT_FALSE(IsProvince(""));
    EXPECT_EQ(DefaultReport("CW"), "599");
    EXPECT_EQ(DefaultReport("PH"), "59");
}
