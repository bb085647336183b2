#pragma once
// The changes this computer has taken into the shared log, kept beside "log.txt" so that
// after a restart it knows every contact's record, its own count and what to send again.

#include "network/log_event.h"

#include <vector>

namespace zev {

inline constexpr char kJournalFile[] = "netlog.txt";

struct JournalRead {
    bool ok = true;          // false only when the file exists but cannot be read
    QString error;
    std::vector<LogEvent> events;  // in the order they were kept
    int badLines = 0;        // lines that are not events (a write cut short by a crash)
    QString firstProblem;    // the first bad line's line number and reason
};

// A missing file is an empty journal.
JournalRead ReadJournal(const QString &path);

// One line per change, forced to disk before it returns true.
bool AppendToJournal(const QString &path, const LogEvent &e, QString *error);
// Several in one write and one wait for the disk.
bool AppendToJournal(const QString &path, const std::vector<LogEvent> &events, QString *error);

// Contacts of "log.txt" that the journal does not account for (logged while the station
// network was off, or before a crash between the two writes), in file order. Each contact
// counts once per copy, so two identical lines in the file need two records.
std::vector<ContactRecord> UnaccountedContacts(const std::vector<ContactRecord> &journalled,
                                               const std::vector<ContactRecord> &file);

}  // namespace zev
