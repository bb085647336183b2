#pragma once
// UTC from local time, the clock displays, rates and the offset check.

#include <QDateTime>
#include <QString>
#include <optional>

namespace zev {

class ContactLog;

// Hours added for UTC as the operator writes them: a plain number (optional sign,
// digits, optional decimal point) from -24 to 24. Nothing for anything else ("1e17").
std::optional<double> UtcOffsetFromText(const QString &text);
// An offset the clock can use: a number from -24 to 24. Any other stored value (a
// hand-edited preference file) counts as 0 in the arithmetic below.
bool IsValidUtcOffset(double utcOffsetHours);
// What the offset boxes accept, for the message that refuses anything else.
QString UtcOffsetRuleText();

// UTC is local time plus the offset, taken in whole minutes.
QDateTime UtcFromLocal(const QDateTime &local, double utcOffsetHours);
// The same with the offset rounded to whole hours (the "Logged Off at" message).
QDateTime UtcFromLocalWholeHours(const QDateTime &local, double utcOffsetHours);

// The UTC clock label: local time of day plus the offset, "hh:mm:ss", wrapping at midnight.
QString UtcClockText(const QTime &local, double utcOffsetHours);
// The local clock label without its AM/PM part ("h:mm:ss") and the AM/PM part.
QString LocalClockText(const QTime &local);
QString AmPmText(const QTime &local);

struct Rates {
    int last20 = 0;  // three times the contacts of the last 20 minutes
    int last60 = 0;  // contacts of the last 60 minutes
};
// Rates at `nowUtc`; nothing when a record's date or time cannot be read.
std::optional<Rates> TimeStats(const ContactLog &log, const QDateTime &nowUtc);

// A record's "yyyy/mm/dd" date and "hh:mm[:ss]" time.
std::optional<QDateTime> RecordDateTime(const QString &date, const QString &time);

// The prompt of the offset question.
QString UtcOffsetPrompt(const QDateTime &utc, const QDateTime &local, double recommended, double current);

}  // namespace zev
