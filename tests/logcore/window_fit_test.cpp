// Every window fits the screen it opens on, at small and large screens, and text from
// outside (a long message, a cluster line) never pushes a window past the screen's edge.

#include "frame/window_scaling_ui.h"
#include "rig/rig_control_window.h"
#include "rig/serial_ports_window.h"
#include "keying/cw_window.h"
#include "spotting/packet_spot_window.h"
#include "spotting/spot_service_device.h"
#include "station/station_network.h"
#include "spot_servers.h"
#include "window_harness.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStyle>

using namespace zevtest;

namespace {

const char *const kProbeEnv = "ZEV_FIT_PROBE";

QString rectText(const QRect &r)
{
    return QStringLiteral("%1x%2 at %3,%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

QString windowName(const QWidget *w)
{
    return w->objectName() + QStringLiteral(" \"") + w->windowTitle() + QLatin1Char('"');
}

// The window with its frame lies inside the screen's work area.
void expectFits(const QWidget *w, const QString &when)
{
    const QRect area = w->screen()->availableGeometry();
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << windowName(w).toStdString() << " " << when.toStdString() << ": "
                                      << rectText(frame).toStdString() << " on a work area of "
                                      << rectText(area).toStdString();
}

// Every window on screen fits.
void expectAllFit(const QString &when)
{
    QCoreApplication::processEvents();
    int shown = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            expectFits(w, when);
            ++shown;
        }
    EXPECT_GT(shown, 0) << when.toStdString();
}

// A full-height window leaves room above it for the window manager's title bar, and its
// bottom stays on the screen.
void expectRoomForTitleBar(const QWidget *w)
{
    const QRect area = w->screen()->availableGeometry();
    const int titleBar = w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w);
    EXPECT_GE(w->geometry().top() - area.top(), titleBar) << windowName(w).toStdString();
    EXPECT_LE(w->geometry().bottom(), area.bottom()) << windowName(w).toStdString();
    EXPECT_GT(w->height(), area.height() / 2) << windowName(w).toStdString();
}

// The program as main() starts it, on the screen the child process was given.
struct Program {
    Harness h;
    QStringList modalsSeen;
    std::function<void(QDialog &)> onModal;

    Program()
    {
        ScaleApplicationFont();
        QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/BandPlan.txt"), h.folders.work("BandPlan.txt"));
        h.prompter.answers = {true};
        h.station = [this](StationWindow &w) {
            w.show();
            expectAllFit(QStringLiteral("with the station window"));
            modalsSeen << w.objectName();
            w.Done();
        };
        h.otherModal = [this](QDialog &d) {
            d.show();
            expectAllFit(QStringLiteral("with ") + windowName(&d));
            modalsSeen << d.objectName();
            if (onModal)
                onModal(d);
            d.hide();
        };
        h.start();
        h.activate();
    }
    MainWindow &w() { return *h.window; }
};

bool probing()
{
    return !qEnvironmentVariableIsEmpty(kProbeEnv);
}

}  // namespace

// ---- probes: run in a child process with a screen of a given size ----

TEST(WindowFitProbe, MainWindowWithALongMessage)
{
    if (!probing())
        GTEST_SKIP() << "runs in the child process of WindowFit.*";
    Program p;
    MainWindow &w = p.w();
    expectAllFit(QStringLiteral("at start"));
    // A long message from the station, as a shared log's refusal or a long device path.
    QString text = QStringLiteral("The CW port /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 has no "
                                  "RTS line");
    while (text.size() < 300)
        text += QStringLiteral(" and still more words about it");
    AccessibilityEvents a11y;
    emit w.station().network().problem(text);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.messageLine->text(), text);
    // The screen reader hears the whole message, however little of it shows.
    QTest::qWait(20);
    EXPECT_TRUE(a11y.spoken(w.messageLine).contains(text)) << a11y.spoken(w.messageLine).join('|').toStdString();
    expectAllFit(QStringLiteral("with a 300-character message"));
    // The clocks and the score at the right stay on the screen.
    for (QWidget *right : {static_cast<QWidget *>(w.utcTimeLabel), static_cast<QWidget *>(w.scoreLabel),
                           static_cast<QWidget *>(w.powerBox), static_cast<QWidget *>(w.timeOnButton)}) {
        const QRect r(right->mapToGlobal(QPoint(0, 0)), right->size());
        EXPECT_TRUE(w.screen()->availableGeometry().contains(r)) << right->objectName().toStdString();
    }
    QTest::keyClick(w.callBox, Qt::Key_Escape);
    w.messageLine->clear();
    expectAllFit(QStringLiteral("after the message was cleared"));
}

TEST(WindowFitProbe, DxSpottingSetupWithALongClusterLine)
{
    if (!probing())
        GTEST_SKIP() << "runs in the child process of WindowFit.*";
    ClusterServer cluster;
    cluster.stayOpen = true;
    Program p;
    MainWindow &w = p.w();
    w.mnuDXSpotting_Click();
    PacketSpotWindow &spot = w.spotWindow();
    ASSERT_TRUE(spot.isVisible());
    expectAllFit(QStringLiteral("DX Spotting Setup opened"));
    spot.List1->setCurrentRow(spot.List1->count() - 2);  // Telnet
    ASSERT_EQ(spot.List1->currentItem()->text(), "Telnet");
    spot.txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
    spot.txtTelnetPort->setText(QString::number(cluster.port()));
    const QByteArray word(400, 'W');
    cluster.pieces << "To ALL de W1AW: " + word + " " + QByteArray(120, 'x').replace('x', "x ") + "\r\n";
    spot.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spot.txtUnProcessed->toPlainText().contains(QLatin1String(word)); },
                                10000));
    expectAllFit(QStringLiteral("after a long cluster line"));
    // A link's state names what the other end sent, which may be one long word.
    emit w.station().spots().stateTextChanged(QStringLiteral("Connected to ") + QString(200, QLatin1Char('K')));
    QCoreApplication::processEvents();
    expectAllFit(QStringLiteral("with a long link state"));
    spot.Close();
    expectAllFit(QStringLiteral("after the link closed"));
}

TEST(WindowFitProbe, FullHeightWindowsLeaveRoomForTheTitleBar)
{
    if (!probing())
        GTEST_SKIP() << "runs in the child process of WindowFit.*";
    Program p;
    MainWindow &w = p.w();
    int checked = 0;
    p.onModal = [&](QDialog &d) {
        expectRoomForTitleBar(&d);
        ++checked;
    };
    w.mnuPrivileges_Click();
    w.showSpectrumMap();
    EXPECT_EQ(checked, 2);
}

TEST(WindowFitProbe, EveryOtherWindow)
{
    if (!probing())
        GTEST_SKIP() << "runs in the child process of WindowFit.*";
    Program p;
    MainWindow &w = p.w();
    w.mnuSetup_Click();
    w.mnuWriteSumm_Click();
    w.mnuHelp_Click();
    w.mnuColors_Click();
    w.mnuNetwork_Click();
    w.OpenTuneWindow();
    w.showWinKeyWindow();
    w.mnuCW_Click();
    w.showCodePractice();
    selectRecord(w, 1);
    w.cmdEdit_Click();
    EXPECT_GE(p.modalsSeen.size(), 10) << p.modalsSeen.join(' ').toStdString();

    // The windows that stay open beside the main window.
    w.showCwWindow(false);
    expectAllFit(QStringLiteral("CW Setup beside the main window"));
    w.cwWindow()->hide();
    w.showCwStrings(false);
    expectAllFit(QStringLiteral("CW Strings beside the main window"));
    w.mnuVoice_Click();
    expectAllFit(QStringLiteral("Voice Keyer setup beside the main window"));
    w.mnuBlind_Click();
    expectAllFit(QStringLiteral("the blind operator's window beside the main window"));
    w.mnuRigInterface_Click();
    expectAllFit(QStringLiteral("Rig Interface beside the main window"));
    emit w.rigWindow()->changeFrequencyRequested();
    EXPECT_EQ(p.modalsSeen.last(), "frmFrequencyTest");
}

TEST(WindowFitProbe, SerialPortsWithLongDevicePaths)
{
    if (!probing())
        GTEST_SKIP() << "runs in the child process of WindowFit.*";
    Program p;
    // As long as a box takes.
    const QString longPath = QStringLiteral("/dev/serial/by-id/usb-Silicon_Labs_CP2105_Dual_USB_to_UART_Bridge_"
                                            "Controller_01A7B3C9D2E4F5061728394A5B6C7D8E-if01-port0") + QString(60, QLatin1Char('x'));
    SerialPortsWindow ports(*p.h.session,
                            [&] {
                                return QList<PresentPort>{
                                    {longPath, QStringLiteral("/dev/ttyUSB1"),
                                     QStringLiteral("CP2105 Dual USB to UART Bridge Controller, Enhanced COM Port")},
                                    {longPath.chopped(1) + QLatin1Char('1'), QStringLiteral("/dev/ttyUSB2"), {}}};
                            },
                            &p.w());
    ports.boxes[0]->setEditText(longPath);
    ports.show();
    expectAllFit(QStringLiteral("with long device paths"));
    EXPECT_EQ(ports.boxes[0]->currentText(), longPath);
}

// ---- the checks: one child process per screen size ----

class WindowFit : public ::testing::TestWithParam<QSize> {};

TEST_P(WindowFit, EveryWindowFitsTheScreen)
{
    if (probing())
        GTEST_SKIP() << "this is the child process";
    const QSize screen = GetParam();
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    WriteFile(config, QStringLiteral("{\"screens\": [{\"name\": \"S\", \"x\": 0, \"y\": 0, \"width\": %1, "
                                     "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                          .arg(screen.width())
                          .arg(screen.height())
                          .toUtf8());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    env.insert(QString::fromLatin1(kProbeEnv), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=WindowFitProbe.*")});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromUtf8(p.readAll());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    // All five probes ran, none skipped.
    EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 5 tests"))) << out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowFit,
                         ::testing::Values(QSize(1024, 768), QSize(1600, 1000), QSize(2560, 1440)),
                         [](const ::testing::TestParamInfo<QSize> &info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });
