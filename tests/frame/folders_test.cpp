#include "frame/folders.h"
#include "frame/shared_prefs.h"
#include "frame/startup.h"
#include "logcore/preferences.h"
#include "full_disk.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// Points HOME at a temporary folder for the life of the object.
class TempHome {
public:
    TempHome()
    {
        for (const char *v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
            saved_.append({v, qgetenv(v), qEnvironmentVariableIsSet(v)});
        qputenv("HOME", dir.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    ~TempHome()
    {
        for (const auto &s : saved_) {
            if (s.set)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    QTemporaryDir dir;

private:
    struct Saved {
        const char *name;
        QByteArray value;
        bool set;
    };
    QList<Saved> saved_;
};

}  // namespace

TEST(Folders, UserFoldersGoUnderTheDocumentsFolderOfAFreshHome)
{
    TempHome home;
    QTemporaryDir start;
    zevtest::ScriptedPrompter prompter;
    const Folders f = ResolveUserFolders(start.path(), &prompter);
    EXPECT_FALSE(QFileInfo::exists(f.BackupFolder()));
    MakeBackupFolder(f);
    const QString docs = home.dir.path() + "/Documents";
    EXPECT_EQ(f.StartDir, QDir(start.path()).absolutePath());
    EXPECT_EQ(f.StartDrive, "");
    EXPECT_EQ(f.MakerFolder, docs + "/Velko Software");
    EXPECT_EQ(f.ProgramDataFolder, docs + "/Velko Software/ZEV");
    EXPECT_EQ(f.SharedFolder, docs + "/Velko Software/Shared");
    for (const QString &d : {f.ProgramDataFolder, f.SharedFolder, f.BackupFolder()})
        EXPECT_TRUE(QFileInfo(d).isDir()) << d.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.dir.path() + "/My Documents"));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(f.work("log.txt"), f.StartDir + "/log.txt");
}

TEST(Folders, UnusableDocumentsFolderFallsBackToApplicationData)
{
    QTemporaryDir base;
    // A plain file where the documents folder should be.
    const QString docs = base.filePath("Documents");
    zevtest::WriteFile(docs, "not a folder");
    const QString data = base.filePath("data");
    ASSERT_TRUE(QDir().mkdir(data));
    zevtest::ScriptedPrompter prompter;
    const Folders f = ResolveFolders(base.path(), docs, data, &prompter);
    EXPECT_EQ(f.MakerFolder, data + "/Velko Software");
    MakeBackupFolder(f);
    EXPECT_TRUE(QFileInfo(f.BackupFolder()).isDir());
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(Folders, FolderThatCannotBeMadeIsReportedAndStartUpGoesOn)
{
    QTemporaryDir base;
    const QString docs = base.filePath("Documents");
    zevtest::WriteFile(docs, "x");
    const QString data = base.filePath("data");
    zevtest::WriteFile(data, "x");  // the fallback is unusable too
    zevtest::ScriptedPrompter prompter;
    const Folders f = ResolveFolders(base.path(), docs, data, &prompter);
    EXPECT_EQ(f.SharedFolder, data + "/Velko Software/Shared");
    ASSERT_FALSE(prompter.asked.isEmpty());
    EXPECT_EQ(prompter.asked[0].title, "Unable to create directory.");
    EXPECT_TRUE(prompter.asked[0].text.endsWith("  " + data + "/Velko Software")) << prompter.asked[0].text.toStdString();
}

TEST(Folders, EnsureFolderRules)
{
    QTemporaryDir base;
    zevtest::ScriptedPrompter prompter;
    EXPECT_FALSE(EnsureFolder({}, true, &prompter));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].text, "Invalid Path");
    EXPECT_EQ(prompter.asked[0].title, "Unable to Create Directory");

    const QString made = base.filePath("made");
    EXPECT_TRUE(EnsureFolder(made, true, &prompter));
    EXPECT_TRUE(EnsureFolder(made, true, &prompter));  // already there: nothing to do
    EXPECT_EQ(prompter.asked.size(), 1);

    // Only the last component is created; a missing parent is an error, silent when asked.
    EXPECT_FALSE(EnsureFolder(base.filePath("a/b"), false, &prompter));
    EXPECT_EQ(prompter.asked.size(), 1);
    EXPECT_FALSE(EnsureFolder(base.filePath("a/b"), true, &prompter));
    EXPECT_EQ(prompter.asked.size(), 2);
}

TEST(CallFileStem, KeepsLeadingDigitsAndCapitals)
{
    const std::pair<const char *, const char *> cases[] = {
        {"VA3ZEV", "VA3ZEV"}, {"VE3XYZ/P", "VE3XYZ"}, {"", "YourCall"},      {"ve3xyz", "YourCall"},
        {"VE3xyz", "VE3"},    {"4X1AB", "4X1AB"},     {"/VE3", "YourCall"}, {"K1 ABC", "K1"},
        {"VE-3", "VE"},
    };
    for (const auto &[call, stem] : cases)
        EXPECT_EQ(CallFileStem(call), stem) << call;
}

TEST(SharedPrefs, SetUpdatesInPlaceAppendsNewKeysAndRoundTrips)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("SharedUserPreferences.xml");
    SharedPrefs sp;
    sp.LoadSharedPrefs(path);
    EXPECT_EQ(sp.SharedPrefsText, SharedPrefs::declaration());

    ASSERT_TRUE(sp.SetSharedPref("own_call", "VE3ABC", false));
    ASSERT_TRUE(sp.SetSharedPref("OWN_ADDRESS_Line1", "1 Main St", false));
    ASSERT_TRUE(sp.SetSharedPref("OWN_CALL", "VE3XYZ", true));
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                "<OWN_CALL>VE3XYZ</OWN_CALL>\r\n"
                                "<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n";
    EXPECT_EQ(zevtest::ReadFile(path), expected);

    SharedPrefs again;
    again.LoadSharedPrefs(path);
    EXPECT_EQ(again.SharedPrefsText, sp.SharedPrefsText);
    ASSERT_TRUE(again.WriteSharedPrefs());
    EXPECT_EQ(zevtest::ReadFile(path), expected);

    // Values are kept as they are, markup characters included.
    ASSERT_TRUE(again.SetSharedPref("OWN_CLUB_NAME", "A&B <Club>", true));
    SharedPrefs third;
    third.LoadSharedPrefs(path);
    EXPECT_TRUE(third.SharedPrefsText.endsWith("<OWN_CLUB_NAME>A&B <Club></OWN_CLUB_NAME>"));
}

TEST(SharedPrefs, WriteFailureIsReported)
{
    QTemporaryDir dir;
    SharedPrefs sp;
    sp.LoadSharedPrefs(dir.filePath("missing/SharedUserPreferences.xml"));
    QString error;
    EXPECT_FALSE(sp.SetSharedPref("OWN_CALL", "VE3XYZ", true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(sp.SharedPrefsText.contains("<OWN_CALL>VE3XYZ</OWN_CALL>"));
}

TEST(FirstRun, MissingWorkingFilesAreCreatedAndDamagedOnesKept)
{
    QTemporaryDir dir;
    Folders f;
    f.StartDir = dir.path();
    zevtest::FakeClock clock;
    clock.utcOffsetSeconds = 5 * 3600 + 30 * 60;
    CreateMissingWorkingFiles(f, clock);

    Preferences p;
    ASSERT_TRUE(ParsePreferences(zevtest::ReadFile(f.work("zevpref.txt")), p).ok);
    EXPECT_EQ(p, DefaultPreferences(5.5));
    EXPECT_TRUE(QFileInfo::exists(f.work("log.txt")));
    EXPECT_EQ(QFileInfo(f.work("log.txt")).size(), 0);

    zevtest::WriteFile(f.work("zevpref.txt"), "\"damaged");
    zevtest::WriteFile(f.work("log.txt"), "\"x\"");
    CreateMissingWorkingFiles(f, clock);
    EXPECT_EQ(zevtest::ReadFile(f.work("zevpref.txt")), "\"damaged");
    EXPECT_EQ(zevtest::ReadFile(f.work("log.txt")), "\"x\"");
}

TEST(FirstRun, FilesThatCannotBeCreatedAreNamedWithTheCause)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    Folders f;
    f.StartDir = disk.path();
    f.SharedFolder = disk.filePath("Shared");
    ASSERT_TRUE(QDir().mkpath(f.SharedFolder));
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
    zevtest::FakeClock clock;
    const QString working = CreateMissingWorkingFiles(f, clock);
    EXPECT_TRUE(working.contains("zevpref.txt: No space left on device")) << working.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.work("zevpref.txt")));
    const QString data = InstallDataFiles(f, QStringLiteral(ZEV_BUILD_DIR));
    EXPECT_TRUE(data.contains("arrlpre2.txt: No space left on device")) << data.toStdString();
    EXPECT_TRUE(StartupFailureText(working).contains("zevpref.txt"));
}

TEST(FirstRun, DataFilesAreInstalledOnlyWhenNoneIsFound)
{
    QTemporaryDir dir;
    Folders f;
    f.StartDir = dir.filePath("start");
    f.ProgramDataFolder = dir.filePath("zev");
    f.SharedFolder = dir.filePath("shared");
    for (const QString &d : {f.StartDir, f.ProgramDataFolder, f.SharedFolder, dir.filePath("delivered")})
        ASSERT_TRUE(QDir().mkpath(d));
    zevtest::WriteFile(dir.filePath("delivered/arrlpre2.txt"), "delivered");
    zevtest::WriteFile(dir.filePath("delivered/ADIFCnt.txt"), "countries");

    zevtest::WriteFile(f.StartDir + "/arrlpre2.txt", "own");
    zevtest::WriteFile(f.ProgramDataFolder + "/ADIFCnt.txt", "own countries");
    InstallDataFiles(f, dir.filePath("delivered"));
    EXPECT_FALSE(QFileInfo::exists(f.SharedFolder + "/arrlpre2.txt"));
    EXPECT_FALSE(QFileInfo::exists(f.SharedFolder + "/ADIFCnt.txt"));

    QFile::remove(f.StartDir + "/arrlpre2.txt");
    InstallDataFiles(f, dir.filePath("delivered"));
    EXPECT_EQ(zevtest::ReadFile(f.SharedFolder + "/arrlpre2.txt"), "delivered");
    EXPECT_FALSE(QFileInfo::exists(f.SharedFolder + "/ADIFCnt.txt"));

    QFile::remove(f.ProgramDataFolder + "/ADIFCnt.txt");
    InstallDataFiles(f, dir.filePath("delivered"));
    EXPECT_EQ(zevtest::ReadFile(f.SharedFolder + "/ADIFCnt.txt"), "countries");
}

TEST(FirstRun, TheBandPlanGoesBesideTheLogAndAnEditedOneStays)
{
    QTemporaryDir dir;
    Folders f;
    f.StartDir = dir.filePath("start");
    f.SharedFolder = dir.filePath("shared");
    for (const QString &d : {f.StartDir, f.SharedFolder})
        ASSERT_TRUE(QDir().mkpath(d));
    EXPECT_EQ(InstallDataFiles(f, QStringLiteral(ZEV_BUILD_DIR)), "");
    const QByteArray shipped = zevtest::ReadFile(QStringLiteral(ZEV_BUILD_DIR "/BandPlan.txt"));
    ASSERT_FALSE(shipped.isEmpty());
    EXPECT_EQ(zevtest::ReadFile(f.work("BandPlan.txt")), shipped);
    zevtest::WriteFile(f.work("BandPlan.txt"), "\"mine\"\r\n");
    EXPECT_EQ(InstallDataFiles(f, QStringLiteral(ZEV_BUILD_DIR)), "");
    EXPECT_EQ(zevtest::ReadFile(f.work("BandPlan.txt")), "\"mine\"\r\n");
    // Nothing to copy from: said, not hidden.
    QFile::remove(f.work("BandPlan.txt"));
    EXPECT_TRUE(InstallDataFiles(f, dir.filePath("nowhere")).contains("BandPlan.txt"));
}
