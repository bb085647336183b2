#include "full_disk.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zevtest {

namespace {

QString Why(const char *step)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
}

bool WriteProc(const char *file, const QByteArray &text)
{
    const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

// Gives this thread its own mount namespace once; mounts made after it stay inside it.
bool PrivateMounts(QString &reason)
{
    thread_local int state = 0;  // 0 not tried, 1 done, -1 failed
    thread_local QString failure;
    if (state != 0) {
        reason = failure;
        return state > 0;
    }
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0) {
            failure = Why("unshare(CLONE_NEWNS)");
            state = -1;
        }
    } else {
        // Without root: a user namespace of our own, where we may mount.
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            failure = Why("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
            state = -1;
        } else if (!WriteProc("/proc/thread-self/setgroups", "deny")
                   || !WriteProc("/proc/thread-self/uid_map", QByteArray::number(uid) + ' ' + QByteArray::number(uid) + " 1")
                   || !WriteProc("/proc/thread-self/gid_map", QByteArray::number(gid) + ' ' + QByteArray::number(gid) + " 1")) {
            failure = Why("user namespace id maps");
            state = -1;
        }
    }
    // A mount in a shared tree would reach the host's namespace too: cut the propagation.
    if (state == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        failure = Why("making / private");
        state = -1;
    }
    if (state == 0)
        state = 1;
    reason = failure;
    return state > 0;
}

}  // namespace

FullDisk::FullDisk(qint64 bytes)
{
    if (!dir_.isValid()) {
        reason_ = QStringLiteral("no temporary folder");
        return;
    }
    if (!PrivateMounts(reason_))
        return;
    const QByteArray where = QFile::encodeName(dir_.path());
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("zevtest", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        reason_ = Why("mount tmpfs");
        return;
    }
    mounted_ = true;
}

FullDisk::~FullDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

bool FullDisk::fill()
{
    if (!mounted_)
        return false;
    const QByteArray name = QFile::encodeName(filePath(QStringLiteral("filler")));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        reason_ = Why("creating the filler");
        return false;
    }
    static const char block[4096] = {};
    int err = 0;
    // Whole blocks first, then single bytes for a block that is only partly taken.
    for (size_t chunk : {sizeof block, size_t(1)}) {
        for (;;) {
            if (::write(fd, block, chunk) < 0) {
                err = errno;
                break;
            }
        }
        if (err != ENOSPC)
            break;
    }
    ::close(fd);
    if (err != ENOSPC) {
        errno = err;
        reason_ = Why("filling the disk ended without ENOSPC");
        return false;
    }
    return true;
}

}  // namespace zevtest
