// "WK.txt" and the rules of the WinKey setup boxes.

#include "full_disk.h"
#include "keying/wk_settings.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace zev;

TEST(WkSettingsFile, RoundTripsByteForByte)
{
    const QByteArray file = "3\r\n\"22\"\r\n\"45\"\r\n\"4\"\r\n\"7\"\r\n\"60\"\r\n5\r\n48\r\n";
    const WkSettings s = ParseWkSettings(file);
    EXPECT_EQ(s.WinKeyPort, 3);
    EXPECT_EQ(s.txtWKWPM, "22");
    EXPECT_EQ(s.txtWeight, "45");
    EXPECT_EQ(s.txtLeadIn, "4");
    EXPECT_EQ(s.txtTail, "7");
    EXPECT_EQ(s.txtRatio, "60");
    EXPECT_EQ(s.WinKeyPinConfig, 5);
    EXPECT_EQ(s.WinKeyMode, 48);
    EXPECT_EQ(FormatWkSettings(s), file);

    // The defaults, as a fresh station writes them.
    EXPECT_EQ(FormatWkSettings(WkSettings{}),
              "5\r\n\"18\"\r\n\"50\"\r\n\"0\"\r\n\"0\"\r\n\"50\"\r\n6\r\n0\r\n");
}

TEST(WkSettingsFile, ShortOrDamagedFilesKeepTheDefaultsForWhatIsMissing)
{
    // Six lines: the pin configuration and the mode stay at 6 and 0.
    WkSettings six = ParseWkSettings("2\r\n\"20\"\r\n\"50\"\r\n\"1\"\r\n\"2\"\r\n\"50\"\r\n");
    EXPECT_EQ(six.WinKeyPort, 2);
    EXPECT_EQ(six.txtRatio, "50");
    EXPECT_EQ(six.WinKeyPinConfig, 6);
    EXPECT_EQ(six.WinKeyMode, 0);
    // Seven lines: only the mode stays; LF alone is accepted.
    WkSettings seven = ParseWkSettings("2\n\"20\"\n\"50\"\n\"1\"\n\"2\"\n\"50\"\n8\n");
    EXPECT_EQ(seven.WinKeyPinConfig, 8);
    EXPECT_EQ(seven.WinKeyMode, 0);
    // A port that is not a number and a cut-off quote lose nothing else.
    WkSettings bad = ParseWkSettings("x\r\n\"25\"\r\n\"5");
    EXPECT_EQ(bad.WinKeyPort, 5);
    EXPECT_EQ(bad.txtWKWPM, "25");
    EXPECT_EQ(bad.txtWeight, "50");
    EXPECT_EQ(ParseWkSettings(""), WkSettings{});

    QTemporaryDir dir;
    EXPECT_EQ(LoadWkSettings(dir.filePath("WK.txt")), WkSettings{});  // missing file
}

TEST(WkSettingsFile, SaveWritesTheFileAndReportsAFullDisk)
{
    QTemporaryDir dir;
    WkSettings s;
    s.WinKeyPort = 7;
    s.txtWKWPM = "30";
    const QString path = dir.filePath("WK.txt");
    QString error;
    ASSERT_TRUE(SaveWkSettings(path, s, &error)) << error.toStdString();
    EXPECT_EQ(LoadWkSettings(path), s);

    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString full = disk.filePath("WK.txt");
    zevtest::WriteFile(full, FormatWkSettings(WkSettings{}));
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
    EXPECT_FALSE(SaveWkSettings(full, s, &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(LoadWkSettings(full), WkSettings{});  // the old file is whole
}

struct BoxCase {
    const char *box;
    QString text;
    QString left;         // the box's text afterwards
    std::optional<int> sent;
};

TEST(WkSettingsBoxes, RangesAndFallbacks)
{
    const BoxCase cases[] = {
        {"ratio", "67", "67", 67},
        {"ratio", "68", "68", std::nullopt},
        {"ratio", "32", "32", 32},
        {"ratio", "31", "31", std::nullopt},
        {"ratio", "abc", "50", 50},
        {"ratio", "", "50", 50},
        {"speed", "0", "0", 0},
        {"speed", "99", "99", 99},
        {"speed", "100", "100", std::nullopt},
        {"speed", "fast", "18", 18},
        {"weight", "99", "99", 99},
        {"weight", "120", "120", std::nullopt},
        {"weight", "x", "50", 50},
        {"port", "4", "4", 4},
        {"port", "com4", "0", 0},
    };
    for (const BoxCase &c : cases) {
        const QString box = QLatin1String(c.box);
        const BoxOutcome out = box == "ratio"   ? LeaveRatioBox(c.text)
                               : box == "speed" ? LeaveSpeedBox(c.text)
                               : box == "port"  ? LeavePortBox(c.text)
                                                : LeaveWeightBox(c.text);
        EXPECT_EQ(out.text, c.left) << c.box << " " << c.text.toStdString();
        EXPECT_EQ(out.send, c.sent) << c.box << " " << c.text.toStdString();
    }
}

TEST(WkSettingsBoxes, LeadInAndTailGoTogetherAsBytes)
{
    struct Case {
        QString lead, tail;
        bool leftLead;
        QString leadAfter, tailAfter;
        std::optional<std::pair<int, int>> sent;
    };
    const Case cases[] = {
        {"3", "5", true, "3", "5", std::pair{3, 5}},
        {"255", "0", false, "255", "0", std::pair{255, 0}},
        {"256", "5", true, "0", "5", std::nullopt},   // above a byte: the box left is cleared
        {"3", "300", false, "3", "0", std::nullopt},
        {"x", "5", false, "x", "0", std::nullopt},    // either not a number: the box left
        {"x", "5", true, "0", "5", std::nullopt},
    };
    for (const Case &c : cases) {
        const LeadTailOutcome out = LeaveLeadTailBoxes(c.lead, c.tail, c.leftLead);
        EXPECT_EQ(out.leadText, c.leadAfter) << c.lead.toStdString() << "/" << c.tail.toStdString();
        EXPECT_EQ(out.tailText, c.tailAfter) << c.lead.toStdString() << "/" << c.tail.toStdString();
        EXPECT_EQ(out.send, c.sent) << c.lead.toStdString() << "/" << c.tail.toStdString();
    }
}

}  // namespace
