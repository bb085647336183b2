#include "outputs/cabrillo.h"
#include "outputs_harness.h"

#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

// A line holding each text at its 1-based column, spaces between.
QByteArray AtColumns(std::initializer_list<std::pair<int, const char *>> fields)
{
    QByteArray line;
    for (const auto &[column, text] : fields) {
        if (line.size() < column - 1)
            line.append(column - 1 - line.size(), ' ');
        line += text;
    }
    return line;
}

const CabrilloStation kInCanada{QStringLiteral("VA3XYZ"), QStringLiteral("ON"), true};

}  // namespace

TEST(CabrilloQso, ExampleContactFillsEveryColumn)
{
    ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
    EXPECT_EQ(CabrilloQsoLine(r, kInCanada),
              AtColumns({{1, "QSO:"}, {6, "14000"}, {12, "CW"}, {15, "2013-07-01"}, {26, "1805"}, {31, "VA3XYZ"},
                         {45, "599"}, {49, "ON"}, {56, "VE3ABC"}, {70, "599"}, {74, "QC"}}));
}

TEST(CabrilloQso, StationOutsideCanadaSendsEachContactsSerial)
{
    const CabrilloStation abroad{QStringLiteral("W1XYZ"), QStringLiteral("ON"), false};
    for (const char *serial : {"7", "1234"}) {
        ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
        r.SerialSent = QString::fromLatin1(serial);
        const QByteArray line = CabrilloQsoLine(r, abroad);
        EXPECT_EQ(line.mid(48, qstrlen(serial)), QByteArray(serial)) << line.constData();
        EXPECT_FALSE(line.contains(" ON ")) << line.constData();
    }
}

TEST(CabrilloQso, LongCallsAreCutToTwelveInBothColumns)
{
    const CabrilloStation station{QStringLiteral("VE3ABCDEFGHIJ"), QStringLiteral("ON"), true};
    const ContactRecord r = Contact(QStringLiteral("VA3ZYXWVUTSRQ"), QStringLiteral("QC"));
    EXPECT_EQ(CabrilloQsoLine(r, station),
              AtColumns({{1, "QSO:"}, {6, "14000"}, {12, "CW"}, {15, "2013-07-01"}, {26, "1805"},
                         {31, "VE3ABCDEFGHI"}, {45, "599"}, {49, "ON"}, {56, "VA3ZYXWVUTSR"}, {70, "599"}, {74, "QC"}}));
}

TEST(CabrilloQso, FieldThatCannotReachItsColumnStartsThereOnANewLine)
{
    struct Case {
        const char *reportSent;
        QByteArray expected;
    };
    const Case cases[] = {
        // Ends in column 48: the exchange follows without a gap.
        {"5999", AtColumns({{1, "QSO:"}, {6, "14000"}, {12, "CW"}, {15, "2013-07-01"}, {26, "1805"}, {31, "VA3XYZ"},
                            {45, "5999"}, {49, "ON"}, {56, "VE3ABC"}, {70, "599"}, {74, "QC"}})},
        // Reaches column 49: the exchange and the rest go to the next line, same columns.
        {"59999", AtColumns({{1, "QSO:"}, {6, "14000"}, {12, "CW"}, {15, "2013-07-01"}, {26, "1805"}, {31, "VA3XYZ"},
                             {45, "59999"}}) +
                      "\r\n" + AtColumns({{49, "ON"}, {56, "VE3ABC"}, {70, "599"}, {74, "QC"}})},
    };
    for (const Case &c : cases) {
        ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
        r.ReportSent = QString::fromLatin1(c.reportSent);
        EXPECT_EQ(CabrilloQsoLine(r, kInCanada), c.expected) << c.reportSent;
    }
}

TEST(CabrilloQso, FrequencyColumnByBand)
{
    const std::pair<const char *, const char *> cases[] = {
        {"160", " 1800"}, {"80", " 3500"}, {"40", " 7000"}, {"20", "14000"}, {"15", "21000"},
        {"10", "28000"},  {"6", "   50"},  {"2", "  144"},  {"12", ""},       {"", ""},
    };
    for (const auto &[band, freq] : cases) {
        ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"), QString::fromLatin1(band));
        EXPECT_EQ(CabrilloQsoLine(r, kInCanada).mid(5, 6), QByteArray(freq).leftJustified(5, ' ') + ' ') << band;
    }
}

TEST(CabrilloFile, EmptyLogIsTheHeaderThenEndOfLog)
{
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("  Velko's ZEV Contest Log 1.9 and a title longer than fifty characters");
    h.operatorWord = QStringLiteral("SINGLE-OP");
    h.bandWord = QStringLiteral("All");
    h.powerWord = QStringLiteral("LOW");
    h.scoreText = QStringLiteral("0");
    h.club = QStringLiteral("Ottawa Valley ARC");
    h.name = QStringLiteral("Pat Example");
    h.address1 = QStringLiteral("1 Main St");
    h.address2 = QStringLiteral("Ottawa ON");
    h.email = QStringLiteral("pat@example.org");
    h.operators = QStringLiteral("VE3XYZ VE3ABC");
    h.soapbox = QStringLiteral("Fun");
    const CabrilloStation station{QStringLiteral(" VE3XYZ "), QStringLiteral("ON"), true};
    EXPECT_EQ(CabrilloText(h, station, {}),
              QByteArray("START-OF-LOG: 2.0\r\n"
                         "CREATED-BY: Velko's ZEV Contest Log 1.9 and a title longer t\r\n"
                         "CALLSIGN: VE3XYZ\r\n"
                         "CONTEST: CANADA DAY\r\n"
                         "CATEGORY: SINGLE-OP All LOW\r\n"
                         "CLAIMED-SCORE: \r\n"
                         "CLUB: Ottawa Valley ARC\r\n"
                         "NAME: Pat Example\r\n"
                         "ADDRESS: 1 Main St\r\n"
                         "ADDRESS: Ottawa ON\r\n"
                         "ADDRESS: (e-mail) pat@example.org\r\n"
                         "OPERATORS: VE3XYZ VE3ABC\r\n"
                         "SOAPBOX: Fun\r\n"
                         "END-OF-LOG:\r\n"));
}

TEST(CabrilloFile, ContactsFollowTheHeaderInLogOrder)
{
    CabrilloHeader h;
    h.winterContest = true;
    const std::vector<ContactRecord> log{Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
                                         Contact(QStringLiteral("VE7ABC"), QStringLiteral("BC"), QStringLiteral("40"))};
    const QList<QByteArray> lines = zevtest::Lines(CabrilloText(h, kInCanada, log));
    ASSERT_EQ(lines.size(), 13 + 2 + 1 + 1);  // the last split is the empty rest after the final CR LF
    EXPECT_EQ(lines[3], "CONTEST: CANADA WINTER");
    EXPECT_TRUE(lines[13].startsWith("QSO: 14000 CW 2013-07-01 1805 VA3XYZ")) << lines[13].constData();
    EXPECT_TRUE(lines[13].endsWith("VE3ABC        599 QC")) << lines[13].constData();
    EXPECT_TRUE(lines[14].startsWith("QSO:  7000 CW")) << lines[14].constData();
    EXPECT_EQ(lines[15], "END-OF-LOG:");
    EXPECT_EQ(lines[16], "");
}

TEST(CabrilloFile, HeaderValuesStayOnTheirLine)
{
    CabrilloHeader h;
    h.soapbox = QStringLiteral("first\r\nsecond\nthird");
    const QList<QByteArray> lines = zevtest::Lines(CabrilloText(h, kInCanada, {}));
    EXPECT_EQ(lines[12], "SOAPBOX: first second third");
    EXPECT_EQ(lines[13], "END-OF-LOG:");
}

TEST(CabrilloFile, ClaimedScoreIsTheTotalWithoutSeparators)
{
    const std::pair<const char *, const char *> cases[] = {
        {"0", ""}, {"", ""}, {"27", "27"}, {"1,234", "1234"}, {"12,345,678", "12345678"}, {"abc", ""},
    };
    for (const auto &[shown, claimed] : cases)
        EXPECT_EQ(ClaimedScore(QString::fromLatin1(shown)), QString::fromLatin1(claimed)) << shown;

    CabrilloHeader h;
    h.scoreText = GroupedNumber(4120LL * 52);
    EXPECT_EQ(zevtest::Lines(CabrilloText(h, kInCanada, {}))[5], "CLAIMED-SCORE: 214240");
}
