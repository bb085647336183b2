#include "spotting/spot_links_device.h"

#include "logcore/prefix_table.h"
#include "rig/serial_line_device.h"
#include "spot_servers.h"
#include "spotting/spot_intake.h"
#include "spotting/spot_store.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QtEndian>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

struct IntakeRig {
    SpotStore store;
    PrefixTable prefixes;
    zevtest::FakeClock clock;
    SpotIntake intake{store, prefixes, clock};
    QStringList calls;
    IntakeRig()
    {
        QObject::connect(&intake, &SpotIntake::spotAdded, [this](const SpotRow &r) { calls << r.Call; });
    }
};

const QStringList kSpots = {
    StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW 23 dB 28 WPM CQ", "1234"),
    StandardSpot("K1TTT", "7010.0", "K1ABC", "up 2", "1235"),
    StandardSpot("W3LPL-#", "21030.0", "JA1XYZ", "CW 12 dB 30 WPM CQ", "1236"),
    StandardSpot("N2IC", "3505.0", "UA9/OH1AA", "", "1237"),
};

QByteArray Text(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + "\r\n";
    return out;
}

// A port nothing listens on.
quint16 ClosedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}

}  // namespace

TEST(TelnetLinkTest, AClusterSplittingAtEveryByteThenClosing)
{
    zevtest::ClusterServer cluster;
    // The first two lines one byte at a time, the rest several lines a piece.
    const QByteArray first = Text({kSpots[0], kSpots[1]});
    for (char c : first)
        cluster.pieces << QByteArray(1, c);
    cluster.pieces << Text({kSpots[2], "To ALL de W1AW: QST", kSpots[3]}) + Text({kSpots[0]}).left(33);
    cluster.pieces << Text({kSpots[0]}).mid(33);

    IntakeRig r;
    TelnetLink link;
    QSignalSpy opened(&link, &SpotLink::opened);
    QSignalSpy failed(&link, &SpotLink::failed);
    QObject::connect(&link, &SpotLink::received, &r.intake, &SpotIntake::takeTelnet);
    ASSERT_TRUE(link.connectTo(QStringLiteral("127.0.0.1"), QString::number(cluster.port())));
    ASSERT_TRUE(failed.wait(20000));
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(r.calls, (QStringList{"VE3ABC", "K1ABC", "JA1XYZ", "UA9/OH1AA", "VE3ABC"}));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed[0][0].toString(), "ERROR: Socket has been shut down.");
    EXPECT_FALSE(link.isOpen());
}

TEST(TelnetLinkTest, SendsOnlyWhenConnected)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    TelnetLink link;
    EXPECT_FALSE(link.send("VE3ZZZ\r\n"));
    QSignalSpy opened(&link, &SpotLink::opened);
    ASSERT_TRUE(link.connectTo(QStringLiteral("localhost"), QString::number(cluster.port())));
    EXPECT_FALSE(link.isOpen());
    ASSERT_TRUE(opened.wait(10000));
    EXPECT_TRUE(link.send("VE3ZZZ\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received == "VE3ZZZ\r\n"; }, 10000));
}

TEST(TelnetLinkTest, BadEndPointsAndRefusal)
{
    TelnetLink link;
    QString error;
    for (const char *port : {"0", "65536", "70000", "-1", "abc", ""}) {
        EXPECT_FALSE(link.connectTo(QStringLiteral("127.0.0.1"), QLatin1String(port), &error)) << port;
        EXPECT_EQ(error, "The Telnet port must be a number from 1 to 65535.");
    }
    EXPECT_FALSE(link.connectTo(QStringLiteral(" "), QStringLiteral("7300"), &error));
    EXPECT_EQ(TcpPortNumber(QStringLiteral("65535")), 65535);

    QSignalSpy failed(&link, &SpotLink::failed);
    ASSERT_TRUE(link.connectTo(QStringLiteral("127.0.0.1"), QString::number(ClosedPort())));
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_EQ(failed[0][0].toString(), "ERROR: Connection is forcefully rejected.");
    QTest::qWait(50);
    EXPECT_EQ(failed.count(), 1);
}

TEST(AgwLinkTest, RegistersMonitorsConnectsAndTellsDFromD)
{
    zevtest::AgwServer engine;
    AgwLink link;
    QSignalSpy opened(&link, &SpotLink::opened);
    link.start(QStringLiteral("ve3zzz"), QStringLiteral("127.0.0.1"), engine.port());
    EXPECT_FALSE(link.isOpen());
    ASSERT_TRUE(opened.wait(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "Xm"; }, 10000));
    EXPECT_EQ(engine.got[0].callFrom, "VE3ZZZ");
    // The registration of the call in upper case, then the request for monitored frames.
    EXPECT_EQ(engine.raw.toHex(), QByteArray("00000000" "58000000" "5645335a5a5a00000000" "00000000000000000000"
                                             "00000000" "00000000"
                                             "00000000" "6d000000" "00000000000000000000" "00000000000000000000"
                                             "00000000" "00000000"));

    IntakeRig r;
    // Frames arrive in pieces that cut headers and data anywhere.
    const QByteArray stream =
        zevtest::AgwBytes('U', "W1AW", {}, " 1:Fm W1AW To DX <UI pid=F0>[12:00:00]\r" + kSpots[0].toLatin1() + "\r" + '\0') +
        zevtest::AgwBytes('c', "VE7CC", {}, "*** CONNECTED With Station VE7CC\r") +
        zevtest::AgwBytes('D', "VE7CC", {}, Text({kSpots[1], kSpots[2]}));
    for (qsizetype at = 0; at < stream.size(); at += 7)
        engine.sendRaw(stream.mid(at, 7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.waiting() == 3; }, 10000));
    const QList<AgwFrame> frames = link.takeFrames();
    EXPECT_EQ(link.waiting(), 0);
    for (const AgwFrame &f : frames)
        r.intake.takeAgw(f);
    EXPECT_EQ(r.calls, (QStringList{"VE3ABC", "K1ABC", "JA1XYZ"}));
    EXPECT_EQ(r.intake.agwConnectedCall(), "VE7CC");

    EXPECT_TRUE(link.putData("VE7CC", "SH/DX\r", 'D'));
    EXPECT_TRUE(link.putData("VE7CC", {}, 'd'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmDd"; }, 10000));
    EXPECT_EQ(engine.got[2].data, "SH/DX\r");
    EXPECT_EQ(engine.got[2].callTo, "VE7CC");
    EXPECT_EQ(engine.got[2].callFrom, "VE3ZZZ");
    // Connected data goes with PID F0; the disconnect request carries none.
    EXPECT_EQ(engine.got[2].pid, 0xF0);
    EXPECT_EQ(engine.got[3].pid, 0);
    EXPECT_EQ(engine.raw.mid(72).toHex(), QByteArray("00000000" "4400f000" "5645335a5a5a00000000" "564537434300000000"
                                                     "00" "06000000" "00000000" "53482f44580d"
                                                     "00000000" "64000000" "5645335a5a5a00000000" "56453743430000000000"
                                                     "00000000" "00000000"));

    engine.send('d', "VE7CC", "*** DISCONNECTED From Station VE7CC\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.waiting() == 1; }, 10000));
    r.intake.takeAgw(link.takeFrames().at(0));
    EXPECT_TRUE(r.intake.agwConnectedCall().isEmpty());
}

TEST(AgwLinkTest, RefusalAbsenceAndAFrameTooLong)
{
    {
        zevtest::AgwServer engine;
        engine.acceptCall = false;
        AgwLink link;
        QSignalSpy failed(&link, &SpotLink::failed);
        link.start(QStringLiteral("VE3ZZZ"), QStringLiteral("127.0.0.1"), engine.port());
        ASSERT_TRUE(failed.wait(10000));
        EXPECT_EQ(failed[0][0].toString(), "Unable to connect to the AGW Packet Engine.");
        EXPECT_FALSE(link.isOpen());
    }
    {
        AgwLink link;
        QSignalSpy failed(&link, &SpotLink::failed);
        link.start(QStringLiteral("VE3ZZZ"), QStringLiteral("127.0.0.1"), ClosedPort());
        ASSERT_TRUE(failed.wait(10000));
        EXPECT_EQ(failed[0][0].toString(), "Unable to connect to the AGW Packet Engine.");
    }
    {
        zevtest::AgwServer engine;
        AgwLink link;
        QSignalSpy opened(&link, &SpotLink::opened);
        QSignalSpy failed(&link, &SpotLink::failed);
        link.start(QStringLiteral("VE3ZZZ"), QStringLiteral("127.0.0.1"), engine.port());
        ASSERT_TRUE(opened.wait(10000));
        QByteArray header(kAgwHeaderSize, '\0');
        header[4] = 'U';
        qToLittleEndian<quint32>(1u << 30, header.data() + 28);
        engine.sendRaw(header);
        ASSERT_TRUE(failed.wait(10000));
        EXPECT_TRUE(failed[0][0].toString().contains(QStringLiteral("1073741824"))) << failed[0][0].toString().toStdString();
        EXPECT_FALSE(link.isOpen());
        EXPECT_EQ(link.waiting(), 0);
    }
}

TEST(TncLinkTest, SpotsOverAPseudoTerminalAndAVanishedAdapter)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    IntakeRig r;
    TncLink link(std::make_unique<QtSerialLine>());
    QSignalSpy failed(&link, &SpotLink::failed);
    QObject::connect(&link, &SpotLink::received, &r.intake, &SpotIntake::takeTnc);
    QString error;
    ASSERT_TRUE(link.open(QString::fromLocal8Bit(name), QStringLiteral("9600,N,8,1"), 4, QStringLiteral("N"), &error))
        << error.toStdString();
    // Handshake 4 is RTS/CTS together with XON/XOFF.
    auto *line = dynamic_cast<QtSerialLine *>(&link.line());
    ASSERT_TRUE(line);
    const auto state = line->lineState();
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->rtsCts);
    EXPECT_TRUE(state->xonXoff);

    const QByteArray text = "cmd:\r" + kSpots[0].toLatin1() + "\r" + kSpots[1].toLatin1() + "\r";
    ASSERT_EQ(::write(master, text.constData(), size_t(text.size())), text.size());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        link.poll();
        return r.calls.size() == 2;
    }, 10000));
    EXPECT_EQ(r.calls, (QStringList{"VE3ABC", "K1ABC"}));
    // The TNC is told to go to command mode.
    EXPECT_TRUE(link.write(QByteArray(1, '\x03')));
    char got = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::read(master, &got, 1) == 1; }, 10000));
    EXPECT_EQ(got, '\x03');

    ::close(master);  // the adapter is pulled out
    ASSERT_TRUE(QTest::qWaitFor([&] {
        link.poll();
        return failed.count() > 0;
    }, 10000));
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(failed[0][0].toString().isEmpty());
}

TEST(TelnetLinkTest, OptionsAreRefusedOnceAndCommandsNeverReachTheText)
{
    const QByteArray spot = kSpots[0].toLatin1() + "\r\n";
    const struct {
        const char *what;
        QList<QByteArray> pieces;
        QByteArray answers;  // what the cluster receives
        QByteArray text;     // what is left for the intake
    } cases[] = {
        {"a node's opening",
         {"\xFF\xFB\x01\xFF\xFB\x03\xFF\xFD\x18\xFF\xFD\x1F" "login: "},
         "\xFF\xFE\x01\xFF\xFE\x03\xFF\xFC\x18\xFF\xFC\x1F",
         "login: "},
        {"split anywhere, asked twice",
         {"\xFF", "\xFD", "\x18login:", " \xFF\xFD\x18\xFF", "\xFB\x01", "\xFF\xFB\x01x"},
         "\xFF\xFC\x18\xFF\xFE\x01",
         "login: x"},
        {"NOP and GA before a spot line", {"\xFF\xF1" + spot, "\xFF\xF9" + spot}, "", spot + spot},
        {"subnegotiations dropped, IAC IAC kept, WONT and DONT not answered",
         {"\xFF\xFA\x18\x01\xFF\xF0" "a\xFF\xFF" "b", "\xFF\xFA\x1F\x01\x50\x01\x18\xFF", "\xFF\xFF\xF0" "c",
          "\xFF\xFC\x01\xFF\xFE\x03" "d"},
         "",
         "a\xFF" "bcd"},
    };
    for (const auto &c : cases) {
        zevtest::ClusterServer cluster;
        cluster.pieces = c.pieces;
        cluster.gapMs = 20;
        cluster.stayOpen = true;
        IntakeRig r;
        TelnetLink link;
        QByteArray text;
        QObject::connect(&link, &SpotLink::received, [&](const QByteArray &b) { text += b; });
        QObject::connect(&link, &SpotLink::received, &r.intake, &SpotIntake::takeTelnet);
        ASSERT_TRUE(link.connectTo(QStringLiteral("127.0.0.1"), QString::number(cluster.port())));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return cluster.sentAll() && text == c.text && cluster.received == c.answers; }, 5000))
            << c.what;
        QTest::qWait(100);  // no second answer follows
        EXPECT_EQ(cluster.received, c.answers) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
        EXPECT_EQ(r.calls.size(), c.text.count("DX de")) << c.what;
    }
}
