// Where the spots go on a map: band limits, zoom, ticks, ages and the labels laid out.

#include "spotting/band_map.h"

#include "test_support.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QDateTime kNow(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);

// Adds spots oldest first; each is `age` seconds old now.
struct Spot {
    const char *call;
    float mhz;
    qint64 age = 60;
};

void Fill(SpotStore &store, std::initializer_list<Spot> spots)
{
    for (const Spot &s : spots) {
        const QString call = QString::fromLatin1(s.call);
        store.add(call, s.mhz, kNow.addSecs(-s.age), call.left(3));
    }
}

QStringList Captions(const AxisScale &s)
{
    return QStringList(s.captions.begin(), s.captions.end());
}

// Ten pixels per character, labels 12 high.
LabelMetrics TestMetrics()
{
    return {[](const QString &t) { return 10.0 * t.size(); }, 12};
}

AxisPlacement Axis(const QString &band, const SpotStore &store, double x1 = 20, double x2 = 820)
{
    AxisPlacement a;
    a.limits = BandMapLimits(band);
    a.scale = ScaleAxis(a.limits, store, kNow);
    a.x1 = x1;
    a.x2 = x2;
    a.y = 50;
    a.gap = 2;
    return a;
}

QStringList Calls(const QVector<MapLabel> &labels)
{
    QStringList out;
    for (const MapLabel &l : labels)
        out << l.call;
    return out;
}

}  // namespace

TEST(BandMapScale, ZoomsOntoTheSpotsOfTheBand)
{
    struct Case {
        const char *band;
        std::vector<Spot> spots;
        QStringList ticks;
    } cases[] = {
        // Two spots: a 1 kHz margin each side, labels on 2.5% and 97.5%.
        {"20", {{"QQ1AA", 14.021f}, {"QQ2BB", 14.059f}}, {"14.020", "14.030", "14.040", "14.050", "14.060"}},
        // One frequency only: the whole band.
        {"40", {{"QQ1AA", 7.150f}}, {"7.000", "7.075", "7.150", "7.225", "7.300"}},
        {"40", {{"QQ1AA", 7.150f}, {"QQ2BB", 7.150f}}, {"7.000", "7.075", "7.150", "7.225", "7.300"}},
        // Spots of other bands and on the band edges do not zoom.
        {"20", {{"QQ1AA", 7.050f}, {"QQ2BB", 14.000f}, {"QQ3CC", 14.100f}, {"QQ4DD", 14.350f}},
         {"14.000", "14.088", "14.175", "14.263", "14.350"}},
        {"160", {}, {"1.800", "1.850", "1.900", "1.950", "2.000"}},
        {"1.25", {}, {"219.000", "220.500", "222.000", "223.500", "225.000"}},
        // A band outside the table: a zero scale.
        {"30", {{"QQ1AA", 10.120f}}, {".000", ".000", ".000", ".000", ".000"}},
    };
    for (const Case &c : cases) {
        SpotStore store;
        for (const Spot &s : c.spots)
            Fill(store, {s});
        EXPECT_EQ(Captions(ScaleAxis(BandMapLimits(c.band), store, kNow)), c.ticks) << c.band;
    }
}

TEST(BandMapScale, ZoomLeavesOutExpiredSpotsAndCountsSlotZero)
{
    {
        // An hour-old spot far down the band is not drawn, so it must not widen the scale.
        SpotStore store;
        Fill(store, {{"QQ9OLD", 14.001f, 3600}, {"QQ1AA", 14.021f}, {"QQ2BB", 14.059f}});
        EXPECT_EQ(Captions(ScaleAxis(BandMapLimits("20"), store, kNow)),
                  QStringList({"14.020", "14.030", "14.040", "14.050", "14.060"}));
        EXPECT_EQ(Calls(LayOutLabels(store, {Axis("20", store)}, kNow, TestMetrics())),
                  QStringList({"QQ1AA", "QQ2BB"}));
    }
    {
        // The oldest slot is drawn, so it takes part in the zoom like every other slot.
        SpotStore store;
        store.add("QQ1AA", 14.010f, kNow.addSecs(-120), "QQ1");
        for (int i = 0; i < SpotStore::kSlots - 1; ++i)
            store.add("QQ2BB", 14.050f, kNow.addSecs(-60), "QQ2");
        ASSERT_EQ(store.slot(0).SpotCall, "QQ1AA");
        const AxisScale s = ScaleAxis(BandMapLimits("20"), store, kNow);
        EXPECT_EQ(Captions(s), QStringList({"14.009", "14.020", "14.030", "14.041", "14.051"}));
        const QVector<MapLabel> labels = LayOutLabels(store, {Axis("20", store)}, kNow, TestMetrics());
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_EQ(labels.first().slot, 0);
        EXPECT_EQ(labels.first().call, "QQ1AA");
    }
}

TEST(BandMapScale, TickCaptionsHaveThreeDecimalsAndNoLeadingZero)
{
    EXPECT_EQ(TickCaption(14.35), "14.350");
    EXPECT_EQ(TickCaption(0.5), ".500");
    EXPECT_EQ(TickCaption(0), ".000");
    EXPECT_EQ(TickCaption(7.0756), "7.076");
}

TEST(BandMapAges, ClassesAndColoursAtTheirBorders)
{
    struct Case {
        qint64 age;
        bool drawn;
        quint32 colour;
    } cases[] = {
        {0, true, 0x80FFFF},    {599, true, 0x80FFFF},  {600, true, 0xFFFFFF},
        {1799, true, 0xFFFFFF}, {1800, true, 0xC0C0C0}, {3599, true, 0xC0C0C0},
        {3600, false, 0},       {86400, false, 0},
        // A spot from a clock running ahead is new, not expired.
        {-30, true, 0x80FFFF},
    };
    for (const Case &c : cases) {
        SpotStore store;
        Fill(store, {{"QQ1AA", 14.025f, c.age}});
        const QVector<MapLabel> labels = LayOutLabels(store, {Axis("20", store)}, kNow, TestMetrics());
        ASSERT_EQ(labels.size(), c.drawn ? 1 : 0) << c.age;
        if (c.drawn) {
            EXPECT_EQ(labels[0].colour, c.colour) << c.age;
        }
    }
}

TEST(BandMapAges, AgesComeFromTheInstantNotTheZoneItIsWrittenIn)
{
    SpotStore store;
    store.add("QQ1AA", 14.025f, QDateTime(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC), "QQ1");
    // Ten minutes later, written in a zone four hours behind UTC: white, not expired.
    const QDateTime later(QDate(2009, 7, 1), QTime(14, 10, 0), QTimeZone(-4 * 3600));
    const QVector<MapLabel> labels = LayOutLabels(store, {Axis("20", store)}, later, TestMetrics());
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].colour, 0xFFFFFFu);
    EXPECT_EQ(labels[0].tip, "QQ1AA  14.025  18:00:00");
}

TEST(BandMapAges, AnExpiredSlotHidesEveryOlderSlot)
{
    // Slots keep arrival order: a spot taken in before an expired one is expired too,
    // even when a clock step gave it a later time.
    SpotStore store;
    Fill(store, {{"QQ1AA", 7.050f, 60}, {"QQ2BB", 14.030f, 3700}, {"QQ3CC", 14.040f, 100}});
    EXPECT_EQ(FirstLiveSlot(store, kNow), SpotStore::kSlots - 1);
    EXPECT_EQ(Calls(LayOutLabels(store, {Axis("40", store), Axis("20", store)}, kNow, TestMetrics())),
              QStringList({"QQ3CC"}));
    SpotStore fresh;
    EXPECT_EQ(FirstLiveSlot(fresh, kNow), 0);
}

TEST(BandMapLabels, SupersededAndRemovedSpotsAreNotDrawn)
{
    SpotStore store;
    Fill(store, {{"QQ1AA", 14.020f}, {"QQ2BB", 14.030f}, {"QQ1AA", 14.040f}, {"QQ3CC", 14.045f}});
    auto calls = [&] {
        QStringList out;
        for (const MapLabel &l : LayOutLabels(store, {Axis("20", store)}, kNow, TestMetrics()))
            out << l.call + QLatin1Char('@') + TickCaption(l.mhz);
        return out;
    };
    EXPECT_EQ(calls(), QStringList({"QQ2BB@14.030", "QQ1AA@14.040", "QQ3CC@14.045"}));
    ASSERT_TRUE(store.remove(SpotStore::kSlots - 2, "QQ1AA"));
    EXPECT_EQ(calls(), QStringList({"QQ2BB@14.030", "QQ3CC@14.045"}));
}

TEST(BandMapLabels, CentredOnTheirFrequencyAboveTheAxis)
{
    SpotStore store;
    Fill(store, {{"QQ1AA", 14.021f, 700}, {"QQ2BBB/P", 14.059f}});
    // Two axis lengths: positions follow the axis, widths follow the text.
    for (const double x2 : {820.0, 420.0}) {
        const AxisPlacement a = Axis("20", store, 20, x2);
        const QVector<MapLabel> l = LayOutLabels(store, {a}, kNow, TestMetrics());
        ASSERT_EQ(l.size(), 2);
        const double span = x2 - 20;
        EXPECT_NEAR(l[0].rect.center().x(), 20 + 0.025 * span, 0.01) << x2;
        EXPECT_NEAR(l[1].rect.center().x(), 20 + 0.975 * span, 0.01) << x2;
        EXPECT_DOUBLE_EQ(l[0].rect.width(), 30);
        EXPECT_DOUBLE_EQ(l[1].rect.bottom(), 50 - 2);
        EXPECT_DOUBLE_EQ(l[1].rect.height(), 12);
        EXPECT_EQ(l[0].colour, 0xFFFFFFu);
        EXPECT_EQ(l[1].colour, 0x80FFFFu);
        EXPECT_EQ(l[1].tip, "QQ2BBB/P  14.059  17:59:00");
    }
}

TEST(BandMapLabels, TheNewestIsOnTopWhereLabelsOverlap)
{
    SpotStore store;
    Fill(store, {{"QQ1AA", 14.0300f}, {"QQ2BB", 14.0301f}, {"QQ3CC", 14.2f}});
    const QVector<MapLabel> l = LayOutLabels(store, {Axis("20", store)}, kNow, TestMetrics());
    ASSERT_EQ(Calls(l), QStringList({"QQ1AA", "QQ2BB", "QQ3CC"}));
    ASSERT_TRUE(l[0].rect.intersects(l[1].rect));
    EXPECT_EQ(LabelAt(l, l[0].rect.center()), 1);
    EXPECT_EQ(LabelAt(l, l[2].rect.center()), 2);
    EXPECT_EQ(LabelAt(l, QPointF(0, 0)), -1);
    // The keyboard reaches both, by frequency.
    EXPECT_EQ(ReadingOrder(l), QVector<int>({0, 1, 2}));
}

TEST(SpectrumRows, ElevenBandsWithTheirLimits)
{
    const auto &rows = SpectrumRows();
    const double limits[kSpectrumRows][2] = {{1.8, 2},     {3.5, 4},       {7, 7.3},   {10.1, 10.15},
                                             {14, 14.35},  {18.068, 18.168}, {21, 21.45}, {24.89, 24.99},
                                             {28, 29.7},   {50, 54},       {144, 148}};
    for (int k = 0; k < kSpectrumRows; ++k) {
        EXPECT_DOUBLE_EQ(rows[size_t(k)].limits.low, limits[k][0]) << k;
        EXPECT_DOUBLE_EQ(rows[size_t(k)].limits.high, limits[k][1]) << k;
    }
    EXPECT_EQ(rows[3].name, "30 m");
    struct Case {
        float mhz;
        int row;
    } cases[] = {{1.85f, 0},  {10.120f, 3}, {14.000f, -1}, {14.001f, 4}, {18.1f, 5},
                 {24.95f, 7}, {29.7f, -1},  {146.0f, 10},  {5.0f, -1},   {0.0f, -1}};
    for (const Case &c : cases)
        EXPECT_EQ(SpectrumRowOf(c.mhz), c.row) << c.mhz;
}

TEST(SpectrumRows, EachRowZoomsOnItsOwnSpots)
{
    SpotStore store;
    Fill(store, {{"QQ1AA", 18.070f}, {"QQ2BB", 18.160f}, {"QQ3CC", 10.120f}});
    const auto &rows = SpectrumRows();
    EXPECT_EQ(ScaleAxis(rows[5].limits, store, kNow).captions.front(), "18.069");
    EXPECT_EQ(ScaleAxis(rows[5].limits, store, kNow).captions.back(), "18.161");
    EXPECT_EQ(Captions(ScaleAxis(rows[3].limits, store, kNow)),
              QStringList({"10.100", "10.113", "10.125", "10.138", "10.150"}));
    // The main band map has no 30 m band.
    EXPECT_TRUE(LayOutLabels(store, {Axis("30", store)}, kNow, TestMetrics()).isEmpty());
}
