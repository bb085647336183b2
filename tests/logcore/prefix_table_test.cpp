#include "logcore/prefix_table.h"

#include "test_support.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using zev::HDCalc;
using zev::LoadPrefixTable;
using zev::LookupPrefix;
using zev::PrefixEntry;
using zev::PrefixTable;

namespace {

constexpr double kMyLat = 44.35, kMyLon = 78.75;  // southern Ontario, longitude positive west

PrefixEntry Entry(const char *prefix, const char *country, const char *continent, double lat,
                  double lon)
{
    PrefixEntry e;
    e.Prefix = QString::fromLatin1(prefix);
    e.CountryName = QString::fromLatin1(country);
    e.Continent = QString::fromLatin1(continent);
    e.Latitude = lat;
    e.Longitude = lon;
    return e;
}

// Large enough that the first guess lands inside letter blocks rather than at entry 1:
// the named entries plus fillers "AQA".."YQZ" (none starts with Z).
PrefixTable LookupTable()
{
    PrefixTable t;
    t.entries = {
        Entry("3A", "Monaco", "EU", 43.73, -7.40),
        Entry("4X", "Israel", "AS", 31.32, -34.82),
        Entry("9A", "Croatia", "EU", 45.18, -15.30),
        Entry("K", "USA", "NA", 37.60, 91.87),
        Entry("KG4", "Guantanamo Bay", "NA", 20.00, 75.00),
        Entry("N", "USA", "NA", 37.60, 91.87),
        Entry("V", "Vland", "OC", -10.0, -150.0),
        Entry("VE", "Canada", "NA", 53.0, 100.0),
        Entry("VE8", "Northwest Territories", "NA", 65.0, 115.0),
        Entry("W", "USA", "NA", 37.60, 91.87),
    };
    for (char l = 'A'; l <= 'Y'; ++l)
        for (char m = 'A'; m <= 'Z'; ++m) {
            const char p[] = {l, 'Q', m, 0};
            t.entries.push_back(Entry(p, "Filler", "XX", 0, 0));
        }
    std::sort(t.entries.begin(), t.entries.end(), [](const PrefixEntry &a, const PrefixEntry &b) {
        return a.Prefix.toLatin1() < b.Prefix.toLatin1();
    });
    return t;
}

QString RealTablePath() { return QStringLiteral(ZEV_BUILD_DIR "/arrlpre2.txt"); }

QString Row(const char *prefix, const char *country)
{
    return QStringLiteral("\"%1\",\"%2\",\"NA\",78.75,44.35,5,9,1\r\n")
        .arg(QString::fromLatin1(prefix), QString::fromLatin1(country));
}

}  // namespace

TEST(LookupPrefix, FindsLongestPrefixWithinTheLetterBlock)
{
    PrefixTable table = LookupTable();
    struct Case {
        const char *call;
        const char *country;
        const char *entryPrefix;  // nullptr: not found
    };
    const Case cases[] = {
        {"VE8ABC", "Northwest Territories", "VE8"},
        {"VE3ABC", "Canada", "VE"},
        {"VK2ABC", "Vland", "V"},
        {"ve3abc", "Canada", "VE"},
        {"W1AW/VE3", "Canada", "VE"},   // operated from Canada
        {"w1aw/ve3", "Canada", "VE"},
        {"W1AW/P", "USA", "W"},         // one letter after the slash: whole call
        {"VE3/W1AW", "Canada", "VE"},   // suffix not shorter than half: whole call
        {"4X1AB", "Israel", "4X"},      // first guess lands in A..: scans down
        {"3A2XX", "Monaco", "3A"},
        {"9A1AA", "Croatia", "9A"},
        {"KG4AB", "Guantanamo Bay", "KG4"},
        {"KG4", "Guantanamo Bay", "KG4"},
        {"KG4ABC", "USA", "K"},         // KG4 + 1 or 3 letters is stateside
        {"KG4A", "USA", "K"},
        {"kg4abc", "USA", "K"},
        {"N1XX", "USA", "N"},
        {"ZZ1ZZ", "Not Found", nullptr},
        {"1ABC", "Not Found", nullptr},
        {"[", "Not Found", nullptr},
        {"~X", "Not Found", nullptr},
        {"\xe9t\xe9", "Not Found", nullptr},  // first character far above Z
    };
    // Read from the entries as built, then through the packed keys a loaded table has.
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "indexed" : "entries only");
        if (indexed)
            table.Reindex();
        for (const Case &c : cases) {
            SCOPED_TRACE(c.call);
            const auto d = LookupPrefix(table, QString::fromLatin1(c.call), kMyLat, kMyLon);
            ASSERT_TRUE(d.has_value());
            EXPECT_EQ(d->country, QString::fromLatin1(c.country));
            if (!c.entryPrefix) {
                EXPECT_EQ(d->entry, 0);
                EXPECT_TRUE(d->continent.isEmpty());
                EXPECT_TRUE(d->heading.isEmpty());
                EXPECT_TRUE(d->distance.isEmpty());
                continue;
            }
            ASSERT_GE(d->entry, 1);
            ASSERT_LE(d->entry, table.PrefixCount());
            const PrefixEntry &e = table.entries[size_t(d->entry - 1)];
            EXPECT_EQ(e.Prefix, QString::fromLatin1(c.entryPrefix));
            // Continent, heading and distance all come from the entry used.
            EXPECT_EQ(d->continent, e.Continent);
            const zev::HeadingDistance hd = HDCalc(kMyLat, kMyLon, e.Latitude, e.Longitude);
            EXPECT_FALSE(hd.heading.isEmpty());
            EXPECT_EQ(d->heading, hd.heading);
            EXPECT_EQ(d->distance, hd.distance);
        }
    }
}

TEST(LookupPrefix, EmptyCallAndSmallTables)
{
    EXPECT_FALSE(LookupPrefix(LookupTable(), QString(), kMyLat, kMyLon).has_value());

    const PrefixTable empty;
    for (const char *call : {"W1AW", "A", "[", "4X1AB"}) {
        SCOPED_TRACE(call);
        const auto d = LookupPrefix(empty, QString::fromLatin1(call), kMyLat, kMyLon);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->country, QStringLiteral("Not Found"));
        EXPECT_EQ(d->entry, 0);
    }

    // A table so short that every first guess is entry 1 or past the end.
    PrefixTable few;
    few.entries = {Entry("G", "England", "EU", 52.0, 1.0), Entry("GM", "Scotland", "EU", 56.0, 4.0),
                   Entry("GM", "Duplicate", "EU", 0, 0)};
    struct Case {
        const char *call;
        int entry;
    };
    const Case cases[] = {
        {"G4ABC", 1}, {"GM3ABC", 2},  // equal prefixes: the first one met
        {"A1", 0},    {"0A", 0},     {"[", 0}, {"~", 0}, {"\xff", 0},
    };
    for (bool indexed : {false, true}) {
        if (indexed)
            few.Reindex();
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << c.call << (indexed ? " indexed" : ""));
            const auto d = LookupPrefix(few, QString::fromLatin1(c.call), kMyLat, kMyLon);
            ASSERT_TRUE(d.has_value());
            EXPECT_EQ(d->entry, c.entry);
        }
    }

    // Entries added after indexing are read directly, not through the stale keys.
    few.entries.push_back(Entry("GW", "Wales", "EU", 52.0, 3.0));
    const auto wales = LookupPrefix(few, QStringLiteral("GW4ABC"), kMyLat, kMyLon);
    ASSERT_TRUE(wales.has_value());
    EXPECT_EQ(wales->entry, 4);

    // Out of order, the scan still ends at the first entry of another letter.
    PrefixTable unsorted;
    unsorted.entries = {Entry("G", "England", "EU", 52.0, 1.0), Entry("K", "USA", "NA", 37.6, 91.87),
                        Entry("GM", "Scotland", "EU", 56.0, 4.0)};
    for (bool indexed : {false, true}) {
        if (indexed)
            unsorted.Reindex();
        const auto d = LookupPrefix(unsorted, QStringLiteral("GM3ABC"), kMyLat, kMyLon);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->entry, 1);
    }
}

TEST(LookupPrefix, KG4WithoutUsaEntryKeepsMatchedPosition)
{
    PrefixTable t;
    t.entries = {Entry("KG4", "Guantanamo Bay", "NA", 20.0, 75.0)};
    const auto d = LookupPrefix(t, QStringLiteral("KG4ABC"), kMyLat, kMyLon);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->country, QStringLiteral("USA"));
    EXPECT_EQ(d->entry, 1);
}

TEST(HDCalc, HeadingAndDistanceTexts)
{
    // 10 degrees of arc: 10 / 57.29577951 * 3955.75791314991 = 690.41 miles;
    // 100 degrees: 6904.11 miles; 0.001 degree: 0.07 mile.
    struct Case {
        double lat1, lon1, lat2, lon2;
        const char *heading, *distance;
    };
    const Case cases[] = {
        {0, 0, 0, -10, "90 ", "690 "},      // longitudes are positive west: -10 lies east
        {0, 0, 0, 10, "270 ", "690 "},
        {0, 0, 10, 0, "360 ", "690 "},      // due north
        {0, 0, -10, 0, "180 ", "690 "},     // due south
        {20, 30, 50, 30, "360 ", "2,071 "}, // due north off the equator: 30 degrees
        {0, 0, 0, -100, "90 ", "6,904 "},
        {0, 0, 0, -0.001, "90 ", " "},      // rounds to no miles
        {0, 0, 0, 0, "", ""},               // own position
        {kMyLat, kMyLon, kMyLat, kMyLon, "", ""},
        {52.0, 1.0, 52.0, 1.0, "", ""},     // rounding leaves these a hair away
        {36.4, -138.38, 36.4, -138.38, "", ""},
        {-33.9, -18.4, -33.9, -18.4, "", ""},
        {0, 0, 0, 180, "", ""},             // antipode
        {10, 20, -10, -160, "", ""},
        {90, 0, 10, 10, "", ""},            // operator at the pole
        {-90, 0, 10, 10, "", ""},
        {NAN, 0, 10, 10, "", ""},
        {0, 0, NAN, 10, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << ","
                                        << c.lon2);
        const zev::HeadingDistance hd = HDCalc(c.lat1, c.lon1, c.lat2, c.lon2);
        EXPECT_EQ(hd.heading, QString::fromLatin1(c.heading));
        EXPECT_EQ(hd.distance, QString::fromLatin1(c.distance));
    }
}

TEST(HDCalc, AgreesWithForwardAzimuthAndHaversine)
{
    // Independent formulas (east-positive longitudes) for points all round the operator.
    const double rad = 3.14159265358979323846 / 180.0;
    const double myLat = kMyLat, myLon = kMyLon;
    const double targets[][2] = {
        {36.40, -138.38},  // Japan
        {31.32, -34.82},   // Israel
        {20.00, 75.00},    // Guantanamo Bay
        {-23.70, -132.33}, // Australia
        {-34.0, 58.0},     // Argentina
        {64.0, 150.0},     // Alaska
        {52.0, 1.0},       // England
    };
    for (const auto &t : targets) {
        SCOPED_TRACE(testing::Message() << t[0] << "," << t[1]);
        const double p1 = myLat * rad, p2 = t[0] * rad;
        const double dl = (-t[1] - -myLon) * rad;
        double az = std::atan2(std::sin(dl) * std::cos(p2),
                               std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl))
                    / rad;
        if (az <= 0)
            az += 360;
        const double h = std::sin((p2 - p1) / 2) * std::sin((p2 - p1) / 2)
                         + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
        const double miles = 2 * std::asin(std::sqrt(h)) * 3955.75791314991;
        QString dist = QString::number(std::llround(miles));
        if (dist.size() > 3)
            dist.insert(dist.size() - 3, QLatin1Char(','));

        const zev::HeadingDistance hd = HDCalc(myLat, myLon, t[0], t[1]);
        EXPECT_EQ(hd.heading, QString::number(std::llround(az)) + QLatin1Char(' '));
        EXPECT_EQ(hd.distance, dist + QLatin1Char(' '));
    }
}

TEST(LoadPrefixTable, FirstFolderThatHasTheFileWins)
{
    struct Case {
        bool shared, program, start;
        int expected;  // 0 shared, 1 program, 2 start, -1 none
    };
    const Case cases[] = {
        {true, true, true, 0},
        {false, true, true, 1},
        {false, false, true, 2},
        {true, false, true, 0},
        {false, false, false, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.shared << c.program << c.start);
        QTemporaryDir dirs[3];
        const bool has[3] = {c.shared, c.program, c.start};
        for (int k = 0; k < 3; ++k)
            if (has[k])
                zevtest::WriteFile(dirs[k].filePath(QStringLiteral("arrlpre2.txt")),
                                   Row("G", QStringLiteral("Folder%1").arg(k).toLatin1().constData())
                                       .toLatin1());
        PrefixTable table;
        table.entries = {Entry("OLD", "Old", "EU", 0, 0)};
        const QString path = LoadPrefixTable(table, dirs[0].path(), dirs[1].path(), dirs[2].path());
        if (c.expected < 0) {
            EXPECT_TRUE(path.isEmpty());
            EXPECT_EQ(table.PrefixCount(), 0);
            continue;
        }
        EXPECT_EQ(path, dirs[c.expected].filePath(QStringLiteral("arrlpre2.txt")));
        ASSERT_EQ(table.PrefixCount(), 1);
        EXPECT_EQ(table.entries[0].CountryName, QStringLiteral("Folder%1").arg(c.expected));
    }

    // An empty folder setting is skipped, not read as the file system root.
    QTemporaryDir start;
    zevtest::WriteFile(start.filePath(QStringLiteral("arrlpre2.txt")), Row("G", "England").toLatin1());
    PrefixTable table;
    EXPECT_EQ(LoadPrefixTable(table, QString(), QString(), start.path()),
              start.filePath(QStringLiteral("arrlpre2.txt")));
}

TEST(LoadPrefixTable, DamagedRowEndsReadingAndKeepsRowsBefore)
{
    const QString good = Row("G", "England") + Row("VE", "Canada");
    struct Case {
        const char *name;
        QString damaged;
    };
    const Case cases[] = {
        {"seven values", QStringLiteral("\"W\",\"USA\",\"NA\",91.87,37.6,5,8\r\n")},
        {"nine values", QStringLiteral("\"W\",\"USA\",\"NA\",91.87,37.6,5,8,291,7\r\n")},
        {"text for a number", QStringLiteral("\"W\",\"USA\",\"NA\",west,37.6,5,8,291\r\n")},
        {"unclosed quote", QStringLiteral("\"W,\"USA\",\"NA\",91.87,37.6,5,8,291\r\n")},
        {"empty prefix", QStringLiteral("\"\",\"USA\",\"NA\",91.87,37.6,5,8,291\r\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        zevtest::WriteFile(dir.filePath(QStringLiteral("arrlpre2.txt")),
                           (good + c.damaged + Row("ZL", "New Zealand")).toLatin1());
        PrefixTable table;
        EXPECT_FALSE(LoadPrefixTable(table, dir.path(), QString(), QString()).isEmpty());
        ASSERT_EQ(table.PrefixCount(), 2);
        EXPECT_EQ(table.entries[1].Prefix, QStringLiteral("VE"));
        const auto d = LookupPrefix(table, QStringLiteral("VE3ABC"), 0, 0);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->country, QStringLiteral("Canada"));
        EXPECT_EQ(d->continent, QStringLiteral("NA"));
    }

    // LF-only line ends and a last line without one are read whole.
    QTemporaryDir dir;
    zevtest::WriteFile(dir.filePath(QStringLiteral("arrlpre2.txt")),
                       "\"G\",\"England\",\"EU\",1,52,14,27,223\n\"VE\",\"Canada\",\"NA\",78.75,44.35,5,9,1");
    PrefixTable table;
    LoadPrefixTable(table, dir.path(), QString(), QString());
    ASSERT_EQ(table.PrefixCount(), 2);
    EXPECT_EQ(table.entries[1].Latitude, 44.35);
    EXPECT_EQ(table.entries[1].Longitude, 78.75);
}

TEST(LoadPrefixTable, KeepsAtMostTenThousandEntries)
{
    for (int rows : {10000, 10001}) {
        SCOPED_TRACE(rows);
        QByteArray data;
        for (int n = 0; n < rows; ++n)
            data += Row(QStringLiteral("P%1").arg(n, 5, 10, QLatin1Char('0')).toLatin1().constData(),
                        "Somewhere")
                        .toLatin1();
        QTemporaryDir dir;
        zevtest::WriteFile(dir.filePath(QStringLiteral("arrlpre2.txt")), data);
        PrefixTable table;
        LoadPrefixTable(table, dir.path(), QString(), QString());
        ASSERT_EQ(table.PrefixCount(), 10000);
        EXPECT_EQ(table.entries.back().Prefix, QStringLiteral("P09999"));
    }
}

TEST(RealPrefixTable, FileIsWellFormed)
{
    const QByteArray data = zevtest::ReadFile(RealTablePath());
    ASSERT_FALSE(data.isEmpty());
    EXPECT_TRUE(data.endsWith("\r\n"));
    EXPECT_EQ(data.count('\n'), data.count("\r\n"));
    EXPECT_EQ(data.count('\r'), data.count("\r\n"));
    const qsizetype lines = data.count("\r\n");
    EXPECT_LE(lines, 10000);

    PrefixTable table;
    ASSERT_EQ(LoadPrefixTable(table, QString(), QString(), QStringLiteral(ZEV_BUILD_DIR)),
              RealTablePath());
    EXPECT_EQ(table.PrefixCount(), lines);  // no row read as damaged
    EXPECT_EQ(table.keys.size(), table.entries.size());  // loaded tables come indexed for speed
    for (int n = 0; n < table.PrefixCount(); ++n) {
        const QString &p = table.entries[size_t(n)].Prefix;
        EXPECT_FALSE(p.startsWith(QLatin1Char('='))) << p.toStdString();
        EXPECT_FALSE(p.contains(QLatin1Char('(')) || p.contains(QLatin1Char('[')))
            << p.toStdString();
        if (n > 0) {
            EXPECT_LT(table.entries[size_t(n - 1)].Prefix.toLatin1(), p.toLatin1())
                << p.toStdString();
        }
    }
}

TEST(RealPrefixTable, LooksUpCountries)
{
    PrefixTable table;
    ASSERT_FALSE(LoadPrefixTable(table, QString(), QString(), QStringLiteral(ZEV_BUILD_DIR)).isEmpty());
    struct Case {
        const char *call, *country, *continent;
    };
    const Case cases[] = {
        {"VE3ABC", "Canada", "NA"},  {"W1AW/VE3", "Canada", "NA"},
        {"W1AW/P", "USA", "NA"},     {"W1AW", "USA", "NA"},
        {"KG4AB", "Guantanamo Bay", "NA"},
        {"KG4ABC", "USA", "NA"},     {"JA1ABC", "Japan", "AS"},
        {"4X1AB", "Israel", "AS"},   {"9A1AA", "Croatia", "EU"},
        {"ZS6ABC", "South Africa", "AF"},
        {"VK2ABC", "Australia", "OC"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        // Away from every entity's own position, which has no heading.
        const auto d = LookupPrefix(table, QString::fromLatin1(c.call), 38.0, 122.0);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->country, QString::fromLatin1(c.country));
        EXPECT_EQ(d->continent, QString::fromLatin1(c.continent));
        EXPECT_FALSE(d->distance.isEmpty());
    }
}

TEST(RealPrefixTable, EveryPrefixFindsItsOwnEntry)
{
    // The jump-and-scan must reach every block of the real table, with or without the
    // packed keys.
    PrefixTable table;
    ASSERT_FALSE(LoadPrefixTable(table, QString(), QString(), QStringLiteral(ZEV_BUILD_DIR)).isEmpty());
    PrefixTable plain;
    plain.entries = table.entries;
    int wrong = 0;
    for (int n = 1; n <= table.PrefixCount() && wrong < 10; ++n) {
        const QString &p = table.entries[size_t(n - 1)].Prefix;
        for (const PrefixTable *t : {&table, &plain}) {
            const auto d = LookupPrefix(*t, p, 38.0, 122.0);
            ASSERT_TRUE(d.has_value());
            if (d->entry != n) {
                ++wrong;
                ADD_FAILURE() << p.toStdString() << " found entry " << d->entry << " not " << n
                              << (t == &plain ? " (entries only)" : "");
            }
        }
    }
}

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray stderrText;
};

ToolRun RunMkprefix(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ZEV_BUILD_DIR "/mkprefix"), args);
    if (!p.waitForFinished(60000))
        return {};
    ToolRun r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.stderrText = p.readAllStandardError();
    return r;
}

}  // namespace

TEST(Mkprefix, BuildsSortedTableFromCountryFile)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("arrlpre2.txt"));
    const ToolRun r = RunMkprefix({zevtest::Fixture(QStringLiteral("prefix_cty_small.csv")), out});
    ASSERT_EQ(r.exitCode, 0) << r.stderrText.constData();
    EXPECT_TRUE(r.stderrText.isEmpty()) << r.stderrText.constData();  // "K" twice in one entity is fine
    EXPECT_EQ(zevtest::ReadFile(out),
              zevtest::ReadFile(zevtest::Fixture(QStringLiteral("prefix_cty_small_expected.txt"))));
}

TEST(Mkprefix, PrefixOfTwoEntitiesStaysWithTheFirst)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("cty.csv"));
    const QString out = dir.filePath(QStringLiteral("arrlpre2.txt"));
    zevtest::WriteFile(in, "ZL,New Zealand,170,OC,32,60,-41.83,-173.27,-12.0,ZL ZM;\r\n"
                           "ZM,Elsewhere,999,OC,32,60,-10.00,-10.00,-12.0,ZN ZM;\r\n");
    const ToolRun r = RunMkprefix({in, out});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.stderrText.contains("ZM")) << r.stderrText.constData();
    EXPECT_EQ(zevtest::ReadFile(out), QByteArray("\"ZL\",\"New Zealand\",\"OC\",-173.27,-41.83,32,60,170\r\n"
                                                 "\"ZM\",\"New Zealand\",\"OC\",-173.27,-41.83,32,60,170\r\n"
                                                 "\"ZN\",\"Elsewhere\",\"OC\",-10,-10,32,60,999\r\n"));
}

TEST(Mkprefix, RefusesBadInput)
{
    QByteArray tenThousand = "X,Many,1,EU,14,27,50.00,-10.00,-1.0,";
    for (int n = 0; n < 10000; ++n)
        tenThousand += QByteArray::number(n + 10000) + ' ';
    tenThousand += ";\n";
    struct Case {
        const char *name;
        QByteArray input;  // empty: the input file does not exist
        bool ok;
    };
    const Case cases[] = {
        {"ten thousand prefixes", tenThousand, true},
        {"one more", tenThousand + "Y,One,2,EU,14,27,50.00,-10.00,-1.0,Y;\n", false},
        {"nine fields", "G,England,223,EU,14,27,52.77,1.47,G M;\n", false},
        {"eleven fields", "G,England,223,EU,14,27,52.77,1.47,0.0,G M;,x\n", false},
        {"missing file", QByteArray(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("cty.csv"));
        const QString out = dir.filePath(QStringLiteral("arrlpre2.txt"));
        if (!c.input.isEmpty())
            zevtest::WriteFile(in, c.input);
        const ToolRun r = RunMkprefix({in, out});
        if (c.ok) {
            EXPECT_EQ(r.exitCode, 0) << r.stderrText.constData();
            EXPECT_EQ(zevtest::ReadFile(out).count("\r\n"), 10000);
        } else {
            EXPECT_GT(r.exitCode, 0);
            EXPECT_FALSE(r.stderrText.isEmpty());
            EXPECT_FALSE(QFile::exists(out));
        }
    }
}
