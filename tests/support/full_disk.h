#pragma once
// A real full disk for tests: a tiny tmpfs mounted in a mount namespace private to the
// calling thread, so nothing of it is seen outside the test.

#include <QString>
#include <QTemporaryDir>

namespace zevtest {

class FullDisk {
public:
    // Mounts a tmpfs of `bytes` on a fresh folder. When that is not possible here,
    // ok() is false and reason() says why.
    explicit FullDisk(qint64 bytes = 64 * 1024);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool ok() const { return mounted_; }
    const QString &reason() const { return reason_; }
    // The mounted folder and a file in it.
    QString path() const { return dir_.path(); }
    QString filePath(const QString &name) const { return dir_.filePath(name); }

    // Takes every free block, so the next write that needs one fails with ENOSPC.
    // False (with reason()) when the disk did not fill up as expected.
    bool fill();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};

}  // namespace zevtest

// Skips the current test, with the reason, when no full disk can be made here.
#define ZEV_REQUIRE_FULL_DISK(disk)                                              \
    do {                                                                         \
        if (!(disk).ok())                                                        \
            GTEST_SKIP() << "no full disk can be made here: "                    \
                         << (disk).reason().toStdString();                        \
    } while (false)
