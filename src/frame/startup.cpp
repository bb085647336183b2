#include "frame/startup.h"

#include "common/clock.h"
#include "common/file_io.h"
#include "keying/cue_files.h"
#include "keying/voice_settings.h"
#include "logcore/preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <system_error>

namespace zev {

namespace {

// Writes `content()` to `path` unless the file is there; a failure adds a line to `failures`.
void CreateIfMissing(const QString &path, const std::function<std::optional<QByteArray>(QString *)> &content,
                     QStringList &failures)
{
    if (QFileInfo::exists(path))
        return;
    QString error;
    const std::optional<QByteArray> data = content(&error);
    if (!data || !WriteFileAtomic(path, *data, &error))
        failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
}

auto Delivered(const QString &path)
{
    return [path](QString *error) { return ReadWholeFile(path, error); };
}

auto Fixed(const QByteArray &bytes)
{
    return [bytes](QString *) { return std::optional<QByteArray>(bytes); };
}

}  // namespace

QString CreateMissingWorkingFiles(const Folders &folders, const Clock &clock)
{
    QStringList failures;
    CreateIfMissing(folders.work(kPreferenceFile),
                    Fixed(FormatPreferences(DefaultPreferences(MachineUtcOffsetHours(clock)))), failures);
    CreateIfMissing(folders.work(QStringLiteral("log.txt")), Fixed(QByteArray()), failures);
    CreateIfMissing(folders.work(kVoiceSettingsFile), Fixed(FormatVoiceSettings(VoiceSettings{})), failures);
    return failures.join(QLatin1Char('\n'));
}

QString InstallDataFiles(const Folders &folders, const QString &deliveredDir)
{
    QStringList failures;
    for (const QString &name : {QStringLiteral("/arrlpre2.txt"), QStringLiteral("/ADIFCnt.txt")}) {
        bool found = false;
        for (const QString &dir : {folders.SharedFolder, folders.ProgramDataFolder, folders.StartDir})
            found = found || QFileInfo::exists(dir + name);
        if (!found)
            CreateIfMissing(folders.SharedFolder + name, Delivered(deliveredDir + name), failures);
    }
    // The band plan is a working file: it lives beside the log, where the operator may edit it.
    CreateIfMissing(folders.work(QStringLiteral("BandPlan.txt")), Delivered(deliveredDir + QStringLiteral("/BandPlan.txt")),
                    failures);
    const QString cues = InstallCueFiles(folders.StartDir, deliveredDir);
    if (!cues.isEmpty())
        failures << cues;
    return failures.join(QLatin1Char('\n'));
}

ProgramData LocateProgramData(const QString &programDir, const QString &installedDataDir)
{
    // The band plan is delivered with every build; it tells a data folder from any other.
    const QString probe = QStringLiteral("/BandPlan.txt");
    if (QFileInfo::exists(programDir + probe))
        return {programDir, false};
    const QString installed = QDir::cleanPath(programDir + QLatin1Char('/') + installedDataDir);
    if (!installedDataDir.isEmpty() && QFileInfo::exists(installed + probe))
        return {installed, true};
    // Neither: the files are reported missing as they were always.
    return {programDir, false};
}

QString InstalledWorkFolder(const QString &zevWorkdir, const QString &homeDir)
{
    if (!zevWorkdir.isEmpty())
        return zevWorkdir;
    return homeDir + QStringLiteral("/ZEVLog");
}

QString EnterWorkFolder(const QString &path)
{
    const std::filesystem::path where(path.toStdString());
    std::error_code ec;
    if (path.isEmpty())
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    else if (!std::filesystem::is_directory(where, ec))
        std::filesystem::create_directories(where, ec);
    if (!ec)
        std::filesystem::current_path(where, ec);
    if (!ec)
        return {};
    return QStringLiteral("%1  %2\n\nThe logger keeps its log and settings in this folder and cannot start "
                          "without it. Make it writable, or name another folder in the environment "
                          "variable ZEV_WORKDIR, and start the logger again.")
        .arg(QString::fromStdString(ec.message()), QDir::toNativeSeparators(path));
}

QString StartupFailureText(const QString &failures)
{
    return QStringLiteral("These files could not be created:\n\n%1\n\nFree some disk space or check the "
                          "folder's permissions, then restart the program.")
        .arg(failures);
}

}  // namespace zev
