// Spots on the logging window know the log: worked stations are marked as duplicates,
// missing provinces as new multipliers, and Ctrl+Up / Ctrl+Down step through the band.

#include "radio_emulator.h"
#include "window_harness.h"

#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/rig_settings.h"
#include "spotting/band_map_widget_ui.h"
#include "spotting/spot_intake.h"
#include "spotting/spot_list_ui.h"
#include "spotting/spot_service_device.h"

#include <QLabel>
#include <QTreeWidget>

using namespace zevtest;

namespace {

ContactRecord Contact(const char *call, const char *exchange)
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = "59";
    r.ReportSent = "59";
    r.ExchangeRcvd = exchange;
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:30:00";
    r.Mode = "PH";
    r.Band = "40";
    r.Points = 10;
    r.Country = "Canada";
    return r;
}

}  // namespace

TEST(SpotMarks, BandMapAndSpotListFollowEveryChangeOfTheLog)
{
    // 40 m phone; the log has ON on 40 CW only and W1AW on 20 CW.
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    ASSERT_EQ(h.session->prefs.CurrentBand, "40");
    ASSERT_EQ(h.session->prefs.CurrentMode, "PH");
    const QString path = h.folders.work("log.txt");
    SpotIntake &intake = h.stationLinks->spots().intake();
    const struct {
        const char *call;
        float mhz;
        const char *text;
    } spots[] = {{"VE3AAA", 7.080f, "7.08"}, {"VE7BBB", 7.090f, "7.09"}, {"W1AW", 7.100f, "7.1"}};
    for (const auto &s : spots) {
        h.session->spots.add(s.call, s.mhz, h.clock.utcNow(), QString(s.call).left(2));
        SpotRow row;
        row.Call = s.call;
        row.Frequency = s.text;
        emit intake.spotAdded(row);
    }
    w.bandMap->resize(800, 120);
    w.SelectBand(2);  // 40, as the strip shows it when it comes up
    // Call -> mark, as the band map and the spot list show it.
    auto marks = [&] {
        w.bandMap->relayout();
        QStringList out;
        for (const auto &s : spots) {
            QString map = "?";
            for (const MapLabel &l : w.bandMap->labels())
                if (l.call == s.call)
                    map = SpotStatusText(l.mark);
            QString list = "?";
            for (int i = 0; i < w.spotList->topLevelItemCount(); ++i)
                if (w.spotList->topLevelItem(i)->text(0) == s.call)
                    list = w.spotList->topLevelItem(i)->text(3);
            out << QString("%1 %2/%3").arg(s.call, map, list);
        }
        return out;
    };
    EXPECT_EQ(marks(), QStringList({"VE3AAA mult/mult", "VE7BBB mult/mult", "W1AW /"}));
    // The screen reader hears the mark with the spot.
    QTest::keyClick(w.bandMap, Qt::Key_Home);
    auto *spotRead = w.bandMap->findChild<QLabel *>("lblSpotFocus");
    ASSERT_NE(spotRead, nullptr);
    EXPECT_TRUE(spotRead->text().startsWith("VE3AAA  7.080  ")) << spotRead->text().toStdString();
    EXPECT_TRUE(spotRead->text().endsWith(" mult, 1 of 3")) << spotRead->text().toStdString();

    ASSERT_TRUE(h.session->log.store(path, Contact("VE7BBB", "BC"), nullptr));
    EXPECT_EQ(marks(), QStringList({"VE3AAA mult/mult", "VE7BBB dupe/dupe", "W1AW /"}));
    // A worked station is drawn grey; a new multiplier is bold in the list.
    for (const MapLabel &l : w.bandMap->labels())
        if (l.call == "VE7BBB")
            EXPECT_EQ(l.colour, 0x808080u);
    EXPECT_TRUE(w.spotList->findItems("VE3AAA", Qt::MatchExactly).value(0)->font(0).bold());

    ASSERT_TRUE(h.session->log.store(path, Contact("VE3CCC", "ON"), nullptr));
    EXPECT_EQ(marks(), QStringList({"VE3AAA /", "VE7BBB dupe/dupe", "W1AW /"}));
    EXPECT_FALSE(w.spotList->findItems("VE3AAA", Qt::MatchExactly).value(0)->font(0).bold());

    // An edit: VE3CCC was in Manitoba after all, so Ontario is missing again.
    const int n = h.session->log.RecordCount();
    ASSERT_TRUE(h.session->log.replace(path, n, Contact("VE3CCC", "MB"), nullptr));
    EXPECT_EQ(marks(), QStringList({"VE3AAA mult/mult", "VE7BBB dupe/dupe", "W1AW /"}));

    // A deleted contact frees the station again.
    ASSERT_TRUE(h.session->log.remove(path, n - 1, nullptr));
    EXPECT_EQ(marks(), QStringList({"VE3AAA mult/mult", "VE7BBB mult/mult", "W1AW /"}));

    // Another mode changes what is worked: on CW, W1AW is still new on 40 and Ontario is worked.
    w.SelectMode("CW");
    EXPECT_EQ(marks(), QStringList({"VE3AAA /", "VE7BBB mult/mult", "W1AW /"}));

    // A contact logged from the keyboard.
    h.activate();
    w.callBox->setFocus();
    typeKeys("VE7BBB599BC\n");
    ASSERT_EQ(h.session->log.record(h.session->log.RecordCount()).Call, "VE7BBB");
    EXPECT_EQ(marks(), QStringList({"VE3AAA /", "VE7BBB dupe/dupe", "W1AW /"}));
}

TEST(SpotMarks, CtrlUpAndDownTakeTheNextSpotFromTheRadiosFrequency)
{
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    Preferences p = Harness::basePrefs();
    p.CurrentBand = "20";
    p.RigName = "Kenwood";
    Harness h(p);
    ASSERT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
    WriteRigLink(h, KenwoodLink());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return h.session->entry.frequencyHz() == 14025000 && h.session->prefs.CurrentMode == "CW"; }, 10000));
    const QDateTime now = h.clock.utcNow();
    h.session->spots.add("K1AAA", 14.010f, now, "K");
    h.session->spots.add("W1AW", 14.030f, now, "W");   // worked on 20 CW
    h.session->spots.add("VE7BBB", 14.040f, now, "VE");
    h.session->spots.add("DL1CCC", 7.020f, now, "DL");  // another band

    const struct {
        Qt::Key key;
        const char *message;
        const char *call;
        QByteArray sent;  // empty: the radio is not tuned
    } steps[] = {
        {Qt::Key_Up, "W1AW 14.030 dupe", "W1AW", "FA00014030000;"},
        // Before the radio reports the new frequency, the next step goes on from the spot.
        {Qt::Key_Up, "VE7BBB 14.040 mult", "VE7BBB", "FA00014040000;"},
        {Qt::Key_Up, "No spot up the band", "VE7BBB", {}},
        {Qt::Key_Down, "W1AW 14.030 dupe", "W1AW", "FA00014030000;"},
        {Qt::Key_Down, "K1AAA 14.010", "K1AAA", "FA00014010000;"},
        {Qt::Key_Down, "No spot down the band", "K1AAA", {}},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.message);
        radio.heard.clear();
        QTest::keyClick(w.callBox, s.key, Qt::ControlModifier);
        EXPECT_EQ(w.messageLine->text(), s.message);
        EXPECT_EQ(w.callBox->text(), s.call);
        EXPECT_EQ(h.session->entry.call(), s.call);
        if (!s.sent.isEmpty())
            EXPECT_TRUE(QTest::qWaitFor([&] { return radio.heard.contains(s.sent); }, 10000))
                << radio.heard.toStdString();
    }
    // The speed keys (plain Up and Down) are left to the keyer.
    QTest::keyClick(w.callBox, Qt::Key_Up);
    EXPECT_EQ(w.callBox->text(), "K1AAA");
    w.rigLink().Stop();
}
