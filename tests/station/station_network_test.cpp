// Computers of one station sharing their log through a real broker, with no window at all:
// the settings turn it on, contacts go through the session, and each sees the others.

#include "frame/session.h"
#include "logcore/dupes.h"
#include "mqtt_broker.h"
#include "network/network_settings.h"
#include "station/station.h"
#include "station/station_network.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace zev;
using zevtest::WaitFor;

namespace {

ContactRecord Contact(const QString &call)
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = QStringLiteral("18:05:00");
    r.Mode = QStringLiteral("CW");
    r.Band = QStringLiteral("20");
    r.Points = 10;
    return r;
}

struct Computer {
    QTemporaryDir dir;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    Registry registry;
    Session session;
    Station station;

    Computer(const QString &name, int port, bool on = true)
        : registry(dir.filePath("registry.ini")),
          session(Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry), station(session)
    {
        session.prefs.MyCall = QStringLiteral("VE3ZZZ");
        session.prefs.CurrentBand = QStringLiteral("40");
        session.prefs.CurrentMode = QStringLiteral("CW");
        NetworkSettings s;
        s.on = on;
        s.broker.host = QStringLiteral("127.0.0.1");
        s.broker.port = port;
        s.broker.station = name;
        EXPECT_TRUE(SaveNetworkSettings(registry, s, nullptr));
    }
};

}  // namespace

TEST(NetworkSettings, KeptAcrossRunsAndCheckedBeforeAStart)
{
    QTemporaryDir dir;
    Registry registry(dir.filePath("registry.ini"));
    EXPECT_FALSE(LoadNetworkSettings(registry).on);  // off until turned on
    NetworkSettings s;
    s.on = true;
    s.broker = {QStringLiteral("shack-pi"), 8883, QStringLiteral("mult"), QStringLiteral("ve3zzz-day"),
                QStringLiteral("op"), QStringLiteral("secret"), QString()};
    ASSERT_TRUE(SaveNetworkSettings(registry, s, nullptr));
    const NetworkSettings back = LoadNetworkSettings(Registry(dir.filePath("registry.ini")));
    EXPECT_TRUE(back.on);
    EXPECT_EQ(back.broker.host, QStringLiteral("shack-pi"));
    EXPECT_EQ(back.broker.port, 8883);
    EXPECT_EQ(back.broker.station, QStringLiteral("MULT"));
    EXPECT_EQ(back.broker.logName, QStringLiteral("VE3ZZZ-DAY"));
    EXPECT_EQ(back.broker.password, QStringLiteral("secret"));
    EXPECT_TRUE(NetworkSettingsProblem(back).isEmpty());

    const struct {
        const char *what;
        std::function<void(NetworkSettings &)> spoil;
    } cases[] = {
        {"no host", [](NetworkSettings &n) { n.broker.host.clear(); }},
        {"no name", [](NetworkSettings &n) { n.broker.station.clear(); }},
        {"a name with a space", [](NetworkSettings &n) { n.broker.station = QStringLiteral("RUN 1"); }},
        {"a log name too long", [](NetworkSettings &n) { n.broker.logName = QStringLiteral("ABCDEFGHIJKLMNOPQ"); }},
        {"a port out of range", [](NetworkSettings &n) { n.broker.port = 70000; }},
        {"a missing CA file", [](NetworkSettings &n) { n.broker.caFile = QStringLiteral("/nonexistent/ca.crt"); }},
    };
    for (const auto &c : cases) {
        NetworkSettings bad = back;
        c.spoil(bad);
        EXPECT_FALSE(NetworkSettingsProblem(bad).isEmpty()) << c.what;
    }
}

TEST(PositionStates, ReadBackAndShownAsTheScreenReaderSaysThem)
{
    const PositionState p{QStringLiteral("MULT"), QStringLiteral("40"), QStringLiteral("CW"), QStringLiteral("7025.0"),
                          QStringLiteral("VE3ZZZ"), QStringLiteral("18:05")};
    EXPECT_EQ(p.text(), QStringLiteral("MULT on 40 CW, 7025.0"));
    EXPECT_EQ(DecodePositionState(EncodePositionState(p)), p);
    for (const QByteArray &junk : {QByteArray(), QByteArray("offline"), QByteArray("{\"station\":\"bad name\"}"),
                                   QByteArray(5000, '{')})
        EXPECT_FALSE(DecodePositionState(junk)) << junk.left(30).constData();
    // Long or control-laden values from another computer are cut and cleaned.
    const std::optional<PositionState> odd =
        DecodePositionState("{\"station\":\"SPOT\",\"band\":\"20\\n\\u0007\",\"freq\":\"" + QByteArray(200, '9') + "\"}");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->band, QStringLiteral("20"));
    EXPECT_EQ(odd->frequency.size(), 24);
}

TEST(StationNetwork, ContactsThroughTheSessionReachTheOtherComputerWhichSeesItsState)
{
    zevtest::MosquittoBroker broker;
    if (!broker.start())
        GTEST_SKIP() << "mosquitto is not installed";
    Computer run(QStringLiteral("RUN"), broker.port()), mult(QStringLiteral("MULT"), broker.port());
    run.session.entry.setFrequencyHz(7025000);
    for (Computer *c : {&run, &mult}) {
        EXPECT_TRUE(c->station.startNetwork().isEmpty());
        ASSERT_NE(c->session.sharedLog, nullptr);
        EXPECT_TRUE(QFile::exists(c->dir.filePath("netlog.ok")));
    }
    QString error;
    ASSERT_TRUE(run.session.storeContact(Contact(QStringLiteral("VE3ABC")), &error)) << error.toStdString();
    ASSERT_TRUE(WaitFor([&] { return mult.session.log.RecordCount() == 1; }));
    EXPECT_EQ(FindDupe(mult.session.log, QStringLiteral("VE3ABC"), QStringLiteral("20"), QStringLiteral("CW")), 1);
    ASSERT_TRUE(WaitFor([&] {
        const QList<PositionState> others = mult.station.network().positions();
        return others.size() == 1 && others[0].text() == QLatin1String("RUN on 40 CW, 7025.0") &&
               others[0].last == QLatin1String("18:05");
    })) << (mult.station.network().positions().isEmpty() ? std::string("none")
                                                           : mult.station.network().positions()[0].text().toStdString());

    // RUN closes: MULT no longer lists it.
    run.station.stop();
    ASSERT_TRUE(WaitFor([&] { return mult.station.network().positions().isEmpty(); }));
    EXPECT_EQ(run.session.sharedLog, nullptr);
}

TEST(StationNetwork, OffTheLogIsNotSharedAndMayChangeWithoutTheJournal)
{
    Computer alone(QStringLiteral("RUN"), 1, false);
    zevtest::WriteFile(alone.dir.filePath("netlog.ok"), "");
    EXPECT_TRUE(alone.station.startNetwork().isEmpty());
    EXPECT_EQ(alone.session.sharedLog, nullptr);
    EXPECT_FALSE(alone.station.network().isOn());
    EXPECT_FALSE(QFile::exists(alone.dir.filePath("netlog.ok")));
    QString error;
    ASSERT_TRUE(alone.session.storeContact(Contact(QStringLiteral("VE3ABC")), &error));
    EXPECT_FALSE(QFile::exists(alone.dir.filePath("netlog.txt")));
}
