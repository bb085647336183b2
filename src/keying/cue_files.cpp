#include "keying/cue_files.h"

#include "common/file_io.h"

#include <QDir>
#include <QFileInfo>

namespace zev {

const QStringList &CueNames()
{
    static const QStringList names{QStringLiteral("Call"),   QStringLiteral("RstRcvd"), QStringLiteral("SPC"),
                                   QStringLiteral("RstSnt"), QStringLiteral("ObelPwr"), QStringLiteral("Dupe"),
                                   QStringLiteral("NavEn"),  QStringLiteral("NavDis")};
    return names;
}

QString InstallCueFiles(const QString &workFolder, const QString &deliveredDir)
{
    QStringList failures;
    for (const QString &name : CueNames()) {
        const QString file = name + QStringLiteral(".wav");
        const QString target = workFolder + QLatin1Char('/') + file;
        // exists() follows links; a dangling link is still the operator's.
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        const QString source = deliveredDir + QLatin1Char('/') + file;
        if (!QFileInfo::exists(source))
            continue;
        QString error;
        const std::optional<QByteArray> data = ReadWholeFile(source, &error);
        if (!data || !WriteFileAtomic(target, *data, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(target), error);
    }
    return failures.join(QLatin1Char('\n'));
}

}  // namespace zev
