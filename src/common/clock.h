#pragma once
// Local time and UTC from one place, so tests can set the time.

#include <QDateTime>
#include <QTimeZone>

namespace zev {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    QDateTime utcNow() const override { return QDateTime::currentDateTimeUtc(); }
};

}  // namespace zev

namespace zev {

// Hours to add to the machine's local time to get UTC, from whole minutes, to 2 decimals.
inline double MachineUtcOffsetHours(const Clock &clock)
{
    const QDateTime local = clock.localNow();
    const QDateTime utc = clock.utcNow();
    const QDateTime a(local.date(), local.time(), Qt::UTC);
    const QDateTime b(utc.date(), utc.time(), Qt::UTC);
    const qint64 minutes = (a.secsTo(b) + (a.secsTo(b) >= 0 ? 30 : -30)) / 60;
    return double(qRound64(minutes / 60.0 * 100.0)) / 100.0;
}

}  // namespace zev
