// Keys a line and waits to be ended: "serial <device>" keys RTS of a serial key line;
// "parallel <file>" guards <file> as a parallel port and keys it. Prints "down" once keyed.
// A line on its input makes it call exit(1), as the window system's lost connection does.
// Run by the keying tests with the modem shim preloaded.

#include "keying/key_line_device.h"
#include "keying/key_release_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    zev::InstallKeyLineRelease();
    if (std::strcmp(argv[1], "serial") == 0) {
        // Owned as the program's windows own it: exit() runs no destructor for it.
        zev::KeyLine *line = zev::MakeKeyLine(zev::KeyLineKind::Rts, QString::fromLocal8Bit(argv[2])).release();
        if (!line->open() || !line->set(true))
            return 3;
    } else {
        const int fd = ::open(argv[2], O_RDWR | O_CLOEXEC);
        if (fd < 0 || zev::GuardParallelKeyLine(fd, 2) < 0)
            return 3;
        unsigned char down = 3;
        ::ioctl(fd, PPWCONTROL, &down);
    }
    std::puts("down");
    std::fflush(stdout);
    char c = 0;
    while (::read(0, &c, 1) == 1) {
        if (c == '\n')
            std::exit(1);
    }
    for (;;)
        ::pause();
}
