#include "keying/blind_window.h"

#include "frame/session.h"
#include "keying/cue_player.h"
#include "test_support.h"
#include "voice_test_fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

struct BlindHarness {
    BlindHarness() : registry(dir.filePath("registry.ini")), session(Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry)
    {
        for (const char *name : {"NavEn", "NavDis", "Call"})
            WriteWave(dir.filePath(QString(name) + ".wav"), PcmWave(80));
    }
    QString cue(const char *name) const { return dir.filePath(QString(name) + ".wav"); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    Registry registry;
    Session session;
    QStringList events;
    FakePlayer player{events};
    CuePlayer cues{player, dir.path()};
    int saves = 0;
    BlindWindow window{session, cues, [this] { ++saves; }};
};

TEST(BlindWindow, OpeningSpeaksTheCurrentChoice)
{
    const struct {
        int level;
        const char *checked;
        const char *cue;
    } cases[] = {{0, "Option1", "NavDis"}, {1, "Option2", "NavEn"}, {2, "Option3", "NavEn"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.level);
        BlindHarness h;
        h.session.prefs.VoiceNavLevel = c.level;
        h.window.show();
        EXPECT_TRUE(h.window.findChild<QRadioButton *>(c.checked)->isChecked());
        EXPECT_EQ(h.player.played, QStringList({h.cue(c.cue)}));
    }
}

TEST(BlindWindow, CallOnlySpeaksNavEnThenCall)
{
    BlindHarness h;
    h.window.show();
    h.player.played.clear();
    h.window.Option2->click();
    EXPECT_EQ(h.player.played, QStringList({h.cue("NavEn")}));
    h.player.finish();
    EXPECT_EQ(h.player.played, QStringList({h.cue("NavEn"), h.cue("Call")}));
    h.window.Option1->click();
    EXPECT_EQ(h.player.played.last(), h.cue("NavDis"));
}

// Operators who cannot see the screen choose with the arrow keys.
TEST(BlindWindow, ArrowKeysSpeakTheChoiceToo)
{
    BlindHarness h;
    h.window.show();
    QApplication::setActiveWindow(&h.window);
    h.window.Option1->setFocus();
    h.player.played.clear();
    QTest::keyClick(h.window.Option1, Qt::Key_Down);
    EXPECT_TRUE(h.window.Option2->isChecked());
    EXPECT_EQ(h.player.played, QStringList({h.cue("NavEn")}));
}

TEST(BlindWindow, DoneKeepsTheLevelAndSavesThePreferences)
{
    BlindHarness h;
    h.window.show();
    h.window.Option3->click();
    h.window.Command1->click();
    EXPECT_EQ(h.session.prefs.VoiceNavLevel, 2);
    EXPECT_EQ(h.saves, 1);
    EXPECT_FALSE(h.window.isVisible());
    h.window.show();
    h.window.Option2->click();
    h.window.Command1->click();
    EXPECT_EQ(h.session.prefs.VoiceNavLevel, 1);
    EXPECT_EQ(h.saves, 2);
}

TEST(BlindWindow, MissingCuesAreSilentWithoutAMessage)
{
    BlindHarness h;
    QFile::remove(h.cue("NavDis"));
    h.window.show();
    h.window.Option1->click();
    EXPECT_TRUE(h.player.played.isEmpty());
    EXPECT_TRUE(h.prompter.asked.isEmpty());
}

TEST(BlindWindow, NamesTheFolderAndEveryControl)
{
    BlindHarness h;
    EXPECT_EQ(h.window.windowTitle(), "Voice Navigation Settings");
    EXPECT_EQ(h.window.Label7->text(),
              "Put the audio wave files in this program's working directory: " + h.dir.path());
    const QList<QAbstractButton *> buttons = h.window.findChildren<QAbstractButton *>();
    EXPECT_EQ(buttons.size(), 4);
    for (QAbstractButton *b : buttons)
        EXPECT_FALSE(b->accessibleName().isEmpty()) << b->objectName().toStdString();
}

}  // namespace
