// CW on the logging window: settings at start-up, the CW windows, function keys typed into
// the entry boxes, the close refused while a message is on the air.

#include "window_harness.h"

#include "keying/code_practice_window.h"
#include "keying/cw_settings.h"
#include "keying/cw_strings_window.h"
#include "keying/cw_window.h"
#include "keying/keying_controller.h"
#include "station/station_keying.h"
#include "keying/morse.h"
#include "keying/recording_key_line.h"
#include "keying_helpers.h"
#include "keying/wk_settings.h"
#include "keying/winkey_window.h"
#include "keying/winkeyer.h"
#include "rig/port_map.h"
#include "winkeyer_emulator.h"
#include "full_disk.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>

using namespace zevtest;

namespace {

Preferences CwPrefs()
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "CW";
    return p;
}

CwSettings RtsSettings()
{
    CwSettings s;
    s.messages[0] = "$ 5NN #";
    s.messages[1] = "TU";
    s.port = "2";
    s.speed = "60";
    s.keyingLine = kKeyRts;
    return s;
}

// The window started with `settings` in cw.txt, keying a recording line.
struct CwDesk {
    Harness h{CwPrefs(), QByteArray()};
    std::shared_ptr<KeyLineRecord> record = std::make_shared<KeyLineRecord>();
    QStringList linesMade;

    MainWindow &start(const std::optional<CwSettings> &settings = RtsSettings())
    {
        if (settings)
            zevtest::WriteFile(h.folders.work(kCwSettingsFile), FormatCwSettings(*settings));
        h.prompter.answers = {true};
        h.start();
        h.stationLinks->keying().keyLineFactory = [this](KeyLineKind, const QString &where) -> std::unique_ptr<KeyLine> {
            linesMade << where;
            return std::make_unique<RecordingKeyLine>(record);
        };
        return h.activate();
    }
    QString keyed() const { return zevtest::Keyed(*record); }
    bool idle()
    {
        const bool done = QTest::qWaitFor(
            [&] { return !h.window->keying().CWSending() && h.session->CWBuffer.isEmpty(); }, 20000);
        // What the keying thread reported before it went idle is waiting in the queue.
        QCoreApplication::sendPostedEvents();
        return done;
    }
    // "WK.txt" naming port 4, and port 4 standing for `device`; no port at all when empty.
    void useWinKeyer(const QString &device)
    {
        WkSettings wk;
        wk.WinKeyPort = device.isEmpty() ? 0 : 4;
        if (!device.isEmpty()) {
            EXPECT_TRUE(PortMap(*h.registry).setDevice(4, device));
        }
        QDir().mkpath(h.folders.ProgramDataFolder);
        zevtest::WriteFile(WkSettingsPath(h.folders), FormatWkSettings(wk));
    }
};

}  // namespace

TEST(KeyingWindow, StartUpWritesMissingCwSettingsAndLoadsStoredOnes)
{
    {
        CwDesk d;
        d.start(std::nullopt);
        EXPECT_TRUE(QFile::exists(d.h.folders.work(kCwSettingsFile)));
        EXPECT_EQ(d.h.window->keying().settings, LoadCwSettings(d.h.folders.work(kCwSettingsFile)));
        EXPECT_EQ(d.h.window->keying().settings.messages[8], kDefaultF9);
        EXPECT_FALSE(d.h.prompter.titles().contains("Error opeining file"));
    }
    {
        CwDesk d;
        CwSettings s = RtsSettings();
        s.repeatPause = "5";
        d.start(s);
        EXPECT_EQ(d.h.window->keying().settings.messages[0], "$ 5NN #");
        EXPECT_EQ(d.h.window->keying().settings.keyingLine, kKeyRts);
        EXPECT_EQ(d.h.window->keying().tmrRepeat()->interval(), 5000);
    }
}

TEST(KeyingWindow, AFunctionKeyTypedInTheCallBoxSendsTheMessage)
{
    CwDesk d;
    MainWindow &w = d.start();
    typeKeys("VE3ABC");
    w.reportSentBox->setText("599");
    QTest::keyClick(w.callBox, Qt::Key_F1);
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("VE3ABC 5NN ON"));
    EXPECT_EQ(d.linesMade.size(), 1);
    // The function key never reached the box.
    EXPECT_EQ(w.callBox->text(), "VE3ABC");

    // The speed arrows work from any box and say the new speed.
    QTest::keyClick(w.callBox, Qt::Key_Up);
    EXPECT_EQ(w.keying().settings.speed, "61");
    EXPECT_EQ(w.messageLine->text(), "61 WPM");

    // Escape with nothing on the air clears the boxes.
    QTest::keyClick(w.callBox, Qt::Key_Escape);
    EXPECT_TRUE(w.callBox->text().isEmpty());
}

TEST(KeyingWindow, TheCloseIsRefusedWhileAMessageIsOnTheAir)
{
    CwDesk d;
    CwSettings s = RtsSettings();
    s.speed = "5";
    s.messages[0] = "EEEEEEEEEEEEEEEEEEEE";
    MainWindow &w = d.start(s);
    QTest::keyClick(w.callBox, Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.record->sets().empty(); }, 5000));
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(d.h.session->CWBuffer.isEmpty());
    ASSERT_TRUE(d.idle());
    EXPECT_FALSE(d.record->isDown());
    EXPECT_TRUE(w.close());
}

TEST(KeyingWindow, CwSetupKeepsItsSettingsAndShowsTheCwStrings)
{
    CwDesk d;
    MainWindow &w = d.start(CwSettings());
    auto *entry = w.findChild<QAction *>("mnuCW");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->isEnabled());
    d.h.otherModal = [&](QDialog &dialog) {
        auto *cw = qobject_cast<CwWindow *>(&dialog);
        ASSERT_NE(cw, nullptr);
        cw->messageBoxes[0]->setFocus();
        QTest::keyClicks(cw->messageBoxes[0], "cq \"test\"");
        cw->Option1->click();
        cw->Text10->setText("4");
        cw->OptSleep->click();
        cw->Check1->setChecked(true);
        cw->Command1->click();
    };
    entry->trigger();
    const CwSettings stored = LoadCwSettings(d.h.folders.work(kCwSettingsFile));
    EXPECT_EQ(stored.messages[0], "CQ TEST");
    EXPECT_EQ(stored.keyingLine, kKeyRts);
    EXPECT_EQ(stored.port, "4");
    EXPECT_EQ(stored.showText, 1);
    EXPECT_EQ(d.h.registry->value("UserCWSelection"), "Sleep");
    // With a keying line chosen, Done leaves the CW strings at hand, minimized.
    ASSERT_NE(w.cwStringsWindow(), nullptr);
    EXPECT_TRUE(w.cwStringsWindow()->isMinimized());
    EXPECT_EQ(w.cwStringsWindow()->lblCWString[0]->text(), "CQ TEST");
}

TEST(KeyingWindow, ANotSavedCwFileIsReported)
{
    CwDesk d;
    MainWindow &w = d.start(CwSettings());
    // A folder where the file should be: the rewrite cannot replace it.
    QFile::remove(d.h.folders.work(kCwSettingsFile));
    QDir().mkpath(d.h.folders.work(kCwSettingsFile) + "/x");
    w.showCwWindow(false);
    d.h.prompter.asked.clear();
    w.cwWindow()->Command1->click();
    EXPECT_TRUE(d.h.prompter.titles().contains("CW Settings Not Saved"));
}

TEST(KeyingWindow, CtrlLettersOpenTheCwWindowsAndTheirKeysWork)
{
    CwDesk d;
    MainWindow &w = d.start();
    QTest::keyClick(w.callBox, Qt::Key_C, Qt::ControlModifier);
    ASSERT_NE(w.cwWindow(), nullptr);
    EXPECT_TRUE(w.cwWindow()->isVisible());
    EXPECT_FALSE(w.cwWindow()->isModal());
    EXPECT_TRUE(w.callBox->text().isEmpty());
    w.cwWindow()->hide();
    // The key typed after a Ctrl shortcut is the operator's and reaches the box.
    d.h.activate();
    QTest::keyClick(w.callBox, 'k');
    EXPECT_EQ(w.callBox->text(), "K");

    QTest::keyClick(w.callBox, Qt::Key_W, Qt::ControlModifier);
    CwStringsWindow *strings = w.cwStringsWindow();
    ASSERT_NE(strings, nullptr);
    EXPECT_TRUE(strings->isVisible());
    EXPECT_EQ(strings->lblCWString[1]->text(), "TU");
    EXPECT_EQ(strings->lblCWString[11]->text(), "Keyboard");
    // A click on a row sends its message; F12's row sends nothing.
    strings->lblCWString[11]->click();
    EXPECT_TRUE(d.h.session->CWBuffer.isEmpty());
    strings->lblCWString[1]->click();
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("TU"));
    // Keys typed there act as on the logging window.
    QTest::keyClick(strings->lblCWString[0], Qt::Key_F2);
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("TUTU"));
}

TEST(KeyingWindow, CodePracticeSendsTheTextOneCharacterAtATime)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    bool ran = false;
    w.codePracticeOpened = [&](CodePracticeWindow &cp) {
        // Bounds and defaults of the generator.
        cp.Text3->setText("x");
        cp.Text4->setText("100000");
        cp.Option1->setChecked(true);
        cp.Command2_Click();
        EXPECT_EQ(cp.Text3->text(), "10");
        EXPECT_EQ(cp.Text4->text(), "50");
        const QString groups = cp.Text1->toPlainText();
        EXPECT_EQ(groups.size(), 10 * 51);
        EXPECT_TRUE(QRegularExpression("^([A-Z]{50} ){10}$").match(groups).hasMatch());

        cp.Text1->setPlainText("TE");
        cp.Command3_Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !cp.sendingText(); }, 20000));
        EXPECT_EQ(cp.Text2->toPlainText(), "TE");
        ran = true;
    };
    w.cwWindow()->Command7->click();
    EXPECT_TRUE(ran);
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("TE"));
}

// Loop keys as Timer does (the keying thread times each element by the clock), and the
// window says so where the method is chosen.
TEST(KeyingWindow, TheLoopMethodIsShownAsKeyingLikeTimer)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    CwWindow *cw = w.cwWindow();
    auto *note = cw->findChild<QLabel *>("lblLoopNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().contains("same exact timing as Timer")) << note->text().toStdString();
    EXPECT_EQ(cw->optLoop->accessibleDescription(), note->text());
}

// CW Setup says which priority the keying thread got, in a label a screen reader names.
TEST(KeyingWindow, CwSetupSaysTheKeyingThreadsPriority)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    auto *label = w.cwWindow()->findChild<QLabel *>("lblRealTime");
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !label->text().contains("not known yet"); }, 10000));
    const RealTimeOutcome got = w.keying().realTime();
    EXPECT_EQ(label->text(), RealTimeStatusText(got));
    EXPECT_EQ(label->accessibleName(), label->text());
    EXPECT_NE(got.way, RealTimeOutcome::Way::Pending);
}

// The next character waits in the buffer before the one in progress ends: the engine keys
// the whole text in one run, with no gap added between letters.
TEST(KeyingWindow, CodePracticeSendsTheLettersBackToBack)
{
    CwSettings s = RtsSettings();
    s.speed = "20";
    CwDesk d;
    MainWindow &w = d.start(s);
    w.showCwWindow(false);
    QSignalSpy sending(&w.keying(), &KeyingController::sendingChanged);
    bool ran = false;
    w.codePracticeOpened = [&](CodePracticeWindow &cp) {
        cp.Text1->setPlainText("TEE");
        cp.Command3_Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !cp.sendingText(); }, 20000));
        ran = true;
    };
    w.cwWindow()->Command7->click();
    EXPECT_TRUE(ran);
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("TEE"));
    QList<bool> runs;
    for (const QList<QVariant> &e : sending)
        runs << e[0].toBool();
    EXPECT_EQ(runs, (QList<bool>{true, false}));
}

TEST(KeyingWindow, TheWinKeyLineSendsMessagesThroughTheKeyer)
{
    zevtest::WinKeyerEmulator keyer;
    ASSERT_TRUE(keyer.ok());
    keyer.charMs = 20;
    CwDesk d;
    d.useWinKeyer(keyer.path());
    CwSettings s = RtsSettings();
    s.keyingLine = kKeyWinKey;
    s.messages[0] = "$ tu!";
    s.messages[1] = "EEEEEEEEEEEEEEEEEEEE";
    s.repeatPause = "0";
    MainWindow &w = d.start(s);
    // Nothing opens the keyer at start-up; the first message does.
    EXPECT_FALSE(keyer.isOpen());
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    QTest::keyClick(w.callBox, Qt::Key_F1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyer.keyed() == "VE3ABC TU"; }, 10000)) << keyer.keyed().toStdString();
    EXPECT_TRUE(keyer.received().startsWith(QByteArray("\x00\x02", 2)));
    // "!" logged the contact before the text went to the keyer; it never reached the keyer.
    EXPECT_FALSE(keyer.received().contains('!'));
    EXPECT_EQ(d.h.session->log.RecordCount(), 1);
    EXPECT_TRUE(d.record->sets().empty());

    // Escape while the keyer sends clears its buffer and ours.
    keyer.hold = true;
    QTest::keyClick(w.callBox, Qt::Key_F2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.h.stationLinks->keying().winKeyer().status() > 0; }, 10000));
    keyer.clearReceived();
    QTest::keyClick(w.callBox, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyer.received().contains('\x0a'); }, 5000))
        << keyer.received().toHex().toStdString();
    EXPECT_TRUE(d.h.session->CWBuffer.isEmpty());
    keyer.release();

    // Closing the program clears and closes the keyer.
    keyer.clearReceived();
    d.h.window.reset();
    d.h.stationLinks.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyer.received().endsWith(QByteArray("\x00\x03", 2)); }, 5000))
        << keyer.received().toHex().toStdString();
}

TEST(KeyingWindow, EveryControlOfTheCwWindowsHasANameToSay)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    w.showCwStrings(false);
    CodePracticeWindow practice(w.keying());
    for (QWidget *window : {static_cast<QWidget *>(w.cwWindow()), static_cast<QWidget *>(w.cwStringsWindow()),
                            static_cast<QWidget *>(&practice)}) {
        for (QWidget *c : window->findChildren<QWidget *>()) {
            if (c->focusPolicy() == Qt::NoFocus || !c->isEnabled())
                continue;
            EXPECT_FALSE(c->accessibleName().isEmpty())
                << window->objectName().toStdString() << " " << c->metaObject()->className() << " "
                << c->objectName().toStdString();
        }
    }
}

TEST(KeyingWindow, ChoosingWinKeyOffersItsSetupWithoutOpeningTheKeyer)
{
    zevtest::WinKeyerEmulator keyer;
    ASSERT_TRUE(keyer.ok());
    CwDesk d;
    ASSERT_TRUE(PortMap(*d.h.registry).setDevice(5, keyer.path()));
    MainWindow &w = d.start(CwSettings());
    w.showCwWindow(false);
    CwWindow *cw = w.cwWindow();
    EXPECT_TRUE(cw->cmdConfWinkey->isHidden());
    int shown = 0;
    d.h.otherModal = [&](QDialog &dialog) {
        auto *wk = qobject_cast<WinKeyWindow *>(&dialog);
        ASSERT_NE(wk, nullptr);
        ++shown;
    };
    cw->Option5->click();
    EXPECT_FALSE(cw->cmdConfWinkey->isHidden());
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(w.keying().settings.keyingLine, kKeyWinKey);
    cw->cmdConfWinkey->click();
    EXPECT_EQ(shown, 1);
    QTest::qWait(50);
    EXPECT_FALSE(keyer.isOpen());
    EXPECT_TRUE(keyer.received().isEmpty());
    cw->Option4->click();
    EXPECT_TRUE(cw->cmdConfWinkey->isHidden());
}

TEST(KeyingWindow, FunctionKeysAndEscapeActAtOnceDuringADuplicateHold)
{
    CwDesk d;
    CwSettings s = RtsSettings();
    s.messages[1] = "T";
    MainWindow &w = d.start(s);
    w.SelectBand(3);  // 20 m, where W1AW is in the log on CW
    ContactRecord r = sampleContact("W1AW");
    r.Band = "20";
    ASSERT_TRUE(w.LogContact(r));
    w.dupeHoldMs = 500;
    typeKeys("W1AW ");
    ASSERT_TRUE(w.DupeFlag);
    // F2 goes on the air at once, not after the hold.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    EXPECT_FALSE(d.h.session->CWBuffer.isEmpty() && !w.keying().CWSending());
    // Keys typed meanwhile are held; once nothing is on the air, Escape drops them with
    // the rest of the entry.
    typeKeys("K1AB");
    EXPECT_TRUE(w.callBox->text().isEmpty());
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("T"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::qWait(800);  // past the end of the hold
    EXPECT_TRUE(w.callBox->text().isEmpty());
    typeKeys("V");
    EXPECT_EQ(w.callBox->text(), "V");
}

TEST(KeyingWindow, AMessageThatComesOutEmptyLetsTheWindowClose)
{
    CwDesk d;
    CwSettings s = RtsSettings();
    s.messages[1] = "$";
    MainWindow &w = d.start(s);
    QTest::keyClick(w.callBox, Qt::Key_F2);
    EXPECT_FALSE(w.keying().CWSending());
    EXPECT_TRUE(w.close());
}

TEST(KeyingWindow, AnUnreadableCwFileIsReportedAndKept)
{
    CwDesk d;
    QDir().mkpath(d.h.folders.work(kCwSettingsFile));
    d.start(std::nullopt);
    EXPECT_TRUE(d.h.prompter.titles().contains("CW Settings Not Read"));
    EXPECT_TRUE(QFileInfo(d.h.folders.work(kCwSettingsFile)).isDir());
    // The defaults are in use.
    EXPECT_EQ(d.h.window->keying().settings.keyingLine, kKeyNone);
    EXPECT_EQ(d.h.window->keying().settings.speed, "13");
    EXPECT_TRUE(d.h.window->keying().settings.messages[0].isEmpty());
}

TEST(KeyingWindow, CodePracticeThroughTheWinKeyerLosesNoCharacter)
{
    zevtest::WinKeyerEmulator keyer;
    ASSERT_TRUE(keyer.ok());
    keyer.charMs = 2;
    keyer.xoffThreshold = 2;
    CwDesk d;
    d.useWinKeyer(keyer.path());
    CwSettings s = RtsSettings();
    s.keyingLine = kKeyWinKey;
    MainWindow &w = d.start(s);
    w.showCwWindow(false);
    w.codePracticeOpened = [&](CodePracticeWindow &cp) {
        cp.Text1->setPlainText("ABCDEFGHIJKL");
        cp.Command3_Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !cp.sendingText(); }, 20000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return keyer.keyed() == "ABCDEFGHIJKL"; }, 20000))
            << keyer.keyed().toStdString();
    };
    w.cwWindow()->Command7->click();
}

TEST(KeyingWindow, TheWinKeyLineWithoutAPortSaysSo)
{
    CwDesk d;
    d.useWinKeyer({});
    CwSettings s = RtsSettings();
    s.keyingLine = kKeyWinKey;
    MainWindow &w = d.start(s);
    QTest::keyClick(w.callBox, Qt::Key_F2);
    EXPECT_EQ(w.messageLine->text(), "No WinKey port set");
    EXPECT_TRUE(d.h.session->CWBuffer.isEmpty());
}

TEST(KeyingWindow, ACwFileThatCannotBeCreatedIsReported)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    CwDesk d;
    for (const char *name : {"zevpref.txt", "log.txt"})
        ASSERT_TRUE(QFile::copy(d.h.folders.work(name), disk.filePath(name)));
    d.h.folders.StartDir = disk.path();
    ASSERT_TRUE(disk.fill());
    d.start(std::nullopt);
    EXPECT_TRUE(d.h.prompter.titles().contains("CW Settings Not Created"));
    EXPECT_FALSE(QFile::exists(disk.filePath(kCwSettingsFile)));
    EXPECT_EQ(d.h.window->keying().settings.speed, "13");
}

// With a keying line set, Up and Down still walk the contact list; the speed keys stay with
// the entry boxes, where the operator types.
TEST(KeyingWindow, UpAndDownInTheContactListMoveTheRowNotTheSpeed)
{
    CwDesk d;
    zevtest::WriteFile(d.h.folders.work("log.txt"), kThreeContacts);
    MainWindow &w = d.start();
    ASSERT_EQ(w.listModel->rowCount(), 3);
    w.contactList->setFocus();
    w.contactList->setCurrentIndex(w.listModel->index(0, 0));
    const QString before = w.messageLine->text();
    QTest::keyClick(w.contactList, Qt::Key_Down);
    EXPECT_EQ(w.contactList->currentIndex().row(), 1);
    QTest::keyClick(w.contactList, Qt::Key_Down);
    EXPECT_EQ(w.contactList->currentIndex().row(), 2);
    QTest::keyClick(w.contactList, Qt::Key_Up);
    EXPECT_EQ(w.contactList->currentIndex().row(), 1);
    EXPECT_EQ(w.keying().settings.speed, "60");
    EXPECT_EQ(w.messageLine->text(), before);
    EXPECT_FALSE(w.messageLine->text().endsWith("WPM"));

    // Back in a box, the arrows are the speed keys again.
    w.exchangeBox->setFocus();
    QTest::keyClick(w.exchangeBox, Qt::Key_Down);
    EXPECT_EQ(w.keying().settings.speed, "59");
    EXPECT_EQ(w.messageLine->text(), "59 WPM");
    EXPECT_EQ(w.contactList->currentIndex().row(), 1);
}

// Faster and Slower keep the focus on the button pressed: the new speed is said.
TEST(KeyingWindow, TheSpeedButtonsSayTheNewSpeed)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    CwWindow *cw = w.cwWindow();
    QCoreApplication::processEvents();
    {
        AccessibilityEvents a11y;
        cw->cmdFaster->click();
        QCoreApplication::processEvents();
        cw->cmdSlower->click();
        QCoreApplication::processEvents();
        cw->cmdSlower->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(a11y.spoken(cw->findChild<QLabel *>("lblSpeed")), (QStringList{"61 WPM", "60 WPM", "59 WPM"}));
        EXPECT_EQ(cw->Text11->text(), "59");
    }

    // The practice window's readout says the speed, not what it is.
    bool ran = false;
    w.codePracticeOpened = [&](CodePracticeWindow &cp) {
        cp.show();
        QCoreApplication::processEvents();
        QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(cp.Label8);
        ASSERT_NE(readout, nullptr);
        EXPECT_EQ(readout->text(QAccessible::Name), "59 WPM");
        EXPECT_NE(cp.Label8->focusPolicy() & Qt::TabFocus, 0);
        AccessibilityEvents a11y;
        cp.Command7->click();
        QCoreApplication::processEvents();
        cp.Command7->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(cp.Label8->text(), "61");
        EXPECT_EQ(a11y.spoken(cp.Label8), (QStringList{"60 WPM", "61 WPM"}));
        cp.hide();
        ran = true;
    };
    cw->Command7->click();
    EXPECT_TRUE(ran);
}

// Windows opened from a window give the keyboard back to it, and the CW strings go away
// with Escape unless Escape has something to stop.
TEST(KeyingWindow, TheKeyboardComesBackToTheWindowTheOperatorCameFrom)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    CwWindow *cw = w.cwWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(cw));
    cw->Option5->click();
    cw->cmdConfWinkey->setFocus();
    d.h.otherModal = [&](QDialog &dialog) {
        auto *wk = qobject_cast<WinKeyWindow *>(&dialog);
        ASSERT_NE(wk, nullptr);
        wk->show();
        wk->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(wk));
        wk->cmdDone->click();
    };
    cw->cmdConfWinkey->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == cw; }, 2000));
    EXPECT_EQ(QApplication::focusWidget(), cw->cmdConfWinkey);

    // CW setup's Done leaves the strings minimized and the keyboard in the call box.
    cw->Option1->click();
    cw->Command1->click();
    ASSERT_NE(w.cwStringsWindow(), nullptr);
    QTest::qWait(100);
    EXPECT_TRUE(w.cwStringsWindow()->isMinimized());
    EXPECT_EQ(QApplication::activeWindow(), &w);
    EXPECT_EQ(QApplication::focusWidget(), w.callBox);

    // Escape with nothing on the air closes the strings and leaves the boxes as they were.
    w.callBox->setText("VE3ABC");
    w.showCwStrings(false);
    CwStringsWindow *strings = w.cwStringsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(strings));
    strings->lblCWString[0]->setFocus();
    QTest::keyClick(strings->lblCWString[0], Qt::Key_Escape);
    EXPECT_FALSE(strings->isVisible());
    EXPECT_EQ(w.callBox->text(), "VE3ABC");

    // While a message is on the air, Escape stops it and the window stays.
    w.showCwStrings(false);
    ASSERT_TRUE(QTest::qWaitForWindowActive(strings));
    w.keying().setSpeedText("5");
    w.keying().settings.messages[0] = "EEEEEEEEEE";
    strings->lblCWString[0]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.record->sets().empty(); }, 5000));
    QTest::keyClick(strings->lblCWString[0], Qt::Key_Escape);
    EXPECT_TRUE(strings->isVisible());
    EXPECT_TRUE(d.h.session->CWBuffer.isEmpty());
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
}

// CW Setup is laid out once: the spoken speed appearing does not move the buttons, and the
// wrapped note on the Loop method is not cut off.
TEST(KeyingWindow, CwSetupKeepsItsLayoutAndShowsTheWholeLoopNote)
{
    CwDesk d;
    MainWindow &w = d.start();
    w.showCwWindow(false);
    CwWindow *cw = w.cwWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cw));
    auto *note = cw->findChild<QLabel *>("lblLoopNote");
    ASSERT_NE(note, nullptr);
    EXPECT_GE(note->height(), note->heightForWidth(note->width()));
    const QRect faster = cw->cmdFaster->geometry();
    const QRect slower = cw->cmdSlower->geometry();
    cw->cmdFaster->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(cw->cmdFaster->geometry(), faster);
    EXPECT_EQ(cw->cmdSlower->geometry(), slower);
}
