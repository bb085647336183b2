// The Cabrillo 3.0 file and the submission choices kept for the next run.

#include "frame/registry.h"
#include "outputs/cabrillo.h"
#include "outputs_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zev;
using zevtest::Contact;

namespace {

const CabrilloStation kInCanada{QStringLiteral(" VA3XYZ "), QStringLiteral("ON"), true};

CabrilloHeader FullHeader()
{
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9") + QString(40, QLatin1Char(' ')) +
                        QStringLiteral("https://velko-software.example/zev");
    h.scoreText = QStringLiteral("1,234");
    h.club = QStringLiteral("Ottawa Valley ARC");
    h.name = QStringLiteral("Pat Example");
    h.address1 = QStringLiteral("1 Main St");
    h.address2 = QStringLiteral("Ottawa ON");
    h.email = QStringLiteral("pat@example.org");
    h.operators = QStringLiteral("VA3XYZ VE3ABC ");
    h.soapbox = QStringLiteral("Good conditions on 20 m.");
    return h;
}

// The header tags of a file, without the QSO lines and END-OF-LOG.
QList<QByteArray> HeaderLines(const QByteArray &file)
{
    QList<QByteArray> out;
    for (const QByteArray &l : zevtest::Lines(file))
        if (!l.startsWith("QSO:") && !l.startsWith("END-OF-LOG:") && !l.isEmpty())
            out << l;
    return out;
}

}  // namespace

TEST(Cabrillo3File, SmallLogGivesTheHeaderTagsTheSameQsoLinesAndEndOfLog)
{
    const std::vector<ContactRecord> log{Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
                                         Contact(QStringLiteral("VE7ABC"), QStringLiteral("BC"), QStringLiteral("40"),
                                                 QStringLiteral("PH"))};
    CabrilloHeader h = FullHeader();
    Cabrillo3Choices c = Cabrillo3Words(CabrilloCategories()[1], QStringLiteral("All"));
    c.stationWord = QStringLiteral("PORTABLE");
    const QByteArray file = Cabrillo3Text(h, c, kInCanada, log);
    EXPECT_EQ(file, QByteArray("START-OF-LOG: 3.0\r\n"
                               "CREATED-BY: Velko's ZEV Contest Log 1.9\r\n"
                               "CALLSIGN: VA3XYZ\r\n"
                               "CONTEST: ZEV-CANADA-DAY\r\n"
                               "CATEGORY-OPERATOR: SINGLE-OP\r\n"
                               "CATEGORY-BAND: ALL\r\n"
                               "CATEGORY-MODE: MIXED\r\n"
                               "CATEGORY-POWER: LOW\r\n"
                               "CATEGORY-TRANSMITTER: ONE\r\n"
                               "CATEGORY-STATION: PORTABLE\r\n"
                               "CLAIMED-SCORE: 1234\r\n"
                               "LOCATION: ON\r\n"
                               "CLUB: Ottawa Valley ARC\r\n"
                               "NAME: Pat Example\r\n"
                               "ADDRESS: 1 Main St\r\n"
                               "ADDRESS: Ottawa ON\r\n"
                               "EMAIL: pat@example.org\r\n"
                               "OPERATORS: VA3XYZ VE3ABC\r\n"
                               "SOAPBOX: Good conditions on 20 m.\r\n") +
                        CabrilloQsoLine(log[0], kInCanada) + "\r\n" + CabrilloQsoLine(log[1], kInCanada) +
                        "\r\nEND-OF-LOG:\r\n");
    // The QSO lines are the 2.0 file's, byte for byte.
    const QByteArray v2 = CabrilloText(h, kInCanada, log);
    EXPECT_EQ(file.mid(file.indexOf("QSO:")), v2.mid(v2.indexOf("QSO:")));
}

TEST(Cabrillo3File, CategoryTagsForEveryOptionAndBand)
{
    struct Case {
        const char *control, *band;
        const char *operatorWord, *bandWord, *mode, *power, *transmitter;
    };
    const Case cases[] = {
        {"Option6", "All", "SINGLE-OP", "ALL", "MIXED", "HIGH", "ONE"},
        {"Option2", "All", "SINGLE-OP", "ALL", "MIXED", "LOW", "ONE"},
        {"Option9", "All", "SINGLE-OP", "ALL", "MIXED", "QRP", "ONE"},
        {"Option1", "160", "SINGLE-OP", "160M", "MIXED", "HIGH", "ONE"},
        {"Option4", "20", "SINGLE-OP", "20M", "MIXED", "LOW", "ONE"},
        {"Option20", "All", "SINGLE-OP", "ALL", "CW", "HIGH", "ONE"},
        {"Option21", "All", "SINGLE-OP", "ALL", "SSB", "HIGH", "ONE"},
        {"Option3", "All", "MULTI-OP", "ALL", "MIXED", "HIGH", "ONE"},
        {"Option7", "6", "MULTI-OP", "6M", "MIXED", "LOW", "ONE"},
        {"Option10", "All", "MULTI-OP", "ALL", "MIXED", "HIGH", "UNLIMITED"},
        {"Option1", "2", "SINGLE-OP", "2M", "MIXED", "HIGH", "ONE"},
    };
    for (const Case &c : cases) {
        const auto &table = CabrilloCategories();
        const auto it = std::find_if(table.begin(), table.end(),
                                     [&c](const CabrilloCategory &k) { return qstrcmp(k.control, c.control) == 0; });
        ASSERT_NE(it, table.end()) << c.control;
        const QList<QByteArray> lines = HeaderLines(
            Cabrillo3Text({}, Cabrillo3Words(*it, QString::fromLatin1(c.band)), kInCanada, {}));
        ASSERT_GE(lines.size(), 10) << c.control;
        const QByteArray expected[] = {
            QByteArray("CATEGORY-OPERATOR: ") + c.operatorWord, QByteArray("CATEGORY-BAND: ") + c.bandWord,
            QByteArray("CATEGORY-MODE: ") + c.mode,             QByteArray("CATEGORY-POWER: ") + c.power,
            QByteArray("CATEGORY-TRANSMITTER: ") + c.transmitter, "CATEGORY-STATION: FIXED",
        };
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(lines[4 + i], expected[i]) << c.control << " " << c.band;
    }
}

TEST(Cabrillo3File, ContestNameIsTheTypedOneOrTheContestsOwn)
{
    struct Case {
        bool winter;
        const char *typed;
        const char *line;
    };
    const Case cases[] = {
        {false, "", "CONTEST: ZEV-CANADA-DAY"},
        {true, "", "CONTEST: ZEV-CANADA-WINTER"},
        {true, "RAC-WINTER", "CONTEST: RAC-WINTER"},
        // What a robot cannot take is dropped; nothing left is no name at all.
        {false, "canada day_2013!", "CONTEST: CANADADAY2013"},
        {true, " _!", "CONTEST: ZEV-CANADA-WINTER"},
        {false, "A-VERY-LONG-CONTEST-NAME-OF-40-CHARACTERS", "CONTEST: A-VERY-LONG-CONTEST-NAME-OF-40-C"},
    };
    for (const Case &c : cases) {
        CabrilloHeader h;
        h.winterContest = c.winter;
        Cabrillo3Choices words;
        words.contestName = QString::fromLatin1(c.typed);
        EXPECT_EQ(HeaderLines(Cabrillo3Text(h, words, kInCanada, {}))[3], c.line) << c.typed;
    }
}

TEST(Cabrillo3File, AbroadIsDxAndEmptyDetailsAreLeftOut)
{
    const CabrilloStation abroad{QStringLiteral("W1XYZ"), QStringLiteral("ON"), false};
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("ZEV");
    h.operators = QStringLiteral("  ");
    h.scoreText = QStringLiteral("0");
    ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
    r.SerialSent = QStringLiteral("12");
    const QByteArray file = Cabrillo3Text(h, Cabrillo3Choices(), abroad, {r});
    EXPECT_EQ(HeaderLines(file), (QList<QByteArray>{"START-OF-LOG: 3.0", "CREATED-BY: ZEV", "CALLSIGN: W1XYZ",
                                                    "CONTEST: ZEV-CANADA-DAY", "CATEGORY-OPERATOR: SINGLE-OP",
                                                    "CATEGORY-BAND: ALL", "CATEGORY-MODE: MIXED",
                                                    "CATEGORY-POWER: HIGH", "CATEGORY-TRANSMITTER: ONE",
                                                    "CATEGORY-STATION: FIXED", "CLAIMED-SCORE: 0", "LOCATION: DX"}));
    EXPECT_TRUE(file.contains("\r\n" + CabrilloQsoLine(r, abroad) + "\r\nEND-OF-LOG:\r\n")) << file.constData();
    EXPECT_EQ(CabrilloQsoLine(r, abroad).mid(48, 2), "12");

    // In Canada without a province there is no location to give.
    const CabrilloStation noProvince{QStringLiteral("VE3XYZ"), QStringLiteral(" "), true};
    EXPECT_FALSE(Cabrillo3Text(h, Cabrillo3Choices(), noProvince, {}).contains("LOCATION"));
}

TEST(Cabrillo3File, HeaderValuesStayOnTheirLine)
{
    CabrilloHeader h;
    h.soapbox = QStringLiteral("first\r\nsecond\nthird");
    h.name = QStringLiteral("Pat\rExample");
    const QByteArray file = Cabrillo3Text(h, Cabrillo3Choices(), kInCanada, {});
    const QList<QByteArray> lines = HeaderLines(file);
    EXPECT_TRUE(lines.contains("SOAPBOX: first second third")) << file.constData();
    EXPECT_TRUE(lines.contains("NAME: Pat Example")) << file.constData();
    EXPECT_EQ(file.count('\n'), file.count("\r\n"));
}

TEST(SubmissionChoices, KeptInTheRegistryAcrossRuns)
{
    zevtest::ExportHarness h;
    const SubmissionChoices fresh = LoadSubmissionChoices(*h.registry);
    EXPECT_TRUE(fresh.version3);
    EXPECT_FALSE(fresh.contestChosen);
    EXPECT_EQ(fresh.stationCategory, "FIXED");
    EXPECT_EQ(fresh.contestName(false), "ZEV-CANADA-DAY");
    EXPECT_EQ(fresh.contestName(true), "ZEV-CANADA-WINTER");

    SubmissionChoices c;
    c.version3 = false;
    c.winterContest = true;
    c.winterContestName = QStringLiteral("RAC-WINTER");
    c.stationCategory = QStringLiteral("MOBILE");
    QString error;
    ASSERT_TRUE(StoreSubmissionChoices(*h.registry, c, &error)) << error.toStdString();

    const SubmissionChoices back = LoadSubmissionChoices(Registry(h.registry->fileName()));
    EXPECT_FALSE(back.version3);
    EXPECT_TRUE(back.contestChosen);
    EXPECT_TRUE(back.winterContest);
    EXPECT_EQ(back.contestName(true), "RAC-WINTER");
    EXPECT_EQ(back.contestName(false), "ZEV-CANADA-DAY");
    EXPECT_EQ(back.stationCategory, "MOBILE");

    // A hand-edited store cannot put a value on the file that 3.0 does not allow.
    ASSERT_TRUE(h.registry->setValue(QStringLiteral("CabrilloStationCategory"), QStringLiteral("BASEMENT")));
    ASSERT_TRUE(h.registry->setValue(QStringLiteral("CabrilloContestNameDay"), QStringLiteral("my day!")));
    const SubmissionChoices edited = LoadSubmissionChoices(*h.registry);
    EXPECT_EQ(edited.stationCategory, "FIXED");
    EXPECT_EQ(edited.contestName(false), "MYDAY");
}
