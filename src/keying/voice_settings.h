#pragma once
// The voice keyer's settings and their file "wave2.txt": the nine message files, the
// push-to-talk line and the repeat pause of the F1 message.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace zev {

inline const QString kVoiceSettingsFile = QStringLiteral("wave2.txt");

// The function keys the voice messages are known by: F1 is 1 ... F9 is 9.
constexpr int kKeyF1 = 1;
constexpr int kKeyF9 = 9;

// How the transmitter is keyed; the numbers are those of the file's line 11.
enum class PttLine { Rts = 0, Dtr = 1, Parallel = 2 };

struct VoiceSettings {
    std::array<QString, 9> files;                   // F1..F9, full paths
    QString port = QStringLiteral("0");             // serial port number for PTT, 0 = none
    PttLine line = PttLine::Rts;
    QString loop = QStringLiteral("0");             // repeat pause of F1 in seconds, 0 = no repeat
    QString address = QStringLiteral("&H378");      // parallel port base address
};

// The serial port number the box holds: a text that is not a number counts as 0.
int PttPortNumber(const QString &text);

// The repeat pause a box holds, in seconds: a number from 0 up to but not including 60.
// Nothing for any other text (the box then goes back to "0").
std::optional<double> RepeatPauseSeconds(const QString &text);

// Reads the file's 13 lines. Lenient: a short or damaged file keeps the defaults for
// whatever could not be read, since a voice keyer setting must never stop the start-up.
// A number out of its range keeps its default and is named in `fallbacks`.
VoiceSettings ParseVoiceSettings(const QByteArray &data, QStringList *fallbacks = nullptr);
// The file's bytes: Latin-1, CR LF, texts quoted, line 11 bare.
QByteArray FormatVoiceSettings(const VoiceSettings &settings);

// The settings in the file at `path`; the defaults when it is missing or unreadable.
VoiceSettings LoadVoiceSettings(const QString &path, QStringList *fallbacks = nullptr);
// Replaces the file in one step. False, with the reason in `error`, when it failed.
bool SaveVoiceSettings(const QString &path, const VoiceSettings &settings, QString *error = nullptr);

}  // namespace zev
