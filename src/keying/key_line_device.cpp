#include "keying/key_line_device.h"

#include "keying/key_release_device.h"
#include "rig/parallel_line_device.h"
#include "rig/port_errors.h"
#include "rig/serial_line_device.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zev {

namespace {

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString WithAdvice(QString text, const QString &advice)
{
    if (!advice.isEmpty())
        text += QLatin1Char(' ') + advice;
    return text;
}

}  // namespace

SerialKeyLine::SerialKeyLine(const QString &device, KeyLineKind kind)
    : device_(device), kind_(kind), bit_(kind == KeyLineKind::Dtr ? TIOCM_DTR : TIOCM_RTS)
{
}

SerialKeyLine::~SerialKeyLine()
{
    close();
}

bool SerialKeyLine::open()
{
    close();
    if (device_.isEmpty()) {
        error_ = kNoCwPortText;
        return false;
    }
    // A WinKeyer on the same device may still be sending its last bytes.
    EndDrainingCloses(device_);
    const QByteArray path = QFile::encodeName(device_);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        error_ = WithAdvice(QStringLiteral("The CW port %1 could not be opened: %2.").arg(device_, ErrnoText(err)),
                            PermissionAdvice(device_, err, PortKind::Serial));
        return false;
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        error_ = QStringLiteral("%1 is not a serial port: %2.").arg(device_, ErrnoText(errno));
        ::close(fd);
        return false;
    }
    // Hang-up on close: when the program dies however it ends, the kernel's last close
    // drops RTS and DTR and the transmitter is released.
    t.c_cflag |= HUPCL | CLOCAL;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        error_ = QStringLiteral("The CW port %1 refused its settings: %2.").arg(device_, ErrnoText(errno));
        ::close(fd);
        return false;
    }
    fd_ = fd;
    error_.clear();
    // Both lines start up. A device without modem lines (a pseudo-terminal) fails here with
    // ENOTTY; that is said by the first set(), the port itself did open.
    int both = TIOCM_RTS | TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIC, &both);
    guard_ = GuardSerialKeyLine(fd_, bit_);
    return true;
}

void SerialKeyLine::close()
{
    if (fd_ < 0)
        return;
    UnguardKeyLine(guard_);
    guard_ = -1;
    int bit = bit_;
    ::ioctl(fd_, TIOCMBIC, &bit);
    ::close(fd_);
    fd_ = -1;
}

bool SerialKeyLine::set(bool down)
{
    if (fd_ < 0) {
        error_ = QStringLiteral("The CW port %1 is not open.").arg(device_);
        return false;
    }
    int bit = bit_;
    // The program is ending: nothing keys again.
    if (KeyLinesReleased())
        down = false;
    if (::ioctl(fd_, down ? TIOCMBIS : TIOCMBIC, &bit) == 0)
        return true;
    const int err = errno;
    const QString line = kind_ == KeyLineKind::Dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
    if (err == ENOTTY || err == EINVAL)
        error_ = QStringLiteral("The CW port %1 has no %2 line to key (%3): it is not a real serial "
                                "port, for example a pseudo-terminal.")
                     .arg(device_, line, ErrnoText(err));
    else
        error_ = WithAdvice(QStringLiteral("The CW port %1 refused to set %2: %3.").arg(device_, line, ErrnoText(err)),
                            PermissionAdvice(device_, err, PortKind::Serial));
    // A refusing line is given up; closing it releases whatever it can.
    close();
    return false;
}

ParallelKeyLine::ParallelKeyLine(const QString &baseText, std::unique_ptr<ParallelLine> line)
    : baseText_(baseText), line_(std::move(line))
{
}

ParallelKeyLine::~ParallelKeyLine()
{
    close();
}

bool ParallelKeyLine::open()
{
    if (!line_->open(baseText_)) {
        const QString device = ParportForAddress(baseText_);
        error_ = WithAdvice(line_->errorText(),
                            device.isEmpty() ? QString() : PermissionAdvice(device, line_->openErrno(), PortKind::Parallel));
        return false;
    }
    if (!line_->writeControl(kParallelKeyUp)) {
        error_ = line_->errorText();
        line_->close();
        return false;
    }
    error_.clear();
    if (const auto *ppdev = dynamic_cast<const PpdevParallelLine *>(line_.get()))
        guard_ = GuardParallelKeyLine(ppdev->fd(), kParallelKeyUp);
    return true;
}

void ParallelKeyLine::close()
{
    if (!line_->isOpen())
        return;
    UnguardKeyLine(guard_);
    guard_ = -1;
    line_->writeControl(kParallelKeyUp);
    line_->close();
}

bool ParallelKeyLine::set(bool down)
{
    if (KeyLinesReleased())
        down = false;
    if (line_->writeControl(down ? kParallelKeyDown : kParallelKeyUp))
        return true;
    error_ = line_->errorText();
    close();
    return false;
}

std::unique_ptr<KeyLine> MakeKeyLine(KeyLineKind kind, const QString &where)
{
    if (kind == KeyLineKind::Parallel)
        return std::make_unique<ParallelKeyLine>(where, std::make_unique<PpdevParallelLine>());
    return std::make_unique<SerialKeyLine>(where, kind);
}

}  // namespace zev
