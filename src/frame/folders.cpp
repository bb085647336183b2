#include "frame/folders.h"

#include "common/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace zev {

bool EnsureFolder(const QString &path, bool reportErrors, Prompter *prompter)
{
    if (path.isEmpty()) {
        if (prompter)
            prompter->message(QStringLiteral("Invalid Path"), QStringLiteral("Unable to Create Directory"));
        return false;
    }
    if (QFileInfo(path).isDir())
        return true;
    std::error_code ec;
    std::filesystem::create_directory(std::filesystem::path(path.toStdString()), ec);
    if (!ec && QFileInfo(path).isDir())
        return true;
    if (reportErrors && prompter) {
        const QString why = ec ? QString::fromStdString(ec.message()) : QStringLiteral("Not a directory");
        prompter->message(why + QStringLiteral("  ") + path, QStringLiteral("Unable to create directory."));
    }
    return false;
}

QString ResolveMakerFolder(const QString &makerSub, const QString &programSub,
                           const QString &documentsDir, const QString &appDataDir, Prompter *prompter)
{
    auto under = [&](const QString &base) {
        EnsureFolder(base + makerSub, true, prompter);
        EnsureFolder(base + makerSub + programSub, true, prompter);
        return base + makerSub;
    };
    if (!documentsDir.isEmpty()) {
        EnsureFolder(documentsDir, false, prompter);
        if (QFileInfo(documentsDir).isDir())
            return under(documentsDir);
    }
    return under(appDataDir);
}

Folders ResolveFolders(const QString &startDir, const QString &documentsDir, const QString &appDataDir,
                       Prompter *prompter)
{
    Folders f;
    f.StartDir = QDir::cleanPath(QDir(startDir).absolutePath());
    const QString maker = QStringLiteral("/Velko Software");
    ResolveMakerFolder(maker, QStringLiteral("/ZEV"), documentsDir, appDataDir, prompter);
    f.MakerFolder = ResolveMakerFolder(maker, QStringLiteral("/Shared"), documentsDir, appDataDir, prompter);
    f.SharedFolder = f.MakerFolder + QStringLiteral("/Shared");
    f.ProgramDataFolder = f.MakerFolder + QStringLiteral("/ZEV");
    return f;
}

void MakeBackupFolder(const Folders &folders)
{
    EnsureFolder(folders.BackupFolder(), false, nullptr);
}

QString UserSplashPath()
{
    for (auto where : {QStandardPaths::DocumentsLocation, QStandardPaths::GenericDataLocation}) {
        const QString base = QStandardPaths::writableLocation(where);
        const QString path = base + QStringLiteral("/Velko Software/Shared/splash.jpg");
        if (!base.isEmpty() && QFileInfo::exists(path))
            return path;
    }
    return {};
}

Folders ResolveUserFolders(const QString &startDir, Prompter *prompter)
{
    return ResolveFolders(startDir, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                          QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), prompter);
}

QString CallFileStem(const QString &call)
{
    QString stem;
    for (QChar c : call) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z')))
            break;
        stem += c;
    }
    return stem.isEmpty() ? QStringLiteral("YourCall") : stem;
}

}  // namespace zev
