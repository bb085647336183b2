// Files from our writers, read back by independent Cabrillo and ADIF readers
// (tests/peers, installed there with `npm ci`).

#include "outputs/adif_export.h"
#include "outputs/cabrillo.h"
#include "outputs_harness.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kPeers = QStringLiteral(ZEV_FIXTURES "/../peers");

// Why the peer readers cannot run here, or nothing when they can.
QString PeersMissing()
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        return QStringLiteral("node is not installed");
    for (const char *module : {"cabrillo", "tcadif"})
        if (!QFileInfo::exists(kPeers + QStringLiteral("/node_modules/%1/package.json").arg(QLatin1String(module))))
            return QStringLiteral("npm module %1 missing: run npm ci in tests/peers").arg(QLatin1String(module));
    return {};
}

// Runs the peer check on `expect`; empty when the readers agree, else what they said.
QString RunPeers(const QTemporaryDir &dir, const QJsonObject &expect)
{
    const QString expectPath = dir.filePath(QStringLiteral("expect.json"));
    zevtest::WriteFile(expectPath, QJsonDocument(expect).toJson());
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStandardPaths::findExecutable(QStringLiteral("node")), {kPeers + QStringLiteral("/check.js"), expectPath});
    if (!p.waitForFinished(120000))
        return QStringLiteral("the peer check did not finish");
    const QString out = QString::fromUtf8(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return out.isEmpty() ? QStringLiteral("the peer check failed") : out;
    return {};
}

const char *const kBands[] = {"160", "80", "40", "20", "15", "10", "6", "2"};
const char *const kFrequencies[] = {"1.825", "3.55", "7.025", "14.025", "21.025", "28.025", "50.1", "144.2"};
const char *const kCabrilloFrequencies[] = {"1800", "3500", "7000", "14000", "21000", "28000", "50", "144"};

// A log across every band and both modes, one contact per country of the generated table.
std::vector<ContactRecord> PeerLog(const CountryTable &countries, bool abroad)
{
    const char *const provinces[] = {"NS", "QC", "ON", "MB", "SK", "AB", "BC", "NT", "NB", "NL", "NU", "YT", "PE"};
    std::vector<ContactRecord> log;
    int i = 0;
    for (const CountryTable::Entry &c : countries.entries()) {
        ContactRecord r;
        const int band = i % 8;
        r.Call = i % 5 == 4 ? QStringLiteral("VE3ABCDEFGHI") : QStringLiteral("VA%1Z%2").arg(i % 10).arg(QChar('A' + i % 26));
        r.Mode = i % 3 ? QStringLiteral("CW") : QStringLiteral("PH");
        r.ReportRcvd = r.ReportSent = r.Mode == QLatin1String("CW") ? QStringLiteral("599") : QStringLiteral("59");
        r.SerialSent = abroad ? QString::number(i + 1) : QString();
        r.ExchangeRcvd = i % 4 ? QString::fromLatin1(provinces[i % 13]) : QString::number(i * 7 + 1);
        r.QsoDate = QDate(2013, 7, 1).addDays(i / 200).toString(QStringLiteral("yyyy/MM/dd"));
        r.QsoTime = QTime(0, 0).addSecs(i * 217 % 86400).toString(QStringLiteral("HH:mm:ss"));
        r.Band = QString::fromLatin1(kBands[band]);
        r.Points = 10;
        r.Frequency = QString::fromLatin1(kFrequencies[band]);
        r.Country = c.name;
        log.push_back(r);
        ++i;
    }
    return log;
}

struct PeerRun {
    QTemporaryDir dir;
    CountryTable countries;
    std::vector<ContactRecord> log;
    QJsonObject expect;

    explicit PeerRun(bool abroad)
    {
        QString error;
        std::optional<CountryTable> t = ReadCountryTable(QStringLiteral(ZEV_BUILD_DIR "/ADIFCnt.txt"), &error);
        EXPECT_TRUE(t.has_value()) << error.toStdString();
        countries = t.value_or(CountryTable());
        log = PeerLog(countries, abroad);
    }

    // What the reader should find on the QSO lines, the same in 2.0 and 3.0.
    QJsonArray cabrilloQsos(const CabrilloStation &station) const
    {
        QJsonArray qsos;
        for (const ContactRecord &r : log) {
            const int band = BandIndex(r.Band);
            qsos.append(QJsonObject{
                {"freq", kCabrilloFrequencies[band]},
                {"mo", r.Mode},
                {"date", QString(r.QsoDate).replace('/', '-')},
                {"time", r.QsoTime.left(2) + r.QsoTime.mid(3, 2)},
                {"sentcall", station.myCall.trimmed().left(12)},
                {"sentrst", r.ReportSent},
                {"sentexch", station.inCanada ? station.myProvince : r.SerialSent},
                {"rcvdcall", r.Call.left(12)},
                {"rcvdrst", r.ReportRcvd},
                {"rcvdexch", r.ExchangeRcvd},
            });
        }
        return qsos;
    }

    void cabrillo(const CabrilloHeader &h, const CabrilloStation &station, const QString &claimedScore)
    {
        const QString file = dir.filePath(QStringLiteral("log.cbr"));
        zevtest::WriteFile(file, CabrilloText(h, station, log));
        const QJsonArray qsos = cabrilloQsos(station);
        expect.insert("cabrillo", QJsonObject{
                                      {"file", file},
                                      {"header", QJsonObject{{"CABRILLO-VERSION", "2.0"},
                                                             {"CALLSIGN", station.myCall.trimmed()},
                                                             {"CONTEST", h.winterContest ? "CANADA WINTER" : "CANADA DAY"},
                                                             {"CATEGORY", h.operatorWord + ' ' + h.bandWord + ' ' + h.powerWord},
                                                             {"CLAIMED-SCORE", claimedScore},
                                                             {"CLUB", h.club},
                                                             {"NAME", h.name},
                                                             {"OPERATORS", h.operators}}},
                                      {"qsos", qsos},
                                  });
    }

    void cabrillo3(const CabrilloHeader &h, const Cabrillo3Choices &c, const CabrilloStation &station,
                   const QJsonObject &header)
    {
        const QString file = dir.filePath(QStringLiteral("log3.cbr"));
        zevtest::WriteFile(file, Cabrillo3Text(h, c, station, log));
        expect.insert("cabrillo", QJsonObject{
                                      {"file", file}, {"version", "3.0"}, {"header", header}, {"qsos", cabrilloQsos(station)}});
    }

    void adif(const AdifOptions &o)
    {
        const QString file = dir.filePath(QStringLiteral("log.adi"));
        zevtest::WriteFile(file, AdifText(o, log, countries));
        QJsonArray qsos;
        for (const ContactRecord &r : log) {
            QJsonObject q{
                {"CALL", r.Call},
                {"QSO_DATE", QString(r.QsoDate).remove('/')},
                {"BAND", r.Band + 'M'},
                {"MODE", r.Mode == QLatin1String("PH") ? "SSB" : "CW"},
                {"TIME_ON", r.QsoTime.left(2) + r.QsoTime.mid(3, 2)},
                {"FREQ", r.Frequency},
                {"RST_RCVD", r.ReportRcvd},
                {"RST_SENT", r.ReportSent},
                {"DXCC", QString::number(countries.LookupDxcc(r.Country))},
            };
            if (!o.power.isEmpty())
                q.insert("TX_PWR", o.power);
            if (!o.comment.isEmpty())
                q.insert("COMMENT", o.comment);
            if (o.contest) {
                const AdifContest &c = *o.contest;
                const QString sent = c.inCanada ? c.myProvince : r.SerialSent;
                q.insert("CONTEST_ID", c.contestId);
                q.insert("SRX_STRING", r.ExchangeRcvd);
                q.insert("STX_STRING", sent);
                const int dxcc = countries.LookupDxcc(r.Country);
                if (IsNumeric(r.ExchangeRcvd))
                    q.insert("SRX", r.ExchangeRcvd);
                else
                    q.insert("VE_PROV", r.ExchangeRcvd);
                // A province is a state of Canada only.
                if (!IsNumeric(r.ExchangeRcvd) && (dxcc == kCanadaDxcc || dxcc <= 0))
                    q.insert("STATE", r.ExchangeRcvd);
                if (IsNumeric(sent))
                    q.insert("STX", sent);
                if (c.inCanada)
                    q.insert("MY_STATE", c.myProvince);
            }
            qsos.append(q);
        }
        expect.insert("adif", QJsonObject{{"file", file}, {"qsos", qsos}});
    }
};

}  // namespace

TEST(PeerReaders, AcceptOurCabrilloAndAdifFromCanada)
{
    const QString missing = PeersMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PeerRun run(false);
    ASSERT_GT(run.log.size(), 300u);
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9") + QString(20, QLatin1Char(' ')) +
                        QStringLiteral("https://velko-software.example/zev");
    h.operatorWord = QStringLiteral("SINGLE-OP");
    h.bandWord = QStringLiteral("All");
    h.powerWord = QStringLiteral("LOW");
    h.scoreText = QStringLiteral("1,234,567");
    h.club = QStringLiteral("Ottawa Valley ARC");
    h.name = QStringLiteral("Pat Example");
    h.address1 = QStringLiteral("1 Main St");
    h.address2 = QStringLiteral("Ottawa ON");
    h.email = QStringLiteral("pat@example.org");
    h.operators = QStringLiteral("VE3XYZ VE3ABC");
    h.soapbox = QStringLiteral("Good conditions on 20 m.");
    run.cabrillo(h, {QStringLiteral("VE3XYZ"), QStringLiteral("ON"), true}, QStringLiteral("1234567"));
    run.adif(
        {h.mainWindowTitle, QStringLiteral("2013-07-02"), QStringLiteral("100"), QStringLiteral("ZEV Contest"), {}});
    const QString said = RunPeers(run.dir, run.expect);
    EXPECT_TRUE(said.isEmpty()) << said.toStdString();
}

TEST(PeerReaders, AcceptOurCabrilloAndAdifFromAbroadWithoutPowerOrComment)
{
    const QString missing = PeersMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    PeerRun run(true);
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("ZEV");
    h.winterContest = true;
    h.operatorWord = QStringLiteral("MULTI-ONE");
    h.bandWord = QStringLiteral("20");
    h.powerWord = QStringLiteral("HIGH");
    h.scoreText = QStringLiteral("0");
    h.operators = QStringLiteral("W1XYZ");
    run.cabrillo(h, {QStringLiteral("W1XYZ"), QString(), false}, QString());
    run.adif({h.mainWindowTitle, QStringLiteral("7/2/13"), QString(), QString(), {}});
    const QString said = RunPeers(run.dir, run.expect);
    EXPECT_TRUE(said.isEmpty()) << said.toStdString();
}

// The check itself must be able to fail: a length that does not fit its value, and a
// call one column early.
TEST(PeerReaders, RejectBrokenFiles)
{
    const QString missing = PeersMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    QTemporaryDir dir;
    const QString adif = dir.filePath(QStringLiteral("bad.adi"));
    zevtest::WriteFile(adif, "x\r\n<EOH>\r\n<Call:6>VE3ABC <Qso_Date:8:d>20131301 <Band:3>20M <Mode:2>CW "
                             "<Time_On:4>1805 <eor>\r\n");
    EXPECT_FALSE(RunPeers(dir, {{"adif", QJsonObject{{"file", adif},
                                                     {"qsos", QJsonArray{QJsonObject{{"CALL", "VE3ABC"}}}}}}})
                     .isEmpty());

    const QString cbr = dir.filePath(QStringLiteral("bad.cbr"));
    zevtest::WriteFile(cbr, "START-OF-LOG: 2.0\r\n"
                            "QSO: 14000 CW 2013-07-01 1805 VA3XYZ        599 ON    VE3ABC        599 QC\r\n"
                            "END-OF-LOG:\r\n");
    const QJsonObject qso{{"freq", "14000"},     {"mo", "CW"},       {"date", "2013-07-01"}, {"time", "1805"},
                          {"sentcall", "VA3XYZ"}, {"sentrst", "599"}, {"sentexch", "ON"},     {"rcvdcall", "VE3ABC"},
                          {"rcvdrst", "599"},     {"rcvdexch", "QC"}};
    EXPECT_FALSE(RunPeers(dir, {{"cabrillo", QJsonObject{{"file", cbr}, {"qsos", QJsonArray{qso}}}}}).isEmpty());
}

namespace {

CabrilloHeader Header3()
{
    CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9") + QString(40, QLatin1Char(' ')) +
                        QStringLiteral("https://velko-software.example/zev");
    h.scoreText = QStringLiteral("1,234,567");
    h.club = QStringLiteral("Ottawa Valley ARC");
    h.name = QStringLiteral("Pat Example");
    h.address1 = QStringLiteral("1 Main St");
    h.address2 = QStringLiteral("Ottawa ON");
    h.email = QStringLiteral("pat@example.org");
    h.operators = QStringLiteral("VE3XYZ VE3ABC ");
    h.soapbox = QStringLiteral("Good conditions on 20 m.");
    return h;
}

}  // namespace

TEST(PeerReaders, AcceptOurCabrillo3AndContestAdif)
{
    const QString missing = PeersMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    struct Case {
        const char *what;
        bool abroad;
        int category;
        const char *band;
        const char *station;
    };
    const Case cases[] = {
        {"from Canada, single op low power", false, 1, "All", "FIXED"},
        {"from Canada, multi-multi, 6 m", false, 9, "6", "HQ"},
        {"from abroad, phone only", true, 6, "All", "PORTABLE"},
        {"from abroad, single band 160 m", true, 3, "160", "EXPEDITION"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PeerRun run(c.abroad);
        const CabrilloHeader h = Header3();
        const CabrilloStation station{c.abroad ? QStringLiteral("W1XYZ") : QStringLiteral("VE3XYZ"),
                                      QStringLiteral("ON"), !c.abroad};
        Cabrillo3Choices words = Cabrillo3Words(CabrilloCategories()[c.category], QString::fromLatin1(c.band));
        words.contestName = DefaultContestName(c.abroad);
        words.stationWord = QString::fromLatin1(c.station);
        run.cabrillo3(h, words, station,
                      {{"CABRILLO-VERSION", "3.0"},
                       {"CALLSIGN", station.myCall},
                       {"CONTEST", words.contestName},
                       {"CATEGORY-OPERATOR", words.operatorWord},
                       {"CATEGORY-BAND", words.bandWord},
                       {"CATEGORY-MODE", words.modeWord},
                       {"CATEGORY-POWER", words.powerWord},
                       {"CATEGORY-TRANSMITTER", words.transmitterWord},
                       {"CATEGORY-STATION", words.stationWord},
                       {"CLAIMED-SCORE", "1234567"},
                       {"LOCATION", c.abroad ? "DX" : "ON"},
                       {"CLUB", h.club},
                       {"NAME", h.name},
                       {"EMAIL", h.email},
                       {"OPERATORS", h.operators.trimmed()}});
        run.adif({h.mainWindowTitle, QStringLiteral("2013-07-02"), QStringLiteral("100"), QString(),
                  AdifContest{words.contestName, station.myProvince, station.inCanada}});
        const QString said = RunPeers(run.dir, run.expect);
        EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    }
}

// The strict checks must be able to fail: each file below differs from a good one in
// one place, and the readers themselves agree with what it holds.
TEST(PeerReaders, StrictChecksRejectWhatThe3FormatAndAdifDoNotAllow)
{
    const QString missing = PeersMissing();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    QTemporaryDir dir;
    const CabrilloStation station{QStringLiteral("VE3XYZ"), QStringLiteral("ON"), true};
    const std::vector<ContactRecord> log{zevtest::Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
                                         zevtest::Contact(QStringLiteral("W1AW"), QStringLiteral("12"))};
    const QByteArray good = Cabrillo3Text(Header3(), Cabrillo3Words(CabrilloCategories()[1], "All"), station, log);
    PeerRun qsoSource(false);
    qsoSource.log = log;
    const QJsonArray qsos = qsoSource.cabrilloQsos(station);
    auto check = [&](const QByteArray &file) {
        const QString path = dir.filePath(QStringLiteral("log3.cbr"));
        zevtest::WriteFile(path, file);
        return RunPeers(dir, {{"cabrillo", QJsonObject{{"file", path}, {"version", "3.0"}, {"qsos", qsos}}}});
    };
    ASSERT_EQ(check(good), QString());

    const QByteArray qso2 = good.mid(good.lastIndexOf("QSO:"), good.indexOf("\r\nEND") - good.lastIndexOf("QSO:") + 2);
    struct Case {
        const char *what;
        QByteArray file;
        const char *said;
    };
    const Case cases[] = {
        {"power in watts", QByteArray(good).replace("CATEGORY-POWER: LOW", "CATEGORY-POWER: 100W"), "CATEGORY-POWER"},
        {"unknown station", QByteArray(good).replace("STATION: FIXED", "STATION: HOME"), "CATEGORY-STATION"},
        {"2.0 category tag", QByteArray(good).replace("CATEGORY-MODE: MIXED", "CATEGORY: SINGLE-OP ALL LOW"),
         "unknown tag CATEGORY"},
        {"unknown tag", QByteArray(good).replace("CLUB:", "CLUB-NAME:"), "unknown tag CLUB-NAME"},
        {"province spelled out", QByteArray(good).replace("LOCATION: ON", "LOCATION: ONTARIO"), "LOCATION"},
        {"contest with blanks", QByteArray(good).replace("ZEV-CANADA-DAY", "ZEV CANADA DAY"), "CONTEST"},
        {"score with separators", QByteArray(good).replace("SCORE: 1234567", "SCORE: 1,234,567"), "CLAIMED-SCORE"},
        {"no start", QByteArray(good).replace("START-OF-LOG: 3.0\r\n", ""), "START-OF-LOG"},
        {"end before a QSO", QByteArray(good).replace(qso2 + "END-OF-LOG:\r\n", "END-OF-LOG:\r\n" + qso2),
         "END-OF-LOG"},
        {"header after the QSO lines",
         QByteArray(good)
             .replace("CLUB: Ottawa Valley ARC\r\n", "")
             .replace("END-OF-LOG:", "CLUB: Ottawa\r\nEND-OF-LOG:"),
         "after the QSO lines"},
        {"two call signs", QByteArray(good).replace("CALLSIGN: VE3XYZ\r\n", "CALLSIGN: VE3XYZ\r\nCALLSIGN: VE3XYZ\r\n"),
         "CALLSIGN appears 2 times"},
        {"no contest", QByteArray(good).replace("CONTEST: ZEV-CANADA-DAY\r\n", ""), "CONTEST missing"},
        {"QSO on a day that does not exist", QByteArray(good).replace(" 2013-07-01 ", " 2013-02-30 "), "date"},
    };
    for (const Case &c : cases) {
        ASSERT_NE(c.file, good) << c.what;
        const QString said = check(c.file);
        EXPECT_TRUE(said.contains(QLatin1String(c.said))) << c.what << ": " << said.toStdString();
    }

    // ADIF: values the reader takes as plain text, held to what they may be.
    AdifOptions o;
    o.contest = AdifContest{QStringLiteral("ZEV-CANADA-DAY"), QStringLiteral("ON"), true};
    const QByteArray adif = AdifText(o, log, ParseCountryTable("\"Canada\",1\r\n\"USA\",291\r\n", nullptr).value());
    auto checkAdif = [&](const QByteArray &file, const char *state, const char *srx) {
        const QString path = dir.filePath(QStringLiteral("log.adi"));
        zevtest::WriteFile(path, file);
        QJsonArray records;
        for (const ContactRecord &r : log) {
            QJsonObject q{{"CALL", r.Call}, {"QSO_DATE", "20130701"}, {"BAND", "20M"}, {"MODE", "CW"},
                          {"TIME_ON", "1805"}, {"FREQ", "14.025"}, {"RST_RCVD", "599"}, {"RST_SENT", "599"},
                          {"CONTEST_ID", "ZEV-CANADA-DAY"}, {"SRX_STRING", r.ExchangeRcvd}, {"STX_STRING", "ON"},
                          {"MY_STATE", "ON"}};
            if (r.Country == QLatin1String("Canada"))
                q.insert("DXCC", "1");
            if (r.ExchangeRcvd == QLatin1String("QC"))
                q.insert("VE_PROV", state), q.insert("STATE", state);
            else
                q.insert("SRX", srx);
            records.append(q);
        }
        return RunPeers(dir, {{"adif", QJsonObject{{"file", path}, {"qsos", records}}}});
    };
    ASSERT_EQ(checkAdif(adif, "QC", "12"), QString());
    const QByteArray yukonMisspelt = QByteArray(adif).replace("<VE_PROV:2>QC <STATE:2>QC", "<VE_PROV:2>YU <STATE:2>YU");
    EXPECT_TRUE(checkAdif(yukonMisspelt, "YU", "12").contains("STATE YU"));
    EXPECT_TRUE(checkAdif(QByteArray(adif).replace("<SRX:2>12", "<SRX:2>13"), "QC", "13").contains("SRX 13"));
}
