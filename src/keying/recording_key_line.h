#pragma once
// A key line for tests and benchmarks: keeps every set() with the time it was made. The
// record is shared, so it can be read after the line was handed to the keying engine.

#include "keying/cw_engine.h"
#include "keying/key_line.h"

#include <QMutex>

#include <functional>
#include <memory>
#include <vector>

namespace zev {

// Nanoseconds on CLOCK_MONOTONIC.
qint64 MonotonicNs();

struct KeyLineRecord {
    struct Set {
        bool down;
        qint64 ns;
    };

    // Tells the line to refuse its Nth set() (1-based) and every later one; 0 = never.
    void failAtSet(int n);
    // Tells the line to refuse open().
    void failOpen(bool fail);

    std::vector<Set> sets() const;
    // Only the changes of state, starting from key up.
    std::vector<Set> edges() const;
    bool isDown() const;
    int opens() const;
    int closes() const;

private:
    friend class RecordingKeyLine;
    mutable QMutex mutex_;
    std::vector<Set> sets_;
    int failAt_ = 0;
    bool failOpen_ = false;
    bool down_ = false;
    int opens_ = 0;
    int closes_ = 0;
};

class RecordingKeyLine : public KeyLine {
public:
    // `now` gives the timestamps (monotonic nanoseconds unless told otherwise).
    explicit RecordingKeyLine(std::shared_ptr<KeyLineRecord> record,
                              std::function<qint64()> now = MonotonicNs);
    ~RecordingKeyLine() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool set(bool down) override;
    QString errorText() const override { return error_; }

private:
    std::shared_ptr<KeyLineRecord> record_;
    std::function<qint64()> now_;
    bool open_ = false;
    QString error_;
};

// A clock for tests: time moves only when the engine waits, straight to the deadline, so
// a whole message is sent at once and every edge lands exactly where it was planned.
// `onWait` runs on the keying thread after each step of time, to act mid-message.
class VirtualCwClock : public CwClock {
public:
    std::function<void(qint64 nowNs)> onWait;
    // A wait for a deadline still ahead ends this much after it, as a real sleep wakes late.
    std::atomic<qint64> lateNs{0};

    qint64 now() override { return now_.load(); }
    void waitUntil(qint64 deadlineNs, CwTiming timing) override;
    // Every deadline the engine waited for, in order.
    std::vector<qint64> deadlines() const;

private:
    std::atomic<qint64> now_{0};
    mutable QMutex mutex_;
    std::vector<qint64> deadlines_;
};

}  // namespace zev
