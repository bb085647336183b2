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
    // Stores one value at once. False, with the reason in `error`, when the store could
    // not be written; the stored value is then the one before.
    bool setValue(const QString &name, const QString &value, QString *error = nullptr);
    // The file the values are kept in.
    QString fileName() const { return settings_->fileName(); }

private:
    std::unique_ptr<QSettings> settings_;
    bool failed_ = false;
};

}  // namespace zev
