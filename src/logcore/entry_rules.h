#pragma once
// Rules of the entry boxes that do not depend on the window.

#include <QDate>
#include <QString>
#include <optional>

namespace zev {

// Province pre-filled from the first three characters of a call, empty when none.
QString ProvinceFromPrefix(const QString &call);

// A digit typed at the end of a complete call (letters after its last digit, no
// punctuation after the first character) belongs to the report received.
bool HandsOffDigit(const QString &call, bool cursorAtEnd, QChar key);

// One of the thirteen abbreviations (ignoring case).
bool IsProvince(const QString &text);

// "59" on phone, "599" on CW.
QString DefaultReport(const QString &mode);

// A paper-log date as "yyyy/mm/dd"; nothing when it is not a date.
std::optional<QString> PostContestDate(const QString &text);
// A paper-log time as "hh:mm" (3 or 4 digits get their colon); nothing when not a time.
std::optional<QString> PostContestTime(const QString &text);

// A record's time as "hh:mm:ss", or "hh:mm" when given without seconds; nothing when
// it is not a time.
std::optional<QString> RecordTimeText(const QString &text);

// An exchange the edit window accepts: a serial number or one of the thirteen
// abbreviations exactly as written.
bool IsExactExchange(const QString &text);

// Serial numbers, province abbreviations and calls never hold a double quote.
inline bool IsQuote(QChar c) { return c == QLatin1Char('"'); }

}  // namespace zev
