#pragma once
// The WinKeyer's settings file "WK.txt" and the rules of the setup window's number boxes.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace zev {

struct Folders;

inline constexpr int kDefaultWinKeyPinConfig = 6;  // pin 5 gives the sidetone
inline constexpr int kDefaultWinKeyMode = 0;       // iambic B

struct WkSettings {
    int WinKeyPort = 5;
    QString txtWKWPM = QStringLiteral("18");
    QString txtWeight = QStringLiteral("50");
    QString txtLeadIn = QStringLiteral("0");
    QString txtTail = QStringLiteral("0");
    QString txtRatio = QStringLiteral("50");
    int WinKeyPinConfig = kDefaultWinKeyPinConfig;
    int WinKeyMode = kDefaultWinKeyMode;

    bool operator==(const WkSettings &) const = default;
};

// Where "WK.txt" lives.
QString WkSettingsPath(const Folders &folders);

// Reads "WK.txt" leniently: what is missing or unreadable keeps its default, and a file
// of six lines leaves the pin configuration and the mode as they were.
// A number out of its range keeps its default and is named in `fallbacks`.
WkSettings ParseWkSettings(const QByteArray &data, QStringList *fallbacks = nullptr);
// The file's bytes: Latin-1, one value a line, each ended by CR LF.
QByteArray FormatWkSettings(const WkSettings &s);
// The file at `path`, or the defaults when it is missing or unreadable.
WkSettings LoadWkSettings(const QString &path, QStringList *fallbacks = nullptr);
// Rewrites the file in one step; false with the reason in `error`.
bool SaveWkSettings(const QString &path, const WkSettings &s, QString *error = nullptr);

// What leaving a number box does: the text the box is left with, and the value to send
// to the keyer (nothing when it stays unsent).
struct BoxOutcome {
    QString text;
    std::optional<int> send;
};

// A box with a range (speed 0-99, weight 0-99, ratio 32-67): a number inside is sent, a
// number outside stays in the box unsent, anything else becomes `fallback` and that is sent.
BoxOutcome LeaveRangedBox(const QString &text, int low, int high, const QString &fallback);
BoxOutcome LeaveSpeedBox(const QString &text);
BoxOutcome LeaveWeightBox(const QString &text);
BoxOutcome LeaveRatioBox(const QString &text);

// Lead-in and tail go to the keyer together, each a byte. When either box is not a number,
// or either is above 255, the box just left becomes "0" and nothing is sent.
struct LeadTailOutcome {
    QString leadText, tailText;
    std::optional<std::pair<int, int>> send;
};
LeadTailOutcome LeaveLeadTailBoxes(const QString &lead, const QString &tail, bool leftLead);

// The port box: a number is the port, anything else becomes "0" (port 0).
BoxOutcome LeavePortBox(const QString &text);

}  // namespace zev
