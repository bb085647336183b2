#pragma once
// Per-user values shared by the maker's programs, kept with QSettings under the
// organisation "Velko_Software", group "Settings".

#include <QSettings>
#include <QString>
#include <memory>

namespace zev {

class Registry {
public:
    // The user's real store.
    Registry();
    // A store in an INI file, for tests.
    explicit Registry(const QString &iniPath);

    QString value(const QString &name, const QString &fallback = {}) const;
    void setValue(const QString &name, const QString &value);

private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace zev
