#pragma once
// The recorded cues delivered with the program.

#include <QString>
#include <QStringList>

namespace zev {

// "Call", "RstRcvd", "SPC", "RstSnt", "ObelPwr", "Dupe", "NavEn", "NavDis".
const QStringList &CueNames();

// Copies each delivered cue "<deliveredDir>/<name>.wav" into `workFolder` when the working
// folder has no file of that name; the operator's own recordings are never replaced.
// A cue not delivered is skipped (cues are optional). One line per file that could not be
// written, empty when all is well.
QString InstallCueFiles(const QString &workFolder, const QString &deliveredDir);

}  // namespace zev
