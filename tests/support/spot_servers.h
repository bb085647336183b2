#pragma once
// A DX cluster and a packet engine of our own on loopback, for the spot link tests.

#include "spotting/spot_text.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

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

// Accepts one client, sends it `pieces` one per event-loop turn (or `gapMs` apart), then
// closes (unless `stayOpen`). Everything the client sends is kept in `received`.
class ClusterServer : public QObject {
public:
    QList<QByteArray> pieces;
    bool stayOpen = false;
    int gapMs = 0;
    QByteArray received;
    int clients = 0;

    ClusterServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            ++clients;
            connect(client_, &QTcpSocket::readyRead, this, [this] { received += client_->readAll(); });
            next_ = 0;
            QTimer::singleShot(0, this, [this] { sendNext(); });
        });
    }
    quint16 port() const { return server_.serverPort(); }
    bool sentAll() const { return next_ >= pieces.size(); }
    QTcpSocket *client() const { return client_; }

private:
    void sendNext()
    {
        if (!client_)
            return;
        if (next_ < pieces.size()) {
            client_->write(pieces[next_++]);
            client_->flush();
            QTimer::singleShot(next_ < pieces.size() ? gapMs : 0, this, [this] { sendNext(); });
            return;
        }
        if (!stayOpen)
            client_->disconnectFromHost();
    }

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    qsizetype next_ = 0;
};

// The packet engine's TCP side: answers the registration, records the frames the client
// sends, and sends frames when told.
class AgwServer : public QObject {
public:
    bool acceptCall = true;
    QList<zev::AgwFrame> got;

    AgwServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            connect(client_, &QTcpSocket::readyRead, this, [this] {
                for (const zev::AgwFrame &f : assembler_.feed(client_->readAll())) {
                    got.append(f);
                    if (f.kind == 'X') {
                        zev::AgwFrame reply;
                        reply.kind = 'X';
                        reply.callFrom = f.callFrom;
                        reply.data = QByteArray(1, acceptCall ? 1 : 0);
                        client_->write(zev::EncodeAgwFrame(reply));
                    }
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
        zev::AgwFrame f;
        f.kind = kind;
        f.callFrom = from;
        f.callTo = to;
        f.data = data;
        sendRaw(zev::EncodeAgwFrame(f));
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
    zev::AgwFrameAssembler assembler_;
};

}  // namespace zevtest
