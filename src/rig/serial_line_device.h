#pragma once
// The serial line over QSerialPort, with the termios details QSerialPort leaves out:
// HUPCL, RTS/CTS together with XON/XOFF, modem lines on devices that have none.

#include "rig/serial_line.h"

#include <QSerialPort>

namespace zev {

class QtSerialLine : public SerialLine {
public:
    QtSerialLine();
    ~QtSerialLine() override;

    bool open(const QString &device, const QString &settings, Handshake handshake, bool dtr,
              bool rts) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
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

private:
    bool setModemLine(int bit, bool on, const char *name);
    void fail(const QString &why) { error_ = why; }
    void lost(const QString &why);

    QSerialPort port_;
    Handshake handshake_ = Handshake::None;
    QString device_;
    QString error_;
    int openErrno_ = 0;
    int lineErrno_ = 0;  // of the last modem line change
};

}  // namespace zev
