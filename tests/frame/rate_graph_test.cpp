#include "frame/rate_graph.h"
#include "logcore/contact_log.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

const QDateTime kStart(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);

ContactRecord Contact(const QDateTime &utc, const QString &band = QStringLiteral("20"))
{
    ContactRecord r;
    r.Call = QStringLiteral("VE3XYZ");
    r.ReportRcvd = r.ReportSent = QStringLiteral("59");
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = utc.toString(QStringLiteral("yyyy/MM/dd"));
    r.QsoTime = utc.toString(QStringLiteral("HH:mm:ss"));
    r.Mode = QStringLiteral("PH");
    r.Band = band;
    r.Points = 10;
    return r;
}

// Contacts at the given seconds after kStart.
std::vector<ContactRecord> At(std::initializer_list<int> seconds, const QString &band = QStringLiteral("20"))
{
    std::vector<ContactRecord> out;
    for (int s : seconds)
        out.push_back(Contact(kStart.addSecs(s), band));
    return out;
}

// `count` contacts `spacing` seconds apart from `first`.
std::vector<ContactRecord> Steady(const QDateTime &first, int count, int spacing)
{
    std::vector<ContactRecord> out;
    for (int i = 0; i < count; ++i)
        out.push_back(Contact(first.addSecs(qint64(i) * spacing)));
    return out;
}

}  // namespace

TEST(RateGraph, NeedsSevenContacts)
{
    const std::vector<ContactRecord> seven = At({0, 60, 120, 180, 240, 300, 3600});
    std::vector<ContactRecord> six(seven.begin(), seven.end() - 1);
    EXPECT_EQ(BuildRateGraph(six).status, RateGraph::Status::TooFewContacts);
    EXPECT_EQ(BuildRateGraph(std::vector<ContactRecord>{}).status, RateGraph::Status::TooFewContacts);
    EXPECT_TRUE(BuildRateGraph(seven).ready());

    // Through the log the window reads.
    ContactLog log;
    log.setRecords(six);
    EXPECT_FALSE(BuildRateGraph(log).ready());
    log.append(seven.back());
    EXPECT_TRUE(BuildRateGraph(log).ready());
}

TEST(RateGraph, TenContactsInOneMinuteRateSixtyAtTheTenthsSlot)
{
    // One hour over 1500 slots is 2.4 s a slot, so a contact every 6 s lands on
    // 2.5, 5, 7.5 ... slots: the halves go to the even neighbour.
    const RateGraph g = BuildRateGraph(At({0, 6, 12, 18, 24, 30, 36, 42, 48, 54, 3600}));
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(g.Span, 3600);
    const struct {
        int slot;
        float rate;
    } cases[] = {{1, 6}, {2, 12}, {5, 18}, {8, 24}, {10, 30}, {12, 36}, {15, 42}, {18, 48}, {20, 54}, {22, 60}, {1500, 6}};
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(g.RatePoints[size_t(c.slot)], c.rate) << "slot " << c.slot;
    // The odd neighbours of the halves were bridged, not hit.
    EXPECT_FLOAT_EQ(g.RatePoints[3], 12);
    EXPECT_FLOAT_EQ(g.RatePoints[21], 54);
}

TEST(RateGraph, TenMinuteCountStopsAtTheFirstOlderContact)
{
    // A contact exactly 600 s earlier is outside the window.
    const RateGraph g = BuildRateGraph(At({0, 300, 599, 600, 1199, 1200, 1500}));
    ASSERT_TRUE(g.ready());
    // 1500 s over 1500 slots: one slot a second, slot = elapsed seconds.
    EXPECT_FLOAT_EQ(g.RatePoints[300], 12);   // 0, 300
    EXPECT_FLOAT_EQ(g.RatePoints[599], 18);   // 0, 300, 599
    EXPECT_FLOAT_EQ(g.RatePoints[600], 18);   // 300, 599, 600
    EXPECT_FLOAT_EQ(g.RatePoints[1199], 12);  // 600, 1199; 599 is exactly 600 s back
    EXPECT_FLOAT_EQ(g.RatePoints[1200], 12);  // 1199, 1200
    EXPECT_FLOAT_EQ(g.RatePoints[1500], 18);  // 1199, 1200, 1500
}

TEST(RateGraph, ShortPausesAreBridgedFromTheSlotBeforeAndSmoothedOverSeven)
{
    // One slot a second. 200 -> 210 is a pause of 9 empty slots: bridged starting
    // level with the slot before the pause, then in equal steps to the next contact.
    const RateGraph g = BuildRateGraph(At({0, 200, 210, 300, 316, 400, 417, 1500}));
    ASSERT_TRUE(g.ready());
    EXPECT_FLOAT_EQ(g.RatePoints[200], 12);
    EXPECT_FLOAT_EQ(g.RatePoints[201], 12);
    EXPECT_FLOAT_EQ(g.RatePoints[205], 12 + 4 * (6.0f / 9));
    EXPECT_FLOAT_EQ(g.RatePoints[209], 12 + 8 * (6.0f / 9));
    EXPECT_FLOAT_EQ(g.RatePoints[210], 18);
    // Mean of slots 204..210: 14, 14.67, 15.33, 16, 16.67, 17.33, 18.
    EXPECT_FLOAT_EQ(g.SmoothPoints[210], 16);
    // The smoothing reaches six slots past a contact, then the pause shows as zeros.
    EXPECT_GT(g.SmoothPoints[216], 0);
    EXPECT_EQ(g.SmoothPoints[217], 0);
    // Fifteen empty slots are bridged whole; with sixteen, the first stays empty and the
    // bridge starts from it at 0.
    EXPECT_FLOAT_EQ(g.RatePoints[316], 30);
    EXPECT_FLOAT_EQ(g.RatePoints[301], 24);
    EXPECT_FLOAT_EQ(g.RatePoints[315], 24 + 14 * (6.0f / 15));
    EXPECT_FLOAT_EQ(g.RatePoints[417], 42);
    EXPECT_EQ(g.RatePoints[401], 0);
    EXPECT_EQ(g.RatePoints[402], 0);
    EXPECT_FLOAT_EQ(g.RatePoints[403], 42.0f / 15);
    // Slot 1 keeps its own 6; slots 2-6 are below the smoothing's reach.
    EXPECT_FLOAT_EQ(g.SmoothPoints[1], 6);
    EXPECT_EQ(g.SmoothPoints[4], 0);
    EXPECT_FLOAT_EQ(g.SmoothPoints[7], 6);
}

TEST(RateGraph, LongPauseLeavesAGapWithNoCurveOrColour)
{
    // Ten contacts a minute apart, two hours off, ten more.
    std::vector<ContactRecord> records = Steady(kStart, 10, 60);
    for (const ContactRecord &r : Steady(kStart.addSecs(3 * 3600), 10, 60))
        records.push_back(r);
    const RateGraph g = BuildRateGraph(records);
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(g.MinRate, 0);
    EXPECT_FLOAT_EQ(g.MaxRate, 60);
    int zeros = 0;
    for (int i = 200; i <= 1200; ++i) {
        EXPECT_EQ(g.SmoothPoints[size_t(i)], 0) << i;
        EXPECT_EQ(g.SlotColours[size_t(i)], kBackground) << i;
        zeros += g.SmoothPoints[size_t(i)] == 0;
    }
    EXPECT_EQ(zeros, 1001);
    // Either side of the pause the curve and the "20" colour are there.
    EXPECT_GT(g.SmoothPoints[50], 0);
    EXPECT_EQ(g.SlotColours[50], 3);
    EXPECT_GT(g.SmoothPoints[1450], 0);
    EXPECT_EQ(g.SlotColours[1450], 3);
}

TEST(RateGraph, LegendIndexOfEachBand)
{
    const struct {
        const char *band;
        int index;
    } cases[] = {{"160", 0}, {"80", 1}, {"40", 2}, {"20", 3}, {"15", 4}, {"10", 5}, {"6", 6},
                 {"2", 6},   {"17", kBackground}, {"", kBackground}, {"20 ", kBackground}, {"60", kBackground}};
    for (const auto &c : cases)
        EXPECT_EQ(LegendIndexOfBand(QString::fromLatin1(c.band)), c.index) << c.band;
}

TEST(RateGraph, SlotColoursFollowTheBandAndCarryOnUntilTheRateDrops)
{
    // One slot a second.
    std::vector<ContactRecord> r;
    auto add = [&](int s, const char *band) { r.push_back(Contact(kStart.addSecs(s), QString::fromLatin1(band))); };
    add(0, "20");
    add(5, "6");
    add(10, "2");
    add(12, "17");   // unknown: keeps the colour before it
    add(20, "40");
    add(30, "80");
    add(30, "WARC");  // same slot, unknown: the "80" stays
    add(1000, "XX");  // unknown after a gap: nothing to carry on
    add(1010, "15");
    add(1500, "10");
    const RateGraph g = BuildRateGraph(r);
    ASSERT_TRUE(g.ready());
    const struct {
        int slot;
        int colour;
    } cases[] = {{1, 3},  {3, 3},  {5, 6},  {10, 6}, {12, 6},    {15, 6},   {20, 2},
                 {25, 2}, {30, 1}, {36, 1}, {500, kBackground}, {1000, kBackground},
                 {1005, kBackground}, {1010, 4}, {1016, 4}, {1017, kBackground}, {1500, 5}};
    for (const auto &c : cases)
        EXPECT_EQ(g.SlotColours[size_t(c.slot)], c.colour) << "slot " << c.slot;
    EXPECT_GT(g.SmoothPoints[1000], 0);  // the curve is there, only the colour is not
}

TEST(RateGraph, UndrawableLogsReportNotEnoughInsteadOfDividingByZero)
{
    std::vector<ContactRecord> sameInstant = At({0, 0, 0, 0, 0, 0, 0});
    std::vector<ContactRecord> backwards = At({600, 60, 120, 180, 240, 300, 0});
    std::vector<ContactRecord> badTime = At({0, 60, 120, 180, 240, 300, 3600});
    badTime[3].QsoTime = QStringLiteral("25:00:00");
    std::vector<ContactRecord> badDate = At({0, 60, 120, 180, 240, 300, 3600});
    badDate[6].QsoDate = QStringLiteral("2009/13/01");
    // Every contact exactly ten minutes after the one before: each counts alone, every
    // pause is bridged, and the curve is level at 6.
    const std::vector<ContactRecord> level = Steady(kStart, 101, 600);

    const struct {
        const char *what;
        std::vector<ContactRecord> records;
        RateGraph::Status status;
    } cases[] = {
        {"all at one instant", sameInstant, RateGraph::Status::NoTimeSpan},
        {"last before first", backwards, RateGraph::Status::NoTimeSpan},
        {"unreadable time", badTime, RateGraph::Status::UnreadableTime},
        {"unreadable date", badDate, RateGraph::Status::UnreadableTime},
        {"level curve", level, RateGraph::Status::FlatCurve},
    };
    for (const auto &c : cases) {
        const RateGraph g = BuildRateGraph(c.records);
        EXPECT_EQ(g.status, c.status) << c.what;
        EXPECT_FALSE(g.ready()) << c.what;
    }
    EXPECT_EQ(BuildRateGraph(badTime).unreadableRecord, 4);
    const RateGraph flat = BuildRateGraph(level);
    EXPECT_FLOAT_EQ(flat.MinRate, 6);
    EXPECT_FLOAT_EQ(flat.MaxRate, 6);
}

TEST(RateGraph, ContactsOffTheTimeAxisAreLeftOut)
{
    // A paper-log contact typed out of order, earlier than the first: no slot for it.
    std::vector<ContactRecord> r = At({600, 660, 720, 780, 840, 0, 2100});
    const RateGraph g = BuildRateGraph(r);
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(g.Span, 1500);
    EXPECT_FLOAT_EQ(g.RatePoints[240], 30);  // 840 s: the five before it
    // Slot 1 keeps the first contact's rate rather than the stray one's 36.
    EXPECT_FLOAT_EQ(g.RatePoints[1], 6);
    // The walk back from the last contact stops at the stray one, 2100 s older.
    EXPECT_FLOAT_EQ(g.RatePoints[1500], 6);
}

TEST(RateGraph, TimesInEveryAcceptedShapeGiveTheSameGraph)
{
    std::vector<ContactRecord> full = At({0, 60, 120, 180, 240, 300, 7200});
    std::vector<ContactRecord> shapes = full;
    shapes[1].QsoTime = QStringLiteral("18:01");  // post-contest entry
    shapes[2].QsoTime = QStringLiteral("18:xx");  // not a time at all
    const RateGraph odd = BuildRateGraph(shapes);
    EXPECT_EQ(odd.status, RateGraph::Status::UnreadableTime);
    EXPECT_EQ(odd.unreadableRecord, 3);

    shapes[2].QsoTime = QStringLiteral("18:02:00");
    // Hours written with one digit, read by the full parser.
    for (ContactRecord &c : full)
        c.QsoDate = QStringLiteral("2009/07/02");
    for (ContactRecord &c : shapes)
        c.QsoDate = QStringLiteral("2009/07/02");
    full[0].QsoTime = QStringLiteral("08:00:00");
    shapes[0].QsoTime = QStringLiteral("8:00");
    full[6].QsoTime = shapes[6].QsoTime = QStringLiteral("20:00:00");
    const RateGraph a = BuildRateGraph(full);
    const RateGraph b = BuildRateGraph(shapes);
    ASSERT_TRUE(a.ready());
    ASSERT_TRUE(b.ready());
    EXPECT_EQ(a.Span, 12 * 3600);
    EXPECT_EQ(a.Span, b.Span);
    EXPECT_EQ(a.RatePoints, b.RatePoints);
    EXPECT_EQ(a.SmoothPoints, b.SmoothPoints);
    EXPECT_EQ(a.TimeLabels, b.TimeLabels);
}

TEST(RateGraph, TimeAndDateLabelsAcrossMidnight)
{
    // 23:00 to 03:00: 14400 s, a label every 1028.57 s (rounded to whole seconds).
    std::vector<ContactRecord> r = Steady(QDateTime(QDate(2009, 7, 1), QTime(23, 0, 0), Qt::UTC), 61, 60);
    r.push_back(Contact(QDateTime(QDate(2009, 7, 2), QTime(3, 0, 0), Qt::UTC)));
    const RateGraph g = BuildRateGraph(r);
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(g.Span, 14400);
    const struct {
        int k;
        const char *time;
        const char *date;
    } cases[] = {{0, "23:00", "07/01"}, {1, "23:17", "07/01"}, {3, "23:51", "07/01"}, {4, "00:08", "07/02"},
                 {7, "01:00", "07/02"}, {14, "03:00", "07/02"}};
    for (const auto &c : cases) {
        EXPECT_EQ(g.TimeLabels[size_t(c.k)], QString::fromLatin1(c.time)) << c.k;
        EXPECT_EQ(g.DateLabels[size_t(c.k)], QString::fromLatin1(c.date)) << c.k;
    }
}

TEST(RateGraph, ValueLabels)
{
    const struct {
        double value;
        const char *text;
    } formats[] = {{0, "0.0"},       {3.75, "3.8"},     {11.25, "11.3"},        {1.15, "1.2"},  {0.04, "0.0"},
                   {60, "60.0"},     {1234.5, "1234.5"}, {12345.67, "12345.7"}, {6.05, "6.1"}, {99.94, "99.9"}};
    for (const auto &c : formats)
        EXPECT_EQ(RateLabelText(c.value), QString::fromLatin1(c.text)) << c.value;

    // A steady contact a minute (60 an hour) and a long pause: 0 to 60 in sixteenths.
    std::vector<ContactRecord> r = Steady(kStart, 61, 60);
    r.push_back(Contact(kStart.addSecs(4 * 3600)));
    const RateGraph g = BuildRateGraph(r);
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(g.MinRate, 0);
    EXPECT_FLOAT_EQ(g.MaxRate, 60);
    const QStringList expected = {"0.0",  "3.8",  "7.5",  "11.3", "15.0", "18.8", "22.5", "26.3", "30.0",
                                  "33.8", "37.5", "41.3", "45.0", "48.8", "52.5", "56.3", "60.0"};
    for (int k = 0; k < kValueLabels; ++k)
        EXPECT_EQ(g.ValueLabels[size_t(k)], expected[k]) << k;
}

TEST(RateGraphFrame, SlotsAndValuesInsideTheFrame)
{
    RateGraph g;
    g.MinRate = 0;
    g.MaxRate = 60;
    const GraphFrame f{1000, 2500, 300, 1300};
    EXPECT_DOUBLE_EQ(f.SlotWidth(), 1.0);
    EXPECT_DOUBLE_EQ(f.SlotX(2, 10), 1010);
    EXPECT_DOUBLE_EQ(f.SlotX(1500, 10), 2508);
    // The lowest value sits just above the baseline, the highest just below the top.
    EXPECT_DOUBLE_EQ(f.ValueY(g, 0), 1297.5);
    EXPECT_DOUBLE_EQ(f.ValueY(g, 60), 1300 - 995 - 2.5);
    EXPECT_DOUBLE_EQ(f.ValueY(g, 30), 1300 - 497.5 - 2.5);
}
