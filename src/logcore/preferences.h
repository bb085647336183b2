#pragma once
// The operator's station data and current choices, kept in "zevpref.txt".

#include "common/quoted_values.h"

#include <QByteArray>
#include <QString>

namespace zev {

inline const QString kPreferenceFile = QStringLiteral("zevpref.txt");

struct Preferences {
    QString MyCall;
    QString MyProvince;
    double UtcOffsetHours = 0;
    QString CurrentMode = QStringLiteral("CW");
    double OperatingSeconds = 0;
    QString MyCountry;
    double MyLongitude = 0;
    double MyLatitude = 0;
    int FormSizePercent = 100;
    quint32 WorkedMultColour = 0x00C00000;    // dark blue (0x00BBGGRR)
    quint32 UnworkedMultColour = 0x00707070;  // grey: still readable, clearly not worked
    QString CurrentBand = QStringLiteral("20");
    QString MyContinent;
    QString MyPowerClass;
    int VoiceNavLevel = 0;
    QString RigName = QStringLiteral("None");
    int TaskbarMode = 0;
    int ListPreviousOn = 0;
    int InCanada = 1;

    bool operator==(const Preferences &) const = default;
};

// First-run values: everything as above, with the machine's own offset to UTC.
Preferences DefaultPreferences(double utcOffsetHours);

// The nineteen values, one per line, CR LF.
QByteArray FormatPreferences(const Preferences &p);

struct PreferenceReadResult {
    bool ok = true;
    QString error;
    ReadPosition position;
};

// Reads the nineteen values in order. A value of the wrong type fails the whole read;
// `p` is then filled only up to the value that failed.
PreferenceReadResult ParsePreferences(const QByteArray &data, Preferences &p);

}  // namespace zev
