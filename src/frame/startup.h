#pragma once
// What start-up does before the main window loads.

#include "frame/folders.h"

#include <QString>

namespace zev {

class Clock;

// Creates the working files a first run lacks: "zevpref.txt" with sound defaults, an
// empty "log.txt" and "wave2.txt" with the voice keyer's defaults. Existing files, even
// damaged ones, are left alone. Returns one line per file that could not be written,
// empty when all is well.
QString CreateMissingWorkingFiles(const Folders &folders, const Clock &clock);

// When a delivered data file ("arrlpre2.txt", "ADIFCnt.txt") is in none of the places
// the program reads it from, copies it from `deliveredDir` into the shared folder; a
// missing "BandPlan.txt" and the recorded cues missing from the working folder are copied
// there.
// Returns one line per file that could not be installed, empty when all is well.
QString InstallDataFiles(const Folders &folders, const QString &deliveredDir);

// Where the delivered data files are. The build tree keeps them beside the program; an
// installed program finds them at `installedDataDir`, relative to the program's folder.
struct ProgramData {
    QString dir;
    bool installed = false;
};
ProgramData LocateProgramData(const QString &programDir, const QString &installedDataDir);

// The working folder of an installed program: `zevWorkdir` (the environment's ZEV_WORKDIR)
// when set, else "ZEVLog" in the home folder.
QString InstalledWorkFolder(const QString &zevWorkdir, const QString &homeDir);

// Creates `path` and its parents when missing and makes it the current directory.
// Returns what the operator is told when that fails, empty on success.
QString EnterWorkFolder(const QString &path);

// What the operator is told when start-up could not create its files.
QString StartupFailureText(const QString &failures);

}  // namespace zev
