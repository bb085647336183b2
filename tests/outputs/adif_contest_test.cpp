// ADIF records that carry the contest: its name, the exchanges, the provinces.

#include "frame/registry.h"
#include "outputs/adif_export.h"
#include "outputs/cabrillo.h"
#include "outputs_harness.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

const AdifContest kFromOntario{QStringLiteral("ZEV-CANADA-DAY"), QStringLiteral("ON"), true};
const AdifContest kFromAbroad{QStringLiteral("ZEV-CANADA-WINTER"), QStringLiteral("ON"), false};

CountryTable SmallTable()
{
    return ParseCountryTable("\"Canada\",1\r\n\"USA\",291\r\n", nullptr).value_or(CountryTable());
}

}  // namespace

TEST(AdifContestFields, ByExchangeAndStation)
{
    struct Case {
        const char *what;
        ContactRecord record;
        AdifContest contest;
        int dxcc;
        const char *fields;
    };
    ContactRecord serial = Contact(QStringLiteral("W1AW"), QStringLiteral("007"));
    ContactRecord phone = Contact(QStringLiteral("VE7ABC"), QStringLiteral("bc"), QStringLiteral("40"),
                                  QStringLiteral("PH"));
    ContactRecord abroad = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
    abroad.SerialSent = QStringLiteral("0012");
    ContactRecord abroadToAbroad = Contact(QStringLiteral("JA1ABC"), QStringLiteral("25"));
    abroadToAbroad.SerialSent = QStringLiteral("3");
    ContactRecord yukon = Contact(QStringLiteral("VY1AA"), QStringLiteral("YT"));
    ContactRecord notAProvince = Contact(QStringLiteral("K1ABC"), QStringLiteral("MA"));
    ContactRecord zero = Contact(QStringLiteral("W1AW"), QStringLiteral("000"));
    const AdifContest noProvince{QStringLiteral("ZEV-CANADA-DAY"), QStringLiteral("ONT"), true};
    const Case cases[] = {
        {"province received in Canada", Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")), kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:2>ON <VE_PROV:2>QC <STATE:2>QC "
         "<MY_STATE:2>ON"},
        {"serial received", serial, kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:3>007 <SRX:1>7 <STX_STRING:2>ON <MY_STATE:2>ON"},
        {"serial zero", zero, kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:3>000 <SRX:1>0 <STX_STRING:2>ON <MY_STATE:2>ON"},
        {"phone, exchange typed in small letters", phone, kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>bc <STX_STRING:2>ON <VE_PROV:2>BC <STATE:2>BC "
         "<MY_STATE:2>ON"},
        {"Yukon", yukon, kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>YT <STX_STRING:2>ON <VE_PROV:2>YT <STATE:2>YT "
         "<MY_STATE:2>ON"},
        {"station abroad sends its serial", abroad, kFromAbroad, 1,
         "<CONTEST_ID:17>ZEV-CANADA-WINTER <SRX_STRING:2>QC <STX_STRING:4>0012 <STX:2>12 <VE_PROV:2>QC "
         "<STATE:2>QC"},
        {"abroad to abroad", abroadToAbroad, kFromAbroad, 1,
         "<CONTEST_ID:17>ZEV-CANADA-WINTER <SRX_STRING:2>25 <SRX:2>25 <STX_STRING:1>3 <STX:1>3"},
        {"neither province nor serial", notAProvince, kFromOntario, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>MA <STX_STRING:2>ON <MY_STATE:2>ON"},
        {"province from a station counted in the USA", Contact(QStringLiteral("W1AW"), QStringLiteral("QC")),
         kFromOntario, 291,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:2>ON <VE_PROV:2>QC <MY_STATE:2>ON"},
        {"province from a station of no known country", Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
         kFromOntario, 0,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:2>ON <VE_PROV:2>QC <STATE:2>QC "
         "<MY_STATE:2>ON"},
        {"own province not a province code", Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")), noProvince, 1,
         "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:3>ONT <VE_PROV:2>QC <STATE:2>QC"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AdifContestFields(c.record, c.contest, c.dxcc), QByteArray(c.fields)) << c.what;
}

// The first two field lines stay as they were; the contest fields make a third line
// before "<eor>", with or without a comment.
TEST(AdifText, ContestFieldsAreAThirdLineBeforeEor)
{
    AdifOptions o;
    o.power = QStringLiteral("100");
    o.comment = QStringLiteral("ZEV Contest");
    o.contest = kFromOntario;
    const std::vector<ContactRecord> log{Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))};
    const QByteArray contest = "<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:2>ON <VE_PROV:2>QC "
                               "<STATE:2>QC <MY_STATE:2>ON\r\n";
    QByteArray text = AdifText(o, log, SmallTable());
    EXPECT_EQ(text.mid(text.indexOf("<EOH>\r\n\r\n") + 9),
              "<Call:6>VE3ABC <Qso_Date:8:d>20130701 <Band:3>20M <Mode:2>CW\r\n"
              "<Tx_Pwr:3>100 <Time_On:4>1805 <DXCC:1>1 <Freq:6>14.025 <RST_Rcvd:3>599 <RST_Sent:3>599 "
              "<Comment:11>ZEV Contest\r\n" +
                  contest + "<eor>\r\n\r\n");

    o.comment.clear();
    text = AdifText(o, log, SmallTable());
    EXPECT_EQ(text.mid(text.indexOf("<EOH>\r\n\r\n") + 9),
              "<Call:6>VE3ABC <Qso_Date:8:d>20130701 <Band:3>20M <Mode:2>CW\r\n"
              "<Tx_Pwr:3>100 <Time_On:4>1805 <DXCC:1>1 <Freq:6>14.025 <RST_Rcvd:3>599 <RST_Sent:3>599 \r\n" +
                  contest + "<eor>\r\n\r\n");
}

TEST(AdifText, LogLooksLikeWinterContestByItsFirstDate)
{
    const std::pair<const char *, bool> cases[] = {
        {"2013/07/01", false}, {"2013/12/28", true}, {"2014/01/01", true}, {"2013/11/30", false}, {"", false},
    };
    for (const auto &[date, winter] : cases) {
        ContactRecord r = Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"));
        r.QsoDate = QString::fromLatin1(date);
        EXPECT_EQ(LogLooksLikeWinterContest({r}), winter) << date;
    }
    EXPECT_FALSE(LogLooksLikeWinterContest({}));
}

namespace {

struct ContestAdifRun : zevtest::ExportHarness {
    ContestAdifRun()
    {
        zevtest::WriteFile(folders.StartDir + "/ADIFCnt.txt", "\"Canada\",1\r\n");
        QDir().mkpath(folders.ProgramDataFolder);
        s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))});
    }
    QByteArray exportFile()
    {
        const QString out = folders.ProgramDataFolder + "/ZEV.adi";
        prompter.answers = {QStringLiteral("100"), QStringLiteral("ZEV Contest"), out};
        ExportAdif(s(), QStringLiteral("ZEV"));
        return zevtest::ReadFile(out);
    }
};

}  // namespace

// The export names the contest as the summary sheet last did; with no sheet written yet,
// the log's dates tell which contest it was.
TEST(ExportAdif, NamesTheContestTheSummarySheetKept)
{
    {
        ContestAdifRun h;
        EXPECT_TRUE(h.exportFile().contains("<CONTEST_ID:14>ZEV-CANADA-DAY <SRX_STRING:2>QC <STX_STRING:2>ON "));
    }
    {
        ContestAdifRun h;
        ContactRecord r = Contact(QStringLiteral("W1AW"), QStringLiteral("12"));
        r.QsoDate = QStringLiteral("2013/12/28");
        r.SerialSent = QStringLiteral("5");
        h.s().log.setRecords({r});
        h.s().prefs.InCanada = 0;
        EXPECT_TRUE(h.exportFile().contains(
            "<CONTEST_ID:17>ZEV-CANADA-WINTER <SRX_STRING:2>12 <SRX:2>12 <STX_STRING:1>5 <STX:1>5\r\n<eor>"));
    }
    {
        ContestAdifRun h;
        SubmissionChoices kept;
        kept.winterContest = true;
        kept.winterContestName = QStringLiteral("RAC-WINTER");
        ASSERT_TRUE(StoreSubmissionChoices(*h.registry, kept, nullptr));
        const QByteArray file = h.exportFile();
        EXPECT_TRUE(file.contains("<CONTEST_ID:10>RAC-WINTER ")) << file.constData();
        EXPECT_TRUE(file.contains("<MY_STATE:2>ON\r\n<eor>")) << file.constData();
    }
}
