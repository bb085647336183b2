#pragma once
// How long the event loop can go without a pass: the measure of a window that never freezes.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace zevbench {

// Runs the event loop until `done` or `limitMs`; the longest gap between two passes, in ms.
// `onPass` runs on every pass (e.g. to drain a pseudo-terminal nobody else reads).
inline double LongestGapMs(int limitMs, const std::function<bool()> &done = [] { return false; },
                           const std::function<void()> &onPass = {})
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (onPass)
            onPass();
    });
    probe.start(1);
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return double(longest) / 1e6;
}

}  // namespace zevbench
