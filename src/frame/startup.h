#pragma once
// What start-up does before the main window loads.

#include "frame/folders.h"

#include <QString>

namespace zev {

class Clock;

// Creates the working files a first run lacks: "zevpref.txt" with sound defaults and an
// empty "log.txt". Existing files, even damaged ones, are left alone.
void CreateMissingWorkingFiles(const Folders &folders, const Clock &clock);

// When "arrlpre2.txt" is in none of the places the lookup reads, copies the delivered
// one from `deliveredDir` into the shared folder.
void InstallPrefixFile(const Folders &folders, const QString &deliveredDir);

}  // namespace zev
