// Starting a new log never loses the old one.

#include "full_disk.h"
#include "logcore/log_maintenance.h"
#include "window_harness.h"

#include <QDir>
#include <QFile>
#include <QLabel>

using namespace zevtest;

namespace {

const QString kNewLogTitle = QStringLiteral("WARNING - Your existing log file will be ERASED!");

// Opens the existing log at start-up, then File > New answered with YES.
void LoadThenNew(Harness &h)
{
    h.prompter.answers = {true};
    h.start();
    ASSERT_EQ(h.session->log.RecordCount(), 3);
    h.prompter.answers = {QStringLiteral("YES")};
    h.window->mnuNew_Click();
}

QByteArray BackupContent(const Harness &h, const QString &name)
{
    return zevtest::ReadFile(h.folders.BackupFolder() + QLatin1Char('/') + name);
}

}  // namespace

TEST(NewLog, ALogLoadedAndUnchangedIsCopiedBeforeItIsErased)
{
    Preferences p = Harness::basePrefs();
    p.OperatingSeconds = 3600;
    Harness h(p);
    LoadThenNew(h);
    EXPECT_EQ(h.session->log.RecordCount(), 0);
    EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")), QByteArray());
    ASSERT_EQ(h.backups(), QStringList{"200907011404.log"});
    EXPECT_EQ(BackupContent(h, "200907011404.log"), kThreeContacts);
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).OperatingSeconds, 0);
}

TEST(NewLog, TwoNewLogsInOneMinuteKeepBothCopies)
{
    Harness h;
    LoadThenNew(h);
    ContactRecord r = sampleContact();
    ASSERT_TRUE(h.window->LogContact(r));
    h.prompter.answers = {QStringLiteral("YES")};
    h.window->mnuNew_Click();
    EXPECT_EQ(h.session->log.RecordCount(), 0);
    ASSERT_EQ(h.backups(), (QStringList{"200907011404-2.log", "200907011404.log"}));
    EXPECT_EQ(BackupContent(h, "200907011404.log"), kThreeContacts);
    EXPECT_EQ(BackupContent(h, "200907011404-2.log"), RecordLine(r) + "\r\n");
}

// When no copy can be made the log is not erased, nothing else changes, and the operator
// hears why.
TEST(NewLog, NoCopyMeansNoErase)
{
    struct Case {
        const char *what;
        bool atStartUp;        // the start-up "No" path, else File > New on a loaded log
        bool fullDisk;         // the backup folder on a full disk, else a file in its place
    };
    for (const Case c : {Case{"File > New, backup folder blocked", false, false},
                         Case{"start-up No, backup folder blocked", true, false},
                         Case{"File > New, full disk", false, true},
                         Case{"start-up No, full disk", true, true}}) {
        SCOPED_TRACE(c.what);
        Preferences p = Harness::basePrefs();
        p.OperatingSeconds = 3600;
        Harness h(p);
        FullDisk disk;
        if (c.fullDisk) {
            ZEV_REQUIRE_FULL_DISK(disk);
            h.folders.ProgramDataFolder = disk.path();
            ASSERT_TRUE(QDir().mkpath(h.folders.BackupFolder()));
            ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
        } else {
            ASSERT_TRUE(QDir(h.folders.BackupFolder()).removeRecursively());
            zevtest::WriteFile(h.folders.BackupFolder(), "not a folder");
        }
        if (c.atStartUp) {
            h.prompter.answers = {false, QStringLiteral("YES")};
            h.start();
        } else {
            LoadThenNew(h);
        }
        EXPECT_EQ(h.endedWith, -1);
        EXPECT_EQ(h.session->log.RecordCount(), 3);
        EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")), kThreeContacts);
        EXPECT_EQ(h.session->prefs.OperatingSeconds, 3600);
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).OperatingSeconds, 3600);
        EXPECT_EQ(h.window->operatingTimeLabel->text(), "01:00:00");
        const QStringList titles = h.prompter.titles();
        const qsizetype asked = titles.indexOf(kNewLogTitle);
        ASSERT_GE(asked, 0);
        ASSERT_GT(titles.size(), asked + 1);
        const Asked &said = h.prompter.asked[asked + 1];
        EXPECT_EQ(said.title, "New Log Not Started");
        EXPECT_TRUE(said.text.contains("kept")) << said.text.toStdString();
        if (c.fullDisk) {
            EXPECT_TRUE(said.text.contains("No space left on device")) << said.text.toStdString();
        }
    }
}

TEST(NewLog, AnEmptyLogNeedsNoCopy)
{
    Harness h(Harness::basePrefs(), QByteArray());
    ASSERT_TRUE(QDir(h.folders.BackupFolder()).removeRecursively());
    zevtest::WriteFile(h.folders.BackupFolder(), "not a folder");
    h.prompter.answers = {false, QStringLiteral("YES")};
    h.start();
    EXPECT_EQ(h.session->log.RecordCount(), 0);
    EXPECT_FALSE(h.prompter.titles().contains("New Log Not Started"));
}

TEST(AutomaticBackup, ACopyThatCannotBeMadeAtCloseIsReported)
{
    ContactRecord r = sampleContact();
    for (bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "backup folder blocked");
        Harness h;
        FullDisk disk;
        h.prompter.answers = {true};
        h.start();
        ASSERT_TRUE(h.window->LogContact(r));
        if (fullDisk) {
            ZEV_REQUIRE_FULL_DISK(disk);
            h.session->folders.ProgramDataFolder = disk.path();
            ASSERT_TRUE(QDir().mkpath(h.session->folders.BackupFolder()));
            ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
        } else {
            ASSERT_TRUE(QDir(h.folders.BackupFolder()).removeRecursively());
            zevtest::WriteFile(h.folders.BackupFolder(), "not a folder");
        }
        h.prompter.asked.clear();
        h.window->close();
        ASSERT_FALSE(h.prompter.asked.isEmpty());
        EXPECT_EQ(h.prompter.asked.last().title, "Backup Not Made");
        EXPECT_TRUE(h.prompter.asked.last().text.contains("unchanged")) << h.prompter.asked.last().text.toStdString();
        if (fullDisk) {
            EXPECT_TRUE(h.prompter.asked.last().text.contains("No space left on device"));
        }
        EXPECT_EQ(h.session->log.RecordCount(), 4);
    }
}

TEST(AutomaticBackup, ACopyOfTheSameMinuteIsReplacedOnlyByOneThatHoldsItAll)
{
    ContactRecord r = sampleContact();
    {
        // The log only grew: the minute's backup is brought up to date, one file.
        Harness h;
        h.prompter.answers = {true};
        h.start();
        ASSERT_TRUE(h.window->LogContact(r));
        ASSERT_TRUE(Backup(*h.session));
        r.Call = "VE7ABD";
        ASSERT_TRUE(h.window->LogContact(r));
        ASSERT_TRUE(Backup(*h.session));
        ASSERT_EQ(h.backups().size(), 1);
        EXPECT_EQ(BackupContent(h, h.backups()[0]), zevtest::ReadFile(h.folders.work("log.txt")));
    }
    {
        // File > New, one contact, close within the minute: the erased contest stays.
        Harness h;
        LoadThenNew(h);
        ASSERT_EQ(h.session->log.RecordCount(), 0);
        ASSERT_TRUE(h.window->LogContact(r));
        h.window->close();
        QList<QByteArray> copies;
        for (const QString &name : h.backups())
            copies << BackupContent(h, name);
        EXPECT_EQ(copies.size(), 2);
        EXPECT_TRUE(copies.contains(kThreeContacts));
        EXPECT_TRUE(copies.contains(zevtest::ReadFile(h.folders.work("log.txt"))));
    }
}
