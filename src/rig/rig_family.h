#pragma once
// The radio families as data. One descriptor per entry of the rig list says how a radio
// is set up, polled, framed, decoded and commanded; the link owns the port, the timer and
// the pacing, and calls the free functions below. Everything here is pure: bytes in,
// bytes or readings out. Port data is QByteArray end to end; query texts from the
// settings are Latin-1.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zev::rig {

// How a radio's replies are cut into frames.
enum class Framing {
    None,           // no port ("None", "Ten Tec Pegasus") or nothing decoded ("Other")
    Semicolon,      // text replies ending in ";"
    CiV,            // FE FE to from cmd data... FD
    CarriageReturn, // text replies ending in CR
    Record,         // binary reply of a fixed length, one per query, no terminator
};

// Which reply a poll asked for (the two-query families alternate).
enum class ReplyKind { FrequencyAndMode, Frequency, Mode };

// What the radio answered, as far as it could be decoded.
struct RigReading {
    bool hasFrequency = false;
    qint64 frequencyHz = 0;   // within the radio's range; to 10 Hz, or to 1 Hz for CI-V
    bool hasMode = false;
    QString mode;             // "CW", "PH", "AM" or "FM"
    int kenwood2Vfo = -1;     // "Kenwood 2": VFO digit of the IF reply, -1 when none was read

    double mhz() const { return double(frequencyHz) / 1e6; }
};

enum class Decoder {
    None, Kenwood, Kenwood2, CiV, Yaesu, Yaesu890, Yaesu1000, Yaesu990, Yaesu920,
    Yaesu757, Ftdx9000, FntPnl, Orion, Pegasus,
};
enum class PollStyle { None, TextBoth, CiVAlternate, FntPnlAlternate, TextAlternate, YaesuFive, OrionBoth, Other };
enum class FreqEncoder { None, Kenwood, Kenwood2, Elecraft, CiV, FntPnl, Pegasus, Orion, Yaesu, YaesuReversed, Ftdx9000 };
enum class ModeEncoder { None, Kenwood, CiV, Yaesu, YaesuStatus, Ftdx9000 };

// One entry of the rig list. Empty texts / null characters in the serial defaults mean
// "leave the current choice".
struct RigDescriptor {
    QString name;              // the RigName text, exactly
    bool noRadio = false;      // the "no rig link" entry: nothing to start or poll
    QString baud;              // "4800", ...; empty: unchanged
    QChar dataBits, parity, stopBits;
    QString freqQuery, modeQuery;  // default query texts of the window
    bool convertToHex = false;
    bool hexEditable = false;  // only "Other" lets the operator set "Convert to Hex"
    bool icomNote = false;     // show the note about the radio's CI-V address
    bool icomNoteOnLoad = false;  // ... also when the entry comes from the settings file
    bool rtsCts = false;       // hardware handshake; none for every other radio
    bool usesPort = true;      // "Ten Tec Pegasus" talks through files
    bool usesCommandFiles = false;  // the rig window asks for the files' folder
    bool hamlib = false;       // driven through the Hamlib library, not through our own frames
    QByteArray openBytes;      // sent right after the port opens
    QByteArray closeBytes;     // sent whenever the link stops polling
    bool flushBeforeQuery = false;  // record replies: input is discarded before each query
    PollStyle poll = PollStyle::None;
    Framing framing = Framing::None;
    Decoder decoder = Decoder::None;
    FreqEncoder freqEncoder = FreqEncoder::None;
    ModeEncoder modeEncoder = ModeEncoder::None;
    int recordBytes = 0;       // Framing::Record: bytes of one reply (of a frequency reply
                               // when the two kinds differ)
    int modeRecordBytes = 0;   // ... of a mode reply, when the radio answers it apart
    char freqMarker = 0;       // ... first byte of a frequency / mode reply; 0: none, the
    char modeMarker = 0;       //     reply starts with the first byte received
    bool longReplyUnplaced = false;  // more than one record: where it starts cannot be told
    int freqPauseMs = 205;     // paces the radio before a frequency command
    int freqSettleMs = 0;      // a second pause, before the command itself (0: none)
    double minMhz = 0, maxMhz = 0;  // readings outside are nonsense and dropped
};

// The entries in list order, "None" first, "Hamlib" last.
const QList<RigDescriptor> &RigList();
// The entry whose name equals `rigName` exactly (case matters), or nullptr.
const RigDescriptor *FindRig(const QString &rigName);
// The preference's loose reading of "no radio": blanks around it and letter case do not
// matter. The rig window's own Test compares exactly (FindRig and `noRadio`).
bool NoRigChosen(const QString &rigName);

// The serial settings text and the poll interval are in rig/rig_settings.h.

// "FE FE 64 E0 03 FD" -> bytes: pairs at character positions 1, 4, 7, ...; an empty
// result for a text that is not such pairs.
QByteArray HexToBytes(const QString &text);
// Bytes as upper-case pairs, separated by a space when `spaced`.
QByteArray BytesToHex(const QByteArray &bytes, bool spaced);

// The query texts of the window.
struct RigQueries {
    QString freqQuery;
    QString modeQuery;
    bool convertToHex = false;
};

// What one send tick writes. `nextToggle` is the new QueryToggle (0: the frequency query
// goes next); `bytes` may be empty when a query is too short to send.
struct PollSend {
    QByteArray bytes;
    ReplyKind expect = ReplyKind::FrequencyAndMode;
    int nextToggle = 0;
};
PollSend PollCommand(const RigDescriptor &rig, const RigQueries &queries, int queryToggle);

// The receive side of one link: a bounded buffer holding the incomplete tail of a reply.
struct RxBuffer {
    static constexpr qsizetype kMaxBytes = 1024;
    QByteArray pending;
    qint64 lastByteMs = 0;     // when bytes last arrived
    bool replyTaken = false;   // Framing::Record: the reply was taken; ignore the rest
};

// Before each query of a radio with `flushBeforeQuery`: forget whatever is pending.
void BeginReply(RxBuffer &rx);

// Adds `incoming` (received at `nowMs`) and returns the complete frames, oldest first,
// without their terminators; the incomplete tail stays for the next tick. A tail that
// got no new byte for more than `staleMs` is dropped first. `expect` says which reply
// a record radio owes ("Ten Tec Fnt Pnl" answers frequency and mode in different lengths).
// A CI-V frame starts at its last FE FE; a record radio yields one frame per reply and
// ignores what follows it until BeginReply (or until the line has been quiet for `staleMs`).
QList<QByteArray> TakeFrames(RxBuffer &rx, const RigDescriptor &rig, const QByteArray &incoming,
                             qint64 nowMs, qint64 staleMs, ReplyKind expect);

// Decodes complete frames; the newest frame carrying a value wins. Frames that do not
// decode, or decode outside the radio's range, are skipped.
RigReading DecodeFrames(const RigDescriptor &rig, const QList<QByteArray> &frames,
                        const RigQueries &queries);

// The content of the external control program's status file: a number (MHz), then a
// mode text. Modes other than "CW" read as "PH".
RigReading DecodePegasusFile(const QByteArray &content, const RigDescriptor &rig);

// One paced write: after the output has drained, wait `pauseMs`, then write `bytes`
// (nothing when empty). For a radio without a port (`usesPort` false) `bytes` is the
// whole content of the command file instead.
struct CommandStep {
    int pauseMs = 0;
    QByteArray bytes;
};
struct CommandPlan {
    QList<CommandStep> steps;  // empty: the radio takes no such command
    QString error;             // why nothing may be sent; empty when fine
};

// What the frequency command needs besides the frequency.
struct CommandContext {
    QString freqQuery;
    QString modeQuery;
    int kenwood2Vfo = -1;
    QString rigMode;           // "Ten Tec Pegasus" writes it beside the frequency
};

// The frequency command for `hz`, exact to the hertz. A frequency <= 0 or one that does not
// fit the radio's field is refused with a short reason in `error`.
CommandPlan FrequencyCommand(const RigDescriptor &rig, qint64 hz, const CommandContext &ctx);
// The mode command for "CW", "CW-R", "LSB", "USB", "AM", "FM", "RTTY", "RTTY-R", "FSK",
// "DIG" or "PKT"; no steps when the radio has no code for it.
CommandPlan ModeCommand(const RigDescriptor &rig, const QString &mode, const CommandContext &ctx);

// The frequency in MHz as its shortest exact decimal text ("14.025", "7", "21.0255").
QByteArray ShortestMhzText(qint64 hz);

}  // namespace zev::rig
