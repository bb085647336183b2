#include "rig/parallel_line_device.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zev {

namespace {

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

}  // namespace

PpdevParallelLine::~PpdevParallelLine()
{
    close();
}

bool PpdevParallelLine::open(const QString &baseText)
{
    close();
    openErrno_ = 0;
    QString why;
    const QString device = ParportForAddress(baseText, procRoot_, devFolder_, &why);
    if (device.isEmpty()) {
        error_ = why;
        return false;
    }
    device_ = device;
    const QByteArray path = QFile::encodeName(device);
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        openErrno_ = errno;
        error_ = QStringLiteral("The parallel port %1 could not be opened: %2")
                     .arg(device, ErrnoText(openErrno_));
        return false;
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        openErrno_ = errno;
        error_ = QStringLiteral("The parallel port %1 could not be claimed: %2")
                     .arg(device, ErrnoText(openErrno_));
        ::close(fd);
        return false;
    }
    fd_ = fd;
    // Whatever the port held before, the key starts up.
    writeControl(kParallelKeyUp);
    error_.clear();
    return true;
}

void PpdevParallelLine::close()
{
    if (fd_ < 0)
        return;
    // A key or PTT line is never left down behind a released port.
    unsigned char up = kParallelKeyUp;
    ::ioctl(fd_, PPWCONTROL, &up);
    ::ioctl(fd_, PPRELEASE);
    ::close(fd_);
    fd_ = -1;
}

bool PpdevParallelLine::writeControl(quint8 value)
{
    if (fd_ < 0) {
        error_ = QStringLiteral("The parallel port is not open.");
        return false;
    }
    unsigned char v = value;
    if (::ioctl(fd_, PPWCONTROL, &v) != 0) {
        error_ = QStringLiteral("The parallel port %1 refused the control value %2: %3")
                     .arg(device_)
                     .arg(value)
                     .arg(ErrnoText(errno));
        return false;
    }
    error_.clear();
    return true;
}

}  // namespace zev
