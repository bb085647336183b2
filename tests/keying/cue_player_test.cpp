#include "keying/cue_player.h"

#include "frame/startup.h"
#include "full_disk.h"
#include "keying/cue_files.h"
#include "test_support.h"
#include "voice_test_fakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;

namespace {

class CuePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char *name : {"NavEn", "Call", "Dupe", "NavDis"})
            WriteWave(dir.filePath(QString(name) + ".wav"), PcmWave(80));
    }
    QString path(const QString &cue) const { return dir.filePath(cue + ".wav"); }

    QTemporaryDir dir;
    QStringList events;
    FakePlayer player{events};
    CuePlayer cues{player, dir.path()};
};

TEST_F(CuePlayerTest, ACueComesFromTheWorkingFolderAndCutsOffTheOnePlaying)
{
    cues.BlindKeyPhone("Call");
    EXPECT_EQ(events, QStringList({"play " + path("Call")}));
    cues.BlindKeyPhone("Dupe");
    EXPECT_EQ(events, QStringList({"play " + path("Call"), "stop", "play " + path("Dupe")}));
}

TEST_F(CuePlayerTest, AMissingOrBrokenCueIsSilentAndStillCutsOff)
{
    WriteFile(path("SPC"), "not a wave");
    cues.BlindKeyPhone("Call");
    cues.BlindKeyPhone("RstRcvd");  // no file
    cues.BlindKeyPhone("SPC");      // not a wave file
    EXPECT_EQ(events, QStringList({"play " + path("Call"), "stop"}));
}

TEST_F(CuePlayerTest, CallFollowsNavEnOnlyAfterItHasEnded)
{
    cues.BlindKeyPhoneThen("NavEn", "Call");
    EXPECT_EQ(player.played, QStringList({path("NavEn")}));
    EXPECT_TRUE(cues.waiting());
    QCoreApplication::processEvents();
    EXPECT_EQ(player.played.size(), 1);  // no overlap while NavEn plays
    player.finish();
    EXPECT_EQ(player.played, QStringList({path("NavEn"), path("Call")}));
    EXPECT_FALSE(cues.waiting());
    player.finish();
    EXPECT_EQ(player.played.size(), 2);
}

TEST_F(CuePlayerTest, CallFollowsAFailedNavEn)
{
    cues.BlindKeyPhoneThen("NavEn", "Call");
    player.fail("no sound device");
    EXPECT_EQ(player.played, QStringList({path("NavEn"), path("Call")}));
}

TEST_F(CuePlayerTest, CallFollowsOnTheTimeoutWhenThePlayerReportsNoEnd)
{
    cues.setChainMargin(30);
    cues.BlindKeyPhoneThen("NavEn", "Call");
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.played.size() == 2; }, 5000));
    EXPECT_EQ(events, QStringList({"play " + path("NavEn"), "stop", "play " + path("Call")}));
}

TEST_F(CuePlayerTest, AMissingFirstCueLetsTheSecondPlayAtOnce)
{
    QFile::remove(path("NavEn"));
    cues.BlindKeyPhoneThen("NavEn", "Call");
    EXPECT_EQ(player.played, QStringList({path("Call")}));
    EXPECT_FALSE(cues.waiting());
}

TEST_F(CuePlayerTest, ANewCueCancelsTheOneWaiting)
{
    cues.BlindKeyPhoneThen("NavEn", "Call");
    cues.BlindKeyPhone("NavDis");
    player.finish();
    EXPECT_EQ(player.played, QStringList({path("NavEn"), path("NavDis")}));
    cues.BlindKeyPhoneThen("NavEn", "Call");
    cues.stop();
    player.finish();
    EXPECT_EQ(player.played.size(), 3);
}

TEST(CueFiles, InstallationFillsTheGapsAndNeverOverwrites)
{
    QTemporaryDir delivered, work;
    for (const QString &name : CueNames())
        WriteFile(delivered.filePath(name + ".wav"), "delivered " + name.toLatin1());
    QFile::remove(delivered.filePath("ObelPwr.wav"));  // not delivered: skipped quietly
    WriteFile(work.filePath("Call.wav"), "my own voice");
    QFile::link(work.filePath("elsewhere.wav"), work.filePath("Dupe.wav"));  // dangling link

    EXPECT_EQ(InstallCueFiles(work.path(), delivered.path()), "");
    EXPECT_EQ(ReadFile(work.filePath("Call.wav")), "my own voice");
    EXPECT_TRUE(QFileInfo(work.filePath("Dupe.wav")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(work.filePath("ObelPwr.wav")));
    for (const char *name : {"RstRcvd", "SPC", "RstSnt", "NavEn", "NavDis"})
        EXPECT_EQ(ReadFile(work.filePath(QString(name) + ".wav")), "delivered " + QByteArray(name));
}

TEST(CueFiles, TheEightCuesAreRecordedAtBuildAndInstalledAtFirstStart)
{
    QTemporaryDir work, shared;
    Folders folders;
    folders.StartDir = work.path();
    folders.SharedFolder = shared.path();
    folders.ProgramDataFolder = shared.path();
    EXPECT_EQ(InstallDataFiles(folders, QStringLiteral(ZEV_BUILD_DIR)), "");
    ASSERT_EQ(CueNames().size(), 8);
    for (const QString &name : CueNames()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(ReadFile(work.filePath(name + ".wav")), ReadFile(QStringLiteral(ZEV_BUILD_DIR "/") + name + ".wav"));
        EXPECT_GT(ReadFile(work.filePath(name + ".wav")).size(), 1000);
    }
}

TEST(CueFiles, AFailedCopyIsReported)
{
    FullDisk disk(64 * 1024);
    ZEV_REQUIRE_FULL_DISK(disk);
    ASSERT_TRUE(disk.fill());
    QTemporaryDir delivered;
    WriteFile(delivered.filePath("Call.wav"), QByteArray(20000, 'x'));
    const QString failures = InstallCueFiles(disk.path(), delivered.path());
    EXPECT_TRUE(failures.contains(disk.filePath("Call.wav"))) << failures.toStdString();
}

}  // namespace
