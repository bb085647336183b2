// "WinKey Setup" driven as the operator would, against the keyer of our own.

#include "frame/registry.h"
#include "frame/session.h"
#include "full_disk.h"
#include "keying/cw_buffer.h"
#include "keying/winkey_window.h"
#include "keying/winkeyer.h"
#include "keying/keying_controller.h"
#include "station/station_keying.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"
#include "rig/serial_ports_window.h"
#include "test_support.h"
#include "winkeyer_emulator.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace zev;
using zevtest::WinKeyerEmulator;

constexpr int kPatience = 5000;

struct TestStation {
    QTemporaryDir dir;
    Folders folders;
    zevtest::ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<Session> session;
    WinKeyerEmulator keyer;
    std::unique_ptr<StationKeying> keying;

    explicit TestStation(const QString &programData = {})
    {
        folders.StartDir = dir.filePath("start");
        folders.MakerFolder = dir.filePath("docs/Velko Software");
        folders.ProgramDataFolder = programData.isEmpty() ? folders.MakerFolder + "/ZEV" : programData;
        folders.SharedFolder = folders.MakerFolder + "/Shared";
        for (const QString &d : {folders.StartDir, folders.ProgramDataFolder, folders.SharedFolder})
            QDir().mkpath(d);
        registry = std::make_unique<Registry>(dir.filePath("registry.ini"));
        session = std::make_unique<Session>(folders, prompter, clock, *registry);
        session->prefs.MyCall = "VE3XYZ";
        PortMap(*registry).setDevice(3, keyer.path());
        keying = std::make_unique<StationKeying>(*session);
        keying->winKeyerLineFactory = [] { return std::make_unique<QtSerialLine>(); };
        link().setAnswerTimeoutMs(400);
    }
    WinKeyer &link() { return keying->winKeyer(); }
    CwBuffer &buffer() { return session->CWBuffer; }
    // The station reads "WK.txt" as the WinKey line is chosen, at the CW speed.
    void loadSettings(int cwSpeed)
    {
        keying->controller().setSpeedText(QString::number(cwSpeed));
        keying->loadWinKeySettings();
    }
    QString wkPath() const { return WkSettingsPath(folders); }
    bool received(const QByteArray &hex)
    {
        const QByteArray want = QByteArray::fromHex(hex);
        return QTest::qWaitFor([&] { return keyer.received().endsWith(want); }, kPatience);
    }
};

void Leave(QLineEdit *box, const QString &text)
{
    box->setText(text);
    emit box->editingFinished();
}

TEST(WinKeyWindow, LoadsTheFileShowsEveryControlAndOpensTheKeyer)
{
    TestStation st;
    zevtest::WriteFile(st.wkPath(), "3\r\n\"22\"\r\n\"45\"\r\n\"1\"\r\n\"2\"\r\n\"60\"\r\n8\r\n48\r\n");
    zevtest::AccessibilityEvents a11y;
    st.loadSettings(28);
    WinKeyWindow w(*st.session, st.link(), st.buffer());
    EXPECT_EQ(w.objectName(), "frmWinKey");
    EXPECT_EQ(w.windowTitle(), "WinKey Setup");
    EXPECT_EQ(w.txtWKComPort->text(), "3");
    EXPECT_EQ(w.txtWKWPM->text(), "28");  // the CW speed, not the file's 22
    EXPECT_EQ(w.txtWeight->text(), "45");
    EXPECT_EQ(w.txtRatio->text(), "60");
    EXPECT_TRUE(w.optKey5Out3Off->isChecked());
    EXPECT_TRUE(w.optBug->isChecked());
    EXPECT_EQ(w.lblOpenStatus->text(), "Closed");
    EXPECT_EQ(w.lblVersion->text(), "Version #");
    EXPECT_EQ(w.txtRatio->toolTip(), "Ratio of dits to dahs (Range: 33 - 66).");
    EXPECT_EQ(w.txtWeight->toolTip(), "Proportional amount added or subtracted (50 is standard).");
    // Every control the operator uses has a name a screen reader can say.
    for (QWidget *c : w.findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(c) || qobject_cast<QAbstractButton *>(c)) {
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
        }
    }
    EXPECT_TRUE(st.keyer.received().isEmpty());  // loading opens nothing

    w.show();
    w.cmdOpenWinkey->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.lblOpenStatus->text() == "WK Success!"; }, kPatience));
    EXPECT_EQ(w.lblVersion->text(), "Version # 23");
    ASSERT_TRUE(st.received("0E34"));
    EXPECT_EQ(st.keyer.received().toHex(' '), "00 02 02 1c 03 2d 04 01 02 17 3c 09 08 0e 34");
    EXPECT_TRUE(st.prompter.asked.isEmpty());
    QTest::qWait(0);
    ASSERT_FALSE(a11y.spoken(w.lblOpenStatus).isEmpty());
    EXPECT_EQ(a11y.spoken(w.lblOpenStatus).last(), "WK Success!");

    // Open again: "WK Already Open", no message, nothing re-sent.
    st.keyer.clearReceived();
    w.cmdOpenWinkey->click();
    EXPECT_EQ(w.lblOpenStatus->text(), "WK Already Open");
    EXPECT_TRUE(st.prompter.asked.isEmpty());
    // Ratio 68 is not sent, 67 is; the marker shows nothing came before.
    Leave(w.txtRatio, "68");
    Leave(w.txtRatio, "67");
    ASSERT_TRUE(st.received("1743"));
    EXPECT_EQ(st.keyer.received().toHex(' '), "17 43");
    EXPECT_EQ(w.txtRatio->text(), "67");
    // The CW speed changed on the main window.
    st.keyer.clearReceived();
    w.SetCwSpeed(35);
    ASSERT_TRUE(st.received("0223"));
    EXPECT_EQ(st.keyer.received().toHex(' '), "02 23");
    EXPECT_EQ(w.txtWKWPM->text(), "35");

    // A pin option re-sends every setting.
    st.keyer.clearReceived();
    w.optPTT->click();
    ASSERT_TRUE(st.received("0E34"));
    EXPECT_EQ(st.keyer.received().toHex(' '), "02 23 03 2d 04 01 02 17 43 09 05 0e 34");

    // Test sends the station's call; typing goes out upper-cased.
    w.Command3->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.keyer.keyed() == "VVV TEST DE VE3XYZ"; }, kPatience));
    QTest::keyClicks(w.Text1, "tu");
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.keyer.keyed().endsWith("TU"); }, kPatience));
    EXPECT_EQ(w.Text1->text(), "TU");

    // Stop drops what the keyer holds and what is still waiting with us.
    st.keyer.hold = true;
    st.keyer.clearReceived();
    w.Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.keyer.held() == WinKeyer::kMaxPending; }, kPatience));
    EXPECT_FALSE(st.buffer().isEmpty());
    w.cmdStop->click();
    EXPECT_TRUE(st.buffer().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.keyer.held() == 0; }, kPatience));
    EXPECT_TRUE(st.keyer.received().endsWith(QByteArray::fromHex("0A")));

    w.cmdCloseWinkey->click();
    EXPECT_EQ(w.lblOpenStatus->text(), "Closed");
    EXPECT_EQ(w.lblVersion->text(), "Version #");
    ASSERT_TRUE(st.received("0003")) << st.keyer.received().toHex(' ').toStdString();
    EXPECT_FALSE(st.link().isOpen());

    // Done keeps what the boxes and options hold.
    Leave(w.txtWeight, "55");
    w.cmdDone->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(zevtest::ReadFile(st.wkPath()),
              "3\r\n\"35\"\r\n\"55\"\r\n\"1\"\r\n\"2\"\r\n\"67\"\r\n5\r\n48\r\n");
    EXPECT_TRUE(st.prompter.asked.isEmpty());
}

TEST(WinKeyWindow, AKeyerThatCannotBeReachedSaysSoAndDropsTheMessage)
{
    TestStation st;
    PortMap(*st.registry).setDevice(4, "/dev/no-such-winkeyer");
    st.loadSettings(20);  // no file: the defaults
    WinKeyWindow w(*st.session, st.link(), st.buffer());
    EXPECT_EQ(w.txtWKComPort->text(), "5");
    EXPECT_TRUE(w.optTone->isChecked());
    EXPECT_TRUE(w.optIambicB->isChecked());
    Leave(w.txtWKComPort, "4");
    w.cmdOpenWinkey->click();
    ASSERT_EQ(st.prompter.asked.size(), 1);
    EXPECT_EQ(st.prompter.asked[0].text,
              "Unable to establish connection with WinKey on com port 4.  Please check to make sure "
              "that you have specified the correct port and that the Winkey device is properly "
              "connected.");
    EXPECT_EQ(st.prompter.asked[0].title, "Unable to establish connection with Winkey.");
    EXPECT_EQ(w.lblOpenStatus->text(), "Com Open Failed");
    EXPECT_EQ(w.lblVersion->text(), "Version #");

    // The first message tries to open the keyer, and is dropped when that fails.
    w.Command3->click();
    EXPECT_EQ(st.prompter.asked.size(), 2);
    EXPECT_TRUE(st.buffer().isEmpty());

    // The port's device is chosen in "Serial Ports", beside the port box.
    int shown = 0;
    w.runModal = [&](QDialog &d) {
        if (auto *ports = qobject_cast<SerialPortsWindow *>(&d)) {
            ++shown;
            ports->boxes[3]->setEditText("/dev/pts/77");
            ports->Done();
        }
    };
    w.cmdPorts->click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(w.device(), "/dev/pts/77");
    EXPECT_EQ(st.link().device(), "/dev/pts/77");

    // A port box that is not a number is port 0.
    Leave(w.txtWKComPort, "");
    EXPECT_EQ(w.txtWKComPort->text(), "0");

    // A keyer that does not answer.
    st.keyer.silent = true;
    Leave(w.txtWKComPort, "3");
    w.cmdOpenWinkey->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.lblOpenStatus->text() == "No Open Response"; }, kPatience));
    ASSERT_EQ(st.prompter.asked.size(), 3);
    EXPECT_TRUE(st.prompter.asked[2].text.contains("com port 3."));
    EXPECT_EQ(st.keyer.received().toHex(' '), "00 02");
}

TEST(WinKeyWindow, AKeyerLostMidMessageIsHeardAndClosingTheWindowLeavesTheKeyerToTheStation)
{
    TestStation st;
    zevtest::WriteFile(st.wkPath(), "3\r\n\"22\"\r\n\"50\"\r\n\"0\"\r\n\"0\"\r\n\"50\"\r\n6\r\n0\r\n");
    zevtest::AccessibilityEvents a11y;
    st.loadSettings(20);
    auto w = std::make_unique<WinKeyWindow>(*st.session, st.link(), st.buffer());
    w->show();
    st.keyer.hold = true;
    w->Command1->click();  // opens the keyer on the way
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.keyer.held() == WinKeyer::kMaxPending; }, kPatience));
    st.keyer.silent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->lblOpenStatus->text().contains("stopped answering"); },
                                kPatience));
    EXPECT_EQ(w->lblVersion->text(), "Version #");
    EXPECT_TRUE(st.buffer().isEmpty());
    QTest::qWait(0);
    ASSERT_FALSE(a11y.spoken(w->lblOpenStatus).isEmpty());
    EXPECT_TRUE(a11y.spoken(w->lblOpenStatus).last().contains("stopped answering"));

    st.keyer.silent = false;
    w->cmdOpenWinkey->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return st.link().isOpen(); }, kPatience));
    ASSERT_TRUE(st.received("0E04"));  // the settings that follow the open
    st.keyer.clearReceived();
    w.reset();
    // The keyer is the station's: the window going changes nothing; the station's end does.
    EXPECT_TRUE(st.link().isOpen());
    QTest::qWait(50);
    EXPECT_TRUE(st.keyer.received().isEmpty()) << st.keyer.received().toHex(' ').toStdString();
    st.keying->stop();
    EXPECT_FALSE(st.link().isOpen());
    ASSERT_TRUE(st.received("0A0003"));
}

TEST(WinKeyWindow, AFailedWriteOfTheSettingsIsReported)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    TestStation st(disk.path());
    st.loadSettings(20);
    WinKeyWindow w(*st.session, st.link(), st.buffer());
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
    w.cmdDone->click();
    ASSERT_EQ(st.prompter.asked.size(), 1);
    EXPECT_EQ(st.prompter.asked[0].title, "Error!");
    EXPECT_TRUE(st.prompter.asked[0].text.contains("No space left on device"));
    EXPECT_EQ(w.result(), QDialog::Accepted);  // the window still goes
}

}  // namespace
