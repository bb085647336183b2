#include "logcore/contact_log.h"
#include "logcore/contest_clock.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactLog logAt(const QDateTime &nowUtc, std::initializer_list<int> minutesAgo)
{
    std::vector<ContactRecord> records;
    // Oldest first, as logged.
    std::vector<int> ages(minutesAgo);
    std::sort(ages.rbegin(), ages.rend());
    for (int m : ages) {
        ContactRecord r;
        const QDateTime t = nowUtc.addSecs(-60 * m);
        r.QsoDate = t.toString("yyyy/MM/dd");
        r.QsoTime = t.toString("HH:mm:ss");
        records.push_back(r);
    }
    return ContactLog(std::move(records));
}

}  // namespace

TEST(Rates, LastTwentyTimesThreeAndLastSixty)
{
    const QDateTime now(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);
    std::optional<Rates> r = TimeStats(logAt(now, {5, 15, 30, 70}), now);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->last20, 6);
    EXPECT_EQ(r->last60, 3);

    r = TimeStats(logAt(now, {}), now);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->last20, 0);
    EXPECT_EQ(r->last60, 0);

    // Exactly 20 and 60 minutes old are outside their windows.
    r = TimeStats(logAt(now, {20, 60}), now);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->last20, 0);
    EXPECT_EQ(r->last60, 1);
}

TEST(Rates, UnreadableRecordLeavesTheDisplays)
{
    const QDateTime now(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);
    ContactLog log = logAt(now, {5});
    std::vector<ContactRecord> records = log.records();
    records.front().QsoTime = "late";
    log.setRecords(records);
    EXPECT_FALSE(TimeStats(log, now).has_value());
    // A paper-log time without seconds reads.
    records.front().QsoTime = "17:55";
    log.setRecords(records);
    ASSERT_TRUE(TimeStats(log, now).has_value());
    EXPECT_EQ(TimeStats(log, now)->last20, 3);
}

TEST(UtcRule, FractionalOffsetCrossesMidnight)
{
    const QDateTime local(QDate(2009, 7, 1), QTime(21, 0, 0));
    const QDateTime utc = UtcFromLocal(local, 3.5);
    EXPECT_EQ(utc.toString("yyyy/MM/dd HH:mm:ss"), "2009/07/02 00:30:00");
    EXPECT_EQ(UtcFromLocal(local, -5).toString("yyyy/MM/dd HH:mm"), "2009/07/01 16:00");
    EXPECT_EQ(UtcClockText(QTime(21, 0, 0), 3.5), "00:30:00");
    EXPECT_EQ(UtcClockText(QTime(1, 0, 5), -5), "20:00:05");
}

TEST(ClockText, LocalTwelveHourClock)
{
    EXPECT_EQ(LocalClockText(QTime(0, 5, 9)), "12:05:09");
    EXPECT_EQ(AmPmText(QTime(0, 5, 9)), "AM");
    EXPECT_EQ(LocalClockText(QTime(13, 45, 0)), "1:45:00");
    EXPECT_EQ(AmPmText(QTime(13, 45, 0)), "PM");
    EXPECT_EQ(LocalClockText(QTime(12, 0, 0)), "12:00:00");
    EXPECT_EQ(AmPmText(QTime(12, 0, 0)), "PM");
}

TEST(UtcOffsetQuestion, PromptNamesBothClocksAndBothOffsets)
{
    const QString p = UtcOffsetPrompt(QDateTime(QDate(2009, 7, 1), QTime(18, 4)), QDateTime(QDate(2009, 7, 1), QTime(14, 4)), 4, 5);
    EXPECT_EQ(p, "Would you like to adjust the UTC offset in this program for your local time setting?\n\n"
                 "Current System Time: 18:04\n\nCurrent Local Time: 14:04\n\nRecommended Offset Setting: 4\n\n"
                 "Current Offset Setting: 5\n\n"
                 "Please click OK to accept the recommended change or Cancel to keep the current setting.");
}
