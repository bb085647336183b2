// The rig link's state on the logging window, and what the operator hears of the radio:
// a port that vanishes, a radio that never answers, the answer to Test, a band the
// window follows.

#include "radio_emulator.h"
#include "window_harness.h"

#include "rig/port_map.h"
#include "rig/rig_control_window.h"
#include "rig/rig_link.h"
#include "rig/rig_settings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <cstring>

using namespace zevtest;

namespace {

// Announcements go out once the event that caused them has been handled.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

Preferences WithRig(const char *rigName)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "PH";
    p.CurrentBand = "40";
    p.RigName = rigName;
    return p;
}

// The program started with a Kenwood link to `radio` on port 3, polling every 100 ms.
MainWindow &StartWithRadio(Harness &h, const Emulator &radio, bool logOn = true)
{
    EXPECT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
    zevtest::WriteRigLink(h, zevtest::KenwoodLink());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    if (logOn)
        w.cmdLogOn_Click();
    return w;
}

}  // namespace

TEST(RigState, AVanishedRadioIsSaidOnTheMessageLineAndEveryKeyReachesTheCallBox)
{
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    Harness h(WithRig("Kenwood"), QByteArray());
    MainWindow &w = StartWithRadio(h, radio);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "20"; }, 10000));
    // The rig window is open beside the logging window, as while setting up.
    w.mnuRigInterface_Click();
    RigControlWindow *rw = w.rigWindow();
    h.activate();
    settle();
    const qsizetype askedBefore = h.prompter.asked.size();
    AccessibilityEvents a11y;

    typeKeys("VE3");
    radio.vanish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.rigLink().polling(); }, 10000));
    settle();
    // Nothing modal came up: the loss is on the message line, with the device and why.
    EXPECT_EQ(h.prompter.asked.size(), askedBefore);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QString said = w.messageLine->text();
    EXPECT_TRUE(said.startsWith("Rig Link Stopped: ")) << said.toStdString();
    EXPECT_TRUE(said.contains(radio.path())) << said.toStdString();
    EXPECT_TRUE(said.contains("hung up")) << said.toStdString();
    EXPECT_TRUE(a11y.spoken(w.messageLine).contains(said));
    // Beside band and mode, and in the rig window.
    EXPECT_EQ(w.rigStateLabel->text(), kLinkStopped);
    EXPECT_FALSE(w.rigStateLabel->isHidden());
    EXPECT_EQ(a11y.spoken(w.rigStateLabel), QStringList{"Rig: Stopped"});
    EXPECT_EQ(rw->lblFreq->text(), kLinkStopped);
    EXPECT_TRUE(rw->lblLink->text().contains(radio.path()));
    EXPECT_FALSE(rw->Command2->isEnabled());

    typeKeys("ABCDEFG");
    EXPECT_EQ(QApplication::focusWidget(), w.callBox);
    EXPECT_EQ(w.callBox->text(), "VE3ABCDEFG");
}

TEST(RigState, ASilentRadioShowsNoResponseBesideBandAndModeUntilItAnswers)
{
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    radio.silent = true;
    Harness h(WithRig("Kenwood"), QByteArray());
    AccessibilityEvents a11y;
    MainWindow &w = StartWithRadio(h, radio);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.rigStateLabel->text() == kNoResponse; }, 10000));
    EXPECT_FALSE(w.rigStateLabel->isHidden());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w.rigStateLabel);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Notification);
    EXPECT_EQ(iface->text(QAccessible::Name), "Rig: No Response");
    // Polls go on unanswered: heard once, not at every poll.
    const int queries = radio.queries;
    ASSERT_TRUE(QTest::qWaitFor([&] { return radio.queries >= queries + 4; }, 10000));
    settle();
    EXPECT_EQ(a11y.spoken(w.rigStateLabel), QStringList{"Rig: No Response"});

    radio.silent = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.rigStateLabel->isHidden(); }, 10000));
    EXPECT_EQ(h.session->prefs.CurrentBand, "20");
}

TEST(RigState, NoRigNoStateAndAnsweringRadioNoState)
{
    Harness none(WithRig("None"), QByteArray());
    none.prompter.answers = {true};
    none.start();
    none.activate();
    EXPECT_TRUE(none.window->rigStateLabel->isHidden());

    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    Harness h(WithRig("Kenwood"), QByteArray());
    MainWindow &w = StartWithRadio(h, radio);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentMode == "CW"; }, 10000));
    const int queries = radio.queries;
    ASSERT_TRUE(QTest::qWaitFor([&] { return radio.queries >= queries + 6; }, 10000));
    EXPECT_TRUE(w.rigStateLabel->isHidden());
    EXPECT_TRUE(w.rigStateLabel->text().isEmpty());
}

TEST(RigState, TestSaysWhatTheRadioAnsweredAndShowsItsBytes)
{
    struct Case {
        const char *rig;
        QList<QPair<QByteArray, QByteArray>> answers;
        const char *frequency;  // as the rig window shows it
        const char *said;
        const char *bytes;      // the start of "Unprocessed data"
    };
    const Case cases[] = {
        {"Kenwood", {{"FA;", "FA00007025500;"}, {"MD;", "MD3;"}}, "7.02550", "Radio answered: 7.02550 CW",
         "FA00007025500;MD3;"},
        // Icom replies are shown as hexadecimal pairs ("Convert from Hex" goes with the rig).
        {"Icom", {{QByteArray::fromHex("FEFE64E003FD"), QByteArray::fromHex("FEFEE064030055020700FD")}},
         "7.02550", "Radio answered: 7.02550", "FE FE E0 64 03 00 55 02 07 00 FD"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rig);
        Emulator radio;
        ASSERT_TRUE(radio.ok());
        radio.answers = c.answers;
        Harness h(WithRig("None"), QByteArray());
        ASSERT_TRUE(PortMap(*h.registry).setDevice(4, radio.path()));
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.mnuRigInterface_Click();
        RigControlWindow *rw = w.rigWindow();
        rw->List1->setCurrentItem(rw->List1->findItems(c.rig, Qt::MatchExactly).first());
        for (QAbstractButton *b : rw->port->buttons())
            if (b->text() == "4")
                b->click();
        for (QAbstractButton *b : rw->pollRate->buttons())
            if (b->text() == "100 ms")
                b->click();
        AccessibilityEvents a11y;
        rw->Command1->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !rw->lblLink->text().isEmpty(); }, 10000));
        EXPECT_EQ(rw->lblFreq->text(), c.frequency);
        EXPECT_EQ(rw->lblLink->text(), c.said);
        EXPECT_TRUE(rw->lblUnProcess->text().startsWith(c.bytes)) << rw->lblUnProcess->text().toStdString();
        // Once per Test, not at every poll.
        const int queries = radio.queries;
        ASSERT_TRUE(QTest::qWaitFor([&] { return radio.queries >= queries + 4; }, 10000));
        settle();
        EXPECT_EQ(a11y.spoken(rw->lblLink), QStringList{c.said});
        rw->reject();
        w.close();
    }
}

TEST(RigState, AMissingDeviceIsNamedWithTheSystemsReason)
{
    Harness h(WithRig("Kenwood"), QByteArray());
    const QString device = h.dir.filePath("ttyUSB7");
    ASSERT_TRUE(PortMap(*h.registry).setDevice(3, device));
    RigLinkSettings s;
    s.RigName = "Kenwood";
    s.RigPort = 3;
    zevtest::WriteFile(h.folders.work(kRigSettingsFile), FormatRigSettings(s));
    h.prompter.answers = {true};
    h.start();
    Asked box;
    for (const Asked &a : h.prompter.asked)
        if (a.kind == "message")
            box = a;
    EXPECT_EQ(box.title, "Invalid Comm Settings.");
    EXPECT_TRUE(box.text.startsWith(kInvalidCommText)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(device)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QString::fromLocal8Bit(std::strerror(ENOENT)))) << box.text.toStdString();
    EXPECT_EQ(h.window->rigStateLabel->text(), kLinkStopped);
}

TEST(RigState, ABandPlanEdgeOutOfRangeIsNotedAndTheRowsBeforeItStillChooseModes)
{
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00007025000;"}, {"MD;", "MD3;"}};
    Harness h(WithRig("Kenwood"), QByteArray());
    zevtest::WriteFile(h.folders.work(kBandPlanFile),
                       "\"2009/01/01\"\r\n\"20\",\"E\",\"CW\",14,14.15\r\n\"20\",\"E\",\"PH\",14.15,2.2e37\r\n");
    MainWindow &w = StartWithRadio(h, radio, false);
    EXPECT_TRUE(w.messageLine->text().startsWith("BandPlan.txt, line 3: ")) << w.messageLine->text().toStdString();
    ASSERT_TRUE(w.rigLink().polling());
    // 14.025 lies in the row read before the bad one: CW goes out before the frequency.
    radio.heard.clear();
    w.rigLink().ChangeFrequency(qint64(14025000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return radio.heard.contains("FA00014025000;"); }, 10000));
    EXPECT_LT(radio.heard.indexOf("MD3;"), radio.heard.indexOf("FA00014025000;"));
}
