#pragma once
// Searches of the log for the call being entered.

#include <QString>
#include <vector>

namespace zev {

class ContactLog;

// First record with this call on this band and mode (ignoring case), 0 when none.
int FindDupe(const ContactLog &log, const QString &call, const QString &band, const QString &mode);

// Every record with this call, on any band and mode, oldest first.
std::vector<int> PreviousContacts(const ContactLog &log, const QString &call);

// Calls logged on this band and mode that begin with `typed`, the latest found first,
// each followed by a blank. The search stops once the list is longer than 100 characters.
QString PartialDupeList(const ContactLog &log, const QString &typed, const QString &band, const QString &mode);

// The message line for a duplicate of record n.
QString DupeMessage(const ContactLog &log, int n);

// Records other than `except` with exactly this call, band and mode (letter case counts).
std::vector<int> ExactDupes(const ContactLog &log, int except, const QString &call, const QString &band,
                            const QString &mode);

// Records whose exchange is this province (ignoring case), on every band and mode.
int ProvinceTotal(const ContactLog &log, const QString &abbreviation);

}  // namespace zev
