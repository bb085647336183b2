#include "logcore/contact_log.h"
#include "rig/band_conversion.h"
#include "rig/band_plan.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

BandPlan Shipped()
{
    BandPlan plan;
    const BandPlanReadResult r = ParseBandPlan(zevtest::ReadFile(QStringLiteral(ZEV_BUILD_DIR "/BandPlan.txt")), plan);
    EXPECT_TRUE(r.ok) << r.error.toStdString() << " line " << r.position.line;
    return plan;
}

QStringList Bands(const std::vector<ChartBand> &chart)
{
    QStringList out;
    for (const ChartBand &b : chart)
        out << b.band;
    return out;
}

}  // namespace

TEST(BandPlan, TheShippedPlanIsConsistent)
{
    const BandPlan plan = Shipped();
    EXPECT_EQ(plan.effective, "2007/02/23");
    ASSERT_FALSE(plan.rows.empty());
    ASSERT_EQ(plan.rows.front().cls, "O");
    const BandPlanRow *extent = nullptr;
    for (const BandPlanRow &r : plan.rows) {
        EXPECT_LT(r.lower, r.upper) << r.band.toStdString() << " " << r.cls.toStdString();
        if (r.cls == "O") {
            extent = &r;
            continue;
        }
        ASSERT_NE(extent, nullptr);
        EXPECT_EQ(r.band, extent->band);
        EXPECT_TRUE(QStringLiteral("NTPGAE").contains(r.cls)) << r.cls.toStdString();
        EXPECT_TRUE(r.mode == "CW" || r.mode == "PH") << r.mode.toStdString();
        EXPECT_GE(r.lower, extent->lower) << r.band.toStdString();
        EXPECT_LE(r.upper, extent->upper) << r.band.toStdString();
    }
    // Every contest band is in the plan, and its extent lies in the contest band.
    for (const QString &code : BandCodes()) {
        const auto it = std::find_if(plan.rows.begin(), plan.rows.end(),
                                     [&](const BandPlanRow &r) { return r.cls == "O" && r.band == code; });
        ASSERT_NE(it, plan.rows.end()) << code.toStdString();
        EXPECT_EQ(BandCodes()[BandIndexForFrequency((it->lower + it->upper) / 2)], code);
    }
}

TEST(BandPlan, TheExtraRowsChooseTheRadioMode)
{
    const std::vector<BandPlanRow> extra = ExtraPlanRows(Shipped());
    ASSERT_FALSE(extra.empty());
    for (const BandPlanRow &r : extra)
        EXPECT_EQ(r.cls, "E");
    struct Case {
        float mhz;
        const char *mode;
    };
    const Case cases[] = {
        {14.025f, "CW"}, {14.2f, "USB"},  {21.3f, "USB"}, {28.4f, "USB"}, {50.125f, "USB"},
        {7.2f, "LSB"},   {3.75f, "LSB"},  {7.01f, "CW"},  {3.55f, "CW"},  {10.12f, "CW"},
        // No automatic mode on 160 m; nothing outside the plan; the edges belong to no row.
        {1.83f, ""},     {1.9f, ""},      {5.0f, ""},     {14.0f, ""},    {148.0f, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BandPlanMode(extra, c.mhz), c.mode) << c.mhz;
}

TEST(BandPlan, ChartsShowOnlyTheBandsOfTheClass)
{
    const BandPlan plan = Shipped();
    EXPECT_EQ(Bands(PrivilegesChart(plan, "N")), QStringList({"80", "40", "15", "10"}));
    EXPECT_EQ(Bands(PrivilegesChart(plan, "T")), QStringList({"80", "40", "15", "10", "6", "2"}));
    EXPECT_EQ(Bands(PrivilegesChart(plan, "E")),
              QStringList({"160", "80", "40", "30", "20", "17", "15", "12", "10", "6", "2"}));
    const std::vector<ChartBand> general = PrivilegesChart(plan, "G");
    const auto twenty = std::find_if(general.begin(), general.end(), [](const ChartBand &b) { return b.band == "20"; });
    ASSERT_NE(twenty, general.end());
    EXPECT_FLOAT_EQ(twenty->lower, 14.0f);
    EXPECT_FLOAT_EQ(twenty->upper, 14.35f);
    ASSERT_EQ(twenty->segments.size(), 2u);
    EXPECT_EQ(twenty->segments[0].mode, "CW");
    EXPECT_FLOAT_EQ(twenty->segments[1].lower, 14.225f);
}

TEST(BandPlan, AGroupIsOnlyTheRowsUpToTheNextBand)
{
    // A band with only G, A and E rows; a later band's N row does not leak into it.
    const QByteArray text = "\"test\"\r\n"
                            "\"20\",\"O\",\"\",14,14.35\r\n"
                            "\"20\",\"G\",\"CW\",14.025,14.15\r\n"
                            "\"20\",\"E\",\"XX\",14.15,14.35\r\n"
                            "\"15\",\"O\",\"\",21,21.45\r\n"
                            "\"15\",\"N\",\"CW\",21.025,21.2\r\n";
    BandPlan plan;
    ASSERT_TRUE(ParseBandPlan(text, plan).ok);
    EXPECT_EQ(Bands(PrivilegesChart(plan, "N")), QStringList({"15"}));
    EXPECT_EQ(Bands(PrivilegesChart(plan, "G")), QStringList({"20"}));
    EXPECT_EQ(Bands(PrivilegesChart(plan, "T")), QStringList());
    // A mode that is neither CW nor PH is kept as written.
    EXPECT_EQ(BandPlanMode(ExtraPlanRows(plan), 14.2f), "XX");
}

TEST(BandPlan, ABadValueStopsTheReadAndKeepsWhatCameBefore)
{
    struct Case {
        const char *text;
        int rows;
        int line;
    };
    const Case cases[] = {
        {"", 0, 1},
        {"\"x\"\r\n\"20\",\"O\",\"\",14,14.35\r\n\"20\",\"E\",\"CW\",low,14.15\r\n", 1, 3},
        {"\"x\"\r\n\"20\",\"O\",\"\",14\r\n", 0, 3},  // cut short: fails at the end
        {"\"x\"\r\n\"20\",\"O\",\"\",1e999,14.35\r\n", 0, 2},
    };
    for (const Case &c : cases) {
        BandPlan plan;
        const BandPlanReadResult r = ParseBandPlan(c.text, plan);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(int(plan.rows.size()), c.rows) << c.text;
        EXPECT_EQ(r.position.line, c.line) << c.text;
    }
    // More than the plan can hold: the rest is not read.
    QByteArray big = "\"x\"\r\n";
    for (int i = 0; i < kBandPlanMaxRows + 5; ++i)
        big += "\"20\",\"E\",\"CW\",14,14.1\r\n";
    BandPlan plan;
    EXPECT_TRUE(ParseBandPlan(big, plan).ok);
    EXPECT_EQ(int(plan.rows.size()), kBandPlanMaxRows);
}

TEST(BandPlan, ChartEdgesAreGroupedWithThreeDecimals)
{
    EXPECT_EQ(ChartEdge(14.025f), "14.025");
    EXPECT_EQ(ChartEdge(7.0f), "7.000");
    EXPECT_EQ(ChartEdge(1296.0f), "1,296.000");
}
