// The contact being typed, without a window: what it pre-fills, how it numbers and
// checks a contact, and the record it becomes.

#include "logcore/contact_entry.h"
#include "logcore/preferences.h"
#include "logcore/prefix_table.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactRecord logged(const QString &call, const QString &exchange, const QString &band = "20",
                     const QString &mode = "CW", const QString &serial = {})
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = "599";
    r.SerialSent = serial;
    r.ReportSent = "599";
    r.ExchangeRcvd = exchange;
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:04:27";
    r.Mode = mode;
    r.Band = band;
    r.Points = 10;
    r.Country = "Canada";
    return r;
}

// An entry over a log and the real prefix table, at the station of the examples
// (southern Ontario), on 20 m CW.
struct Desk {
    Preferences prefs;
    ContactLog log;
    PrefixTable prefixes;
    ContactEntry entry{prefs, log, prefixes};

    Desk()
    {
        prefs.CurrentBand = "20";
        prefs.CurrentMode = "CW";
        prefs.MyProvince = "ON";
        prefs.MyLatitude = 44.35;
        prefs.MyLongitude = 78.75;
        LoadPrefixTable(prefixes, QStringLiteral(ZEV_BUILD_DIR), {}, {});
    }
    void type(const QString &call, const QString &rstr, const QString &exchange, const QString &rsts)
    {
        entry.setCall(call);
        entry.setReportRcvd(rstr);
        entry.setExchange(exchange);
        entry.setReportSent(rsts);
    }
};

}  // namespace

TEST(ContactEntryPrefill, ReportsFollowTheModeAndTheProvinceFollowsTheCall)
{
    struct Case {
        const char *mode, *call, *exchange, *report, *province;
    };
    const Case cases[] = {
        {"CW", "VE3ABC", "", "599", "ON"},
        {"cw", "vy1aa", "", "599", "YT"},   // letter case plays no part
        {"PH", "VA7XYZ", "", "59", "BC"},
        {"PH", "K1ABC", "", "59", ""},      // no Canadian prefix
        {"CW", "VE3ABC", "QC", "599", ""},  // a typed exchange is kept
        {"CW", "VE", "", "599", ""},        // too short to say
    };
    for (const Case &c : cases) {
        Desk d;
        d.prefs.CurrentMode = c.mode;
        d.type(c.call, {}, c.exchange, {});
        const EntryPrefill p = d.entry.prefill();
        EXPECT_EQ(p.report, c.report) << c.call;
        EXPECT_EQ(p.province, c.province) << c.call;
    }
}

TEST(ContactEntrySerial, TheNextSerialFollowsTheLastRecordAndAnyChangeOfTheLog)
{
    struct Case {
        int inCanada;
        std::vector<const char *> serials;  // serials sent of the records in the log
        const char *sent;
    };
    const Case cases[] = {
        {0, {}, "1"},
        {0, {"1", "2", "5"}, "6"},
        {0, {"7", ""}, "1"},  // the last record sent no number
        {0, {"999"}, "1000"},
        {1, {"5"}, "ON"},     // in Canada the province is sent
    };
    for (const Case &c : cases) {
        Desk d;
        d.prefs.InCanada = c.inCanada;
        std::vector<ContactRecord> records;
        for (const char *s : c.serials)
            records.push_back(logged("K1ABC", "12", "20", "CW", s));
        d.log.setRecords(records);
        EXPECT_EQ(d.entry.exchangeSent(), c.sent) << c.serials.size();
    }

    // Whatever adds, changes or removes a contact, the entry's serial follows.
    Desk d;
    d.prefs.InCanada = 0;
    d.log.setRecords({});
    EXPECT_EQ(d.entry.exchangeSent(), "1");
    d.log.append(logged("K1ABC", "12", "20", "CW", "1"));
    EXPECT_EQ(d.entry.exchangeSent(), "2");
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ASSERT_TRUE(RewriteLog(path, d.log.records(), nullptr));
    ASSERT_TRUE(d.log.replace(path, 1, logged("K1ABC", "12", "20", "CW", "41"), nullptr));
    EXPECT_EQ(d.entry.exchangeSent(), "42");
    ASSERT_TRUE(d.log.remove(path, 1, nullptr));
    EXPECT_EQ(d.entry.exchangeSent(), "1");
}

TEST(ContactEntryLookup, CountryContinentHeadingAndDistanceComeFromTheCall)
{
    struct Case {
        const char *call, *country, *continent, *heading, *distance;
    };
    const Case cases[] = {
        {"JA1ABC", "Japan", "AS", "331 ", "6,388 "},
        {"VE3ABC", "Canada", "NA", "", ""},  // the prefix's spot is the station's own
        {"G4ABC", "England", "EU", "51 ", "3,405 "},
    };
    Desk d;
    ASSERT_GT(d.prefixes.PrefixCount(), 1000);
    for (const Case &c : cases) {
        d.entry.setCall(c.call);
        EXPECT_EQ(d.entry.country(), c.country) << c.call;
        EXPECT_EQ(d.entry.continent(), c.continent) << c.call;
        EXPECT_EQ(d.entry.heading(), c.heading) << c.call;
        EXPECT_EQ(d.entry.distance(), c.distance) << c.call;
    }
    // An emptied call box keeps what was shown until the entry is cleared.
    d.entry.setCall({});
    EXPECT_EQ(d.entry.country(), "England");
    d.entry.clear();
    EXPECT_EQ(d.entry.country(), "");
    EXPECT_EQ(d.entry.heading(), "");
}

TEST(ContactEntryCheck, EachOutcomeOfTheCheckInTheOrderItIsTold)
{
    using F = EntryField;
    struct Case {
        const char *call, *rstr, *exchange, *rsts;
        std::vector<EntryProblem> incomplete;
        bool badProvince;
        const char *exchangeAfter;
    };
    const Case cases[] = {
        {"VE3ABC", "599", "on", "599", {}, false, "ON"},
        {"K1ABC", "599", "12", "599", {}, false, "12"},
        {"VE3ABC", "", "ON", "599", {{F::ReportRcvd, "Report Received!"}}, false, "ON"},
        {"VE", "599", "ON", "599", {{F::Call, "Need Call Sign!"}}, false, "ON"},
        {"VE3ABC", "599", "ON", "", {{F::ReportSent, "Need Report Sent!"}}, false, "ON"},
        {"VE3ABC", "599", "XX", "599", {}, true, "XX"},
        {"VE3ABC", "599", "qq", "599", {}, true, "QQ"},
        {"",
         "",
         "",
         "",
         {{F::ReportRcvd, "Report Received!"},
          {F::Call, "Need Call Sign!"},
          {F::Exchange, "Need Province or Serial Number!"},
          {F::ReportSent, "Need Report Sent!"}},
         true,
         ""},
    };
    for (const Case &c : cases) {
        Desk d;
        d.type(c.call, c.rstr, c.exchange, c.rsts);
        const EntryVerdict v = d.entry.validate();
        EXPECT_EQ(v.incomplete, c.incomplete) << c.call << "/" << c.exchange;
        EXPECT_EQ(v.badProvince, c.badProvince) << c.call << "/" << c.exchange;
        EXPECT_EQ(v.loggable(), c.incomplete.empty() && !c.badProvince);
        EXPECT_EQ(d.entry.exchange(), c.exchangeAfter);
        EXPECT_EQ(d.entry.complete(), c.incomplete.empty() && !c.badProvince) << c.call << "/" << c.exchange;
    }

    // A valid province without a continent from the prefix is North American.
    Desk d;
    d.type("XX9XX", "599", "ON", "599");
    d.entry.clearLookup();
    ASSERT_TRUE(d.entry.validate().loggable());
    EXPECT_EQ(d.entry.continent(), "NA");
}

TEST(ContactEntryCheck, ADuplicateIsTheSameCallOnTheSameBandAndMode)
{
    Desk d;
    d.log.setRecords({logged("K1ABC", "12", "40"), logged("VE3ABC", "ON", "40", "PH"),
                      logged("VE3ABC", "ON", "20"), logged("VE3ABC", "QC", "15")});
    struct Case {
        const char *call, *band, *mode;
        int dupe;
        std::vector<int> previous;
    };
    const Case cases[] = {
        {"VE3ABC", "20", "CW", 3, {2, 3}},  // earlier contacts up to the duplicate
        {"ve3abc", "20", "cw", 3, {2, 3}},
        {"VE3ABC", "40", "CW", 0, {2, 3, 4}},
        {"VE3ABC", "40", "PH", 2, {2}},
        {"VE3AB", "20", "CW", 0, {}},
    };
    for (const Case &c : cases) {
        d.prefs.CurrentBand = c.band;
        d.prefs.CurrentMode = c.mode;
        d.entry.setCall(c.call);
        EXPECT_EQ(d.entry.duplicateOf(), c.dupe) << c.call << " " << c.band << " " << c.mode;
        EXPECT_EQ(d.entry.previousContacts(d.entry.duplicateOf()), c.previous) << c.call << " " << c.band;
    }
    // The province of the first earlier contact that gave one.
    d.entry.setCall("VE3ABC");
    EXPECT_EQ(d.entry.knownProvince({1, 3, 4}), "ON");
    EXPECT_EQ(d.entry.knownProvince({1}), "");
}

TEST(ContactEntryCheck, AKeyInTheCallBoxFindsPartialDuplicatesAndCallsWithoutADigit)
{
    using S = CallKeyCheck::Shape;
    struct Case {
        const char *call;
        char key;
        bool searchLog;
        const char *mode;
        bool searched;
        const char *partials;
        S shape;
    };
    const Case cases[] = {
        {"VE3A", 'B', true, "CW", true, "VE3ABD VE3ABC ", S::NotYet},  // the latest first
        {"ve3ab", 'C', true, "CW", true, "VE3ABC ", S::NotYet},
        {"VE3AB", 'c', true, "CW", false, "", S::NotYet},  // the box gives capitals only
        {"VE", '3', true, "CW", true, "VE3ABD VE3ABC ", S::Numeric},
        {"VE", 'X', true, "CW", true, "", S::NotNumeric},
        {"K", 'A', true, "CW", true, "", S::NotYet},
        {"K/", 'A', true, "CW", true, "", S::Numeric},
        {"V3", 'X', true, "CW", true, "", S::Numeric},
        {"VE3A", 'B', false, "CW", true, "", S::NotYet},  // the list is off
        {"VE3A", 'B', true, "PH", true, "", S::NotYet},   // another mode
        {"VE", ',', true, "CW", false, "", S::NotYet},    // no call holds a comma
    };
    for (const Case &c : cases) {
        Desk d;
        d.log.setRecords({logged("VE3ABC", "ON"), logged("K1ABC", "12"), logged("VE3ABD", "ON")});
        d.prefs.CurrentMode = c.mode;
        d.entry.setCall(c.call);
        const CallKeyCheck k = d.entry.checkCallKey(QLatin1Char(c.key), c.searchLog);
        EXPECT_EQ(k.searched, c.searched) << c.call << c.key;
        EXPECT_EQ(k.partials, c.partials) << c.call << c.key;
        EXPECT_EQ(k.shape, c.shape) << c.call << c.key;
    }
}

TEST(ContactEntryRecord, TheLoggedRecordHoldsEveryFieldOfTheEntry)
{
    struct Case {
        int inCanada;
        const char *call, *exchange;
        ContactRecord expected;
    };
    const Case cases[] = {
        {0,
         "VE3ABC",
         "ON",
         {"VE3ABC", "579", "8", "559", "ON", "2009/07/01", "18:04:27", "CW", "20", 10, "14.025", "Canada"}},
        {1,
         "K1ABC",
         "12",
         {"K1ABC", "579", "", "559", "12", "2009/07/01", "18:04:27", "CW", "20", 2, "14.025", "USA"}},
    };
    for (const Case &c : cases) {
        Desk d;
        d.prefs.InCanada = c.inCanada;
        d.log.setRecords({logged("W1AW", "12", "40", "CW", "7")});
        d.type(c.call, "579", c.exchange, "559");
        d.entry.setPower("100W");
        d.entry.setFrequencyHz(14025000);
        const ContactRecord r = d.entry.record(QDateTime(QDate(2009, 7, 1), QTime(18, 4, 27), Qt::UTC));
        EXPECT_EQ(r, c.expected) << c.call;
    }
}

TEST(ContactEntryFrequency, ARigReadingInHertzGivesTheRecordsTextAndTheBand)
{
    struct Case {
        qint64 hz;
        const char *text, *band;
    };
    const Case cases[] = {
        {14025000, "14.025", "20"},  {7000000, "7.000", "40"}, {1812345, "1.812", "160"},
        {50125000, "50.125", "6"},   {475000, ".475", ""},     {28499996, "28.500", "10"},
    };
    for (const Case &c : cases) {
        Desk d;
        d.entry.setFrequencyHz(c.hz);
        EXPECT_EQ(d.entry.frequencyHz(), c.hz);
        EXPECT_EQ(d.entry.frequencyText(), c.text) << c.hz;
        EXPECT_EQ(d.entry.frequencyBand(), c.band) << c.hz;
    }
    Desk d;
    d.entry.setFrequencyHz(14025000);
    d.entry.clearFrequency();
    EXPECT_EQ(d.entry.frequencyText(), "");
    EXPECT_EQ(d.entry.frequencyBand(), "");
}
