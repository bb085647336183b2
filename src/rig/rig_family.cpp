#include "rig/rig_family.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zev::rig {

namespace {

RigDescriptor Text(const char *name, const char *baud, const char *freq, const char *mode)
{
    RigDescriptor d;
    d.name = QLatin1String(name);
    d.baud = QLatin1String(baud);
    d.dataBits = QLatin1Char('8');
    d.parity = QLatin1Char('N');
    d.stopBits = QLatin1Char('2');
    d.freqQuery = QLatin1String(freq);
    d.modeQuery = QLatin1String(mode);
    d.framing = Framing::Semicolon;
    d.poll = PollStyle::TextBoth;
    d.minMhz = 0.01;
    d.maxMhz = 1300;
    return d;
}

RigDescriptor CiV(const char *name, const char *address, double maxMhz)
{
    RigDescriptor d;
    d.name = QLatin1String(name);
    d.baud = QStringLiteral("1200");
    d.dataBits = QLatin1Char('8');
    d.parity = QLatin1Char('N');
    d.stopBits = QLatin1Char('1');
    d.freqQuery = QStringLiteral("FE FE %1 E0 03 FD").arg(QLatin1String(address));
    d.modeQuery = QStringLiteral("FE FE %1 E0 04 FD").arg(QLatin1String(address));
    d.convertToHex = true;
    d.poll = PollStyle::CiVAlternate;
    d.framing = Framing::CiV;
    d.decoder = Decoder::CiV;
    d.freqEncoder = FreqEncoder::CiV;
    d.modeEncoder = ModeEncoder::CiV;
    d.freqPauseMs = 140;
    d.minMhz = 0.01;
    d.maxMhz = maxMhz;
    return d;
}

// The binary Yaesu radios: a five-byte query, a fixed-length reply, the dial lock
// released when the link stops.
RigDescriptor Yaesu(const char *name, const char *query, Decoder decoder, int recordBytes,
                    FreqEncoder freq, double maxMhz)
{
    RigDescriptor d;
    d.name = QLatin1String(name);
    d.baud = QStringLiteral("4800");
    d.dataBits = QLatin1Char('8');
    d.parity = QLatin1Char('N');
    d.stopBits = QLatin1Char('2');
    d.freqQuery = QLatin1String(query);
    d.convertToHex = true;
    d.openBytes = QByteArray(5, '\0');
    d.closeBytes = QByteArray("\x00\x00\x00\x00\x80", 5);
    d.flushBeforeQuery = true;
    d.poll = PollStyle::YaesuFive;
    d.framing = Framing::Record;
    d.decoder = decoder;
    d.recordBytes = recordBytes;
    d.freqEncoder = freq;
    d.modeEncoder = freq == FreqEncoder::Yaesu ? ModeEncoder::Yaesu : ModeEncoder::YaesuStatus;
    d.minMhz = 0.01;
    d.maxMhz = maxMhz;
    return d;
}

QList<RigDescriptor> BuildList()
{
    QList<RigDescriptor> list;
    RigDescriptor none;
    none.name = QStringLiteral("None");
    none.noRadio = true;
    none.usesPort = false;
    list << none;

    RigDescriptor elecraft = Text("Elecraft", "4800", "FA;", "MD;");
    elecraft.decoder = Decoder::Kenwood;
    elecraft.freqEncoder = FreqEncoder::Elecraft;
    elecraft.modeEncoder = ModeEncoder::Kenwood;
    elecraft.freqSettleMs = 1000;
    list << elecraft;

    RigDescriptor icom = CiV("Icom", "64", 1300);
    icom.icomNote = true;
    icom.icomNoteOnLoad = true;
    list << icom;
    RigDescriptor icom735 = CiV("Icom 735", "64", 30);
    icom735.icomNote = true;
    icom735.modeEncoder = ModeEncoder::None;
    list << icom735;

    RigDescriptor kenwood = Text("Kenwood", "4800", "FA;", "MD;");
    kenwood.decoder = Decoder::Kenwood;
    kenwood.freqEncoder = FreqEncoder::Kenwood;
    kenwood.modeEncoder = ModeEncoder::Kenwood;
    list << kenwood;

    RigDescriptor kenwood2 = Text("Kenwood 2", "4800", "IF;", "");
    kenwood2.decoder = Decoder::Kenwood2;
    kenwood2.freqEncoder = FreqEncoder::Kenwood2;
    kenwood2.modeEncoder = ModeEncoder::Kenwood;
    list << kenwood2;

    RigDescriptor omni = CiV("Ten Tec Omni VI", "04", 60);
    omni.freqPauseMs = 140 + 220;
    list << omni;

    RigDescriptor orion;
    orion.name = QStringLiteral("Ten Tec Orion");
    orion.baud = QStringLiteral("56000");
    orion.dataBits = QLatin1Char('8');
    orion.parity = QLatin1Char('N');
    orion.stopBits = QLatin1Char('1');
    orion.freqQuery = QStringLiteral("?AF");
    orion.modeQuery = QStringLiteral("?RMM");
    orion.rtsCts = true;
    orion.openBytes = QByteArray("X\r");
    orion.poll = PollStyle::OrionBoth;
    orion.framing = Framing::CarriageReturn;
    orion.decoder = Decoder::Orion;
    orion.freqEncoder = FreqEncoder::Orion;
    orion.minMhz = 0.01;
    orion.maxMhz = 30;
    list << orion;

    RigDescriptor fnt;
    fnt.name = QStringLiteral("Ten Tec Fnt Pnl");
    fnt.baud = QStringLiteral("56000");
    fnt.dataBits = QLatin1Char('8');
    fnt.parity = QLatin1Char('N');
    fnt.stopBits = QLatin1Char('1');
    fnt.freqQuery = QStringLiteral("3F 41 0D");
    fnt.modeQuery = QStringLiteral("3F 4D 0D");
    fnt.convertToHex = true;
    fnt.rtsCts = true;
    fnt.flushBeforeQuery = true;
    fnt.poll = PollStyle::FntPnlAlternate;
    fnt.framing = Framing::Record;
    fnt.decoder = Decoder::FntPnl;
    // Frequency: "A" and four bytes; mode: "M" and two bytes.
    fnt.recordBytes = 5;
    fnt.modeRecordBytes = 3;
    fnt.freqMarker = 'A';
    fnt.modeMarker = 'M';
    fnt.freqEncoder = FreqEncoder::FntPnl;
    fnt.minMhz = 0.01;
    fnt.maxMhz = 30;
    list << fnt;

    RigDescriptor pegasus;
    pegasus.name = QStringLiteral("Ten Tec Pegasus");
    pegasus.usesPort = false;
    pegasus.usesCommandFiles = true;
    pegasus.decoder = Decoder::Pegasus;
    pegasus.freqEncoder = FreqEncoder::Pegasus;
    pegasus.minMhz = 0.01;
    pegasus.maxMhz = 30;
    list << pegasus;

    RigDescriptor yaesu = Yaesu("Yaesu", "00 00 00 00 03", Decoder::Yaesu, 5, FreqEncoder::Yaesu, 500);
    yaesu.longReplyUnplaced = true;
    list << yaesu;
    list << Yaesu("Yaesu 757 GX II", "00 00 00 00 10", Decoder::Yaesu757, 10,
                  FreqEncoder::YaesuReversed, 30);
    list << Yaesu("Yaesu 890", "00 00 00 02 10", Decoder::Yaesu890, 8, FreqEncoder::YaesuReversed, 30);
    list << Yaesu("Yaesu 920", "00 00 00 02 10", Decoder::Yaesu920, 8, FreqEncoder::YaesuReversed, 60);
    list << Yaesu("Yaesu 990", "00 00 00 02 10", Decoder::Yaesu990, 8, FreqEncoder::YaesuReversed, 30);
    list << Yaesu("Yaesu 1000 D", "00 00 00 02 10", Decoder::Yaesu990, 8, FreqEncoder::YaesuReversed, 30);
    RigDescriptor yaesu1000 =
        Yaesu("Yaesu 1000", "00 00 00 02 10", Decoder::Yaesu1000, 8, FreqEncoder::YaesuReversed, 30);
    yaesu1000.freqPauseMs = 10;
    list << yaesu1000;

    RigDescriptor ftdx = Text("Yaesu FTdx9000", "4800", "FA;", "MD0;");
    ftdx.dataBits = QChar();
    ftdx.parity = QChar();
    ftdx.stopBits = QChar();
    ftdx.poll = PollStyle::TextAlternate;
    ftdx.decoder = Decoder::Ftdx9000;
    ftdx.freqEncoder = FreqEncoder::Ftdx9000;
    ftdx.modeEncoder = ModeEncoder::Ftdx9000;
    ftdx.maxMhz = 60;
    list << ftdx;

    RigDescriptor other;
    other.name = QStringLiteral("Other");
    other.hexEditable = true;
    other.poll = PollStyle::Other;
    list << other;

    // Any radio Hamlib knows, or one shared through rigctld; Hamlib talks to the port.
    RigDescriptor hamlib;
    hamlib.name = QStringLiteral("Hamlib");
    hamlib.usesPort = false;
    hamlib.hamlib = true;
    hamlib.minMhz = 0.01;
    hamlib.maxMhz = 1300;
    list << hamlib;
    return list;
}

// `n` decimal digits of `value`, zero-padded; empty when it does not fit.
QByteArray Digits(qint64 value, int n)
{
    QByteArray s = QByteArray::number(value);
    if (s.size() > n)
        return {};
    return s.rightJustified(n, '0');
}

// Packed BCD of a digit text, pairs in order (most significant first).
QByteArray Bcd(const QByteArray &digits)
{
    QByteArray out;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        out += char(((digits[i] - '0') << 4) | (digits[i + 1] - '0'));
    return out;
}

QByteArray Reversed(const QByteArray &bytes)
{
    QByteArray out = bytes;
    std::reverse(out.begin(), out.end());
    return out;
}

// The radio's CI-V address: the pair at characters 7-8 of the frequency query.
bool CiVAddress(const QString &freqQuery, char &address)
{
    bool ok = false;
    const int v = freqQuery.mid(6, 2).toInt(&ok, 16);
    if (!ok || freqQuery.mid(6, 2).size() != 2)
        return false;
    address = char(v);
    return true;
}

const QString kTooLow = QStringLiteral("The frequency must be above 0 MHz.");
const QString kTooHigh = QStringLiteral("The frequency has more digits than the radio accepts.");

}  // namespace

bool NoRigChosen(const QString &rigName)
{
    return rigName.trimmed().compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
}

const QList<RigDescriptor> &RigList()
{
    static const QList<RigDescriptor> list = BuildList();
    return list;
}

const RigDescriptor *FindRig(const QString &rigName)
{
    for (const RigDescriptor &d : RigList())
        if (d.name == rigName)
            return &d;
    return nullptr;
}

QByteArray HexToBytes(const QString &text)
{
    QByteArray out;
    auto digit = [](QChar c) {
        const char l = c.toLatin1();
        return l >= '0' && l <= '9' ? l - '0' : l >= 'A' && l <= 'F' ? l - 'A' + 10 : l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
    };
    for (qsizetype i = 0; i + 1 < text.size(); i += 3) {
        const int hi = digit(text.at(i)), lo = digit(text.at(i + 1));
        if (hi < 0 || lo < 0)
            return {};
        out += char(hi * 16 + lo);
    }
    return out;
}

QByteArray BytesToHex(const QByteArray &bytes, bool spaced)
{
    return spaced ? bytes.toHex(' ').toUpper() : bytes.toHex().toUpper();
}

PollSend PollCommand(const RigDescriptor &rig, const RigQueries &q, int queryToggle)
{
    PollSend s;
    s.nextToggle = queryToggle;
    const bool freqTurn = queryToggle == 0;
    auto alternate = [&](qsizetype minChars, auto convert) {
        const QString &query = freqTurn ? q.freqQuery : q.modeQuery;
        if (query.size() > minChars)
            s.bytes = convert(query);
        s.expect = freqTurn ? ReplyKind::Frequency : ReplyKind::Mode;
        s.nextToggle = freqTurn ? 1 : 0;
    };
    switch (rig.poll) {
    case PollStyle::None:
        break;
    case PollStyle::TextBoth:
        s.bytes = q.freqQuery.toLatin1() + q.modeQuery.toLatin1();
        break;
    case PollStyle::CiVAlternate:
        alternate(16, [](const QString &t) { return HexToBytes(t.left(17)); });
        break;
    case PollStyle::FntPnlAlternate:
        alternate(6, [](const QString &t) { return HexToBytes(t.left(8)); });
        break;
    case PollStyle::TextAlternate:
        alternate(1, [](const QString &t) { return t.toLatin1(); });
        break;
    case PollStyle::YaesuFive:
        if (q.freqQuery.size() > 13)
            s.bytes = HexToBytes(q.freqQuery.left(14));
        break;
    case PollStyle::OrionBoth:
        if (!q.freqQuery.isEmpty())
            s.bytes += q.freqQuery.toLatin1() + '\r';
        if (!q.modeQuery.isEmpty())
            s.bytes += q.modeQuery.toLatin1() + '\r';
        break;
    case PollStyle::Other:
        for (const QString *t : {&q.freqQuery, &q.modeQuery})
            if (!t->isEmpty())
                s.bytes += q.convertToHex ? HexToBytes(*t) : t->toLatin1();
        break;
    }
    return s;
}

QByteArray ShortestMhzText(qint64 hz)
{
    const qint64 magnitude = hz < 0 ? -hz : hz;
    QByteArray text = QByteArray::number(magnitude / 1000000);
    QByteArray fraction = QByteArray::number(magnitude % 1000000).rightJustified(6, '0');
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += '.' + fraction;
    return hz < 0 ? '-' + text : text;
}

CommandPlan FrequencyCommand(const RigDescriptor &rig, qint64 hz, const CommandContext &ctx)
{
    CommandPlan plan;
    if (rig.freqEncoder == FreqEncoder::None)
        return plan;
    // Radios that count in 10 Hz take the nearest step.
    const qint64 tenHz = (hz + 5) / 10;
    if (hz <= 0 || tenHz <= 0) {
        plan.error = kTooLow;
        return plan;
    }
    QByteArray cmd;
    switch (rig.freqEncoder) {
    case FreqEncoder::None:
        break;
    case FreqEncoder::Kenwood:
    case FreqEncoder::Kenwood2:
    case FreqEncoder::Elecraft: {
        const QByteArray d = Digits(hz, 11);
        if (d.isEmpty())
            break;
        const QByteArray prefix = rig.freqEncoder == FreqEncoder::Kenwood ? ctx.freqQuery.left(2).toLatin1()
                                  : rig.freqEncoder == FreqEncoder::Kenwood2 && ctx.kenwood2Vfo == 1
                                      ? QByteArray("FB")
                                      : QByteArray("FA");
        cmd = prefix + d + ';';
        break;
    }
    case FreqEncoder::CiV: {
        char address = 0;
        if (!CiVAddress(ctx.freqQuery, address)) {
            plan.error = QStringLiteral("The frequency query holds no radio address.");
            return plan;
        }
        const QByteArray d = Digits(hz, 10);
        if (d.isEmpty())
            break;
        cmd = QByteArray("\xFE\xFE", 2) + address + QByteArray("\xE0\x05", 2) + Reversed(Bcd(d)) + '\xFD';
        break;
    }
    case FreqEncoder::FntPnl:
        if (hz > 0xFFFFFFFFLL)
            break;
        cmd = QByteArray("*A") + char(hz >> 24) + char(hz >> 16) + char(hz >> 8) + char(hz) + '\r';
        break;
    case FreqEncoder::Pegasus:
        cmd = ShortestMhzText(hz) + "\r\n" + ctx.rigMode.toLatin1() + "\r\n";
        break;
    case FreqEncoder::Orion: {
        // The radio counts in hertz.
        const QByteArray d = Digits(hz, 8);
        if (!d.isEmpty())
            cmd = "*AF" + QByteArray::number(hz) + '\r';
        break;
    }
    case FreqEncoder::Yaesu:
    case FreqEncoder::YaesuReversed: {
        const QByteArray d = Digits(tenHz, 8);
        if (d.isEmpty())
            break;
        if (rig.freqEncoder == FreqEncoder::Yaesu)
            cmd = Bcd(d) + '\x01';
        else
            cmd = Reversed(Bcd(d)) + '\x0A';
        break;
    }
    case FreqEncoder::Ftdx9000: {
        const QByteArray d = Digits(hz, 8);
        if (!d.isEmpty())
            cmd = ctx.freqQuery.left(2).toLatin1() + d + ';';
        break;
    }
    }
    if (cmd.isEmpty()) {
        plan.error = kTooHigh;
        return plan;
    }
    if (rig.freqSettleMs > 0)
        plan.steps << CommandStep{rig.freqPauseMs, {}} << CommandStep{rig.freqSettleMs, cmd};
    else
        plan.steps << CommandStep{rig.freqPauseMs, cmd};
    return plan;
}

CommandPlan ModeCommand(const RigDescriptor &rig, const QString &mode, const CommandContext &ctx)
{
    struct Code {
        const char *mode;
        int code;
    };
    static const Code kenwood[] = {{"CW", 3}, {"LSB", 1}, {"USB", 2}, {"AM", 5}, {"FM", 4}, {"RTTY", 6}, {"FSK", 6}};
    static const Code civ[] = {{"LSB", 0}, {"USB", 1}, {"AM", 2}, {"CW", 3}, {"RTTY", 4}, {"FM", 5}, {"CW-R", 7}, {"RTTY-R", 8}};
    static const Code yaesu[] = {{"LSB", 0}, {"USB", 1}, {"CW", 2}, {"AM", 4}, {"FM", 8}, {"DIG", 0x0A}, {"RTTY", 0x0A}, {"PKT", 0x0C}};
    static const Code status[] = {{"LSB", 0}, {"USB", 1}, {"CW", 2}, {"CW-R", 3}, {"AM", 4}, {"FM", 6}, {"RTTY", 8}, {"PKT", 0x0A}};
    static const Code ftdx[] = {{"LSB", 1}, {"USB", 2}, {"CW", 3}, {"FM", 4}, {"AM", 5}, {"RTTY", 6}, {"CW-R", 7}};

    auto find = [&](const auto &table) -> int {
        for (const Code &c : table)
            if (mode == QLatin1String(c.mode))
                return c.code;
        return -1;
    };
    CommandPlan plan;
    QByteArray cmd;
    int code = -1;
    switch (rig.modeEncoder) {
    case ModeEncoder::None:
        return plan;
    case ModeEncoder::Kenwood:
        if ((code = find(kenwood)) >= 0)
            cmd = "MD" + QByteArray::number(code) + ';';
        break;
    case ModeEncoder::CiV: {
        if ((code = find(civ)) < 0)
            break;
        char address = 0;
        if (!CiVAddress(ctx.freqQuery, address)) {
            plan.error = QStringLiteral("The frequency query holds no radio address.");
            return plan;
        }
        cmd = QByteArray("\xFE\xFE", 2) + address + QByteArray("\xE0\x06", 2) + char(code) + '\xFD';
        break;
    }
    case ModeEncoder::Yaesu:
        if ((code = find(yaesu)) >= 0)
            cmd = char(code) + QByteArray(3, '\0') + '\x07';
        break;
    case ModeEncoder::YaesuStatus:
        if ((code = find(status)) >= 0)
            cmd = QByteArray(3, '\0') + char(code) + '\x0C';
        break;
    case ModeEncoder::Ftdx9000:
        if ((code = find(ftdx)) >= 0)
            cmd = ctx.modeQuery.left(3).toLatin1() + QByteArray::number(code) + ';';
        break;
    }
    if (!cmd.isEmpty())
        plan.steps << CommandStep{99, cmd};
    return plan;
}

}  // namespace zev::rig
