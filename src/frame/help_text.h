#pragma once
// What Help shows: the keys of a contest and where this run keeps its files.

#include "frame/folders.h"

#include <QString>

namespace zev {

// Plain text, one topic per paragraph; the folders are this run's own.
QString HelpText(const Folders &folders);

}  // namespace zev
