// Tuning arithmetic in whole hertz: what the frequency box shows after steps and scan ticks.

#include "rig/tune_arithmetic.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using namespace zev::tune;

TEST(TuneArithmetic, ReadsAndWritesTheBoxInWholeHertz)
{
    struct Case {
        const char *text;
        std::optional<qint64> hz;
        const char *shown;  // what the box shows for those hertz
    };
    const Case cases[] = {
        {"14.025", 14025000, "14.025"},  {"7", 7000000, "7"},         {"435.00001", 435000010, "435.00001"},
        {" 1.8 ", 1800000, "1.8"},       {".5", 500000, "0.5"},       {"1270", 1270000000, "1270"},
        {"-0.5", -500000, "-0.5"},       {"21.0255", 21025500, "21.0255"},
        {"1.80000049", 1800000, "1.8"},  // below a hertz is rounded away
        {"", std::nullopt, nullptr},     {"1/2", std::nullopt, nullptr}, {"14.0.25", std::nullopt, nullptr},
        {"abc", std::nullopt, nullptr},  {"1e300", std::nullopt, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HzFromText(QString::fromLatin1(c.text)), c.hz);
        if (c.hz) {
            EXPECT_EQ(MhzText(*c.hz), QString::fromLatin1(c.shown));
            EXPECT_EQ(HzFromText(MhzText(*c.hz)), c.hz) << "the text reads back the same";
        }
    }
}

TEST(TuneArithmetic, StepButtonsMoveByTheirStepEvenWhereSinglePrecisionCannot)
{
    struct Case {
        const char *from;
        int button;
        const char *to;
    };
    const Case cases[] = {
        {"435", 0, "435.00001"},   // 10 Hz up at 70 cm: a float would stay at 435
        {"435", 1, "434.99999"},   {"1270", 8, "1270.0001"}, {"1.5", 3, "0.5"},  // 1 MHz down from 1.5
        {"14.025", 2, "15.025"},   {"14.025", 4, "14.03"},   {"14.025", 5, "14.02"},
        {"7.0005", 6, "7.0015"},   {"7.0005", 7, "6.9995"},  {"3.5", 9, "3.4999"},
        {"0.5", 3, "-0.5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " button " << c.button);
        const std::optional<qint64> hz = HzFromText(QString::fromLatin1(c.from));
        ASSERT_TRUE(hz);
        EXPECT_EQ(MhzText(*hz + StepHz(c.button)), QString::fromLatin1(c.to));
    }
    EXPECT_EQ(StepCaption(0), "10 Hz");
    EXPECT_EQ(StepCaption(5), "5 KHz");
    EXPECT_EQ(StepHz(10), 0);
}

TEST(TuneArithmetic, ScanStepsUpAndStartsAgainPastTheTop)
{
    const qint64 from = *HzFromText("1.8"), to = *HzFromText("54");
    const qint64 step = ScanStepHz(4);
    EXPECT_EQ(ScanStepCaption(4), "2.5 KHz");
    QStringList shown;
    qint64 f = from;
    for (int i = 0; i < 3; ++i)
        shown << MhzText(f = ScanNext(f, step, from, to));
    EXPECT_EQ(shown, QStringList({"1.8025", "1.805", "1.8075"}));

    // The top itself is still scanned; one step past it goes back to the start.
    f = *HzFromText("53.9975");
    EXPECT_EQ(MhzText(f = ScanNext(f, step, from, to)), "54");
    EXPECT_EQ(MhzText(f = ScanNext(f, step, from, to)), "1.8");

    // A whole sweep comes back to the start after exactly as many steps as the range holds.
    f = from;
    int ticks = 0;
    do {
        f = ScanNext(f, step, from, to);
        ++ticks;
    } while (f != from && ticks < 100000);
    EXPECT_EQ(ticks, (to - from) / step + 1);

    struct Case {
        int option;
        const char *caption;
        const char *after;  // one step from 435
    };
    const Case options[] = {{0, "500 Hz", "435.0005"}, {1, "100 Hz", "435.0001"}, {2, "30 Hz", "435.00003"},
                            {3, "10 Hz", "435.00001"}, {-1, "", "435"}};
    for (const Case &c : options) {
        SCOPED_TRACE(c.option);
        EXPECT_EQ(ScanStepCaption(c.option), QString::fromLatin1(c.caption));
        EXPECT_EQ(MhzText(ScanNext(435000000, ScanStepHz(c.option), from, *HzFromText("1300"))),
                  QString::fromLatin1(c.after));
    }
}

TEST(TuneArithmetic, BandButtons)
{
    struct Case {
        int index;
        const char *caption, *mhz;
    };
    const Case cases[] = {{0, "160", "1.9"},    {2, "60", "5.368"}, {5, "20", "14.175"},
                          {12, "1.25", "223.5"}, {13, "70", "435"}, {15, "23", "1270"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(BandCaption(c.index), QString::fromLatin1(c.caption));
        EXPECT_EQ(MhzText(BandHz(c.index)), QString::fromLatin1(c.mhz));
    }
    EXPECT_EQ(BandCaption(16), QString());
}

}  // namespace
