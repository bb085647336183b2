#include "keying/audio_player_device.h"
#include "keying/voice_keyer.h"

#include "test_support.h"
#include "voice_test_fakes.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

// Qt 6.4's FFmpeg back-end crashes without a sound device: GStreamer is chosen unless the
// operator named a back-end.
TEST(VoicePlayerDevice, GStreamerIsChosenUnlessAnotherBackEndIsNamed)
{
    const QByteArray before = qgetenv("QT_MEDIA_BACKEND");
    const bool wasSet = qEnvironmentVariableIsSet("QT_MEDIA_BACKEND");
    qunsetenv("QT_MEDIA_BACKEND");
    PreferGStreamerMedia();
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), "gstreamer");
    qputenv("QT_MEDIA_BACKEND", "other");
    PreferGStreamerMedia();
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), "other");
    if (wasSet)
        qputenv("QT_MEDIA_BACKEND", before);
    else
        qunsetenv("QT_MEDIA_BACKEND");
}

// The real sound card path with a recorded cue. This machine may have no sound device:
// then the player must report a failure rather than hang or crash, and the PTT is never
// keyed.
TEST(VoicePlayerDevice, ARealMessageEndsAndReleasesPtt)
{
    AudioPlayerDevice player;
    QSignalSpy finished(&player, &AudioPlayer::finished);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    QStringList events;
    RecordingLineFactory lines{events, {}};
    ScriptedPrompter prompter;
    VoiceKeyer keyer(player, lines.factory(), [](int) { return QStringLiteral("/dev/ttyS0"); }, prompter);
    VoiceSettings s;
    s.files[0] = QStringLiteral(ZEV_BUILD_DIR "/Call.wav");
    s.port = "1";
    keyer.setSettings(s);
    keyer.setWatchdogMargin(60000);  // the player itself must report the end

    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() + failed.count() > 0 && !keyer.pttDown(); }, 30000));
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_FALSE(player.isPlaying());
    if (failed.isEmpty()) {
        EXPECT_EQ(events, QStringList({"make RTS /dev/ttyS0", "RTS open", "RTS down", "RTS up"}));
    } else {
        // No sound flowed: the PTT was never keyed.
        EXPECT_FALSE(events.contains("RTS down")) << events.join(", ").toStdString();
        std::cout << "no sound here: " << failed[0][0].toString().toStdString() << "\n";
    }
}

TEST(VoicePlayerDevice, AFileTheBackEndCannotDecodeIsAReportedFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("noise.wav");
    WriteFile(path, QByteArray(4000, '\x5a'));  // not even a header
    AudioPlayerDevice player;
    QSignalSpy failed(&player, &AudioPlayer::failed);
    player.play(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failed.isEmpty(); }, 30000));
    EXPECT_FALSE(player.isPlaying());
}

// The repeat plays the same file again and again; every round must end.
TEST(VoicePlayerDevice, TheSameFileEndsEachTimeItIsPlayed)
{
    AudioPlayerDevice player;
    QSignalSpy finished(&player, &AudioPlayer::finished);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        player.play(QStringLiteral(ZEV_BUILD_DIR "/Dupe.wav"));
        EXPECT_TRUE(player.isPlaying());
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() + failed.count() == round; }, 30000));
        EXPECT_FALSE(player.isPlaying());
    }
}

TEST(VoicePlayerDevice, StopEndsPlayingWithoutASignal)
{
    AudioPlayerDevice player;
    QSignalSpy finished(&player, &AudioPlayer::finished);
    QSignalSpy failed(&player, &AudioPlayer::failed);
    player.play(QStringLiteral(ZEV_BUILD_DIR "/NavEn.wav"));
    player.stop();
    EXPECT_FALSE(player.isPlaying());
    QTest::qWait(300);
    EXPECT_EQ(finished.count() + failed.count(), 0);
}

}  // namespace
