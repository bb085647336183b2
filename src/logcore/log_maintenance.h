#pragma once
// Copies of the working log: the automatic time-stamped backup.

#include <QString>

namespace zev {

struct Session;

// Backup file for the given minute: <backup folder>/yyyymmddhhnn.log.
QString BackupFileName(const Session &s);

// Copies "log.txt" into the backup folder when the log holds records and has changed since
// the first load. Never reports anything; returns whether a copy was made.
bool Backup(const Session &s);

// The copy made before a new log replaces the working one: Backup, or, when the log has not
// been loaded yet, a copy of a file that holds anything at all.
bool BackupBeforeErase(const Session &s);

// The exchange to send next for a station outside Canada: the last record's serial + 1.
QString NextSerialText(const Session &s);

}  // namespace zev
