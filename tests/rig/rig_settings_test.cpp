#include "rig/rig_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace zev;

TEST(RigSettings, KenwoodOnPortThreeIsStoredValueByValue)
{
    RigLinkSettings s;
    s.RigBaud = StoredBaud("4800");
    s.RigParity = "N";
    s.RigDataBits = "8";
    s.RigStopBits = "2";
    s.ModeQuery = "MD;";
    s.FreqQuery = "FA;";
    s.RigSerialSettings = SerialSettingsText(s);
    s.RigPort = 3;
    s.PowerLine = "N";
    s.PollRate = "M";
    s.RigName = "Kenwood";
    s.ConvertToHex = 0;
    s.UseFrequency = 1;
    s.ModeBy = 2;
    const QByteArray text = FormatRigSettings(s);
    EXPECT_EQ(text, "\"4800 \"\r\n\"N\"\r\n\"8\"\r\n\"2\"\r\n\"MD;\"\r\n\"FA;\"\r\n\"4800,N,8,2\"\r\n3\r\n\"N\"\r\n"
                    "\"M\"\r\n\"Kenwood\"\r\n0\r\n1\r\n2\r\n");
    RigLinkSettings back;
    ASSERT_TRUE(ParseRigSettings(text, back).ok);
    EXPECT_EQ(back, s);
}

TEST(RigSettings, BaudIsFiveCharactersAndTheSettingsTextHasNoBlanks)
{
    struct Case {
        const char *baud, *stored;
    };
    for (const Case c : {Case{"1200", "1200 "}, Case{"56000", "56000"}, Case{" 9600 ", "9600 "}})
        EXPECT_EQ(StoredBaud(c.baud), c.stored);
    RigLinkSettings s;
    s.RigBaud = "1200 ";
    s.RigParity = "E";
    s.RigDataBits = "7";
    s.RigStopBits = "1";
    EXPECT_EQ(SerialSettingsText(s), "1200,E,7,1");
}

TEST(RigSettings, ABadValueKeepsWhatWasReadBeforeIt)
{
    RigLinkSettings good;
    good.RigName = "Icom";
    good.FreqQuery = "FE FE 64 E0 03 FD";
    good.RigPort = 4;
    const QByteArray text = FormatRigSettings(good);
    struct Case {
        const char *what;
        QByteArray data;
        int line;
    };
    QByteArray portOutOfRange = text;
    portOutOfRange.replace("\r\n4\r\n", "\r\n11\r\n");
    QByteArray modeByWrong = text;
    modeByWrong.chop(3);
    modeByWrong += "7\r\n";
    const Case cases[] = {
        {"cut short", text.left(text.indexOf("\"Icom\"")), 11},
        {"port 11", portOutOfRange, 8},
        {"mode by 7", modeByWrong, 14},
    };
    for (const Case &c : cases) {
        RigLinkSettings s;
        const RigSettingsReadResult r = ParseRigSettings(c.data, s);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.position.line, c.line) << c.what;
        // Everything before the fault was taken.
        EXPECT_EQ(s.FreqQuery, good.FreqQuery) << c.what;
    }
}

TEST(RigSettings, PollRatesGiveTheTimerInterval)
{
    EXPECT_EQ(PollIntervalMs("F"), 50);
    EXPECT_EQ(PollIntervalMs("M"), 250);
    EXPECT_EQ(PollIntervalMs("S"), 1000);
    EXPECT_EQ(PollIntervalMs("R"), 5000);
    EXPECT_EQ(PollIntervalMs("?"), 250);
}

TEST(RigSettings, UnprocessedDataIsPlainTextAndBounded)
{
    EXPECT_EQ(UnprocessedText("FA00014025000;"), "FA00014025000;");
    EXPECT_EQ(UnprocessedText(QByteArray::fromHex("fefe00e003fd")), "<FE><FE><00><E0><03><FD>");
    EXPECT_EQ(UnprocessedText("IF\r\n<b>"), "IF<0D><0A><b>");
    const QString tail = UnprocessedText(QByteArray(5000, 'A') + "END;", 300);
    EXPECT_EQ(tail.size(), 300);
    EXPECT_TRUE(tail.endsWith("END;"));
}
