// Where the program finds its delivered files and, installed, the folder it works in.

#include "frame/startup.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

void Touch(const QString &path)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write("data\n"), 5);
}

// Puts the current directory back when the test changed it.
class KeepCurrentDir {
public:
    ~KeepCurrentDir() { QDir::setCurrent(saved_); }
    const QString saved_ = QDir::currentPath();
};

}  // namespace

TEST(ProgramData, BesideTheProgramFirstThenTheInstalledLayout)
{
    struct Case {
        const char *name;
        bool beside;
        bool installed;
        const char *expectDir;  // relative to the temporary root
        bool expectInstalled;
    };
    const Case cases[] = {
        {"build tree", true, false, "bin", false},
        {"installed", false, true, "share/zevlog", true},
        {"both: the build tree wins", true, true, "bin", false},
        {"neither: reported missing beside the program", false, false, "bin", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ASSERT_TRUE(QDir(root.path()).mkpath("bin"));
        if (c.beside)
            Touch(root.filePath("bin/BandPlan.txt"));
        if (c.installed)
            Touch(root.filePath("share/zevlog/BandPlan.txt"));
        const ProgramData data = LocateProgramData(root.filePath("bin"), "../share/zevlog");
        EXPECT_EQ(data.dir, root.filePath(c.expectDir));
        EXPECT_EQ(data.installed, c.expectInstalled);
    }
}

TEST(ProgramData, InstalledWorkFolderIsZevWorkdirOrZevLogAtHome)
{
    EXPECT_EQ(InstalledWorkFolder("", "/home/ve3abc"), "/home/ve3abc/ZEVLog");
    EXPECT_EQ(InstalledWorkFolder("/srv/contests/2026", "/home/ve3abc"), "/srv/contests/2026");
}

TEST(ProgramData, EnterWorkFolderMakesMissingFoldersAndEntersThem)
{
    KeepCurrentDir keep;
    QTemporaryDir root;
    const QString nested = root.filePath("contests/winter/2026");
    EXPECT_EQ(EnterWorkFolder(nested), "");
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_EQ(QDir::currentPath(), QFileInfo(nested).canonicalFilePath());
    // An existing folder is entered as it is.
    QDir::setCurrent(root.path());
    EXPECT_EQ(EnterWorkFolder(nested), "");
    EXPECT_EQ(QDir::currentPath(), QFileInfo(nested).canonicalFilePath());
}

TEST(ProgramData, AWorkFolderThatCannotBeMadeIsExplained)
{
    KeepCurrentDir keep;
    QTemporaryDir root;
    Touch(root.filePath("afile"));
    struct Case {
        QString path;
        const char *reason;
    };
    const Case cases[] = {
        {root.filePath("afile/contest"), "Not a directory"},
        {root.filePath("afile"), "Not a directory"},
        {"", "No such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QDir::setCurrent(root.path());
        const QString text = EnterWorkFolder(c.path);
        // The system's "reason  path" line, then what to do about it.
        EXPECT_TRUE(text.startsWith(QString(c.reason) + "  " + c.path + "\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("ZEV_WORKDIR")) << text.toStdString();
        EXPECT_EQ(QDir::currentPath(), QFileInfo(root.path()).canonicalFilePath());
    }
}
