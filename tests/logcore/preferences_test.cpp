#include "logcore/preferences.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(Preferences, WrittenOneValuePerLineAndReadBack)
{
    Preferences p = DefaultPreferences(-3.5);
    p.MyCall = "VE3XYZ";
    p.MyProvince = "ON";
    p.CurrentMode = "PH";
    p.OperatingSeconds = 3605.5;
    p.MyCountry = "Canada";
    p.MyLongitude = 78.75;
    p.MyLatitude = 44.35;
    p.FormSizePercent = 90;
    p.WorkedMultColour = 0x00FF0000;
    p.UnworkedMultColour = 0x8000000F;  // a system colour, negative when read as signed
    p.CurrentBand = "160";
    p.MyContinent = "NA";
    p.MyPowerClass = "100W";
    p.VoiceNavLevel = 2;
    p.RigName = "Kenwood";
    p.TaskbarMode = 1;
    p.ListPreviousOn = 1;
    p.InCanada = 0;

    const QByteArray file = FormatPreferences(p);
    EXPECT_TRUE(file.startsWith("\"VE3XYZ\"\r\n\"ON\"\r\n-3.5\r\n\"PH\"\r\n3605.5\r\n\"Canada\"\r\n78.75\r\n"));
    EXPECT_EQ(file.count("\r\n"), 19);

    Preferences back;
    const PreferenceReadResult r = ParsePreferences(file, back);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(back, p);

    // Colours written by a program that stores them signed read back the same.
    QByteArray signedColour = file;
    signedColour.replace(QByteArray::number(0x8000000Fu), "-2147483633");
    Preferences again;
    ASSERT_TRUE(ParsePreferences(signedColour, again).ok);
    EXPECT_EQ(again.UnworkedMultColour, 0x8000000Fu);
}

TEST(Preferences, FirstRunDefaultsAreUsable)
{
    const Preferences p = DefaultPreferences(5);
    EXPECT_EQ(p.MyCall, "");
    EXPECT_EQ(p.CurrentBand, "20");
    EXPECT_EQ(p.CurrentMode, "CW");
    EXPECT_EQ(p.FormSizePercent, 100);
    EXPECT_EQ(p.RigName, "None");
    EXPECT_EQ(p.InCanada, 1);
    EXPECT_EQ(p.UtcOffsetHours, 5);
    EXPECT_NE(p.WorkedMultColour, p.UnworkedMultColour);
}

TEST(Preferences, DamagedFilesFailAtTheBadValue)
{
    const QByteArray good = FormatPreferences(DefaultPreferences(0));
    QList<QByteArray> lines = good.split('\n');
    struct Case {
        const char *name;
        int line;  // 1-based line replaced
        QByteArray value;
    };
    const Case cases[] = {
        {"text where the offset belongs", 3, "\"five\"\r"},
        {"form size beyond a byte", 9, "300\r"},
        {"fractional voice level", 15, "1.5\r"},
        {"colour out of range", 10, "99999999999\r"},
        // Numbers far out of range are refused before any conversion to a whole number.
        {"form size of 1e30", 9, "1e30\r"},
        {"form size too large for a double", 9, "1e999\r"},
        {"colour of 1e30", 11, "1e30\r"},
        {"negative colour beyond 32 bits", 10, "-1e30\r"},
        {"voice level of -1e30", 15, "-1e30\r"},
        {"taskbar mode of 1e20", 17, "1e20\r"},
        {"in-Canada flag of 1e30", 19, "1e30\r"},
        {"offset of 1e30 hours", 3, "1e30\r"},
        {"offset too large for a double", 3, "-1e999\r"},
        {"operating time of 1e30 seconds", 5, "1e30\r"},
        {"longitude too large for a double", 7, "1e999\r"},
    };
    for (const Case &c : cases) {
        QList<QByteArray> l = lines;
        l[c.line - 1] = c.value;
        Preferences p;
        const PreferenceReadResult r = ParsePreferences(l.join('\n'), p);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.position.line, c.line) << c.name;
    }
    // A file cut short fails too.
    Preferences p;
    EXPECT_FALSE(ParsePreferences(good.left(good.indexOf("\"20\"")), p).ok);
    EXPECT_FALSE(ParsePreferences({}, p).ok);
}
