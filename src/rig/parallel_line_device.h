#pragma once
// The parallel line through the kernel's ppdev driver (/dev/parportN).

#include "rig/parallel_line.h"

namespace zev {

class PpdevParallelLine : public ParallelLine {
public:
    explicit PpdevParallelLine(const QString &procRoot = QStringLiteral("/proc"),
                               const QString &devFolder = QStringLiteral("/dev"))
        : procRoot_(procRoot), devFolder_(devFolder)
    {
    }
    ~PpdevParallelLine() override;

    bool open(const QString &baseText) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    bool writeControl(quint8 value) override;
    QString errorText() const override { return error_; }
    int openErrno() const override { return openErrno_; }
    // The ppdev device in use, empty while closed.
    QString device() const { return fd_ >= 0 ? device_ : QString(); }
    // The open ppdev descriptor, -1 while closed (for the key release on exit).
    int fd() const { return fd_; }

private:
    QString procRoot_;
    QString devFolder_;
    QString device_;
    QString error_;
    int openErrno_ = 0;
    int fd_ = -1;
};

}  // namespace zev
