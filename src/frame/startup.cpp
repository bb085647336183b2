#include "frame/startup.h"

#include "common/clock.h"
#include "common/file_io.h"
#include "keying/cue_files.h"
#include "keying/voice_settings.h"
#include "logcore/preferences.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>
#include <QFileInfo>

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

QString StartupFailureText(const QString &failures)
{
    return QStringLiteral("These files could not be created:\n\n%1\n\nFree some disk space or check the "
                          "folder's permissions, then restart the program.")
        .arg(failures);
}

}  // namespace zev
