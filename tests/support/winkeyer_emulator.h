#pragma once
// A WinKeyer of our own on a pseudo-terminal: answers host open with its version, keeps a
// buffer of characters it "sends" one after another, echoes each as it starts it, and
// reports its status (XOFF past a fill threshold, BUSY while sending) as the device does.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace zevtest {

class WinKeyerEmulator : public QObject {
public:
    quint8 versionByte = 23;
    // How long one character takes to send; the echo goes out as it starts.
    int charMs = 5;
    // Characters held before XOFF is reported.
    int xoffThreshold = 1000;
    // Stops answering anything (no version, no echo, no status).
    bool silent = false;
    // Holds on to the character it is sending until released.
    bool hold = false;
    // Reports XOFF whatever its fill.
    bool forceXoff = false;

    WinKeyerEmulator()
    {
        int slave = -1;
        char name[128] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
            return;
        path_ = QString::fromLocal8Bit(name);
        // A serial port is raw. The line puts back these settings when it closes, and a
        // cooked pseudo-terminal would then echo our own bytes back to us.
        termios raw {};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::close(slave);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readHost(); });
        step_.setSingleShot(true);
        connect(&step_, &QTimer::timeout, this, [this] { finishCharacter(); });
    }
    ~WinKeyerEmulator() override
    {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
    }
    QString path() const { return path_; }
    bool ok() const { return master_ >= 0; }

    // Every byte the host sent, in order.
    const QByteArray &received() const { return got_; }
    void clearReceived() { got_.clear(); }
    // What was keyed: each character (or merged pair) as it was started.
    const QByteArray &keyed() const { return keyed_; }
    // The most characters ever held at once, the one being sent not counted.
    int mostHeld() const { return mostHeld_; }
    int held() const { return int(queue_.size()); }
    bool isOpen() const { return open_; }
    bool busy() const { return sending_; }

    void release()
    {
        hold = false;
        if (sending_ && !step_.isActive())
            step_.start(charMs);
    }
    // The operator turns the speed knob.
    void turnSpeedPot(int value) { put(QByteArray(1, char(0x80 | (value & 0x3F)))); }
    void sendStatusNow() { put(QByteArray(1, char(statusByte()))); }

private:
    quint8 statusByte() const
    {
        return quint8(0xC0 | (xoff_ || forceXoff ? 0x01 : 0) | (sending_ ? 0x04 : 0));
    }
    void put(const QByteArray &bytes)
    {
        if (!silent && master_ >= 0)
            ::write(master_, bytes.constData(), size_t(bytes.size()));
    }
    void reportIfChanged()
    {
        const quint8 s = statusByte();
        if (s != lastStatus_) {
            lastStatus_ = s;
            put(QByteArray(1, char(s)));
        }
    }
    void readHost()
    {
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            return;
        got_.append(buf, n);
        in_.append(buf, n);
        parse();
    }
    // Parameter bytes each command takes.
    static int params(quint8 cmd)
    {
        switch (cmd) {
        case 0x00: return 1;  // admin: its sub-command
        case 0x02: case 0x03: case 0x09: case 0x0E: case 0x17: return 1;
        case 0x04: case 0x1B: return 2;
        default: return 0;
        }
    }
    void parse()
    {
        while (!in_.isEmpty()) {
            const quint8 cmd = quint8(in_[0]);
            if (cmd >= 0x20) {
                in_.remove(0, 1);
                enqueue(QByteArray(1, char(cmd)));
                continue;
            }
            const int need = params(cmd);
            if (in_.size() < 1 + need)
                return;
            const QByteArray args = in_.mid(1, need);
            in_.remove(0, 1 + need);
            switch (cmd) {
            case 0x00:
                if (quint8(args[0]) == 0x02) {
                    open_ = true;
                    put(QByteArray(1, char(versionByte)));
                } else if (quint8(args[0]) == 0x03) {
                    open_ = false;
                }
                break;
            case 0x1B: enqueue(args); break;
            case 0x0A:
                queue_.clear();
                step_.stop();
                sending_ = false;
                updateXoff();
                reportIfChanged();
                break;
            case 0x08:
                if (!queue_.isEmpty())
                    queue_.removeLast();
                updateXoff();
                reportIfChanged();
                break;
            case 0x15: put(QByteArray(1, char(statusByte()))); break;
            default: break;
            }
        }
    }
    void enqueue(const QByteArray &item)
    {
        queue_.append(item);
        mostHeld_ = std::max(mostHeld_, int(queue_.size()));
        updateXoff();
        if (!sending_)
            startCharacter();
        reportIfChanged();
    }
    void updateXoff() { xoff_ = queue_.size() > xoffThreshold; }
    void startCharacter()
    {
        if (queue_.isEmpty()) {
            sending_ = false;
            return;
        }
        const QByteArray item = queue_.takeFirst();
        sending_ = true;
        keyed_ += item;
        updateXoff();
        reportIfChanged();
        put(item);  // the echo
        if (!hold)
            step_.start(charMs);
    }
    void finishCharacter()
    {
        startCharacter();
        reportIfChanged();
    }

    int master_ = -1;
    QString path_;
    QByteArray got_, in_, keyed_;
    QList<QByteArray> queue_;
    bool open_ = false, sending_ = false, xoff_ = false;
    quint8 lastStatus_ = 0xC0;
    int mostHeld_ = 0;
    QTimer step_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zevtest
