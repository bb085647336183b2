#include "spotting/spot_text.h"

#include "common/file_io.h"
#include "common/quoted_values.h"
#include "logcore/prefix_table.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cmath>
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

QByteArray LineAssembler::takePending()
{
    QByteArray tail;
    tail.swap(pending_);
    overflow_ = false;
    return tail;
}

void LineAssembler::reset()
{
    pending_.clear();
    skipLf_ = overflow_ = sawLineEnd_ = false;
}

// ---- Telnet ----

namespace {
constexpr uchar kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
// Longest subnegotiation dropped before the stream is taken as data again, so a peer
// that opens one and never closes it cannot swallow every later spot.
constexpr qsizetype kMaxSubnegotiation = 4096;
}  // namespace

void TelnetFilter::command(uchar b)
{
    if (b >= kWill && b <= kDont) {
        verb_ = b;
        state_ = State::Option;
    } else if (b == kSb) {
        subLength_ = 0;
        state_ = State::Sub;
    } else {
        // NOP, GA, a stray SE and the rest carry nothing for us.
        state_ = State::Data;
    }
}

QByteArray TelnetFilter::feed(const QByteArray &bytes, QByteArray &replies)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const uchar b = uchar(ch);
        switch (state_) {
        case State::Data:
            if (b == kIac)
                state_ = State::Command;
            else
                out += ch;
            break;
        case State::Command:
            if (b == kIac) {
                out += ch;
                state_ = State::Data;
            } else {
                command(b);
            }
            break;
        case State::Option: {
            bool *answered = verb_ == kDo ? answeredDo_ : verb_ == kWill ? answeredWill_ : nullptr;
            if (answered && !answered[b]) {
                answered[b] = true;
                const char answer[] = {char(kIac), char(verb_ == kDo ? kWont : kDont), char(b)};
                replies.append(answer, 3);
            }
            state_ = State::Data;
            break;
        }
        case State::Sub:
            if (b == kIac)
                state_ = State::SubCommand;
            else if (++subLength_ > kMaxSubnegotiation)
                state_ = State::Data;
            break;
        case State::SubCommand:
            if (b == kIac)
                state_ = ++subLength_ > kMaxSubnegotiation ? State::Data : State::Sub;
            else if (b == kSe)
                state_ = State::Data;
            else
                command(b);  // an unterminated subnegotiation ends at the next command
            break;
        }
    }
    return out;
}

void TelnetFilter::reset()
{
    state_ = State::Data;
    verb_ = 0;
    subLength_ = 0;
    std::fill(std::begin(answeredDo_), std::end(answeredDo_), false);
    std::fill(std::begin(answeredWill_), std::end(answeredWill_), false);
}

// ---- received text ----

QString NetworkText(const QByteArray &bytes)
{
    bool ascii = true;
    for (const char ch : bytes)
        if (uchar(ch) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString FieldText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t')
            out += QLatin1Char(' ');
        else if (u >= 0x20 && u != 0x7F && !(u >= 0x80 && u < 0xA0))
            out += c;
    }
    return out;
}

std::optional<QString> KhzToMhzText(const QString &khz)
{
    const QString t = khz.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        negative = t[i++] == QLatin1Char('-');
    auto isDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    QString whole, fraction;
    while (i < t.size() && isDigit(t[i]))
        whole += t[i++];
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && isDigit(t[i]))
            fraction += t[i++];
    }
    if (i != t.size() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    // Three places to the left: kHz to MHz.
    if (whole.size() < 3)
        whole = QString(3 - whole.size(), QLatin1Char('0')) + whole;
    QString mhzWhole = whole.left(whole.size() - 3);
    QString mhzFraction = whole.right(3) + fraction;
    while (mhzWhole.size() > 1 && mhzWhole.startsWith(QLatin1Char('0')))
        mhzWhole.remove(0, 1);
    if (mhzWhole.isEmpty())
        mhzWhole = QStringLiteral("0");
    while (mhzFraction.endsWith(QLatin1Char('0')))
        mhzFraction.chop(1);
    QString out = mhzWhole;
    if (!mhzFraction.isEmpty())
        out += QLatin1Char('.') + mhzFraction;
    if (negative && out != QLatin1String("0"))
        out.prepend(QLatin1Char('-'));
    return out;
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
    // Columns are cut first, so a bell inside the line moves no field; then the bells and
    // other control characters go (clusters end their lines with two bells).
    s.freqText = FieldText(s.freqText);
    s.record = FieldText(line.mid(3)).trimmed();
    s.spotter = FieldText(shift == 0 ? Cut(line, 3, 11) : Cut(line, 3, colon - 2)).trimmed();
    s.comment = FieldText(Cut(line, 37 + shift, 25)).trimmed();
    s.prefix = FieldText(Cut(line, 64 + shift, 5)).trimmed();
    s.time = FieldText(Cut(line, 70 + shift, 4));
    s.from = FieldText(Cut(line, 75 + shift, 4)).trimmed();
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
    const QString text = NetworkText(bytes);
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            if (!lastWasCr)
                out += QLatin1String("\r\n");
            lastWasCr = false;
            continue;
        }
        lastWasCr = c == QLatin1Char('\r');
        if (lastWasCr)
            out += QLatin1String("\r\n");
        else
            out += c;
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
    // The range first: converting a number no integer can hold is undefined.
    const double d = NumericValue(v);
    if (!(d >= lo && d <= hi) || d != std::floor(d))
        return false;
    out = int(d);
    return true;
}

// The names the notes give the fourteen values, in file order.
const char *const kPackSpotNames[14] = {
    "SerialBaud",     "SerialParity", "SerialDataBits", "SerialStopBits", "SerialPort",
    "SerialPower",    "SpotConnectionType", "Convert to Hex", "SerialHandshake", "List DX Only",
    "List",           "TNC cmd mode hex character", "Telnet Port", "Telnet Host"};

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
        if (!in.next(v)) {
            for (int m = k; m <= 14; ++m)
                r.missing << QLatin1String(kPackSpotNames[m - 1]);
            return r;
        }
        r.valuesRead = k;
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
            // A set-up without a TNC never fills the box.
            if (v.isEmpty())
                break;
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

AgwEngineRead ParseAgwEngine(const QByteArray &data)
{
    AgwEngineRead r;
    ValueReader in(data);
    QString host, port;
    if (!in.next(host) || host.trimmed().isEmpty())
        r.fallbacks << QStringLiteral("AGW Host");
    else
        r.address.host = host.trimmed();
    if (!in.next(port) || !WholeIn(port, 1, 65535, r.address.port))
        r.fallbacks << QStringLiteral("AGW Port");
    return r;
}

QByteArray FormatAgwEngine(const AgwEngineAddress &a)
{
    return JoinLines({FormatLine({Value(a.host)}), FormatLine({Value(double(a.port))})});
}

ClusterLogin ParseClusterLogin(const QByteArray &data)
{
    ClusterLogin l;
    ValueReader in(data);
    QString call;
    if (!in.next(call))
        return l;
    l.call = call.trimmed();
    double number = 0;
    if (!in.nextNumber(number))
        return l;
    l.reconnect = number != 0;
    if (!in.nextNumber(number))
        return l;
    // A count beyond what follows reads what is there.
    const int count = number > 0 && number < 1000 ? int(number) : 0;
    for (int i = 0; i < count; ++i) {
        QString command;
        if (!in.next(command))
            break;
        if (!command.trimmed().isEmpty())
            l.commands << command.trimmed();
    }
    return l;
}

QByteArray FormatClusterLogin(const ClusterLogin &l)
{
    QList<QByteArray> lines{FormatLine({Value(l.call.trimmed())}), FormatLine({Value(l.reconnect ? 1.0 : 0.0)})};
    QStringList commands;
    for (const QString &c : l.commands)
        if (!c.trimmed().isEmpty())
            commands << c.trimmed();
    lines << FormatLine({Value(double(commands.size()))});
    for (const QString &c : commands)
        lines << FormatLine({Value(c)});
    return JoinLines(lines);
}

bool IsLoginPrompt(QStringView pending)
{
    QStringView t = pending.trimmed();
    if (!t.endsWith(QLatin1Char(':')))
        return false;
    t.chop(1);
    t = t.trimmed();
    for (const char *word : {"login", "call", "callsign", "log-in", "user", "username"})
        if (t.endsWith(QLatin1String(word), Qt::CaseInsensitive)) {
            // "Recall:" or "Fiscall:" is not a prompt: the word stands on its own.
            const qsizetype before = t.size() - qsizetype(qstrlen(word)) - 1;
            if (before < 0 || !t.at(before).isLetter())
                return true;
        }
    return false;
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
