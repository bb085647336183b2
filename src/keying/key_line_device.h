#pragma once
// The real key lines: a serial port's RTS or DTR line, or the parallel port's control
// register through ppdev.
//
// The serial key line bypasses the port layer of rig/serial_line.h on purpose: it is
// driven from the keying thread with exact timing, keeps HUPCL so the kernel releases the
// key if the program dies, and hands its raw descriptor to the signal-safe release.

#include "keying/key_line.h"
#include "rig/parallel_line.h"

#include <memory>

namespace zev {

// The text of a serial key line made without a port.
inline const QString kNoCwPortText = QStringLiteral("No CW port set");

// RTS or DTR of a serial device. Opening clears both lines and keeps the hang-up on close
// (HUPCL), so the kernel releases the key when the program dies; while open the line is
// guarded (key_release_device.h).
class SerialKeyLine : public KeyLine {
public:
    SerialKeyLine(const QString &device, KeyLineKind kind);
    ~SerialKeyLine() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool set(bool down) override;
    QString errorText() const override { return error_; }

private:
    QString device_;
    KeyLineKind kind_;
    int bit_;
    int fd_ = -1;
    int guard_ = -1;
    QString error_;
};

// The parallel port's strobe: 3 keys down, 2 releases.
class ParallelKeyLine : public KeyLine {
public:
    ParallelKeyLine(const QString &baseText, std::unique_ptr<ParallelLine> line);
    ~ParallelKeyLine() override;

    bool open() override;
    void close() override;
    bool isOpen() const override { return line_->isOpen(); }
    bool set(bool down) override;
    QString errorText() const override { return error_; }

private:
    QString baseText_;
    std::unique_ptr<ParallelLine> line_;
    QString error_;
    int guard_ = -1;
};

// The key line of a kind: `where` is the serial device for RTS and DTR (empty: no port, and
// open() says kNoCwPortText), the base address text for the parallel port. Made closed.
std::unique_ptr<KeyLine> MakeKeyLine(KeyLineKind kind, const QString &where);

}  // namespace zev
