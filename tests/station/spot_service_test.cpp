// The station's spot link with no window at all.

#include "frame/session.h"
#include "spot_servers.h"
#include "spotting/spot_service_device.h"
#include "station/station.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

struct StationRig {
    QTemporaryDir dir;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    Registry registry;
    Session session;
    Station station;

    StationRig()
        : registry(dir.filePath("registry.ini")),
          session(Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry), station(session)
    {
        session.prefs.MyCall = QStringLiteral("VE3ZZZ");
    }
    void saveLink(const QString &type, quint16 port)
    {
        PackSpotSettings s;
        s.SpotConnectionType = type;
        s.TelnetHost = QStringLiteral("127.0.0.1");
        s.TelnetPort = QString::number(port);
        zevtest::WriteFile(dir.filePath("PackSpot.txt"), FormatPackSpot(s));
    }
    const SpotSlot &newest() const { return session.spots.slot(SpotStore::kSlots - 1); }
};

}  // namespace

TEST(StationSpots, ASavedTelnetLinkOpensAtStartUpAndItsSpotsReachTheStore)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    cluster.pieces << "Welcome to the cluster\r\n" << StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r\n";
    StationRig r;
    r.saveLink(QStringLiteral("Telnet"), cluster.port());
    // A hang-up closes the link when the operator turned reconnection off.
    zevtest::WriteFile(r.dir.filePath("ClusterLogin.txt"), "\"\"\r\n0\r\n0\r\n");
    SpotService &spots = r.station.spots();
    QSignalSpy state(&spots, &SpotService::linkStateChanged);
    spots.start();
    EXPECT_TRUE(spots.linkStarted());
    EXPECT_FALSE(spots.linkOpen());  // connecting, not yet open
    EXPECT_TRUE(spots.pollTimer()->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.newest().SpotCall == "VE3ABC"; }, 10000));
    EXPECT_FLOAT_EQ(r.newest().SpotFreq, 14.025f);
    EXPECT_TRUE(spots.linkOpen());
    ASSERT_EQ(state.count(), 1);
    EXPECT_TRUE(state[0][0].toBool());
    EXPECT_TRUE(spots.intake().monitor().contains(QStringLiteral("DX de W3LPL:")));
    EXPECT_EQ(cluster.clients, 1);

    // A second start changes nothing.
    spots.start();
    QTest::qWait(50);
    EXPECT_EQ(cluster.clients, 1);
    EXPECT_TRUE(spots.linkOpen());

    // The cluster hangs up: the state says why, without any label.
    cluster.client()->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spots.linkOpen(); }, 10000));
    EXPECT_EQ(spots.stateText(), "ERROR: Socket has been shut down.");
    EXPECT_FALSE(spots.linkStarted());
    EXPECT_FALSE(spots.pollTimer()->isActive());
    ASSERT_EQ(state.count(), 2);
    EXPECT_FALSE(state[1][0].toBool());
}

TEST(StationSpots, NothingOpensWithoutASavedLink)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    const struct {
        const char *what;
        const char *type;  // nullptr: no settings file
    } cases[] = {{"no PackSpot.txt", nullptr}, {"None chosen", "None"}, {"nothing chosen", ""}};
    for (const auto &c : cases) {
        StationRig r;
        if (c.type)
            r.saveLink(QLatin1String(c.type), cluster.port());
        SpotService &spots = r.station.spots();
        spots.start();
        EXPECT_TRUE(spots.started()) << c.what;
        EXPECT_FALSE(spots.linkStarted()) << c.what;
        EXPECT_FALSE(spots.pollTimer()->isActive()) << c.what;
        EXPECT_FALSE(spots.intake().monitor().contains(QStringLiteral("Attempting"))) << c.what;
    }
    QTest::qWait(50);
    EXPECT_EQ(cluster.clients, 0);
}

TEST(StationSpots, StoppingTheStationClosesTheLink)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    StationRig r;
    r.saveLink(QStringLiteral("Telnet"), cluster.port());
    r.station.spots().start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.station.spots().linkOpen() && cluster.client(); }, 10000));
    r.station.stop();
    EXPECT_FALSE(r.station.spots().linkOpen());
    EXPECT_FALSE(r.station.spots().pollTimer()->isActive());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !cluster.client() || cluster.client()->state() != QAbstractSocket::ConnectedState; }, 10000));
}
