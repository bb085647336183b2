#pragma once
// The serial line every station link talks through: rig, WinKeyer, TNC.
// Bytes are bytes: nothing here converts text.
//
// The one exception is the CW and PTT key line (keying/key_line_device.h): it opens its device raw
// and sets RTS or DTR with TIOCMBIS/TIOCMBIC, because the keying thread toggles the line
// at exact element times without Qt's event loop, the hang-up on close (HUPCL) must stay
// so the kernel unkeys a transmitter when the program dies, and the signal-safe release
// (keying/key_release_device.h) needs a bare descriptor.

#include <QByteArray>
#include <QString>
#include <optional>

namespace zev {

// How the line paces the other end. The numbers are the ones the windows store.
enum class Handshake {
    None = 0,
    XonXoff = 1,       // TNC only: on a rig link 0x11 and 0x13 are data
    RtsCts = 2,
    RtsCtsXonXoff = 3,
};

// A handshake number 0..3, or nothing for any other number.
std::optional<Handshake> HandshakeFromNumber(int number);

// A settings text such as "4800,N,8,2": baud, parity letter, data bits, stop bits.
struct SerialSettings {
    QString baudText;       // as given, e.g. "56000"
    int baud = 0;           // as given
    char parity = 'N';      // 'N', 'O', 'E', 'M' or 'S'
    int dataBits = 8;       // 5..8
    int stopBits = 1;       // 1 or 2

    // The rate the UART really runs at: a PC UART divided down to 57600 for "56000",
    // and the radios that default to it run at 57600.
    int lineBaud() const;
};

// Reads a settings text. On a bad text: nothing, and the reason in `error`.
std::optional<SerialSettings> ParseSerialSettings(const QString &text, QString *error = nullptr);

class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Opens `device` with the settings text and handshake, then sets DTR and RTS as given
    // at once (Linux raises both on opening). False, with errorText(), when it failed; the
    // line is then closed. An open line is closed first.
    virtual bool open(const QString &device, const QString &settings, Handshake handshake,
                      bool dtr, bool rts) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Each raises or drops the line at once. False, with errorText(), when the device has
    // no such line or is closed.
    virtual bool setDtr(bool on) = 0;
    virtual bool setRts(bool on) = 0;

    // Queues every byte for sending. False, with errorText(), when the line is closed or
    // the device refused the bytes.
    virtual bool write(const QByteArray &bytes) = 0;
    // Every byte received so far, removed from the line; empty when none.
    virtual QByteArray readAll() = 0;
    // Bytes not yet on the wire, counting the ones still in the kernel's queue.
    virtual qint64 bytesToWrite() const = 0;

    // Why the last open, line change or write failed; empty after a success.
    virtual QString errorText() const = 0;
    // The errno behind the last open failure, 0 when none is known; see port_errors.h.
    virtual int openErrno() const = 0;
};

}  // namespace zev
