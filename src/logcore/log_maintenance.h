#pragma once
// Copies of the working log: the automatic time-stamped backup.

#include <QString>

namespace zev {

struct Session;

// Backup file for the given minute: <backup folder>/yyyymmddhhnn.log.
QString BackupFileName(const Session &s);

// Copies "log.txt" into the backup folder when the log holds records and has changed since
// the first load. Returns whether a copy was made; when one was due but could not be made,
// `error` says why.
bool Backup(const Session &s, QString *error = nullptr);

// The copy made before a new log replaces the working one: every contact of "log.txt",
// changed in this run or not, loaded or not, goes to the backup folder. True when the copy
// is made or there is no contact to keep; false, with the reason in `error`, when the log
// must not be erased.
bool BackupBeforeErase(const Session &s, QString *error);

}  // namespace zev
