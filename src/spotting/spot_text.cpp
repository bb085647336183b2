#include "spotting/spot_text.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "logcore/prefix_table.h"

#include <QtEndian>
#include <cstring>

namespace zev {

// ---- lines ----

QList<QByteArray> LineAssembler::feed(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (const char ch : bytes) {
        if (skipLf_) {
            skipLf_ = false;
            if (ch == '\n')
                continue;
        }
        if (ch == '\r' || ch == '\n') {
            skipLf_ = ch == '\r';
            sawLineEnd_ = true;
            lines.append(pending_);
            pending_.clear();
            overflow_ = false;
            continue;
        }
        if (overflow_)
            continue;
        if (pending_.size() >= kMaxSpotLine) {
            overflow_ = true;
            continue;
        }
        pending_.append(ch);
    }
    return lines;
}

void LineAssembler::reset()
{
    pending_.clear();
    skipLf_ = overflow_ = sawLineEnd_ = false;
}

// ---- engine frames ----

namespace {

void PutCall(char *at, const QByteArray &call)
{
    std::memcpy(at, call.constData(), size_t(qMin<qsizetype>(call.size(), 9)));
}

QByteArray TakeCall(const char *at)
{
    qsizetype n = 0;
    while (n < 10 && at[n] != '\0')
        ++n;
    return QByteArray(at, n).trimmed();
}

}  // namespace

QByteArray EncodeAgwFrame(const AgwFrame &f)
{
    QByteArray out(kAgwHeaderSize, '\0');
    char *h = out.data();
    h[0] = char(f.port);
    h[4] = f.kind;
    h[6] = char(f.pid);
    PutCall(h + 8, f.callFrom);
    PutCall(h + 18, f.callTo);
    qToLittleEndian<quint32>(quint32(f.data.size()), h + 28);
    qToLittleEndian<quint32>(f.user, h + 32);
    out += f.data;
    return out;
}

QList<AgwFrame> AgwFrameAssembler::feed(const QByteArray &bytes)
{
    QList<AgwFrame> frames;
    if (!error_.isEmpty())
        return frames;
    pending_ += bytes;
    qsizetype at = 0;
    while (pending_.size() - at >= kAgwHeaderSize) {
        const char *h = pending_.constData() + at;
        const quint32 length = qFromLittleEndian<quint32>(h + 28);
        if (length > kMaxAgwData) {
            error_ = QStringLiteral("The packet engine sent a frame of %1 bytes.").arg(length);
            pending_.clear();
            return frames;
        }
        if (pending_.size() - at < kAgwHeaderSize + qsizetype(length))
            break;
        AgwFrame f;
        f.port = quint8(h[0]);
        f.kind = h[4];
        f.pid = quint8(h[6]);
        f.callFrom = TakeCall(h + 8);
        f.callTo = TakeCall(h + 18);
        f.user = qFromLittleEndian<quint32>(h + 32);
        f.data = QByteArray(h + kAgwHeaderSize, qsizetype(length));
        while (f.data.endsWith('\0'))
            f.data.chop(1);
        frames.append(f);
        at += kAgwHeaderSize + qsizetype(length);
    }
    pending_.remove(0, at);
    return frames;
}

void AgwFrameAssembler::reset()
{
    pending_.clear();
    error_.clear();
}

// ---- spot lines ----

bool IsPacketCall(const QString &call)
{
    const qsizetype dash = call.indexOf(QLatin1Char('-'));
    const QString base = dash < 0 ? call : call.left(dash);
    if (base.isEmpty() || base.size() > 6)
        return false;
    for (const QChar c : base) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')))
            return false;
    }
    if (dash < 0)
        return true;
    const QString ssid = call.mid(dash + 1);
    bool number = false;
    const int n = ssid.toInt(&number);
    return number && ssid.size() <= 2 && !ssid.startsWith(QLatin1Char('+')) && n >= 0 && n <= 15;
}

bool IsSpotCall(const QString &call)
{
    if (call.isEmpty())
        return false;
    for (const QChar c : call) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '/';
        if (!ok)
            return false;
    }
    return true;
}

namespace {

// The word starting at or after `from`; its start in `start`.
QString WordAt(const QString &line, qsizetype from, qsizetype &start)
{
    qsizetype i = from;
    while (i < line.size() && line[i] == QLatin1Char(' '))
        ++i;
    start = i;
    while (i < line.size() && line[i] != QLatin1Char(' '))
        ++i;
    return line.mid(start, i - start);
}

QString Cut(const QString &line, qsizetype from, qsizetype n)
{
    if (from < 0) {
        n += from;
        from = 0;
    }
    if (n <= 0 || from >= line.size())
        return {};
    return line.mid(from, n);
}

}  // namespace

std::optional<ParsedSpot> ParseSpotLine(const QString &line)
{
    if (!line.startsWith(QLatin1String("DX de "), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype colon = line.indexOf(QLatin1Char(':'), 6);
    if (colon < 0)
        return std::nullopt;
    qsizetype freqStart = 0, callStart = 0;
    ParsedSpot s;
    s.freqText = WordAt(line, colon + 1, freqStart);
    s.call = WordAt(line, freqStart + s.freqText.size(), callStart);
    if (!IsSpotCall(s.call))
        return std::nullopt;
    // The standard layout has the call at column 27; a longer spotter call moves the
    // rest of the line along with it.
    const qsizetype shift = callStart - 26;
    s.record = DisplayText(line.mid(3).trimmed());
    s.spotter = DisplayText(shift == 0 ? Cut(line, 3, 11).trimmed() : Cut(line, 3, colon - 2).trimmed());
    s.comment = DisplayText(Cut(line, 37 + shift, 25).trimmed());
    s.prefix = DisplayText(Cut(line, 64 + shift, 5).trimmed());
    s.time = DisplayText(Cut(line, 70 + shift, 4));
    s.from = DisplayText(Cut(line, 75 + shift, 4).trimmed());
    return s;
}

QString SpotLabelText(const QString &call)
{
    const qsizetype len = call.size();
    if (len < 3)
        return {};
    qsizetype slash = 0, digit = 0;  // 1-based, 0 when none
    for (qsizetype i = 0; i < len; ++i) {
        if (call[i] == QLatin1Char('/'))
            slash = i + 1;
        if (call[i].isDigit() && call[i].unicode() < 128)
            digit = i + 1;
    }
    const qsizetype e = digit ? digit : len;
    if (slash == 0)
        return call.left(e);
    if (double(slash) < double(len) / 2.0 + 1.0)
        return call.left(slash - 1);
    const QString after = call.mid(slash);
    if (!after.isEmpty() && IsNumeric(after)) {
        qsizetype first = 0;
        while (first < len && !(call[first].isDigit() && call[first].unicode() < 128))
            ++first;
        return call.left(first) + after;
    }
    return after.left(e);
}

QString SpotCountry(const PrefixTable &table, const QString &call)
{
    QString c = call;
    const qsizetype slash = c.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        const qsizetype r = c.size() - slash - 1;
        if (r > 1 && double(r) < double(c.size()) / 2.0)
            c = c.right(r);
    }
    if (c.isEmpty())
        return {};
    const PrefixEntry *best = nullptr;
    for (const PrefixEntry &e : table.entries) {
        if (e.Prefix.isEmpty() || !c.startsWith(e.Prefix, Qt::CaseSensitive))
            continue;
        if (!best || e.Prefix.size() > best->Prefix.size())
            best = &e;
    }
    if (!best)
        return {};
    if (c.startsWith(QLatin1String("KG4")) && c.size() > 5)
        return QStringLiteral("USA");
    return best->CountryName;
}

// ---- monitor ----

void TrimMonitor(QString &monitor)
{
    if (monitor.size() > 10000)
        monitor = monitor.right(9000);
}

bool IsDuplicateLine(const QString &monitor, const QString &line)
{
    const qsizetype from = qMax<qsizetype>(0, monitor.size() - 800);
    return QStringView(monitor).mid(from).contains(QString(line + QLatin1String("\r\n")), Qt::CaseInsensitive);
}

QString DisplayText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\r') {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char('\n');
        } else if (u == '\n' || u == '\t') {
            out += QChar(u);
        } else if (u < 0x20) {
            out += QChar(char16_t(0x2400 + u));
        } else if (u == 0x7F) {
            out += QChar(char16_t(0x2421));
        } else if (u >= 0x80 && u < 0xA0) {
            out += QChar(char16_t(0xFFFD));
        } else {
            out += QChar(u);
        }
    }
    return out;
}

QString MonitorText(const QByteArray &bytes, bool &lastWasCr)
{
    QString out;
    out.reserve(bytes.size() + 8);
    for (const char ch : bytes) {
        if (ch == '\n') {
            if (!lastWasCr)
                out += QLatin1String("\r\n");
            lastWasCr = false;
            continue;
        }
        lastWasCr = ch == '\r';
        if (lastWasCr)
            out += QLatin1String("\r\n");
        else
            out += QChar(char16_t(uchar(ch)));
    }
    return out;
}

// ---- settings file ----

QString PackSpotSettings::SerialSettings() const
{
    QString baud = SerialBaud;
    while (baud.endsWith(QLatin1Char(' ')))
        baud.chop(1);
    return baud + QLatin1Char(',') + SerialParity + QLatin1Char(',') + SerialDataBits + QLatin1Char(',') +
           SerialStopBits;
}

namespace {

bool OneOf(const QString &v, std::initializer_list<const char *> allowed, QString &out)
{
    for (const char *a : allowed)
        if (v.compare(QLatin1String(a), Qt::CaseInsensitive) == 0) {
            out = QLatin1String(a);
            return true;
        }
    return false;
}

bool WholeIn(const QString &v, int lo, int hi, int &out)
{
    if (!IsNumeric(v))
        return false;
    const double d = NumericValue(v);
    if (d != double(qint64(d)) || d < lo || d > hi)
        return false;
    out = int(d);
    return true;
}

}  // namespace

PackSpotRead ParsePackSpot(const QByteArray &data)
{
    PackSpotRead r;
    PackSpotSettings &s = r.settings;
    ValueReader in(data);
    QString v;
    auto fallback = [&r](const char *name) { r.fallbacks << QLatin1String(name); };
    for (int k = 1; k <= 14; ++k) {
        v.clear();
        if (!in.next(v))
            return r;
        switch (k) {
        case 1: {
            QString baud = v;
            while (baud.endsWith(QLatin1Char(' ')))
                baud.chop(1);
            if (!OneOf(baud, {"1200", "2400", "4800", "9600", "14400", "19200"}, s.SerialBaud))
                fallback("SerialBaud");
            break;
        }
        case 2:
            if (!OneOf(v, {"O", "N", "E"}, s.SerialParity))
                fallback("SerialParity");
            break;
        case 3:
            if (!OneOf(v, {"7", "8"}, s.SerialDataBits))
                fallback("SerialDataBits");
            break;
        case 4:
            if (!OneOf(v, {"1", "2"}, s.SerialStopBits))
                fallback("SerialStopBits");
            break;
        case 5:
            if (!WholeIn(v, 1, 10, s.SerialPort))
                fallback("SerialPort");
            break;
        case 6:
            if (!OneOf(v, {"N", "R", "D"}, s.SerialPower))
                fallback("SerialPower");
            break;
        case 7:
            if (!v.isEmpty() && !OneOf(v, {kSpotLinkNone, kSpotLinkTnc, kSpotLinkTelnet, kSpotLinkAgw},
                                       s.SpotConnectionType))
                fallback("SpotConnectionType");
            break;
        case 8:
            if (!WholeIn(v, 0, 1, s.ConvToHex))
                fallback("Convert to Hex");
            break;
        case 9:
            if (!WholeIn(v, 1, 4, s.SerialHandshake))
                fallback("SerialHandshake");
            break;
        case 10:
            if (!WholeIn(v, 0, 1, s.DxOnly))
                fallback("List DX Only");
            break;
        case 11:
            if (v.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
                s.OptList = true;
            else if (v.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
                s.OptList = false;
            else
                fallback("List");
            break;
        case 12: {
            bool ok = false;
            const uint code = v.toUInt(&ok, 16);
            if (ok && v.size() <= 2 && code <= 0xFF)
                s.Hex = v;
            else
                fallback("TNC cmd mode hex character");
            break;
        }
        case 13:
            s.TelnetPort = v;
            break;
        case 14:
            s.TelnetHost = v;
            break;
        }
    }
    r.complete = true;
    return r;
}

QByteArray FormatPackSpot(const PackSpotSettings &s)
{
    auto text = [](const QString &t) { return FormatLine({Value(t)}); };
    auto number = [](int n) { return FormatLine({Value(double(n))}); };
    return JoinLines({text(s.SerialBaud), text(s.SerialParity), text(s.SerialDataBits), text(s.SerialStopBits),
                      number(s.SerialPort), text(s.SerialPower), text(s.SpotConnectionType), number(s.ConvToHex),
                      number(s.SerialHandshake), number(s.DxOnly),
                      s.OptList ? QByteArrayLiteral("#TRUE#") : QByteArrayLiteral("#FALSE#"), text(s.Hex),
                      text(s.TelnetPort), text(s.TelnetHost)});
}

QString SocketErrorMessage(int number)
{
    static const struct {
        int number;
        const char *text;
    } kMessages[] = {
        {7, "ERROR: Out of memory."},
        {380, "ERROR: The property value is invalid."},
        {383, "ERROR: The property is read-only."},
        {394, "ERROR: The property can't be read."},
        {1004, "ERROR: The operation was canceled."},
        {10014, "ERROR: The requested address is a broadcast address, but flag is not set."},
        {10035, "ERROR: Socket is non-blocking and the specified operation will block."},
        {10036, "ERROR: A blocking Winsock operation in progress."},
        {10037, "ERROR: The operation is completed. No blocking operation in progress"},
        {10038, "ERROR: The descriptor is not a socket."},
        {10040, "ERROR: The datagram is too large to fit into the buffer and is truncated."},
        {10043, "ERROR: The specified port is not supported."},
        {10048, "ERROR: Address in use."},
        {10049, "ERROR: Address not available from the local machine."},
        {10050, "ERROR: Network subsystem failed."},
        {10051, "ERROR: The network cannot be reached from this host at this time."},
        {10052, "ERROR: Connection has timed out when SO_KEEPALIVE is set."},
        {10053, "ERROR: Connection is aborted due to timeout or other failure."},
        {10054, "ERROR: The connection is reset by remote side.!"},
        {10055, "ERROR: No buffer space is available."},
        {10056, "ERROR: Socket is already connected."},
        {10057, "ERROR: Socket is not connected."},
        {10058, "ERROR: Socket has been shut down."},
        {10060, "ERROR: Socket has been shut down."},
        {10061, "ERROR: Connection is forcefully rejected."},
        {10093, "ERROR: WinsockInit should be called first."},
        {11001, "ERROR: Authoritative answer: Host not found."},
        {11002, "ERROR: Non-Authoritative answer: Host not found."},
        {11003, "ERROR: Non-recoverable errors."},
        {11004, "ERROR: Valid name, no data record of requested type."},
    };
    for (const auto &m : kMessages)
        if (m.number == number)
            return QLatin1String(m.text);
    return QStringLiteral("Error number %1").arg(number);
}

}  // namespace zev
