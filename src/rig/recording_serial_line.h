#pragma once
// A serial line for tests: records every call in order, answers from what the test feeds.

#include "rig/serial_line.h"

#include <QList>

namespace zev {

class RecordingSerialLine : public SerialLine {
public:
    struct Event {
        enum Kind { Open, Close, Dtr, Rts, Write } kind = Open;
        QString device;        // Open
        QString settings;      // Open
        Handshake handshake = Handshake::None;  // Open
        bool dtr = false;      // Open, Dtr
        bool rts = false;      // Open, Rts
        QByteArray bytes;      // Write
        bool operator==(const Event &) const = default;
    };
    QList<Event> events;

    // What the next open does: fail with this text and errno when `failOpenWith` is set.
    QString failOpenWith;
    int failOpenErrno = 0;
    // False models a pseudo-terminal: line changes fail, opening does not.
    bool hasModemLines = true;
    // Bytes the far end has sent, handed out by readAll().
    QByteArray incoming;
    // What bytesToWrite() reports.
    qint64 pendingBytes = 0;

    // The line levels now.
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }
    // Every byte written since the last open, in order.
    QByteArray written() const;

    bool open(const QString &device, const QString &settings, Handshake handshake, bool dtr,
              bool rts) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() const override { return open_ ? pendingBytes : 0; }
    QString errorText() const override { return error_; }
    int openErrno() const override { return openErrno_; }

private:
    bool setLine(Event::Kind kind, bool on);

    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    QString error_;
    int openErrno_ = 0;
};

}  // namespace zev
