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
    EXPECT_EQ(w.callBox->text(), "VE3XYZ");
    EXPECT_EQ(w.reportRcvdBox->text(), "5");
    EXPECT_EQ(w.reportRcvdBox->cursorPosition(), 1);
    EXPECT_TRUE(w.reportRcvdBox->hasFocus());
    EXPECT_EQ(w.reportSentBox->text(), "599");  // filled on leaving the call box
    EXPECT_EQ(w.exchangeBox->text(), "ON");

    struct Case {
        const char *typed;
        const char *call;
    };
    for (const Case c : {Case{"VE35", "VE35"}, Case{"VE3XYZ/P5", "VE3XYZ/P5"}, Case{"k1abc", "K1ABC"},
                         Case{"VE\"3A", "VE3A"}}) {
        w.cmdClear_Click();
        typeKeys(c.typed);
        EXPECT_EQ(w.callBox->text(), c.call) << c.typed;
        EXPECT_TRUE(w.callBox->hasFocus()) << c.typed;
    }
    // A digit typed in the middle of a complete call stays there.
    w.cmdClear_Click();
    typeKeys("VE3XYZ");
    w.callBox->setCursorPosition(3);
    typeKeys("7");
    EXPECT_EQ(w.callBox->text(), "VE37XYZ");
}

TEST(EntryKeys, LeavingTheCallBoxFillsReportsAndProvince)
{
    Harness h;  // phone
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("VA3ABC ");
    EXPECT_TRUE(w.reportRcvdBox->hasFocus());
    EXPECT_EQ(w.reportRcvdBox->text(), "59");
    EXPECT_EQ(w.reportRcvdBox->selectedText(), "59");
    EXPECT_EQ(w.reportSentBox->text(), "59");
    EXPECT_EQ(w.exchangeBox->text(), "ON");
    EXPECT_EQ(w.exchangeBox->selectedText(), "ON");

    // An exchange already typed is kept.
    w.cmdClear_Click();
    typeKeys("VE3ABC");
    w.exchangeBox->setText("QC");
    typeKeys(" ");
    EXPECT_EQ(w.exchangeBox->text(), "QC");

    // A station worked before as a province gets it back, one that sent a serial does not.
    w.cmdClear_Click();
    typeKeys("VA3ZEV ");  // worked on 40 CW as ON; now 40 phone
    EXPECT_EQ(w.exchangeBox->text(), "ON");
    w.cmdClear_Click();
    typeKeys("W1AW ");
    EXPECT_EQ(w.exchangeBox->text(), "");
}

TEST(EntryKeys, LettersAndSpacesMoveAlongTheBoxes)
{
    Harness h(cwOn("15"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("K1ABC 579");
    EXPECT_EQ(w.reportRcvdBox->text(), "579");
    typeKeys("q");  // a letter in the report box starts the exchange
    EXPECT_TRUE(w.exchangeBox->hasFocus());
    EXPECT_EQ(w.exchangeBox->text(), "Q");
    typeKeys("c ");
    EXPECT_EQ(w.exchangeBox->text(), "QC");
    EXPECT_TRUE(w.reportSentBox->hasFocus());
    w.reportSentBox->clear();
    typeKeys("5\"79");  // a quote is dropped in the report sent
    EXPECT_EQ(w.reportSentBox->text(), "579");
    typeKeys("9");  // reports are three characters on CW
    EXPECT_EQ(w.reportSentBox->text(), "579");
    // A letter in the report sent is dropped and moves on, leaving the exchange alone.
    typeKeys("x");
    EXPECT_TRUE(w.powerBox->hasFocus());
    EXPECT_EQ(w.exchangeBox->text(), "QC");
    EXPECT_EQ(w.reportSentBox->text(), "579");
    typeKeys("100w\"");
    EXPECT_EQ(w.powerBox->text(), "100W");
    typeKeys(" ");
    EXPECT_TRUE(w.reportSentBox->hasFocus());
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
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_EQ(w.callBox->text(), "");
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
    for (QLineEdit *box : {w.callBox, w.reportRcvdBox, w.exchangeBox, w.reportSentBox, w.powerBox}) {
        typeKeys(QStringLiteral("VE%1AB ").arg(n));
        box->setFocus();
        w.exchangeBox->setText(ProvinceFromPrefix(QStringLiteral("VE%1AB").arg(n)));
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
        w.powerBox->setFocus();
        w.callBox->setText(c.call);
        w.reportRcvdBox->setText(c.rstr);
        w.exchangeBox->setText(c.cntry);
        w.reportSentBox->setText(c.rsts);
        h.prompter.asked.clear();
        w.Mains();
        EXPECT_EQ(w.messageLine->text(), c.message) << c.call << "/" << c.cntry;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus) << c.call << "/" << c.cntry;
        EXPECT_EQ(h.session->log.RecordCount(), 3);
        EXPECT_EQ(w.callBox->text(), c.call);  // left for correction
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
    EXPECT_EQ(w.exchangeSentLabel->text(), "6");
    EXPECT_EQ(w.multipliersLabel->text(), "2");  // ON on 20 phone and 40 CW

    w.powerBox->setFocus();
    w.callBox->setText("K5ZZ");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("123");
    w.reportSentBox->setText("579");
    h.session->entry.setFrequencyText("14.0251");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(lastLine(h.folders.work("log.txt")),
              "\"K5ZZ\",\"599\",\"6\",\"579\",\"123\",\"2009/07/01\",\"18:04:27\",\"CW\",\"20\",2,\"14.0251\",\"USA\"\r\n");
    EXPECT_EQ(w.exchangeSentLabel->text(), "7");
    EXPECT_EQ(w.multipliersLabel->text(), "2");  // a serial adds no multiplier
    EXPECT_TRUE(h.session->entry.frequencyText().isEmpty());

    w.callBox->setText("VE7ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("bc");
    w.reportSentBox->setText("599");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 5);
    EXPECT_EQ(h.session->log.record(5).ExchangeRcvd, "BC");
    EXPECT_EQ(h.session->log.record(5).Frequency, "");
    EXPECT_EQ(w.multipliersLabel->text(), "3");
    EXPECT_EQ(w.contactsLabel->text(), "5");
    EXPECT_EQ(w.qsoPointsLabel->text(), "44");
    EXPECT_EQ(w.scoreLabel->text(), "132");
    EXPECT_EQ(w.messageLine->text(), "");
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
    EXPECT_EQ(w.messageLine->text(), "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2");
    EXPECT_TRUE(w.messageLine->styleSheet().contains(ColourName(0x0000FF)));
    EXPECT_TRUE(w.callBox->hasFocus());
    for (QLineEdit *box : {w.callBox, w.reportRcvdBox, w.exchangeBox, w.reportSentBox, w.powerBox})
        EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(w.DupeFlag);

    // Keys typed during the announcement wait, then arrive in order.
    typeKeys("K1A");
    EXPECT_EQ(w.callBox->text(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.callBox->text() == "K1A"; }, 3000));
    EXPECT_FALSE(w.DupeFlag);
    typeKeys("B");
    EXPECT_EQ(w.callBox->text(), "K1AB");

    // The same station on another band or mode is a new contact.
    w.cmdClear_Click();
    w.SelectMode("PH");
    typeKeys("W1AW ");
    EXPECT_FALSE(w.DupeFlag);
    EXPECT_EQ(w.callBox->text(), "W1AW");
}

TEST(Dupes, CommittingADupeStoresNothing)
{
    Harness h(cwOn("40"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.dupeHoldMs = 0;
    w.powerBox->setFocus();
    w.callBox->setText("VA3ZEV");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    w.Mains();
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_TRUE(w.messageLine->text().startsWith("Duplicate VA3ZEV"));
    EXPECT_EQ(w.callBox->text(), "");
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
    EXPECT_EQ(w.dupeLine->text(), "W1AW ");
    typeKeys("1A");
    EXPECT_EQ(w.messageLine->text(), " ");
    typeKeys("W");
    EXPECT_EQ(w.messageLine->text(), "Possible Duplicate!");
    typeKeys("X");
    EXPECT_EQ(w.dupeLine->text(), "");

    w.cmdClear_Click();
    h.prompter.asked.clear();
    typeKeys("AB");
    EXPECT_TRUE(h.prompter.asked.isEmpty());
    typeKeys("C");
    EXPECT_EQ(w.messageLine->text(), "The second or third character is not numeric!");
    EXPECT_EQ(h.prompter.asked.size(), 1);
    w.cmdClear_Click();
    typeKeys("K1A");
    EXPECT_EQ(w.messageLine->text(), " ");

    // Switched off, nothing is listed.
    w.cmdDup_Click();
    EXPECT_EQ(w.partialDupesButton->text(), "Off");
    w.cmdClear_Click();
    typeKeys("W1");
    EXPECT_EQ(w.dupeLine->text(), "");
}

TEST(Dupes, ListPreviousContactsShowsEveryEarlierContact)
{
    Harness h(cwOn("15"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuListPrevious_Click();
    EXPECT_TRUE(w.listPreviousAction->isChecked());
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
    QTest::mouseClick(w.bandLabel, Qt::LeftButton);
    EXPECT_EQ(w.bandLabel->text(), "20");
    EXPECT_TRUE(w.bandActions[3]->isChecked());
    EXPECT_FALSE(w.bandActions[2]->isChecked());
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).CurrentBand, "20");
    EXPECT_EQ(w.callBox->text(), "VE3AB");
    // 20 m phone has ON from the log.
    EXPECT_TRUE(w.provinceLabels[3][2]->styleSheet().contains(ColourName(h.session->prefs.WorkedMultColour)));

    QTest::mouseClick(w.modeLabel, Qt::LeftButton);
    EXPECT_EQ(w.modeLabel->text(), "CW");
    EXPECT_TRUE(w.cwAction->isChecked());
    EXPECT_EQ(w.ReportMaxLength, 3);
    EXPECT_FALSE(w.provinceLabels[3][2]->styleSheet().contains(ColourName(h.session->prefs.WorkedMultColour)));
    w.SelectMode("PH");
    EXPECT_EQ(w.ReportMaxLength, 2);

    QTest::mouseClick(w.bandHeadings[0], Qt::LeftButton);
    EXPECT_EQ(w.bandLabel->text(), "160");
    w.SelectBand(7);
    QTest::mouseClick(w.bandLabel, Qt::LeftButton);
    EXPECT_EQ(w.bandLabel->text(), "160");  // the cycle wraps

    QTest::mouseClick(w.provinceLabels[0][6], Qt::LeftButton);
    EXPECT_EQ(w.exchangeBox->text(), "BC");
}

TEST(BandAndMode, ProvinceTotalOnMouseOver)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(w.provinceLabels[5][2], &enter);
    EXPECT_EQ(w.dupeLine->text(), "  Ontario    Total = 2");
}

TEST(Clock, TimeOnOffAndOperatingTime)
{
    Preferences p = Harness::basePrefs();
    p.OperatingSeconds = 3600;
    Harness h(p);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_EQ(w.operatingTimeLabel->text(), "01:00:00");
    EXPECT_EQ(w.utcTimeLabel->text(), "18:04:27");
    EXPECT_EQ(w.localTimeLabel->text(), "2:04:27");
    EXPECT_EQ(w.amPmLabel->text(), "PM");

    QTest::mouseClick(w.timeOnButton, Qt::LeftButton);
    EXPECT_TRUE(h.session->TimeOnActive);
    EXPECT_EQ(w.timeOnButton->text(), "&Log \"Time Off\"");
    EXPECT_TRUE(w.messageLine->text().startsWith("Logged On at ")) << w.messageLine->text().toStdString();
    EXPECT_TRUE(w.messageLine->text().endsWith(" 18:04:27"));
    h.clock.local = h.clock.local.addSecs(5);
    w.Timer2_Timer();
    EXPECT_EQ(w.operatingTimeLabel->text(), "01:00:05");

    QTest::mouseClick(w.timeOnButton, Qt::LeftButton);
    EXPECT_FALSE(h.session->TimeOnActive);
    EXPECT_EQ(w.timeOnButton->text(), "&Log \"Time On\"");
    EXPECT_TRUE(w.messageLine->text().startsWith("Logged Off at ")) << w.messageLine->text().toStdString();
    EXPECT_TRUE(w.messageLine->text().endsWith(" 18:04:32"));
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
    EXPECT_EQ(w.rate20Label->text(), "3");
    EXPECT_EQ(w.rate60Label->text(), "1");
    EXPECT_EQ(w.utcTimeLabel->text(), "00:30:00");
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
    EXPECT_TRUE(w.postContestAction->isChecked());
    EXPECT_TRUE(w.postDateBox->isVisible());

    w.postDateBox->setFocus();
    EXPECT_EQ(w.postDateBox->text(), "2009/07/01");  // today's local date offered
    w.postDateBox->setText("2009/06/30");
    w.postTimeBox->setFocus();
    typeKeys("9a4:5");
    EXPECT_EQ(w.postTimeBox->text(), "94:5");
    w.postTimeBox->setText("945");
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    typeKeys("\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    EXPECT_EQ(h.session->log.record(1).QsoDate, "2009/06/30");
    EXPECT_EQ(h.session->log.record(1).QsoTime, "09:45");

    struct Case {
        const char *date, *time, *message;
    };
    for (const Case c : {Case{"2009/06/30", "2461", "Invalid time format!"},
                         Case{"2009/02/30", "0930", "Invalid date format!"}}) {
        w.postDateBox->setText(c.date);
        w.postTimeBox->setText(c.time);
        w.callBox->setText("VE7ABC");
        w.reportRcvdBox->setText("599");
        w.exchangeBox->setText("BC");
        w.reportSentBox->setText("599");
        w.Mains();
        EXPECT_EQ(w.messageLine->text(), c.message);
        EXPECT_EQ(h.session->log.RecordCount(), 1);
    }
    w.postTimeBox->setText("0930");
    w.Mains();
    EXPECT_EQ(w.messageLine->text(), "Invalid date format!");
    w.postDateBox->setText("2009/06/30");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 2);
    EXPECT_EQ(h.session->log.record(2).QsoTime, "09:30");

    w.mnuPostContest_Click();
    EXPECT_FALSE(w.postDateBox->isVisible());
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
    EXPECT_EQ(w.messageLine->text(), "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2");
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_TRUE(w.DupeFlag);
    EXPECT_EQ(h.session->log.RecordCount(), 3);

    // Only a call typed: the checks send the operator to the exchange, and leaving the
    // call box then fills the reports and the province, ready for the next Enter.
    w.cmdClear_Click();
    typeKeys("VE3ABC\n");
    EXPECT_EQ(w.messageLine->text(), " ");  // the fill answered the complaint
    EXPECT_TRUE(w.exchangeBox->hasFocus());
    EXPECT_EQ(w.reportRcvdBox->text(), "599");
    EXPECT_EQ(w.exchangeBox->text(), "ON");
    EXPECT_EQ(w.reportSentBox->text(), "599");
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
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
    QCoreApplication::sendEvent(w.callBox, &out);
    EXPECT_FALSE(w.DupeFlag);
    EXPECT_EQ(w.callBox->text(), "W1AW");
    EXPECT_EQ(w.reportRcvdBox->text(), "");

    // A report typed on CW survives a change to phone; only further typing is limited.
    w.cmdClear_Click();
    typeKeys("K1ABC 579");
    w.SelectMode("PH");
    EXPECT_EQ(w.reportRcvdBox->text(), "579");
    w.reportRcvdBox->clear();
    typeKeys("579");
    EXPECT_EQ(w.reportRcvdBox->text(), "57");

    // Pasted text follows the typing rules.
    w.callBox->setText("ve3\"abc");
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
    w.reportSentBox->setText("5x9");
    EXPECT_EQ(w.reportSentBox->text(), "59");
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
    w.powerBox->setFocus();
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    w.Mains();
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
    EXPECT_EQ(h.session->entry.frequencyText(), "14.025");
    EXPECT_EQ(h.prompter.asked.last().title, "Contact Not Logged");

    QDir().rmdir(h.folders.work("log.txt"));
    WriteFile(h.folders.work("log.txt"), kThreeContacts);
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(h.session->log.record(4).Frequency, "14.025");
}
