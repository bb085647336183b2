#include "spotting/spot_intake.h"

#include "logcore/prefix_table.h"
#include "spot_servers.h"
#include "spotting/spot_list_ui.h"
#include "spotting/spot_store.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

struct Rig {
    SpotStore store;
    PrefixTable prefixes;
    zevtest::FakeClock clock;
    SpotIntake intake{store, prefixes, clock};
    QList<SpotRow> rows;
    QStringList alerts;
    int beeps = 0;

    Rig()
    {
        prefixes.entries = {{"K", "USA", "NA", 0, 0}, {"VE", "Canada", "NA", 0, 0}};
        intake.myCall = [] { return QStringLiteral("VE3ZZZ"); };
        QObject::connect(&intake, &SpotIntake::spotAdded, [this](const SpotRow &r) { rows.append(r); });
        QObject::connect(&intake, &SpotIntake::ownCallSpotted,
                         [this](const QString &d, const QString &dupe) { alerts << d << dupe; });
        QObject::connect(&intake, &SpotIntake::beep, [this] { ++beeps; });
    }
    QStringList calls() const
    {
        QStringList c;
        for (const SpotRow &r : rows)
            c << r.Call;
        return c;
    }
};

QByteArray Lines(const QStringList &lines, const char *end = "\r\n")
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + end;
    return out;
}

const QStringList kSpots = {
    StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW 23 dB 28 WPM CQ", "1234"),
    StandardSpot("K1TTT", "7010.0", "K1ABC", "up 2", "1235"),
    StandardSpot("W3LPL-#", "21030.0", "JA1XYZ", "CW 12 dB 30 WPM CQ", "1236"),
};

}  // namespace

TEST(TelnetIntake, EverySpotOfAStreamSplitAnywhereArrivesOnce)
{
    const QByteArray stream = QByteArray("login: ") + Lines({"Hello VE3ZZZ, this is the cluster"}) +
                              Lines(kSpots) + Lines({"To ALL de W1AW: QST"}, "\n") + Lines({kSpots[0]}, "\r");
    const QStringList expected = {"VE3ABC", "K1ABC", "JA1XYZ", "VE3ABC"};
    for (int cut = 1; cut <= 40; cut += 3) {
        Rig r;
        for (qsizetype at = 0; at < stream.size(); at += cut)
            r.intake.takeTelnet(stream.mid(at, cut));
        EXPECT_EQ(r.calls(), expected) << "pieces of " << cut;
        // Everything is shown once, line ends as CR LF.
        EXPECT_EQ(r.intake.monitor().count(QStringLiteral("VE3ABC")), 2);
        EXPECT_TRUE(r.intake.monitor().startsWith(QStringLiteral("login: Hello")));
        EXPECT_TRUE(r.intake.monitor().contains(QStringLiteral("QST\r\nDX de")));
    }
}

TEST(TelnetIntake, ListDxOnlyShowsSpotLinesOnly)
{
    Rig r;
    r.intake.dxOnly = true;
    r.intake.takeTelnet(Lines({"To ALL de W1AW: QST", kSpots[0], "WWV de W0MU <18>: SFI=69"}));
    EXPECT_EQ(r.intake.monitor(), kSpots[0] + QStringLiteral("\r\n"));
    EXPECT_EQ(r.calls(), QStringList{"VE3ABC"});
}

TEST(TncIntake, FirstPartialLineIsDroppedAndRepeatsAreShownOnce)
{
    Rig r;
    // The port opened in the middle of a spot line.
    r.intake.takeTnc(kSpots[1].mid(5).toLatin1() + "\r\n");
    EXPECT_TRUE(r.rows.isEmpty());
    // A TNC ends lines with CR alone.
    r.intake.takeTnc(Lines({kSpots[0]}, "\r"));
    r.intake.takeTnc(Lines({kSpots[0]}, "\r"));  // digipeated again
    r.intake.takeTnc(Lines({"cmd:"}, "\r"));
    r.intake.takeTnc(Lines({kSpots[2]}, "\r").left(20));
    EXPECT_EQ(r.calls(), QStringList{"VE3ABC"});
    EXPECT_EQ(r.intake.monitor().count(QStringLiteral("VE3ABC")), 1);
    EXPECT_TRUE(r.intake.monitor().contains(QStringLiteral("cmd:\r\n")));
    r.intake.takeTnc(Lines({kSpots[2]}, "\r").mid(20));
    EXPECT_EQ(r.calls(), (QStringList{"VE3ABC", "JA1XYZ"}));
    // With "List DX Only" other text is not shown.
    r.intake.dxOnly = true;
    r.intake.takeTnc("another comment\r");
    EXPECT_FALSE(r.intake.monitor().contains(QStringLiteral("another comment")));
}

TEST(AgwIntake, MonitoredSpotsConnectedDataAndDisconnect)
{
    Rig r;
    QSignalSpy connected(&r.intake, &SpotIntake::agwConnected);
    QSignalSpy disconnected(&r.intake, &SpotIntake::agwDisconnected);
    AgwFrame mon;
    mon.kind = 'U';
    mon.callFrom = "W1AW";
    mon.data = " 1:Fm W1AW To DX <UI pid=F0 Len=75 >[12:00:00]\r" + kSpots[0].toLatin1() + "\r";
    r.intake.takeAgw(mon);
    r.intake.takeAgw(mon);  // heard twice: stored once
    AgwFrame beacon;
    beacon.kind = 'U';
    beacon.callFrom = "N0CALL";
    beacon.data = " 1:Fm N0CALL To BEACON <UI>\rDigi on 145.010\r";
    r.intake.takeAgw(beacon);
    EXPECT_EQ(r.calls(), QStringList{"VE3ABC"});
    EXPECT_TRUE(r.intake.monitor().contains(QStringLiteral("UN0CALL  1:Fm N0CALL")));

    AgwFrame c;
    c.kind = 'c';
    c.callFrom = "VE7CC";
    c.data = "*** CONNECTED With Station VE7CC\r";
    r.intake.takeAgw(c);
    ASSERT_EQ(r.intake.agwConnectedCall(), "VE7CC");
    EXPECT_EQ(connected.count(), 1);
    // Connected data, one line split over two frames: "D" is data, never a disconnect.
    AgwFrame d1, d2;
    d1.kind = d2.kind = 'D';
    d1.callFrom = d2.callFrom = "VE7CC";
    d1.data = kSpots[1].left(30).toLatin1();
    d2.data = kSpots[1].mid(30).toLatin1() + "\r" + kSpots[2].toLatin1() + "\r";
    r.intake.takeAgw(d1);
    EXPECT_EQ(r.intake.agwConnectedCall(), "VE7CC");
    r.intake.takeAgw(d2);
    EXPECT_EQ(r.calls(), (QStringList{"VE3ABC", "K1ABC", "JA1XYZ"}));
    // Data from another station is not ours.
    AgwFrame other = d2;
    other.callFrom = "W9XX";
    r.intake.takeAgw(other);
    EXPECT_EQ(r.rows.size(), 3);

    AgwFrame bye;
    bye.kind = 'd';
    bye.callFrom = "VE7CC";
    const int beepsBefore = r.beeps;
    r.intake.takeAgw(bye);
    EXPECT_TRUE(r.intake.agwConnectedCall().isEmpty());
    EXPECT_EQ(disconnected.count(), 1);
    EXPECT_EQ(r.beeps - beepsBefore, 2);
    EXPECT_TRUE(r.intake.monitor().contains(QStringLiteral("** Disconnected from VE7CC **")));
}

TEST(AgwIntake, OnlyAStationAddressIsTakenAsTheConnectedStation)
{
    for (const char *sender : {"VE7\aCC", "<b>X</b>", "TOOLONGCALL", "VE7CC-16"}) {
        Rig r;
        AgwFrame c;
        c.kind = 'c';
        c.callFrom = sender;
        r.intake.takeAgw(c);
        EXPECT_TRUE(r.intake.agwConnectedCall().isEmpty()) << sender;
        EXPECT_FALSE(r.intake.monitor().contains(QStringLiteral("** Connected to"))) << sender;
    }
    Rig r;
    AgwFrame c;
    c.kind = 'c';
    c.callFrom = "VE7CC-15";
    r.intake.takeAgw(c);
    EXPECT_EQ(r.intake.agwConnectedCall(), "VE7CC-15");
}

TEST(BandMapSpotsTest, StoreRowAndOwnCallAlert)
{
    Rig r;
    r.intake.LabelUpdateTimeCounter = 100;
    r.intake.takeTelnet(Lines({kSpots[0]}));
    EXPECT_EQ(r.intake.LabelUpdateTimeCounter, 0);
    const SpotSlot &s = r.store.slot(49);
    EXPECT_EQ(s.SpotCall, "VE3ABC");
    EXPECT_FLOAT_EQ(s.SpotFreq, 14.025f);
    EXPECT_EQ(s.SpotLabel, "VE3");
    EXPECT_EQ(s.SpotTime, r.clock.utcNow());
    EXPECT_EQ(s.SpotTime.timeSpec(), Qt::UTC);
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0].Frequency, "14.025");
    EXPECT_EQ(r.rows[0].QTH, "Canada");
    EXPECT_EQ(r.rows[0].Comments, "de W3LPL:  CW 23 dB 28 WPM CQ");
    EXPECT_EQ(r.rows[0].Time, "1234");
    EXPECT_TRUE(r.alerts.isEmpty());

    // The same call again: the older slot stops being drawn.
    r.intake.takeTelnet(Lines({StandardSpot("K1TTT", "14030.0", "VE3ABC", "", "1240")}));
    EXPECT_EQ(r.store.slot(48).SpotFreq, 0.f);
    EXPECT_FLOAT_EQ(r.store.slot(49).SpotFreq, 14.03f);

    // The operator's own call, even with a frequency that is no number: alert, no store.
    const quint64 before = r.store.generation();
    r.intake.takeTelnet(Lines({StandardSpot("W3LPL", "14.0.25", "VE3ZZZ", "nice signal", "1241")}));
    EXPECT_EQ(r.store.generation(), before);
    ASSERT_EQ(r.alerts.size(), 2);
    EXPECT_EQ(r.alerts[0], "You've been spotted! ");
    EXPECT_TRUE(r.alerts[1].startsWith(QStringLiteral("You've been spotted!  de W3LPL:")));
    EXPECT_EQ(r.beeps, 1);
}

TEST(BandMapSpotsTest, TickCounterAsksForARedrawAfter360Ticks)
{
    Rig r;
    QSignalSpy due(&r.intake, &SpotIntake::labelsDue);
    for (int i = 0; i < 360; ++i)
        r.intake.tick();
    EXPECT_EQ(due.count(), 0);
    r.intake.tick();
    EXPECT_EQ(due.count(), 1);
    EXPECT_EQ(r.intake.LabelUpdateTimeCounter, 0);
}

TEST(SpotList, NewestOnTopAtMost200Rows)
{
    QTreeWidget list;
    SetupSpotList(&list, 9600);
    EXPECT_EQ(list.columnCount(), 8);
    // "Status" shows what the log says of a spot; its room comes from "Comments".
    EXPECT_FALSE(list.isColumnHidden(3));
    EXPECT_EQ(list.headerItem()->text(3), QStringLiteral("Status"));
    EXPECT_EQ(list.columnWidth(0), 1040);
    EXPECT_EQ(list.columnWidth(3), 560);
    EXPECT_EQ(list.columnWidth(4), 2840);
    for (int i = 1; i <= 205; ++i) {
        SpotRow row;
        row.Call = QStringLiteral("K%1A").arg(i);
        row.Comments = QStringLiteral("<b>bold</b>");
        AddSpotRow(&list, row);
    }
    ASSERT_EQ(list.topLevelItemCount(), 200);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "K205A");
    EXPECT_EQ(list.topLevelItem(199)->text(0), "K6A");
    EXPECT_EQ(list.topLevelItem(0)->text(4), "<b>bold</b>");
    EXPECT_TRUE(list.topLevelItem(0)->toolTip(4).isEmpty());
}

TEST(Intake, GarbageFromAPeerNeverStoresABadCallNorGrowsMemory)
{
    Rig r;
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return char(seed >> 16);
    };
    // Random bytes with spot-like lines mixed in, in random piece sizes.
    QByteArray garbage;
    for (int i = 0; i < 20000; ++i) {
        garbage += next();
        if (i % 500 == 0)
            garbage += "\r\nDX de W3LPL:     14025.0  " + QByteArray(1, next()) + "K1A" + QByteArray(1, next()) +
                       " x\r\nDX de W3LPL:     14025.0  K1AB x\r\n";
    }
    for (qsizetype at = 0; at < garbage.size();) {
        const qsizetype n = 1 + uchar(next()) % 97;
        r.intake.takeTelnet(garbage.mid(at, n));
        r.intake.takeTnc(garbage.mid(at, n));
        at += n;
    }
    AgwFrameAssembler frames;
    for (qsizetype at = 0; at < garbage.size(); at += 64)
        for (const AgwFrame &f : frames.feed(garbage.mid(at, 64)))
            r.intake.takeAgw(f);
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        const QString call = r.store.slot(i).SpotCall;
        EXPECT_TRUE(call.isEmpty() || IsSpotCall(call)) << call.toStdString();
    }
    EXPECT_GE(r.rows.size(), 40);  // the clean lines among the garbage still count
    for (const SpotRow &row : r.rows)
        EXPECT_TRUE(IsSpotCall(row.Call)) << row.Call.toStdString();
    EXPECT_LE(r.intake.monitor().size(), 10000);
}

TEST(BandMapSpotsTest, FrequencyShowsTheClustersDigits)
{
    const std::pair<const char *, const char *> cases[] = {
        {"14021.6", "14.0216"},  {"14025.0", "14.025"},   {"7010.0", "7.01"},         {"3505", "3.505"},
        {"14000.0", "14"},       {"1830.5", "1.8305"},    {"50125.0", "50.125"},      {"144300.25", "144.30025"},
        {"10368100.1", "10368.1001"}, {"500.5", "0.5005"}, {"0.1", "0.0001"},         {"007010.0", "7.01"},
        {" 28000.9 ", "28.0009"}, {"14025.", "14.025"},    {".5", "0.0005"},          {"21074.7", "21.0747"},
    };
    Rig r;
    for (const auto &[khz, mhz] : cases) {
        ParsedSpot s;
        s.freqText = QLatin1String(khz);
        s.call = QStringLiteral("K1ABC");
        r.intake.BandMapSpots(s);
        ASSERT_FALSE(r.rows.isEmpty());
        EXPECT_EQ(r.rows.last().Frequency, QLatin1String(mhz)) << khz;
    }
    // Every tenth of a kHz from 160 m to 10 m: the tenths digit lands in the fourth
    // decimal place and nothing follows it.
    r.rows.clear();
    for (int tenths = 18000; tenths <= 299999; tenths += 7) {
        ParsedSpot s;
        s.freqText = QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
        s.call = QStringLiteral("K1ABC");
        r.intake.BandMapSpots(s);
        const QString shown = r.rows.last().Frequency;
        QString expected = QString::number(tenths / 10000) + QLatin1Char('.') +
                           QStringLiteral("%1").arg(tenths % 10000, 4, 10, QLatin1Char('0'));
        while (expected.endsWith(QLatin1Char('0')))
            expected.chop(1);
        if (expected.endsWith(QLatin1Char('.')))
            expected.chop(1);
        ASSERT_EQ(shown, expected) << s.freqText.toStdString();
    }
}

TEST(Intake, TextIsUtf8WhenItIsValidElseLatin1OnEveryLink)
{
    const QString spotText = StandardSpot("DL1ABC", "14025.0", "VE3ABC", QStringLiteral("Grüße aus Köln"), "1234");
    const QByteArray utf8 = spotText.toUtf8() + "\a\a";
    const QByteArray latin1 = spotText.toLatin1() + "\a\a";
    const QByteArray split = utf8.left(utf8.indexOf("\xC3\xBC") + 1);  // inside the "ü"
    const struct {
        const char *link;
        std::function<void(SpotIntake &, const QByteArray &)> send;
    } links[] = {
        {"Telnet",
         [&](SpotIntake &in, const QByteArray &b) {
             in.takeTelnet(b.left(split.size()));
             in.takeTelnet(b.mid(split.size()) + "\r\n");
         }},
        {"TNC",
         [&](SpotIntake &in, const QByteArray &b) {
             in.takeTnc("\r" + b.left(split.size()));
             in.takeTnc(b.mid(split.size()) + "\r");
         }},
        {"AGW monitored",
         [&](SpotIntake &in, const QByteArray &b) {
             AgwFrame f;
             f.kind = 'U';
             f.callFrom = "DL1ABC";
             f.data = " 1:Fm DL1ABC To DX <UI pid=F0>[12:00:00]\r" + b + "\r";
             in.takeAgw(f);
         }},
        {"AGW connected",
         [&](SpotIntake &in, const QByteArray &b) {
             AgwFrame f;
             f.kind = 'c';
             f.callFrom = "DB0ABC";
             in.takeAgw(f);
             f.kind = 'D';
             f.data = b.left(split.size());
             in.takeAgw(f);
             f.data = b.mid(split.size()) + "\r";
             in.takeAgw(f);
         }},
    };
    for (const auto &l : links) {
        for (const QByteArray &bytes : {utf8, latin1}) {
            Rig r;
            r.intake.myCall = [] { return QStringLiteral("VE3ABC"); };
            l.send(r.intake, bytes);
            const char *form = bytes == utf8 ? "UTF-8" : "Latin-1";
            ASSERT_EQ(r.rows.size(), 1) << l.link << " " << form;
            EXPECT_EQ(r.rows[0].Comments, QStringLiteral("de DL1ABC:  Grüße aus Köln")) << l.link << " " << form;
            EXPECT_EQ(r.rows[0].From, QString()) << l.link << " " << form;  // the two bells
            ASSERT_EQ(r.alerts.size(), 2) << l.link << " " << form;
            EXPECT_EQ(r.alerts[1], QStringLiteral("You've been spotted!  ") + spotText.mid(3).trimmed())
                << l.link << " " << form;
            EXPECT_TRUE(r.intake.monitor().contains(QStringLiteral("Grüße aus Köln"))) << l.link << " " << form;
        }
    }
}

TEST(Intake, APromptWithoutALineEndDoesNotSwallowTheSpotAfterIt)
{
    const QByteArray prompt = "VA3XYZ de VE7CC-1 10-Dec-2026 1830Z dxspider >";
    const QByteArray spot = StandardSpot("K3LR", "14030.0", "OK1ABC", "CW", "1830").toLatin1() + "\r\n";
    const struct {
        const char *link;
        std::function<void(SpotIntake &, const QByteArray &)> send;
    } links[] = {
        {"Telnet", [](SpotIntake &in, const QByteArray &b) { in.takeTelnet(b); }},
        {"TNC", [](SpotIntake &in, const QByteArray &b) { in.takeTnc(b); }},
        {"AGW connected",
         [](SpotIntake &in, const QByteArray &b) {
             AgwFrame f;
             f.kind = 'D';
             f.callFrom = "VE7CC-1";
             f.data = b;
             in.takeAgw(f);
         }},
    };
    // The prompt and the spot come in two reads, or in one.
    for (const auto &l : links) {
        for (const bool oneRead : {false, true}) {
            Rig r;
            AgwFrame c;
            c.kind = 'c';
            c.callFrom = "VE7CC-1";
            r.intake.takeAgw(c);
            l.send(r.intake, "\r\n");  // a TNC line counts after a line end only
            if (oneRead) {
                l.send(r.intake, prompt + spot);
            } else {
                l.send(r.intake, prompt);
                l.send(r.intake, spot);
            }
            EXPECT_EQ(r.calls(), QStringList{"OK1ABC"}) << l.link << " one read " << oneRead;
            EXPECT_TRUE(r.intake.monitor().contains(QString::fromLatin1(prompt + "\r\nDX de K3LR:")))
                << l.link << " one read " << oneRead;
        }
    }
}

TEST(BandMapSpotsTest, TheOwnCallAlertIgnoresLetterCase)
{
    const struct {
        const char *myCall;
        const char *spotted;
        bool alert;
    } cases[] = {
        {"VE3XYZ", "ve3xyz", true},
        {"ve3xyz", "VE3XYZ", true},
        {"Ve3XyZ", "vE3xYz", true},
        {" VE3XYZ ", "VE3XYZ", true},
        {"VE3XYZ", "VE3XY", false},
        {"VE3XYZ", "VE3XYZ/P", false},
        {"", "VE3XYZ", false},
    };
    for (const auto &c : cases) {
        Rig r;
        const QString mine = QLatin1String(c.myCall);
        r.intake.myCall = [mine] { return mine; };
        r.intake.takeTelnet(Lines({StandardSpot("W3LPL", "14025.0", QLatin1String(c.spotted), "CW", "1234")}));
        // The spot is stored either way.
        ASSERT_EQ(r.rows.size(), 1) << c.myCall << " / " << c.spotted;
        EXPECT_EQ(r.rows[0].Call, QLatin1String(c.spotted)) << c.myCall << " / " << c.spotted;
        EXPECT_EQ(r.alerts.size(), c.alert ? 2 : 0) << c.myCall << " / " << c.spotted;
        EXPECT_EQ(r.beeps, c.alert ? 1 : 0) << c.myCall << " / " << c.spotted;
        if (c.alert && r.alerts.size() == 2) {
            EXPECT_EQ(r.alerts[0], "You've been spotted! ");
        }
    }
}
