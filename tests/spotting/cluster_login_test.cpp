// The cluster link that stays up: the log-in at the cluster's prompt, the start-up
// commands, reconnection after a drop, the probe of a silent link, against a loopback
// cluster of our own.

#include "frame/session.h"
#include "spot_servers.h"
#include "spotting/spot_service_device.h"
#include "spotting/spot_text.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

QByteArray SpotLine(const char *call, const char *freq, const char *time)
{
    return StandardSpot("W3LPL", QLatin1String(freq), QLatin1String(call), "CW", QLatin1String(time)).toLatin1() +
           "\r\n";
}

struct ClusterRig {
    QTemporaryDir dir;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    Registry registry;
    Session session;
    SpotService spots{session};
    QStringList calls;

    explicit ClusterRig(quint16 port, const QByteArray &loginFile = {})
        : registry(dir.filePath("registry.ini")), session(Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry)
    {
        session.prefs.MyCall = QStringLiteral("VE3ZZZ");
        PackSpotSettings s;
        s.SpotConnectionType = QStringLiteral("Telnet");
        s.TelnetHost = QStringLiteral("127.0.0.1");
        s.TelnetPort = QString::number(port);
        zevtest::WriteFile(dir.filePath("PackSpot.txt"), FormatPackSpot(s));
        if (!loginFile.isEmpty())
            zevtest::WriteFile(dir.filePath("ClusterLogin.txt"), loginFile);
        spots.reconnectFirstMs = 10;
        spots.reconnectLongestMs = 40;
        QObject::connect(&spots.intake(), &SpotIntake::spotAdded, [this](const SpotRow &r) { calls << r.Call; });
    }
    bool waitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 10000); }
};

}  // namespace

TEST(ClusterLoginFile, ReadsWhatItWritesAndWhatAShortFileHolds)
{
    const ClusterLogin full{QStringLiteral("VE3ABC-2"), false, {QStringLiteral("set/dx"), QStringLiteral("sh/dx 5")}};
    EXPECT_EQ(FormatClusterLogin(full), "\"VE3ABC-2\"\r\n0\r\n2\r\n\"set/dx\"\r\n\"sh/dx 5\"\r\n");
    EXPECT_EQ(ParseClusterLogin(FormatClusterLogin(full)), full);

    const struct {
        const char *what;
        QByteArray file;
        ClusterLogin expected;
    } cases[] = {
        {"empty file: own call, reconnect on", "", {{}, true, {}}},
        {"call only", "\"K1ABC\"\r\n", {QStringLiteral("K1ABC"), true, {}}},
        {"count beyond the commands", "\"\"\r\n1\r\n3\r\n\"sh/dx\"\r\n", {{}, true, {QStringLiteral("sh/dx")}}},
        {"blank commands dropped", "\"\"\r\n0\r\n2\r\n\"  \"\r\n\"set/nobeep\"\r\n", {{}, false, {QStringLiteral("set/nobeep")}}},
        {"reconnect not a number", "\"K1ABC\"\r\n\"yes\"\r\n", {QStringLiteral("K1ABC"), true, {}}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseClusterLogin(c.file), c.expected) << c.what;
}

TEST(ClusterLoginPrompt, KnowsAPromptAtTheEndOfTheText)
{
    const struct {
        const char *text;
        bool prompt;
    } cases[] = {
        {"login: ", true},
        {"Please enter your call: ", true},
        {"Please enter your CALL:", true},
        {"Welcome to the node.  Enter your callsign:", true},
        {"LOGIN :  ", true},
        {"call:", true},
        {"Recall:", false},                      // a word that ends in "call"
        {"login: accepted, welcome", false},     // the prompt is not at the end
        {"Please enter your call", false},       // no colon
        {"Password: ", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsLoginPrompt(QString::fromLatin1(c.text)), c.prompt) << c.text;
}

TEST(ClusterLink, TheCallGoesAtThePromptAndTheStartUpCommandsFollow)
{
    const struct {
        const char *what;
        QByteArray loginFile;
        QByteArray prompt;    // waits for the answer
        QByteArray preamble;  // does not
        QByteArray expected;
    } cases[] = {
        {"own call by default", {}, "\r\nWelcome to the cluster\r\nPlease enter your call: ", {}, "VE3ZZZ\r\n"},
        {"a log-in call and commands", "\"ve3abc-2\"\r\n1\r\n2\r\n\"set/dx\"\r\n\"sh/dx 5\"\r\n", "login: ", {},
         "VE3ABC-2\r\nset/dx\r\nsh/dx 5\r\n"},
        {"the word in a finished line is no prompt", {}, {}, "Type your call at the login: prompt\r\n", ""},
    };
    for (const auto &c : cases) {
        zevtest::ClusterServer cluster;
        cluster.stayOpen = true;
        cluster.prompt = c.prompt;
        if (!c.preamble.isEmpty())
            cluster.pieces << c.preamble;
        cluster.pieces << SpotLine("K1ABC", "14025.0", "1234");
        ClusterRig r(cluster.port(), c.loginFile);
        r.spots.start();
        // The spot comes only after the cluster had its answer.
        ASSERT_TRUE(r.waitFor([&] { return r.calls.contains("K1ABC"); })) << c.what;
        EXPECT_EQ(cluster.received, c.expected) << c.what;
        // Sent once, not again at the next text.
        cluster.client()->write(SpotLine("K1XYZ", "14030.0", "1235"));
        ASSERT_TRUE(r.waitFor([&] { return r.calls.contains("K1XYZ"); })) << c.what;
        EXPECT_EQ(cluster.received, c.expected) << c.what;
    }
}

TEST(ClusterLink, ADroppedLinkComesBackLogsInAgainAndSpotsFlow)
{
    zevtest::ClusterServer cluster;
    cluster.prompt = "login: ";
    cluster.stayOpen = true;
    cluster.dropFirst = 1;
    // The first session ends after one spot; the second stays.
    cluster.session << QList<QByteArray>{SpotLine("K1ABC", "14025.0", "1234")};
    cluster.pieces << SpotLine("JA1XYZ", "21030.0", "1236");
    ClusterRig r(cluster.port());
    QSignalSpy state(&r.spots, &SpotService::linkStateChanged);
    r.spots.start();
    ASSERT_TRUE(r.waitFor([&] { return r.calls.contains("K1ABC"); }));
    ASSERT_TRUE(r.waitFor([&] { return r.calls.contains("JA1XYZ"); }));
    EXPECT_EQ(cluster.clients, 2);
    ASSERT_EQ(cluster.receivedBy.size(), 2);
    EXPECT_EQ(cluster.receivedBy[1], "VE3ZZZ\r\n");
    EXPECT_TRUE(r.spots.linkOpen());
    EXPECT_TRUE(r.spots.linkStarted());
    const QString monitor = r.spots.intake().monitor();
    EXPECT_TRUE(monitor.contains(QStringLiteral("ERROR: Socket has been shut down.\r\n\r\n** Connection lost; "
                                                "reconnecting in 1 s **")))
        << monitor.toStdString();
    EXPECT_FALSE(monitor.contains(QStringLiteral("Port Closed")));
    // Open, lost, open again: the window and the main window follow.
    ASSERT_EQ(state.count(), 3);
    EXPECT_FALSE(state[1][0].toBool());
    EXPECT_TRUE(state[2][0].toBool());
}

TEST(ClusterLink, ThePauseGrowsToTheLongestWhileTheClusterIsDownOrDropsAtOnceAndStartsAgainAfterASteadyLink)
{
    const struct {
        const char *what;
        bool refuses;       // else it answers and hangs up at once, every time
        int steadyAfterMs;  // how long up counts as a link that worked
        QList<int> pauses;
    } cases[] = {{"refused", true, 60000, {10, 20, 40, 40, 40}},
                 {"hung up at once", false, 60000, {10, 20, 40, 40, 40}},
                 {"hung up after it counted as steady", false, 0, {10, 10, 10, 10, 10}}};
    for (const auto &c : cases) {
        zevtest::ClusterServer cluster;
        cluster.stayOpen = true;
        if (!c.refuses) {
            cluster.dropFirst = 1000;
            cluster.pieces << "Sorry, the node is full\r\n";
        }
        ClusterRig r(cluster.port());
        r.spots.steadyAfterMs = c.steadyAfterMs;
        QList<int> pauses;
        QObject::connect(&r.spots, &SpotService::stateTextChanged, [&](const QString &text) {
            if (text.startsWith(QStringLiteral("Connection lost")))
                pauses << r.spots.reconnectPauseMs();
        });
        r.spots.start();
        ASSERT_TRUE(r.waitFor([&] { return r.spots.linkOpen() && cluster.client(); })) << c.what;
        if (c.refuses) {
            cluster.stopListening();
            cluster.drop();
        }
        ASSERT_TRUE(r.waitFor([&] { return pauses.size() >= 5; })) << c.what;
        EXPECT_EQ(pauses.mid(0, 5), c.pauses) << c.what;
        EXPECT_TRUE(r.spots.linkStarted()) << c.what;
        r.spots.Close();
        EXPECT_FALSE(r.spots.reconnecting()) << c.what;
    }
}

TEST(ClusterLink, CloseStopsReconnecting)
{
    zevtest::ClusterServer cluster;
    ClusterRig r(cluster.port());
    r.spots.reconnectFirstMs = 100;
    r.spots.start();
    ASSERT_TRUE(r.waitFor([&] { return r.spots.reconnecting(); }));
    r.spots.Close();
    EXPECT_FALSE(r.spots.reconnecting());
    EXPECT_FALSE(r.spots.linkStarted());
    QTest::qWait(250);
    EXPECT_EQ(cluster.clients, 1);
    EXPECT_TRUE(r.spots.intake().monitor().endsWith(QStringLiteral("** Port Closed **")));
    EXPECT_EQ(r.spots.stateText(), "** Port Closed **");
}

TEST(ClusterLink, ASilentLinkIsProbedAndTakenAsLostWhenItStaysSilent)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    ClusterRig r(cluster.port());
    r.spots.probeAfterMs = 30;
    r.spots.probeWaitMs = 30;
    r.spots.start();
    ASSERT_TRUE(r.waitFor([&] { return cluster.clients >= 2; }));
    EXPECT_EQ(cluster.receivedBy[0], "\r\n");
    EXPECT_TRUE(r.spots.intake().monitor().contains(QStringLiteral("has not answered")));
    r.spots.Close();
}

TEST(ClusterLink, ASilentLinkThatAnswersTheProbeStaysUp)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    ClusterRig r(cluster.port());
    r.spots.probeAfterMs = 30;
    r.spots.probeWaitMs = 5000;
    r.spots.start();
    ASSERT_TRUE(r.waitFor([&] { return cluster.client() && cluster.received == "\r\n"; }));
    // The cluster answers the line end with its prompt, each time.
    QObject::connect(cluster.client(), &QTcpSocket::readyRead, cluster.client(),
                     [c = cluster.client()] { c->write("VE3ZZZ de VE7CC-1 >\r\n"); });
    cluster.client()->write("VE3ZZZ de VE7CC-1 >\r\n");
    ASSERT_TRUE(r.waitFor([&] { return cluster.received.count("\r\n") >= 4; }));
    EXPECT_EQ(cluster.clients, 1);
    EXPECT_TRUE(r.spots.linkOpen());
}

TEST(ClusterLink, OnlyADropWithReconnectionOnIsRetried)
{
    const struct {
        const char *what;
        QByteArray loginFile;
        bool reachable;
        bool retried;
    } cases[] = {
        {"dropped, reconnection on", {}, true, true},
        {"dropped, reconnection off", "\"\"\r\n0\r\n0\r\n", true, false},
        // A mistyped host or port is the operator's to mend, not a loop.
        {"never reached", {}, false, false},
    };
    for (const auto &c : cases) {
        auto cluster = std::make_unique<zevtest::ClusterServer>();
        const quint16 port = cluster->port();
        if (!c.reachable)
            cluster.reset();
        ClusterRig r(port, c.loginFile);
        r.spots.start();
        ASSERT_TRUE(r.waitFor([&] { return !r.spots.linkStarted() || (cluster && cluster->clients >= 2); }))
            << c.what;
        EXPECT_EQ(r.spots.linkStarted(), c.retried) << c.what;
        EXPECT_EQ(r.spots.intake().monitor().endsWith(QStringLiteral("** Port Closed **")), !c.retried) << c.what;
        if (c.reachable) {
            EXPECT_EQ(cluster->clients >= 2, c.retried) << c.what;
        }
        r.spots.Close();
    }
}
