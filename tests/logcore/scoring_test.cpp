#include "logcore/contact_log.h"
#include "logcore/scoring.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(ContactPoints, PrefixSerialAndBonusRules)
{
    struct Case {
        const char *call;
        const char *exchange;
        double points;
    };
    const Case cases[] = {
        {"VE3ABC", "ON", 10},   {"W1AW", "123", 2},    {"VE0XYZ", "5", 10},    {"VK2ABC", "12", 2},
        {"VA3ZEV", "ON", 20},   {"va3zev", "ON", 20},  {"VE3ZEV", "ON", 10},   {"VA3ZEV/P", "ON", 10},
        {"VY0ZEV", "NU", 20},   {"XK2ABC", "7", 2},    {"XK2ABC", "QC", 10},   {"CY0AA", "NS", 10},
        {"XM3A", "ON", 10},     {"CZ2A", "BC", 10},    {"K1ABC", "ON", 2},     {"VE", "ON", 2},
        {"C6", "12", 2},        {"VA3ZEV", "12", 20},  {"G4ABC", "", 2},       {"VE3ABC", "", 10},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ContactPoints(c.call, c.exchange), c.points) << c.call << " " << c.exchange;
}

TEST(Multipliers, OncePerBandAndModeFromProvincesOnly)
{
    auto rec = [](const char *call, const char *ex, const char *band, const char *mode) {
        ContactRecord r;
        r.Call = call;
        r.ExchangeRcvd = ex;
        r.Band = band;
        r.Mode = mode;
        r.Points = ContactPoints(call, ex);
        return r;
    };
    std::vector<ContactRecord> records;
    // Ten 10-point contacts: three provinces on 20 m CW, one on 40 m phone.
    const char *const provinces20[] = {"ON", "ON", "QC", "BC", "on", "QC", "BC", "ON", "QC"};
    for (const char *p : provinces20)
        records.push_back(rec("VE3ABC", p, "20", "CW"));
    records.push_back(rec("VE7ABC", "BC", "40", "PH"));
    records.push_back(rec("W1AW", "123", "20", "CW"));     // serial: points, no multiplier
    records.push_back(rec("VE3ABC", "ON", "12", "CW"));    // unknown band: no multiplier
    records.back().Points = 0;
    records.push_back(rec("VE3ABC", "ON", "20", "ph"));    // lower-case mode counts as phone
    records.back().Points = 0;

    ContactLog log;
    log.setRecords(records);
    EXPECT_EQ(log.TotalPoints, 102);
    EXPECT_EQ(log.mults.TotalMultipliers(), 5);
    EXPECT_EQ(log.mults.worked(3, 0), (QStringList{"ON", "QC", "BC"}));
    EXPECT_EQ(log.mults.worked(2, 1), QStringList{"BC"});
    EXPECT_EQ(log.mults.worked(3, 1), QStringList{"ON"});
    EXPECT_TRUE(log.mults.worked(2, 0).isEmpty());

    // Appending keeps the same totals as a fresh reading.
    ContactLog grown;
    for (const ContactRecord &r : records)
        grown.append(r);
    EXPECT_EQ(grown.TotalPoints, log.TotalPoints);
    EXPECT_EQ(grown.mults.TotalMultipliers(), log.mults.TotalMultipliers());
    EXPECT_EQ(grown.slot(1), 3 * 2 + 0);
    EXPECT_EQ(grown.slot(12), -1);
}

TEST(Multipliers, ASetNeverGrowsPastThirty)
{
    MultiplierSets sets;
    for (int i = 0; i < 40; ++i) {
        ContactRecord r;
        r.ExchangeRcvd = QStringLiteral("X%1").arg(i);
        r.Band = "20";
        r.Mode = "CW";
        sets.Tally(r);
    }
    EXPECT_EQ(sets.worked(3, 0).size(), MultiplierSets::kMaxPerSet);
    EXPECT_EQ(sets.TotalMultipliers(), MultiplierSets::kMaxPerSet);
}

TEST(ScoreText, GroupedByThousands)
{
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1000), "1,000");
    EXPECT_EQ(GroupedNumber(45760000), "45,760,000");
    EXPECT_EQ(GroupedNumber(-1234), "-1,234");
}
