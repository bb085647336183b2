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

TEST(BandConversion, FrequencyTextsAreRoundedFromExactHertz)
{
    struct Case {
        qint64 hz;
        const char *logged;  // three decimals, as a contact keeps it
        const char *shown;   // five decimals, as the rig window shows it
    };
    const Case cases[] = {
        {14025000, "14.025", "14.02500"},   {7000000, "7.000", "7.00000"},     {14350100, "14.350", "14.35010"},
        {10120000, "10.120", "10.12000"},   {144200000, "144.200", "144.20000"}, {475000, ".475", ".47500"},
        {3500600, "3.501", "3.50060"},      {28000000, "28.000", "28.00000"},  {7025500, "7.026", "7.02550"},
        {21299999, "21.300", "21.30000"},   {435000010, "435.000", "435.00001"}, {1270000000, "1270.000", "1270.00000"},
        {24940004, "24.940", "24.94000"},   {24940005, "24.940", "24.94001"},  {0, ".000", ".00000"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RigFrequencyFormat(c.hz), c.logged) << c.hz;
        EXPECT_EQ(RigWindowFrequencyText(c.hz), c.shown) << c.hz;
    }
    // The band follows the hertz as the single-precision reading would.
    EXPECT_EQ(BandIndexForHz(14350000), 3);
    EXPECT_EQ(BandIndexForHz(14350100), -1);
    EXPECT_EQ(BandIndexForHz(1799900), -1);
}
