#pragma once
// The CW keying engine: a thread of its own takes characters from the send buffer and
// keys the line unit by unit against absolute deadlines on the monotonic clock, so the
// window never waits for a character and timing errors never add up within a message.

#include "keying/cw_buffer.h"
#include "keying/key_line.h"
#include "keying/realtime_priority.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace zev {

// The stored timing choice ("UserCWSelection"). All three wait on the monotonic clock:
// Timer and Loop sleep to just before the deadline and spin the rest, Sleep only sleeps.
enum class CwTiming { Timer, Sleep, Loop };
CwTiming CwTimingFromText(const QString &text);  // "Timer" for anything unknown
QString CwTimingText(CwTiming timing);

// Passes of the calibrated loop per unit at `wpm` ("UserCWLoopOffset" per 60 ms).
inline double LoopCountPerUnit(double loopsPer60ms, int wpm) { return loopsPer60ms / wpm * 20; }
// The "F" and "S" buttons: the count times 0.9 or 1.111111111111, to the nearest whole
// number (a half to the even neighbour).
double LoopCountFaster(double loopsPer60ms);
double LoopCountSlower(double loopsPer60ms);

// Where the engine reads the time and waits; tests give it a clock of their own.
class CwClock {
public:
    virtual ~CwClock() = default;
    virtual qint64 now() = 0;  // nanoseconds
    virtual void waitUntil(qint64 deadlineNs, CwTiming timing) = 0;
};

// CLOCK_MONOTONIC with clock_nanosleep(TIMER_ABSTIME).
class MonotonicCwClock : public CwClock {
public:
    qint64 now() override;
    void waitUntil(qint64 deadlineNs, CwTiming timing) override;
};

class CwEngine : public QObject {
    Q_OBJECT
public:
    // The keying thread raises itself to real time through `realTime` when it starts.
    explicit CwEngine(CwBuffer &buffer, std::unique_ptr<CwClock> clock = nullptr,
                      QObject *parent = nullptr, RealTimeSystem realTime = LocalRealTimeSystem());
    // Stops after the unit in progress, with the key up, and joins the thread.
    ~CwEngine() override;

    // The line to key; taken over by the keying thread between characters (the old one is
    // closed with its key up). nullptr: characters are taken and dropped without keying.
    // The engine opens the line when it first needs it.
    void setKeyLine(std::unique_ptr<KeyLine> line);
    void setSpeed(int wpm);
    void setWordSpace(int units);
    void setTiming(CwTiming timing, double loopsPer60ms = 0);
    CwTiming timing() const { return timing_.load(); }
    double loopsPer60ms() const;

    // Sends what is in the buffer; while sending, the running loop picks up appended text.
    void start();
    // CWSending.
    bool isSending() const { return sending_.load(); }
    // Stops the thread (as the destructor does); the engine sends nothing afterwards.
    void stop();
    // Whether the keying thread got real-time scheduling.
    bool hasRealTimePriority() const { return realTime_.load(); }
    // How the keying thread is scheduled (Pending until it has started).
    RealTimeOutcome realTimeOutcome() const;

signals:
    void sendingChanged(bool sending);
    // What is left to send, after each character.
    void remainingChanged(const QString &remaining);
    // A "!" was reached: the owner logs the contact when the call box is filled.
    void commitRequested();
    // The buffer ran empty (the owner starts the repeat pause when a repeat is armed). Not
    // said after lineFailed or speedRefused: a refused message is not repeated.
    void messageFinished();
    // The line could not be opened or refused mid-message: key released, buffer emptied.
    void lineFailed(const QString &reason);
    // The speed is outside 5..99 WPM: nothing keyed, buffer emptied.
    void speedRefused(const QString &reason);
    // The keying thread's scheduling is known (realTimeOutcome()).
    void realTimeChanged();

private:
    void run();
    enum class MessageEnd { Nothing, Finished, Failed, Stopped };
    // Sends until the buffer is empty, a failure or stop().
    MessageEnd runMessage();
    bool applyPendingLine();  // true when a line change was applied
    void releaseLine();
    void post(std::function<void()> emitter);

    CwBuffer &buffer_;
    std::unique_ptr<CwClock> clock_;
    RealTimeSystem realTimeSystem_;
    RealTimeOutcome realTimeOutcome_;  // under mutex_

    std::atomic<int> wpm_{13};
    std::atomic<int> wordSpace_{0};
    std::atomic<CwTiming> timing_{CwTiming::Timer};
    std::atomic<bool> sending_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> realTime_{false};
    std::atomic<bool> linePending_{false};

    mutable QMutex mutex_;  // guards what follows
    QWaitCondition wake_;
    bool startRequested_ = false;
    std::unique_ptr<KeyLine> pendingLine_;
    double loopsPer60ms_ = 0;

    std::unique_ptr<KeyLine> line_;  // the keying thread's alone
    bool toldSending_ = false;       // the keying thread's alone
    std::thread thread_;
};

}  // namespace zev
