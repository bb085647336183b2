#include "frame/registry.h"

namespace zev {

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

void Registry::setValue(const QString &name, const QString &value)
{
    settings_->setValue(QStringLiteral("Settings/") + name, value);
    settings_->sync();
}

}  // namespace zev
