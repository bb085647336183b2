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

// What the operator is told when start-up could not create its files.
QString StartupFailureText(const QString &failures);

}  // namespace zev
