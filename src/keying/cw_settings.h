#pragma once
// "cw.txt": the function-key messages and the keying settings, eighteen values, one a
// line. A missing or short file is not an error: what was read stays, the rest keeps its
// default.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace zev {

inline const QString kCwSettingsFile = QStringLiteral("cw.txt");

// CWKeyingLine values.
enum CwKeyingLine : int { kKeyNone = 0, kKeyRts = 1, kKeyDtr = 2, kKeyParallel = 3, kKeyWinKey = 5 };

struct CwSettings {
    std::array<QString, 11> messages;  // F1..F11 (Text1..Text9, Text12, Text13)
    QString port = QStringLiteral("0");           // Text10: serial port number, 0 = none
    QString speed = QStringLiteral("13");         // Text11: WPM
    QString wordSpace = QStringLiteral("0");      // txtSpace
    int keyingLine = kKeyNone;                    // CWKeyingLine
    QString parallelAddress = QStringLiteral("&H378");  // Text14
    int showText = 0;                             // Check1: show the CW text on the main window
    QString repeatPause = QStringLiteral("0");    // txtCWLoop: seconds

    bool operator==(const CwSettings &) const = default;
};

// The F9 text a stored empty F9 becomes.
inline const QString kDefaultF9 = QStringLiteral("VVV DE ");

// The file's bytes: Latin-1, CR LF after every line; a double quote is never written.
QByteArray FormatCwSettings(const CwSettings &s);
// Reads values in order into `s` until the data ends or a value is bad; returns how many
// values were taken (18 for a whole file). A stored empty F9 becomes "VVV DE ". A number out
// of its range keeps its default and is named in `fallbacks`.
int ParseCwSettings(const QByteArray &data, CwSettings &s, QStringList *fallbacks = nullptr);

// The settings of the file at `path`; defaults for a missing file. `error` is set only
// when the file is there but cannot be read (the defaults are returned then too).
CwSettings LoadCwSettings(const QString &path, QString *error = nullptr, QStringList *fallbacks = nullptr);
// Rewrites the file in one step. False, with the reason, when it could not be written.
bool SaveCwSettings(const QString &path, const CwSettings &s, QString *error = nullptr);
// First start: writes the defaults when there is no file. True when the file is there
// afterwards (an existing file is left as it is).
bool WriteDefaultCwSettingsIfMissing(const QString &path, QString *error = nullptr);

// The repeat pause as the box keeps it: a number from 0 up to (not including) 60 seconds
// stays, anything else becomes "0" with no repeat.
struct RepeatPause {
    QString text;
    int intervalMs = 0;
};
RepeatPause CheckRepeatPause(const QString &text);

}  // namespace zev
