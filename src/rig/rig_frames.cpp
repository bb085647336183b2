// Framing and decoding of radio replies.

#include "common/quoted_values.h"
#include "rig/rig_family.h"

#include <cmath>
#include <cstring>

namespace zev::rig {

namespace {

const QString kCW = QStringLiteral("CW");
const QString kPH = QStringLiteral("PH");

bool AllDigits(const char *p, qsizetype n)
{
    if (n <= 0)
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (p[i] < '0' || p[i] > '9')
            return false;
    return true;
}

qint64 DecimalValue(const char *p, qsizetype n)
{
    qint64 v = 0;
    for (qsizetype i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

// A number field as radios pad it: leading blanks, then at least one digit and nothing else
// ("@AF 7025000" on the Orion below 10 MHz).
bool NumberField(const char *p, qsizetype n, qint64 &value)
{
    qsizetype i = 0;
    while (i < n && p[i] == ' ')
        ++i;
    if (!AllDigits(p + i, n - i))
        return false;
    value = DecimalValue(p + i, n - i);
    return true;
}

// Hexadecimal digits of `hex` (0-based start, count) as one number.
qint64 HexValue(const QByteArray &hex, qsizetype start, qsizetype count)
{
    qint64 v = 0;
    for (qsizetype i = start; i < start + count; ++i) {
        const char c = hex[i];
        v = v * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return v;
}

// Hertz rounded to 10 Hz, as the radio families that read whole hertz report it.
qint64 TenHzRounded(qint64 hz)
{
    return (hz + 5) / 10 * 10;
}

bool SetFrequency(RigReading &r, const RigDescriptor &rig, qint64 hz)
{
    if (!(double(hz) >= rig.minMhz * 1e6 && double(hz) <= rig.maxMhz * 1e6))
        return false;
    r.hasFrequency = true;
    r.frequencyHz = hz;
    return true;
}

void SetMode(RigReading &r, const QString &mode)
{
    r.hasMode = true;
    r.mode = mode;
}

// Text frames: the value stands at the end of the frame, after any stray bytes.
bool EndsWithDigitsAfter(const QByteArray &frame, const QByteArray &prefix, qsizetype digits, qint64 &value)
{
    const qsizetype start = frame.size() - digits - prefix.size();
    if (prefix.isEmpty() || start < 0)
        return false;
    if (QByteArrayView(frame).sliced(start, prefix.size()) != prefix)
        return false;
    return NumberField(frame.constData() + start + prefix.size(), digits, value);
}

// "MD" followed by at most one character ends the frame: CW for the codes given.
bool TextMode(const QByteArray &frame, const QByteArray &tag, const char *cwCodes, QString &mode)
{
    if (tag.isEmpty())
        return false;
    if (frame.endsWith(tag)) {
        mode = kPH;
        return true;
    }
    const qsizetype at = frame.size() - tag.size() - 1;
    if (at < 0 || QByteArrayView(frame).sliced(at, tag.size()) != tag)
        return false;
    mode = frame.back() != '\0' && std::strchr(cwCodes, frame.back()) ? kCW : kPH;
    return true;
}

void DecodeKenwood(RigReading &r, const RigDescriptor &rig, const QByteArray &frame, const RigQueries &q)
{
    qint64 hz = 0;
    if (q.freqQuery.size() >= 3 && EndsWithDigitsAfter(frame, q.freqQuery.left(2).toLatin1(), 11, hz))
        SetFrequency(r, rig, TenHzRounded(hz));
    QString mode;
    if (TextMode(frame, QByteArrayLiteral("MD"), "37", mode))
        SetMode(r, mode);
}

void DecodeKenwood2(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    // Only a whole IF reply: frequency, ..., mode at +28, VFO at +29.
    const qsizetype i = frame.lastIndexOf("IF");
    if (i < 0 || frame.size() - i < 30)
        return;
    const char *p = frame.constData() + i;
    qint64 hz = 0;
    if (!NumberField(p + 2, 11, hz) || !AllDigits(p + 28, 2))
        return;
    if (!SetFrequency(r, rig, TenHzRounded(hz)))
        return;
    SetMode(r, p[28] == '3' ? kCW : kPH);
    r.kenwood2Vfo = p[29] - '0';
}

bool Bcd(const char *p, qsizetype n, bool littleEndian, qint64 &value)
{
    value = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const auto b = quint8(p[littleEndian ? n - 1 - k : k]);
        if ((b >> 4) > 9 || (b & 15) > 9)
            return false;
        value = value * 100 + (b >> 4) * 10 + (b & 15);
    }
    return true;
}

void DecodeCiV(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    // FE FE to from cmd data...: only frames for us (E0) or for everyone (00).
    if (frame.size() < 6 || quint8(frame[0]) != 0xFE || quint8(frame[1]) != 0xFE)
        return;
    const auto to = quint8(frame[2]);
    if (to != 0xE0 && to != 0x00)
        return;
    const auto cmd = quint8(frame[4]);
    const char *data = frame.constData() + 5;
    const qsizetype n = frame.size() - 5;
    if (cmd == 0x03 || cmd == 0x00) {
        qint64 hz = 0;
        if ((n == 4 || n == 5) && Bcd(data, n, true, hz))
            SetFrequency(r, rig, hz);
    } else if (cmd == 0x04 || cmd == 0x01) {
        if (n == 1 || n == 2)
            SetMode(r, quint8(data[0]) == 0x03 ? kCW : kPH);
    }
}

void DecodeYaesu(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    // Four BCD bytes of 10 Hz, most significant first, then the mode.
    qint64 tenHz = 0;
    const auto m = quint8(frame[4]);
    if (!Bcd(frame.constData(), 4, false, tenHz) || (m >> 4) > 9 || (m & 15) > 9)
        return;
    const int mode = (m >> 4) * 10 + (m & 15);
    RigReading out;
    if (!SetFrequency(out, rig, tenHz * 10))
        return;
    if (mode == 0 || mode == 1 || mode == 4 || mode == 8 || mode == 84 || mode == 88)
        SetMode(out, kPH);
    else if (mode == 2 || mode == 3 || mode == 82 || mode == 83)
        SetMode(out, kCW);
    r.hasFrequency = true;
    r.frequencyHz = out.frequencyHz;
    if (out.hasMode)
        SetMode(r, out.mode);
}

void DecodeStatus(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    const QByteArray h = BytesToHex(frame, false);
    qint64 hz = 0;
    switch (rig.decoder) {
    case Decoder::Yaesu890: hz = HexValue(h, 4, 6) * 10; break;
    case Decoder::Yaesu1000: hz = HexValue(h, 3, 6) * 10; break;
    case Decoder::Yaesu990: hz = HexValue(h, 2, 6) * 10; break;
    case Decoder::Yaesu920: hz = TenHzRounded(HexValue(h, 2, 8)); break;
    default: return;
    }
    if (!SetFrequency(r, rig, hz))
        return;
    const char d = h[15];
    if (rig.decoder == Decoder::Yaesu920)
        SetMode(r, d == '1' ? kCW : kPH);
    else if (d == '2')
        SetMode(r, kCW);
    else if (d >= '0' && d <= '7')
        SetMode(r, kPH);
}

void Decode757(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    // Bytes 6..9: BCD of 10 Hz, least significant first; byte 10: the mode.
    qint64 tenHz = 0;
    if (!Bcd(frame.constData() + 5, 4, true, tenHz) || !SetFrequency(r, rig, tenHz * 10))
        return;
    const auto m = quint8(frame[9]);
    if ((m >> 4) != 0)
        return;
    static const char *const modes[] = {"PH", "PH", "CW", "CW", "AM", "FM"};
    if ((m & 15) < 6)
        SetMode(r, QLatin1String(modes[m & 15]));
}

void DecodeFtdx(RigReading &r, const RigDescriptor &rig, const QByteArray &frame, const RigQueries &q)
{
    qint64 hz = 0;
    if (EndsWithDigitsAfter(frame, q.freqQuery.left(2).toLatin1(), 8, hz))
        SetFrequency(r, rig, TenHzRounded(hz));
    QString mode;
    const QByteArray tag = q.modeQuery.left(3).toLatin1();
    if (tag.size() == 3 && TextMode(frame, tag, "3", mode))
        SetMode(r, mode);
}

void DecodeFntPnl(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    if (frame.startsWith('A') && frame.size() >= 5) {
        // Whole hertz, unsigned, most significant byte first.
        const qint64 hz = (qint64(quint8(frame[1])) << 24) | (quint8(frame[2]) << 16) |
                          (quint8(frame[3]) << 8) | quint8(frame[4]);
        SetFrequency(r, rig, TenHzRounded(hz));
    } else if (frame.startsWith('M') && frame.size() >= 3) {
        const int m = quint8(frame[1]) & 15;
        if (m == 3)
            SetMode(r, kCW);
        else if (m == 0 || m == 1 || m == 2 || m == 4)
            SetMode(r, kPH);
    }
}

void DecodeOrion(RigReading &r, const RigDescriptor &rig, const QByteArray &frame)
{
    qsizetype i = frame.lastIndexOf("@AF");
    if (i >= 0) {
        const qsizetype n = frame.size() - i - 3;
        qint64 hz = 0;
        if (n <= 11 && NumberField(frame.constData() + i + 3, n, hz))
            SetFrequency(r, rig, TenHzRounded(hz));
    }
    i = frame.lastIndexOf("@RMM");
    if (i >= 0) {
        const char c = frame.size() > i + 4 ? frame[i + 4] : '\0';
        SetMode(r, c == '2' || c == '3' ? kCW : kPH);
    }
}

// Frames of a terminated stream: complete ones out, the tail stays.
QList<QByteArray> SplitAt(QByteArray &pending, char terminator)
{
    QList<QByteArray> frames;
    qsizetype start = 0;
    for (qsizetype end; (end = pending.indexOf(terminator, start)) >= 0; start = end + 1)
        frames << pending.mid(start, end - start);
    pending.remove(0, start);
    return frames;
}

}  // namespace

void BeginReply(RxBuffer &rx)
{
    rx.pending.clear();
    rx.replyTaken = false;
}

QList<QByteArray> TakeFrames(RxBuffer &rx, const RigDescriptor &rig, const QByteArray &incoming,
                             qint64 nowMs, qint64 staleMs, ReplyKind expect)
{
    if (nowMs - rx.lastByteMs > staleMs)
        BeginReply(rx);
    if (incoming.isEmpty())
        return {};
    rx.lastByteMs = nowMs;
    if (rig.framing == Framing::None || (rig.framing == Framing::Record && rx.replyTaken))
        return {};
    rx.pending += incoming;

    QList<QByteArray> frames;
    switch (rig.framing) {
    case Framing::None:
        break;
    case Framing::Semicolon:
        frames = SplitAt(rx.pending, ';');
        break;
    case Framing::CarriageReturn:
        frames = SplitAt(rx.pending, '\r');
        break;
    case Framing::CiV:
        frames = SplitAt(rx.pending, '\xFD');
        for (QByteArray &f : frames) {
            // Bytes before the last preamble are a broken frame.
            const qsizetype at = f.lastIndexOf("\xFE\xFE");
            f = at < 0 ? QByteArray() : f.mid(at);
        }
        frames.removeAll(QByteArray());
        break;
    case Framing::Record: {
        qsizetype start = 0;
        const bool mode = expect == ReplyKind::Mode && rig.modeRecordBytes > 0;
        const qsizetype length = mode ? rig.modeRecordBytes : rig.recordBytes;
        if (const char marker = mode ? rig.modeMarker : rig.freqMarker) {
            start = rx.pending.indexOf(marker);
            if (start < 0) {
                rx.pending.clear();
                return {};
            }
        }
        if (rig.longReplyUnplaced && rx.pending.size() > length) {
            // Where the five bytes start cannot be told: nothing is safe to decode.
            rx.pending.clear();
            rx.replyTaken = true;
            return {};
        }
        if (rx.pending.size() - start >= length) {
            frames << rx.pending.mid(start, length);
            rx.pending.clear();
            rx.replyTaken = true;
        }
        break;
    }
    }
    if (rx.pending.size() > RxBuffer::kMaxBytes)
        rx.pending.remove(0, rx.pending.size() - RxBuffer::kMaxBytes);
    return frames;
}

RigReading DecodeFrames(const RigDescriptor &rig, const QList<QByteArray> &frames,
                        const RigQueries &queries)
{
    RigReading r;
    for (const QByteArray &frame : frames) {
        switch (rig.decoder) {
        case Decoder::None:
        case Decoder::Pegasus:
            break;
        case Decoder::Kenwood: DecodeKenwood(r, rig, frame, queries); break;
        case Decoder::Kenwood2: DecodeKenwood2(r, rig, frame); break;
        case Decoder::CiV: DecodeCiV(r, rig, frame); break;
        case Decoder::Yaesu:
            if (frame.size() == 5)
                DecodeYaesu(r, rig, frame);
            break;
        case Decoder::Yaesu890:
        case Decoder::Yaesu1000:
        case Decoder::Yaesu990:
        case Decoder::Yaesu920:
            if (frame.size() >= 8)
                DecodeStatus(r, rig, frame);
            break;
        case Decoder::Yaesu757:
            if (frame.size() >= 10)
                Decode757(r, rig, frame);
            break;
        case Decoder::Ftdx9000: DecodeFtdx(r, rig, frame, queries); break;
        case Decoder::FntPnl: DecodeFntPnl(r, rig, frame); break;
        case Decoder::Orion: DecodeOrion(r, rig, frame); break;
        }
    }
    return r;
}

RigReading DecodePegasusFile(const QByteArray &content, const RigDescriptor &rig)
{
    RigReading r;
    ValueReader in(content);
    double mhz = 0;
    // Range first: a number the file got wrong never reaches an integer conversion.
    if (!in.nextNumber(mhz) || !(mhz >= rig.minMhz && mhz <= rig.maxMhz) ||
        !SetFrequency(r, rig, std::llround(mhz * 1e6)))
        return r;
    QString mode;
    if (in.next(mode) && !mode.isEmpty())
        SetMode(r, mode.compare(kCW, Qt::CaseInsensitive) == 0 ? kCW : kPH);
    return r;
}

}  // namespace zev::rig
