#include "logcore/contest_clock.h"

#include "common/quoted_values.h"
#include "logcore/contact_log.h"

#include <cmath>

namespace zev {

namespace {

qint64 offsetSeconds(double utcOffsetHours)
{
    return qint64(std::llround(utcOffsetHours * 60)) * 60;
}

}  // namespace

QDateTime UtcFromLocal(const QDateTime &local, double utcOffsetHours)
{
    // Plain wall-clock arithmetic: no time zone rules between the two.
    return QDateTime(local.date(), local.time(), Qt::UTC).addSecs(offsetSeconds(utcOffsetHours));
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
