#pragma once
// Whatever ends the program, the transmitter must not stay keyed. The open key lines put
// their file descriptors here; a signal handler, or the exit of the process, clears the
// lines with nothing but system calls (no locks, no allocation), so it is safe inside a
// signal handler and while another thread is keying.

namespace zev {

// Slots for this many open lines; a line that finds no slot is still released by its
// own close, and by the kernel's hang-up for a serial port.
constexpr int kGuardedKeyLines = 16;

// A serial line: `bits` are the TIOCM_ bits (RTS, DTR) to clear. Returns the slot, or -1.
int GuardSerialKeyLine(int fd, int bits);
// A ppdev parallel line: released by writing `upValue` to its control register.
int GuardParallelKeyLine(int fd, int upValue);
// Before the line's own close.
void UnguardKeyLine(int slot);

// Clears every guarded line. Async-signal-safe. From then on KeyLinesReleased() is true
// and the lines refuse to key down again.
void ReleaseGuardedKeyLines();
bool KeyLinesReleased();

// Releases the lines on SIGTERM, SIGINT, SIGHUP, SIGQUIT and the crash signals (the
// signal then ends the program as it would have), and at exit(), which is how the window
// system's lost connection ends the program.
void InstallKeyLineRelease();

}  // namespace zev
