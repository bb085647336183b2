#include "logcore/log_maintenance.h"

#include "common/file_io.h"
#include "frame/session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zev {

QString BackupFileName(const Session &s)
{
    return s.folders.BackupFolder() + QLatin1Char('/') +
           s.clock.localNow().toString(QStringLiteral("yyyyMMddHHmm")) + QStringLiteral(".log");
}

namespace {

// The minute's backup name. A file of that name is replaced only when this copy holds all
// of it (the log grew since); one that keeps other contacts (a log erased, restored or
// edited a moment ago) stays, and this copy takes the next free "-2", "-3" ... name.
QString FreeBackupName(const Session &s, const QByteArray &data)
{
    const QString first = BackupFileName(s);
    QString name = first;
    for (int n = 2; QFileInfo::exists(name); ++n) {
        const std::optional<QByteArray> existing = ReadWholeFile(name);
        if (existing && data.startsWith(*existing))
            break;
        name = first.chopped(4) + QLatin1Char('-') + QString::number(n) + QStringLiteral(".log");
    }
    return name;
}

}  // namespace

bool Backup(const Session &s, QString *error)
{
    const int count = s.log.RecordCount();
    if (count <= 0 || double(count) == s.log.BackupBaseline)
        return false;
    if (!EnsureFolder(s.folders.BackupFolder(), false, nullptr)) {
        if (error)
            *error = QStringLiteral("the folder %1 could not be created")
                         .arg(QDir::toNativeSeparators(s.folders.BackupFolder()));
        return false;
    }
    std::optional<QByteArray> data = ReadWholeFile(s.logPath(), error);
    return data && WriteFileAtomic(FreeBackupName(s, *data), *data, error);
}


bool BackupBeforeErase(const Session &s, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QByteArray data;
    if (QFileInfo::exists(s.logPath())) {
        QString why;
        std::optional<QByteArray> read = ReadWholeFile(s.logPath(), &why);
        if (!read)
            return fail(QStringLiteral("log.txt could not be read (%1)").arg(why));
        data = std::move(*read);
    }
    // Memory mirrors the file; should the file have gone, the contacts in memory are the copy.
    if (data.trimmed().isEmpty())
        data = FormatLog(s.log.records());
    if (data.trimmed().isEmpty())
        return true;  // no contact to keep
    const QString folder = s.folders.BackupFolder();
    if (!EnsureFolder(folder, false, nullptr))
        return fail(QStringLiteral("the folder %1 could not be made").arg(QDir::toNativeSeparators(folder)));
    const QString target = FreeBackupName(s, data);
    QString why;
    if (!WriteFileAtomic(target, data, &why))
        return fail(QStringLiteral("%1 could not be written (%2)").arg(QDir::toNativeSeparators(target), why));
    return true;
}

}  // namespace zev
