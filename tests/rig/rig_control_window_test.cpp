// The rig interface window: radio type, serial choices, the test, "RigCntrl.txt".

#include "rig/rig_control_window.h"
#include "window_harness.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

using namespace zevtest;

namespace {

void click(QButtonGroup *group, const QString &caption)
{
    for (QAbstractButton *b : group->buttons())
        if (b->text() == caption) {
            b->click();
            return;
        }
    FAIL() << "no option " << caption.toStdString();
}

void pick(RigControlWindow &w, const QString &rig)
{
    const QList<QListWidgetItem *> items = w.List1->findItems(rig, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << rig.toStdString();
    w.List1->setCurrentItem(items.first());
}

QString checkedCaption(const QButtonGroup *group)
{
    return group->checkedButton() ? group->checkedButton()->text() : QString();
}

}  // namespace

TEST(RigControlWindow, KenwoodOnPortThreeIsTestedAndStored)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work("RigCntrl.txt"));
    QSignalSpy tests(&w, &RigControlWindow::testRequested);
    QSignalSpy prefs(&w, &RigControlWindow::preferencesChanged);
    EXPECT_EQ(w.windowTitle(), " Rig Interface Setup");
    ASSERT_EQ(w.List1->count(), 20);  // "Hamlib" after "Other"
    EXPECT_EQ(w.List1->item(0)->text(), "None");

    pick(w, "Kenwood");
    click(w.port, "3");
    click(w.power, "None");
    click(w.pollRate, "500 ms");
    w.OptFreq->click();
    EXPECT_EQ(w.txtFreq->text(), "FA;");
    EXPECT_EQ(w.txtMode->text(), "MD;");
    EXPECT_EQ(checkedCaption(w.baud), "4800");
    w.cmdDone_Click();

    EXPECT_EQ(zevtest::ReadFile(h.folders.work("RigCntrl.txt")),
              "\"4800 \"\r\n\"N\"\r\n\"8\"\r\n\"2\"\r\n\"MD;\"\r\n\"FA;\"\r\n\"4800,N,8,2\"\r\n3\r\n\"N\"\r\n\"M\"\r\n"
              "\"Kenwood\"\r\n0\r\n1\r\n2\r\n");
    ASSERT_EQ(tests.size(), 1);
    const auto started = tests.first().first().value<RigLinkSettings>();
    EXPECT_EQ(started.RigSerialSettings, "4800,N,8,2");
    EXPECT_EQ(started.RigPort, 3);
    EXPECT_EQ(h.session->prefs.RigName, "Kenwood");
    EXPECT_EQ(prefs.size(), 1);
    EXPECT_FALSE(w.lblPolling->isHidden());
    EXPECT_EQ(w.lblFreq->text(), "No Response");
}

TEST(RigControlWindow, EachRadioBringsItsDefaultsButNeverThePortOrPower)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work("RigCntrl.txt"));
    click(w.port, "5");
    click(w.power, "DTR");

    pick(w, "Icom");
    EXPECT_EQ(checkedCaption(w.baud), "1200");
    EXPECT_EQ(checkedCaption(w.stopBits), "1");
    EXPECT_EQ(w.txtFreq->text(), "FE FE 64 E0 03 FD");
    EXPECT_TRUE(w.chkConvToHex->isChecked());
    EXPECT_FALSE(w.chkConvToHex->isEnabled());
    EXPECT_FALSE(w.Label10->isHidden());
    EXPECT_EQ(checkedCaption(w.port), "5");
    EXPECT_EQ(checkedCaption(w.power), "DTR");

    // "Other" keeps the serial choices and lets the operator set the hex conversion.
    pick(w, "Other");
    EXPECT_EQ(checkedCaption(w.baud), "1200");
    EXPECT_EQ(w.txtFreq->text(), "");
    EXPECT_TRUE(w.chkConvToHex->isEnabled());
    EXPECT_FALSE(w.chkConvToHex->isChecked());
    EXPECT_TRUE(w.Label10->isHidden());

    pick(w, "Ten Tec Orion");
    EXPECT_EQ(checkedCaption(w.baud), "56000");
    EXPECT_EQ(w.txtFreq->text(), "?AF");
    EXPECT_FALSE(w.chkConvToHex->isEnabled());
}

TEST(RigControlWindow, LoadingKeepsTheStoredQueriesInsteadOfTheDefaults)
{
    Harness h;
    zevtest::WriteFile(h.folders.work("RigCntrl.txt"),
                       "\"9600 \"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n\"MD;\"\r\n\"FB;\"\r\n\"9600,N,8,1\"\r\n7\r\n\"R\"\r\n"
                       "\"F\"\r\n\"Kenwood\"\r\n0\r\n0\r\n3\r\n");
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work("RigCntrl.txt"));
    EXPECT_EQ(w.List1->currentItem()->text(), "Kenwood");
    EXPECT_EQ(w.txtFreq->text(), "FB;");
    EXPECT_EQ(checkedCaption(w.baud), "9600");
    EXPECT_EQ(checkedCaption(w.port), "7");
    EXPECT_EQ(checkedCaption(w.power), "RTS");
    EXPECT_EQ(checkedCaption(w.pollRate), "100 ms");
    EXPECT_FALSE(w.chkFrequency->isChecked());
    EXPECT_TRUE(w.OptDont->isChecked());
}

TEST(RigControlWindow, AnyChangeStopsTheTestAndChangeFrequencyNeedsPolling)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work("RigCntrl.txt"));
    QSignalSpy stops(&w, &RigControlWindow::endTestRequested);
    QSignalSpy tests(&w, &RigControlWindow::testRequested);
    QSignalSpy change(&w, &RigControlWindow::changeFrequencyRequested);

    // "None" starts nothing.
    pick(w, "None");
    w.Command1_Click();
    EXPECT_EQ(tests.size(), 0);
    h.prompter.asked.clear();
    w.Command3->click();
    ASSERT_FALSE(h.prompter.asked.isEmpty());
    EXPECT_EQ(h.prompter.asked.last().title, "You must be polling your rig to test this function.");
    EXPECT_EQ(change.size(), 0);

    pick(w, "Elecraft");
    w.Command1_Click();
    ASSERT_EQ(tests.size(), 1);
    w.Command3->click();
    EXPECT_EQ(change.size(), 1);
    click(w.parity, "E");  // a serial option ends the test
    EXPECT_EQ(stops.size(), 1);
    EXPECT_TRUE(w.lblPolling->isHidden());
    EXPECT_FALSE(w.Command2->isEnabled());

    w.Command1_Click();
    w.ShowUnprocessed("FA00014025000;");
    w.Command4_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "FA00014025000;");
    w.txtMode->setFocus();
    w.show();
    w.txtMode->setFocus();
    EXPECT_EQ(stops.size(), 2);  // editing a query stops the test
}

TEST(RigControlWindow, ANumberOutOfRangeInTheSettingsFileIsNotedAndTheDefaultsTakeOver)
{
    RigLinkSettings stored;
    stored.RigName = "Kenwood";
    stored.RigPort = 3;
    stored.ModeBy = 3;
    QList<QByteArray> lines = FormatRigSettings(stored).split('\n');
    lines[7] = "2.2e37\r";  // the port
    Harness h;
    zevtest::WriteFile(h.folders.work(kRigSettingsFile), lines.join('\n'));
    h.prompter.answers = {true};
    h.start();
    RigControlWindow w(*h.session, h.folders.work(kRigSettingsFile));
    EXPECT_EQ(w.settings().RigPort, RigLinkSettings().RigPort);
    EXPECT_EQ(w.settings().ModeBy, RigLinkSettings().ModeBy);
    EXPECT_EQ(checkedCaption(w.port), QString::number(RigLinkSettings().RigPort));
    const QString note = w.lblLink->text();
    EXPECT_TRUE(note.startsWith("RigCntrl.txt, line 8: ")) << note.toStdString();
    EXPECT_TRUE(note.contains("2.2e+37") || note.contains("out of range")) << note.toStdString();
}
