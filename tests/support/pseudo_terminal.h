#pragma once
// A pseudo-terminal pair for tests: a real tty without modem lines.

#include <QString>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace zevtest {

struct Pty {
    int master = -1;
    QString slave;
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;
};

}  // namespace zevtest
