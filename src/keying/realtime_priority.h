#pragma once
// Real-time scheduling for the keying thread, as desktop audio programs get it: directly
// when the user's limits allow it, otherwise from RealtimeKit, which grants a bounded
// priority to a thread of a process that caps its own CPU time (RLIMIT_RTTIME).

#include <QString>

#include <functional>
#include <optional>

namespace zev {

// The priority the keying thread asks for.
inline constexpr int kKeyingRealTimePriority = 10;

// What RealtimeKit allows: its highest priority and the CPU-time cap it requires.
struct RtKitOffer {
    int maxPriority = 0;
    qint64 rtTimeUSecMax = 0;
};

// The system calls and the RealtimeKit service the decision needs, for the calling thread.
struct RealTimeSystem {
    // SCHED_FIFO at the priority for the calling thread; false when refused.
    std::function<bool(int priority)> setFifo;
    // RLIMIT_RTPRIO's soft limit (0: real-time scheduling not allowed by the limits).
    std::function<int()> rtprioLimit;
    // RLIMIT_RTTIME's soft and hard limit in microseconds, -1 for none; and setting both.
    std::function<qint64()> rtTimeLimit;
    std::function<bool(qint64 usec)> setRtTimeLimit;
    // The calling thread's kernel id.
    std::function<quint64()> threadId;
    // RealtimeKit: empty functions when there is no service to ask.
    std::function<std::optional<RtKitOffer>(QString *error)> rtkitOffer;
    std::function<bool(quint64 tid, int priority, QString *error)> rtkitMakeRealtime;
};

struct RealTimeOutcome {
    enum class Way { Pending, None, Direct, RtKit };
    Way way = Way::Pending;
    int priority = 0;
    QString reason;  // why not, for None
    bool operator==(const RealTimeOutcome &) const = default;
};

// Raises the calling thread to real time by the first way that works: SCHED_FIFO at
// `wanted` (as root or within RLIMIT_RTPRIO), else RealtimeKit at min(wanted, its maximum)
// after capping RLIMIT_RTTIME to what it requires.
RealTimeOutcome RaiseToRealTime(int wanted, const RealTimeSystem &system);

// The calls of this process (SCHED_FIFO, the limits, gettid) without RealtimeKit.
RealTimeSystem LocalRealTimeSystem();

// What "CW Setup" says about the keying thread's priority and how to allow real time.
QString RealTimeStatusText(const RealTimeOutcome &outcome);

}  // namespace zev
