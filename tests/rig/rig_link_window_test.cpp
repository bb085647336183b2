// At start-up the main window starts the rig link of "RigCntrl.txt"; the radio on the
// other end of the line then steers band and mode, and the next contact carries its frequency.

#include "radio_emulator.h"
#include "window_harness.h"

#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/rig_control_window.h"
#include "rig/rig_settings.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace zevtest;

namespace {

// A Kenwood radio on 20 m CW at the master end of a pseudo-terminal.
class KenwoodRadio : public Emulator {
public:
    explicit KenwoodRadio(const QByteArray &frequency = "FA00014025000;", const QByteArray &mode = "MD3;")
    {
        answers = {{"FA;", frequency}, {"MD;", mode}};
    }
};

Preferences WithRig(const char *rigName)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "PH";
    p.CurrentBand = "40";
    p.RigName = rigName;
    return p;
}

void WriteRigSettings(Harness &h, int useFrequency, int modeBy)
{
    RigLinkSettings s = zevtest::KenwoodLink();
    s.UseFrequency = useFrequency;
    s.ModeBy = modeBy;
    zevtest::WriteRigLink(h, s);
}

// The program started with `radio` on port 3, polling it.
MainWindow &StartWithRadio(Harness &h, const Emulator &radio, int useFrequency, int modeBy)
{
    EXPECT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
    WriteRigSettings(h, useFrequency, modeBy);
    h.prompter.answers = {true};
    h.start();
    return h.activate();
}

}  // namespace

TEST(RigLinkWindow, TheRadioSteersBandAndModeAndTheContactCarriesItsFrequency)
{
    KenwoodRadio radio;
    ASSERT_FALSE(radio.path().isEmpty());
    Harness h(WithRig("Kenwood"), QByteArray());
    MainWindow &w = StartWithRadio(h, radio, 1, 1);
    ASSERT_TRUE(w.rigLink().polling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "20"; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentMode == "CW"; }, 10000));
    EXPECT_EQ(w.bandLabel->text(), "20");
    typeKeys("VE3ABC599ON\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    const ContactRecord r = h.session->log.record(1);
    EXPECT_EQ(r.Band, "20");
    EXPECT_EQ(r.Mode, "CW");
    EXPECT_EQ(r.Frequency, "14.025");
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(h.folders.work("log.txt"), onDisk).ok);
    ASSERT_EQ(onDisk.size(), 1u);
    EXPECT_EQ(onDisk[0].Frequency, "14.025");

    // Closing the main window lets go of the radio.
    w.close();
    EXPECT_FALSE(w.rigLink().polling());
    EXPECT_FALSE(w.rigLink().line().isOpen());
}

TEST(RigLinkWindow, TheChoicesOfTheRigWindowDecideWhatTheRadioSteers)
{
    struct Case {
        int useFrequency, modeBy;
        const char *band, *mode;
    };
    // The radio is on 14.200 MHz, CW: "Frequency" mode-by gives phone there.
    const Case cases[] = {{0, 1, "40", "CW"}, {1, 3, "20", "PH"}, {1, 2, "20", "PH"}};
    for (const Case &c : cases) {
        KenwoodRadio radio("FA00014200000;", "MD3;");
        Harness h(WithRig("Kenwood"), QByteArray());
        ASSERT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
        WriteRigSettings(h, c.useFrequency, c.modeBy);
        h.prompter.answers = {true};
        h.start();
        h.activate();
        ASSERT_TRUE(h.window->rigLink().polling());
        QSignalSpy read(&h.window->rigLink(), &RigLink::frequencyRead);
        ASSERT_TRUE(QTest::qWaitFor([&] { return read.size() >= 3; }, 10000));
        QCoreApplication::processEvents();
        EXPECT_EQ(h.session->prefs.CurrentBand, c.band) << c.useFrequency << c.modeBy;
        EXPECT_EQ(h.session->prefs.CurrentMode, c.mode) << c.useFrequency << c.modeBy;
        EXPECT_EQ(h.session->entry.frequencyText().isEmpty(), c.useFrequency == 0);
    }
}

TEST(RigLinkWindow, AStartFailureIsShownAndTheProgramGoesOn)
{
    Harness h(WithRig("kenwood"), QByteArray());
    ASSERT_TRUE(PortMap(*h.registry).setDevice(3, h.dir.filePath("no-such-port")));
    WriteRigSettings(h, 1, 1);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_TRUE(h.prompter.titles().contains("Invalid Comm Settings."));
    EXPECT_FALSE(w.rigLink().polling());
    // The setup window comes up, modal, so the operator chooses another port first.
    ASSERT_NE(w.rigWindow(), nullptr);
    EXPECT_TRUE(w.rigWindow()->isVisible());
    EXPECT_TRUE(w.rigWindow()->isModal());
    EXPECT_EQ(w.rigWindow()->List1->currentItem()->text(), "Kenwood");
    EXPECT_FALSE(h.session->ended);
    EXPECT_EQ(h.endedWith, -1);
    w.rigWindow()->reject();
    // Opened from the menu afterwards it is an ordinary window again.
    w.mnuRigInterface_Click();
    EXPECT_FALSE(w.rigWindow()->isModal());
    w.rigWindow()->reject();
    h.activate();
    typeKeys("VE3ABC59ON\n");
    EXPECT_EQ(h.session->log.RecordCount(), 1);
}

TEST(RigLinkWindow, NoRigNoLink)
{
    for (const char *name : {"None", "NONE", "none"}) {
        Harness h(WithRig(name), QByteArray());
        ASSERT_TRUE(PortMap(*h.registry).setDevice(3, h.dir.filePath("no-such-port")));
        WriteRigSettings(h, 1, 1);
        h.prompter.answers = {true};
        h.start();
        EXPECT_FALSE(h.window->rigLink().polling()) << name;
        EXPECT_FALSE(h.prompter.titles().contains("Invalid Comm Settings.")) << name;
    }
}

TEST(RigLinkWindow, TheRigInterfaceMenuTestsAndStopsTheLink)
{
    KenwoodRadio radio;
    ASSERT_FALSE(radio.path().isEmpty());
    Harness h(WithRig("None"), QByteArray());
    ASSERT_TRUE(PortMap(*h.registry).setDevice(4, radio.path()));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    auto *entry = w.findChild<QAction *>("mnuRigInterface");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->isEnabled());
    entry->trigger();
    RigControlWindow *rw = w.rigWindow();
    ASSERT_NE(rw, nullptr);
    EXPECT_TRUE(rw->isVisible());
    EXPECT_FALSE(rw->isModal());

    rw->List1->setCurrentItem(rw->List1->findItems("Kenwood", Qt::MatchExactly).first());
    for (QAbstractButton *b : rw->port->buttons())
        if (b->text() == "4")
            b->click();
    for (QAbstractButton *b : rw->pollRate->buttons())
        if (b->text() == "100 ms")
            b->click();
    rw->Command1->click();
    ASSERT_TRUE(w.rigLink().polling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rw->lblFreq->text() == "14.02500"; }, 10000)) << rw->lblFreq->text().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rw->lblMode->text() == "CW"; }, 10000)) << rw->lblMode->text().toStdString();
    EXPECT_TRUE(rw->lblUnProcess->text().contains("FA00014025000;"));
    EXPECT_EQ(h.session->prefs.CurrentBand, "20");

    rw->Command2->click();
    EXPECT_FALSE(w.rigLink().polling());
    EXPECT_FALSE(w.rigLink().line().isOpen());

    // Done keeps the choice in both files and polls again.
    rw->cmdDone->click();
    EXPECT_TRUE(w.rigLink().polling());
    EXPECT_FALSE(rw->isVisible());
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).RigName, "Kenwood");
    RigLinkSettings stored;
    ASSERT_TRUE(ParseRigSettings(zevtest::ReadFile(h.folders.work(kRigSettingsFile)), stored).ok);
    EXPECT_EQ(stored.RigName, "Kenwood");
    EXPECT_EQ(stored.RigPort, 4);
    w.close();
}

TEST(RigLinkWindow, APortThatWillNotOpenLeavesTheWindowIdle)
{
    Harness h(WithRig("None"), QByteArray());
    ASSERT_TRUE(PortMap(*h.registry).setDevice(2, h.folders.work("no-such-device")));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuRigInterface_Click();
    RigControlWindow *rw = w.rigWindow();
    rw->List1->setCurrentItem(rw->List1->findItems("Elecraft", Qt::MatchExactly).first());
    for (QAbstractButton *b : rw->port->buttons())
        if (b->text() == "2")
            b->click();
    h.prompter.asked.clear();
    rw->Command1->click();
    EXPECT_FALSE(w.rigLink().polling());
    EXPECT_TRUE(rw->lblPolling->isHidden());
    EXPECT_FALSE(rw->Command2->isEnabled());
    EXPECT_TRUE(h.prompter.titles().contains("Invalid Comm Settings."));
}

TEST(RigLinkWindow, TheRigWindowStopsALinkStartedAtStartUp)
{
    for (const char *how : {"None and Done", "title bar"}) {
        SCOPED_TRACE(how);
        KenwoodRadio radio;
        ASSERT_FALSE(radio.path().isEmpty());
        Harness h(WithRig("Kenwood"), QByteArray());
        MainWindow &w = StartWithRadio(h, radio, 1, 1);
        ASSERT_TRUE(w.rigLink().polling());
        w.mnuRigInterface_Click();
        RigControlWindow *rw = w.rigWindow();
        // The window knows the link runs.
        EXPECT_TRUE(rw->Command2->isEnabled());
        EXPECT_FALSE(rw->lblPolling->isHidden());
        if (QString(how) == "title bar") {
            rw->reject();
        } else {
            rw->List1->setCurrentItem(rw->List1->findItems("None", Qt::MatchExactly).first());
            rw->cmdDone->click();
            EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).RigName, "None");
        }
        EXPECT_FALSE(w.rigLink().polling());
        EXPECT_FALSE(w.rigLink().line().isOpen());
        EXPECT_FALSE(rw->Command2->isEnabled());
    }
}

TEST(RigLinkWindow, ARadioWithoutItsSettingsFileBringsUpTheRigWindow)
{
    Harness h(WithRig("Kenwood"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_FALSE(w.rigLink().polling());
    ASSERT_NE(w.rigWindow(), nullptr);
    EXPECT_TRUE(w.rigWindow()->isVisible());
    EXPECT_TRUE(w.rigWindow()->isModal());
}

TEST(RigLinkWindow, ThePegasusFolderIsChosenInTheRigWindowAndKept)
{
    Harness h(WithRig("None"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuRigInterface_Click();
    RigControlWindow *rw = w.rigWindow();
    // Only the Pegasus radio talks through files, so only it shows the folder.
    EXPECT_TRUE(rw->txtPegasus->isHidden());
    rw->List1->setCurrentItem(rw->List1->findItems("Ten Tec Pegasus", Qt::MatchExactly).first());
    EXPECT_FALSE(rw->txtPegasus->isHidden());
    EXPECT_EQ(rw->txtPegasus->text(), h.folders.work("Pegasus"));

    const QString folder = h.dir.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(folder));
    zevtest::WriteFile(folder + "/PEGASUS.OUT", "7.0251\r\nCW\r\n");
    rw->chooseFolder = [&](const QString &start) {
        EXPECT_EQ(start, h.folders.work("Pegasus"));
        return folder;
    };
    rw->cmdPegasus->click();
    EXPECT_EQ(rw->txtPegasus->text(), folder);
    EXPECT_EQ(w.rigLink().pegasusFolder(), folder);

    rw->Command1->click();
    ASSERT_TRUE(w.rigLink().polling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "40"; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentMode == "CW"; }, 10000));
    EXPECT_EQ(RigControlWindow::PegasusFolder(*h.session), folder);

    // A relative path is refused with a message and the kept folder stays.
    h.prompter.asked.clear();
    rw->txtPegasus->setText("Pegasus2");
    rw->txtPegasus->setModified(true);
    emit rw->txtPegasus->editingFinished();
    EXPECT_TRUE(h.prompter.titles().contains("Folder Not Kept"));
    EXPECT_EQ(rw->txtPegasus->text(), folder);
    EXPECT_EQ(w.rigLink().pegasusFolder(), folder);
    rw->Command2->click();
}
