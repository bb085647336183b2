#include "spotting/packet_spot_window.h"

#include "frame/session.h"
#include "frame/window_scaling.h"
#include "frame/window_scaling_ui.h"
#include "rig/port_map.h"
#include "spot_servers.h"
#include "spotting/spot_service_device.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScopeGuard>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

struct Harness {
    QTemporaryDir dir;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    Registry registry;
    Session session;
    SpotService spots{session};
    std::unique_ptr<PacketSpotWindow> w;
    QStringList calls;

    Harness()
        : registry(dir.filePath("registry.ini")), session(Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry)
    {
        session.prefs.MyCall = QStringLiteral("VE3ZZZ");
        w = std::make_unique<PacketSpotWindow>(session, spots);
        QObject::connect(&spots.intake(), &SpotIntake::spotAdded, [this](const SpotRow &r) { calls << r.Call; });
    }
    QString settingsFile() const { return dir.filePath("PackSpot.txt"); }
    // A cluster that hangs up stays closed, as the operator may choose.
    void noReconnect() const { zevtest::WriteFile(dir.filePath("ClusterLogin.txt"), "\"\"\r\n0\r\n0\r\n"); }
    // The packet-engine link on `port`, open and registered.
    bool openAgw(quint16 port)
    {
        spots.agwPort = port;
        w->Form_Load();
        select("AGW Packet Engine");
        w->Open();
        return QTest::qWaitFor([&] { return spots.linkOpen(); }, 10000);
    }
    void select(const char *item)
    {
        w->List1->setCurrentItem(w->List1->findItems(QLatin1String(item), Qt::MatchExactly).first());
    }
    QString pane() const { return w->txtUnProcessed->toPlainText(); }
    int count(const char *kind) const
    {
        int n = 0;
        for (const auto &a : prompter.asked)
            n += a.kind == QLatin1String(kind);
        return n;
    }
};

QByteArray TelnetOnlyFile(quint16 port, bool dxOnlyLine = true)
{
    return "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n\"\"\r\n\"Telnet\"\r\n0\r\n0\r\n" + QByteArray(dxOnlyLine ? "1" : "0") +
           "\r\n#TRUE#\r\n\"\"\r\n\"" + QByteArray::number(port) + "\"\r\n\"127.0.0.1\"\r\n";
}

}  // namespace

TEST(DxSpottingWindow, FirstRunWithoutSettingsConnectsNothing)
{
    Harness h;
    h.w->Form_Load();
    EXPECT_EQ(h.w->objectName(), "PacketSpotfrm");
    EXPECT_EQ(h.w->windowTitle(), " DX Spotting Setup");
    ASSERT_EQ(h.w->List1->count(), 4);
    EXPECT_EQ(h.w->List1->item(3)->text(), "AGW Packet Engine");
    EXPECT_EQ(h.w->List1->currentItem(), nullptr);
    EXPECT_FALSE(h.w->Command1->isEnabled());
    EXPECT_FALSE(h.w->txtSent->isEnabled());
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_TRUE(h.w->OptBand->isChecked());
}

TEST(DxSpottingWindow, EveryControlHasANameToSay)
{
    Harness h;
    h.w->Form_Load();
    for (QWidget *c : h.w->findChildren<QWidget *>()) {
        const bool operable = qobject_cast<QAbstractButton *>(c) || qobject_cast<QLineEdit *>(c) ||
                              qobject_cast<QListWidget *>(c) || qobject_cast<QPlainTextEdit *>(c);
        if (operable) {
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
        }
    }
    // Ten port options, each named with its number, not only "1".."10".
    EXPECT_EQ(h.w->optComm[9]->accessibleName(), "Comm Port 10");
}

TEST(DxSpottingWindow, TelnetOnlyFileReopensAndListeningMeansConnected)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    cluster.pieces << StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r\n" +
                          QByteArray("To ALL de W1AW: <b>bold</b> \a ring\r\n");
    Harness h;
    zevtest::WriteFile(h.settingsFile(), TelnetOnlyFile(cluster.port()));
    h.noReconnect();
    QSignalSpy state(&h.spots, &SpotService::linkStateChanged);
    zevtest::AccessibilityEvents a11y;
    h.w->showSetup();
    EXPECT_EQ(h.w->List1->currentItem()->text(), "Telnet");
    EXPECT_TRUE(h.w->OptList->isChecked());
    EXPECT_FALSE(h.w->chkDX->isChecked());  // never taken from the file
    EXPECT_TRUE(h.w->txtTelnetHost->isEnabled());
    EXPECT_TRUE(h.pane().startsWith(QStringLiteral("Attempting connection to: 127.0.0.1:%1").arg(cluster.port())));
    // Not open yet: not "Listening".
    EXPECT_FALSE(h.spots.linkOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.calls.size() == 1; }, 10000));
    EXPECT_TRUE(h.spots.linkOpen());
    EXPECT_EQ(h.w->Label4->text(), "Listening");
    QTest::qWait(20);
    EXPECT_TRUE(a11y.spoken(h.w->Label4).contains("Listening"));
    EXPECT_EQ(state.count(), 1);
    // The serial values the file left empty were set back to their defaults, and said so.
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("PackSpot.txt had values out of range")));
    EXPECT_EQ(h.calls, QStringList{"VE3ABC"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.pane().contains(QStringLiteral("ring")); }, 10000));
    // Shown as plain text, the bell as a symbol.
    EXPECT_TRUE(h.pane().contains(QStringLiteral("<b>bold</b> ") + QChar(0x2407) + QStringLiteral(" ring")));
    EXPECT_FALSE(h.pane().contains(QChar(7)));
    EXPECT_FALSE(h.pane().contains(QChar('\r')));

    h.w->txtSent->setText(QStringLiteral("VE3ZZZ"));
    QTest::keyClick(h.w->txtSent, Qt::Key_Return);
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received == "VE3ZZZ\r\n"; }, 10000));

    // The cluster hangs up: reported, and shown closed.
    cluster.client()->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.spots.linkOpen(); }, 10000));
    EXPECT_TRUE(h.spots.intake().monitor().endsWith(
        QStringLiteral("ERROR: Socket has been shut down.\r\n\r\n** Port Closed **")));
    EXPECT_EQ(h.w->lblLinkState->text(), "ERROR: Socket has been shut down.");
    QTest::qWait(20);
    EXPECT_EQ(a11y.spoken(h.w->lblLinkState).last(), "ERROR: Socket has been shut down.");
    EXPECT_FALSE(h.spots.pollTimer()->isActive());
    EXPECT_GE(h.count("beep"), 1);
}

TEST(DxSpottingWindow, TextThatCouldNotBeSentStaysInItsBox)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    Harness h;
    h.w->Form_Load();
    h.select("Telnet");
    h.w->txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
    h.w->txtTelnetPort->setText(QString::number(cluster.port()));
    h.w->Open();
    h.w->txtSent->setText(QStringLiteral("SH/DX"));
    h.w->Send();  // still connecting
    EXPECT_EQ(h.w->txtSent->text(), "SH/DX");
    EXPECT_TRUE(h.spots.intake().monitor().contains(
        QStringLiteral("**  Connection not yet established.  Please wait a moment and try again.")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen(); }, 10000));
    h.w->Send();
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.received == "SH/DX\r\n"; }, 10000));

    // A port out of range is refused with a message, not wrapped.
    h.w->txtTelnetPort->setText(QStringLiteral("70000"));
    h.w->Close();
    h.w->Open();
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("The Telnet port must be a number from 1 to 65535.")));
    EXPECT_EQ(cluster.clients, 1);
}

TEST(DxSpottingWindow, SpotLastAndDoneSavesTheSettings)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    Harness h;
    h.w->Form_Load();
    h.select("Telnet");
    h.w->SpotLast();  // nothing logged: nothing happens
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    ContactRecord r;
    r.Call = QStringLiteral("VE3ABC");
    h.session.log.append(r);
    h.w->SpotLast();
    EXPECT_EQ(h.w->txtSent->text(), "DX Frequency in kHz VE3ABC");
    EXPECT_EQ(h.w->txtSent->selectedText(), "Frequency in kHz");
    h.w->txtSent->clear();

    h.w->OptList->setChecked(true);
    h.w->txtTelnetPort->setText(QString::number(cluster.port()));
    h.w->txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
    QSignalSpy display(h.w.get(), &PacketSpotWindow::displayChanged);
    QSignalSpy pref(h.w.get(), &PacketSpotWindow::savePrefRequested);
    h.w->show();
    h.w->Done();
    EXPECT_FALSE(h.w->isVisible());
    ASSERT_EQ(display.count(), 1);
    EXPECT_TRUE(display[0][0].toBool());
    EXPECT_EQ(pref.count(), 1);
    const QList<QByteArray> lines = zevtest::ReadFile(h.settingsFile()).split('\n');
    ASSERT_GE(lines.size(), 14);
    EXPECT_EQ(lines[6], "\"Telnet\"\r");
    EXPECT_EQ(lines[10], "#TRUE#\r");
    EXPECT_EQ(lines[12], "\"" + QByteArray::number(cluster.port()) + "\"\r");
    EXPECT_EQ(lines[13], "\"127.0.0.1\"\r");
    // Done opened the link.
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen(); }, 10000));

    // A file that cannot be written is said, and the window stays.
    h.spots.settingsPath = h.dir.filePath("missing/PackSpot.txt");
    h.w->show();
    h.w->Done();
    EXPECT_TRUE(h.w->isVisible());
    EXPECT_TRUE(h.prompter.titles().contains("DX Spotting Setup"));
}

TEST(DxSpottingWindow, TncOnAPseudoTerminal)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    Harness h;
    ASSERT_TRUE(PortMap(h.registry).setDevice(2, QString::fromLocal8Bit(name)));
    h.w->Form_Load();
    h.w->optBaud48->setChecked(true);
    h.w->txtHex->setText(QStringLiteral("1B"));
    h.select("TNC");
    // Choosing the TNC sets its usual serial options.
    EXPECT_TRUE(h.w->optBaud96->isChecked());
    EXPECT_TRUE(h.w->optParityNone->isChecked());
    EXPECT_TRUE(h.w->optData8->isChecked());
    EXPECT_TRUE(h.w->optStop1->isChecked());
    EXPECT_TRUE(h.w->Option[2]->isChecked());
    EXPECT_EQ(h.w->txtHex->text(), "03");
    EXPECT_TRUE(h.w->cmdPorts->isEnabled());
    EXPECT_EQ(h.w->Label6->text(), "Send text  (Ctrl C or Esc for TNC Command mode):");
    EXPECT_TRUE(h.pane().startsWith(QStringLiteral("To use a Packet TNC")));
    QString modal;
    h.w->runModal = [&](QDialog &d) { modal = d.metaObject()->className(); };
    h.w->cmdPorts->click();
    EXPECT_EQ(modal, "zev::SerialPortsWindow");

    h.w->optComm[1]->setChecked(true);
    h.w->Open();
    ASSERT_TRUE(h.spots.linkOpen()) << h.pane().toStdString();
    EXPECT_TRUE(h.pane().contains(QStringLiteral("** TNC Serial Port Open **")));
    const QByteArray text = "\r" + StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r";
    ASSERT_EQ(::write(master, text.constData(), size_t(text.size())), text.size());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        h.spots.tick();
        return h.calls.size() == 1;
    }, 10000));

    // Esc: the command-mode character, without Enter.
    QTest::keyClick(h.w->txtSent, Qt::Key_Escape);
    char got = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ::read(master, &got, 1) == 1; }, 10000));
    EXPECT_EQ(got, '\x03');

    // Any serial option clicked closes the link.
    h.w->optBaud48->click();
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_TRUE(h.spots.intake().monitor().endsWith(QStringLiteral("\r\n\r\n** Port Closed **")));

    // The adapter is pulled out while the link is open: said, and shown closed.
    h.w->Open();
    ASSERT_TRUE(h.spots.linkOpen());
    ::close(master);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        h.spots.tick();
        return !h.spots.linkOpen();
    }, 10000));
    EXPECT_TRUE(h.w->lblLinkState->text().contains(QStringLiteral("stopped answering")))
        << h.w->lblLinkState->text().toStdString();
    EXPECT_TRUE(h.spots.intake().monitor().endsWith(QStringLiteral("** Port Closed **")));
    EXPECT_FALSE(h.spots.pollTimer()->isActive());

    // A port that cannot be opened.
    ASSERT_TRUE(PortMap(h.registry).setDevice(3, h.dir.filePath("no-such-tty")));
    h.w->optComm[2]->setChecked(true);
    h.w->Open();
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_TRUE(h.prompter.titles().contains("Invalid Comm Settings."));
    EXPECT_TRUE(h.pane().contains(QStringLiteral("** Unable to open TNC Serial Port **")));
}

TEST(DxSpottingWindow, AgwEngineMainPath)
{
    zevtest::AgwServer engine;
    Harness h;
    h.spots.agwPort = engine.port();
    h.w->Form_Load();
    h.select("AGW Packet Engine");
    h.w->Open();
    EXPECT_FALSE(h.spots.linkOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen(); }, 10000));
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("** Successfully connected to AGW Packet Engine **")));
    EXPECT_TRUE(h.spots.pollTimer()->isActive());

    // Text without a connected station stays in the box.
    h.w->txtSent->setText(QStringLiteral("hello"));
    h.w->Send();
    EXPECT_EQ(h.w->txtSent->text(), "hello");
    h.w->txtSent->setText(QStringLiteral(":C"));
    h.w->Send();
    EXPECT_TRUE(h.prompter.titles().contains("Call sign Required"));
    h.w->txtSent->setText(QStringLiteral(":c ve7cc"));
    h.w->Send();
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmC"; }, 10000));
    EXPECT_EQ(engine.got[2].callTo, "VE7CC");

    engine.send('C', "VE7CC", "*** CONNECTED With Station VE7CC\r");
    engine.send('D', "VE7CC", StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r");
    engine.send('D', "VE7CC", StandardSpot("W3LPL", "14030.0", "K1ABC", "CW", "1235").toLatin1() + "\r");
    engine.send('D', "VE7CC", StandardSpot("W3LPL", "14035.0", "JA1XYZ", "CW", "1236").toLatin1() + "\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.agwLink().waiting() == 4; }, 10000));
    // One tick takes every frame waiting.
    h.spots.tick();
    EXPECT_EQ(h.calls, (QStringList{"VE3ABC", "K1ABC", "JA1XYZ"}));
    EXPECT_EQ(h.spots.agwLink().waiting(), 0);
    EXPECT_EQ(h.w->windowTitle(), "DX Spotting Setup - Connected to VE7CC");
    h.w->txtSent->setText(QStringLiteral("SH/DX"));
    h.w->Send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmCD"; }, 10000));
    EXPECT_EQ(engine.got[3].data, "SH/DX\r");
    // A typed line wraps by itself at the first space past 70 characters.
    const QString words = QStringLiteral("0123456789").repeated(7);
    QTest::keyClicks(h.w->txtSent, words + QStringLiteral(" "));
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmCDD"; }, 10000));
    EXPECT_EQ(engine.got[4].data, words.toLatin1() + "\r");
    // Esc in the box types the command colon.
    QTest::keyClick(h.w->txtSent, Qt::Key_Escape);
    EXPECT_EQ(h.w->txtSent->text(), ":");
    h.w->txtSent->clear();

    // Close says goodbye to the station first.
    h.w->Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmCDDd"; }, 10000));
    EXPECT_EQ(h.w->windowTitle(), "DX Spotting Setup");
    EXPECT_FALSE(h.spots.linkOpen());
}

TEST(DxSpottingWindow, AgwWithoutCallOrEngine)
{
    Harness h;
    h.session.prefs.MyCall.clear();
    h.w->Form_Load();
    h.select("AGW Packet Engine");
    h.w->Open();
    EXPECT_TRUE(h.prompter.titles().contains("Call Sign Required!"));
    EXPECT_FALSE(h.spots.linkOpen());

    h.session.prefs.MyCall = QStringLiteral("VE3ZZZ");
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    h.w->txtAgwPort->setText(QString::number(s.serverPort()));
    s.close();
    h.w->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.prompter.titles().contains("Unable to connect to the AGW Packet Engine."); },
                                10000));
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_FALSE(h.spots.pollTimer()->isActive());
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("- Click Open from this program.")));
}

TEST(DxSpottingWindow, HelpAndALongMonitorStayInBounds)
{
    Harness h;
    h.w->Form_Load();
    h.select("None");
    EXPECT_TRUE(h.pane().startsWith(QStringLiteral("Use this form to configure your DX spotting options.")));
    EXPECT_TRUE(h.pane().contains(QStringLiteral("direwolf")));
    EXPECT_TRUE(h.pane().endsWith(QStringLiteral("experiences with different hardware.\n\n")));
    for (int i = 0; i < 300; ++i)
        h.spots.intake().appendMonitor(QStringLiteral("line %1 ").arg(i, 4, 10, QLatin1Char('0')) +
                                    QString(40, QLatin1Char('.')) + QStringLiteral("\r\n"));
    EXPECT_LE(h.spots.intake().monitor().size(), 10000);
    EXPECT_TRUE(h.spots.intake().monitor().endsWith(QStringLiteral("line 0299 ") + QString(40, QLatin1Char('.')) +
                                                 QStringLiteral("\r\n")));
    // The pane shows the same text, line ends its own way.
    EXPECT_EQ(h.pane(), DisplayText(h.spots.intake().monitor()));
}

TEST(DxSpottingWindow, OpenAgainWhileConnectedStartsClean)
{
    zevtest::AgwServer engine;
    Harness h;
    ASSERT_TRUE(h.openAgw(engine.port()));
    // A node reached by its SSID, as packet clusters usually are.
    h.w->txtSent->setText(QStringLiteral(":C VE7CC-1"));
    h.w->Send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.kinds() == "XmC"; }, 10000));
    EXPECT_EQ(engine.got[2].callTo, "VE7CC-1");
    // An unknown command is dropped with the box cleared.
    h.w->txtSent->setText(QStringLiteral(":Q"));
    h.w->Send();
    EXPECT_TRUE(h.w->txtSent->text().isEmpty());
    engine.send('C', "VE7CC-1", "*** CONNECTED With Station VE7CC-1\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.agwLink().waiting() == 1; }, 10000));
    h.spots.tick();
    ASSERT_EQ(h.spots.intake().agwConnectedCall(), "VE7CC-1");

    // Open again: the station is let go and nothing says "Listening" until the new link is up.
    h.w->Open();
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_TRUE(h.spots.intake().agwConnectedCall().isEmpty());
    EXPECT_EQ(h.w->windowTitle(), "DX Spotting Setup");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen(); }, 10000));
    // Monitored spots count again.
    engine.send('U', "W1AW", " 1:Fm W1AW To DX <UI pid=F0 Len=75 >[12:00:00]\r" +
                                 StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.agwLink().waiting() >= 1; }, 10000));
    h.spots.tick();
    EXPECT_EQ(h.calls, QStringList{"VE3ABC"});
}

TEST(DxSpottingWindow, AFloodOfPacketFramesIsBoundedAndSaid)
{
    zevtest::AgwServer engine;
    Harness h;
    ASSERT_TRUE(h.openAgw(engine.port()));
    h.spots.pollTimer()->stop();  // no tick takes frames meanwhile
    QByteArray flood;
    for (int i = 0; i < AgwLink::kMaxWaiting + 10; ++i)
        flood += zevtest::AgwBytes('U', "N0CALL", {}, " 1:Fm N0CALL To BEACON <UI>\rhi\r");
    engine.sendRaw(flood);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.intake().monitor().contains("packet frames were dropped"); }, 10000));
    EXPECT_EQ(h.spots.agwLink().waiting(), AgwLink::kMaxWaiting);
}

TEST(DxSpottingWindow, TextWithoutALineEndDoesNotSwallowTheNextSpot)
{
    const QByteArray spot = StandardSpot("K3LR", "14030.0", "OK1ABC", "CW 599", "1830").toLatin1();
    const struct {
        const char *what;
        QList<QByteArray> pieces;
        QString shown;  // in the monitor, line ends CR LF
        int tailWaitMs = 300;
    } cases[] = {
        {"a node's prompt, then a spot",
         {"VA3XYZ de VE7CC-1 10-Dec-2026 1830Z dxspider >", spot + "\r\n"},
         QStringLiteral("dxspider >\r\nDX de K3LR:")},
        {"a log-in prompt, then a greeting and a spot",
         {"Please enter your call: ", "Hello VE3ZZZ\r\n" + spot + "\r\n"},
         QStringLiteral("Please enter your call: \r\nHello VE3ZZZ\r\nDX de K3LR:")},
        {"a prompt, then a spot in lower case", {"VE7CC-1 >", spot.toLower() + "\r\n"},
         QStringLiteral("VE7CC-1 >\r\ndx de k3lr:")},
        // Nothing but the hang-up ends this line.
        {"a spot cut by the hang-up after its call", {"VE7CC-1 >\r\n", spot.left(40)},
         QStringLiteral("\r\nDX de K3LR:      14030.0  OK1ABC"), 600000},
    };
    for (const auto &c : cases) {
        zevtest::ClusterServer cluster;
        cluster.pieces = c.pieces;
        cluster.gapMs = 700;  // longer than a prompt waits for more
        Harness h;
        h.spots.intake().tailWaitMs = c.tailWaitMs;
        zevtest::WriteFile(h.settingsFile(), TelnetOnlyFile(cluster.port()));
        h.noReconnect();
        h.w->Form_Load();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cluster.sentAll() && !h.spots.pollTimer()->isActive(); }, 20000)) << c.what;
        EXPECT_EQ(h.calls.join(QLatin1Char(' ')).toUpper(), "OK1ABC") << c.what;
        EXPECT_TRUE(h.spots.intake().monitor().contains(c.shown)) << c.what << "\n"
                                                               << h.spots.intake().monitor().toStdString();
    }
}

TEST(DxSpottingWindow, AShortSettingsFileKeepsEveryValueItHolds)
{
    Harness h;
    // Thirteen lines: the host line is missing.
    zevtest::WriteFile(h.settingsFile(), "\"4800\"\r\n\"E\"\r\n\"7\"\r\n\"2\"\r\n3\r\n\"R\"\r\n\"TNC\"\r\n0\r\n2\r\n0\r\n"
                                         "#TRUE#\r\n\"1B\"\r\n\"7300\"\r\n");
    h.w->Form_Load();  // the TNC on port 3 does not open here; that is said and closed
    EXPECT_EQ(h.w->List1->currentItem() ? h.w->List1->currentItem()->text() : QString(), "TNC");
    for (QRadioButton *on : {h.w->optBaud48, h.w->optParityEven, h.w->optData7, h.w->optStop2, h.w->optComm[2],
                             h.w->optPowerRTS, h.w->Option[1], h.w->OptList})
        EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
    EXPECT_EQ(h.w->txtHex->text(), "1B");
    EXPECT_EQ(h.w->txtTelnetPort->text(), "7300");
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("missing")));
    EXPECT_TRUE(h.spots.intake().monitor().contains(QStringLiteral("Telnet Host")));
    // Said to the screen reader too.
    EXPECT_TRUE(h.w->lblLinkState->text().contains(QStringLiteral("Telnet Host")));

    h.w->Done();
    EXPECT_EQ(zevtest::ReadFile(h.settingsFile()),
              "\"4800\"\r\n\"E\"\r\n\"7\"\r\n\"2\"\r\n3\r\n\"R\"\r\n\"TNC\"\r\n0\r\n2\r\n0\r\n#TRUE#\r\n\"1B\"\r\n"
              "\"7300\"\r\n\"\"\r\n");
}

TEST(DxSpottingWindow, ItsOwnTelnetFileReadsBackWithoutANote)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    Harness h;
    h.w->Form_Load();
    h.select("Telnet");
    h.w->txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
    h.w->txtTelnetPort->setText(QString::number(cluster.port()));
    h.w->Done();
    SpotService againLinks(h.session);
    PacketSpotWindow again(h.session, againLinks);
    again.Form_Load();
    EXPECT_EQ(again.txtTelnetPort->text(), QString::number(cluster.port()));
    EXPECT_FALSE(againLinks.intake().monitor().contains(QStringLiteral("PackSpot.txt"))) << againLinks.intake().monitor().toStdString();
    EXPECT_TRUE(again.lblLinkState->text().isEmpty());
}

TEST(DxSpottingWindow, ThePacketEngineMayListenElsewhere)
{
    zevtest::AgwServer first, second;
    Harness h;
    zevtest::WriteFile(h.dir.filePath("AgwEngine.txt"), "\"127.0.0.1\"\r\n" + QByteArray::number(first.port()) + "\r\n");
    h.w->Form_Load();
    h.select("Telnet");
    EXPECT_FALSE(h.w->txtAgwPort->isEnabled());
    h.select("AGW Packet Engine");
    ASSERT_TRUE(h.w->txtAgwHost->isEnabled());
    ASSERT_TRUE(h.w->txtAgwPort->isEnabled());
    EXPECT_EQ(h.w->txtAgwHost->accessibleName(), "AGW Host");
    EXPECT_EQ(h.w->txtAgwPort->text(), QString::number(first.port()));
    h.w->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen(); }, 10000));
    EXPECT_TRUE(first.connected());

    // The operator moves to an engine on another port: Done keeps it beside PackSpot.txt,
    // which keeps its fourteen lines.
    h.w->txtAgwPort->setText(QString::number(second.port()));
    h.w->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.spots.linkOpen() && second.connected(); }, 10000));
    h.w->Done();
    EXPECT_EQ(zevtest::ReadFile(h.dir.filePath("AgwEngine.txt")),
              "\"127.0.0.1\"\r\n" + QByteArray::number(second.port()) + "\r\n");
    EXPECT_EQ(zevtest::ReadFile(h.settingsFile()).count('\n'), 14);
    SpotService againLinks(h.session);
    PacketSpotWindow again(h.session, againLinks);
    again.Form_Load();
    EXPECT_EQ(again.txtAgwPort->text(), QString::number(second.port()));

    // A port that is no port is refused before anything is tried.
    h.w->txtAgwPort->setText(QStringLiteral("80000"));
    h.w->Open();
    EXPECT_FALSE(h.spots.linkOpen());
    EXPECT_EQ(h.w->lblLinkState->text(), "The AGW port must be a number from 1 to 65535.");
}

TEST(DxSpottingWindow, WithTheEngineChosenTheWindowFitsTheScreen)
{
    // The text size the program has on a 1600x1000 screen.
    const QFont before = QApplication::font();
    QFont f = before;
    f.setPixelSize(ScreenFontPixels(1000));
    QApplication::setFont(f);
    const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
    Harness h;
    PadButtons(h.w.get(), f.pixelSize());
    // The engine is not running: the longest state text is shown.
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    h.spots.agwPort = s.serverPort();
    s.close();
    h.w->Form_Load();
    h.select("None");
    const QSize none = h.w->minimumSizeHint();
    h.select("AGW Packet Engine");
    const QSize chosen = h.w->minimumSizeHint();
    h.w->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.w->lblLinkState->text().isEmpty(); }, 10000));
    const QSize failed = h.w->minimumSizeHint();
    std::printf("smallest sizes: none %dx%d, engine %dx%d, engine failed %dx%d\n", none.width(), none.height(),
                chosen.width(), chosen.height(), failed.width(), failed.height());
    // Choosing the engine, with its longer prompt and failure texts, never widens the
    // window past the screen.
    for (const QSize &hint : {none, chosen, failed}) {
        EXPECT_LE(hint.width(), 1600);
        EXPECT_LE(hint.height(), 1000);
    }
}

TEST(DxSpottingWindow, TheWindowShowsTheStationsLinkAndClosingItLeavesTheLinkRunning)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    cluster.pieces << StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW", "1234").toLatin1() + "\r\n";
    Harness h;
    zevtest::WriteFile(h.settingsFile(), TelnetOnlyFile(cluster.port()));
    // The station opens the link at start-up; the window is shown only later.
    h.spots.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.calls.size() == 1; }, 10000));
    h.w->showSetup();
    EXPECT_EQ(h.w->List1->currentItem()->text(), "Telnet");
    EXPECT_EQ(h.w->txtTelnetPort->text(), QString::number(cluster.port()));
    EXPECT_TRUE(h.w->Label4->isVisible());
    // What arrived stays in view; the help text does not replace it.
    EXPECT_TRUE(h.pane().contains(QStringLiteral("DX de W3LPL:"))) << h.pane().toStdString();
    EXPECT_FALSE(h.pane().contains(QStringLiteral("the Telnet option is very easy")));
    EXPECT_EQ(cluster.clients, 1);

    // The window goes; the link and its spots do not.
    h.w.reset();
    EXPECT_TRUE(h.spots.linkOpen());
    cluster.client()->write(StandardSpot("K1TTT", "7010.0", "K1ABC", "up 2", "1235").toLatin1() + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.calls.size() == 2; }, 10000));
    EXPECT_EQ(h.calls.last(), "K1ABC");
    EXPECT_EQ(h.session.spots.slot(SpotStore::kSlots - 1).SpotCall, "K1ABC");
}

TEST(DxSpottingWindow, TheClusterLogInIsShownAndDoneKeepsItBesidePackSpot)
{
    Harness h;
    zevtest::WriteFile(h.settingsFile(), TelnetOnlyFile(1));
    zevtest::WriteFile(h.dir.filePath("ClusterLogin.txt"), "\"VE3ABC\"\r\n0\r\n1\r\n\"set/dx\"\r\n");
    h.spots.reconnectFirstMs = 60000;
    h.w->Form_Load();
    EXPECT_EQ(h.w->txtClusterLogin->text(), "VE3ABC");
    EXPECT_EQ(h.w->txtClusterCommands->toPlainText(), "set/dx");
    EXPECT_FALSE(h.w->chkReconnect->isChecked());
    EXPECT_TRUE(h.w->fraClusterLogin->isEnabled());
    EXPECT_EQ(h.w->txtClusterLogin->accessibleName(), "Log-in Call");
    EXPECT_EQ(h.w->txtClusterCommands->accessibleName(), "Start-up Commands");
    EXPECT_EQ(h.w->chkReconnect->accessibleName(), "Reconnect Automatically");

    h.w->txtClusterLogin->setText(QStringLiteral("VE3ABC-2"));
    h.w->txtClusterCommands->setPlainText(QStringLiteral("set/dx\n\n  sh/dx 5  \n"));
    h.w->chkReconnect->setChecked(true);
    const QByteArray packSpot = zevtest::ReadFile(h.settingsFile());
    h.w->Done();
    EXPECT_EQ(zevtest::ReadFile(h.dir.filePath("ClusterLogin.txt")),
              "\"VE3ABC-2\"\r\n1\r\n2\r\n\"set/dx\"\r\n\"sh/dx 5\"\r\n");
    // PackSpot.txt keeps its fourteen lines.
    EXPECT_EQ(zevtest::ReadFile(h.settingsFile()).count('\n'), 14);
    EXPECT_EQ(zevtest::ReadFile(h.settingsFile()).count('\n'), packSpot.count('\n'));

    // A file that cannot be written is said, and the window stays.
    h.spots.loginSettingsPath = h.dir.filePath("missing/ClusterLogin.txt");
    h.w->txtClusterLogin->setText(QStringLiteral("VE3XYZ"));
    h.w->show();
    h.w->Done();
    EXPECT_TRUE(h.w->isVisible());
    EXPECT_TRUE(std::any_of(h.prompter.asked.begin(), h.prompter.asked.end(), [](const zevtest::Asked &a) {
        return a.kind == "message" && a.text.contains(QStringLiteral("ClusterLogin.txt"));
    }));

    // Another link chosen: the log-in is the cluster's only.
    h.select("None");
    EXPECT_FALSE(h.w->fraClusterLogin->isEnabled());
}
