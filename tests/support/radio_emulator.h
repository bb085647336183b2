#pragma once
// A radio of our own on a pseudo-terminal, answering what it is asked.

#include <QList>
#include <QObject>
#include <QPair>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <unistd.h>

namespace zevtest {

class Emulator : public QObject {
public:
    // Each query the radio knows and its answer; `perByteMs` > 0 trickles the answer.
    QList<QPair<QByteArray, QByteArray>> answers;
    int perByteMs = 0;
    bool silent = false;
    // Every byte the link sent, in order.
    QByteArray heard;
    int queries = 0;

    Emulator()
    {
        int slave = -1;
        char name[128] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        path_ = QString::fromLocal8Bit(name);
        ::close(slave);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readQueries(); });
    }
    ~Emulator() override { vanish(); }
    QString path() const { return path_; }
    bool ok() const { return master_ >= 0; }
    // The adapter is pulled out.
    void vanish()
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    void readQueries()
    {
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            return;
        got_.append(buf, n);
        heard.append(buf, n);
        for (bool found = true; found;) {
            found = false;
            for (const auto &[query, answer] : answers) {
                const qsizetype at = got_.indexOf(query);
                if (at < 0)
                    continue;
                got_.remove(0, at + query.size());
                ++queries;
                if (!silent)
                    send(answer);
                found = true;
            }
        }
    }
    void send(const QByteArray &answer)
    {
        if (perByteMs <= 0) {
            ::write(master_, answer.constData(), answer.size());
            return;
        }
        // One byte at a time, one answer after another, as a slow line would carry them.
        const bool idle = out_.isEmpty();
        out_ += answer;
        if (idle)
            trickle();
    }
    void trickle()
    {
        if (out_.isEmpty() || master_ < 0)
            return;
        ::write(master_, out_.constData(), 1);
        out_.remove(0, 1);
        QTimer::singleShot(perByteMs, this, [this] { trickle(); });
    }

    int master_ = -1;
    QString path_;
    QByteArray got_, out_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zevtest
