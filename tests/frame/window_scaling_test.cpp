#include "frame/window_scaling.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(FormSize, AnswersAreKeptBetweenThirtyAndHundred)
{
    const std::pair<const char *, int> cases[] = {{"150", 100}, {"10", 30}, {"90", 90}, {"100", 100},
                                                  {"30", 30},   {"75.4", 75}, {" 80 ", 80}};
    for (const auto &[answer, stored] : cases) {
        const std::optional<int> v = FormSizeFromAnswer(answer);
        ASSERT_TRUE(v.has_value()) << answer;
        EXPECT_EQ(*v, stored) << answer;
    }
    for (const char *bad : {"abc", "", "90%"})
        EXPECT_FALSE(FormSizeFromAnswer(bad).has_value()) << bad;
}

TEST(WindowRects, ShareOfTheScreenIsKept)
{
    const QRect design(0, 0, 640, 480);
    // The design screen leaves a design window unchanged.
    EXPECT_EQ(ScaledWindowRect(design, 9600, 7200, false), design);
    // Twice the screen, twice the window, still centred.
    const QRect big(0, 0, 1280, 960);
    EXPECT_EQ(ScaledWindowRect(big, 4800, 3600, false), QRect(320, 240, 640, 480));
    // Lifted windows sit 170 twips (scaled) above the centre.
    EXPECT_EQ(ScaledWindowRect(big, 4800, 3600, true).top(), 240 - 23);
    EXPECT_DOUBLE_EQ(VerticalFactor(big), 2.0);

    const QRect screen(0, 0, 1920, 1080);
    const QRect work(0, 0, 1920, 1040);
    EXPECT_EQ(MainWindowRect(screen, work, 100, 0), screen);
    EXPECT_EQ(MainWindowRect(screen, work, 100, 1), work);
    const QRect ninety = MainWindowRect(screen, work, 90, 1);
    EXPECT_EQ(ninety.size(), QSize(1728, 972));
    EXPECT_EQ(ninety.center(), screen.center());
}
