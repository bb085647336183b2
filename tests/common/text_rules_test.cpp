#include "common/text_rules.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const TextKind kAllKinds[] = {
    TextKind::Call,   TextKind::Report,     TextKind::EditReport, TextKind::Exchange, TextKind::Power,
    TextKind::Mode,   TextKind::Band,       TextKind::Points,     TextKind::Date,     TextKind::Time,
    TextKind::UtcOffset, TextKind::Coordinate, TextKind::Country, TextKind::Station,  TextKind::Operators,
    TextKind::Detail, TextKind::Soapbox,    TextKind::Answer,     TextKind::CwMessage, TextKind::PortNumber,
    TextKind::WordSpace, TextKind::Seconds, TextKind::Address,
};

}  // namespace

TEST(TextRules, WhatEachKindOfBoxKeepsOfAPaste)
{
    struct Case {
        TextKind kind;
        QString pasted;
        QString kept;
        bool refused;
    };
    const Case cases[] = {
        // A line break would split a record over two lines of log.txt.
        {TextKind::Call, "ve3abc\r\n", "VE3ABC", false},
        {TextKind::Call, "\tVE3 ABC\x0b", "VE3ABC", false},
        {TextKind::Call, QString::fromUtf8("v\u00e93abc"), QString::fromUtf8("V\u00c93ABC"), false},
        // Capitals outside Latin-1 would not fit the file: those letters stay as they are.
        {TextKind::Call, QString::fromUtf8("\u00ff\u00b5\u00df"), QString::fromUtf8("\u00ff\u00b5\u00df"), false},
        {TextKind::Call, "VE3\"ABC\"", "VE3ABC", false},
        {TextKind::Call, QString::fromUtf8("VE3\u0416X"), "VE3X", true},
        {TextKind::Call, QString::fromUtf8("VE3\U0001F600X"), "VE3X", true},
        {TextKind::Call, QString::fromUtf8("VE3\u2028X\u0085"), "VE3X", false},
        {TextKind::Call, QString(20000, QLatin1Char('k')), QString(20, QLatin1Char('K')), false},
        // A refused character beyond the limit is still reported.
        {TextKind::Call, QString(25, QLatin1Char('K')) + QChar(0x416), QString(20, QLatin1Char('K')), true},
        {TextKind::Report, "5a9 9\r\n", "599", false},
        {TextKind::Report, "59999", "599", false},
        {TextKind::EditReport, "5nn\r\n", "5NN", false},
        {TextKind::Exchange, "on\r\n", "ON", false},
        {TextKind::Exchange, "123456789012345", "1234567890", false},
        {TextKind::Power, "100 w\r\n", "100W", false},
        {TextKind::Mode, "ph\r\n", "PH", false},
        {TextKind::Band, "160\r\n", "160", false},
        {TextKind::Points, "2.5", "25", false},
        {TextKind::Points, "1,000,000", "1000", false},
        {TextKind::Date, "2009-07/01\r\n", "200907/01", false},
        {TextKind::Date, "2009/07/01/2010", "2009/07/01", false},
        {TextKind::Time, "18:05:00\r\n", "18:05:00", false},
        {TextKind::Time, "18:05:00:00", "18:05:00", false},
        // The offset box takes what its keys take: "1e17" cannot stay an exponent.
        {TextKind::UtcOffset, "1e17", "117", false},
        {TextKind::UtcOffset, "+3.5\r\n", "3.5", false},
        {TextKind::UtcOffset, "-123456789", "-1234567", false},
        {TextKind::Coordinate, "-75.5 \"W\"", "-75.5 W", false},
        {TextKind::Country, "Cote d'Ivoire\r\n", "Cote d'Ivoire", false},
        // A quote in a CW message could not be read back from cw.txt.
        {TextKind::CwMessage, "tu \"$\" 5nn #\r\n", "TU $ 5NN #", false},
        {TextKind::PortNumber, "1e3", "13", false},
        {TextKind::WordSpace, "-3.5", "-35", false},
        {TextKind::Seconds, "2.5s\r\n", "2.5", false},
        {TextKind::Address, "&h 378\"", "&H378", false},
        {TextKind::Country, QString::fromUtf8("\u0395\u03bb\u03bb\u03ac\u03b4\u03b1"), "", true},
        {TextKind::Station, "qrp 5 w\r\n", "QRP 5 W", false},
        // The summary sheet keeps quotes and letter case, as typing there does.
        {TextKind::Operators, "va3xyz \"ve3abc\"\r\n", "VA3XYZ \"VE3ABC\"", false},
        {TextKind::Detail, QString::fromUtf8("J\u00f6rg \"Joe\"\r\nSmith"), QString::fromUtf8("J\u00f6rg \"Joe\"Smith"),
         false},
        {TextKind::Detail, QString(61, QLatin1Char('a')), QString(60, QLatin1Char('a')), false},
        {TextKind::Soapbox, QString(300, QLatin1Char('x')), QString(250, QLatin1Char('x')), false},
        {TextKind::Answer, "YES\r\n", "YES", false},
    };
    for (const Case &c : cases) {
        const CleanedText out = CleanText(c.kind, c.pasted);
        EXPECT_EQ(out.text, c.kept) << c.pasted.left(40).toStdString();
        EXPECT_EQ(out.refused, c.refused) << c.pasted.left(40).toStdString();
    }
}

TEST(TextRules, OnlyWhatAChangeAddsIsCleaned)
{
    struct Case {
        TextKind kind;
        QString before, after;
        int maxLength;
        QString kept;
        int cursor;
    };
    const Case cases[] = {
        // A record's own "2.5" stays; a digit typed after it is added.
        {TextKind::Points, "2.5", "2.51", -1, "2.51", 4},
        {TextKind::Points, "2.5", "2.5x", -1, "2.5", 3},
        // Pasted at the end, in the middle, over a selection.
        {TextKind::Call, "VE3", "VE3abc\r\n", -1, "VE3ABC", 6},
        {TextKind::Call, "VEABC", "VE3\r\nABC", -1, "VE3ABC", 3},
        {TextKind::Call, "VE3ABC", "VE3xyC", -1, "VE3XYC", 5},
        // A deletion changes nothing of what is left.
        {TextKind::Call, "VE3ABC", "VE3AB", -1, "VE3AB", 5},
        // The limit lets in only what there is room for; text already there stays.
        {TextKind::Report, "", "599", 2, "59", 2},
        {TextKind::Report, "599", "5991", 2, "599", 3},
        {TextKind::Call, QString(19, QLatin1Char('K')), QString(19, QLatin1Char('K')) + "abc", -1,
         QString(19, QLatin1Char('K')) + "A", 20},
        // Replaced whole: all of it is new.
        {TextKind::Exchange, "ON", "bc\n", -1, "BC", 2},
        // A character no file can hold turns the whole change away, not just itself.
        {TextKind::Call, "VE3", QString::fromUtf8("VE3\u0416AB"), -1, "VE3", 3},
        {TextKind::Call, "W1AW", QString::fromUtf8("V\u0416E3AB"), -1, "W1AW", 0},
    };
    for (const Case &c : cases) {
        const EditedText out = ApplyTextRule(c.kind, c.before, c.after, c.maxLength);
        EXPECT_EQ(out.text, c.kept) << c.before.toStdString() << " -> " << c.after.toStdString();
        EXPECT_EQ(out.cursor, c.cursor) << c.before.toStdString() << " -> " << c.after.toStdString();
        EXPECT_EQ(out.changed, c.kept != c.after);
    }
    // The cursor tells where a paste ended: ten digits pasted before a "1" keep the "1"
    // at the end and give up their own last digit to the limit.
    const EditedText atStart = ApplyTextRule(TextKind::Exchange, "1", "12345678901", -1, 10);
    EXPECT_EQ(atStart.text, "1234567891");
    EXPECT_EQ(atStart.cursor, 9);
    // Pasted over everything, the cursor at the end: all of it is new.
    const EditedText over = ApplyTextRule(TextKind::EditReport, "59", "5nn9", -1, 4);
    EXPECT_EQ(over.text, "5NN");
}

// Random edits of random boxes: whatever is typed or pasted, the box ends with text the
// files can hold on one line, within its limit, and the text already there is untouched.
TEST(TextRules, AnyEditLeavesStorableTextWithinTheLimit)
{
    QRandomGenerator rng(20090701);
    const char16_t pool[] = {'a', 'Z', '5', '0', '"', ' ', '/', ':', '-', '.', '\r', '\n', '\t', 0x7F,
                             0x85, 0xA0, 0xE9, 0xFF, 0xDF, 0x416, 0x2028, 0xD83D, 0xDE00, 0xFFFD};
    auto randomText = [&](int maxSize) {
        QString s;
        const int n = int(rng.bounded(maxSize + 1));
        for (int i = 0; i < n; ++i)
            s += QChar(pool[rng.bounded(int(std::size(pool)))]);
        return s;
    };
    for (TextKind kind : kAllKinds) {
        const int limit = MaxTextLength(kind);
        for (int round = 0; round < 500; ++round) {
            const QString before = CleanText(kind, randomText(limit)).text;
            const int at = int(rng.bounded(int(before.size()) + 1));
            const int removed = int(rng.bounded(int(before.size()) - at + 1));
            const QString added = randomText(300);
            const QString after = before.left(at) + added + before.mid(at + removed);
            const EditedText out = ApplyTextRule(kind, before, after, -1, int(at + added.size()));
            ASSERT_LE(out.text.size(), std::max<qsizetype>(limit, before.size()));
            for (QChar c : out.text) {
                ASSERT_LE(c.unicode(), 0xFF) << int(kind);
                ASSERT_GE(c.unicode(), 0x20) << int(kind);
                ASSERT_FALSE(c.unicode() >= 0x7F && c.unicode() <= 0x9F) << int(kind);
            }
            ASSERT_TRUE(out.text.startsWith(before.left(at)));
            ASSERT_TRUE(out.text.endsWith(before.mid(at + removed)));
            ASSERT_GE(out.cursor, at);
            ASSERT_LE(out.cursor, out.text.size());
            // Cleaning clean text changes nothing.
            ASSERT_EQ(CleanText(kind, out.text).text, out.text.left(limit)) << int(kind);
        }
    }
}
