// The rig link: opening, the two-tick poll cycle, paced commands. The recording line and a
// stepped clock show the exact bytes and gaps; a pseudo-terminal radio shows the real path.

#include "rig/port_errors.h"
#include "rig/port_map.h"
#include "rig/recording_serial_line.h"
#include "rig/rig_link.h"
#include "rig/serial_line_device.h"
#include "frame/registry.h"
#include "radio_emulator.h"
#include "stepped_link.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <cstring>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace zev;
using zevtest::SteppedTimers;
using zevtest::TimedLine;

RigLinkSettings Settings(const char *rig, const char *freqQuery, const char *modeQuery, const char *pollRate = "F")
{
    RigLinkSettings s;
    s.RigName = rig;
    s.FreqQuery = freqQuery;
    s.ModeQuery = modeQuery;
    s.PollRate = pollRate;
    s.RigPort = 2;
    return s;
}

struct Fixture {
    QTemporaryDir dir;
    Registry registry{dir.filePath("registry.ini")};
    PortMap ports{registry};
    SteppedTimers *timers = new SteppedTimers;
    TimedLine *line = new TimedLine(*timers);
    RigLink link{std::unique_ptr<SerialLine>(line), std::unique_ptr<LinkTimers>(timers)};
    QSignalSpy frequencies{&link, &RigLink::frequencyRead};
    QSignalSpy modes{&link, &RigLink::modeRead};
    QSignalSpy errors{&link, &RigLink::error};
    QSignalSpy states{&link, &RigLink::responseState};

    Fixture()
    {
        ports.setDevice(2, "/dev/ttyUSB7");
        // The Extra rows that pick a mode: CW below 14.15 on 20 m, phone above; phone on 40 m.
        link.setExtraPlanRows({{"20", "E", "CW", 14.0f, 14.15f},
                               {"20", "E", "PH", 14.15f, 14.35f},
                               {"40", "E", "CW", 7.0f, 7.125f},
                               {"40", "E", "PH", 7.125f, 7.3f},
                               {"160", "E", "CW", 1.8f, 2.0f}});
    }
    QList<float> frequencyValues() const
    {
        QList<float> v;
        for (const auto &args : frequencies)
            v << float(args.at(0).toLongLong() / 1e6);
        return v;
    }
    QStringList modeValues() const
    {
        QStringList v;
        for (const auto &args : modes)
            v << args.at(0).toString();
        return v;
    }
    QList<QByteArray> writes() const
    {
        QList<QByteArray> w;
        for (const auto &s : line->sent)
            w << s.bytes;
        return w;
    }
};

TEST(RigLink, OpensTheLineAsEachRadioNeedsAndLetsGoAsItNeeds)
{
    struct Case {
        const char *rig;
        const char *powerLine;
        Handshake handshake;
        bool dtr, rts;
        QByteArray openBytes, firstQuery, closeBytes;
    };
    const Case cases[] = {
        {"Kenwood", "R", Handshake::None, false, true, {}, "FA;MD;", {}},
        {"Elecraft", "D", Handshake::None, true, false, {}, "FA;MD;", {}},
        {"Ten Tec Orion", "N", Handshake::RtsCts, false, false, "X\r", "?AF\r?RMM\r", {}},
        {"Yaesu", "N", Handshake::None, false, false, QByteArray(5, '\0'), QByteArray("\0\0\0\0\x03", 5),
         QByteArray("\0\0\0\0\x80", 5)},
    };
    for (const Case &c : cases) {
        Fixture f;
        RigLinkSettings s = Settings(c.rig, "", "");
        s.PowerLine = c.powerLine;
        s.RigSerialSettings = "9600,N,8,1";
        const rig::RigDescriptor *d = rig::FindRig(c.rig);
        ASSERT_NE(d, nullptr);
        s.FreqQuery = d->freqQuery;
        s.ModeQuery = d->modeQuery;
        ASSERT_TRUE(f.link.Start(s, f.ports)) << c.rig;
        ASSERT_FALSE(f.line->events.isEmpty());
        const RecordingSerialLine::Event &open = f.line->events.first();
        EXPECT_EQ(open.kind, RecordingSerialLine::Event::Open) << c.rig;
        EXPECT_EQ(open.device, "/dev/ttyUSB7");
        EXPECT_EQ(open.settings, "9600,N,8,1");
        EXPECT_EQ(open.handshake, c.handshake) << c.rig;
        EXPECT_EQ(open.dtr, c.dtr) << c.rig;
        EXPECT_EQ(open.rts, c.rts) << c.rig;
        // The greeting, then the first query at once, before any timer fired.
        QList<QByteArray> expected;
        if (!c.openBytes.isEmpty())
            expected << c.openBytes;
        expected << c.firstQuery;
        EXPECT_EQ(f.writes(), expected) << c.rig;
        EXPECT_EQ(f.states.size(), 1);
        EXPECT_EQ(f.states.first().at(0).toString(), "No Response");
        f.line->sent.clear();
        f.line->events.clear();
        f.link.Stop();
        EXPECT_FALSE(f.link.polling());
        EXPECT_FALSE(f.line->isOpen());
        QList<QByteArray> closing;
        if (!c.closeBytes.isEmpty())
            closing << c.closeBytes;
        EXPECT_EQ(f.writes(), closing) << c.rig;
        ASSERT_FALSE(f.line->events.isEmpty());
        EXPECT_EQ(f.line->events.last().kind, RecordingSerialLine::Event::Close);
        // Stopped means stopped: time passing sends nothing.
        f.timers->advance(1000);
        EXPECT_EQ(f.writes(), closing) << c.rig;
    }
}

TEST(RigLink, AFailedOpenSaysSoWithTheReasonForAMissingPermission)
{
    struct Case {
        int err;
        bool advice;
    };
    for (const Case c : {Case{EACCES, true}, Case{EBUSY, false}}) {
        Fixture f;
        f.line->failOpenWith = "no";
        f.line->failOpenErrno = c.err;
        EXPECT_FALSE(f.link.Start(Settings("Kenwood", "FA;", "MD;"), f.ports));
        EXPECT_FALSE(f.link.polling());
        ASSERT_EQ(f.errors.size(), 1);
        const QString advice = PermissionAdvice("/dev/ttyUSB7", c.err, PortKind::Serial);
        EXPECT_EQ(!advice.isEmpty(), c.advice);
        // The line's own reason follows the fixed text, then any advice.
        EXPECT_EQ(f.errors[0][0].toString(),
                  kInvalidCommText + "\n\nno" + (c.advice ? "\n\n" + advice : QString()));
        EXPECT_EQ(f.errors[0][1].toString(), "Invalid Comm Settings.");
        EXPECT_TRUE(f.line->sent.isEmpty());
        f.timers->advance(1000);
        EXPECT_TRUE(f.line->sent.isEmpty());
    }
}

// One byte of the reply arrives per receive tick: nothing decodes until a frame is whole,
// and then exactly the right value does.
TEST(RigLink, RepliesSplitAtEveryByteDecodeOnceWhole)
{
    struct Case {
        const char *rig, *freqQuery, *modeQuery;
        QByteArray reply;
        float mhz;
        const char *mode;
    };
    const Case cases[] = {
        {"Kenwood", "FA;", "MD;", "FA00014025000;MD3;", 14.025f, "CW"},
        {"Icom", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD",
         QByteArray::fromHex("FEFE6" "4E003FD" "FEFEE06403005002140" "0FD" "FEFEE0640403" "01FD"), 14.025f, "CW"},
    };
    for (const Case &c : cases) {
        Fixture f;
        ASSERT_TRUE(f.link.Start(Settings(c.rig, c.freqQuery, c.modeQuery), f.ports));
        for (qsizetype i = 0; i < c.reply.size(); ++i) {
            f.line->incoming += c.reply.at(i);
            f.timers->advance(50);  // receive tick
            f.timers->advance(50);  // send tick
        }
        EXPECT_EQ(f.frequencyValues(), QList<float>(f.frequencyValues().size(), c.mhz)) << c.rig;
        ASSERT_FALSE(f.frequencies.isEmpty()) << c.rig;
        ASSERT_FALSE(f.modes.isEmpty()) << c.rig;
        EXPECT_EQ(f.modeValues().last(), c.mode) << c.rig;
        EXPECT_EQ(f.link.RigFrequency(), c.mhz);
        EXPECT_TRUE(f.errors.isEmpty());
    }
}

TEST(RigLink, AYaesuReplyStillArrivingIsWaitedForNotFlushed)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Yaesu", "00 00 00 00 03", ""), f.ports));
    const QByteArray reply = QByteArray::fromHex("0140250002");
    // A slow radio: each byte takes longer than a tick to arrive.
    for (int round = 0; round < 2; ++round) {
        for (char b : reply) {
            f.line->incoming += b;
            f.timers->advance(50);
            f.timers->advance(50);
        }
    }
    ASSERT_FALSE(f.frequencies.isEmpty());
    EXPECT_EQ(f.frequencyValues(), QList<float>(f.frequencyValues().size(), 14.025f));
    // A query went out only when no reply was on its way.
    const QByteArray query = QByteArray::fromHex("0000000003");
    EXPECT_LE(f.writes().count(query), 3);
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(RigLink, ASilentRadioIsNoResponseUntilItAnswersAndAgainWhenItStops)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Kenwood", "FA;", "MD;"), f.ports));
    f.timers->advance(2000);
    EXPECT_TRUE(f.frequencies.isEmpty());
    EXPECT_TRUE(f.modes.isEmpty());
    ASSERT_EQ(f.states.size(), 1);
    EXPECT_EQ(f.states.last().at(0).toString(), "No Response");
    // Still asking all along.
    EXPECT_EQ(f.writes().size(), 21);

    QSignalSpy shown(&f.link, &RigLink::unprocessed);
    f.line->incoming = "FA00007025000;MD1;";
    f.timers->advance(100);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0][0].toByteArray(), "FA00007025000;MD1;");
    EXPECT_EQ(f.frequencyValues(), QList<float>{7.025f});
    EXPECT_EQ(f.modeValues(), QStringList{"PH"});
    ASSERT_EQ(f.states.size(), 2);
    EXPECT_EQ(f.states.last().at(0).toString(), "");

    f.timers->advance(1000);
    ASSERT_EQ(f.states.size(), 3);
    EXPECT_EQ(f.states.last().at(0).toString(), "No Response");
    EXPECT_EQ(f.frequencies.size(), 1);
    EXPECT_TRUE(f.link.polling());
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(RigLink, ChosenModeByFrequencyOverridesTheRadiosMode)
{
    Fixture f;
    RigLinkSettings s = Settings("Kenwood", "FA;", "MD;");
    s.ModeBy = 2;
    ASSERT_TRUE(f.link.Start(s, f.ports));
    struct Case {
        QByteArray reply;
        const char *mode;
    };
    const Case cases[] = {
        {"FA00014100000;MD2;", "CW"},
        {"FA00014200000;MD3;", "PH"},
        {"FA00001830000;MD3;", "CW"},  // no segment: the radio's mode stands
        {"FA00014150000;MD2;", "PH"},  // exactly on an edge: likewise
    };
    for (const Case &c : cases) {
        f.modes.clear();
        f.line->incoming = c.reply;
        f.timers->advance(100);
        EXPECT_EQ(f.modeValues(), QStringList{c.mode}) << c.reply.constData();
    }
}

// When each write went out, relative to the call.
QList<TimedLine::Sent> SentSince(const Fixture &f, qint64 t0, qsizetype from)
{
    QList<TimedLine::Sent> out;
    for (qsizetype i = from; i < f.line->sent.size(); ++i)
        out << TimedLine::Sent{f.line->sent[i].atMs - t0, f.line->sent[i].bytes};
    return out;
}

TEST(RigLink, ChangeFrequencySendsThePlanPacedWithPollingPaused)
{
    struct Case {
        const char *rig, *freqQuery, *modeQuery;
        float mhz;
        QList<TimedLine::Sent> expected;
    };
    const Case cases[] = {
        {"Kenwood", "FA;", "MD;", 14.025f, {{99, "MD3;"}, {99 + 205, "FA00014025000;"}}},
        {"Elecraft", "FA;", "MD;", 14.025f, {{99, "MD3;"}, {99 + 205 + 1000, "FA00014025000;"}}},
        {"Kenwood", "FA;", "MD;", 7.2f, {{99, "MD1;"}, {99 + 205, "FA00007200000;"}}},
        {"Kenwood", "FA;", "MD;", 1.83f, {{205, "FA00001830000;"}}},  // no mode on 160 m
        {"Icom", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", 14.025f,
         {{99, QByteArray::fromHex("FEFE64E00603FD")}, {99 + 140, QByteArray::fromHex("FEFE64E0050050021400FD")}}},
        {"Yaesu 890", "00 00 00 00 10", "", 14.025f, {{99, QByteArray::fromHex("000000020C")}, {99 + 205, QByteArray::fromHex("002540010A")}}},
    };
    for (const Case &c : cases) {
        Fixture f;
        ASSERT_TRUE(f.link.Start(Settings(c.rig, c.freqQuery, c.modeQuery), f.ports));
        f.timers->advance(25);
        const qsizetype before = f.line->sent.size();
        const qint64 t0 = f.timers->now;
        f.link.ChangeFrequency(c.mhz);
        EXPECT_TRUE(f.link.commandsPending());
        f.timers->advance(1500);
        const QList<TimedLine::Sent> got = SentSince(f, t0, before);
        ASSERT_GE(got.size(), c.expected.size()) << c.rig;
        EXPECT_EQ(got.mid(0, c.expected.size()), c.expected) << c.rig << " " << c.mhz;
        // Polling went on once the last command had drained, and only then: the receive
        // tick that was due, then the next query.
        ASSERT_GT(got.size(), c.expected.size()) << c.rig;
        EXPECT_EQ(got[c.expected.size()].atMs, c.expected.last().atMs + 100) << c.rig;
        EXPECT_FALSE(f.link.commandsPending());
        EXPECT_TRUE(f.errors.isEmpty());
    }
}

TEST(RigLink, CommandsWaitForTheOutputToDrainButNotForever)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Kenwood", "FA;", "MD;"), f.ports));
    const qsizetype before = f.line->sent.size();
    f.line->pendingBytes = 40;
    f.link.ChangeFrequency(qint64(14025000), "USB");
    f.timers->advance(700);
    EXPECT_EQ(f.line->sent.size(), before);
    f.line->pendingBytes = 0;
    f.timers->advance(400);
    ASSERT_EQ(f.line->sent.size(), before + 2);
    EXPECT_EQ(f.line->sent[before].bytes, "MD2;");
    EXPECT_GE(f.line->sent[before].atMs, 700 + 99);
    EXPECT_LE(f.line->sent[before].atMs, 700 + 5 + 99);

    // A queue that never empties is given two seconds, then the command goes anyway.
    f.line->sent.clear();
    f.line->pendingBytes = 40;
    const qint64 t0 = f.timers->now;
    f.link.ChangeMode(qint64(14025000), "CW");
    f.timers->advance(2000 + 98);
    EXPECT_TRUE(f.line->sent.isEmpty());
    f.timers->advance(10);
    ASSERT_EQ(f.line->sent.size(), 1);
    EXPECT_EQ(f.line->sent[0].bytes, "MD3;");
    EXPECT_GE(f.line->sent[0].atMs - t0, 2000 + 99);
}

TEST(RigLink, ASecondCommandWaitsItsTurnAndARefusedOneSendsNothing)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Kenwood", "FA;", "MD;"), f.ports));
    const qsizetype before = f.line->sent.size();
    const qint64 t0 = f.timers->now;
    f.link.ChangeFrequency(14.025f);
    f.link.ChangeFrequency(7.01f);
    f.timers->advance(1000);
    const QList<TimedLine::Sent> got = SentSince(f, t0, before);
    const QList<TimedLine::Sent> expected = {
        {99, "MD3;"}, {304, "FA00014025000;"}, {403, "MD3;"}, {608, "FA00007010000;"}};
    ASSERT_GT(got.size(), expected.size());
    EXPECT_EQ(got.mid(0, 4), expected);
    EXPECT_EQ(got[4].atMs, 708);

    for (float bad : {0.0f, -3.5f, 1e9f}) {
        f.errors.clear();
        f.timers->advance(30);
        const qsizetype n = f.line->sent.size();
        f.link.ChangeFrequency(bad);
        EXPECT_FALSE(f.link.commandsPending());
        ASSERT_EQ(f.errors.size(), 1) << bad;
        EXPECT_EQ(f.errors[0][1].toString(), "Error Changing Frequency");
        EXPECT_FALSE(f.errors[0][0].toString().isEmpty());
        // Only polls follow.
        f.timers->advance(100);
        for (qsizetype i = n; i < f.line->sent.size(); ++i)
            EXPECT_EQ(f.line->sent[i].bytes, "FA;MD;") << bad;
        EXPECT_TRUE(f.link.polling());
    }

    f.link.Stop();
    f.line->sent.clear();
    f.link.ChangeFrequency(14.025f);
    f.link.ChangeMode(qint64(14025000), "CW");
    f.timers->advance(3000);
    EXPECT_TRUE(f.line->sent.isEmpty());
}

TEST(RigLink, AFailedWriteStopsTheLinkWithTheModeInTheMessage)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Yaesu", "00 00 00 00 03", ""), f.ports));
    f.link.ChangeMode(qint64(14025000), "CW");
    // The adapter goes away before the paced command is written.
    f.line->close();
    f.timers->advance(500);
    ASSERT_EQ(f.errors.size(), 1);
    EXPECT_EQ(f.errors[0][1].toString(), "Error Changing Mode");
    EXPECT_TRUE(f.errors[0][0].toString().endsWith(" CW"));
    EXPECT_FALSE(f.link.polling());
    f.timers->advance(5000);
    EXPECT_EQ(f.errors.size(), 1);
}

TEST(RigLink, RawBytesGoAtOnceOrAfterTheRunningCommandAndNeverToAClosedPort)
{
    Fixture f;
    ASSERT_TRUE(f.link.Start(Settings("Kenwood", "FA;", "MD;"), f.ports));
    f.timers->advance(25);
    qsizetype before = f.line->sent.size();
    qint64 t0 = f.timers->now;
    f.link.SendRaw(QByteArray("\xFE\x00;", 3));
    ASSERT_EQ(f.line->sent.size(), before + 1);
    EXPECT_EQ(f.line->sent.last(), (TimedLine::Sent{t0, QByteArray("\xFE\x00;", 3)}));
    EXPECT_TRUE(f.link.polling());

    // Behind a paced command: after its last byte, and polling comes back after it.
    f.timers->advance(100);
    before = f.line->sent.size();
    t0 = f.timers->now;
    f.link.ChangeFrequency(14.025f);
    f.link.SendRaw("PS;");
    f.timers->advance(1000);
    const QList<TimedLine::Sent> got = SentSince(f, t0, before);
    const QList<TimedLine::Sent> expected = {{99, "MD3;"}, {304, "FA00014025000;"}, {304, "PS;"}};
    ASSERT_GT(got.size(), expected.size());
    EXPECT_EQ(got.mid(0, 3), expected);
    EXPECT_EQ(got[3].atMs, 404);
    EXPECT_FALSE(f.link.commandsPending());

    f.link.Stop();
    f.line->sent.clear();
    f.link.SendRaw("FA00007000000;");
    f.timers->advance(1000);
    EXPECT_TRUE(f.line->sent.isEmpty());
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(RigLink, PegasusTalksThroughItsFiles)
{
    Fixture f;
    const QString folder = f.dir.filePath("Pegasus");
    QDir().mkpath(folder);
    f.link.setPegasusFolder(folder);
    zevtest::WriteFile(folder + "/PEGASUS.OUT", "14.025,\"USB\"\r\n");
    ASSERT_TRUE(f.link.Start(Settings("Ten Tec Pegasus", "", ""), f.ports));
    EXPECT_TRUE(f.line->events.isEmpty());  // no port
    f.timers->advance(50);
    EXPECT_EQ(f.frequencyValues(), QList<float>{14.025f});
    EXPECT_EQ(f.modeValues(), QStringList{"PH"});

    f.link.ChangeFrequency(7.025f);
    f.timers->advance(204);
    EXPECT_FALSE(QFile::exists(folder + "/PEGASUS.IN"));
    f.timers->advance(1);
    EXPECT_EQ(zevtest::ReadFile(folder + "/PEGASUS.IN"), "7.025\r\nPH\r\n");
    EXPECT_TRUE(f.errors.isEmpty());
    EXPECT_TRUE(f.line->events.isEmpty());
}

// ---- A radio of our own on a pseudo-terminal.

using zevtest::Emulator;

struct PtyFixture {
    QTemporaryDir dir;
    Registry registry{dir.filePath("registry.ini")};
    PortMap ports{registry};
    Emulator radio;
    RigLink link;
    QSignalSpy frequencies{&link, &RigLink::frequencyRead};
    QSignalSpy modes{&link, &RigLink::modeRead};
    QSignalSpy errors{&link, &RigLink::error};
    PtyFixture() { ports.setDevice(1, radio.path()); }
};

RigLinkSettings PtySettings(const char *rig, const char *freqQuery, const char *modeQuery)
{
    RigLinkSettings s = Settings(rig, freqQuery, modeQuery);
    s.RigPort = 1;
    s.RigSerialSettings = "1200,N,8,2";
    return s;
}

TEST(RigLinkOnALine, KenwoodAndIcomRadiosAreFollowedEvenWhenTheirRepliesTrickle)
{
    struct Case {
        const char *rig, *freqQuery, *modeQuery;
        QList<QPair<QByteArray, QByteArray>> answers;
        float mhz;
        const char *mode;
    };
    const Case cases[] = {
        {"Kenwood", "FA;", "MD;", {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}}, 14.025f, "CW"},
        {"Icom", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD",
         // The bus echoes each query before the answer.
         {{QByteArray::fromHex("FEFE64E003FD"), QByteArray::fromHex("FEFE64E003FD" "FEFEE064030050021400FD")},
          {QByteArray::fromHex("FEFE64E004FD"), QByteArray::fromHex("FEFE64E004FD" "FEFEE0640401" "01FD")}},
         14.025f, "PH"},
        {"Yaesu", "00 00 00 00 03", "", {{QByteArray::fromHex("0000000003"), QByteArray::fromHex("0140250002")}},
         14.025f, "CW"},
    };
    for (const Case &c : cases) {
        for (int perByte : {0, 8}) {
            PtyFixture f;
            ASSERT_TRUE(f.radio.ok());
            f.radio.answers = c.answers;
            f.radio.perByteMs = perByte;
            ASSERT_TRUE(f.link.Start(PtySettings(c.rig, c.freqQuery, c.modeQuery), f.ports)) << c.rig;
            EXPECT_TRUE(QTest::qWaitFor([&] { return f.frequencies.size() >= 3 && f.modes.size() >= 3; }, 10000))
                << c.rig << " " << perByte;
            for (const auto &args : f.frequencies)
                EXPECT_EQ(float(args.at(0).toLongLong() / 1e6), c.mhz) << c.rig << " " << perByte;
            for (const auto &args : f.modes)
                EXPECT_EQ(args.at(0).toString(), c.mode) << c.rig << " " << perByte;
            EXPECT_TRUE(f.errors.isEmpty()) << c.rig;
            f.link.Stop();
        }
    }
}

TEST(RigLinkOnALine, ARadioThatVanishesMidPollIsReportedOnceAndPollingStops)
{
    PtyFixture f;
    ASSERT_TRUE(f.radio.ok());
    f.radio.answers = {{"FA;", "FA00007025000;"}, {"MD;", "MD3;"}};
    QSignalSpy states(&f.link, &RigLink::responseState);
    QSignalSpy lost(&f.link, &RigLink::linkLost);
    ASSERT_TRUE(f.link.Start(PtySettings("Kenwood", "FA;", "MD;"), f.ports));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.frequencies.isEmpty(); }, 10000));
    f.radio.vanish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lost.isEmpty(); }, 10000));
    QTest::qWait(300);
    // Said once, as a lost link rather than a box to answer, naming the device and why.
    EXPECT_EQ(lost.size(), 1);
    EXPECT_TRUE(f.errors.isEmpty());
    const QString reason = lost[0][0].toString();
    EXPECT_TRUE(reason.contains(f.radio.path())) << reason.toStdString();
    // What the system says now, not an error text left over from an earlier call.
    EXPECT_TRUE(reason.contains("hung up")) << reason.toStdString();
    EXPECT_FALSE(reason.contains(QString::fromLocal8Bit(std::strerror(EAGAIN)))) << reason.toStdString();
    EXPECT_FALSE(f.link.polling());
    EXPECT_EQ(f.link.state(), kLinkStopped);
    EXPECT_EQ(states.last().at(0).toString(), "No Response");
}

TEST(RigLinkOnALine, ASilentRadioFreezesNothing)
{
    PtyFixture f;
    ASSERT_TRUE(f.radio.ok());
    f.radio.answers = {{"FA;", "FA00007025000;"}, {"MD;", "MD3;"}};
    f.radio.silent = true;
    ASSERT_TRUE(f.link.Start(PtySettings("Kenwood", "FA;", "MD;"), f.ports));
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.radio.queries >= 4; }, 10000));
    EXPECT_TRUE(f.frequencies.isEmpty());
    EXPECT_TRUE(f.errors.isEmpty());
    EXPECT_TRUE(f.link.polling());
    f.radio.silent = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.frequencies.isEmpty(); }, 10000));
}

// The real line, with what has arrived held back until the link reads it, so a test can
// see that a reply is in before it lets the link's receive tick run.
class HeldLine : public QtSerialLine {
public:
    QByteArray held;
    bool holds(const QByteArray &reply)
    {
        held += QtSerialLine::readAll();
        return held.contains(reply);
    }
    QByteArray readAll() override
    {
        held += QtSerialLine::readAll();
        return std::exchange(held, {});
    }
};

TEST(RigLinkOnALine, ARadioFallenSilentIsNoResponseAfterExactlyThreeUnansweredPolls)
{
    QTemporaryDir dir;
    Registry registry{dir.filePath("registry.ini")};
    PortMap ports{registry};
    Emulator radio;
    ASSERT_TRUE(radio.ok());
    ports.setDevice(1, radio.path());
    radio.answers = {{"FA;", "FA00014025000;"}, {"MD;", "MD3;"}};
    auto *timers = new SteppedTimers;
    auto *line = new HeldLine;
    RigLink link{std::unique_ptr<SerialLine>(line), std::unique_ptr<LinkTimers>(timers)};
    QSignalSpy heard(&link, &RigLink::responseState);

    // Start sends the first query; the radio's answer is in before the receive tick.
    ASSERT_TRUE(link.Start(PtySettings("Kenwood", "FA;", "MD;"), ports));
    ASSERT_TRUE(QTest::qWaitFor([&] { return line->holds("FA00014025000;MD3;"); }, 10000));
    link.tick();
    ASSERT_EQ(link.RigFrequencyHz(), 14025000);
    ASSERT_EQ(link.state(), QString());
    ASSERT_EQ(heard.last().at(0).toString(), QString());

    radio.silent = true;
    const QString expected[] = {"", "", "No Response", "No Response"};
    for (int poll = 1; poll <= 4; ++poll) {
        const int asked = radio.queries;
        link.tick();  // send
        ASSERT_TRUE(QTest::qWaitFor([&] { return radio.queries == asked + 2; }, 10000)) << poll;
        link.tick();  // receive: nothing came
        EXPECT_EQ(link.state(), expected[poll - 1]) << "after unanswered poll " << poll;
        EXPECT_EQ(heard.last().at(0).toString(), expected[poll - 1]) << "after unanswered poll " << poll;
    }
    EXPECT_TRUE(link.polling());
}

}  // namespace
