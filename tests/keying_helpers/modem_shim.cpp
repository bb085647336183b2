// Preloaded into the key line helper: modem-line and parallel-control ioctls on the device
// named by ZEV_SHIM_DEVICE (a pseudo-terminal, which has no modem lines) succeed and are
// written, one a line, to the file named by ZEV_SHIM_LOG: "BIS 4", "BIC 4", "CTRL 2".
// Only system calls are used, so the record is kept from inside a signal handler too.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int logFd = -1;
char device[256];

using IoctlFn = int (*)(int, unsigned long, ...);

bool Watched(int fd)
{
    char link[64];
    char target[256];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return std::strcmp(target, device) == 0;
}

void Record(const char *what, int value)
{
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%s %d\n", what, value);
    if (logFd >= 0 && n > 0)
        (void)!::write(logFd, line, size_t(n));
}

__attribute__((constructor)) void Start()
{
    const char *log = std::getenv("ZEV_SHIM_LOG");
    const char *dev = std::getenv("ZEV_SHIM_DEVICE");
    if (log)
        logFd = ::open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (dev)
        std::snprintf(device, sizeof device, "%s", dev);
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void *arg = va_arg(args, void *);
    va_end(args);
    static IoctlFn real = reinterpret_cast<IoctlFn>(dlsym(RTLD_NEXT, "ioctl"));
    if (device[0] && Watched(fd)) {
        if (request == TIOCMBIS || request == TIOCMBIC) {
            Record(request == TIOCMBIS ? "BIS" : "BIC", *static_cast<int *>(arg));
            return 0;
        }
        if (request == PPWCONTROL) {
            Record("CTRL", *static_cast<unsigned char *>(arg));
            return 0;
        }
    }
    return real(fd, request, arg);
}
