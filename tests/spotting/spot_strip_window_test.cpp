// The spot strip of the logging window: a spot chosen on the band map or the spectrum map
// goes into the call box and tunes the radio.

#include "radio_emulator.h"
#include "window_harness.h"

#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/rig_settings.h"
#include "spotting/band_map_widget_ui.h"
#include "spotting/packet_spot_window.h"
#include "spotting/hf_map_window.h"
#include "spotting/spot_intake.h"
#include "spotting/spot_list_ui.h"
#include "spotting/spot_text.h"
#include "spot_servers.h"

#include <QAction>
#include <QLabel>
#include <QTreeWidget>

using namespace zevtest;

namespace {

// The logging window polling a Kenwood radio on port 3.
Preferences KenwoodPrefs()
{
    Preferences p = Harness::basePrefs();
    p.CurrentBand = "20";
    p.RigName = "Kenwood";
    return p;
}

struct TestStation {
    Emulator radio;
    Harness h{KenwoodPrefs(), QByteArray()};
    TestStation()
    {
        radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
        EXPECT_TRUE(PortMap(*h.registry).setDevice(3, radio.path()));
        zevtest::WriteRigLink(h, zevtest::KenwoodLink());
        h.prompter.answers = {true};
        h.start();
        h.activate();
    }
};

}  // namespace

TEST(SpotStrip, ASpotChosenOnTheBandMapFillsTheCallAndTunesTheRadio)
{
    TestStation st;
    MainWindow &w = *st.h.window;
    ASSERT_TRUE(w.rigLink().polling());
    emit w.bandMap->spotChosen("VE3ABC", 14.021f);
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
    // The call is taken as if typed: the focus moved on.
    EXPECT_FALSE(w.callBox->hasFocus());
    EXPECT_TRUE(QTest::qWaitFor([&] { return st.radio.heard.contains("FA00014021000;"); }, 10000))
        << st.radio.heard.toStdString();

    // A row of the spot list tunes the radio too, and fills the call box without a Tab.
    SpotRow row;
    row.Call = "JA1XYZ";
    row.Frequency = "14.03";
    AddSpotRow(w.spotList, row);
    emit w.spotList->itemClicked(w.spotList->topLevelItem(0), 0);
    EXPECT_EQ(w.callBox->text(), "JA1XYZ");
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_TRUE(QTest::qWaitFor([&] { return st.radio.heard.contains("FA00014030000;"); }, 10000))
        << st.radio.heard.toStdString();
    w.rigLink().Stop();
}

TEST(SpotStrip, ASpotTunesTheRadioToItsExactFrequency)
{
    struct Case {
        bool list;         // a row of the spot list, else the band map
        const char *text;  // the list's frequency text, or the band map's MHz
        QByteArray sent;
    };
    const Case cases[] = {
        {false, "144.2", "FA00144200000;"},   {false, "24.94", "FA00024940000;"},
        {false, "21.3", "FA00021300000;"},    {true, "21.0255", "FA00021025500;"},
        {true, "144.2001", "FA00144200100;"}, {true, "435.1234", "FA00435123400;"},
    };
    TestStation st;
    MainWindow &w = *st.h.window;
    ASSERT_TRUE(w.rigLink().polling());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        st.radio.heard.clear();
        if (c.list) {
            SpotRow row;
            row.Call = "JA1XYZ";
            row.Frequency = c.text;
            AddSpotRow(w.spotList, row);
            emit w.spotList->itemClicked(w.spotList->topLevelItem(0), 0);
        } else {
            emit w.bandMap->spotChosen("VE3ABC", QByteArray(c.text).toFloat());
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return st.radio.heard.contains(c.sent); }, 10000))
            << st.radio.heard.toStdString();
    }
    w.rigLink().Stop();
}

TEST(SpotStrip, TheSpectrumMapOpensModalAndItsSpotFillsTheCallBox)
{
    TestStation st;
    MainWindow &w = *st.h.window;
    int shown = 0;
    st.h.otherModal = [&](QDialog &d) {
        auto *map = qobject_cast<SpectrumMapWindow *>(&d);
        ASSERT_NE(map, nullptr);
        ++shown;
        emit map->spotChosen("K1ABC", 7.025f);
    };
    auto *entry = w.findChild<QAction *>("mnuViewSpwctrumMap");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    entry->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(w.callBox->text(), "K1ABC");
    EXPECT_TRUE(w.callBox->hasFocus());  // no Tab from the spectrum map
    EXPECT_TRUE(QTest::qWaitFor([&] { return st.radio.heard.contains("FA00007025000;"); }, 10000));
    // Ctrl+B opens it too.
    QTest::keyClick(w.callBox, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(shown, 2);
    w.rigLink().Stop();
}

TEST(SpotStrip, TheBandMapFollowsTheBand)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    h.session->spots.add("VE3ABC", 7.025f, h.clock.utcNow(), "VE");
    h.session->spots.add("K1ABC", 14.025f, h.clock.utcNow(), "K");
    w.bandMap->resize(800, 120);
    auto drawnCalls = [&] {
        w.bandMap->relayout();
        QStringList calls;
        for (const MapLabel &l : w.bandMap->labels())
            calls << l.call;
        return calls;
    };
    w.SelectBand(2);  // 40
    EXPECT_EQ(drawnCalls(), QStringList{"VE3ABC"});
    w.SelectBand(3);
    EXPECT_EQ(drawnCalls(), QStringList{"K1ABC"});
    // Pointing at a spot shows it in the possible-duplicates box.
    emit w.bandMap->spotHovered("K1ABC  14.025  18:00:00");
    EXPECT_EQ(w.dupeLine->text(), "K1ABC  14.025  18:00:00");
}

TEST(SpotStrip, SpotsFromAClusterReachTheListAndTheMapAndARowIsWorked)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    cluster.pieces << StandardSpot("W3LPL", "14025.0", "K1ABC", "CW", "1234").toLatin1() + "\r\n";
    // The operator's own call spotted.
    cluster.pieces << StandardSpot("W3LPL", "14026.0", "VE3XYZ", "CW", "1235").toLatin1() + "\r\n";
    Harness h(Harness::basePrefs(), QByteArray());
    PackSpotSettings s;
    s.SpotConnectionType = "Telnet";
    s.TelnetHost = "127.0.0.1";
    s.TelnetPort = QString::number(cluster.port());
    s.OptList = true;
    zevtest::WriteFile(h.folders.work("PackSpot.txt"), FormatPackSpot(s));
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    h.activate();
    // Ctrl+D brings the spot window up, which opens the saved link.
    QTest::keyClick(w.callBox, Qt::Key_D, Qt::ControlModifier);
    ASSERT_NE(w.spotWindowIfLoaded(), nullptr);
    EXPECT_TRUE(w.spotWindowIfLoaded()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.spotList->topLevelItemCount() == 2; }, 10000));
    EXPECT_EQ(w.spotList->topLevelItem(1)->text(0), "K1ABC");
    EXPECT_EQ(h.session->spots.slot(SpotStore::kSlots - 2).SpotCall, "K1ABC");
    EXPECT_EQ(w.messageLine->text(), "You've been spotted! ");
    EXPECT_TRUE(w.dupeLine->text().startsWith("You've been spotted!  "));
    EXPECT_TRUE(w.dupeLine->styleSheet().contains("white"));
    // With no radio chosen a row only fills the call box.
    h.activate();
    emit w.spotList->itemClicked(w.spotList->topLevelItem(1), 0);
    EXPECT_EQ(w.callBox->text(), "K1ABC");
    EXPECT_FALSE(w.rigLink().polling());

    // Done with "List" chosen shows the list in the strip.
    w.spotWindowIfLoaded()->Done();
    EXPECT_TRUE(w.spotList->isVisible());
    EXPECT_FALSE(w.bandMap->isVisible());
    // A click on the row puts its call in the call box.
    h.activate();
    emit w.spotList->itemClicked(w.spotList->topLevelItem(0), 0);
    EXPECT_EQ(w.callBox->text(), "VE3XYZ");
    EXPECT_TRUE(w.callBox->hasFocus());
}

TEST(SpotStrip, TheLoggingWindowsLookStaysOffTheWindowsItOwns)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    // The spot window has labels named like the logging window's big ones.
    QLabel *own = w.ownCallLabel;
    QLabel *theirs = w.spotWindow().findChild<QLabel *>("Label2");
    ASSERT_NE(theirs, nullptr);
    ASSERT_NE(own, theirs);
    own->ensurePolished();
    theirs->ensurePolished();
    EXPECT_TRUE(own->font().bold());
    EXPECT_FALSE(theirs->font().bold());
}

TEST(SpotStrip, ASavedLinkFeedsTheStripFromStartUpWithoutTheSetupWindow)
{
    zevtest::ClusterServer cluster;
    cluster.stayOpen = true;
    cluster.pieces << StandardSpot("W3LPL", "14025.0", "K1ABC", "CW", "1234").toLatin1() + "\r\n";
    Harness h(Harness::basePrefs(), QByteArray());
    PackSpotSettings s;
    s.SpotConnectionType = "Telnet";
    s.TelnetHost = "127.0.0.1";
    s.TelnetPort = QString::number(cluster.port());
    s.OptList = true;
    zevtest::WriteFile(h.folders.work("PackSpot.txt"), FormatPackSpot(s));
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    // The list the settings chose is shown at once.
    EXPECT_FALSE(w.spotList->isHidden());
    EXPECT_TRUE(w.bandMap->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.spotList->topLevelItemCount() == 1; }, 10000));
    EXPECT_EQ(w.spotList->topLevelItem(0)->text(0), "K1ABC");
    EXPECT_EQ(h.session->spots.slot(SpotStore::kSlots - 1).SpotCall, "K1ABC");
    EXPECT_EQ(w.spotWindowIfLoaded(), nullptr);
}

TEST(SpotStrip, AnEngineThatIsNotThereAtStartUpBringsUpTheSetupWindow)
{
    QTcpServer gone;
    gone.listen(QHostAddress::LocalHost, 0);
    const quint16 port = gone.serverPort();
    gone.close();
    Harness h(Harness::basePrefs(), QByteArray());
    PackSpotSettings s;
    s.SpotConnectionType = "AGW Packet Engine";
    zevtest::WriteFile(h.folders.work("PackSpot.txt"), FormatPackSpot(s));
    zevtest::WriteFile(h.folders.work("AgwEngine.txt"), "\"127.0.0.1\"\r\n" + QByteArray::number(port) + "\r\n");
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.spotWindowIfLoaded() && w.spotWindowIfLoaded()->isVisible(); }, 10000));
    EXPECT_TRUE(h.prompter.titles().contains("Unable to connect to the AGW Packet Engine."));
    EXPECT_EQ(w.spotWindowIfLoaded()->lblLinkState->text(), "Unable to connect to the AGW Packet Engine.");
    EXPECT_TRUE(w.spotWindowIfLoaded()->Label4->isHidden());
}
