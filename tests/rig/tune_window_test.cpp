// The tune window and the frequency test window drive a Kenwood-type radio: the exact
// commands on the line for Go, steps, bands, modes, scan ticks and raw sends.

#include "radio_emulator.h"
#include "stepped_link.h"
#include "window_harness.h"

#include "rig/frequency_test_window.h"
#include "rig/port_map.h"
#include "rig/rig_control_window.h"
#include "rig/tune_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace zevtest;

namespace {

const QByteArray kPoll = "FA;MD;";

// A polling Kenwood link on a recording line with a stepped clock.
struct LinkFixture {
    QTemporaryDir dir;
    Registry registry{dir.filePath("registry.ini")};
    PortMap ports{registry};
    SteppedTimers *timers = new SteppedTimers;
    TimedLine *line = new TimedLine(*timers);
    RigLink link{std::unique_ptr<SerialLine>(line), std::unique_ptr<LinkTimers>(timers)};
    qsizetype mark = 0;

    explicit LinkFixture(bool start = true)
    {
        ports.setDevice(2, "/dev/ttyUSB7");
        if (!start)
            return;
        RigLinkSettings s;
        s.RigName = "Kenwood";
        s.FreqQuery = "FA;";
        s.ModeQuery = "MD;";
        s.PollRate = "F";
        s.RigPort = 2;
        EXPECT_TRUE(link.Start(s, ports));
        timers->advance(25);
        mark = line->sent.size();
    }
    // The commands written since the last call, polls left out, after the pacing has run.
    QList<QByteArray> commands()
    {
        timers->advance(1500);
        QList<QByteArray> out;
        for (qsizetype i = mark; i < line->sent.size(); ++i)
            if (line->sent[i].bytes != kPoll)
                out << line->sent[i].bytes;
        mark = line->sent.size();
        return out;
    }
};

using Bytes = QList<QByteArray>;

void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    w.activateWindow();
    QCoreApplication::processEvents();
}

}  // namespace

TEST(TuneWindow, GoAndEnterTuneToTheBoxAndANonNumberSendsNothing)
{
    LinkFixture f;
    TuneWindow w(f.link, "Kenwood");
    EXPECT_EQ(w.windowTitle(), " Change Frequency and Mode (Ctrl G (Go))");
    EXPECT_EQ(w.objectName(), "frmRigTune");
    showActive(w);

    w.txtFreq->setText("14.025");
    w.Command1->click();
    EXPECT_EQ(f.commands(), Bytes({"FA00014025000;"}));

    w.txtFreq->setFocus();
    w.txtFreq->setText("7.0255");
    w.txtFreq->setCursorPosition(0);
    QTest::keyClick(w.txtFreq, Qt::Key_Return);
    EXPECT_EQ(f.commands(), Bytes({"FA00007025500;"}));
    EXPECT_EQ(QApplication::focusWidget(), w.txtFreq);
    EXPECT_EQ(w.txtFreq->cursorPosition(), 6);
    EXPECT_TRUE(w.isVisible()) << "Enter does not close the window";

    for (const char *text : {"", "14/025", "14.0.25"}) {
        w.txtFreq->setText(text);
        w.Command1->click();
        EXPECT_EQ(f.commands(), Bytes()) << text;
    }

    w.cmdDone->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST(TuneWindow, StepButtonsStepInWholeHertzTuneAndGiveTheFocusToDone)
{
    LinkFixture f;
    TuneWindow w(f.link, "Kenwood");
    showActive(w);
    struct Case {
        const char *from;
        int button;
        const char *shown;
        QByteArray sent;
    };
    const Case cases[] = {
        {"1.5", 3, "0.5", "FA00000500000;"},          // 1 MHz down
        {"14.025", 4, "14.03", "FA00014030000;"},     // 5 KHz up
        {"14.025", 7, "14.024", "FA00014024000;"},    // 1 KHz down
        {"7.0005", 9, "7.0004", "FA00007000400;"},    // 100 Hz down
        {"3.79999", 0, "3.8", "FA00003800000;"},      // 10 Hz up
        {"435", 0, "435.00001", "FA00435000010;"},    // exact, where single precision is not
        {"435.00001", 0, "435.00002", "FA00435000020;"},
        {"28.5", 2, "29.5", "FA00029500000;"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " button " << c.button);
        w.txtFreq->setText(c.from);
        w.txtFreq->setFocus();
        w.cmdTune[c.button]->click();
        EXPECT_EQ(w.txtFreq->text(), c.shown);
        EXPECT_EQ(f.commands(), Bytes({c.sent}));
        EXPECT_EQ(QApplication::focusWidget(), w.cmdDone);
    }
}

TEST(TuneWindow, TheBoxesTakeOnlyDigitsPointAndSlashAndStepsNeedANumber)
{
    LinkFixture f(false);
    TuneWindow w(f.link, "Kenwood");
    showActive(w);
    for (QPushButton *b : w.cmdTune)
        EXPECT_FALSE(b->isEnabled()) << "an empty box is not a number";
    for (QLineEdit *box : {w.txtFreq, w.txtFrom, w.txtTo}) {
        box->clear();
        box->setFocus();
        QTest::keyClicks(box, "1a4,.-0 2e5");
        EXPECT_EQ(box->text(), "14.025") << box->objectName().toStdString();
    }
    for (QPushButton *b : w.cmdTune)
        EXPECT_TRUE(b->isEnabled());
    w.txtFreq->setFocus();
    QTest::keyClick(w.txtFreq, '/');
    EXPECT_EQ(w.txtFreq->text(), "14.025/");
    for (QPushButton *b : w.cmdTune)
        EXPECT_FALSE(b->isEnabled());
    QTest::keyClick(w.txtFreq, Qt::Key_Backspace);
    EXPECT_EQ(w.txtFreq->text(), "14.025");
    for (QPushButton *b : w.cmdTune)
        EXPECT_TRUE(b->isEnabled());
}

TEST(TuneWindow, BandButtonsTuneToTheBandAndWithoutARigOnlyFillTheBox)
{
    LinkFixture f;
    TuneWindow w(f.link, "Kenwood");
    struct Case {
        int index;
        const char *shown;
        QByteArray sent;
    };
    const Case cases[] = {{0, "1.9", "FA00001900000;"},     {2, "5.368", "FA00005368000;"},
                          {5, "14.175", "FA00014175000;"},  {12, "223.5", "FA00223500000;"},
                          {15, "1270", "FA01270000000;"},
                          // Exact to the hertz where single precision is not.
                          {6, "18.118", "FA00018118000;"},  {7, "21.225", "FA00021225000;"},
                          {8, "24.94", "FA00024940000;"},   {13, "435", "FA00435000000;"}};
    for (const Case &c : cases) {
        w.cmdBand[c.index]->click();
        EXPECT_EQ(w.txtFreq->text(), c.shown) << c.index;
        EXPECT_EQ(f.commands(), Bytes({c.sent})) << c.index;
    }
    EXPECT_EQ(w.cmdBand[13]->text(), "70");

    TuneWindow none(f.link, "None");
    none.cmdBand[3]->click();
    EXPECT_EQ(none.txtFreq->text(), "7.15");
    none.txtFreq->setText("14.025");
    none.Command1->click();
    none.cmdMode[1]->click();
    EXPECT_EQ(f.commands(), Bytes());
    EXPECT_TRUE(f.link.polling());
}

TEST(TuneWindow, ModeButtonsSetTheModeAndNothingGoesWhileTheLinkIsStopped)
{
    LinkFixture f;
    TuneWindow w(f.link, "Kenwood");
    showActive(w);
    const QList<QPair<const char *, QByteArray>> expected = {
        {"&AM", "MD5;"}, {"&CW", "MD3;"}, {"&FM", "MD4;"}, {"&LSB", "MD1;"}, {"&RTTY", "MD6;"}, {"&USB", "MD2;"}};
    for (int i = 0; i < 6; ++i) {
        w.txtFreq->setFocus();
        EXPECT_EQ(w.cmdMode[i]->text(), expected[i].first);
        w.cmdMode[i]->click();
        EXPECT_EQ(f.commands(), Bytes({expected[i].second})) << expected[i].first;
        EXPECT_EQ(QApplication::focusWidget(), w.cmdDone);
    }

    f.link.Stop();
    f.mark = f.line->sent.size();
    w.txtFreq->setText("14.025");
    w.Command1->click();
    w.cmdMode[1]->click();
    w.cmdBand[5]->click();
    EXPECT_EQ(f.commands(), Bytes());
}

TEST(TuneWindow, ScanStepsEveryTickWrapsAtTheTopAndAnyKeyStopsIt)
{
    LinkFixture f;
    TuneWindow w(f.link, "Kenwood");
    showActive(w);
    EXPECT_EQ(w.Timer1->interval(), 299);
    EXPECT_TRUE(w.Timer1->isActive());
    w.Timer1->stop();  // the test ticks it by hand
    EXPECT_EQ(w.txtFrom->text(), "1.8");
    EXPECT_EQ(w.txtTo->text(), "54");
    // A step is chosen from the start, so a scan always moves.
    EXPECT_EQ(w.scanSteps->checkedId(), 0);

    // Unchecked, a tick does nothing.
    w.txtFreq->setText("14.025");
    w.Timer1_Timer();
    EXPECT_EQ(w.txtFreq->text(), "14.025");
    EXPECT_EQ(f.commands(), Bytes());

    // Checking Scan with no number in the box starts from the lower end.
    w.txtFreq->clear();
    w.chkScan->click();
    ASSERT_TRUE(w.chkScan->isChecked());
    EXPECT_EQ(w.txtFreq->text(), "1.8");
    EXPECT_EQ(QApplication::focusWidget(), w.Command1);
    w.optScanStep[4]->click();
    EXPECT_EQ(w.optScanStep[4]->text(), "2.5 KHz");
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        w.Timer1_Timer();
        shown << w.txtFreq->text();
        // A tick while the radio is still being tuned waits: nothing piles up.
        w.Timer1_Timer();
        EXPECT_EQ(w.txtFreq->text(), shown.last());
        f.timers->advance(1500);
    }
    EXPECT_EQ(shown, QStringList({"1.8025", "1.805", "1.8075"}));
    EXPECT_EQ(f.commands(), Bytes({"FA00001802500;", "FA00001805000;", "FA00001807500;"}));

    w.txtFreq->setText("53.9975");
    w.Timer1_Timer();
    EXPECT_EQ(w.txtFreq->text(), "54");
    f.timers->advance(1500);
    w.Timer1_Timer();
    EXPECT_EQ(w.txtFreq->text(), "1.8");
    EXPECT_EQ(f.commands(), Bytes({"FA00054000000;", "FA00001800000;"}));

    // A box that is not a number holds the scan.
    w.txtTo->setText("5/4");
    w.Timer1_Timer();
    EXPECT_EQ(w.txtFreq->text(), "1.8");
    EXPECT_EQ(f.commands(), Bytes());
    w.txtTo->setText("54");

    // Checking it again with a number in the box keeps the number; a 10 Hz scan at 70 cm moves.
    w.chkScan->click();
    w.chkScan->click();
    w.txtFreq->setText("435");
    w.optScanStep[3]->click();
    w.txtTo->setText("440");
    w.Timer1_Timer();
    EXPECT_EQ(w.txtFreq->text(), "435.00001");
    f.commands();

    // Any key in the window stops the scan.
    for (QWidget *target : std::initializer_list<QWidget *>{w.Command1, w.txtFreq, w.cmdBand[0]}) {
        w.chkScan->setChecked(true);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Shift);
        EXPECT_FALSE(w.chkScan->isChecked()) << target->objectName().toStdString();
    }
    w.Timer1_Timer();
    EXPECT_EQ(f.commands(), Bytes());
}

TEST(TuneWindow, EveryControlHasAnAccessibleName)
{
    LinkFixture f(false);
    TuneWindow tune(f.link, "Kenwood");
    FrequencyTestWindow test(f.link);
    for (QWidget *window : std::initializer_list<QWidget *>{&tune, &test}) {
        const auto buttons = window->findChildren<QAbstractButton *>();
        const auto boxes = window->findChildren<QLineEdit *>();
        EXPECT_GT(buttons.size() + boxes.size(), 4);
        for (QWidget *c : buttons)
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
        for (QWidget *c : boxes)
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
    }
    EXPECT_EQ(tune.cmdTune[0]->accessibleName(), "10 Hz up");
    EXPECT_EQ(tune.cmdTune[1]->accessibleName(), "10 Hz down");
}

TEST(FrequencyTestWindow, SendsTheCommandAsTextOrAsHexBytesAndTheFrequencyThroughTheRadiosCommand)
{
    LinkFixture f;
    FrequencyTestWindow w(f.link);
    EXPECT_EQ(w.windowTitle(), "Test Change Frequency Function");
    EXPECT_EQ(w.objectName(), "frmFrequencyTest");
    EXPECT_EQ(w.Text2->text(), "28.475");

    w.Command1->click();
    EXPECT_EQ(f.commands(), Bytes({"FA00028475000;"}));

    struct Case {
        const char *text;
        bool hex;
        QByteArray sent;  // empty: nothing goes and the window says why
    };
    const Case cases[] = {
        {"  FA00007025000; ", false, "FA00007025000;"},
        {"FE FE 64 E0 03 FD", true, QByteArray::fromHex("FEFE64E003FD")},
        {" 00 00 00 00 80 ", true, QByteArray::fromHex("0000000080")},
        {"FE FE 64 E0 03 FD", false, "FE FE 64 E0 03 FD"},
        {"FE GG", true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        w.Text1->setText(c.text);
        w.Check1->setChecked(c.hex);
        w.Command1->click();
        if (c.sent.isEmpty()) {
            EXPECT_EQ(f.commands(), Bytes());
            EXPECT_FALSE(w.lblStatus->text().isEmpty());
        } else {
            EXPECT_EQ(f.commands(), Bytes({c.sent}));
            EXPECT_TRUE(w.lblStatus->text().isEmpty());
        }
    }

    w.Command2->click();
    EXPECT_EQ(f.commands(), Bytes({"FA00028475000;"}));
    w.Text2->setText("twenty");
    w.Command2->click();
    EXPECT_EQ(f.commands(), Bytes());
    EXPECT_FALSE(w.lblStatus->text().isEmpty());

    // A stopped link sends nothing of either kind.
    f.link.Stop();
    f.mark = f.line->sent.size();
    w.Text2->setText("7.01");
    w.Check1->setChecked(false);
    w.Command1->click();
    w.Command2->click();
    EXPECT_EQ(f.commands(), Bytes());
}

TEST(TuneWindow, CtrlGOpensItModallyAndTheRigWindowOpensTheFrequencyTest)
{
    Emulator radio;
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    ASSERT_FALSE(radio.path().isEmpty());
    Harness h;
    ASSERT_TRUE(PortMap(*h.registry).setDevice(4, radio.path()));
    h.prompter.answers = {true};
    QStringList opened;
    // Reaching the harness's modal runner means it went the main window's modal way.
    h.otherModal = [&](QDialog &d) { opened << d.objectName(); };
    h.start();
    MainWindow &w = h.activate();
    QTest::keyClick(w.callBox, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(opened, QStringList({"frmRigTune"}));
    EXPECT_EQ(w.callBox->text(), "");

    w.findChild<QAction *>("mnuRigInterface")->trigger();
    RigControlWindow *rw = w.rigWindow();
    ASSERT_NE(rw, nullptr);
    EXPECT_TRUE(rw->Command3->isEnabled());
    rw->List1->setCurrentItem(rw->List1->findItems("Kenwood", Qt::MatchExactly).first());
    for (QAbstractButton *b : rw->port->buttons())
        if (b->text() == "4")
            b->click();
    rw->Command1->click();
    ASSERT_TRUE(w.rigLink().polling());
    rw->Command3->click();
    EXPECT_EQ(opened, QStringList({"frmRigTune", "frmFrequencyTest"}));
    rw->Command2->click();
    w.close();
}

TEST(TuneWindow, GoSaysWhereTheRadioWent)
{
    struct Case {
        const char *typed;
        QByteArray reply;   // the radio's answer to the next poll after the command
        const char *said;
    };
    const Case cases[] = {
        {"7.0255", "FA00007025500;MD3;", "Radio on 7.02550 MHz, 40 m"},
        {"10.12", "FA00010120000;MD3;", "Radio on 10.12000 MHz"},  // no contest band there
        {"144.2", "FA00144200000;MD2;", "Radio on 144.20000 MHz, 2 m"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        LinkFixture f;
        TuneWindow w(f.link, "Kenwood");
        showActive(w);
        AccessibilityEvents a11y;
        // A reading before Go says nothing.
        f.line->incoming += "FA00014025000;MD3;";
        f.timers->advance(100);
        QCoreApplication::processEvents();
        EXPECT_TRUE(a11y.spoken(w.lblRadio).isEmpty());

        w.txtFreq->setText(c.typed);
        w.Command1->click();
        f.commands();  // the command has gone out and polling is back
        f.line->incoming += c.reply;
        f.timers->advance(100);
        f.line->incoming += c.reply;
        f.timers->advance(100);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.lblRadio->text(), c.said);
        // Said once, not at every poll that follows.
        EXPECT_EQ(a11y.spoken(w.lblRadio), QStringList{c.said});
    }
}

TEST(TuneWindow, BandButtonsSayTheirWavelengthInItsUnit)
{
    LinkFixture f(false);
    TuneWindow w(f.link, "Kenwood");
    const std::pair<int, const char *> cases[] = {{0, "160 metres"}, {5, "20 metres"}, {12, "1.25 metres"},
                                                  {13, "70 cm"},     {14, "33 cm"},    {15, "23 cm"}};
    for (const auto &[index, name] : cases)
        EXPECT_EQ(w.cmdBand[index]->accessibleName(), QString::fromLatin1(name)) << index;
}
