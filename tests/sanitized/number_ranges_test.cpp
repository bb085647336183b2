// Numbers read from files, run with the undefined-behaviour sanitizer watching every
// conversion from a floating-point number to an integer: a value beyond the integer's
// range must be refused before it is converted, never converted and then compared.

#include "logcore/contact_log.h"
#include "logcore/preferences.h"
#include "logcore/prefix_table.h"
#include "outputs/adif_export.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

TEST(SanitizedNumbers, CountryTableEntityNumbers)
{
    for (const char *number : {"1e30", "-1e30", "1e999", "9.3e18", "-9.3e18", "4294967296"}) {
        QString error;
        EXPECT_FALSE(ParseCountryTable("\"Sicily\"," + QByteArray(number) + "\r\n", &error).has_value()) << number;
    }
    const std::optional<CountryTable> t = ParseCountryTable("\"Sicily\",248\r\n", nullptr);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->LookupDxcc(QStringLiteral("Sicily")), 248);
}

TEST(SanitizedNumbers, PreferenceValues)
{
    const QList<QByteArray> lines = FormatPreferences(DefaultPreferences(0)).split('\n');
    // Every numeric line of the file, with values no integer can hold.
    for (int line : {3, 5, 7, 8, 9, 10, 11, 15, 17, 18, 19}) {
        for (const char *value : {"1e30", "-1e30", "1e999"}) {
            QList<QByteArray> l = lines;
            l[line - 1] = QByteArray(value) + '\r';
            Preferences p;
            // Coordinates only go into trigonometry: any finite number will do.
            const bool fits = (line == 7 || line == 8) && QByteArray(value) != "1e999";
            EXPECT_EQ(ParsePreferences(l.join('\n'), p).ok, fits) << "line " << line << ": " << value;
        }
    }
    // A colour takes any 32-bit value, signed or not.
    for (const char *value : {"3e9", "-2147483648", "4294967295"}) {
        QList<QByteArray> l = lines;
        l[9] = QByteArray(value) + '\r';
        Preferences p;
        EXPECT_TRUE(ParsePreferences(l.join('\n'), p).ok) << value;
    }
}

TEST(SanitizedNumbers, LogPoints)
{
    const QByteArray head = "\"VE3XYZ\",\"59\",\"\",\"59\",\"ON\",\"2009/07/01\",\"18:04:27\",\"PH\",\"20\",";
    const QByteArray tail = ",\"\",\"Canada\"\r\n";
    for (const char *points : {"1e30", "-1e30", "3e9", "1e308"}) {
        std::vector<ContactRecord> got;
        ASSERT_TRUE(ParseLog(head + points + tail + head + points + tail, got).ok) << points;
        const int total = SumPoints(got);
        EXPECT_EQ(total, points[0] == '-' ? -2147483647 : 2147483647) << points;
    }
    std::vector<ContactRecord> got;
    EXPECT_FALSE(ParseLog(head + "1e999" + tail, got).ok);
}

// A coordinate too large for a number is a damaged row of "arrlpre2.txt": reading ends
// there and keeps the rows before, so no lookup computes a heading from it.
TEST(SanitizedNumbers, PrefixTableCoordinates)
{
    for (const char *bad : {"\"W\",\"USA\",\"NA\",1e999,37.6,5,8,291\r\n",
                            "\"W\",\"USA\",\"NA\",91.87,-1e999,5,8,291\r\n",
                            "\"W\",\"USA\",\"NA\",91.87,37.6,5,8,1e999\r\n"}) {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("arrlpre2.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\"VE\",\"Canada\",\"NA\",78.75,44.35,5,9,1\r\n") + bad +
                "\"ZL\",\"New Zealand\",\"OC\",-174,-41,32,60,170\r\n");
        f.close();
        PrefixTable table;
        EXPECT_FALSE(LoadPrefixTable(table, dir.path(), QString(), QString()).isEmpty());
        ASSERT_EQ(table.PrefixCount(), 1) << bad;
        EXPECT_EQ(table.entries[0].Prefix, QStringLiteral("VE")) << bad;
    }
}
