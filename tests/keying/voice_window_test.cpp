#include "keying/phone_window.h"

#include "frame/session.h"
#include "full_disk.h"
#include "keying/voice_keyer.h"
#include "test_support.h"
#include "voice_test_fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

struct PhoneHarness {
    explicit PhoneHarness(const QString &workDir = {})
        : dir(), registry(dir.filePath("registry.ini")),
          session(Folders{workDir.isEmpty() ? dir.path() : workDir, {}, {}, {}, {}}, prompter, clock, registry)
    {
    }
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    Registry registry;
    Session session;
    QStringList events;
    FakePlayer player{events};
    RecordingLineFactory lines{events, {}};
    VoiceKeyer keyer{player, lines.factory(), [](int n) { return QStringLiteral("/dev/ttyS%1").arg(n - 1); },
                     prompter};
};

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

TEST(PhoneWindow, ShowsTheKeyersSettingsAndDoneWritesThemExactly)
{
    PhoneHarness h;
    const VoiceSettings fixture = ParseVoiceSettings(ReadFile(Fixture("wave2.txt")));
    h.keyer.setSettings(fixture);
    PhoneWindow w(h.session, h.keyer);
    EXPECT_EQ(w.windowTitle(), "Phone Wave Selections");
    EXPECT_EQ(w.Text[0]->text(), "/home/op/voice/cq.wav");
    EXPECT_EQ(w.Text10->text(), "3");
    EXPECT_TRUE(w.Option2->isChecked());
    EXPECT_EQ(w.txtPHLoop->text(), "5");
    EXPECT_EQ(w.Text11->text(), "&H278");

    w.show();
    ASSERT_TRUE(w.Command1_Click());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ReadFile(h.dir.filePath("wave2.txt")), ReadFile(Fixture("wave2.txt")));

    w.Option3->setChecked(true);
    w.Text[4]->setText("  /x/f5.wav ");
    ASSERT_TRUE(w.Command1_Click());
    const VoiceSettings saved = ParseVoiceSettings(ReadFile(h.dir.filePath("wave2.txt")));
    EXPECT_EQ(saved.line, PttLine::Parallel);
    EXPECT_EQ(saved.files[4], "/x/f5.wav");
    EXPECT_EQ(h.keyer.settings().files[4], "/x/f5.wav");  // the keyer plays what was saved
}

TEST(PhoneWindow, AFailedSaveIsReportedAndTheWindowStaysOpen)
{
    FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    ASSERT_TRUE(disk.fill());
    PhoneHarness h(disk.path());
    PhoneWindow w(h.session, h.keyer);
    w.show();
    w.Text[0]->setText(QString(3000, QLatin1Char('a')));
    EXPECT_FALSE(w.Command1_Click());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(h.prompter.titles(), QStringList({"Settings Not Saved"}));
    EXPECT_FALSE(h.prompter.asked[0].detail.isEmpty());
    EXPECT_EQ(w.Text[0]->text().size(), 3000);
}

TEST(PhoneWindow, BoxesKeepTheirEntryRules)
{
    PhoneHarness h;
    PhoneWindow w(h.session, h.keyer);
    w.show();
    QApplication::setActiveWindow(&w);

    // The port box selects its text on entry, so a new number replaces the old.
    w.Text10->setText("12");
    w.Text10->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Text10->selectedText() == "12"; }, 2000));

    // Not a number becomes "0" on leaving, and port 0 opens nothing.
    w.Text10->setFocus();
    w.Text10->setText("COM3");
    w.Text11->setFocus();
    Settle();
    EXPECT_EQ(w.Text10->text(), "0");
    EXPECT_TRUE(h.events.isEmpty());

    // Leaving it with a number opens the port at once.
    w.Text10->setFocus();
    w.Text10->setText("4");
    w.Text11->setFocus();
    Settle();
    EXPECT_EQ(h.events, QStringList({"make RTS /dev/ttyS3", "RTS open"}));

    // The loop box takes digits and "." only, and 0 <= x < 60 on leaving.
    w.txtPHLoop->setFocus();
    w.txtPHLoop->clear();
    QTest::keyClicks(w.txtPHLoop, "7a5");
    EXPECT_EQ(w.txtPHLoop->text(), "75");
    w.Text11->setFocus();
    Settle();
    EXPECT_EQ(w.txtPHLoop->text(), "0");
    w.txtPHLoop->setFocus();
    w.txtPHLoop->clear();
    QTest::keyClicks(w.txtPHLoop, "2.5");
    w.Text11->setFocus();
    Settle();
    EXPECT_EQ(w.txtPHLoop->text(), "2.5");
    EXPECT_EQ(h.keyer.repeatPauseMs(), 2500);

    // The address box: no double quote, capitals.
    w.Text11->clear();
    QTest::keyClicks(w.Text11, "&h\"2bc");
    EXPECT_EQ(w.Text11->text(), "&H2BC");
}

TEST(PhoneWindow, BrowsePutsTheChosenFileInItsBox)
{
    PhoneHarness h;
    PhoneWindow w(h.session, h.keyer);
    h.prompter.answers = {QString("/home/op/voice/qrz.wav")};
    w.Browses[2]->click();
    EXPECT_EQ(w.Text[2]->text(), "/home/op/voice/qrz.wav");
    ASSERT_EQ(h.prompter.asked.size(), 1);
    EXPECT_EQ(h.prompter.asked[0].kind, "open");

    w.Browses[3]->click();  // cancelled: a beep, the box unchanged
    EXPECT_EQ(h.prompter.asked.last().kind, "beep");
    EXPECT_EQ(w.Text[3]->text(), "");
}

TEST(PhoneWindow, SerialPortsIsOfferedBesideThePortBox)
{
    PhoneHarness h;
    PhoneWindow w(h.session, h.keyer);
    QString shown;
    w.runModal = [&shown](QDialog &d) { shown = d.objectName() + "|" + d.windowTitle(); };
    w.cmdPorts->click();
    EXPECT_TRUE(shown.contains("Serial Ports")) << shown.toStdString();
}

TEST(PhoneWindow, TestPlaysF1AndStopDisarmsTheRepeat)
{
    PhoneHarness h;
    const QString cq = WriteWave(h.dir.filePath("cq.wav"), PcmWave(80));
    PhoneWindow w(h.session, h.keyer);
    w.show();
    w.Text[0]->setText(cq);
    w.Text10->setText("2");
    w.txtPHLoop->setText("5");
    w.Command11->click();
    EXPECT_EQ(h.player.played, QStringList({cq}));
    EXPECT_TRUE(h.keyer.pttDown());
    EXPECT_TRUE(h.keyer.VoiceRepeatArmed());
    EXPECT_FALSE(w.Command12->isHidden());
    w.Command12->click();
    EXPECT_FALSE(h.keyer.VoiceRepeatArmed());
    EXPECT_TRUE(w.Command12->isHidden());
}

TEST(PhoneWindow, WhyNothingWasSentReachesTheScreenReader)
{
    PhoneHarness h;
    PhoneWindow w(h.session, h.keyer);
    w.show();
    w.Text[0]->setText(h.dir.filePath("missing.wav"));
    AccessibilityEvents a11y;
    w.Command11->click();
    Settle();
    EXPECT_TRUE(w.lblStatus->text().contains("does not exist"));
    ASSERT_FALSE(a11y.spoken(w.lblStatus).isEmpty());
    EXPECT_EQ(a11y.spoken(w.lblStatus).last(), w.lblStatus->text());
    EXPECT_FALSE(h.keyer.pttDown());
}

TEST(PhoneWindow, EveryControlHasAnAccessibleName)
{
    PhoneHarness h;
    PhoneWindow w(h.session, h.keyer);
    QStringList names;
    for (QWidget *c : w.findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(c) && !qobject_cast<QAbstractButton *>(c))
            continue;
        EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
        names << c->accessibleName();
    }
    EXPECT_EQ(names.size(), 9 + 9 + 3 + 3 + 4);
    EXPECT_EQ(names.removeDuplicates(), 0);  // each says which box it is for
}

}  // namespace
