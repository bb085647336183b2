#include "common/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zev {

DiskCalls &Disk()
{
    static DiskCalls calls{::write, ::fsync};
    return calls;
}

namespace {

// The system's own words for an error number ("No space left on device").
QString ErrorText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Writes every byte or reports the error number of the write that failed; a full disk
// often takes part of a buffer before it refuses the rest.
int WriteAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = Disk().write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int SyncFile(int fd)
{
    // A file system without sync support has nothing more to flush.
    if (Disk().fsync(fd) == 0 || errno == EINVAL)
        return 0;
    return errno;
}

int CloseFile(int fd)
{
    // Linux releases the descriptor even when close reports EINTR: never retry.
    if (::close(fd) == 0 || errno == EINTR)
        return 0;
    return errno;
}

// The rename is only durable once the folder's entry is on disk too.
int SyncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = SyncFile(fd);
    ::close(fd);
    return err;
}

}  // namespace

std::optional<QByteArray> ReadWholeFile(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return data;
}

bool WriteFileAtomic(const QString &path, const QByteArray &content, QString *error)
{
    // Write through a link to the file it points at, as an editor would.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();
        if (!resolved.isEmpty())
            target = resolved;
    }
    const QByteArray name = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(QFileInfo(target).path());

    struct stat old {};
    const bool hadOld = ::stat(name.constData(), &old) == 0;
    if (hadOld && !S_ISREG(old.st_mode)) {
        SetError(error, QStringLiteral("%1 is not a regular file").arg(target));
        return false;
    }

    // A new file in the same folder, so the rename below replaces the old one in one step.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = name + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            SetError(error, ErrorText(errno));
            return false;
        }
    }
    if (fd < 0) {
        SetError(error, ErrorText(EEXIST));
        return false;
    }

    int err = 0;
    if (hadOld && ::fchmod(fd, old.st_mode & 07777) != 0)
        err = errno;
    if (!err)
        err = WriteAll(fd, content.constData(), content.size());
    if (!err)
        err = SyncFile(fd);
    const int closeErr = CloseFile(fd);
    if (!err)
        err = closeErr;
    if (!err && ::rename(temp.constData(), name.constData()) != 0)
        err = errno;
    if (err) {
        ::unlink(temp.constData());
        SetError(error, ErrorText(err));
        return false;
    }
    if (const int syncErr = SyncFolder(folder)) {
        SetError(error, QStringLiteral("%1 (the new content is in place but may not survive a power failure)")
                            .arg(ErrorText(syncErr)));
        return false;
    }
    return true;
}

static bool Append(const QString &path, const QByteArray &content, QString *error, bool startOnNewLine, bool sync)
{
    const QByteArray name = QFile::encodeName(path);
    const bool existed = ::access(name.constData(), F_OK) == 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetError(error, ErrorText(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        SetError(error, ErrorText(err));
        return false;
    }
    const off_t before = st.st_size;
    QByteArray bytes = content;
    if (startOnNewLine && before > 0) {
        // A hand-edited file may lack its last line end; never glue two lines together.
        const int rfd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        char last = '\n';
        if (rfd >= 0) {
            if (::pread(rfd, &last, 1, before - 1) != 1)
                last = '\n';
            ::close(rfd);
        }
        if (last != '\n')
            bytes.prepend("\r\n");
    }

    int err = WriteAll(fd, bytes.constData(), bytes.size());
    if (!err && sync)
        err = SyncFile(fd);
    if (err) {
        // Take back whatever part of the line reached the file, so it reads as before.
        if (!existed) {
            ::close(fd);
            ::unlink(name.constData());
        } else {
            const bool restored = ::ftruncate(fd, before) == 0 && SyncFile(fd) == 0;
            ::close(fd);
            if (!restored) {
                SetError(error, QStringLiteral("%1; the part already written could not be taken back")
                                    .arg(ErrorText(err)));
                return false;
            }
        }
        SetError(error, ErrorText(err));
        return false;
    }
    // The line is on disk once the sync succeeded: a late close error must not make a
    // stored contact look unlogged (it would be logged twice on the retry).
    CloseFile(fd);
    return true;
}

QByteArray JoinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    qsizetype n = 0;
    for (const QByteArray &l : lines)
        n += l.size() + 2;
    out.reserve(n);
    for (const QByteArray &l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool AppendDurable(const QString &path, const QByteArray &content, QString *error, bool startOnNewLine)
{
    return Append(path, content, error, startOnNewLine, true);
}

bool AppendUnsynced(const QString &path, const QByteArray &content, QString *error, bool startOnNewLine)
{
    return Append(path, content, error, startOnNewLine, false);
}

}  // namespace zev
