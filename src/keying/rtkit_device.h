#pragma once
// RealtimeKit (org.freedesktop.RealtimeKit1) on a D-Bus bus: what it offers and its grant
// of real-time priority to one thread.

#include "keying/realtime_priority.h"

#include <QString>

namespace zev {

inline const QString kRtKitService = QStringLiteral("org.freedesktop.RealtimeKit1");
inline const QString kRtKitPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// Reads MaxRealtimePriority and RTTimeUSecMax from the service on the bus at `busAddress`
// (empty: the system bus). Nothing, with the reason, when it cannot be asked.
std::optional<RtKitOffer> RtKitOfferOn(const QString &busAddress, QString *error);
// MakeThreadRealtime(tid, priority); false with the service's reason.
bool RtKitMakeThreadRealtime(const QString &busAddress, quint64 tid, int priority, QString *error);

// The local calls with RealtimeKit on the bus at `busAddress` (empty: the system bus).
RealTimeSystem DesktopRealTimeSystem(const QString &busAddress = QString());

}  // namespace zev
