#include "keying/rtkit_device.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

#include <algorithm>
#include <atomic>

namespace zev {

namespace {

// A connection for one question: the keying thread asks once, at its start.
class Bus {
public:
    explicit Bus(const QString &address)
        : name_(address.isEmpty() ? QString() : QStringLiteral("zev-rtkit-%1").arg(serial_.fetch_add(1))),
          bus_(address.isEmpty() ? QDBusConnection::systemBus() : QDBusConnection::connectToBus(address, name_))
    {
    }
    ~Bus()
    {
        if (!name_.isEmpty())
            QDBusConnection::disconnectFromBus(name_);
    }
    QDBusConnection &operator*() { return bus_; }

private:
    static inline std::atomic<int> serial_{0};
    QString name_;
    QDBusConnection bus_;
};

std::optional<qint64> Property(QDBusConnection &bus, const QString &name, QString *error)
{
    QDBusInterface props(kRtKitService, kRtKitPath, QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    const QDBusReply<QDBusVariant> reply = props.call(QStringLiteral("Get"), kRtKitService, name);
    if (!reply.isValid()) {
        if (error)
            *error = reply.error().message();
        return std::nullopt;
    }
    bool ok = false;
    const qint64 v = reply.value().variant().toLongLong(&ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("%1 is not a number").arg(name);
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<RtKitOffer> RtKitOfferOn(const QString &busAddress, QString *error)
{
    Bus connection(busAddress);
    QDBusConnection &bus = *connection;
    if (!bus.isConnected()) {
        if (error)
            *error = bus.lastError().message();
        return std::nullopt;
    }
    const std::optional<qint64> max = Property(bus, QStringLiteral("MaxRealtimePriority"), error);
    if (!max)
        return std::nullopt;
    const std::optional<qint64> rtTime = Property(bus, QStringLiteral("RTTimeUSecMax"), error);
    if (!rtTime)
        return std::nullopt;
    return RtKitOffer{int(std::clamp<qint64>(*max, 0, 99)), *rtTime};
}

bool RtKitMakeThreadRealtime(const QString &busAddress, quint64 tid, int priority, QString *error)
{
    Bus connection(busAddress);
    QDBusInterface rtkit(kRtKitService, kRtKitPath, kRtKitService, *connection);
    const QDBusMessage reply =
        rtkit.call(QStringLiteral("MakeThreadRealtime"), QVariant::fromValue(qulonglong(tid)),
                   QVariant::fromValue(quint32(priority)));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error)
            *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return false;
    }
    return true;
}

RealTimeSystem DesktopRealTimeSystem(const QString &busAddress)
{
    RealTimeSystem s = LocalRealTimeSystem();
    s.rtkitOffer = [busAddress](QString *error) { return RtKitOfferOn(busAddress, error); };
    s.rtkitMakeRealtime = [busAddress](quint64 tid, int priority, QString *error) {
        return RtKitMakeThreadRealtime(busAddress, tid, priority, error);
    };
    return s;
}

}  // namespace zev
