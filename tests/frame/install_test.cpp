// The installed program: `cmake --install` into a temporary prefix, the files it puts there
// read by their own validators, the installed program started from an unrelated folder,
// and the Debian package CPack makes.

#include "keying/cue_files.h"
#include "test_support.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kAppId = QStringLiteral(ZEV_APP_ID);

struct ToolRun {
    int exitCode = -1;
    QString output;  // stdout and stderr together
};

ToolRun RunTool(const QString &program, const QStringList &args, const QString &workDir = QString())
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return {-1, program + QStringLiteral(" did not start: ") + p.errorString()};
    if (!p.waitForFinished(240000)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, program + QStringLiteral(" did not finish: ") + QString::fromLocal8Bit(p.readAll())};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The data files the program copies into its folders at start.
QStringList DataFileNames()
{
    QStringList names{QStringLiteral("arrlpre2.txt"), QStringLiteral("ADIFCnt.txt"), QStringLiteral("BandPlan.txt")};
    for (const QString &cue : zev::CueNames())
        names << cue + QStringLiteral(".wav");
    return names;
}

// Every file the install puts under the prefix, relative to it.
QStringList ExpectedTree()
{
    QStringList files{QStringLiteral("bin/zevlog"),
                      QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"),
                      QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
                      QStringLiteral("share/icons/hicolor/256x256/apps/") + kAppId + QStringLiteral(".png"),
                      QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml")};
    for (const QString &name : DataFileNames())
        files << QStringLiteral("share/zevlog/") + name;
    files.sort();
    return files;
}

QStringList FilesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(prefix_.isValid());
        const ToolRun run = RunTool(QStringLiteral(ZEV_CMAKE),
                                    {QStringLiteral("--install"), QStringLiteral(ZEV_BUILD_DIR),
                                     QStringLiteral("--prefix"), prefix_.path()});
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    }
    QString at(const QString &relative) const { return prefix_.filePath(relative); }

    QTemporaryDir prefix_;
};

// The installed program, run as from a desktop menu: its own HOME, started in `startDir`.
class InstalledProgram {
public:
    InstalledProgram(const QString &program, const QString &home, const QString &startDir,
                     const QString &zevWorkdir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"ZEV_WORKDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
            env.remove(QString::fromLatin1(v));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!zevWorkdir.isEmpty())
            env.insert(QStringLiteral("ZEV_WORKDIR"), zevWorkdir);
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(startDir);
        process_.start(program, {});
        process_.waitForStarted(10000);
    }
    // It stops at its first modal window; the test ends it.
    ~InstalledProgram()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    bool running() const { return process_.state() == QProcess::Running; }
    // Everything it wrote to stderr so far.
    QString errors()
    {
        errors_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return errors_;
    }
    // Follows the program until `done` holds, it ends, or `ms` have passed; false on the last.
    bool waitUntil(const std::function<bool()> &done, int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!done() && running()) {
            if (deadline.hasExpired())
                return false;
            if (!process_.waitForReadyRead(100))
                QThread::msleep(20);
        }
        return true;
    }

private:
    QProcess process_;
    QString errors_;
};

}  // namespace

TEST_F(Installed, PutsTheProgramItsDataAndItsDesktopFilesUnderThePrefix)
{
    EXPECT_EQ(FilesUnder(prefix_.path()), ExpectedTree());
    EXPECT_TRUE(QFileInfo(at("bin/zevlog")).isExecutable());
    // The data files are the ones the build made and the program uses from the build tree.
    for (const QString &name : DataFileNames()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray installed = ReadFile(at("share/zevlog/" + name));
        EXPECT_FALSE(installed.isEmpty());
        EXPECT_EQ(installed, ReadFile(QStringLiteral(ZEV_BUILD_DIR "/") + name));
    }
    // Both icons read as pictures of their size.
    const QImage png(at("share/icons/hicolor/256x256/apps/" + kAppId + ".png"));
    EXPECT_EQ(png.size(), QSize(256, 256));
    const QImage svg(at("share/icons/hicolor/scalable/apps/" + kAppId + ".svg"));
    EXPECT_FALSE(svg.isNull()) << "the SVG icon does not read as a picture";
}

TEST_F(Installed, DesktopEntryAndMetainfoPassTheirValidatorsAndAgree)
{
    const QString desktop = at("share/applications/" + kAppId + ".desktop");
    const QString metainfo = at("share/metainfo/" + kAppId + ".metainfo.xml");
    const ToolRun desktopCheck = RunTool(QStringLiteral("desktop-file-validate"), {desktop});
    EXPECT_EQ(desktopCheck.exitCode, 0) << "desktop-file-validate (desktop-file-utils): "
                                        << desktopCheck.output.toStdString();
    EXPECT_EQ(desktopCheck.output, "") << "warnings count too";
    const ToolRun metainfoCheck = RunTool(QStringLiteral("appstreamcli"),
                                          {"validate", "--no-net", "--strict", "--pedantic", metainfo});
    EXPECT_EQ(metainfoCheck.exitCode, 0) << "appstreamcli (appstream): " << metainfoCheck.output.toStdString();
    EXPECT_FALSE(metainfoCheck.output.contains("P: ")) << metainfoCheck.output.toStdString();

    // The menu starts the installed program and shows the installed icon.
    const QStringList lines = QString::fromUtf8(ReadFile(desktop)).split('\n');
    EXPECT_TRUE(lines.contains("Exec=zevlog"));
    EXPECT_TRUE(lines.contains("Icon=" + kAppId));

    // The metainfo launches that desktop entry and names this release.
    QXmlStreamReader xml(ReadFile(metainfo));
    QString id, launchable, release;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"id")
            id = xml.readElementText();
        else if (xml.name() == u"launchable")
            launchable = xml.readElementText();
        else if (xml.name() == u"release" && release.isEmpty())
            release = xml.attributes().value("version").toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(id, kAppId);
    EXPECT_EQ(launchable, kAppId + ".desktop");
    EXPECT_EQ(release, ZEV_VERSION);
}

TEST_F(Installed, StartedFromAnyFolderItWorksInZevLogOrZevWorkdir)
{
    struct Case {
        const char *name;
        QString zevWorkdir;          // relative to the temporary home; empty: unset
        QString expectedWorkFolder;  // relative to the temporary home
    };
    const Case cases[] = {
        {"from the menu", "", "ZEVLog"},
        {"ZEV_WORKDIR set", "contests/winter 2026", "contests/winter 2026"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        QTemporaryDir elsewhere;
        const QDir work(home.filePath(c.expectedWorkFolder));
        const QDir shared(home.filePath("Documents/Velko Software/Shared"));
        // Its working files, and the delivered ones that are copied beside them.
        QStringList expected{"zevpref.txt", "log.txt", "wave2.txt", "BandPlan.txt"};
        for (const QString &cue : zev::CueNames())
            expected << cue + ".wav";
        auto allThere = [&] {
            for (const QString &name : expected)
                if (!work.exists(name))
                    return false;
            return shared.exists("arrlpre2.txt") && shared.exists("ADIFCnt.txt");
        };
        InstalledProgram program(at("bin/zevlog"), home.path(), elsewhere.path(),
                                 c.zevWorkdir.isEmpty() ? QString() : home.filePath(c.zevWorkdir));
        const bool ready = program.waitUntil(allThere, 60000);
        ASSERT_TRUE(ready) << "the installed program made no working files in time";
        EXPECT_TRUE(allThere()) << "in " << work.path().toStdString() << ": "
                                << work.entryList(QDir::Files).join(' ').toStdString() << "\n"
                                << program.errors().toStdString();
        EXPECT_TRUE(program.running()) << program.errors().toStdString();
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList())
            << "the folder it was started from is not its working folder";
        if (!c.zevWorkdir.isEmpty()) {
            EXPECT_FALSE(QFileInfo::exists(home.filePath("ZEVLog")));
        }
        EXPECT_EQ(ReadFile(work.filePath("BandPlan.txt")), ReadFile(at("share/zevlog/BandPlan.txt")));
        EXPECT_EQ(ReadFile(work.filePath("Dupe.wav")), ReadFile(at("share/zevlog/Dupe.wav")));
        EXPECT_EQ(ReadFile(shared.filePath("arrlpre2.txt")), ReadFile(at("share/zevlog/arrlpre2.txt")));
    }
}

TEST_F(Installed, AWorkFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    QFile blocker(home.filePath("notafolder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString wanted = home.filePath("notafolder/contest");
    InstalledProgram program(at("bin/zevlog"), home.path(), elsewhere.path(), wanted);
    const bool told = program.waitUntil([&] { return program.errors().contains(wanted); }, 60000);
    ASSERT_TRUE(told) << "nothing reported in time";
    EXPECT_TRUE(program.errors().contains("Not a directory  " + wanted)) << program.errors().toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.filePath("ZEVLog")));
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList())
        << "no log may be started in another folder";
}

TEST(DebianPackage, HoldsTheInstallUnderUsrAndNamesItsRuntimePackages)
{
    QTemporaryDir out;
    const ToolRun pack = RunTool(QStringLiteral(ZEV_CPACK),
                                 {"--config", QStringLiteral(ZEV_BUILD_DIR "/CPackConfig.cmake"), "-G", "DEB",
                                  "-B", out.path()});
    ASSERT_EQ(pack.exitCode, 0) << pack.output.toStdString();
    const QStringList debs = QDir(out.path()).entryList({"zevlog_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << QDir(out.path()).entryList().join(' ').toStdString();
    const QString deb = out.filePath(debs.first());

    // dpkg's own reader: the control fields.
    auto field = [&](const QString &name) {
        return RunTool("dpkg-deb", {"--field", deb, name}).output.trimmed();
    };
    EXPECT_EQ(field("Package"), "zevlog");
    EXPECT_EQ(field("Version"), ZEV_VERSION);
    EXPECT_EQ(field("Section"), "hamradio");
    EXPECT_FALSE(field("Maintainer").isEmpty());
    EXPECT_FALSE(field("Description").isEmpty());
    QStringList depends;
    for (const QString &d : field("Depends").split(','))
        depends << d.trimmed().section(' ', 0, 0);
    // Found by dpkg-shlibdeps in the program, and the ones loaded at run time.
    for (const char *p : {"libc6", "libqt6widgets6", "libqt6multimedia6", "libqt6serialport6", "qt6-qpa-plugins",
                          "libqt6svg6", "gstreamer1.0-plugins-base", "gstreamer1.0-plugins-good", "hamradio-files"})
        EXPECT_TRUE(depends.contains(p)) << p << " missing from Depends: " << depends.join(", ").toStdString();
    EXPECT_TRUE(depends.filter(QRegularExpression("^libhamlib")).size() == 1) << depends.join(", ").toStdString();

    // The same tree as `cmake --install`, under /usr.
    const ToolRun list = RunTool("dpkg-deb", {"--contents", deb});
    ASSERT_EQ(list.exitCode, 0) << list.output.toStdString();
    QStringList files;
    for (const QString &line : list.output.split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('d'))
            files << line.section(' ', -1).remove(QRegularExpression("^\\./usr/"));
    files.sort();
    EXPECT_EQ(files, ExpectedTree());
}
