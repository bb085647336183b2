#include "frame/registry.h"

#include "common/quoted_values.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

namespace zev {

namespace {

// QSettings only says that writing failed; find the likely cause for the operator.
QString WriteFailureCause(const QString &file, QSettings::Status status)
{
    if (status == QSettings::FormatError)
        return QStringLiteral("the file is not in the expected format");
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
    struct statvfs fs {};
    int cause = 0;
    if (::statvfs(folder.constData(), &fs) == 0 && fs.f_bavail == 0)
        cause = ENOSPC;
    else if (::access(folder.constData(), W_OK) != 0)
        cause = errno;
    if (cause)
        return QString::fromLocal8Bit(std::strerror(cause));
    return QStringLiteral("the file could not be written");
}

}  // namespace

Registry::Registry()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Velko_Software")))
{
}

Registry::Registry(const QString &iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QString Registry::value(const QString &name, const QString &fallback) const
{
    return settings_->value(QStringLiteral("Settings/") + name, fallback).toString();
}

bool Registry::setValue(const QString &name, const QString &value, QString *error)
{
    if (failed_) {
        // QSettings keeps a failed status for good: a fresh object for the next change.
        const QString file = settings_->fileName();
        settings_.reset();
        settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
        failed_ = false;
    }
    const QString key = QStringLiteral("Settings/") + name;
    const QVariant before = settings_->value(key);
    settings_->setValue(key, FileText(value));
    settings_->sync();
    if (settings_->status() == QSettings::NoError)
        return true;
    if (error)
        *error = WriteFailureCause(settings_->fileName(), settings_->status());
    // The file still holds the value before; so must memory.
    if (before.isValid())
        settings_->setValue(key, before);
    else
        settings_->remove(key);
    failed_ = true;
    return false;
}

}  // namespace zev
