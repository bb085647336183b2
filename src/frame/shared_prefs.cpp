#include "frame/shared_prefs.h"

#include "common/file_io.h"
#include "common/quoted_values.h"

#include <QFile>

namespace zev {

void SharedPrefs::LoadSharedPrefs(const QString &path)
{
    SharedPrefsPath = path;
    if (std::optional<QByteArray> data = ReadWholeFile(path)) {
        SharedPrefsText = QString::fromUtf8(*data);
        // Drop the line end the writer adds.
        if (SharedPrefsText.endsWith(QStringLiteral("\r\n")))
            SharedPrefsText.chop(2);
        else if (SharedPrefsText.endsWith(QLatin1Char('\n')))
            SharedPrefsText.chop(1);
    } else {
        SharedPrefsText = declaration();
    }
}

bool SharedPrefs::SetSharedPref(const QString &key, const QString &value, bool writeNow, QString *error)
{
    const QString k = key.toUpper();
    const QString open = QLatin1Char('<') + k + QLatin1Char('>');
    const QString close = QStringLiteral("</") + k + QLatin1Char('>');
    const qsizetype start = SharedPrefsText.indexOf(open);
    const qsizetype end = start < 0 ? -1 : SharedPrefsText.indexOf(close, start + open.size());
    const QString stored = FileText(value);
    if (start >= 0 && end >= 0) {
        const qsizetype from = start + open.size();
        SharedPrefsText.replace(from, end - from, stored);
    } else {
        SharedPrefsText += QStringLiteral("\r\n") + open + stored + close;
    }
    return writeNow ? WriteSharedPrefs(error) : true;
}

bool SharedPrefs::WriteSharedPrefs(QString *error) const
{
    return WriteFileAtomic(SharedPrefsPath, (SharedPrefsText + QStringLiteral("\r\n")).toUtf8(), error);
}

}  // namespace zev
