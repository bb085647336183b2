#include "frame/startup.h"

#include "common/clock.h"
#include "common/file_io.h"
#include "logcore/preferences.h"

#include <QFile>
#include <QFileInfo>

namespace zev {

void CreateMissingWorkingFiles(const Folders &folders, const Clock &clock)
{
    const QString pref = folders.work(kPreferenceFile);
    if (!QFileInfo::exists(pref))
        WriteFileAtomic(pref, FormatPreferences(DefaultPreferences(MachineUtcOffsetHours(clock))));
    const QString log = folders.work(QStringLiteral("log.txt"));
    if (!QFileInfo::exists(log))
        WriteFileAtomic(log, QByteArray());
}

void InstallDataFiles(const Folders &folders, const QString &deliveredDir)
{
    for (const QString &name : {QStringLiteral("/arrlpre2.txt"), QStringLiteral("/ADIFCnt.txt")}) {
        bool found = false;
        for (const QString &dir : {folders.SharedFolder, folders.ProgramDataFolder, folders.StartDir})
            found = found || QFileInfo::exists(dir + name);
        if (found)
            continue;
        if (std::optional<QByteArray> data = ReadWholeFile(deliveredDir + name))
            WriteFileAtomic(folders.SharedFolder + name, *data);
    }
}

}  // namespace zev
