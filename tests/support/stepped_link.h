#pragma once
// A rig link's clock stepped by the test and a recording line that notes when each write
// happened: exact bytes and gaps without waiting for real.

#include "rig/recording_serial_line.h"
#include "rig/rig_link.h"

#include <QByteArray>
#include <QList>
#include <climits>
#include <functional>

namespace zevtest {

// Timers stepped by the test: nothing waits for real.
class SteppedTimers : public zev::LinkTimers {
public:
    qint64 now = 0;
    qint64 nowMs() const override { return now; }
    void startPoll(int intervalMs, std::function<void()> tick) override
    {
        interval_ = intervalMs;
        tick_ = std::move(tick);
        nextPoll_ = now + intervalMs;
        active_ = true;
    }
    void stopPoll() override { active_ = false; }
    bool pollActive() const override { return active_; }
    void singleShot(int ms, std::function<void()> fire) override
    {
        shotAt_ = now + ms;
        shot_ = std::move(fire);
    }
    void cancelSingleShot() override { shot_ = nullptr; }

    // Moves the clock on by `ms`, firing whatever falls due on the way, in time order.
    void advance(qint64 ms)
    {
        const qint64 end = now + ms;
        for (;;) {
            const qint64 poll = active_ ? nextPoll_ : LLONG_MAX;
            const qint64 shot = shot_ ? shotAt_ : LLONG_MAX;
            const qint64 next = std::min(poll, shot);
            if (next > end)
                break;
            now = next;
            if (shot <= poll) {
                auto fire = std::move(shot_);
                shot_ = nullptr;
                fire();
            } else {
                nextPoll_ += interval_;
                tick_();
            }
        }
        now = end;
    }

private:
    int interval_ = 0;
    bool active_ = false;
    qint64 nextPoll_ = 0;
    std::function<void()> tick_;
    qint64 shotAt_ = 0;
    std::function<void()> shot_;
};

// The recording line, noting when each write happened.
class TimedLine : public zev::RecordingSerialLine {
public:
    explicit TimedLine(const SteppedTimers &t) : timers_(t) {}
    struct Sent {
        qint64 atMs;
        QByteArray bytes;
        bool operator==(const Sent &) const = default;
    };
    QList<Sent> sent;
    bool write(const QByteArray &bytes) override
    {
        sent << Sent{timers_.now, bytes};
        return zev::RecordingSerialLine::write(bytes);
    }

private:
    const SteppedTimers &timers_;
};

}  // namespace zevtest
