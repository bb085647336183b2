#pragma once
// The serial line over QSerialPort, with the termios details QSerialPort leaves out:
// HUPCL, RTS/CTS together with XON/XOFF, modem lines on devices that have none.

#include "rig/serial_line.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>
#include <memory>

namespace zev {

// Ends at once the drain of every line still closing on `device` (see QtSerialLine::close),
// so the device can be opened again; any line or key line about to open it calls this.
void EndDrainingCloses(const QString &device);

class QtSerialLine : public SerialLine {
public:
    QtSerialLine();
    ~QtSerialLine() override;

    bool open(const QString &device, const QString &settings, Handshake handshake, bool dtr,
              bool rts) override;
    // Returns at once. Bytes still queued (a radio's unlock sequence) get up to
    // kCloseDrainMs to leave, watched by a timer; the line counts as closed meanwhile. Opening
    // the device again ends the wait; the destructor leaves the port to finish on its own.
    void close() override;
    bool isOpen() const override { return port_->isOpen() && !closing_; }
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 bytesToWrite() const override;
    QString errorText() const override { return error_; }
    int openErrno() const override { return openErrno_; }

    // What the kernel holds for the open line, for the rig window's details and for tests.
    struct LineState {
        int baud = 0;
        bool hangUpOnClose = false;  // HUPCL
        bool rtsCts = false;
        bool xonXoff = false;        // IXON or IXOFF
        bool rawInput = false;       // no echo, no canonical lines, no CR/NL changes
    };
    std::optional<LineState> lineState() const;

    static constexpr int kCloseDrainMs = 200;

protected:
    // Bytes the kernel still holds for sending on `fd`.
    virtual qint64 kernelOutputQueue(int fd) const;

private:
    bool drained() const;
    void closeStep();
    void finishClose();
    bool setModemLine(int bit, bool on, const char *name);
    void fail(const QString &why) { error_ = why; }
    void lost(const QString &why);

    std::unique_ptr<QSerialPort> port_;
    Handshake handshake_ = Handshake::None;
    QString device_;
    QString error_;
    int openErrno_ = 0;
    int lineErrno_ = 0;  // of the last modem line change
    bool closing_ = false;
    QTimer closeTimer_;
    QElapsedTimer closeStarted_;
};

}  // namespace zev
