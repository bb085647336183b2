// The voice keyer against a real sound server: a private PulseAudio with a null sink,
// started for these tests. The null sink's monitor shows what really reached the server,
// so every push-to-talk window can be checked for audio.

#include "keying/audio_player_device.h"
#include "keying/voice_keyer.h"

#include "test_support.h"
#include "voice_test_fakes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>

using namespace zev;
using namespace zevtest;

namespace {

// A 16-bit mono tone of `ms` milliseconds at 8 kHz.
QByteArray ToneWave(int ms)
{
    const int frames = 8 * ms;
    QByteArray w = PcmWave(frames);
    char *samples = w.data() + 44;
    for (int i = 0; i < frames; ++i)
        qToLittleEndian(qint16(12000 * std::sin(2 * M_PI * 700 * i / 8000.0)), samples + 2 * i);
    return w;
}

// A private sound server with one null sink, and a recorder on its monitor that notes
// when sound (not silence) arrives.
class PrivatePulse {
public:
    PrivatePulse()
    {
        program_ = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program_.isEmpty() || !dir_.isValid())
            return;
        const QString socket = dir_.filePath("native");
        QFile script(dir_.filePath("server.pa"));
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write(QStringLiteral("load-module module-null-sink sink_name=zevnull\n"
                                    "load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n"
                                    "set-default-sink zevnull\n")
                         .arg(socket)
                         .toUtf8());
        script.close();
        QDir(dir_.path()).mkpath("runtime");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir_.path());
        env.insert("PULSE_RUNTIME_PATH", dir_.filePath("runtime"));
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.start(program_, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                 "--disable-shm=yes", "--log-target=stderr", "-F", script.fileName()});
        if (!server_.waitForStarted(10000))
            return;
        // Clients of this process (GStreamer's pulsesink) find the server through these.
        saved_ = {qgetenv("PULSE_SERVER"), qgetenv("PULSE_RUNTIME_PATH")};
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        qputenv("PULSE_RUNTIME_PATH", dir_.filePath("runtime").toUtf8());
        ready_ = QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000);
    }
    ~PrivatePulse()
    {
        if (recorder_.state() != QProcess::NotRunning) {
            recorder_.kill();
            recorder_.waitForFinished(5000);
        }
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(5000)) {
                server_.kill();
                server_.waitForFinished(5000);
            }
            qputenv("PULSE_SERVER", saved_.first);
            qputenv("PULSE_RUNTIME_PATH", saved_.second);
        }
    }
    bool installed() const { return !program_.isEmpty(); }
    bool ready() const { return ready_; }
    QByteArray serverLog() { return server_.readAll(); }

    // Records the monitor; sound() then lists the clock times at which sound arrived.
    bool record(const QElapsedTimer &clock)
    {
        const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
        if (parec.isEmpty())
            return false;
        recorder_.disconnect();
        sound_.clear();
        QObject::connect(&recorder_, &QProcess::readyReadStandardOutput, [this, clock] {
            const QByteArray b = recorder_.readAllStandardOutput();
            const qint64 at = clock.elapsed();
            for (qsizetype i = 0; i + 1 < b.size(); i += 2)
                if (std::abs(qFromLittleEndian<qint16>(b.constData() + i)) > 2000) {
                    sound_.append(at);
                    return;
                }
        });
        recorder_.start(parec, {"-d", "zevnull.monitor", "--raw", "--format=s16le", "--channels=1", "--rate=8000",
                                "--latency-msec=10"});
        return recorder_.waitForStarted(10000);
    }
    const QList<qint64> &sound() const { return sound_; }

private:
    QTemporaryDir dir_;
    QString program_;
    QProcess server_;
    QProcess recorder_;
    QList<qint64> sound_;
    std::pair<QByteArray, QByteArray> saved_;
    bool ready_ = false;
};

// One server for the whole test program, started before any test makes a sound: the
// sound system of a process stays bound to the server it first reached, so the other
// player tests play through it too.
PrivatePulse *sharedPulse = nullptr;

class PulseEnvironment : public ::testing::Environment {
public:
    void SetUp() override { sharedPulse = new PrivatePulse; }
    void TearDown() override
    {
        delete sharedPulse;
        sharedPulse = nullptr;
    }
};
[[maybe_unused]] ::testing::Environment *const kPulseEnvironment =
    ::testing::AddGlobalTestEnvironment(new PulseEnvironment);

class VoicePulse : public ::testing::Test {
protected:
    void SetUp() override
    {
        pulse = sharedPulse;
        ASSERT_NE(pulse, nullptr);
        if (!pulse->installed())
            GTEST_SKIP() << "pulseaudio is not installed";
        ASSERT_TRUE(pulse->ready()) << pulse->serverLog().toStdString();
    }
    PrivatePulse *pulse = nullptr;
};

// F1 pressed again and again, each time after the last message ended: every message is
// heard while the PTT is down, and the PTT drops after each.
TEST_F(VoicePulse, EveryMessageIsHeardWhileThePttIsDown)
{
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(pulse->record(clock));

    QTemporaryDir dir;
    const QString tone = WriteWave(dir.filePath("tone.wav"), ToneWave(400));
    AudioPlayerDevice player;
    QStringList events;
    RecordingLineFactory lines{events, {}};
    ScriptedPrompter prompter;
    VoiceKeyer keyer(player, lines.factory(), [](int) { return QStringLiteral("/dev/ttyS0"); }, prompter);
    VoiceSettings s;
    s.files[0] = tone;
    s.port = "1";
    keyer.setSettings(s);
    QStringList said;
    QObject::connect(&keyer, &VoiceKeyer::status, [&](const QString &t) { said << t; });
    // PTT windows as [down, up] on the test's clock.
    QList<std::pair<qint64, qint64>> windows;
    QObject::connect(&keyer, &VoiceKeyer::pttChanged, [&](bool down) {
        if (down)
            windows.append({clock.elapsed(), -1});
        else if (!windows.isEmpty())
            windows.last().second = clock.elapsed();
    });

    const int plays = 8;
    for (int play = 1; play <= plays; ++play) {
        SCOPED_TRACE(play);
        keyer.FKeyPhone(kKeyF1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.isPlaying() && !keyer.pttDown(); }, 20000));
        QTest::qWait(150);  // the operator's pause between presses
    }
    // Let the recorder catch up with the last message.
    QTest::qWait(300);
    EXPECT_TRUE(said.isEmpty()) << said.join(" / ").toStdString();
    ASSERT_EQ(windows.size(), plays) << events.join(", ").toStdString();
    for (int i = 0; i < windows.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const auto [down, up] = windows[i];
        ASSERT_GE(up, down);
        // Sound arrived at the server while this PTT window was open (the recorder adds its
        // own latency, hence the look past the window's end).
        const bool heard = std::any_of(pulse->sound().begin(), pulse->sound().end(),
                                       [&](qint64 t) { return t >= down && t <= up + 200; });
        EXPECT_TRUE(heard) << "PTT " << down << ".." << up << " ms without sound";
    }
}

// The server stops taking sound in the middle of a message (its sink suspended): the
// stream stalls, the PTT is let go and the operator is told, long before the message's
// length would have run out.
TEST_F(VoicePulse, AStalledStreamReleasesThePttAndSaysSo)
{
    QTemporaryDir dir;
    const QString tone = WriteWave(dir.filePath("long.wav"), ToneWave(20000));
    AudioPlayerDevice player;
    QStringList events;
    RecordingLineFactory lines{events, {}};
    ScriptedPrompter prompter;
    VoiceKeyer keyer(player, lines.factory(), [](int) { return QStringLiteral("/dev/ttyS0"); }, prompter);
    VoiceSettings s;
    s.files[0] = tone;
    s.port = "1";
    keyer.setSettings(s);
    QSignalSpy status(&keyer, &VoiceKeyer::status);

    keyer.FKeyPhone(kKeyF1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyer.pttDown(); }, 20000));
    ASSERT_EQ(QProcess::execute(QStringLiteral("pactl"), {"suspend-sink", "zevnull", "1"}), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.pttDown(); }, 15000));
    EXPECT_FALSE(keyer.isPlaying());
    EXPECT_EQ(events.last(), "RTS up");
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains("stopped flowing")) << status[0][0].toString().toStdString();
    EXPECT_EQ(QProcess::execute(QStringLiteral("pactl"), {"suspend-sink", "zevnull", "0"}), 0);
}

}  // namespace
