#pragma once
// Pure text work of the spot links: assembling lines and engine frames out of a byte
// stream, reading cluster spot lines, the labels and countries of spotted calls, the
// monitor text and the "PackSpot.txt" settings file.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace zev {

struct PrefixTable;

// Longest line kept; the rest of a longer line is dropped up to its line end, so a peer
// that never ends a line cannot grow memory.
inline constexpr qsizetype kMaxSpotLine = 4096;

// Splits a byte stream into lines. CR LF, LF alone and CR alone each end one line; a CR LF
// split between two reads still ends one line. The unfinished tail waits for more bytes.
class LineAssembler {
public:
    // The lines completed by `bytes`, without their line ends.
    QList<QByteArray> feed(const QByteArray &bytes);
    // The unfinished tail.
    const QByteArray &pending() const { return pending_; }
    // Whether any line end has been seen since the last reset.
    bool sawLineEnd() const { return sawLineEnd_; }
    // Hands out the unfinished tail as a line of its own (a prompt that will never get a
    // line end, or a line cut by a hang-up); what follows starts a new line.
    QByteArray takePending();
    void reset();

private:
    QByteArray pending_;
    bool skipLf_ = false;      // the last byte was a CR: an LF right after it ends nothing
    bool overflow_ = false;    // dropping the rest of an overlong line
    bool sawLineEnd_ = false;
};

// Takes the Telnet commands out of a cluster's byte stream and refuses every option: DO
// is answered WONT and WILL is answered DONT, once per option. IAC IAC is a data byte
// 0xFF; a subnegotiation is dropped whole. A command split between reads is kept whole.
class TelnetFilter {
public:
    // The data bytes of `bytes`; answers for the far end are appended to `replies`.
    QByteArray feed(const QByteArray &bytes, QByteArray &replies);
    void reset();

private:
    enum class State : quint8 { Data, Command, Option, Sub, SubCommand };
    void command(uchar b);

    State state_ = State::Data;
    uchar verb_ = 0;
    qsizetype subLength_ = 0;
    bool answeredDo_[256] = {};
    bool answeredWill_[256] = {};
};

// Bytes from the network as text: UTF-8 when they are valid UTF-8, else Latin-1.
QString NetworkText(const QByteArray &bytes);

// A field cut from a received line, without bells or other control characters (a tab
// counts as a space).
QString FieldText(const QString &text);

// kHz as a cluster writes it ("14021.6") as MHz with the same digits ("14.0216"),
// by moving the decimal point in the text. Nothing for a text that is not a plain
// decimal number.
std::optional<QString> KhzToMhzText(const QString &khz);

// One frame of the packet engine's TCP protocol: a 36-byte header (port, kind, PID, call
// from, call to, data length little-endian, user) and the data.
struct AgwFrame {
    quint8 port = 0;
    char kind = 0;
    quint8 pid = 0;
    QByteArray callFrom, callTo;  // up to 9 characters each; the header keeps 10 with a NUL
    QByteArray data;
    quint32 user = 0;
};

inline constexpr int kAgwHeaderSize = 36;
// Longest data a frame may announce; a longer one means the stream is not ours.
inline constexpr quint32 kMaxAgwData = 8192;

QByteArray EncodeAgwFrame(const AgwFrame &f);

// Reassembles frames from the engine's byte stream.
class AgwFrameAssembler {
public:
    // The frames completed by `bytes`. After an impossible length, error() is set and
    // nothing more is taken.
    QList<AgwFrame> feed(const QByteArray &bytes);
    const QString &error() const { return error_; }
    qsizetype pendingSize() const { return pending_.size(); }
    void reset();

private:
    QByteArray pending_;
    QString error_;
};

// A cluster spot line taken apart.
struct ParsedSpot {
    QString freqText;  // kHz as sent, e.g. "14025.0"
    QString call;      // letters, digits and "/" only
    QString record;    // the line without "DX " and surrounding spaces
    QString spotter, comment, prefix, time, from;
};

// A line that starts with "DX de" (any case) and names a call of letters, digits and "/".
// Frequency and call are the two words after "DX de CALL:"; the other fields come from
// the columns of the standard layout, moved by as much as the call was moved. Nothing
// for any other line.
std::optional<ParsedSpot> ParseSpotLine(const QString &line);

// Letters, digits and "/" only, at least one character.
bool IsSpotCall(const QString &call);
// A packet station's address: 1 to 6 letters and digits, with an optional SSID "-0" to
// "-15" ("VE7CC-1").
bool IsPacketCall(const QString &call);

// The label of a call on the maps: its prefix (QQ1ABC -> QQ1, QQ3/QQ1ABC -> QQ3,
// QQ1ABC/P -> P, QQ1AB/4 -> QQ4); empty for a call shorter than 3 characters.
QString SpotLabelText(const QString &call);

// The country of a spotted call from the prefix table, letter case respected; empty when
// no prefix matches.
QString SpotCountry(const PrefixTable &table, const QString &call);

// The monitor text above 10000 characters keeps its last 9000.
void TrimMonitor(QString &monitor);
// Whether `line` (ended by CR LF) already stands in the last 800 characters of `monitor`.
bool IsDuplicateLine(const QString &monitor, const QString &line);

// A text from outside as the monitor shows it: CR LF, CR and LF become one line break,
// tabs stay, other control characters are shown as their control pictures.
QString DisplayText(const QString &text);
// Bytes from outside as text (see NetworkText), line ends made CR LF. `lastWasCr` carries
// a CR that ended the previous piece, so a CR LF split between pieces gives one line end.
QString MonitorText(const QByteArray &bytes, bool &lastWasCr);

// The link types of the setup window, in the order they are offered.
inline constexpr const char *kSpotLinkNone = "None";
inline constexpr const char *kSpotLinkTnc = "TNC";
inline constexpr const char *kSpotLinkTelnet = "Telnet";
inline constexpr const char *kSpotLinkAgw = "AGW Packet Engine";

// "PackSpot.txt": fourteen values, one a line.
struct PackSpotSettings {
    QString SerialBaud = QStringLiteral("9600");
    QString SerialParity = QStringLiteral("N");
    QString SerialDataBits = QStringLiteral("8");
    QString SerialStopBits = QStringLiteral("1");
    int SerialPort = 1;
    QString SerialPower = QStringLiteral("N");
    QString SpotConnectionType;
    int ConvToHex = 0;
    int SerialHandshake = 3;
    int DxOnly = 0;
    bool OptList = false;
    QString Hex = QStringLiteral("03");
    QString TelnetPort;
    QString TelnetHost;

    QString SerialSettings() const;
    bool operator==(const PackSpotSettings &) const = default;
};

struct PackSpotRead {
    PackSpotSettings settings;
    bool complete = false;  // all fourteen values were read
    int valuesRead = 0;     // how many of them were read, in file order
    QStringList fallbacks;  // values out of range, replaced by the defaults
    QStringList missing;    // values the file did not hold, left at their defaults
};

// Reads the file's content. A value out of range falls back to its default and reading
// goes on; reading ends at the first value that cannot be read at all, keeping what was
// read before it. An empty command-mode character is the default one.
PackSpotRead ParsePackSpot(const QByteArray &data);
QByteArray FormatPackSpot(const PackSpotSettings &s);

// Where the packet engine listens, kept in "AgwEngine.txt" beside "PackSpot.txt": the
// host in quotes and the port, one a line.
struct AgwEngineAddress {
    QString host = QStringLiteral("127.0.0.1");
    int port = 8000;
    bool operator==(const AgwEngineAddress &) const = default;
};

struct AgwEngineRead {
    AgwEngineAddress address;
    QStringList fallbacks;  // values missing or out of range, left at their defaults
};

AgwEngineRead ParseAgwEngine(const QByteArray &data);
QByteArray FormatAgwEngine(const AgwEngineAddress &a);

// The cluster log-in, kept in "ClusterLogin.txt" beside "PackSpot.txt": the log-in call in
// quotes (empty: the operator's own call), automatic reconnection 1 or 0, the number of
// start-up commands, then each command in quotes on a line of its own.
struct ClusterLogin {
    QString call;
    bool reconnect = true;
    QStringList commands;
    bool operator==(const ClusterLogin &) const = default;
};

// What was read; reading stops at the first value that cannot be read, keeping the rest
// at their defaults.
ClusterLogin ParseClusterLogin(const QByteArray &data);
QByteArray FormatClusterLogin(const ClusterLogin &l);

// The text after the last line end asks for a call or a log-in name ("login:", "Please
// enter your call:", "callsign:"), in any case, maybe followed by blanks.
bool IsLoginPrompt(QStringView pending);

// The message of a socket error number; "Error number N" for a number without one.
QString SocketErrorMessage(int number);

}  // namespace zev
