#pragma once
// A DX cluster and a packet engine of our own on loopback, for the spot link tests.

#include "spotting/spot_text.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace zevtest {

// A standard cluster spot line: the call at column 27, the time at column 71.
inline QString StandardSpot(const QString &spotter, const QString &freq, const QString &call,
                            const QString &comment, const QString &time)
{
    QString s = (QStringLiteral("DX de ") + spotter + QLatin1Char(':')).leftJustified(15, QLatin1Char(' '));
    s += freq.rightJustified(9, QLatin1Char(' '));
    s += QStringLiteral("  ");
    s += call.leftJustified(13, QLatin1Char(' '));
    s += comment.leftJustified(31, QLatin1Char(' '));
    s += time + QLatin1Char('Z');
    return s;
}

// Accepts a client, sends it `pieces` one per event-loop turn (or `gapMs` apart), then
// closes (unless `stayOpen`). With a `prompt`, that is sent first and the pieces wait for
// the client's answer (a line end). A client that connects again (the n-th, from 0) gets
// `session[n]` when there is one. Everything clients send is kept in `received`, and per
// client in `receivedBy`.
class ClusterServer : public QObject {
public:
    QList<QByteArray> pieces;
    QList<QList<QByteArray>> session;
    QByteArray prompt;
    bool stayOpen = false;
    // The first clients are hung up on after their pieces even when `stayOpen`.
    int dropFirst = 0;
    int gapMs = 0;
    QByteArray received;
    QList<QByteArray> receivedBy;
    int clients = 0;

    ClusterServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            const int n = clients++;
            receivedBy.append(QByteArray());
            toSend_ = n < session.size() ? session[n] : pieces;
            connect(client_, &QTcpSocket::readyRead, this, [this, n, c = client_] {
                const QByteArray bytes = c->readAll();
                received += bytes;
                receivedBy[n] += bytes;
                if (waiting_ && c == client_ && receivedBy[n].contains('\n')) {
                    waiting_ = false;
                    QTimer::singleShot(0, this, [this] { sendNext(); });
                }
            });
            next_ = 0;
            index_ = n;
            waiting_ = !prompt.isEmpty();
            if (waiting_) {
                client_->write(prompt);
                client_->flush();
            } else {
                QTimer::singleShot(0, this, [this] { sendNext(); });
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    bool sentAll() const { return !waiting_ && next_ >= toSend_.size(); }
    QTcpSocket *client() const { return client_; }
    // Refuses every new connection from now on.
    void stopListening() { server_.close(); }
    // Closes the client's connection now, as a cluster that goes down.
    void drop()
    {
        if (client_)
            client_->abort();
    }

private:
    void sendNext()
    {
        if (!client_)
            return;
        if (next_ < toSend_.size()) {
            client_->write(toSend_[next_++]);
            client_->flush();
            QTimer::singleShot(next_ < toSend_.size() ? gapMs : 0, this, [this] { sendNext(); });
            return;
        }
        if (!stayOpen || index_ < dropFirst)
            client_->disconnectFromHost();
    }

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QList<QByteArray> toSend_;
    qsizetype next_ = 0;
    int index_ = 0;
    bool waiting_ = false;
};

// The packet engine's frames written out byte by byte from the protocol's layout, not by
// the program's encoder: port, 3 reserved, kind, reserved, PID, reserved, call from (10,
// NUL padded), call to (10), data length (4, little-endian), user (4), then the data.
inline QByteArray AgwCallField(const QByteArray &call)
{
    return call.leftJustified(10, '\0', true);
}

inline QByteArray AgwBytes(char kind, const QByteArray &from, const QByteArray &to, const QByteArray &data,
                           quint8 pid = 0, quint8 port = 0)
{
    const quint32 n = quint32(data.size());
    QByteArray out;
    out += char(port);
    out += QByteArray(3, '\0');
    out += kind;
    out += '\0';
    out += char(pid);
    out += '\0';
    out += AgwCallField(from);
    out += AgwCallField(to);
    out += char(n & 0xFF);
    out += char((n >> 8) & 0xFF);
    out += char((n >> 16) & 0xFF);
    out += char((n >> 24) & 0xFF);
    out += QByteArray(4, '\0');
    return out + data;
}

// A frame the engine received, taken apart by the same layout.
struct EngineFrame {
    char kind = 0;
    quint8 pid = 0;
    QByteArray callFrom, callTo, data;
};

// The packet engine's TCP side: answers the registration, records the frames the client
// sends, and sends frames when told.
class AgwServer : public QObject {
public:
    bool acceptCall = true;
    QList<EngineFrame> got;
    // Every byte the client sent, as it came.
    QByteArray raw;

    AgwServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            connect(client_, &QTcpSocket::readyRead, this, [this] {
                const QByteArray bytes = client_->readAll();
                raw += bytes;
                pending_ += bytes;
                while (pending_.size() >= 36) {
                    const quint32 n = quint32(quint8(pending_[28])) | quint32(quint8(pending_[29])) << 8 |
                                      quint32(quint8(pending_[30])) << 16 | quint32(quint8(pending_[31])) << 24;
                    if (pending_.size() < 36 + qsizetype(n))
                        break;
                    EngineFrame f;
                    f.kind = pending_[4];
                    f.pid = quint8(pending_[6]);
                    f.callFrom = QByteArray(pending_.constData() + 8, 10).split('\0').first();
                    f.callTo = QByteArray(pending_.constData() + 18, 10).split('\0').first();
                    f.data = pending_.mid(36, n);
                    pending_.remove(0, 36 + n);
                    got.append(f);
                    if (f.kind == 'X')
                        client_->write(AgwBytes('X', f.callFrom, {}, QByteArray(1, acceptCall ? 1 : 0)));
                }
            });
        });
    }
    quint16 port() const { return server_.serverPort(); }
    bool connected() const { return client_ && client_->state() == QAbstractSocket::ConnectedState; }
    // Sends bytes as they are (frames, parts of frames, or something else).
    void sendRaw(const QByteArray &bytes)
    {
        client_->write(bytes);
        client_->flush();
    }
    void send(char kind, const QByteArray &from, const QByteArray &data, const QByteArray &to = "VE3ZZZ")
    {
        sendRaw(AgwBytes(kind, from, to, data));
    }
    // Kinds of the frames received, in order.
    QByteArray kinds() const
    {
        QByteArray k;
        for (const auto &f : got)
            k += f.kind;
        return k;
    }

private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray pending_;
};

}  // namespace zevtest
