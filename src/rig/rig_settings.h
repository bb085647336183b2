#pragma once
// The rig link's stored choices, "RigCntrl.txt": fourteen values, one per line.

#include "common/quoted_values.h"

#include <QByteArray>
#include <QString>

namespace zev {

inline const QString kRigSettingsFile = QStringLiteral("RigCntrl.txt");

struct RigLinkSettings {
    QString RigBaud = QStringLiteral("4800 ");  // five characters, blank-filled
    QString RigParity = QStringLiteral("N");
    QString RigDataBits = QStringLiteral("8");
    QString RigStopBits = QStringLiteral("2");
    QString ModeQuery;
    QString FreqQuery;
    QString RigSerialSettings = QStringLiteral("4800,N,8,2");
    int RigPort = 1;                         // 1..10
    QString PowerLine = QStringLiteral("N");  // N none, R RTS, D DTR
    QString PollRate = QStringLiteral("M");   // F 100 ms, M 500 ms, S 2 s, R 10 s
    QString RigName = QStringLiteral("None");
    int ConvertToHex = 0;
    int UseFrequency = 1;
    int ModeBy = 1;  // 1 rig, 2 frequency, 3 don't use

    bool operator==(const RigLinkSettings &) const = default;
};

// The baud as stored: the digits followed by blanks up to five characters.
QString StoredBaud(const QString &baud);
// "4800,N,8,2" from the four serial fields (the baud without its blanks).
QString SerialSettingsText(const RigLinkSettings &s);

QByteArray FormatRigSettings(const RigLinkSettings &s);

struct RigSettingsReadResult {
    bool ok = true;
    QString error;
    ReadPosition position;
};
// Reads the fourteen values in order; on a bad value `s` keeps what was read before it.
RigSettingsReadResult ParseRigSettings(const QByteArray &data, RigLinkSettings &s);

// What the radio sent, for a label: printable bytes as they are, others as "<0D>", and
// only the last `keep` characters.
QString UnprocessedText(const QByteArray &bytes, int keep = 300);

// Timer interval of a poll rate letter: one poll cycle takes two ticks.
int PollIntervalMs(const QString &pollRate);

}  // namespace zev
