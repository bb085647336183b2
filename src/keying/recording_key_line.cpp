#include "keying/recording_key_line.h"

#include <ctime>

namespace zev {

qint64 MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void KeyLineRecord::failAtSet(int n)
{
    QMutexLocker lock(&mutex_);
    failAt_ = n;
}

void KeyLineRecord::failOpen(bool fail)
{
    QMutexLocker lock(&mutex_);
    failOpen_ = fail;
}

std::vector<KeyLineRecord::Set> KeyLineRecord::sets() const
{
    QMutexLocker lock(&mutex_);
    return sets_;
}

std::vector<KeyLineRecord::Set> KeyLineRecord::edges() const
{
    QMutexLocker lock(&mutex_);
    std::vector<Set> out;
    bool down = false;
    for (const Set &s : sets_) {
        if (s.down != down)
            out.push_back(s);
        down = s.down;
    }
    return out;
}

bool KeyLineRecord::isDown() const
{
    QMutexLocker lock(&mutex_);
    return down_;
}

int KeyLineRecord::opens() const
{
    QMutexLocker lock(&mutex_);
    return opens_;
}

int KeyLineRecord::closes() const
{
    QMutexLocker lock(&mutex_);
    return closes_;
}

RecordingKeyLine::RecordingKeyLine(std::shared_ptr<KeyLineRecord> record, std::function<qint64()> now)
    : record_(std::move(record)), now_(std::move(now))
{
}

RecordingKeyLine::~RecordingKeyLine()
{
    close();
}

bool RecordingKeyLine::open()
{
    QMutexLocker lock(&record_->mutex_);
    if (record_->failOpen_) {
        error_ = QStringLiteral("The test line refused to open.");
        return false;
    }
    ++record_->opens_;
    record_->down_ = false;
    open_ = true;
    error_.clear();
    return true;
}

void RecordingKeyLine::close()
{
    if (!open_)
        return;
    QMutexLocker lock(&record_->mutex_);
    record_->down_ = false;
    ++record_->closes_;
    open_ = false;
}

bool RecordingKeyLine::set(bool down)
{
    const qint64 t = now_();
    QMutexLocker lock(&record_->mutex_);
    if (!open_) {
        error_ = QStringLiteral("The test line is not open.");
        return false;
    }
    const int n = int(record_->sets_.size()) + 1;
    if (record_->failAt_ > 0 && n >= record_->failAt_) {
        // A refusing line is closed, and a closed line is up.
        error_ = QStringLiteral("The test line refused set number %1.").arg(n);
        record_->down_ = false;
        ++record_->closes_;
        open_ = false;
        return false;
    }
    record_->sets_.push_back({down, t});
    record_->down_ = down;
    return true;
}

void VirtualCwClock::waitUntil(qint64 deadlineNs, CwTiming)
{
    {
        QMutexLocker lock(&mutex_);
        deadlines_.push_back(deadlineNs);
    }
    if (deadlineNs > now_)
        now_ = deadlineNs + lateNs;
    if (onWait)
        onWait(now_);
}

std::vector<qint64> VirtualCwClock::deadlines() const
{
    QMutexLocker lock(&mutex_);
    return deadlines_;
}

}  // namespace zev
