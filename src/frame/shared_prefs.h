#pragma once
// The preferences file shared with the maker's other programs: an XML declaration line,
// then one <KEY>value</KEY> element per line. Values are stored as given, less any double
// quote (FileText), like every file this program writes.

#include <QString>

namespace zev {

class SharedPrefs {
public:
    static QString declaration() { return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"); }

    void LoadSharedPrefs(const QString &path);
    // Sets one element; with writeNow also writes the file. False when writing failed.
    bool SetSharedPref(const QString &key, const QString &value, bool writeNow, QString *error = nullptr);
    bool WriteSharedPrefs(QString *error = nullptr) const;

    QString SharedPrefsText;
    QString SharedPrefsPath;
};

}  // namespace zev
