#include "keying/realtime_priority.h"

#include <algorithm>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace zev {

RealTimeOutcome RaiseToRealTime(int wanted, const RealTimeSystem &system)
{
    RealTimeOutcome out;
    if (system.setFifo && system.setFifo(wanted))
        return {RealTimeOutcome::Way::Direct, wanted, {}};
    const int limit = system.rtprioLimit ? system.rtprioLimit() : 0;
    if (limit > 0 && system.setFifo && system.setFifo(std::min(wanted, limit)))
        return {RealTimeOutcome::Way::Direct, std::min(wanted, limit), {}};

    if (!system.rtkitOffer || !system.rtkitMakeRealtime) {
        out.way = RealTimeOutcome::Way::None;
        out.reason = QStringLiteral("real-time scheduling is not permitted and RealtimeKit cannot be asked");
        return out;
    }
    QString error;
    const std::optional<RtKitOffer> offer = system.rtkitOffer(&error);
    out.way = RealTimeOutcome::Way::None;
    if (!offer) {
        out.reason = QStringLiteral("real-time scheduling is not permitted and RealtimeKit did not answer: %1").arg(error);
        return out;
    }
    if (offer->maxPriority < 1) {
        out.reason = QStringLiteral("RealtimeKit allows no real-time priority");
        return out;
    }
    // RealtimeKit serves only a process whose real-time CPU time is capped within its limit.
    const qint64 cap = system.rtTimeLimit ? system.rtTimeLimit() : -1;
    if (offer->rtTimeUSecMax > 0 && (cap < 0 || cap > offer->rtTimeUSecMax)) {
        if (!system.setRtTimeLimit || !system.setRtTimeLimit(offer->rtTimeUSecMax)) {
            out.reason = QStringLiteral("the CPU-time limit RealtimeKit requires could not be set");
            return out;
        }
    }
    const int priority = std::min(wanted, offer->maxPriority);
    const quint64 tid = system.threadId ? system.threadId() : 0;
    if (!system.rtkitMakeRealtime(tid, priority, &error)) {
        out.reason = QStringLiteral("RealtimeKit refused: %1").arg(error);
        return out;
    }
    return {RealTimeOutcome::Way::RtKit, priority, {}};
}

RealTimeSystem LocalRealTimeSystem()
{
    RealTimeSystem s;
    s.setFifo = [](int priority) {
        sched_param param{};
        param.sched_priority = priority;
        return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    };
    s.rtprioLimit = [] {
        rlimit l{};
        if (getrlimit(RLIMIT_RTPRIO, &l) != 0)
            return 0;
        return l.rlim_cur == RLIM_INFINITY ? 99 : int(std::min<rlim_t>(l.rlim_cur, 99));
    };
    s.rtTimeLimit = []() -> qint64 {
        rlimit l{};
        if (getrlimit(RLIMIT_RTTIME, &l) != 0 || l.rlim_cur == RLIM_INFINITY)
            return -1;
        return qint64(l.rlim_cur);
    };
    s.setRtTimeLimit = [](qint64 usec) {
        rlimit l{};
        l.rlim_cur = l.rlim_max = rlim_t(usec);
        return setrlimit(RLIMIT_RTTIME, &l) == 0;
    };
    s.threadId = [] { return quint64(gettid()); };
    return s;
}

QString RealTimeStatusText(const RealTimeOutcome &outcome)
{
    switch (outcome.way) {
    case RealTimeOutcome::Way::Pending:
        return QStringLiteral("Keying thread priority: not known yet.");
    case RealTimeOutcome::Way::Direct:
        return QStringLiteral("Keying thread priority: real time, %1.").arg(outcome.priority);
    case RealTimeOutcome::Way::RtKit:
        return QStringLiteral("Keying thread priority: real time, %1, granted by RealtimeKit.").arg(outcome.priority);
    case RealTimeOutcome::Way::None:
        break;
    }
    return QStringLiteral("Keying thread priority: normal (%1), so CW timing may suffer while the computer is "
                          "busy. To allow real time, install and run rtkit (RealtimeKit), or give your user a "
                          "real-time limit, e.g. \"@audio - rtprio 20\" in /etc/security/limits.d/ with your user "
                          "in the audio group.")
        .arg(outcome.reason);
}

}  // namespace zev
