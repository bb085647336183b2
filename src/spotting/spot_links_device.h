#pragma once
// The three spot links: a Telnet cluster, the packet engine on its TCP port, a TNC on a
// serial port. None of them waits: each reports by signals on the window's thread.

#include "rig/serial_line.h"
#include "spotting/spot_text.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace zev {

class SpotLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Really open: connected, port open, or registered with the engine.
    virtual bool isOpen() const = 0;
    // Closes without a signal.
    virtual void close() = 0;

signals:
    void opened();
    // Bytes from a cluster (without Telnet commands) or a TNC, as they came.
    void received(const QByteArray &bytes);
    // The link failed or the far end went away; it is closed now.
    void failed(const QString &message);
};

// The socket error number a Qt socket error stands for.
int SocketErrorNumber(QAbstractSocket::SocketError error);

// A port text 1..65535; 0 for anything else.
int TcpPortNumber(const QString &text);

class TelnetLink : public SpotLink {
    Q_OBJECT
public:
    explicit TelnetLink(QObject *parent = nullptr);
    // Starts connecting. False, with the reason in `error`, for an empty host or a port
    // outside 1..65535: nothing is started then.
    bool connectTo(const QString &host, const QString &portText, QString *error = nullptr);
    bool isOpen() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    void close() override;
    // Queues the bytes; false when not connected.
    bool send(const QByteArray &bytes);
    QString host() const { return host_; }
    int port() const { return port_; }
    // Gives the link up as lost (a far end that stopped answering): failed(message).
    void drop(const QString &message);

    int connectTimeoutMs = 30000;

private:
    void lost(const QString &message);
    // The cluster's bytes without Telnet commands; the refusals go back at once.
    QByteArray takeData(const QByteArray &bytes);

    QTcpSocket socket_;
    TelnetFilter filter_;
    QTimer connectTimer_;
    QString host_;
    int port_ = 0;
    bool active_ = false;  // started and not yet closed or failed
};

// The packet engine's TCP protocol, default 127.0.0.1:8000.
class AgwLink : public SpotLink {
    Q_OBJECT
public:
    explicit AgwLink(QObject *parent = nullptr);
    // Connects, registers the call and asks for monitored frames; opened() once the
    // engine accepted the call, failed() when it cannot be reached or refuses it.
    void start(const QString &ownCall, const QString &host = QStringLiteral("127.0.0.1"), quint16 port = 8000);
    bool isOpen() const override { return registered_; }
    void close() override;
    // Sends one frame of `kind` from the registered call to `call`.
    bool putData(const QByteArray &call, const QByteArray &data, char kind);
    // Every frame waiting, oldest first.
    QList<AgwFrame> takeFrames();
    qsizetype waiting() const { return frames_.size(); }

    int registerTimeoutMs = 10000;
    // Frames kept between polls; a flood beyond it is dropped, never grows memory.
    static constexpr qsizetype kMaxWaiting = 4096;

signals:
    void framesWaiting();
    // A flood filled the waiting frames: this many were dropped.
    void framesDropped(int count);

private:
    void readFrames();
    void fail(QString message);

    QTcpSocket socket_;
    QTimer registerTimer_;
    AgwFrameAssembler assembler_;
    QList<AgwFrame> frames_;
    QByteArray ownCall_;
    bool registered_ = false;
    bool active_ = false;  // started and not yet closed or failed
};

// A packet TNC on a serial line, read at each poll.
class TncLink : public SpotLink {
    Q_OBJECT
public:
    explicit TncLink(std::unique_ptr<SerialLine> line, QObject *parent = nullptr);
    // Opens the device with "9600,N,8,1", handshake 1..4 and power "N", "R" or "D".
    // False, with the reason in `error`.
    bool open(const QString &device, const QString &settings, int handshake, const QString &power,
              QString *error = nullptr);
    bool isOpen() const override { return line_->isOpen(); }
    void close() override { line_->close(); }
    bool write(const QByteArray &bytes) { return line_->write(bytes); }
    // Takes what arrived; a port that vanished is reported and closed.
    void poll();
    SerialLine &line() { return *line_; }

private:
    std::unique_ptr<SerialLine> line_;
    bool wasOpen_ = false;
};

}  // namespace zev
