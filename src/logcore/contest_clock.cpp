#include "logcore/contest_clock.h"

#include "common/quoted_values.h"
#include "logcore/contact_log.h"

#include <cmath>

namespace zev {

namespace {

constexpr double kMaxOffsetHours = 24;

// Within range the products below stay far from overflow.
qint64 offsetSeconds(double utcOffsetHours)
{
    if (!IsValidUtcOffset(utcOffsetHours))
        return 0;
    return qint64(std::llround(utcOffsetHours * 60)) * 60;
}

}  // namespace

std::optional<double> UtcOffsetFromText(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !IsValidUtcOffset(v))
        return std::nullopt;
    return v;
}

bool IsValidUtcOffset(double utcOffsetHours)
{
    return std::isfinite(utcOffsetHours) && std::fabs(utcOffsetHours) <= kMaxOffsetHours;
}

QString UtcOffsetRuleText()
{
    return QStringLiteral("Hours added for UTC must be a number from -24 to 24, written with digits, an optional "
                          "minus sign and an optional decimal point (for example 5, -3.5 or 0).");
}

QDateTime UtcFromLocal(const QDateTime &local, double utcOffsetHours)
{
    // Plain wall-clock arithmetic: no time zone rules between the two.
    return QDateTime(local.date(), local.time(), Qt::UTC).addSecs(offsetSeconds(utcOffsetHours));
}

QDateTime UtcFromLocalWholeHours(const QDateTime &local, double utcOffsetHours)
{
    const qint64 hours = IsValidUtcOffset(utcOffsetHours) ? qint64(std::llround(utcOffsetHours)) : 0;
    return QDateTime(local.date(), local.time(), Qt::UTC).addSecs(hours * 3600);
}

QString UtcClockText(const QTime &local, double utcOffsetHours)
{
    return local.addSecs(int(offsetSeconds(utcOffsetHours) % 86400)).toString(QStringLiteral("HH:mm:ss"));
}

QString LocalClockText(const QTime &local)
{
    const int h12 = local.hour() % 12 == 0 ? 12 : local.hour() % 12;
    return QString::number(h12) + local.toString(QStringLiteral(":mm:ss"));
}

QString AmPmText(const QTime &local)
{
    return local.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
}

std::optional<QDateTime> RecordDateTime(const QString &date, const QString &time)
{
    const QDate d = QDate::fromString(date, QStringLiteral("yyyy/MM/dd"));
    QTime t = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(time, QStringLiteral("HH:mm"));
    if (!t.isValid())
        t = QTime::fromString(time, QStringLiteral("H:mm"));
    if (!d.isValid() || !t.isValid())
        return std::nullopt;
    return QDateTime(d, t, Qt::UTC);
}

std::optional<Rates> TimeStats(const ContactLog &log, const QDateTime &nowUtc)
{
    Rates r;
    int count20 = 0;
    for (int n = log.RecordCount(); n >= 1; --n) {
        const ContactRecord &rec = log.record(n);
        const std::optional<QDateTime> when = RecordDateTime(rec.QsoDate, rec.QsoTime);
        if (!when)
            return std::nullopt;
        const qint64 age = when->secsTo(nowUtc);
        if (age < 1200)
            ++count20;
        if (age >= 3600)
            break;
        ++r.last60;
    }
    r.last20 = 3 * count20;
    return r;
}

QString UtcOffsetPrompt(const QDateTime &utc, const QDateTime &local, double recommended, double current)
{
    return QStringLiteral("Would you like to adjust the UTC offset in this program for your local time setting?\n\n"
                          "Current System Time: %1\n\nCurrent Local Time: %2\n\nRecommended Offset Setting: %3\n\n"
                          "Current Offset Setting: %4\n\n"
                          "Please click OK to accept the recommended change or Cancel to keep the current setting.")
        .arg(utc.toString(QStringLiteral("HH:mm")), local.toString(QStringLiteral("HH:mm")),
             FormatNumber(recommended), FormatNumber(current));
}

}  // namespace zev
