#include "common/file_io.h"

#include <QFile>
#include <QSaveFile>

#include <unistd.h>

namespace zev {

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
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

bool AppendDurable(const QString &path, const QByteArray &content, QString *error,
                   bool startOnNewLine)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const qint64 before = f.size();
    QByteArray bytes = content;
    if (startOnNewLine && before > 0) {
        // A hand-edited file may lack its last line end; never glue two lines together.
        QFile peek(path);
        if (peek.open(QIODevice::ReadOnly) && peek.seek(before - 1)) {
            const QByteArray last = peek.read(1);
            if (last != "\n")
                bytes.prepend("\r\n");
        }
    }
    bool ok = f.write(bytes) == bytes.size() && f.flush() && ::fsync(f.handle()) == 0;
    if (!ok) {
        if (error)
            *error = f.errorString().isEmpty() ? QStringLiteral("write failed") : f.errorString();
        // Take back a partial line so the file stays readable.
        f.resize(before);
        return false;
    }
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

}  // namespace zev
