#include "keying/key_release_device.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

namespace zev {

namespace {

// A slot is free while its fd is -1. `what` > 0: serial bits to clear; < 0: the parallel
// control value to write, negated and offset by one.
std::atomic<int> guardedFd[kGuardedKeyLines] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                                -1, -1, -1, -1, -1, -1, -1, -1};
std::atomic<int> guardedWhat[kGuardedKeyLines];
std::atomic<bool> released{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

int Guard(int fd, int what)
{
    if (fd < 0)
        return -1;
    for (int i = 0; i < kGuardedKeyLines; ++i) {
        int expected = -1;
        // Claim the slot with a placeholder so no handler reads a half-made entry.
        if (guardedFd[i].compare_exchange_strong(expected, -2)) {
            guardedWhat[i].store(what);
            guardedFd[i].store(fd);
            return i;
        }
    }
    return -1;
}

void ReleaseOnce()
{
    for (int i = 0; i < kGuardedKeyLines; ++i) {
        const int fd = guardedFd[i].load();
        if (fd < 0)
            continue;
        const int what = guardedWhat[i].load();
        if (what > 0) {
            int bits = what;
            ::ioctl(fd, TIOCMBIC, &bits);
        } else {
            unsigned char up = static_cast<unsigned char>(-what - 1);
            ::ioctl(fd, PPWCONTROL, &up);
        }
    }
}

void OnEndingSignal(int sig)
{
    ReleaseGuardedKeyLines();
    // The handler was reset to the default: the signal ends the program as it would have.
    ::raise(sig);
}

void AtExit()
{
    ReleaseGuardedKeyLines();
}

}  // namespace

int GuardSerialKeyLine(int fd, int bits)
{
    return bits > 0 ? Guard(fd, bits) : -1;
}

int GuardParallelKeyLine(int fd, int upValue)
{
    return Guard(fd, -(upValue & 0xff) - 1);
}

void UnguardKeyLine(int slot)
{
    if (slot >= 0 && slot < kGuardedKeyLines)
        guardedFd[slot].store(-1);
}

void ReleaseGuardedKeyLines()
{
    released.store(true);
    ReleaseOnce();
    // The keying thread may have passed its check just before the flag was set: clear
    // again once any such key-down has surely landed.
    timespec pause{0, 3'000'000};
    ::nanosleep(&pause, nullptr);
    ReleaseOnce();
}

bool KeyLinesReleased()
{
    return released.load();
}

void InstallKeyLineRelease()
{
    struct sigaction sa {};
    sa.sa_handler = OnEndingSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        ::sigaction(sig, &sa, nullptr);
    std::atexit(AtExit);
    std::at_quick_exit(AtExit);
}

}  // namespace zev
