#include "logcore/contact_log.h"
#include "logcore/dupes.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactLog makeLog(std::initializer_list<std::array<const char *, 4>> rows)
{
    std::vector<ContactRecord> records;
    for (const auto &row : rows) {
        ContactRecord r;
        r.Call = row[0];
        r.Band = row[1];
        r.Mode = row[2];
        r.ExchangeRcvd = row[3];
        r.QsoDate = "2009/07/01";
        r.QsoTime = "18:06:01";
        records.push_back(r);
    }
    return ContactLog(std::move(records));
}

}  // namespace

TEST(DupCheckRule, SameCallBandAndModeOnly)
{
    const ContactLog log = makeLog({{"W1AW", "20", "CW", "12"},
                                    {"W1AW", "20", "PH", "13"},
                                    {"VE3XYZ", "40", "CW", "ON"},
                                    {"W1AW", "20", "CW", "14"}});
    struct Case {
        const char *call, *band, *mode;
        int dupe;
    };
    const Case cases[] = {
        {"W1AW", "20", "CW", 1},  // the lower record number is named
        {"w1aw", "20", "cw", 1},  {"W1AW", "20", "PH", 2}, {"W1AW", "40", "CW", 0},
        {"W1AW", "15", "PH", 0},  {"W1A", "20", "CW", 0},  {"W1AWX", "20", "CW", 0},
        {"VE3XYZ", "40", "CW", 3}, {"", "20", "CW", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FindDupe(log, c.call, c.band, c.mode), c.dupe) << c.call << " " << c.band << " " << c.mode;
    // A mode outside CW and PH matches only its own text.
    const ContactLog other = makeLog({{"W1AW", "20", "SSB", "12"}});
    EXPECT_EQ(FindDupe(other, "W1AW", "20", "PH"), 0);
    EXPECT_EQ(FindDupe(other, "W1AW", "20", "ssb"), 1);
    EXPECT_EQ(PartialDupeList(other, "W", "20", "PH"), "");
    EXPECT_EQ(PartialDupeList(other, "W", "20", "SSB"), "W1AW ");
    EXPECT_EQ(DupeMessage(log, 1), "Duplicate W1AW 2009/07/01 18:06:01  Rec#  1");
    EXPECT_EQ(PreviousContacts(log, "w1aw"), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(PreviousContacts(log, "K1ZZ").empty());
}

TEST(PartialDupes, CurrentBandAndModeLatestFirstAndCapped)
{
    const ContactLog log = makeLog({{"W1AW", "20", "CW", "1"},
                                    {"W1XYZ", "20", "CW", "2"},
                                    {"W1ABC", "40", "CW", "3"},
                                    {"W1DEF", "20", "PH", "4"},
                                    {"K1W1", "20", "CW", "5"}});
    EXPECT_EQ(PartialDupeList(log, "W1", "20", "CW"), "W1XYZ W1AW ");
    EXPECT_EQ(PartialDupeList(log, "w1a", "20", "cw"), "W1AW ");
    EXPECT_EQ(PartialDupeList(log, "W1", "40", "PH"), "");
    EXPECT_EQ(PartialDupeList(log, "W1", "99", "CW"), "");

    // Many matches: the search stops once the list passes 100 characters.
    std::vector<ContactRecord> many;
    for (int i = 0; i < 200; ++i) {
        ContactRecord r;
        r.Call = QStringLiteral("K%1AB").arg(i, 3, 10, QLatin1Char('0'));
        r.Band = "20";
        r.Mode = "CW";
        many.push_back(r);
    }
    ContactLog big;
    big.setRecords(many);
    const QString list = PartialDupeList(big, "K", "20", "CW");
    EXPECT_GT(list.size(), 100);
    EXPECT_LE(list.size(), 100 + 7);
    // Newest of those found comes first.
    EXPECT_TRUE(list.startsWith("K014AB K013AB ")) << list.toStdString();
    EXPECT_TRUE(list.endsWith("K000AB "));
}

TEST(ProvinceTotals, CountEveryBandAndMode)
{
    const ContactLog log = makeLog({{"VE3A", "20", "CW", "ON"},
                                    {"VE3B", "40", "PH", "on"},
                                    {"VE2C", "40", "PH", "QC"},
                                    {"W1AW", "20", "CW", "12"}});
    EXPECT_EQ(ProvinceTotal(log, "ON"), 2);
    EXPECT_EQ(ProvinceTotal(log, "QC"), 1);
    EXPECT_EQ(ProvinceTotal(log, "NU"), 0);
}
