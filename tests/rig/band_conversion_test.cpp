#include "logcore/contact_log.h"
#include "rig/band_conversion.h"

#include <gtest/gtest.h>
#include <limits>

using namespace zev;

TEST(BandConversion, FrequencyToContestBand)
{
    struct Case {
        float mhz;
        const char *band;  // nullptr: outside every contest band
    };
    const Case cases[] = {
        {1.8f, "160"},   {1.7999f, nullptr}, {2.0001f, nullptr}, {2.0f, "160"},
        {3.5f, "80"},    {3.999f, "80"},     {7.0f, "40"},       {7.3001f, nullptr},
        {10.120f, nullptr}, {14.025f, "20"}, {14.35f, "20"},     {14.3501f, nullptr},
        {21.2f, "15"},   {28.0f, "10"},      {29.7f, "10"},      {29.7001f, nullptr},
        {50.125f, "6"},  {54.0f, "6"},       {144.2f, "2"},      {148.0001f, nullptr},
        {0.0f, nullptr}, {-14.025f, nullptr}, {5000.0f, nullptr},
        {std::numeric_limits<float>::quiet_NaN(), nullptr},
        {std::numeric_limits<float>::infinity(), nullptr},
    };
    for (const Case &c : cases) {
        const int i = BandIndexForFrequency(c.mhz);
        if (c.band) {
            ASSERT_GE(i, 0) << c.mhz;
            EXPECT_EQ(BandCodes()[i], c.band) << c.mhz;
        } else {
            EXPECT_EQ(i, -1) << c.mhz;
        }
    }
}

TEST(BandConversion, FrequencyTextHasThreeDecimalsAndNoLeadingZero)
{
    struct Case {
        float mhz;
        const char *text;
    };
    const Case cases[] = {
        {14.025f, "14.025"}, {7.0f, "7.000"},     {14.3501f, "14.350"}, {10.12f, "10.120"},
        {144.2f, "144.200"}, {0.475f, ".475"},    {3.5006f, "3.501"},   {28.0f, "28.000"},
        {std::numeric_limits<float>::quiet_NaN(), ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RigFrequencyFormat(c.mhz), c.text) << c.mhz;
}
