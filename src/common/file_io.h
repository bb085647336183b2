#pragma once
// Whole-file reads, crash-safe rewrites and durable appends for the working files.

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

namespace zev {

// The calls that put bytes on disk, for every write below. Tests swap them to see what
// reached the disk, and in what order.
struct DiskCalls {
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fsync)(int fd);
};
DiskCalls &Disk();

// The whole file, or nothing when it cannot be opened or read.
std::optional<QByteArray> ReadWholeFile(const QString &path, QString *error = nullptr);

// Replaces the file in one step: a crash leaves the old content or the new one.
bool WriteFileAtomic(const QString &path, const QByteArray &content, QString *error = nullptr);

// Appends and forces the bytes to disk before returning true. With startOnNewLine a
// line end is added first when the file does not end with one.
bool AppendDurable(const QString &path, const QByteArray &content, QString *error = nullptr,
                   bool startOnNewLine = false);

// The same, handed to the system without waiting for the disk: for a file that another,
// durable one can always rebuild.
bool AppendUnsynced(const QString &path, const QByteArray &content, QString *error = nullptr,
                    bool startOnNewLine = false);

// Lines joined with CR LF, each line ended.
QByteArray JoinLines(const QList<QByteArray> &lines);

}  // namespace zev
