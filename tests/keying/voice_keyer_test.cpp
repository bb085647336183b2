#include "keying/voice_keyer.h"

#include "test_support.h"
#include "voice_test_fakes.h"

#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

class VoiceKeyerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        cq = WriteWave(dir.filePath("cq.wav"), PcmWave(80));  // 10 ms
        tu = WriteWave(dir.filePath("tu.wav"), PcmWave(80));
        settings.files[0] = cq;
        settings.files[1] = tu;
        settings.port = "3";
        keyer.setSettings(settings);
        keyer.setHangTime(0);  // the hang time has its own tests
    }

    // Ports 1..10 stand for /dev/ttyS0..9.
    static QString Device(int n) { return n >= 1 && n <= 10 ? QStringLiteral("/dev/ttyS%1").arg(n - 1) : QString(); }

    void use(const VoiceSettings &s)
    {
        settings = s;
        keyer.setSettings(s);
    }

    QTemporaryDir dir;
    QString cq, tu;
    QStringList events;
    FakePlayer player{events};
    RecordingLineFactory lines{events, {}};
    ScriptedPrompter prompter;
    VoiceKeyer keyer{player, lines.factory(), &Device, prompter};
    VoiceSettings settings;
};

TEST_F(VoiceKeyerTest, PttIsKeyedOnceTheSoundFlowsAndReleasedAtItsEnd)
{
    QSignalSpy ptt(&keyer, &VoiceKeyer::pttChanged);
    keyer.FKeyPhone(kKeyF1);
    EXPECT_EQ(events, QStringList({"play " + cq, "make RTS /dev/ttyS2", "RTS open", "RTS down"}));
    EXPECT_TRUE(keyer.pttDown());
    EXPECT_TRUE(keyer.isPlaying());

    player.finish();
    EXPECT_EQ(events.mid(4), QStringList({"RTS up"}));
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_FALSE(keyer.isPlaying());
    ASSERT_EQ(ptt.count(), 2);
    EXPECT_EQ(ptt[0][0].toBool(), true);
    EXPECT_EQ(ptt[1][0].toBool(), false);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(VoiceKeyerTest, EachKeyPlaysItsOwnBoxAndOtherCodesDoNothing)
{
    keyer.FKeyPhone(kKeyF1 + 1);  // F2
    EXPECT_EQ(player.played, QStringList({tu}));
    player.finish();
    events.clear();
    for (int code : {0, kKeyF1 - 1, kKeyF9 + 1, 27})
        keyer.FKeyPhone(code);
    EXPECT_TRUE(events.isEmpty()) << events.join(", ").toStdString();
}

TEST_F(VoiceKeyerTest, AFileThatCannotBePlayedNeverKeysPtt)
{
    const QString garbage = dir.filePath("garbage.wav");
    WriteFile(garbage, "this is not a wave file at all, just text\r\n");
    const QString truncated = dir.filePath("truncated.wav");
    WriteFile(truncated, PcmWave(80).left(30));
    struct Case {
        QString file;
        QString reasonPart;
    } cases[] = {
        {dir.filePath("missing.wav"), "does not exist"},
        {garbage, "not a wave file"},
        {truncated, "cannot be played"},
        {dir.path(), "not a file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        events.clear();
        VoiceSettings s = settings;
        s.files[0] = c.file;
        s.loop = "5";
        use(s);
        QSignalSpy status(&keyer, &VoiceKeyer::status);
        keyer.FKeyPhone(kKeyF1);
        EXPECT_TRUE(events.filter("down").isEmpty()) << events.join(", ").toStdString();
        EXPECT_TRUE(events.filter("play").isEmpty());
        EXPECT_FALSE(keyer.pttDown());
        EXPECT_FALSE(keyer.VoiceRepeatArmed());
        ASSERT_EQ(status.count(), 1);
        EXPECT_TRUE(status[0][0].toString().contains(c.reasonPart)) << status[0][0].toString().toStdString();
    }
}

TEST_F(VoiceKeyerTest, APlayerErrorReleasesPtt)
{
    QSignalSpy status(&keyer, &VoiceKeyer::status);
    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(keyer.pttDown());
    player.fail("No audio device");
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_EQ(events.last(), "RTS up");
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains("No audio device"));
}

TEST_F(VoiceKeyerTest, APlayerThatFailsAtOnceLeavesNoPttKeyed)
{
    player.onPlay = [this] { player.fail("cannot open the sound device"); };
    keyer.FKeyPhone(kKeyF1);
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_FALSE(events.contains("RTS down")) << events.join(", ").toStdString();
}

TEST_F(VoiceKeyerTest, TheWatchdogReleasesPttWhenThePlayerNeverEnds)
{
    keyer.setWatchdogMargin(50);
    QSignalSpy status(&keyer, &VoiceKeyer::status);
    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(keyer.pttDown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 5000));
    EXPECT_EQ(events.mid(4), QStringList({"stop", "RTS up"}));
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains("did not end in time"));
}

TEST_F(VoiceKeyerTest, TheTransmitLimitEndsAMessageThatKeepsPttKeyed)
{
    keyer.setTransmitLimit(100);  // the watchdog (length + 3 s) would come much later
    QSignalSpy status(&keyer, &VoiceKeyer::status);
    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 5000));
    EXPECT_FALSE(keyer.isPlaying());
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains("released after 0.1 seconds")) << status[0][0].toString().toStdString();
}

TEST_F(VoiceKeyerTest, AnEmptyBoxStopsTheMessagePlayingAndKeysNothing)
{
    keyer.FKeyPhone(kKeyF1);
    events.clear();
    keyer.FKeyPhone(kKeyF1 + 4);  // F5, empty box
    EXPECT_EQ(events, QStringList({"stop", "RTS up"}));
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_FALSE(keyer.pttDown());

    events.clear();
    keyer.FKeyPhone(kKeyF1 + 4);  // nothing playing: nothing at all
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(VoiceKeyerTest, ANewKeyCutsOffTheMessageAndKeepsPttKeyedThroughTheNext)
{
    keyer.FKeyPhone(kKeyF1);
    events.clear();
    keyer.FKeyPhone(kKeyF1 + 1);
    EXPECT_EQ(events, QStringList({"stop", "play " + tu, "RTS down"}));
    player.finish();
    EXPECT_EQ(events.last(), "RTS up");
    EXPECT_FALSE(keyer.pttDown());
}

// The PTT never goes down before the sound flows: a stream slow to start keys late, one
// that never starts keys nothing and is given up.
TEST_F(VoiceKeyerTest, PttWaitsForTheSoundAndAMessageThatNeverSoundsKeysNothing)
{
    player.startsAtOnce = false;
    keyer.FKeyPhone(kKeyF1);
    EXPECT_TRUE(keyer.isPlaying());
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_EQ(events, QStringList({"play " + cq}));
    player.start();
    EXPECT_TRUE(keyer.pttDown());
    player.finish();
    EXPECT_FALSE(keyer.pttDown());

    keyer.setStartLimit(50);
    QSignalSpy status(&keyer, &VoiceKeyer::status);
    QSignalSpy ptt(&keyer, &VoiceKeyer::pttChanged);
    keyer.FKeyPhone(kKeyF1 + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.isPlaying(); }, 5000));
    EXPECT_EQ(ptt.count(), 0);
    EXPECT_FALSE(player.isPlaying());
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains("did not start playing"));
}

// The sound card still plays its buffer when the player reports the end: the PTT hangs on
// a little, the repeat pause counts from its release, and Escape lets go at once.
TEST_F(VoiceKeyerTest, PttHangsOnAfterTheLastSample)
{
    keyer.setHangTime(80);
    VoiceSettings s = settings;
    s.loop = "0.05";
    use(s);
    keyer.FKeyPhone(kKeyF1);
    events.clear();
    player.finish();
    EXPECT_TRUE(keyer.pttDown());
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_TRUE(events.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 5000));
    EXPECT_EQ(events, QStringList({"RTS up"}));
    EXPECT_EQ(player.played.size(), 1);  // the repeat waits its pause after the release
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.played.size() == 2; }, 5000));
    EXPECT_EQ(events.mid(1), QStringList({"play " + cq, "RTS down"}));

    player.finish();
    keyer.stop();
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_EQ(events.last(), "RTS up");
}

// A new message cut in: the old PTT waits a moment for the new sound, then lets go, and
// keys again when the sound comes.
TEST_F(VoiceKeyerTest, ACutInMessageThatDoesNotSoundLetsThePttGo)
{
    keyer.setUnheardLimit(50);
    keyer.FKeyPhone(kKeyF1);
    player.startsAtOnce = false;
    keyer.FKeyPhone(kKeyF1 + 1);
    EXPECT_TRUE(keyer.pttDown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 5000));
    EXPECT_TRUE(keyer.isPlaying());
    player.start();
    EXPECT_TRUE(keyer.pttDown());
    EXPECT_EQ(events.mid(events.size() - 2), QStringList({"RTS up", "RTS down"}));
}

TEST_F(VoiceKeyerTest, SerialAndParallelLinesAreKeyedAsChosen)
{
    struct Case {
        const char *port;
        PttLine line;
        QStringList keyed;  // after "play"; the ups follow in the same order
    } cases[] = {
        {"3", PttLine::Rts, {"make RTS /dev/ttyS2", "RTS open", "RTS down"}},
        {"3", PttLine::Dtr, {"make DTR /dev/ttyS2", "DTR open", "DTR down"}},
        {"0", PttLine::Parallel, {"make Parallel &H378", "Parallel open", "Parallel down"}},
        {"3", PttLine::Parallel,
         {"make RTS /dev/ttyS2", "RTS open", "RTS down", "make Parallel &H378", "Parallel open", "Parallel down"}},
        {"0", PttLine::Rts, {}},  // keyed by hand or VOX: the message still plays
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.port) + " " + KindName(zev::KeyLineKind(int(c.line))).toStdString());
        VoiceSettings s = settings;
        s.port = c.port;
        s.line = c.line;
        QStringList ev;
        FakePlayer p{ev};
        RecordingLineFactory f{ev, {}};
        VoiceKeyer k{p, f.factory(), &Device, prompter};
        k.setSettings(s);
        k.setHangTime(0);
        k.FKeyPhone(kKeyF1);
        EXPECT_EQ(ev, QStringList({"play " + cq}) + c.keyed);
        ev.clear();
        p.finish();
        QStringList ups;
        for (const QString &e : c.keyed)
            if (e.endsWith(" down"))
                ups << QString(e).replace(" down", " up");
        EXPECT_EQ(ev, ups);
    }
}

TEST_F(VoiceKeyerTest, TheRepeatWaitsThePauseAfterTheEndUntilDisarmed)
{
    VoiceSettings s = settings;
    s.loop = "0.05";
    use(s);
    keyer.FKeyPhone(kKeyF1);
    EXPECT_TRUE(keyer.VoiceRepeatArmed());
    // The pause counts from the end of the message, not from its start.
    QTest::qWait(200);
    EXPECT_EQ(player.played.size(), 1);
    player.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.played.size() == 2; }, 5000));
    EXPECT_TRUE(keyer.pttDown());
    player.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.played.size() == 3; }, 5000));
    player.finish();
    keyer.disarmRepeat();  // a key pressed during the pause
    EXPECT_FALSE(keyer.VoiceRepeatArmed());
    QTest::qWait(200);
    EXPECT_EQ(player.played.size(), 3);
    EXPECT_FALSE(keyer.pttDown());
}

TEST_F(VoiceKeyerTest, OnlyF1RepeatsAndOnlyWithAPause)
{
    VoiceSettings s = settings;
    s.loop = "5";
    use(s);
    keyer.FKeyPhone(kKeyF1 + 1);
    EXPECT_FALSE(keyer.VoiceRepeatArmed());
    s.loop = "0";
    use(s);
    keyer.FKeyPhone(kKeyF1);
    EXPECT_FALSE(keyer.VoiceRepeatArmed());
    s.loop = "75";  // out of range: no repeat
    use(s);
    keyer.FKeyPhone(kKeyF1);
    EXPECT_FALSE(keyer.VoiceRepeatArmed());
}

TEST_F(VoiceKeyerTest, StopEndsTheMessageReleasesPttAndDisarms)
{
    VoiceSettings s = settings;
    s.loop = "1";
    use(s);
    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(keyer.VoiceRepeatArmed());
    events.clear();
    keyer.stop();
    EXPECT_EQ(events, QStringList({"stop", "RTS up"}));
    EXPECT_FALSE(keyer.VoiceRepeatArmed());
    EXPECT_FALSE(keyer.isPlaying());
    player.finish();  // a late end changes nothing
    EXPECT_EQ(events.size(), 2);
}

TEST_F(VoiceKeyerTest, AnInvalidPortIsToldAndTheMessagePlaysWithoutIt)
{
    lines.refused << "/dev/ttyS2";
    int shown = 0;
    keyer.invalidPort = [&shown] { ++shown; };
    keyer.FKeyPhone(kKeyF1);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[0].kind, "beep");
    EXPECT_EQ(prompter.asked[1].kind, "message");
    EXPECT_EQ(prompter.asked[1].text, "The port you have selected for Phone keying is invalid.  Please select "
                                      "another or enter 0 for none.");
    EXPECT_EQ(prompter.asked[1].title, "Invalid port.");
    EXPECT_TRUE(prompter.asked[1].detail.contains("No such device"));
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(keyer.pttDown());
    EXPECT_EQ(player.played, QStringList({cq}));
    EXPECT_FALSE(keyer.portOpen());
}

TEST_F(VoiceKeyerTest, APortNumberWithoutADeviceIsInvalid)
{
    VoiceSettings s = settings;
    s.port = "11";
    use(s);
    keyer.PhonePortSetup();
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].title, "Invalid port.");
    EXPECT_TRUE(events.filter("make").isEmpty());
}

TEST_F(VoiceKeyerTest, PortSetupClosesTheOtherKeyersFirstAndPortZeroFreesThePort)
{
    keyer.beforeOpen = [this] { events << "others closed"; };
    keyer.PhonePortSetup();
    EXPECT_EQ(events, QStringList({"others closed", "make RTS /dev/ttyS2", "RTS open"}));
    EXPECT_TRUE(keyer.portOpen());
    events.clear();
    VoiceSettings s = settings;
    s.port = "abc";  // not a number: no port
    use(s);
    keyer.PhonePortSetup();
    EXPECT_EQ(events, QStringList({"RTS close"}));
    EXPECT_FALSE(keyer.portOpen());
}

TEST_F(VoiceKeyerTest, ClosingThePortForAnotherKeyerReleasesPtt)
{
    keyer.FKeyPhone(kKeyF1);
    events.clear();
    keyer.ClosePort();
    EXPECT_EQ(events, QStringList({"RTS up", "RTS close"}));
    EXPECT_FALSE(keyer.pttDown());
}

}  // namespace
