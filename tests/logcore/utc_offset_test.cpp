// The UTC offset: what the station window and the start-up question accept, and clock
// arithmetic that stays sound whatever the preference file holds.

#include "logcore/contest_clock.h"
#include "window_harness.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <limits>

using namespace zevtest;

TEST(UtcOffsetText, OnlyAPlainNumberFromMinus24To24)
{
    struct Case {
        const char *text;
        std::optional<double> hours;
    };
    const Case cases[] = {
        {"5", 5},          {"-3.5", -3.5},      {"+4", 4},           {".5", 0.5},        {"5.", 5},
        {" 24 ", 24},      {"-24", -24},        {"0", 0},            {"24.01", {}},      {"-25", {}},
        {"1e17", {}},      {"1E2", {}},         {"0x10", {}},        {"", {}},           {"-", {}},
        {".", {}},         {"--5", {}},         {"5-", {}},          {"1/2", {}},        {"nan", {}},
        {"inf", {}},       {"1.2.3", {}},       {"5 5", {}},         {"99999999999999999999", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UtcOffsetFromText(QString::fromLatin1(c.text)), c.hours) << c.text;
    // Digits of other scripts are not digits here.
    EXPECT_FALSE(UtcOffsetFromText(QString::fromUtf8("\u0665")).has_value());
}

TEST(UtcOffsetText, AnyStoredOffsetGivesAValidUtcTime)
{
    const QDateTime local(QDate(2009, 7, 1), QTime(21, 0, 0));
    const QDateTime asUtc(local.date(), local.time(), Qt::UTC);
    const double unusable[] = {1e17,
                               -1e17,
                               1e300,
                               25,
                               -24.5,
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    for (double offset : unusable) {
        EXPECT_FALSE(IsValidUtcOffset(offset)) << offset;
        // Counted as no offset at all, never as an overflowed one.
        EXPECT_EQ(UtcFromLocal(local, offset), asUtc) << offset;
        EXPECT_EQ(UtcFromLocalWholeHours(local, offset), asUtc) << offset;
        EXPECT_EQ(UtcClockText(local.time(), offset), "21:00:00") << offset;
    }
    EXPECT_EQ(UtcFromLocal(local, 24), asUtc.addDays(1));
    EXPECT_EQ(UtcFromLocal(local, -24), asUtc.addDays(-1));
    EXPECT_EQ(UtcFromLocalWholeHours(local, 3.5), asUtc.addSecs(4 * 3600));
    EXPECT_EQ(UtcClockText(local.time(), -23.75), "21:15:00");
}

TEST(UtcOffsetBox, StationWindowRefusesAPastedExponentOrAnOutOfRangeValue)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    {
        StationWindow w(*h.session);
        w.show();
        QApplication::setActiveWindow(&w);
        QGuiApplication::clipboard()->setText("1e17");
        w.Text6->setFocus();
        w.Text6->selectAll();
        QTest::keyClick(w.Text6, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(w.Text6->text(), "117");  // the box's keys take no "e"
        h.prompter.asked.clear();
        w.Text1->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(h.prompter.asked.size(), 2);
        EXPECT_EQ(h.prompter.asked[0].kind, "beep");
        EXPECT_EQ(h.prompter.asked[1].title, "Invalid UTC Offset");
        EXPECT_TRUE(h.prompter.asked[1].text.contains("from -24 to 24")) << h.prompter.asked[1].text.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.Text6->hasFocus(); }, 1000));

        QTest::mouseClick(w.Command1, Qt::LeftButton);
        EXPECT_NE(w.result(), QDialog::Accepted);
        EXPECT_EQ(h.prompter.asked.last().title, "Invalid UTC Offset");

        w.Text6->selectAll();
        QTest::keyClicks(w.Text6, "-3.5");
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
    // A hand-edited preference file's offset is shown as it is and cannot be kept.
    h.session->prefs.UtcOffsetHours = 1e17;
    StationWindow w(*h.session);
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_EQ(w.Text6->text(), "100000000000000000");
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_EQ(h.prompter.asked.last().title, "Invalid UTC Offset");
    // Enter stores 0 as for any offset that is not a number, and says so.
    QTest::keyClick(w.Text6, Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.Text6->text(), "0");
    EXPECT_TRUE(h.prompter.asked.last().text.contains("0 is stored"));
}

TEST(UtcOffsetBox, StartUpAnswerMustBeAPlainNumberInRange)
{
    struct Case {
        QString answer;
        double stored;
        bool refused;
    };
    const Case cases[] = {
        {"1e17", 5, true},
        {"25", 5, true},
        {"0x4", 5, true},
        {"-3.5", -3.5, false},
        {"+4", 4, false},
    };
    for (const Case &c : cases) {
        Preferences p = Harness::basePrefs();
        p.UtcOffsetHours = 5;  // the machine says 4
        Harness h(p);
        h.prompter.answers = {c.answer, true};
        h.start();
        ASSERT_GE(h.prompter.asked.size(), 1);
        EXPECT_EQ(h.prompter.asked[0].title, "Update the Local Time / UTC Offset?");
        EXPECT_EQ(h.session->prefs.UtcOffsetHours, c.stored) << c.answer.toStdString();
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).UtcOffsetHours, c.stored) << c.answer.toStdString();
        const bool told = std::any_of(h.prompter.asked.begin(), h.prompter.asked.end(), [](const Asked &a) {
            return a.title == "Invalid UTC Offset" && a.text.contains("The offset stays at 5.");
        });
        EXPECT_EQ(told, c.refused) << c.answer.toStdString();
    }
}

TEST(UtcOffsetBox, AStoredHugeOffsetStillLogsADateAndTime)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "CW";
    p.CurrentBand = "20";
    Harness h(p);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    h.session->prefs.UtcOffsetHours = 1e17;  // as a hand-edited preference file may hold it
    w.Timer2_Timer();
    EXPECT_EQ(w.utcTimeLabel->text(), "14:04:27");
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    EXPECT_EQ(h.session->log.record(4).QsoDate, "2009/07/01");
    EXPECT_EQ(h.session->log.record(4).QsoTime, "14:04:27");
    w.cmdLogOn_Click();  // time off
    EXPECT_TRUE(w.messageLine->text().endsWith(" 14:04:27")) << w.messageLine->text().toStdString();
}
