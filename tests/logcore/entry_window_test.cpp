#include "logcore/contest_clock.h"
#include "logcore/entry_rules.h"
#include "logcore/recent_contacts_model.h"
#include "window_harness.h"

#include <QAction>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zevtest;

namespace {

Preferences cwOn(const char *band)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "CW";
    p.CurrentBand = band;
    return p;
}

QByteArray lastLine(const QString &path)
{
    const QList<QByteArray> lines = ReadFile(path).split('\n');
    return lines.size() >= 2 ? lines[lines.size() - 2] + "\n" : QByteArray();
}

}  // namespace

TEST(EntryKeys, DigitAfterACompleteCallMovesToTheReport)
{
    Harness h(cwOn("40"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();

    typeKeys("VE3XYZ5");
    EXPECT_EQ(w.txtCall->text(), "VE3XYZ");
    EXPECT_EQ(w.txtRSTR->text(), "5");
    EXPECT_EQ(w.txtRSTR->cursorPosition(), 1);
    EXPECT_TRUE(w.txtRSTR->hasFocus());
    EXPECT_EQ(w.txtRSTS->text(), "599");  // filled on leaving the call box
    EXPECT_EQ(w.txtCntry->text(), "ON");

    struct Case {
        const char *typed;
        const char *call;
    };
    for (const Case c : {Case{"VE35", "VE35"}, Case{"VE3XYZ/P5", "VE3XYZ/P5"}, Case{"k1abc", "K1ABC"},
                         Case{"VE\"3A", "VE3A"}}) {
        w.cmdClear_Click();
        typeKeys(c.typed);
        EXPECT_EQ(w.txtCall->text(), c.call) << c.typed;
        EXPECT_TRUE(w.txtCall->hasFocus()) << c.typed;
    }
    // A digit typed in the middle of a complete call stays there.
    w.cmdClear_Click();
    typeKeys("VE3XYZ");
    w.txtCall->setCursorPosition(3);
    typeKeys("7");
    EXPECT_EQ(w.txtCall->text(), "VE37XYZ");
}

TEST(EntryKeys, LeavingTheCallBoxFillsReportsAndProvince)
{
    Harness h;  // phone
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("VA3ABC ");
    EXPECT_TRUE(w.txtRSTR->hasFocus());
    EXPECT_EQ(w.txtRSTR->text(), "59");
    EXPECT_EQ(w.txtRSTR->selectedText(), "59");
    EXPECT_EQ(w.txtRSTS->text(), "59");
    EXPECT_EQ(w.txtCntry->text(), "ON");
    EXPECT_EQ(w.txtCntry->selectedText(), "ON");

    // An exchange already typed is kept.
    w.cmdClear_Click();
    typeKeys("VE3ABC");
    w.txtCntry->setText("QC");
    typeKeys(" ");
    EXPECT_EQ(w.txtCntry->text(), "QC");

    // A station worked before as a province gets it back, one that sent a serial does not.
    w.cmdClear_Click();
    typeKeys("VA3ZEV ");  // worked on 40 CW as ON; now 40 phone
    EXPECT_EQ(w.txtCntry->text(), "ON");
    w.cmdClear_Click();
    typeKeys("W1AW ");
    EXPECT_EQ(w.txtCntry->text(), "");
}

TEST(EntryKeys, LettersAndSpacesMoveAlongTheBoxes)
{
    Harness h(cwOn("15"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("K1ABC 579");
    EXPECT_EQ(w.txtRSTR->text(), "579");
    typeKeys("q");  // a letter in the report box starts the exchange
    EXPECT_TRUE(w.txtCntry->hasFocus());
    EXPECT_EQ(w.txtCntry->text(), "Q");
    typeKeys("c ");
    EXPECT_EQ(w.txtCntry->text(), "QC");
    EXPECT_TRUE(w.txtRSTS->hasFocus());
    w.txtRSTS->clear();
    typeKeys("5\"79");  // a quote is dropped in the report sent
    EXPECT_EQ(w.txtRSTS->text(), "579");
    typeKeys("9");  // reports are three characters on CW
    EXPECT_EQ(w.txtRSTS->text(), "579");
    // A letter in the report sent is dropped and moves on, leaving the exchange alone.
    typeKeys("x");
    EXPECT_TRUE(w.txtSec->hasFocus());
    EXPECT_EQ(w.txtCntry->text(), "QC");
    EXPECT_EQ(w.txtRSTS->text(), "579");
    typeKeys("100w\"");
    EXPECT_EQ(w.txtSec->text(), "100W");
    typeKeys(" ");
    EXPECT_TRUE(w.txtRSTS->hasFocus());
}

TEST(EntryKeys, FastBurstReachesTheLogIntact)
{
    Harness h(cwOn("40"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("VE3XYZ599ON\n");
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(lastLine(h.folders.work("log.txt")),
              "\"VE3XYZ\",\"599\",\"\",\"599\",\"ON\",\"2009/07/01\",\"18:04:27\",\"CW\",\"40\",10,\"\",\"Canada\"\r\n");
    EXPECT_TRUE(w.txtCall->hasFocus());
    EXPECT_EQ(w.txtCall->text(), "");
    // The next contact right behind it.
    typeKeys("VE7ABC579BC\n");
    ASSERT_EQ(h.session->log.RecordCount(), 5);
    EXPECT_EQ(h.session->log.record(5).Call, "VE7ABC");
    EXPECT_EQ(h.session->log.record(5).ReportRcvd, "579");
    EXPECT_EQ(h.session->log.record(5).ExchangeRcvd, "BC");
}

TEST(EntryKeys, EnterFromEveryBoxLogs)
{
    Harness h(cwOn("80"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    int n = 3;
    for (QLineEdit *box : {w.txtCall, w.txtRSTR, w.txtCntry, w.txtRSTS, w.txtSec}) {
        typeKeys(QStringLiteral("VE%1AB ").arg(n));
        box->setFocus();
        w.txtCntry->setText(ProvinceFromPrefix(QStringLiteral("VE%1AB").arg(n)));
        typeKeys("\n");
        ++n;
        EXPECT_EQ(h.session->log.RecordCount(), n) << box->objectName().toStdString();
    }
}

TEST(Mains, IncompleteAndInvalidEntriesStayWithTheRightMessage)
{
    struct Case {
        const char *call, *rstr, *cntry, *rsts;
        const char *message;
        const char *focus;
    };
    const Case cases[] = {
        {"", "", "", "", "Invald Province!", "txtCntry"},
        {"VE3ABC", "", "ON", "599", "Report Received!", "txtRSTR"},
        {"VE", "599", "ON", "599", "Need Call Sign!", "txtCall"},
        {"VE3ABC", "599", "", "599", "Invald Province!", "txtCntry"},
        {"VE3ABC", "599", "ON", "", "Need Report Sent!", "txtRSTS"},
        {"VE3ABC", "", "ON", "", "Need Report Sent!", "txtRSTS"},
        {"VE3ABC", "599", "XX", "599", "Invald Province!", "txtCntry"},
    };
    Harness h(cwOn("10"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    for (const Case &c : cases) {
        w.txtSec->setFocus();
        w.txtCall->setText(c.call);
        w.txtRSTR->setText(c.rstr);
        w.txtCntry->setText(c.cntry);
        w.txtRSTS->setText(c.rsts);
        h.prompter.asked.clear();
        w.Mains();
        EXPECT_EQ(w.lblDialog->text(), c.message) << c.call << "/" << c.cntry;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus) << c.call << "/" << c.cntry;
        EXPECT_EQ(h.session->log.RecordCount(), 3);
        EXPECT_EQ(w.txtCall->text(), c.call);  // left for correction
        EXPECT_FALSE(h.prompter.asked.isEmpty());
        EXPECT_EQ(h.prompter.asked.last().kind, "beep");
    }
    EXPECT_TRUE(h.session->TimeOnActive);  // the first commit attempt starts the clock
}

TEST(Mains, SerialNumbersProvincesAndTheLoggedRecord)
{
    Preferences p = cwOn("20");
    p.InCanada = 0;
    Harness h(p);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_EQ(w.Label25->text(), "6");
    EXPECT_EQ(w.lblsectogo->text(), "2");  // ON on 20 phone and 40 CW

    w.txtSec->setFocus();
    w.txtCall->setText("K5ZZ");
    w.txtRSTR->setText("599");
    w.txtCntry->setText("123");
    w.txtRSTS->setText("579");
    h.session->entry.setFrequencyText("14.0251");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(lastLine(h.folders.work("log.txt")),
              "\"K5ZZ\",\"599\",\"6\",\"579\",\"123\",\"2009/07/01\",\"18:04:27\",\"CW\",\"20\",2,\"14.0251\",\"USA\"\r\n");
    EXPECT_EQ(w.Label25->text(), "7");
    EXPECT_EQ(w.lblsectogo->text(), "2");  // a serial adds no multiplier
    EXPECT_TRUE(h.session->entry.frequencyText().isEmpty());

    w.txtCall->setText("VE7ABC");
    w.txtRSTR->setText("599");
    w.txtCntry->setText("bc");
    w.txtRSTS->setText("599");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 5);
    EXPECT_EQ(h.session->log.record(5).ExchangeRcvd, "BC");
    EXPECT_EQ(h.session->log.record(5).Frequency, "");
    EXPECT_EQ(w.lblsectogo->text(), "3");
    EXPECT_EQ(w.lblTotCon->text(), "5");
    EXPECT_EQ(w.lblTotSec->text(), "44");
    EXPECT_EQ(w.lblTotScore->text(), "132");
    EXPECT_EQ(w.lblDialog->text(), "");
    // The grid shows BC worked on 20 m in CW.
    EXPECT_TRUE(w.provinceLabels[3][6]->styleSheet().contains(ColourName(p.WorkedMultColour)));
    EXPECT_FALSE(w.provinceLabels[3][5]->styleSheet().contains(ColourName(p.WorkedMultColour)));
}

TEST(Dupes, AnnouncedClearedAndKeysHeldInOrder)
{
    Harness h(cwOn("20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.dupeHoldMs = 400;
    typeKeys("w1aw ");
    EXPECT_EQ(w.lblDialog->text(), "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2");
    EXPECT_TRUE(w.lblDialog->styleSheet().contains(ColourName(0x0000FF)));
    EXPECT_TRUE(w.txtCall->hasFocus());
    for (QLineEdit *box : {w.txtCall, w.txtRSTR, w.txtCntry, w.txtRSTS, w.txtSec})
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(w.DupeFlag);

    // Keys typed during the announcement wait, then arrive in order.
    typeKeys("K1A");
    EXPECT_EQ(w.txtCall->text(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.txtCall->text() == "K1A"; }, 3000));
    EXPECT_FALSE(w.DupeFlag);
    typeKeys("B");
    EXPECT_EQ(w.txtCall->text(), "K1AB");

    // The same station on another band or mode is a new contact.
    w.cmdClear_Click();
    w.SelectMode("PH");
    typeKeys("W1AW ");
    EXPECT_FALSE(w.DupeFlag);
    EXPECT_EQ(w.txtCall->text(), "W1AW");
}

TEST(Dupes, CommittingADupeStoresNothing)
{
    Harness h(cwOn("40"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.dupeHoldMs = 0;
    w.txtSec->setFocus();
    w.txtCall->setText("VA3ZEV");
    w.txtRSTR->setText("599");
    w.txtCntry->setText("ON");
    w.txtRSTS->setText("599");
    w.Mains();
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_TRUE(w.lblDialog->text().startsWith("Duplicate VA3ZEV"));
    EXPECT_EQ(w.txtCall->text(), "");
    EXPECT_EQ(ReadFile(h.folders.work("log.txt")), kThreeContacts);
}

TEST(Dupes, PartialListAndWarningsWhileTyping)
{
    Harness h(cwOn("20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.cmdLogOn_Click();
    typeKeys("W");
    EXPECT_EQ(w.lblDupe->text(), "W1AW ");
    typeKeys("1A");
    EXPECT_EQ(w.lblDialog->text(), " ");
    typeKeys("W");
    EXPECT_EQ(w.lblDialog->text(), "Possible Duplicate!");
    typeKeys("X");
    EXPECT_EQ(w.lblDupe->text(), "");

    w.cmdClear_Click();
    h.prompter.asked.clear();
    typeKeys("AB");
    EXPECT_TRUE(h.prompter.asked.isEmpty());
    typeKeys("C");
    EXPECT_EQ(w.lblDialog->text(), "The second or third character is not numeric!");
    EXPECT_EQ(h.prompter.asked.size(), 1);
    w.cmdClear_Click();
    typeKeys("K1A");
    EXPECT_EQ(w.lblDialog->text(), " ");

    // Switched off, nothing is listed.
    w.cmdDup_Click();
    EXPECT_EQ(w.cmdDup->text(), "Off");
    w.cmdClear_Click();
    typeKeys("W1");
    EXPECT_EQ(w.lblDupe->text(), "");
}

TEST(Dupes, ListPreviousContactsShowsEveryEarlierContact)
{
    Harness h(cwOn("15"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuListPrevious_Click();
    EXPECT_TRUE(w.mnuListPrevious->isChecked());
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).ListPreviousOn, 1);
    typeKeys("VE3XYZ ");
    ASSERT_EQ(w.listModel->rowCount(), 1);
    EXPECT_EQ(w.listModel->index(0, 0).data().toString(), "1");
    EXPECT_EQ(w.listModel->index(0, 6).data().toString(), "07/01 18:04");
    w.cmdClear_Click();
    typeKeys("K9NEW ");
    EXPECT_EQ(w.listModel->rowCount(), 0);
}

TEST(BandAndMode, ChangesReloadAndKeepTheEntry)
{
    Harness h;  // 40 m phone
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("VE3AB");
    QTest::mouseClick(w.Label24, Qt::LeftButton);
    EXPECT_EQ(w.Label24->text(), "20");
    EXPECT_TRUE(w.mnuBand[3]->isChecked());
    EXPECT_FALSE(w.mnuBand[2]->isChecked());
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).CurrentBand, "20");
    EXPECT_EQ(w.txtCall->text(), "VE3AB");
    // 20 m phone has ON from the log.
    EXPECT_TRUE(w.provinceLabels[3][2]->styleSheet().contains(ColourName(h.session->prefs.WorkedMultColour)));

    QTest::mouseClick(w.Label30, Qt::LeftButton);
    EXPECT_EQ(w.Label30->text(), "CW");
    EXPECT_TRUE(w.mnuCW->isChecked());
    EXPECT_EQ(w.ReportMaxLength, 3);
    EXPECT_FALSE(w.provinceLabels[3][2]->styleSheet().contains(ColourName(h.session->prefs.WorkedMultColour)));
    w.SelectMode("PH");
    EXPECT_EQ(w.ReportMaxLength, 2);

    QTest::mouseClick(w.bandHeadings[0], Qt::LeftButton);
    EXPECT_EQ(w.Label24->text(), "160");
    w.SelectBand(7);
    QTest::mouseClick(w.Label24, Qt::LeftButton);
    EXPECT_EQ(w.Label24->text(), "160");  // the cycle wraps

    QTest::mouseClick(w.provinceLabels[0][6], Qt::LeftButton);
    EXPECT_EQ(w.txtCntry->text(), "BC");
}

TEST(BandAndMode, ProvinceTotalOnMouseOver)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(w.provinceLabels[5][2], &enter);
    EXPECT_EQ(w.lblDupe->text(), "  Ontario    Total = 2");
}

TEST(Clock, TimeOnOffAndOperatingTime)
{
    Preferences p = Harness::basePrefs();
    p.OperatingSeconds = 3600;
    Harness h(p);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_EQ(w.lblttrack->text(), "01:00:00");
    EXPECT_EQ(w.lblutctime->text(), "18:04:27");
    EXPECT_EQ(w.lblCurTime->text(), "2:04:27");
    EXPECT_EQ(w.Label16->text(), "PM");

    QTest::mouseClick(w.cmdLogOn, Qt::LeftButton);
    EXPECT_TRUE(h.session->TimeOnActive);
    EXPECT_EQ(w.cmdLogOn->text(), "&Log \"Time Off\"");
    EXPECT_TRUE(w.lblDialog->text().startsWith("Logged On at ")) << w.lblDialog->text().toStdString();
    EXPECT_TRUE(w.lblDialog->text().endsWith(" 18:04:27"));
    h.clock.local = h.clock.local.addSecs(5);
    w.Timer2_Timer();
    EXPECT_EQ(w.lblttrack->text(), "01:00:05");

    QTest::mouseClick(w.cmdLogOn, Qt::LeftButton);
    EXPECT_FALSE(h.session->TimeOnActive);
    EXPECT_EQ(w.cmdLogOn->text(), "&Log \"Time On\"");
    EXPECT_TRUE(w.lblDialog->text().startsWith("Logged Off at ")) << w.lblDialog->text().toStdString();
    EXPECT_TRUE(w.lblDialog->text().endsWith(" 18:04:32"));
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).OperatingSeconds, 3605);
}

TEST(Clock, RatesShownAfterLoggingAndOffsetAcrossMidnight)
{
    Preferences p = cwOn("20");
    p.UtcOffsetHours = 3.5;
    Harness h(p, QByteArray());
    h.clock.utcOffsetSeconds = int(3.5 * 3600);
    h.clock.local = QDateTime(QDate(2009, 7, 1), QTime(21, 0, 0));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_TRUE(h.prompter.titles().filter("Update").isEmpty());  // offsets agree: no question
    typeKeys("VE3ABC 599ON\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    EXPECT_EQ(h.session->log.record(1).QsoDate, "2009/07/02");
    EXPECT_EQ(h.session->log.record(1).QsoTime, "00:30:00");
    EXPECT_EQ(w.lblAQSO20->text(), "3");
    EXPECT_EQ(w.lblAQSO60->text(), "1");
    EXPECT_EQ(w.lblutctime->text(), "00:30:00");
}

TEST(Clock, OffsetQuestionWhenTheMachineDisagrees)
{
    struct Case {
        ScriptedPrompter::Answer answer;
        double stored;
    };
    const Case cases[] = {{QString("4"), 4}, {std::monostate{}, 5}, {QString("four"), 5}};
    for (const Case &c : cases) {
        Preferences p = Harness::basePrefs();
        p.UtcOffsetHours = 5;  // the machine says 4
        Harness h(p);
        h.prompter.answers = {c.answer, true};
        h.start();
        ASSERT_GE(h.prompter.asked.size(), 1);
        EXPECT_EQ(h.prompter.asked[0].title, "Update the Local Time / UTC Offset?");
        EXPECT_EQ(h.prompter.asked[0].detail, "4");  // proposed answer
        EXPECT_EQ(h.session->prefs.UtcOffsetHours, c.stored);
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).UtcOffsetHours, c.stored);
    }
}

TEST(PostContest, PaperLogTimesAndDates)
{
    Harness h(cwOn("20"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuPostContest_Click();
    EXPECT_TRUE(w.mnuPostContest->isChecked());
    EXPECT_TRUE(w.txtPostConDate->isVisible());

    w.txtPostConDate->setFocus();
    EXPECT_EQ(w.txtPostConDate->text(), "2009/07/01");  // today's local date offered
    w.txtPostConDate->setText("2009/06/30");
    w.txtPostConTime->setFocus();
    typeKeys("9a4:5");
    EXPECT_EQ(w.txtPostConTime->text(), "94:5");
    w.txtPostConTime->setText("945");
    w.txtCall->setText("VE3ABC");
    w.txtRSTR->setText("599");
    w.txtCntry->setText("ON");
    w.txtRSTS->setText("599");
    typeKeys("\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    EXPECT_EQ(h.session->log.record(1).QsoDate, "2009/06/30");
    EXPECT_EQ(h.session->log.record(1).QsoTime, "09:45");

    struct Case {
        const char *date, *time, *message;
    };
    for (const Case c : {Case{"2009/06/30", "2461", "Invalid time format!"},
                         Case{"2009/02/30", "0930", "Invalid date format!"}}) {
        w.txtPostConDate->setText(c.date);
        w.txtPostConTime->setText(c.time);
        w.txtCall->setText("VE7ABC");
        w.txtRSTR->setText("599");
        w.txtCntry->setText("BC");
        w.txtRSTS->setText("599");
        w.Mains();
        EXPECT_EQ(w.lblDialog->text(), c.message);
        EXPECT_EQ(h.session->log.RecordCount(), 1);
    }
    w.txtPostConTime->setText("0930");
    w.Mains();
    EXPECT_EQ(w.lblDialog->text(), "Invalid date format!");
    w.txtPostConDate->setText("2009/06/30");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 2);
    EXPECT_EQ(h.session->log.record(2).QsoTime, "09:30");

    w.mnuPostContest_Click();
    EXPECT_FALSE(w.txtPostConDate->isVisible());
}

TEST(Mains, EnterInTheCallBoxChecksBeforeAnythingElseRuns)
{
    // Clock stopped, so the commit starts it and moves the focus first.
    Harness h(cwOn("20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.dupeHoldMs = 0;
    typeKeys("W1AW\n");
    EXPECT_EQ(w.lblDialog->text(), "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2");
    EXPECT_TRUE(w.txtCall->hasFocus());
    EXPECT_TRUE(w.DupeFlag);
    EXPECT_EQ(h.session->log.RecordCount(), 3);

    // Only a call typed: the checks send the operator to the exchange, and leaving the
    // call box then fills the reports and the province, ready for the next Enter.
    w.cmdClear_Click();
    typeKeys("VE3ABC\n");
    EXPECT_EQ(w.lblDialog->text(), " ");  // the fill answered the complaint
    EXPECT_TRUE(w.txtCntry->hasFocus());
    EXPECT_EQ(w.txtRSTR->text(), "599");
    EXPECT_EQ(w.txtCntry->text(), "ON");
    EXPECT_EQ(w.txtRSTS->text(), "599");
    EXPECT_EQ(w.txtCall->text(), "VE3ABC");
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    typeKeys("\n");
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(h.session->log.record(4).ExchangeRcvd, "ON");
}

TEST(EntryKeys, MenusModeChangesAndPastesKeepTheEntry)
{
    Harness h(cwOn("20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("W1AW");
    // Going to the menu bar is not leaving the call box.
    QFocusEvent out(QEvent::FocusOut, Qt::MenuBarFocusReason);
    QCoreApplication::sendEvent(w.txtCall, &out);
    EXPECT_FALSE(w.DupeFlag);
    EXPECT_EQ(w.txtCall->text(), "W1AW");
    EXPECT_EQ(w.txtRSTR->text(), "");

    // A report typed on CW survives a change to phone; only further typing is limited.
    w.cmdClear_Click();
    typeKeys("K1ABC 579");
    w.SelectMode("PH");
    EXPECT_EQ(w.txtRSTR->text(), "579");
    w.txtRSTR->clear();
    typeKeys("579");
    EXPECT_EQ(w.txtRSTR->text(), "57");

    // Pasted text follows the typing rules.
    w.txtCall->setText("ve3\"abc");
    EXPECT_EQ(w.txtCall->text(), "VE3ABC");
    w.txtRSTS->setText("5x9");
    EXPECT_EQ(w.txtRSTS->text(), "59");
}

TEST(Mains, AFailedAppendKeepsTheRigFrequencyForTheRetry)
{
    Harness h(cwOn("20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QFile::remove(h.folders.work("log.txt"));
    QDir().mkdir(h.folders.work("log.txt"));
    h.session->entry.setFrequencyText("14.025");
    w.txtSec->setFocus();
    w.txtCall->setText("VE3ABC");
    w.txtRSTR->setText("599");
    w.txtCntry->setText("ON");
    w.txtRSTS->setText("599");
    w.Mains();
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_EQ(w.txtCall->text(), "VE3ABC");
    EXPECT_EQ(h.session->entry.frequencyText(), "14.025");
    EXPECT_EQ(h.prompter.asked.last().title, "Contact Not Logged");

    QDir().rmdir(h.folders.work("log.txt"));
    WriteFile(h.folders.work("log.txt"), kThreeContacts);
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(h.session->log.record(4).Frequency, "14.025");
}
