#pragma once
// The working folder and the operator's document folders.

#include <QString>

namespace zev {

class Prompter;

struct Folders {
    QString StartDir;           // working files live here
    QString StartDrive;         // no drives on this platform; always empty
    QString MakerFolder;        // <documents>/Velko Software
    QString ProgramDataFolder;  // MakerFolder/ZEV: archives, backups, exports
    QString SharedFolder;       // MakerFolder/Shared: shared preferences, logo, prefix file

    QString BackupFolder() const { return ProgramDataFolder + QStringLiteral("/BACKUP"); }
    // A working file by its bare name.
    QString work(const QString &name) const { return StartDir + QLatin1Char('/') + name; }
};

// Creates `path` when its last component is missing. Failures go to `prompter` when
// reportErrors is set and it is not null. Returns true when the folder exists afterwards.
bool EnsureFolder(const QString &path, bool reportErrors, Prompter *prompter);

// Where the maker's folders go: documentsDir (the desktop's documents folder, created if
// missing) when usable, otherwise appDataDir. Both sub-folders are made below it.
// makerSub and programSub start with "/".
QString ResolveMakerFolder(const QString &makerSub, const QString &programSub,
                           const QString &documentsDir, const QString &appDataDir,
                           Prompter *prompter);

// Sets every folder: StartDir from startDir, the rest under the desktop's documents folder
// (or application-data folder). The backup folder is made separately (MakeBackupFolder).
Folders ResolveFolders(const QString &startDir, const QString &documentsDir,
                       const QString &appDataDir, Prompter *prompter);

// ResolveFolders with the desktop's documents and application-data folders.
Folders ResolveUserFolders(const QString &startDir, Prompter *prompter);

// Creates the backup folder silently.
void MakeBackupFolder(const Folders &folders);

// The start-up picture the operator may put in the shared folder, if there is one.
QString UserSplashPath();

// A file-name stem from a call sign: its leading digits and capital letters, or "YourCall".
QString CallFileStem(const QString &call);

}  // namespace zev
