#pragma once
// A line that keys the transmitter: the CW key (RTS, DTR or the parallel port's strobe)
// or the voice keyer's push-to-talk. Down keys, up releases.

#include <QString>

#include <functional>
#include <memory>

namespace zev {

class KeyLine {
public:
    virtual ~KeyLine() = default;
    // Opens the line with the key up. False, with errorText(), when it failed.
    virtual bool open() = 0;
    // Releases the key and closes the line; safe to call when closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Sets the key; false, with errorText(), when the line refused (it is then closed).
    virtual bool set(bool down) = 0;
    virtual QString errorText() const = 0;
};

enum class KeyLineKind { Rts, Dtr, Parallel };

// Makes the real line: for RTS and DTR `where` is the serial device ("/dev/ttyUSB0"), for
// the parallel port the base address text ("&H378"). The line is made closed.
using KeyLineFactory = std::function<std::unique_ptr<KeyLine>(KeyLineKind kind, const QString &where)>;

}  // namespace zev
