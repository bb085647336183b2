// The last fifty spots: shifted in arrival order, a newer spot of a call hides the older one.

#include "spotting/spot_store.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using zev::SpotStore;

namespace {

const QDateTime kT0 = QDateTime(QDate(2026, 7, 1), QTime(18, 0), Qt::UTC);

void Add(SpotStore &s, const QString &call, float mhz, int minute = 0)
{
    s.add(call, mhz, kT0.addSecs(60 * minute), call.left(2));
}

}  // namespace

TEST(SpotStoreTest, ANewerSpotOfTheSameCallHidesTheOlderOne)
{
    SpotStore s;
    QSignalSpy changed(&s, &SpotStore::changed);
    Add(s, "K1ABC", 14.025f);
    Add(s, "JA1XYZ", 14.030f);
    Add(s, "k1abc", 14.031f);  // letter case does not matter
    EXPECT_EQ(s.slot(49).SpotCall, "k1abc");
    EXPECT_EQ(s.slot(49).SpotFreq, 14.031f);
    EXPECT_EQ(s.slot(48).SpotFreq, 14.030f);
    EXPECT_EQ(s.slot(47).SpotCall, "K1ABC");
    EXPECT_EQ(s.slot(47).SpotFreq, 0.0f);
    EXPECT_EQ(changed.count(), 3);
}

TEST(SpotStoreTest, FiftySpotsAreKeptAndAnOlderSpotInSlotZeroStaysDrawn)
{
    SpotStore s;
    Add(s, "K1ABC", 14.025f);
    for (int i = 0; i < 48; ++i)
        Add(s, QStringLiteral("W%1AA").arg(i), 14.0f + 0.001f * float(i), i + 1);
    ASSERT_EQ(s.slot(1).SpotCall, "K1ABC");
    // A new spot of the same call moves the old one to slot 0, which is not looked at: the
    // old one keeps its frequency until it is shifted out.
    Add(s, "K1ABC", 14.026f, 50);
    EXPECT_EQ(s.slot(49).SpotCall, "K1ABC");
    ASSERT_EQ(s.slot(0).SpotCall, "K1ABC");
    EXPECT_EQ(s.slot(0).SpotFreq, 14.025f);
    Add(s, "N0XX", 7.0f, 51);
    EXPECT_EQ(s.slot(0).SpotCall, "W0AA");
}

TEST(SpotStoreTest, RemovingTakesOnlyTheSpotShownThere)
{
    SpotStore s;
    Add(s, "K1ABC", 14.025f);
    EXPECT_FALSE(s.remove(49, "JA1XYZ"));  // the slot holds another call by now
    EXPECT_EQ(s.slot(49).SpotFreq, 14.025f);
    EXPECT_TRUE(s.remove(49, "K1ABC"));
    EXPECT_EQ(s.slot(49).SpotFreq, 0.0f);
    EXPECT_FALSE(s.remove(49, "K1ABC"));
    EXPECT_FALSE(s.remove(50, "K1ABC"));
    EXPECT_FALSE(s.remove(-1, "K1ABC"));
}
