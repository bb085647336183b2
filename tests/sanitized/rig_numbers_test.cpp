// "RigCntrl.txt" and "BandPlan.txt" with numbers no field can hold, run with the sanitizer
// stopping at any out-of-range conversion from floating point to an integer.

#include "rig/band_plan.h"
#include "rig/rig_settings.h"

#include <QByteArray>
#include <QList>
#include <gtest/gtest.h>

using namespace zev;

TEST(SanitizedNumbers, RigSettingsNumbersFallBackToTheDefaults)
{
    RigLinkSettings stored;
    stored.RigName = "Kenwood";
    stored.RigPort = 3;
    const QList<QByteArray> lines = FormatRigSettings(stored).split('\n');
    // The four numeric lines: port, "Convert to Hex", "Use Frequency", "Mode by".
    for (int line : {8, 12, 13, 14}) {
        for (const char *value : {"2.2e37", "-2.2e37", "1e308", "1e999", "4294967296", "2.5"}) {
            QList<QByteArray> l = lines;
            l[line - 1] = QByteArray(value) + '\r';
            RigLinkSettings s;
            const RigSettingsReadResult r = ParseRigSettings(l.join('\n'), s);
            EXPECT_FALSE(r.ok) << "line " << line << ": " << value;
            EXPECT_EQ(r.position.line, line) << value;
            // What came before is kept, the rest is the defaults.
            EXPECT_EQ(s.RigBaud, stored.RigBaud);
            EXPECT_EQ(s.RigPort, line == 8 ? RigLinkSettings().RigPort : 3) << value;
            EXPECT_EQ(s.ModeBy, RigLinkSettings().ModeBy) << value;
        }
    }
}

TEST(SanitizedNumbers, BandPlanEdgesAreRangeCheckedBeforeTheChartPlacesThem)
{
    const QByteArray head = "\"2009/01/01\"\r\n\"20\",\"O\",\"PH\",14,14.35\r\n\"20\",\"E\",\"CW\",14,14.15\r\n";
    for (const char *edges : {"14.15,2.2e37", "-2.2e37,14.35", "2.2e37,3e38", "14.15,1e39", "1e7,1e8"}) {
        SCOPED_TRACE(edges);
        BandPlan plan;
        const BandPlanReadResult r =
            ParseBandPlan(head + "\"20\",\"E\",\"PH\"," + QByteArray(edges) + "\r\n", plan);
        // Whatever was read is drawn.
        for (const ChartBand &b : PrivilegesChart(plan, "E"))
            for (const BandPlanRow &seg : b.segments)
                EXPECT_LE(ChartPlace(b, seg, 1000).left, 1000);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.position.line, 4);
        EXPECT_EQ(plan.rows.size(), 2u);  // the rows before the bad one
    }
    // Edges a file may well hold stay on the bar, even for a band of no width.
    struct Case {
        const char *band, *segment;
        ChartSpan place;
    };
    const Case cases[] = {
        {"14,14.35", "14.15,14.35", {428, 571}},
        {"14,14", "14,14.35", {0, 1000}},
        {"14,14.000001", "0,1000000", {0, 1000}},
        {"14,14.35", "1000,1000000", {1000, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.band) + " / " + c.segment);
        BandPlan plan;
        ASSERT_TRUE(ParseBandPlan(QByteArray("\"x\"\r\n\"20\",\"O\",\"PH\",") + c.band + "\r\n\"20\",\"E\",\"PH\"," +
                                      c.segment + "\r\n",
                                  plan)
                        .ok);
        const std::vector<ChartBand> chart = PrivilegesChart(plan, "E");
        ASSERT_EQ(chart.size(), 1u);
        const ChartSpan got = ChartPlace(chart[0], chart[0].segments.at(0), 1000);
        EXPECT_EQ(got.left, c.place.left);
        EXPECT_EQ(got.width, c.place.width);
    }
}
