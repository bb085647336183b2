// The logging window's keys as the keying sees them: function keys with their wildcards,
// the speed arrows, keyboard CW, Escape and the repeat of F1, on a recording key line.

#include "keying/cw_engine.h"
#include "keying/keying_controller.h"
#include "keying/keying_keys_ui.h"
#include "keying/morse.h"
#include "keying/recording_key_line.h"
#include "keying/voice_keyer.h"
#include "keying_helpers.h"
#include "voice_test_fakes.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// The logging window as the keying sees it: it answers the macros and takes notes.
struct NoteTakingHost : KeyingHost {
    QString call = "VE3ABC", exchange = "ON", report = "599", mode = "CW";
    int commits = 0, clears = 0;
    QStringList dialog;
    QList<quint32> colours;

    QString callForMacros() const override { return call; }
    QString exchangeForMacros() const override { return exchange; }
    QString reportForMacros() const override { return report; }
    QString currentMode() const override { return mode; }
    void commit() override { ++commits; }
    void clearEntry() override { ++clears; }
    void showMessageLine(const QString &text) override { dialog << text; }
    void setMessageLineColour(quint32 bgr) override { colours << bgr; }
};

// A controller with a recording line and a logging window that only takes notes.
struct Desk {
    CwBuffer buffer;
    VirtualCwClock *clock = new VirtualCwClock;
    std::shared_ptr<KeyLineRecord> record = std::make_shared<KeyLineRecord>();
    std::unique_ptr<CwEngine> engine;
    zevtest::ScriptedPrompter prompter;
    NoteTakingHost host;
    std::unique_ptr<KeyingController> keying;

    QString &call = host.call, &exchange = host.exchange, &report = host.report, &mode = host.mode;
    int &commits = host.commits, &clears = host.clears;
    QStringList &dialog = host.dialog;
    QList<quint32> &colours = host.colours;
    int setupShown = 0;
    QList<QPair<KeyLineKind, QString>> linesMade;
    bool lineOpens = true;
    // Holds the keying thread after each step while set, to act mid-message.
    std::atomic<bool> hold{false};
    std::atomic<int> steps{0};

    Desk()
    {
        engine = std::make_unique<CwEngine>(buffer, std::unique_ptr<CwClock>(clock));
        clock->onWait = [this](qint64) {
            ++steps;
            while (hold.load())
                QThread::usleep(200);
        };
        auto factory = [this](KeyLineKind kind, const QString &where) -> std::unique_ptr<KeyLine> {
            linesMade << qMakePair(kind, where);
            record->failOpen(!lineOpens);
            return std::make_unique<RecordingKeyLine>(record, [c = clock] { return c->now(); });
        };
        keying = std::make_unique<KeyingController>(
            buffer, *engine, factory, [](int n) { return QStringLiteral("/dev/ttyTEST%1").arg(n); }, prompter);
        keying->setHost(&host);
        QObject::connect(keying.get(), &KeyingController::setupWanted, [this] { ++setupShown; });
        keying->settings.keyingLine = kKeyRts;
        keying->settings.port = "3";
        keying->settings.speed = "20";
        keying->settings.showText = 1;
        keying->apply();
    }
    // The message boxes, as "title: text".
    QStringList messages() const
    {
        QStringList out;
        for (const auto &a : prompter.asked)
            if (a.kind == "message")
                out << a.title + ": " + a.text;
        return out;
    }

    bool key(int qtKey, const QString &text = {}, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        return KeyToKeying(*keying, qtKey, m, text);
    }
    bool idle()
    {
        const bool done = QTest::qWaitFor([&] { return !keying->CWSending() && buffer.isEmpty(); }, 10000);
        // What the keying thread reported before it went idle is waiting in the queue.
        QCoreApplication::sendPostedEvents();
        return done;
    }
    QString keyed() const { return zevtest::Keyed(*record); }
};

}  // namespace

TEST(KeyingController, FunctionKeysSendTheirMessagesWithTheContactFilledIn)
{
    struct Case {
        int qtKey;
        QString report;
        QString sent;
    };
    const Case cases[] = {
        {Qt::Key_F1, "599", "VE3ABC 5NN ON"},
        {Qt::Key_F2, "579", "TU 579"},
        {Qt::Key_F2, "", "TU 5NN"},
        {Qt::Key_F10, "599", "QRZ"},  // F10 sends the tenth message, not the menu bar
        {Qt::Key_F11, "599", "AGN"},
    };
    for (const Case &c : cases) {
        Desk d;
        d.keying->settings.messages[0] = "$ 5NN #";
        d.keying->settings.messages[1] = "TU *";
        d.keying->settings.messages[9] = "QRZ";
        d.keying->settings.messages[10] = "AGN";
        d.report = c.report;
        EXPECT_TRUE(d.key(c.qtKey));
        ASSERT_TRUE(d.idle());
        EXPECT_EQ(d.keyed(), zevtest::PatternOf(c.sent)) << c.sent.toStdString();
        // The remainder shrinks on the message line and ends empty.
        ASSERT_FALSE(d.dialog.isEmpty());
        EXPECT_EQ(d.dialog.first(), c.sent.mid(1));
        EXPECT_EQ(d.dialog.last(), "");
        EXPECT_EQ(d.linesMade.size(), 1);
        EXPECT_EQ(d.linesMade.first().second, "/dev/ttyTEST3");
    }
}

TEST(KeyingController, NoKeyingLineLeavesTheKeysToTheBoxes)
{
    Desk d;
    d.keying->setKeyingLine(kKeyNone);
    d.keying->settings.messages[0] = "TEST";
    EXPECT_FALSE(d.key(Qt::Key_F1));
    EXPECT_FALSE(d.key(Qt::Key_Up));
    EXPECT_FALSE(d.key(Qt::Key_F12));
    EXPECT_TRUE(d.buffer.isEmpty());
    EXPECT_TRUE(d.linesMade.isEmpty());
    EXPECT_EQ(d.keying->settings.speed, "20");
}

TEST(KeyingController, TheArrowsChangeTheSpeedWithinWhatTheEngineKeys)
{
    struct Case {
        QString from;
        int qtKey;
        QString to;
    };
    const Case cases[] = {
        {"20", Qt::Key_Up, "21"}, {"20", Qt::Key_Down, "19"}, {"5", Qt::Key_Down, "5"},
        {"99", Qt::Key_Up, "99"}, {"", Qt::Key_Up, "5"},      {"", Qt::Key_Down, "5"},
        {"0", Qt::Key_Down, "5"}, {"3", Qt::Key_Down, "5"},   {"3", Qt::Key_Up, "5"},
        {"150", Qt::Key_Down, "99"},
    };
    for (const Case &c : cases) {
        Desk d;
        d.keying->setSpeedText(c.from);
        EXPECT_TRUE(d.key(c.qtKey));
        EXPECT_EQ(d.keying->settings.speed, c.to) << c.from.toStdString();
        EXPECT_EQ(d.dialog.last(), c.to + " WPM");
    }
}

TEST(KeyingController, PhoneModeHandsFunctionKeysToTheVoiceKeyer)
{
    Desk d;
    QTemporaryDir dir;
    QStringList events;
    zevtest::FakePlayer player(events);
    VoiceKeyer voice(player, {}, {}, d.prompter);
    VoiceSettings files;
    files.files[0] = zevtest::WriteWave(dir.filePath("f1.wav"), zevtest::PcmWave(800));
    files.files[8] = zevtest::WriteWave(dir.filePath("f9.wav"), zevtest::PcmWave(800));
    voice.setSettings(files);
    d.keying->setVoiceKeyer(&voice);
    d.mode = "ph";
    d.keying->settings.messages[0] = "CQ";
    EXPECT_TRUE(d.key(Qt::Key_F1));
    EXPECT_TRUE(d.key(Qt::Key_F9));
    EXPECT_TRUE(d.key(Qt::Key_F10));  // taken so the menu bar does not open
    EXPECT_FALSE(d.key(Qt::Key_F11));
    EXPECT_FALSE(d.key(Qt::Key_Up));
    // Shift+F10 stays the context-menu key, Alt+F4 the desktop's.
    EXPECT_FALSE(d.key(Qt::Key_F10, {}, Qt::ShiftModifier));
    EXPECT_FALSE(d.key(Qt::Key_F4, {}, Qt::AltModifier));
    EXPECT_EQ(player.played, QStringList({files.files[0], files.files[8]}));
    d.mode = "CW";
    EXPECT_FALSE(d.key(Qt::Key_F10, {}, Qt::ShiftModifier));
    EXPECT_FALSE(d.key(Qt::Key_Up, {}, Qt::ShiftModifier));
    EXPECT_TRUE(d.key(Qt::Key_Up, {}, Qt::KeypadModifier));
    EXPECT_TRUE(d.record->sets().empty());
}

TEST(KeyingController, KeyboardCwSendsTypedKeysAndBackspaceTakesBackTheLastOne)
{
    Desk d;
    EXPECT_TRUE(d.key(Qt::Key_F12));
    EXPECT_TRUE(d.keying->KeyboardCWMode());
    EXPECT_EQ(d.dialog.last(), "Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode.");
    EXPECT_EQ(d.colours.last(), kKeyboardCwBackground);

    // Hold the first letter on the air while four more are typed and one taken back.
    d.hold = true;
    EXPECT_TRUE(d.key(Qt::Key_T, "t"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.steps.load() > 0; }, 5000));
    for (const char *k : {"e", "s", "t"})
        EXPECT_TRUE(d.key(Qt::Key_A, k));
    EXPECT_TRUE(d.key(Qt::Key_Backspace));
    d.hold = false;
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("TES"));
    EXPECT_EQ(d.dialog.last(), "Keyboard CW Mode is on.  Press F12 to exit.");

    // Outside CW mode typed keys go to the boxes.
    d.mode = "PH";
    EXPECT_FALSE(d.key(Qt::Key_A, "a"));
    d.mode = "CW";
    EXPECT_TRUE(d.key(Qt::Key_F12));
    EXPECT_FALSE(d.keying->KeyboardCWMode());
    EXPECT_EQ(d.colours.last(), kDialogBackground);
    EXPECT_FALSE(d.key(Qt::Key_A, "a"));
}

TEST(KeyingController, EscapeStopsSendingOrClearsTheBoxes)
{
    Desk d;
    d.keying->settings.messages[0] = "EEEEEEEE";
    EXPECT_TRUE(d.key(Qt::Key_Escape));
    EXPECT_EQ(d.clears, 1);

    d.hold = true;
    EXPECT_TRUE(d.key(Qt::Key_F1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.steps.load() > 0; }, 5000));
    EXPECT_TRUE(d.keying->CWSending());
    EXPECT_TRUE(d.key(Qt::Key_Escape));
    EXPECT_EQ(d.clears, 1);  // sending: only the sending stops
    EXPECT_TRUE(d.buffer.isEmpty());
    d.hold = false;
    ASSERT_TRUE(d.idle());
    // The character on the air is finished, nothing after it, and the key is up.
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("E"));
    EXPECT_FALSE(d.record->isDown());
}

TEST(KeyingController, ANewFunctionKeyReplacesTheMessageOnTheAir)
{
    Desk d;
    d.keying->settings.messages[0] = "EEEEEEEE";
    d.keying->settings.messages[1] = "T";
    d.hold = true;
    EXPECT_TRUE(d.key(Qt::Key_F1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.steps.load() > 0; }, 5000));
    EXPECT_TRUE(d.key(Qt::Key_F2));
    d.hold = false;
    ASSERT_TRUE(d.idle());
    EXPECT_EQ(d.keyed(), zevtest::PatternOf("ET"));
}

TEST(KeyingController, F1RepeatsAfterItsPauseUntilAnyKey)
{
    Desk d;
    d.keying->settings.messages[0] = "E";
    d.keying->settings.repeatPause = "0.05";
    d.keying->apply();
    EXPECT_EQ(d.keying->tmrRepeat()->interval(), 50);
    EXPECT_TRUE(d.key(Qt::Key_F1));
    EXPECT_TRUE(d.keying->CWRepeatArmed());
    // The pause runs from the end of each message; then F1 goes again and arms again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.keyed().startsWith(zevtest::PatternOf("EEE")); }, 10000));
    EXPECT_TRUE(d.keying->CWRepeatArmed());
    // Shift alone is a key too.
    EXPECT_FALSE(d.key(Qt::Key_Shift));
    EXPECT_FALSE(d.keying->CWRepeatArmed());
    EXPECT_FALSE(d.keying->tmrRepeat()->isActive());
    ASSERT_TRUE(d.idle());
    const size_t sent = d.record->sets().size();
    QTest::qWait(200);
    EXPECT_EQ(d.record->sets().size(), sent);

    // A pause outside 0..60 s means no repeat.
    d.keying->settings.repeatPause = "60";
    d.keying->apply();
    EXPECT_EQ(d.keying->settings.repeatPause, "0");
    EXPECT_TRUE(d.key(Qt::Key_F1));
    EXPECT_FALSE(d.keying->CWRepeatArmed());
}

TEST(KeyingController, AnExclamationMarkLogsTheContactOnlyWithACall)
{
    for (const QString call : {"VE3ABC", "  "}) {
        Desk d;
        d.call = call;
        d.keying->settings.messages[0] = "TU!";
        EXPECT_TRUE(d.key(Qt::Key_F1));
        ASSERT_TRUE(d.idle());
        EXPECT_EQ(d.commits, call.trimmed().isEmpty() ? 0 : 1);
        EXPECT_EQ(d.keyed(), zevtest::PatternOf("TU"));
    }
}

TEST(KeyingController, ABadPortIsReportedOncePerMessageAndNothingIsKeyed)
{
    {
        Desk d;
        d.keying->settings.port = "0";
        d.keying->settings.messages[0] = "TEST";
        EXPECT_TRUE(d.key(Qt::Key_F1));
        EXPECT_TRUE(d.buffer.isEmpty());
        EXPECT_EQ(d.dialog.last(), "No CW port set");
        EXPECT_TRUE(d.linesMade.isEmpty());
        EXPECT_TRUE(d.messages().isEmpty());
    }
    {
        Desk d;
        d.lineOpens = false;
        d.keying->settings.messages[0] = "TEST TEST";
        EXPECT_TRUE(d.key(Qt::Key_F1));
        EXPECT_TRUE(d.idle());
        ASSERT_EQ(d.messages().size(), 1);
        EXPECT_TRUE(d.messages().first().startsWith("Invalid port.: The port you have selected for CW keying is "
                                                  "invalid.  Please select another or enter 0 for none."));
        EXPECT_EQ(d.setupShown, 1);
        EXPECT_TRUE(d.record->sets().empty());
        // The next message tries again and says so again, once.
        EXPECT_TRUE(d.key(Qt::Key_F1));
        EXPECT_EQ(d.messages().size(), 2);
    }
}

TEST(KeyingController, ASpeedOutsideFiveToNinetyNineKeysNothing)
{
    struct Case {
        QString speed;
        QString said;
    };
    const Case cases[] = {
        {"0", "CW not sent: the speed is 0 WPM; it must be from 5 to 99 WPM."},
        {"", "CW not sent: the speed is 0 WPM; it must be from 5 to 99 WPM."},
        {"100", "CW not sent: the speed is 100 WPM; it must be from 5 to 99 WPM."},
        {"4", "CW not sent: the speed is 4 WPM; it must be from 5 to 99 WPM."},
    };
    for (const Case &c : cases) {
        Desk d;
        d.keying->setSpeedText(c.speed);
        d.keying->settings.messages[0] = "TEST";
        EXPECT_TRUE(d.key(Qt::Key_F1));
        ASSERT_TRUE(d.idle());
        EXPECT_EQ(d.keyed().count('1'), 0) << c.speed.toStdString();
        EXPECT_EQ(d.dialog.filter(c.said).size(), 1) << c.speed.toStdString();
    }
}

TEST(KeyingController, TheLoggingWindowClosesOnlyWhenNothingIsOnTheAir)
{
    Desk d;
    EXPECT_TRUE(d.keying->mayClose());
    d.keying->settings.messages[0] = "EEEE";
    d.hold = true;
    EXPECT_TRUE(d.key(Qt::Key_F1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.steps.load() > 0; }, 5000));
    EXPECT_FALSE(d.keying->mayClose());
    EXPECT_TRUE(d.buffer.isEmpty());
    d.hold = false;
    ASSERT_TRUE(d.idle());
    EXPECT_TRUE(d.keying->mayClose());
}

TEST(KeyingController, AMessageThatComesOutEmptyLeavesNothingSending)
{
    Desk d;
    d.call = "";
    d.keying->settings.messages[1] = "$";
    EXPECT_TRUE(d.key(Qt::Key_F2));
    EXPECT_FALSE(d.keying->CWSending());
    EXPECT_TRUE(d.keying->mayClose());
    // Escape then clears the boxes, as with nothing on the air.
    EXPECT_TRUE(d.key(Qt::Key_Escape));
    EXPECT_EQ(d.clears, 1);
}
