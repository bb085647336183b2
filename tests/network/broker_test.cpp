// Positions of one station sharing their log through a real mosquitto broker on loopback.

#include "logcore/dupes.h"
#include "outputs/adif_export.h"
#include "outputs/cabrillo.h"
#include "mqtt_broker.h"
#include "test_support.h"
#include "network/shared_log_link_device.h"
#include "common/file_io.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <mosquitto.h>

#include <csignal>
#include <functional>
#include <memory>

using namespace zev;
using zevtest::WaitFor;

namespace {

ContactRecord Contact(const QString &call, int minute, const QString &band = QStringLiteral("20"))
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = QStringLiteral("%1:%2:00").arg(18 + minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
    r.Mode = QStringLiteral("CW");
    r.Band = band;
    r.Points = 10;
    r.Frequency = QStringLiteral("14.025");
    r.Country = QStringLiteral("Canada");
    return r;
}

// One logging computer: its folder, log, shared log, broker link.
struct Computer {
    QTemporaryDir dir;
    ContactLog log;
    SharedLog shared;
    MqttLink link;
    SharedLogLink joined{shared, link};
    QStringList problems;

    Computer(const QString &name, int port) : shared(log, dir.path(), name)
    {
        QObject::connect(&shared, &SharedLog::problem, [this](const QString &p) { problems << p; });
        QString error;
        EXPECT_TRUE(shared.open(&error)) << error.toStdString();
        BrokerSettings s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = port;
        s.station = name;
        EXPECT_TRUE(link.start(s, &error)) << error.toStdString();
    }
    void store(const ContactRecord &r)
    {
        QString error;
        EXPECT_TRUE(shared.store(r, &error)) << error.toStdString();
    }
    QByteArray file() const { return ReadWholeFile(dir.filePath(QStringLiteral("log.txt"))).value_or("<missing>"); }
};

struct BrokerFixture : ::testing::Test {
    zevtest::MosquittoBroker broker;
    void SetUp() override
    {
        if (!broker.start())
            GTEST_SKIP() << "mosquitto is not installed";
    }
    std::unique_ptr<Computer> computer(const char *name)
    {
        auto c = std::make_unique<Computer>(QString::fromLatin1(name), broker.port());
        EXPECT_TRUE(WaitFor([&c] { return c->link.isConnected(); }));
        return c;
    }
};

bool AllHold(const std::vector<Computer *> &computers, int count)
{
    for (const Computer *c : computers)
        if (c->log.RecordCount() != count)
            return false;
    return true;
}

}  // namespace

TEST_F(BrokerFixture, AContactOnOneIsADuplicateOnTheOthersAndEditsAndDeletesReachAll)
{
    auto run = computer("RUN"), mult = computer("MULT"), spot = computer("SPOT");
    run->store(Contact(QStringLiteral("VE3ABC"), 0));
    ASSERT_TRUE(WaitFor([&] { return AllHold({run.get(), mult.get(), spot.get()}, 1); }));
    for (Computer *c : {mult.get(), spot.get()})
        EXPECT_EQ(FindDupe(c->log, QStringLiteral("ve3abc"), QStringLiteral("20"), QStringLiteral("CW")), 1);

    mult->store(Contact(QStringLiteral("VE7XYZ"), 1, QStringLiteral("40")));
    ASSERT_TRUE(WaitFor([&] { return AllHold({run.get(), mult.get(), spot.get()}, 2); }));
    ContactRecord edited = Contact(QStringLiteral("VE3ABC"), 0);
    edited.ExchangeRcvd = QStringLiteral("QC");
    QString error;
    ASSERT_TRUE(spot->shared.replace(1, edited, &error));
    ASSERT_TRUE(WaitFor([&] { return run->log.RecordCount() == 2 && run->log.record(1).ExchangeRcvd == QLatin1String("QC"); }));
    ASSERT_TRUE(run->shared.remove(2, &error));
    ASSERT_TRUE(WaitFor([&] { return AllHold({run.get(), mult.get(), spot.get()}, 1); }));
    ASSERT_TRUE(WaitFor([&] { return mult->log.record(1).ExchangeRcvd == QLatin1String("QC"); }));
    EXPECT_EQ(mult->file(), run->file());
    EXPECT_EQ(spot->file(), run->file());
    for (Computer *c : {run.get(), mult.get(), spot.get()})
        EXPECT_TRUE(c->problems.isEmpty()) << c->problems.join('\n').toStdString();
    // The files for the sponsor come out the same from any computer.
    const CabrilloHeader header;
    const CabrilloStation station{QStringLiteral("VE3ZZZ"), QStringLiteral("ON"), true};
    AdifOptions adif;
    adif.exportDate = QStringLiteral("2013-07-02");
    adif.contest = AdifContest{QStringLiteral("ZEV-CANADA-DAY"), QStringLiteral("ON"), true};
    const CountryTable countries;
    for (Computer *c : {mult.get(), spot.get()}) {
        EXPECT_EQ(Cabrillo3Text(header, Cabrillo3Choices(), station, c->log.records()),
                  Cabrillo3Text(header, Cabrillo3Choices(), station, run->log.records()));
        EXPECT_EQ(AdifText(adif, c->log.records(), countries), AdifText(adif, run->log.records(), countries));
    }
}

TEST_F(BrokerFixture, ABrokerStoppedWhileAllLogComesBackAndAllEndTheSame)
{
    auto run = computer("RUN"), mult = computer("MULT"), spot = computer("SPOT");
    run->store(Contact(QStringLiteral("VE3AAA"), 0));
    ASSERT_TRUE(WaitFor([&] { return AllHold({run.get(), mult.get(), spot.get()}, 1); }));
    broker.stop();
    ASSERT_TRUE(WaitFor([&] { return !run->link.isConnected() && !mult->link.isConnected(); }));
    int minute = 1;
    for (int i = 0; i < 5; ++i)
        for (Computer *c : {run.get(), mult.get(), spot.get()})
            c->store(Contact(QStringLiteral("VE3%1%2").arg(c->shared.station().left(1)).arg(i), minute++));
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(WaitFor([&] { return AllHold({run.get(), mult.get(), spot.get()}, 16); }, 60000))
        << run->log.RecordCount() << " " << mult->log.RecordCount() << " " << spot->log.RecordCount();
    EXPECT_EQ(mult->file(), run->file());
    EXPECT_EQ(spot->file(), run->file());
}

TEST_F(BrokerFixture, AComputerThatJoinsLateGetsEveryContact)
{
    auto run = computer("RUN");
    for (int i = 0; i < 500; ++i)
        run->store(Contact(QStringLiteral("K%1A").arg(i), i % 600));
    auto late = computer("LATE");
    ASSERT_TRUE(WaitFor([&] { return late->log.RecordCount() == 500; }, 60000)) << late->log.RecordCount();
    EXPECT_EQ(late->file(), run->file());
}

TEST_F(BrokerFixture, GarbageFromTheBrokerChangesNothingAndIsReportedOnce)
{
    auto run = computer("RUN"), mult = computer("MULT");
    run->store(Contact(QStringLiteral("VE3ABC"), 0));
    ASSERT_TRUE(WaitFor([&] { return mult->log.RecordCount() == 1; }));
    const QByteArray before = mult->file();

    // Another client, not a logger, publishes nonsense where the changes go.
    mosquitto *raw = mosquitto_new("vandal", true, nullptr);
    ASSERT_NE(raw, nullptr);
    ASSERT_EQ(mosquitto_connect(raw, "127.0.0.1", broker.port(), 10), MOSQ_ERR_SUCCESS);
    const QByteArray big(100000, 'x');
    for (int round = 0; round < 2; ++round) {
        mosquitto_publish(raw, nullptr, "zevlog/ZEV/event/X/1", 7, "garbage", 1, false);
        mosquitto_publish(raw, nullptr, "zevlog/ZEV/event/X/2", int(big.size()), big.constData(), 1, false);
        const QByteArray ghost = "{\"id\":\"X/3\",\"clock\":9,\"op\":\"delete\",\"record\":\"RUN/99\",\"base\":\"RUN/99\"}";
        mosquitto_publish(raw, nullptr, "zevlog/ZEV/event/X/3", int(ghost.size()), ghost.constData(), 1, false);
    }
    for (int i = 0; i < 50; ++i)
        mosquitto_loop(raw, 20, 1);
    mosquitto_disconnect(raw);
    mosquitto_destroy(raw);

    ASSERT_TRUE(WaitFor([&] { return mult->problems.size() >= 3; })) << mult->problems.join('\n').toStdString();
    QTest::qWait(300);
    // The nonsense, the oversized message and the change of a contact nobody logged: once each.
    EXPECT_EQ(mult->problems.size(), 3) << mult->problems.join('\n').toStdString();
    EXPECT_EQ(mult->file(), before);
    EXPECT_EQ(mult->log.RecordCount(), 1);
}

TEST_F(BrokerFixture, APositionKilledMidBurstAndRestartedLosesAndDoublesNothing)
{
    auto mult = computer("MULT");
    QTemporaryDir runFolder;
    constexpr int kTotal = 200;
    auto startRun = [&](QProcess &p) {
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(ZEV_POSITION),
                {runFolder.path(), QStringLiteral("RUN"), QString::number(broker.port()), QString::number(kTotal)});
        return p.waitForStarted();
    };
    QProcess first;
    ASSERT_TRUE(startRun(first));
    // Killed with no warning somewhere in the middle of its burst.
    ASSERT_TRUE(WaitFor([&] { return first.readAll().count("logged") > 0 && mult->log.RecordCount() >= 60; }, 30000));
    ::kill(pid_t(first.processId()), SIGKILL);
    first.waitForFinished();
    QProcess second;
    ASSERT_TRUE(startRun(second));
    ASSERT_TRUE(WaitFor([&] { return mult->log.RecordCount() == kTotal; }, 60000)) << mult->log.RecordCount();
    QTest::qWait(300);
    second.kill();
    second.waitForFinished();

    QSet<QString> calls;
    for (const ContactRecord &r : mult->log.records())
        calls.insert(r.Call);
    EXPECT_EQ(calls.size(), kTotal);  // each once
    EXPECT_EQ(mult->log.RecordCount(), kTotal);
    EXPECT_EQ(ReadWholeFile(runFolder.filePath(QStringLiteral("log.txt"))).value_or("<missing>"), mult->file());
}

namespace {

// Runs openssl with `args` in `dir`; false when it is missing or fails.
bool OpenSsl(const QString &dir, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("openssl"), args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A certificate authority and a server certificate for 127.0.0.1 signed by it.
bool MakeCertificates(const QString &dir, const QString &caName)
{
    return OpenSsl(dir, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", caName + ".key", "-out",
                         caName + ".crt", "-days", "2", "-subj", "/CN=" + caName}) &&
           OpenSsl(dir, {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj",
                         "/CN=127.0.0.1"}) &&
           WriteFileAtomic(dir + "/ext.cnf", "subjectAltName=IP:127.0.0.1\n") &&
           OpenSsl(dir, {"x509", "-req", "-in", "server.csr", "-CA", caName + ".crt", "-CAkey", caName + ".key",
                         "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "ext.cnf"});
}

}  // namespace

TEST(BrokerTls, TheLogTravelsOverTlsAndABrokerOfAnotherAuthorityIsRefused)
{
    QTemporaryDir certs;
    if (!MakeCertificates(certs.path(), QStringLiteral("stationca")) ||
        !OpenSsl(certs.path(), {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "other.key", "-out",
                                "other.crt", "-days", "2", "-subj", "/CN=other"}))
        GTEST_SKIP() << "openssl could not make the test certificates";
    zevtest::MosquittoBroker broker;
    broker.extraConfig = QStringLiteral("cafile %1/stationca.crt\ncertfile %1/server.crt\nkeyfile %1/server.key\n")
                             .arg(certs.path());
    if (!broker.start())
        GTEST_SKIP() << "mosquitto is not installed";

    struct TlsComputer {
        QTemporaryDir dir;
        ContactLog log;
        SharedLog shared;
        MqttLink link;
        SharedLogLink joined{shared, link};
        QStringList reasons;
        TlsComputer(const QString &name, int port, const QString &ca) : shared(log, dir.path(), name)
        {
            QObject::connect(&link, &MqttLink::disconnected, [this](const QString &r) { reasons << r; });
            QString error;
            EXPECT_TRUE(shared.open(&error));
            BrokerSettings s;
            s.host = QStringLiteral("127.0.0.1");
            s.port = port;
            s.station = name;
            s.caFile = ca;
            EXPECT_TRUE(link.start(s, &error)) << error.toStdString();
        }
    };
    TlsComputer run(QStringLiteral("RUN"), broker.port(), certs.filePath("stationca.crt"));
    TlsComputer mult(QStringLiteral("MULT"), broker.port(), certs.filePath("stationca.crt"));
    TlsComputer stranger(QStringLiteral("SPOT"), broker.port(), certs.filePath("other.crt"));
    ASSERT_TRUE(WaitFor([&] { return run.link.isConnected() && mult.link.isConnected(); })) << run.reasons.join(";").toStdString();
    QString error;
    ASSERT_TRUE(run.shared.store(Contact(QStringLiteral("VE3ABC"), 0), &error));
    ASSERT_TRUE(WaitFor([&] { return mult.log.RecordCount() == 1; }));
    // The broker's certificate is not signed by the authority SPOT trusts: it never joins.
    ASSERT_TRUE(WaitFor([&] { return !stranger.reasons.isEmpty(); })) << "no failure reported";
    EXPECT_FALSE(stranger.link.isConnected());
    EXPECT_TRUE(stranger.reasons.join(';').contains(QStringLiteral("certificate"), Qt::CaseInsensitive))
        << stranger.reasons.join(';').toStdString();
    EXPECT_EQ(stranger.log.RecordCount(), 0);
}
