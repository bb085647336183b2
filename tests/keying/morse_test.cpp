// The Morse table, the word space, the speed rule and the wildcards of a message.

#include "keying/morse.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(Morse, PatternsAreDitsDahsAndALetterSpace)
{
    struct Case {
        char c;
        const char *pattern;
    };
    const Case cases[] = {
        {'A', "10111000"},
        {'E', "1000"},
        {'T', "111000"},
        {'Z', "11101110101000"},
        {'0', "1110111011101110111000"},
        {'1', "10111011101110111000"},
        {'9', "11101110111011101000"},
        {'.', "10111010111010111000"},
        {',', "1110111010101110111000"},
        {'?', "101011101110101000"},
        {'/', "1110101011101000"},
        {'-', "1110101010111000"},
        {'[', "1011101011101000"},        // AR
        {']', "101010111010111000"},      // SK
        {';', "111010111011101000"},     // KN
        {'\\', "111010111010101110101000"},  // CL
        {' ', "00000000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.c);
        EXPECT_EQ(zev::MorsePattern(QLatin1Char(c.c)), QString::fromLatin1(c.pattern));
    }
}

TEST(Morse, SameSignsAndSilentCharacters)
{
    EXPECT_EQ(zev::MorsePattern(QLatin1Char('=')), zev::MorsePattern(QLatin1Char('-')));
    for (char c = 'a'; c <= 'z'; ++c)
        EXPECT_EQ(zev::MorsePattern(QLatin1Char(c)), zev::MorsePattern(QLatin1Char(char(c - 32)))) << c;
    for (const QChar c : QStringLiteral("!%\"$#*()\t\r\nÉ€"))
        EXPECT_TRUE(zev::MorsePattern(c).isEmpty()) << int(c.unicode());
    // Every keyed pattern ends with the key up for three units.
    for (int u = 32; u < 127; ++u) {
        const QString &p = zev::MorsePattern(QChar(u));
        if (!p.isEmpty() && u != ' ') {
            EXPECT_TRUE(p.endsWith(QLatin1String("000"))) << char(u);
        }
    }
}

TEST(Morse, WordSpaceStretchesOrShortensOnlyTheSpace)
{
    struct Case {
        int adjust;
        int units;
    };
    for (const Case &c : {Case{0, 8}, Case{2, 10}, Case{-8, 0}, Case{-3, 5}, Case{-20, 0}, Case{7, 15}}) {
        SCOPED_TRACE(c.adjust);
        const QString p = zev::CharacterPattern(QLatin1Char(' '), c.adjust);
        EXPECT_EQ(p, QString(c.units, QLatin1Char('0')));
    }
    EXPECT_EQ(zev::CharacterPattern(QLatin1Char('E'), 5), QStringLiteral("1000"));
    EXPECT_EQ(zev::CharacterPattern(QLatin1Char('e'), -8), QStringLiteral("1000"));
}

TEST(Morse, SpeedAndBoxTexts)
{
    EXPECT_DOUBLE_EQ(zev::UnitMs(20), 60.0);
    EXPECT_DOUBLE_EQ(zev::UnitMs(40), 30.0);
    EXPECT_NEAR(zev::UnitMs(13), 92.3077, 1e-4);
    for (int wpm : {5, 13, 99})
        EXPECT_TRUE(zev::SpeedIsValid(wpm)) << wpm;
    for (int wpm : {-1, 0, 4, 100, 1000})
        EXPECT_FALSE(zev::SpeedIsValid(wpm)) << wpm;
    EXPECT_TRUE(zev::SpeedRefusedText(0).contains(QStringLiteral("0 WPM")));

    struct Text {
        const char *text;
        int speed;
        int wordSpace;
    };
    const Text cases[] = {{"13", 13, 13}, {"", 0, 0}, {"abc", 0, 0}, {"1:3", 0, 0},
                          {"-12", -12, -8}, {"-8", -8, -8}, {"-3", -3, -3}, {" 25 ", 25, 25},
                          {"99999999999", 1000, 999}};
    for (const Text &t : cases) {
        SCOPED_TRACE(t.text);
        EXPECT_EQ(zev::SpeedFromText(QString::fromLatin1(t.text)), t.speed);
        EXPECT_EQ(zev::WordSpaceFromText(QString::fromLatin1(t.text)), t.wordSpace);
    }
}

TEST(Morse, WildcardsTakeTheContactsValues)
{
    struct Case {
        const char *message, *call, *exchange, *report, *sent;
    };
    const Case cases[] = {
        {"$ 5NN #", "VE3ABC", "ON", "599", "VE3ABC 5NN ON"},
        {"$ 5NN #", " VE3ABC ", " ON ", "", "VE3ABC 5NN ON"},
        {"TU * #", "W1AW", "123", "579", "TU 579 123"},
        {"TU * #", "W1AW", "123", "599", "TU 5NN 123"},
        {"TU * #", "W1AW", "123", "", "TU 5NN 123"},
        {"TU * #", "W1AW", "123", " 599 ", "TU 5NN 123"},
        {"$ TU $!", "", "ON", "599", " TU !"},
        {"$$", "K1A", "", "", "K1AK1A"},
        {"CQ TEST", "VE3ABC", "ON", "599", "CQ TEST"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(zev::ExpandMessage(QString::fromLatin1(c.message), QString::fromLatin1(c.call),
                                     QString::fromLatin1(c.exchange), QString::fromLatin1(c.report)),
                  QString::fromLatin1(c.sent));
    }
}

TEST(Morse, FunctionKeysPickTheirMessage)
{
    struct Case {
        int code;  // F1 is 1
        int index;  // -1: no message
    };
    const Case cases[] = {{1, 0}, {2, 1}, {9, 8}, {10, 9}, {11, 10}, {12, -1}, {13, -1}, {0, -1}, {-1, -1},
                          {112, -1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        const auto index = zev::MessageIndexForKey(c.code);
        EXPECT_EQ(index.value_or(-1), c.index);
    }
}

}  // namespace
