#pragma once
// The CW send buffer: text waiting to be keyed. The window thread appends, empties and
// takes back characters; the keying thread (or the WinKeyer feeder) takes them from the
// front. Emptying it stops sending after the character in progress.

#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <optional>

namespace zev {

class CwBuffer {
public:
    void append(const QString &text)
    {
        QMutexLocker lock(&mutex_);
        text_ += text;
        ++generation_;
        changed_.wakeAll();
    }
    // Replaces everything waiting (a new message, or one character of code practice).
    void set(const QString &text)
    {
        QMutexLocker lock(&mutex_);
        text_ = text;
        ++generation_;
        changed_.wakeAll();
    }
    void clear() { set(QString()); }
    // Takes back the last character not yet sent; false when there was none.
    bool removeLast()
    {
        QMutexLocker lock(&mutex_);
        if (text_.isEmpty())
            return false;
        text_.chop(1);
        ++generation_;
        changed_.wakeAll();
        return true;
    }
    std::optional<QChar> takeFirst()
    {
        QMutexLocker lock(&mutex_);
        if (text_.isEmpty())
            return std::nullopt;
        const QChar c = text_.front();
        text_.remove(0, 1);
        ++generation_;
        return c;
    }
    QString text() const
    {
        QMutexLocker lock(&mutex_);
        return text_;
    }
    bool isEmpty() const
    {
        QMutexLocker lock(&mutex_);
        return text_.isEmpty();
    }
    // Counts every change, so a reader can tell that the buffer was emptied and refilled.
    quint64 generation() const
    {
        QMutexLocker lock(&mutex_);
        return generation_;
    }
    // Waits until the buffer changes after `seenGeneration` or `timeoutMs` passes.
    void waitForChange(quint64 seenGeneration, unsigned long timeoutMs)
    {
        QMutexLocker lock(&mutex_);
        if (generation_ == seenGeneration)
            changed_.wait(&mutex_, timeoutMs);
    }
    // Wakes every waiter without changing the text (used when stopping a reader).
    void wakeAll()
    {
        QMutexLocker lock(&mutex_);
        changed_.wakeAll();
    }

private:
    mutable QMutex mutex_;
    QWaitCondition changed_;
    QString text_;
    quint64 generation_ = 0;
};

}  // namespace zev
