#include "spotting/spot_links_device.h"

namespace zev {

int SocketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10058;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::NetworkError: return 10050;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10043;
    case QAbstractSocket::UnfinishedSocketOperationError: return 10036;
    case QAbstractSocket::TemporaryError: return 10035;
    case QAbstractSocket::OperationError: return 10057;
    default: return 10053;
    }
}

int TcpPortNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 65535 ? n : 0;
}

// ---- Telnet ----

TelnetLink::TelnetLink(QObject *parent) : SpotLink(parent)
{
    // A peer bursting after a stall is taken in bounded pieces, so no single read holds
    // the window up.
    socket_.setReadBufferSize(64 * 1024);
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] { lost(SocketErrorMessage(10060)); });
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        connectTimer_.stop();
        emit opened();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = takeData(socket_.readAll());
        if (!bytes.isEmpty())
            emit received(bytes);
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) { lost(SocketErrorMessage(SocketErrorNumber(e))); });
}

QByteArray TelnetLink::takeData(const QByteArray &bytes)
{
    QByteArray replies;
    const QByteArray data = filter_.feed(bytes, replies);
    if (!replies.isEmpty() && socket_.state() == QAbstractSocket::ConnectedState)
        socket_.write(replies);
    return data;
}

bool TelnetLink::connectTo(const QString &host, const QString &portText, QString *error)
{
    close();
    host_ = host.trimmed();
    port_ = TcpPortNumber(portText);
    if (host_.isEmpty()) {
        if (error)
            *error = QStringLiteral("Enter the host name of the cluster in Telnet Host.");
        return false;
    }
    if (port_ == 0) {
        if (error)
            *error = QStringLiteral("The Telnet port must be a number from 1 to 65535.");
        return false;
    }
    active_ = true;
    filter_.reset();
    connectTimer_.start(connectTimeoutMs);
    socket_.connectToHost(host_, quint16(port_));
    return true;
}

void TelnetLink::close()
{
    active_ = false;
    connectTimer_.stop();
    socket_.abort();
}

bool TelnetLink::send(const QByteArray &bytes)
{
    if (!isOpen())
        return false;
    return socket_.write(bytes) == bytes.size();
}

void TelnetLink::drop(const QString &message) { lost(message); }

void TelnetLink::lost(const QString &message)
{
    if (!active_)
        return;
    active_ = false;
    connectTimer_.stop();
    // What the cluster sent before it closed still counts.
    const QByteArray rest = takeData(socket_.readAll());
    if (!rest.isEmpty())
        emit received(rest);
    socket_.abort();
    emit failed(message);
}

// ---- packet engine ----

AgwLink::AgwLink(QObject *parent) : SpotLink(parent)
{
    registerTimer_.setSingleShot(true);
    connect(&registerTimer_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Unable to connect to the AGW Packet Engine.")); });
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        AgwFrame reg;
        reg.kind = 'X';
        reg.callFrom = ownCall_;
        socket_.write(EncodeAgwFrame(reg));
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &AgwLink::readFrames);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        readFrames();
        if (!registered_)
            fail(QStringLiteral("Unable to connect to the AGW Packet Engine."));
        else
            fail(SocketErrorMessage(SocketErrorNumber(e)));
    });
}

void AgwLink::start(const QString &ownCall, const QString &host, quint16 port)
{
    close();
    ownCall_ = ownCall.trimmed().toUpper().toLatin1().left(9);
    active_ = true;
    registerTimer_.start(registerTimeoutMs);
    socket_.connectToHost(host, port);
}

void AgwLink::close()
{
    active_ = false;
    registerTimer_.stop();
    // A disconnect frame just queued still goes out.
    if (registered_)
        socket_.flush();
    registered_ = false;
    socket_.abort();
    assembler_.reset();
    frames_.clear();
}

bool AgwLink::putData(const QByteArray &call, const QByteArray &data, char kind)
{
    if (!registered_)
        return false;
    AgwFrame f;
    f.kind = kind;
    f.pid = kind == 'D' ? 0xF0 : 0;
    f.callFrom = ownCall_;
    f.callTo = call;
    f.data = data;
    const QByteArray bytes = EncodeAgwFrame(f);
    return socket_.write(bytes) == bytes.size();
}

QList<AgwFrame> AgwLink::takeFrames()
{
    QList<AgwFrame> out;
    out.swap(frames_);
    return out;
}

void AgwLink::readFrames()
{
    const QList<AgwFrame> frames = assembler_.feed(socket_.readAll());
    bool added = false;
    int dropped = 0;
    for (const AgwFrame &f : frames) {
        if (f.kind == 'X' && !registered_) {
            registerTimer_.stop();
            if (f.data.isEmpty() || f.data[0] != 1) {
                fail(QStringLiteral("Unable to connect to the AGW Packet Engine."));
                return;
            }
            registered_ = true;
            AgwFrame monitor;
            monitor.kind = 'm';
            socket_.write(EncodeAgwFrame(monitor));
            emit opened();
            continue;
        }
        if (!registered_)
            continue;
        if (frames_.size() >= kMaxWaiting) {
            ++dropped;
            continue;
        }
        frames_.append(f);
        added = true;
    }
    if (!assembler_.error().isEmpty()) {
        fail(assembler_.error());
        return;
    }
    if (added)
        emit framesWaiting();
    if (dropped > 0)
        emit framesDropped(dropped);
}

void AgwLink::fail(QString message)
{
    if (!active_)
        return;
    active_ = false;
    registerTimer_.stop();
    registered_ = false;
    socket_.abort();
    assembler_.reset();
    emit failed(message);
}

// ---- TNC ----

TncLink::TncLink(std::unique_ptr<SerialLine> line, QObject *parent) : SpotLink(parent), line_(std::move(line)) {}

bool TncLink::open(const QString &device, const QString &settings, int handshake, const QString &power,
                   QString *error)
{
    line_->close();
    wasOpen_ = false;
    Handshake h = Handshake::None;
    bool rts = false;
    switch (handshake) {
    case 2: h = Handshake::XonXoff; break;
    case 3: h = Handshake::RtsCts; rts = true; break;
    case 4: h = Handshake::RtsCtsXonXoff; rts = true; break;
    default: break;
    }
    if (power == QLatin1String("R"))
        rts = true;
    const bool dtr = power == QLatin1String("D");
    if (!line_->open(device, settings, h, dtr, rts)) {
        if (error)
            *error = line_->errorText();
        return false;
    }
    wasOpen_ = true;
    emit opened();
    return true;
}

void TncLink::poll()
{
    if (!wasOpen_)
        return;
    const QByteArray bytes = line_->isOpen() ? line_->readAll() : QByteArray();
    if (!bytes.isEmpty())
        emit received(bytes);
    if (!line_->isOpen()) {
        wasOpen_ = false;
        QString why = line_->errorText();
        if (why.isEmpty())
            why = QStringLiteral("The TNC serial port closed.");
        emit failed(why);
    }
}

}  // namespace zev
