#include "rig/serial_line_device.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <functional>
#include <vector>

#include <asm/termbits.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

namespace {

// Qt puts back the settings a port had when it opened as it closes it. A fresh serial
// port hangs up (drops DTR and RTS) on close; clearing that first keeps the lines of a
// powered interface steady when the link stops.
void ClearHangUpBeforeOpen(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) == 0 && (t.c_cflag & HUPCL)) {
        t.c_cflag &= ~tcflag_t(HUPCL);
        ::ioctl(fd, TCSETS2, &t);
    }
    ::close(fd);
}

// Bounds what an unread line keeps: a radio sending on its own must not grow memory.
constexpr qint64 kReadBufferBytes = 64 * 1024;

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Why a line that was open stopped working, asked of the system now: Qt's own text may
// carry an errno left over from an earlier, harmless call.
QString LostReason(int fd, const QString &device, const QString &fallback)
{
    QString why = fallback;
    if (fd >= 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            char byte = 0;
            // The line is going away anyway: a read says what the hang-up was.
            why = ::read(fd, &byte, 1) < 0 ? ErrnoText(errno) : QStringLiteral("the line hung up");
        }
    }
    struct stat st {};
    // The device node went with it: an adapter pulled out, a far end closed for good.
    if (::stat(QFile::encodeName(device).constData(), &st) != 0 && errno == ENOENT)
        why += QStringLiteral(" (the device is gone)");
    return why;
}

// The errno behind a failed open, found again by asking the device ourselves.
int ProbeOpenErrno(const QString &device, QSerialPort::SerialPortError qtError)
{
    const QByteArray path = QFile::encodeName(device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    // The device opens for us: another program holds it (lock file or exclusive mode).
    return qtError == QSerialPort::PermissionError || qtError == QSerialPort::OpenError ? EBUSY
                                                                                        : 0;
}

// Ports whose last bytes are still leaving, with what ends their wait. All on the thread
// of the event loop, as the lines are.
struct Draining {
    const void *key;
    QString device;
    std::function<void()> finish;
};
std::vector<Draining> &DrainingPorts()
{
    static std::vector<Draining> ports;
    return ports;
}

QString SameDevice(const QString &device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

void AddDraining(const void *key, const QString &device, std::function<void()> finish)
{
    DrainingPorts().push_back({key, SameDevice(device), std::move(finish)});
}

void RemoveDraining(const void *key)
{
    auto &ports = DrainingPorts();
    ports.erase(std::remove_if(ports.begin(), ports.end(), [key](const Draining &d) { return d.key == key; }),
                ports.end());
}

qint64 KernelOutputQueue(int fd)
{
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

// Qt puts the old settings back as it closes a port, which would change the rate under
// bytes still queued: the port closes once they have left, or after `limitMs`. Without an
// event loop (the program is ending) it is never closed here, and the kernel's close at
// exit sends them at the line's own rate.
void LetPortFinish(std::unique_ptr<QSerialPort> owned, const QString &device, qint64 limitMs)
{
    QSerialPort *port = owned.release();
    QObject::disconnect(port, nullptr, nullptr, nullptr);
    auto *timer = new QTimer(port);
    auto finish = [port, timer] {
        RemoveDraining(port);
        timer->stop();
        port->close();
        port->deleteLater();
    };
    AddDraining(port, device, finish);
    QElapsedTimer started;
    started.start();
    QObject::connect(timer, &QTimer::timeout, port, [port, started, limitMs, finish] {
        port->flush();
        const bool queued = port->bytesToWrite() > 0 || KernelOutputQueue(port->handle()) > 0;
        if (port->isOpen() && queued && started.elapsed() < limitMs)
            return;
        finish();
    });
    timer->start(10);
}

}  // namespace

void EndDrainingCloses(const QString &device)
{
    const QString same = SameDevice(device);
    std::vector<std::function<void()>> finishes;
    for (const Draining &d : DrainingPorts())
        if (d.device == same)
            finishes.push_back(d.finish);
    for (const auto &finish : finishes)
        finish();
}

QtSerialLine::QtSerialLine() : port_(std::make_unique<QSerialPort>())
{
    port_->setReadBufferSize(kReadBufferBytes);
    closeTimer_.setInterval(10);
    QObject::connect(&closeTimer_, &QTimer::timeout, port_.get(), [this] { closeStep(); });
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError e) {
                         if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError)
                             && port_->isOpen())
                             lost(port_->errorString());
                     });
}

void QtSerialLine::lost(const QString &why)
{
    // The device went away (unplugged adapter, closed far end).
    error_ = QStringLiteral("The port %1 stopped answering: %2").arg(device_, LostReason(port_->handle(), device_, why));
    port_->close();
}

QtSerialLine::~QtSerialLine()
{
    close();
    if (!closing_)
        return;
    closeTimer_.stop();
    if (handshake_ != Handshake::None) {
        finishClose();
        return;
    }
    // The last bytes are still leaving: the port finishes on its own.
    RemoveDraining(this);
    LetPortFinish(std::move(port_), device_, kCloseDrainMs - closeStarted_.elapsed());
}

bool QtSerialLine::open(const QString &device, const QString &settings, Handshake handshake,
                        bool dtr, bool rts)
{
    close();
    finishClose();
    EndDrainingCloses(device);
    openErrno_ = 0;
    error_.clear();
    QString why;
    const std::optional<SerialSettings> s = ParseSerialSettings(settings, &why);
    if (!s) {
        fail(why);
        return false;
    }
    device_ = device;
    handshake_ = handshake;
    port_->setPortName(device);
    port_->setBaudRate(s->lineBaud());
    port_->setDataBits(static_cast<QSerialPort::DataBits>(s->dataBits));
    switch (s->parity) {
    case 'O': port_->setParity(QSerialPort::OddParity); break;
    case 'E': port_->setParity(QSerialPort::EvenParity); break;
    case 'M': port_->setParity(QSerialPort::MarkParity); break;
    case 'S': port_->setParity(QSerialPort::SpaceParity); break;
    default: port_->setParity(QSerialPort::NoParity); break;
    }
    port_->setStopBits(s->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    switch (handshake) {
    case Handshake::XonXoff: port_->setFlowControl(QSerialPort::SoftwareControl); break;
    case Handshake::RtsCts:
    case Handshake::RtsCtsXonXoff: port_->setFlowControl(QSerialPort::HardwareControl); break;
    case Handshake::None: port_->setFlowControl(QSerialPort::NoFlowControl); break;
    }
    port_->clearError();
    ClearHangUpBeforeOpen(device);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError qtError = port_->error();
        openErrno_ = ProbeOpenErrno(device, qtError);
        if (qtError == QSerialPort::DeviceNotFoundError && openErrno_ == 0)
            openErrno_ = ENOENT;
        fail(QStringLiteral("The port %1 could not be opened: %2")
                 .arg(device, openErrno_ ? ErrnoText(openErrno_) : port_->errorString()));
        return false;
    }

    const int fd = port_->handle();
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0) {
        const int err = errno;
        port_->close();
        openErrno_ = err;
        fail(QStringLiteral("The port %1 could not be set up: %2").arg(device, ErrnoText(err)));
        return false;
    }
    // Dropping DTR and RTS at close would glitch a line that powers an interface.
    t.c_cflag &= ~tcflag_t(HUPCL);
    if (handshake == Handshake::RtsCtsXonXoff) {
        t.c_cflag |= CRTSCTS;
        t.c_iflag |= IXON | IXOFF;
    }
    if (handshake != Handshake::XonXoff && handshake != Handshake::RtsCtsXonXoff)
        t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    if (::ioctl(fd, TCSETS2, &t) != 0) {
        const int err = errno;
        port_->close();
        openErrno_ = err;
        fail(QStringLiteral("The port %1 could not be set up: %2").arg(device, ErrnoText(err)));
        return false;
    }

    // Linux has just raised both lines; put them where the caller wants them at once.
    // A device without modem lines (a pseudo-terminal) is still a working line.
    const bool rtsByHandshake = handshake == Handshake::RtsCts
                                || handshake == Handshake::RtsCtsXonXoff;
    const bool dtrOk = setModemLine(TIOCM_DTR, dtr, "DTR");
    const bool rtsOk = rtsByHandshake || setModemLine(TIOCM_RTS, rts, "RTS");
    if (!dtrOk || !rtsOk) {
        if (lineErrno_ != ENOTTY && lineErrno_ != EINVAL) {
            const QString why = error_;
            openErrno_ = lineErrno_;
            port_->close();
            fail(why);
            return false;
        }
    }
    error_.clear();
    return true;
}

void QtSerialLine::close()
{
    if (!isOpen())
        return;
    // Hand Qt's buffer to the kernel without waiting.
    port_->flush();
    if (drained()) {
        finishClose();
        return;
    }
    // The last bytes (a radio's unlock sequence) must leave before the port closes, but
    // the window never waits for them.
    closing_ = true;
    closeStarted_.start();
    closeTimer_.start();
    AddDraining(this, device_, [this] { finishClose(); });
}

bool QtSerialLine::drained() const
{
    return port_->bytesToWrite() == 0 && kernelOutputQueue(port_->handle()) <= 0;
}

void QtSerialLine::closeStep()
{
    if (!port_->isOpen()) {
        finishClose();
        return;
    }
    port_->flush();
    if (drained() || closeStarted_.elapsed() >= kCloseDrainMs)
        finishClose();
}

void QtSerialLine::finishClose()
{
    closeTimer_.stop();
    if (closing_)
        RemoveDraining(this);
    closing_ = false;
    if (!port_->isOpen())
        return;
    // Under flow control a radio that is off (or said XOFF) never takes them: drop the
    // rest, or the kernel's close would wait half a minute for them.
    if (handshake_ != Handshake::None)
        ::ioctl(port_->handle(), TCFLSH, TCOFLUSH);
    port_->close();
}

qint64 QtSerialLine::kernelOutputQueue(int fd) const
{
    return KernelOutputQueue(fd);
}

bool QtSerialLine::setModemLine(int bit, bool on, const char *name)
{
    if (!isOpen()) {
        fail(QStringLiteral("The port is not open."));
        return false;
    }
    int bits = bit;
    if (::ioctl(port_->handle(), on ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        lineErrno_ = errno;
        if (lineErrno_ == ENOTTY || lineErrno_ == EINVAL)
            fail(QStringLiteral("The port %1 has no %2 line.").arg(device_, QLatin1String(name)));
        else
            fail(QStringLiteral("The %1 line of %2 could not be set: %3")
                     .arg(QLatin1String(name), device_, ErrnoText(lineErrno_)));
        return false;
    }
    error_.clear();
    return true;
}

bool QtSerialLine::setDtr(bool on)
{
    return setModemLine(TIOCM_DTR, on, "DTR");
}

bool QtSerialLine::setRts(bool on)
{
    if (isOpen()
        && (handshake_ == Handshake::RtsCts || handshake_ == Handshake::RtsCtsXonXoff)) {
        fail(QStringLiteral("The RTS line of %1 is held by the RTS/CTS handshake.").arg(device_));
        return false;
    }
    return setModemLine(TIOCM_RTS, on, "RTS");
}

bool QtSerialLine::write(const QByteArray &bytes)
{
    if (!isOpen()) {
        fail(QStringLiteral("The port is not open."));
        return false;
    }
    if (port_->write(bytes) != bytes.size()) {
        fail(QStringLiteral("The port %1 refused the bytes: %2")
                 .arg(device_, LostReason(port_->handle(), device_, port_->errorString())));
        return false;
    }
    // Hand the bytes to the kernel now rather than on the next event loop pass.
    port_->flush();
    if (!port_->isOpen()) {
        return false;  // the error handler said why
    }
    error_.clear();
    return true;
}

QByteArray QtSerialLine::readAll()
{
    // What the port's read notifier has taken in (readyRead), bounded by the read buffer.
    if (!isOpen())
        return {};
    return port_->readAll();
}

qint64 QtSerialLine::bytesToWrite() const
{
    if (!isOpen())
        return 0;
    return port_->bytesToWrite() + kernelOutputQueue(port_->handle());
}

std::optional<QtSerialLine::LineState> QtSerialLine::lineState() const
{
    if (!isOpen())
        return std::nullopt;
    struct termios2 t {};
    if (::ioctl(port_->handle(), TCGETS2, &t) != 0)
        return std::nullopt;
    LineState s;
    s.baud = int(t.c_ospeed);
    s.hangUpOnClose = t.c_cflag & HUPCL;
    s.rtsCts = t.c_cflag & CRTSCTS;
    s.xonXoff = t.c_iflag & (IXON | IXOFF);
    s.rawInput = !(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN))
                 && !(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP))
                 && !(t.c_oflag & OPOST);
    return s;
}

}  // namespace zev
