// Phone mode on the logging window: function keys play the voice messages with PTT, Escape
// stops them, duplicates are spoken, and the voice windows open from the menus.

#include "window_harness.h"

#include "voice_test_fakes.h"
#include "keying/blind_window.h"
#include "keying/keying_controller.h"
#include "keying/phone_window.h"
#include "keying/voice_keyer.h"
#include "keying/voice_settings.h"
#include "station/station_keying.h"

#include <QAction>
#include <QLabel>

using namespace zevtest;

namespace {

// The logging window in phone mode with fake players and recording PTT lines.
struct PhoneDesk {
    explicit PhoneDesk(const Preferences &prefs = Harness::basePrefs()) : h(prefs) {}
    // The station, going after the window, still writes to these as it closes its lines.
    QStringList events;
    RecordingLineFactory lines{events, {}};
    Harness h;
    FakePlayer *voice = nullptr;
    FakePlayer *cue = nullptr;

    MainWindow &start(const VoiceSettings &settings)
    {
        zevtest::WriteFile(h.folders.work(kVoiceSettingsFile), FormatVoiceSettings(settings));
        h.prompter.answers = {true};
        h.start();
        h.stationLinks->keying().keyLineFactory = lines.factory();
        h.stationLinks->keying().audioPlayerFactory = [this]() -> std::unique_ptr<AudioPlayer> {
            auto p = std::make_unique<FakePlayer>(events);
            (voice ? cue : voice) = p.get();
            return p;
        };
        return h.activate();
    }
    VoiceKeyer &voiceKeyer() { return h.stationLinks->keying().voiceKeyer(); }
};

VoiceSettings WithF1(const QString &path)
{
    VoiceSettings s;
    s.files[0] = path;
    s.port = "3";
    s.line = PttLine::Rts;
    return s;
}

}  // namespace

TEST(VoiceMainWindow, F1PlaysItsMessageWithinPttAndEscapeStopsIt)
{
    PhoneDesk d;
    const QString wave = d.h.dir.filePath("cq.wav");
    zevtest::WriteFile(wave, PcmWave(800));
    MainWindow &w = d.start(WithF1(wave));
    QTest::keyClick(w.callBox, Qt::Key_F1);
    ASSERT_NE(d.voice, nullptr);
    EXPECT_EQ(d.voice->played, QStringList{wave});
    const qsizetype down = d.events.indexOf("RTS down");
    const qsizetype play = d.events.indexOf("play " + wave);
    ASSERT_GE(down, 0);
    EXPECT_GT(down, play);  // PTT once the sound flows
    EXPECT_TRUE(d.voiceKeyer().isPlaying());

    // Escape stops the message and lets go of PTT, and leaves the boxes alone.
    w.callBox->setText("VE3ABC");
    QTest::keyClick(w.callBox, Qt::Key_Escape);
    EXPECT_EQ(w.callBox->text(), "VE3ABC");
    EXPECT_FALSE(d.voiceKeyer().isPlaying());
    EXPECT_FALSE(d.voiceKeyer().pttDown());
    EXPECT_GT(d.events.lastIndexOf("RTS up"), play);

    // Played to its end: PTT up again.
    QTest::keyClick(w.callBox, Qt::Key_F1);
    EXPECT_TRUE(d.voiceKeyer().pttDown());
    d.voice->finish();
    EXPECT_TRUE(d.voiceKeyer().pttDown());  // the hang time: the card's buffer still sounds
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d.voiceKeyer().pttDown(); }, 5000));
}

// A message starting and ending is said on the message line, once each.
TEST(VoiceMainWindow, PlayingAndEndingAreSaidOnTheMessageLine)
{
    PhoneDesk d;
    const QString wave = d.h.dir.filePath("cq.wav");
    zevtest::WriteFile(wave, PcmWave(800));
    VoiceSettings s = WithF1(wave);
    s.files[1] = wave;
    MainWindow &w = d.start(s);
    zevtest::AccessibilityEvents a11y;
    QTest::keyClick(w.callBox, Qt::Key_F1);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.messageLine->text(), "Playing F1");
    d.voice->finish();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.messageLine->text(), "F1 ended");
    QTest::keyClick(w.callBox, Qt::Key_F2);
    QCoreApplication::processEvents();
    QTest::keyClick(w.callBox, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.messageLine->text(), "F2 stopped");
    EXPECT_EQ(a11y.spoken(w.messageLine), QStringList({"Playing F1", "F1 ended", "Playing F2", "F2 stopped"}));
}

TEST(VoiceMainWindow, AMissingFileNeverKeysThePtt)
{
    PhoneDesk d;
    MainWindow &w = d.start(WithF1(d.h.dir.filePath("gone.wav")));
    QTest::keyClick(w.callBox, Qt::Key_F1);
    EXPECT_FALSE(d.events.contains("RTS down"));
    EXPECT_FALSE(d.voiceKeyer().isPlaying());
    // The operator is told on the message line.
    EXPECT_FALSE(w.messageLine->text().trimmed().isEmpty());
}

TEST(VoiceMainWindow, ADuplicateIsSpokenEvenWithNavigationOff)
{
    Preferences p = Harness::basePrefs();
    p.VoiceNavLevel = 0;
    p.CurrentBand = "20";  // VE3XYZ is in the log on 20 m phone
    PhoneDesk d(p);
    zevtest::WriteFile(d.h.folders.work("Dupe.wav"), PcmWave(800));
    MainWindow &w = d.start(VoiceSettings());
    w.cmdLogOn_Click();
    typeKeys("VE3XYZ ");
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.DupeFlag);
    // A voice player is made for the cues only now, so it is the first one.
    FakePlayer *cues = d.voice;
    ASSERT_NE(cues, nullptr);
    EXPECT_EQ(cues->played, QStringList{d.h.folders.work("Dupe.wav")});
}

TEST(VoiceMainWindow, TheVoiceWindowsOpenFromTheMenusAndCtrlP)
{
    PhoneDesk d;
    MainWindow &w = d.start(VoiceSettings());
    auto *voice = w.findChild<QAction *>("mnuVoice");
    auto *blind = w.findChild<QAction *>("mnuBlind");
    ASSERT_NE(voice, nullptr);
    ASSERT_NE(blind, nullptr);
    EXPECT_TRUE(voice->isEnabled());
    EXPECT_TRUE(blind->isEnabled());
    voice->trigger();
    ASSERT_NE(w.phoneWindow(), nullptr);
    EXPECT_TRUE(w.phoneWindow()->isVisible());
    w.phoneWindow()->hide();
    d.h.activate();
    QTest::keyClick(w.callBox, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(w.phoneWindow()->isVisible());
    blind->trigger();
    ASSERT_NE(w.blindWindow(), nullptr);
    EXPECT_TRUE(w.blindWindow()->isVisible());
}

TEST(VoiceMainWindow, TheDuplicateWarningIsNotCutOffByTheCallBoxCue)
{
    Preferences p = Harness::basePrefs();
    p.VoiceNavLevel = 1;
    p.CurrentBand = "20";
    PhoneDesk d(p);
    for (const char *cue : {"Dupe", "Call"})
        zevtest::WriteFile(d.h.folders.work(QString(cue) + ".wav"), PcmWave(800));
    MainWindow &w = d.start(VoiceSettings());
    w.cmdLogOn_Click();
    typeKeys("VE3XYZ ");
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.DupeFlag);
    FakePlayer *cues = d.voice;
    ASSERT_NE(cues, nullptr);
    ASSERT_FALSE(cues->played.isEmpty());
    EXPECT_EQ(cues->played.last(), d.h.folders.work("Dupe.wav"));
    // "Call" follows when the warning has been heard.
    cues->finish();
    EXPECT_EQ(cues->played.last(), d.h.folders.work("Call.wav"));
    // The next time the call box gets the focus it is named again.
    const qsizetype named = cues->played.count(d.h.folders.work("Call.wav"));
    w.reportRcvdBox->setFocus();
    w.callBox->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(cues->played.count(d.h.folders.work("Call.wav")), named + 1);
}
