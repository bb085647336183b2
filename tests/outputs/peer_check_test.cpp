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

    void cabrillo(const CabrilloHeader &h, const CabrilloStation &station, const QString &claimedScore)
    {
        const QString file = dir.filePath(QStringLiteral("log.cbr"));
        zevtest::WriteFile(file, CabrilloText(h, station, log));
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
    run.adif({h.mainWindowTitle, QStringLiteral("2013-07-02"), QStringLiteral("100"), QStringLiteral("ZEV Contest")});
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
    run.adif({h.mainWindowTitle, QStringLiteral("7/2/13"), QString(), QString()});
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
