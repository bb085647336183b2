// The radio steers the logging window's band and mode; the contact keeps its frequency.

#include "window_harness.h"

#include <QLabel>

#include "rig/rig_link.h"

using namespace zevtest;

namespace {

Preferences on(const char *mode, const char *band)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = mode;
    p.CurrentBand = band;
    return p;
}

}  // namespace

TEST(RigSteering, TheBandFollowsTheRadioOnlyWhenItChanges)
{
    Harness h(on("CW", "15"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    // The preference file as the program would not write it: any save would show.
    QByteArray prefs = zevtest::ReadFile(h.folders.work("zevpref.txt"));
    prefs.replace("\r\n", "\n");
    zevtest::WriteFile(h.folders.work("zevpref.txt"), prefs);

    struct Case {
        qint64 hz;
        const char *band;       // the window's band afterwards
        const char *frequency;  // kept for the next contact
        bool saved;             // the band changed, so the preferences were written
    };
    const Case cases[] = {
        {21200000, "15", "21.200", false},
        {10120000, "15", "10.120", false},  // outside the contest bands
        {14350100, "15", "14.350", false},
        {14025000, "20", "14.025", true},
        {14026000, "20", "14.026", false},
        {2000100, "20", "2.000", false},
        {7000000, "40", "7.000", true},
        {21299999, "15", "21.300", true},
    };
    for (const Case &c : cases) {
        const QByteArray before = zevtest::ReadFile(h.folders.work("zevpref.txt"));
        w.BandFreqConversion(c.hz);
        EXPECT_EQ(h.session->prefs.CurrentBand, c.band) << c.hz;
        EXPECT_EQ(w.bandLabel->text(), c.band) << c.hz;
        EXPECT_EQ(h.session->entry.frequencyText(), c.frequency) << c.hz;
        EXPECT_EQ(zevtest::ReadFile(h.folders.work("zevpref.txt")) != before, c.saved) << c.hz;
    }
}

TEST(RigSteering, TheModeFollowsCwAndPhoneOnly)
{
    struct Case {
        const char *current, *radio, *after;
    };
    const Case cases[] = {
        {"CW", "cw", "CW"}, {"PH", "cw", "CW"}, {"CW", "PH", "PH"}, {"CW", "", "CW"},
        {"CW", "FM", "CW"}, {"PH", "AM", "PH"},
    };
    for (const Case &c : cases) {
        Harness h(on(c.current, "20"));
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.ModeSelection(c.radio);
        EXPECT_EQ(h.session->prefs.CurrentMode, c.after) << c.current << " + " << c.radio;
        EXPECT_EQ(w.modeLabel->text(), c.after) << c.current << " + " << c.radio;
    }
}

TEST(RigSteering, AContactCarriesTheFrequencyReportedSinceTheLastOne)
{
    Harness h(on("CW", "40"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.BandFreqConversion(qint64(14025000));
    typeKeys("VE3ABC599ON\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    EXPECT_EQ(h.session->log.record(1).Band, "20");
    EXPECT_EQ(h.session->log.record(1).Frequency, "14.025");
    // No report since: the next contact carries none.
    typeKeys("VE7ABC599BC\n");
    ASSERT_EQ(h.session->log.RecordCount(), 2);
    EXPECT_EQ(h.session->log.record(2).Frequency, "");
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(h.folders.work("log.txt"), onDisk).ok);
    ASSERT_EQ(onDisk.size(), 2u);
    EXPECT_EQ(onDisk[0].Frequency, "14.025");
}

TEST(RigSteering, AReadingDuringADialogWaitsUntilItCloses)
{
    Harness h(on("PH", "40"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QString bandInside, modeInside;
    int recordsInside = -1;
    h.otherModal = [&](QDialog &) {
        // The radio moves while the edit window is open.
        emit w.rigLink().frequencyRead(qint64(14025000));
        emit w.rigLink().modeRead("CW");
        bandInside = h.session->prefs.CurrentBand;
        modeInside = h.session->prefs.CurrentMode;
        recordsInside = h.session->log.RecordCount();
    };
    selectRecord(w, 2);
    w.cmdEdit_Click();
    EXPECT_EQ(bandInside, "40");
    EXPECT_EQ(modeInside, "PH");
    EXPECT_EQ(recordsInside, 3);
    // Once it has closed, the newest reading is applied.
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->prefs.CurrentBand == "20"; }, 2000));
    EXPECT_EQ(h.session->prefs.CurrentMode, "CW");
    EXPECT_EQ(h.session->entry.frequencyText(), "14.025");
}

TEST(RigSteering, ABandOrModeTakenFromTheRadioIsHeardOncePerChange)
{
    struct Case {
        const char *what;
        qint64 hz;
        const char *mode;
        QStringList heard;
    };
    const Case cases[] = {
        {"band and mode in one reply", 14025000, "CW", {"Band 20 m, Mode CW"}},
        {"band only", 14200000, "PH", {"Band 20 m"}},
        {"mode only", 7025000, "CW", {"Mode CW"}},
        {"nothing changes", 7150000, "PH", {}},
        {"outside the bands, AM", 10120000, "AM", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(on("PH", "40"));
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.cmdLogOn_Click();
        QCoreApplication::processEvents();
        AccessibilityEvents a11y;
        // The radio's reply, then the next polls with the same reading.
        for (int poll = 0; poll < 3; ++poll) {
            emit w.rigLink().frequencyRead(c.hz);
            emit w.rigLink().modeRead(c.mode);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(a11y.spoken(w.messageLine), c.heard);
        EXPECT_EQ(QApplication::focusWidget(), w.callBox);
    }
}
