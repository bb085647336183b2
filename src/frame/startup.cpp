#include "frame/startup.h"

#include "common/clock.h"
#include "common/file_io.h"
#include "logcore/preferences.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QFileInfo>

namespace zev {

QString CreateMissingWorkingFiles(const Folders &folders, const Clock &clock)
{
    QStringList failures;
    auto create = [&](const QString &path, const QByteArray &content) {
        QString error;
        if (!QFileInfo::exists(path) && !WriteFileAtomic(path, content, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
    };
    create(folders.work(kPreferenceFile), FormatPreferences(DefaultPreferences(MachineUtcOffsetHours(clock))));
    create(folders.work(QStringLiteral("log.txt")), QByteArray());
    return failures.join(QLatin1Char('\n'));
}

QString InstallDataFiles(const Folders &folders, const QString &deliveredDir)
{
    QStringList failures;
    for (const QString &name : {QStringLiteral("/arrlpre2.txt"), QStringLiteral("/ADIFCnt.txt")}) {
        bool found = false;
        for (const QString &dir : {folders.SharedFolder, folders.ProgramDataFolder, folders.StartDir})
            found = found || QFileInfo::exists(dir + name);
        if (found)
            continue;
        QString error;
        std::optional<QByteArray> data = ReadWholeFile(deliveredDir + name, &error);
        if (!data || !WriteFileAtomic(folders.SharedFolder + name, *data, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folders.SharedFolder + name), error);
    }
    // The band plan is a working file: it lives beside the log, where the operator may edit it.
    const QString plan = folders.work(QStringLiteral("BandPlan.txt"));
    if (!QFileInfo::exists(plan)) {
        QString error;
        std::optional<QByteArray> data = ReadWholeFile(deliveredDir + QStringLiteral("/BandPlan.txt"), &error);
        if (!data || !WriteFileAtomic(plan, *data, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(plan), error);
    }
    return failures.join(QLatin1Char('\n'));
}

QString StartupFailureText(const QString &failures)
{
    return QStringLiteral("These files could not be created:\n\n%1\n\nFree some disk space or check the "
                          "folder's permissions, then restart the program.")
        .arg(failures);
}

}  // namespace zev
