#include "logcore/log_maintenance.h"

#include "common/file_io.h"
#include "frame/session.h"

#include <QFile>

namespace zev {

QString BackupFileName(const Session &s)
{
    return s.folders.BackupFolder() + QLatin1Char('/') +
           s.clock.localNow().toString(QStringLiteral("yyyyMMddHHmm")) + QStringLiteral(".log");
}

bool Backup(const Session &s)
{
    const int count = s.log.RecordCount();
    if (count <= 0 || double(count) == s.log.BackupBaseline)
        return false;
    if (!EnsureFolder(s.folders.BackupFolder(), false, nullptr))
        return false;
    std::optional<QByteArray> data = ReadWholeFile(s.logPath());
    return data && WriteFileAtomic(BackupFileName(s), *data);
}

bool BackupBeforeErase(const Session &s)
{
    if (s.log.RecordCount() > 0)
        return Backup(s);
    // At start-up the log is not loaded yet; a file with contacts still deserves a copy.
    std::optional<QByteArray> data = ReadWholeFile(s.logPath());
    if (!data || data->trimmed().isEmpty())
        return false;
    return EnsureFolder(s.folders.BackupFolder(), false, nullptr) && WriteFileAtomic(BackupFileName(s), *data);
}

QString NextSerialText(const Session &s)
{
    if (s.log.RecordCount() > 0) {
        const QString &last = s.log.records().back().SerialSent;
        if (IsNumeric(last))
            return FormatNumber(NumericValue(last) + 1);
    }
    return QStringLiteral("1");
}

}  // namespace zev
