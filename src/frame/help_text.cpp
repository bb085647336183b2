#include "frame/help_text.h"

#include <QDir>

namespace zev {

QString HelpText(const Folders &folders)
{
    const auto native = [](const QString &path) { return QDir::toNativeSeparators(path); };
    QString t;
    t += QStringLiteral(
        "Keys of a contest\n"
        "Alt+L  Log Time On or Log Time Off: starts or stops the operating clock.\n"
        "Space  the next entry box: call, report received, province or serial, report sent, power.\n"
        "Enter  logs the contact, from any entry box.\n"
        "Esc or Alt+C  clears the entry (Esc first stops a message being sent).\n"
        "Alt+Down  to the super check partial list: Up and Down choose a call, Enter puts it in the call box.\n"
        "F1 to F11  the CW messages in CW mode; F1 to F9 the voice messages in phone mode.\n"
        "F12  keyboard CW on or off.  Up and Down  CW speed in the entry boxes; the previous or next row in a list.\n"
        "Tab to the contact list, Up and Down to choose a contact, Enter to edit it, Delete to delete it.\n"
        "Ctrl+C or Ctrl+S  CW Setup.  Ctrl+W  CW strings.  Ctrl+P  Voice Setup.\n"
        "Ctrl+D  DX Spotting.  Ctrl+B  Spectrum Map.  Ctrl+G  change frequency and mode.\n"
        "Ctrl+R  Rig Interface.  Ctrl+F  Band Privileges.\n\n");
    t += QStringLiteral("Where the files live\n");
    t += QStringLiteral("Working folder (log.txt, zevpref.txt, RigCntrl.txt, cw.txt, wave2.txt, PackSpot.txt, "
                        "BandPlan.txt): %1\n")
             .arg(native(folders.StartDir));
    t += QStringLiteral("Archives and exports: %1\n").arg(native(folders.ProgramDataFolder));
    t += QStringLiteral("Backup copies of the log, made when the logger closes: %1\n")
             .arg(native(folders.BackupFolder()));
    t += QStringLiteral("Shared station details, prefix and country tables: %1\n").arg(native(folders.SharedFolder));
    t += QStringLiteral("log.txt is the only copy of your contest: every contact is written to disk before it "
                        "counts as logged.\n");
    return t;
}

}  // namespace zev
