#include "keying/cw_engine.h"

#include "keying/morse.h"

#include <QMetaObject>

#include <cerrno>
#include <cmath>
#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace zev {

namespace {

constexpr qint64 kSpinNs = 200'000;  // Timer: the last stretch is spun, not slept (covers the wake-up latency)

timespec ToTimespec(qint64 ns)
{
    return {time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
}

void SleepUntil(qint64 ns)
{
    const timespec ts = ToTimespec(ns);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

}  // namespace

CwTiming CwTimingFromText(const QString &text)
{
    if (text == QLatin1String("Sleep"))
        return CwTiming::Sleep;
    if (text == QLatin1String("Loop"))
        return CwTiming::Loop;
    return CwTiming::Timer;
}

QString CwTimingText(CwTiming timing)
{
    switch (timing) {
    case CwTiming::Sleep:
        return QStringLiteral("Sleep");
    case CwTiming::Loop:
        return QStringLiteral("Loop");
    case CwTiming::Timer:
        break;
    }
    return QStringLiteral("Timer");
}

double LoopCountFaster(double loopsPer60ms)
{
    return std::nearbyint(loopsPer60ms * 0.9);
}

double LoopCountSlower(double loopsPer60ms)
{
    return std::nearbyint(loopsPer60ms * 1.111111111111);
}

qint64 MonotonicCwClock::now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void MonotonicCwClock::waitUntil(qint64 deadlineNs, CwTiming timing)
{
    if (timing == CwTiming::Sleep) {
        SleepUntil(deadlineNs);
        return;
    }
    // Timer and Loop: the wake-up latency of a sleep is absorbed by spinning its last part.
    if (deadlineNs - now() > kSpinNs)
        SleepUntil(deadlineNs - kSpinNs);
    while (now() < deadlineNs) {
    }
}

CwEngine::CwEngine(CwBuffer &buffer, std::unique_ptr<CwClock> clock, QObject *parent, RealTimeSystem realTime)
    : QObject(parent), buffer_(buffer), clock_(clock ? std::move(clock) : std::make_unique<MonotonicCwClock>()),
      realTimeSystem_(std::move(realTime))
{
    thread_ = std::thread([this] { run(); });
}

CwEngine::~CwEngine()
{
    stop();
}

void CwEngine::stop()
{
    {
        QMutexLocker lock(&mutex_);
        stop_ = true;
        wake_.wakeAll();
    }
    if (thread_.joinable())
        thread_.join();
    sending_ = false;
}

void CwEngine::setKeyLine(std::unique_ptr<KeyLine> line)
{
    QMutexLocker lock(&mutex_);
    pendingLine_ = std::move(line);
    linePending_ = true;
    wake_.wakeAll();
}

void CwEngine::setSpeed(int wpm)
{
    wpm_ = wpm;
}

void CwEngine::setWordSpace(int units)
{
    wordSpace_ = units;
}

void CwEngine::setTiming(CwTiming timing, double loopsPer60ms)
{
    timing_ = timing;
    QMutexLocker lock(&mutex_);
    loopsPer60ms_ = loopsPer60ms;
}

double CwEngine::loopsPer60ms() const
{
    QMutexLocker lock(&mutex_);
    return loopsPer60ms_;
}

void CwEngine::start()
{
    QMutexLocker lock(&mutex_);
    if (stop_)
        return;
    startRequested_ = true;
    sending_ = true;
    wake_.wakeAll();
}

void CwEngine::post(std::function<void()> emitter)
{
    // Delivered on the owner's thread, whatever the connection type.
    QMetaObject::invokeMethod(this, std::move(emitter), Qt::QueuedConnection);
}

bool CwEngine::applyPendingLine()
{
    if (!linePending_)
        return false;
    std::unique_ptr<KeyLine> next;
    {
        QMutexLocker lock(&mutex_);
        next = std::move(pendingLine_);
        linePending_ = false;
    }
    releaseLine();
    line_ = std::move(next);
    return true;
}

void CwEngine::releaseLine()
{
    if (line_ && line_->isOpen()) {
        line_->set(false);
        line_->close();
    }
}

RealTimeOutcome CwEngine::realTimeOutcome() const
{
    QMutexLocker lock(&mutex_);
    return realTimeOutcome_;
}

void CwEngine::run()
{
    // Real-time scheduling keeps the unit edges on time while the window thread is busy;
    // without the permission the engine runs as an ordinary thread.
    const RealTimeOutcome outcome = RaiseToRealTime(kKeyingRealTimePriority, realTimeSystem_);
    {
        QMutexLocker lock(&mutex_);
        realTimeOutcome_ = outcome;
    }
    realTime_ = outcome.way == RealTimeOutcome::Way::Direct || outcome.way == RealTimeOutcome::Way::RtKit;
    post([this] { emit realTimeChanged(); });

    for (;;) {
        applyPendingLine();
        {
            QMutexLocker lock(&mutex_);
            while (!stop_ && !startRequested_ && !linePending_)
                wake_.wait(&mutex_);
            if (stop_)
                break;
            if (linePending_)
                continue;
            startRequested_ = false;
        }
        const MessageEnd end = runMessage();
        const bool sent = end == MessageEnd::Finished;
        bool idle = false;
        {
            QMutexLocker lock(&mutex_);
            idle = !startRequested_;
            if (idle)
                sending_ = false;
        }
        const bool tellIdle = idle && toldSending_;
        if (tellIdle)
            toldSending_ = false;
        if (sent || tellIdle) {
            post([this, sent, tellIdle] {
                if (sent)
                    emit messageFinished();
                if (tellIdle)
                    emit sendingChanged(false);
            });
        }
    }
    releaseLine();
    line_.reset();
}

CwEngine::MessageEnd CwEngine::runMessage()
{
    const CwTiming timing = timing_;
    bool announced = false;
    bool failed = false;
    bool timed = false;
    qint64 deadline = 0;  // end of the last unit keyed; every unit is placed from here

    for (;;) {
        if (timed)
            clock_->waitUntil(deadline, timing);
        if (stop_)
            break;
        applyPendingLine();
        const std::optional<QChar> c = buffer_.takeFirst();
        if (!c)
            break;
        if (!announced) {
            announced = true;
            if (!toldSending_) {
                toldSending_ = true;
                post([this] { emit sendingChanged(true); });
            }
        }
        auto remaining = [this] {
            post([this, text = buffer_.text()] { emit remainingChanged(text); });
        };
        if (!line_) {
            remaining();
            continue;
        }
        if (*c == QLatin1Char('!')) {
            post([this] { emit commitRequested(); });
            remaining();
            continue;
        }
        const QString pattern = CharacterPattern(*c, wordSpace_);
        if (pattern.isEmpty()) {
            remaining();
            continue;
        }
        const int wpm = wpm_;
        if (!SpeedIsValid(wpm)) {
            buffer_.clear();
            post([this, text = SpeedRefusedText(wpm)] { emit speedRefused(text); });
            remaining();
            failed = true;
            break;
        }
        if (!line_->isOpen() && !line_->open()) {
            buffer_.clear();
            post([this, text = line_->errorText()] { emit lineFailed(text); });
            remaining();
            failed = true;
            break;
        }
        // Whole nanoseconds per unit: the rounding is below a microsecond a minute.
        const qint64 unitNs = 1'200'000'000LL / wpm;
        // The message's time starts at its first unit, once the line is open, so opening
        // it does not shorten the first element.
        if (!timed) {
            timed = true;
            deadline = clock_->now();
        }
        for (const QChar u : pattern) {
            clock_->waitUntil(deadline, timing);
            if (stop_)
                break;
            if (!line_->set(u == QLatin1Char('1'))) {
                const QString why = line_->errorText();
                releaseLine();
                buffer_.clear();
                post([this, why] { emit lineFailed(why); });
                failed = true;
                break;
            }
            deadline += unitNs;
        }
        remaining();
        if (failed || stop_)
            break;
    }
    if (stop_) {
        releaseLine();
        return MessageEnd::Stopped;
    }
    if (!announced)
        return MessageEnd::Nothing;
    return failed ? MessageEnd::Failed : MessageEnd::Finished;
}

}  // namespace zev
