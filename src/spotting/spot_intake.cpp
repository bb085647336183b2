#include "spotting/spot_intake.h"

#include "common/clock.h"
#include "common/quoted_values.h"
#include "spotting/spot_store.h"

namespace zev {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

SpotIntake::SpotIntake(SpotStore &store, const PrefixTable &prefixes, const Clock &clock, QObject *parent)
    : QObject(parent), store_(store), prefixes_(prefixes), clock_(clock)
{
    telnetTail_.setSingleShot(true);
    connect(&telnetTail_, &QTimer::timeout, this, &SpotIntake::takeTelnetTail);
}

namespace {
bool StartsWithSpot(const QByteArray &bytes)
{
    return bytes.size() >= 5 && qstrnicmp(bytes.constData(), "DX de", 5) == 0;
}
}  // namespace

void SpotIntake::replaceMonitor(const QString &text)
{
    monitor_ = text;
    TrimMonitor(monitor_);
    emit monitorReplaced();
}

void SpotIntake::appendMonitor(const QString &text)
{
    if (text.isEmpty())
        return;
    monitor_ += text;
    if (monitor_.size() > 10000) {
        TrimMonitor(monitor_);
        emit monitorReplaced();
    } else {
        emit monitorAppended(text);
    }
}

void SpotIntake::startLink()
{
    telnetLines_.reset();
    tncLines_.reset();
    agwLines_.reset();
    telnetTail_.stop();
}

void SpotIntake::takeTelnet(const QByteArray &bytes)
{
    // A prompt has no line end: the spot sent after it must not be glued to it.
    if (StartsWithSpot(bytes))
        takeTelnetTail();
    const QList<QByteArray> lines = telnetLines_.feed(bytes);
    for (const QByteArray &raw : lines)
        takeLine(NetworkText(raw), false);
    if (telnetLines_.pending().isEmpty())
        telnetTail_.stop();
    else
        telnetTail_.start(tailWaitMs);
}

void SpotIntake::takeTelnetTail()
{
    telnetTail_.stop();
    const QByteArray tail = telnetLines_.takePending();
    if (!tail.isEmpty())
        takeLine(NetworkText(tail), false);
}

void SpotIntake::endTelnet() { takeTelnetTail(); }

void SpotIntake::takeTnc(const QByteArray &bytes)
{
    // Text before the first line end may be the tail of a line sent before the port opened.
    const bool started = tncLines_.sawLineEnd();
    // A node's prompt sent before a spot must not swallow it.
    if (started && StartsWithSpot(bytes)) {
        const QByteArray tail = tncLines_.takePending();
        if (!tail.isEmpty())
            takeLine(NetworkText(tail), true);
    }
    const QList<QByteArray> lines = tncLines_.feed(bytes);
    for (qsizetype i = started ? 0 : 1; i < lines.size(); ++i)
        takeLine(NetworkText(lines[i]), true);
}

void SpotIntake::takeLine(const QString &line, bool duplicateTest)
{
    // A prompt without a line end and the spot after it can come in one read: the spot
    // starts a line of its own. A spot's comment that says "DX de" stays where it is.
    static const QString kSpotStart = QStringLiteral("DX de ");
    if (!line.startsWith(kSpotStart, Qt::CaseInsensitive)) {
        const qsizetype at = line.indexOf(kSpotStart, 0, Qt::CaseInsensitive);
        if (at > 0) {
            takeLine(line.left(at), duplicateTest);
            takeLine(line.mid(at), duplicateTest);
            return;
        }
    }
    if (line.isEmpty() || (duplicateTest && IsDuplicateLine(monitor_, line)))
        return;
    if (const auto spot = ParseSpotLine(line)) {
        appendMonitor(line + kCrLf);
        PostSpot(*spot);
    } else if (!dxOnly) {
        appendMonitor(line + kCrLf);
    }
}

void SpotIntake::takeAgw(const AgwFrame &f)
{
    const QString sender = QString::fromLatin1(f.callFrom);
    switch (f.kind) {
    case 'U':
    case 'I':
    case 'S':
    case 'T': {
        // Monitored frames count only while no station is connected.
        if (!agwConnectedCall_.isEmpty())
            return;
        LineAssembler a;
        QList<QByteArray> lines = a.feed(f.data);
        if (!a.pending().isEmpty())
            lines.append(a.pending());
        bool spotSeen = false;
        // The first line is the engine's header ("1:Fm W1AW To DX <UI ...>").
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QString line = NetworkText(lines[i]);
            const auto spot = ParseSpotLine(line);
            if (!spot)
                continue;
            spotSeen = true;
            if (IsDuplicateLine(monitor_, line))
                continue;
            appendMonitor(line + kCrLf);
            PostSpot(*spot);
        }
        if (!spotSeen && !dxOnly) {
            bool cr = false;
            QString full = QString(QChar(char16_t(uchar(f.kind)))) + sender + QLatin1Char(' ') + MonitorText(f.data, cr);
            if (!full.endsWith(kCrLf))
                full += kCrLf;
            appendMonitor(full);
        }
        return;
    }
    case 'D': {
        // Connected data: "D" is data, "d" (below) is the end of the connection.
        if (agwConnectedCall_.isEmpty() || sender.compare(agwConnectedCall_, Qt::CaseInsensitive) != 0)
            return;
        // A cluster's prompt sent before a spot must not swallow it.
        if (StartsWithSpot(f.data)) {
            const QByteArray tail = agwLines_.takePending();
            if (!tail.isEmpty())
                takeLine(NetworkText(tail), true);
        }
        const QList<QByteArray> lines = agwLines_.feed(f.data);
        for (const QByteArray &raw : lines)
            takeLine(NetworkText(raw), true);
        return;
    }
    case 'c':
    case 'C':
        // Only a station address is taken: it goes into the title and is read aloud.
        if (!agwConnectedCall_.isEmpty() || !IsPacketCall(sender))
            return;
        agwConnectedCall_ = sender;
        agwLines_.reset();
        appendMonitor(QStringLiteral("** Connected to ") + sender + QStringLiteral(" **") + kCrLf);
        emit agwConnected(sender);
        emit beep();
        return;
    case 'd':
        if (agwConnectedCall_.isEmpty() || sender.compare(agwConnectedCall_, Qt::CaseInsensitive) != 0)
            return;
        emit beep();
        emit beep();
        appendMonitor(kCrLf + QStringLiteral("** Disconnected from ") + agwConnectedCall_ + QStringLiteral(" **") +
                      kCrLf);
        clearAgwConnection();
        emit agwDisconnected(sender);
        return;
    default:
        return;
    }
}

void SpotIntake::clearAgwConnection()
{
    agwConnectedCall_.clear();
    agwLines_.reset();
}

void SpotIntake::PostSpot(const ParsedSpot &spot)
{
    LabelUpdateTimeCounter = 0;
    BandMapSpots(spot);
}

void SpotIntake::BandMapSpots(const ParsedSpot &spot)
{
    const QString mine = myCall ? myCall().trimmed() : QString();
    if (!mine.isEmpty() && spot.call.compare(mine, Qt::CaseInsensitive) == 0) {
        emit beep();
        emit ownCallSpotted(QStringLiteral("You've been spotted! "), QStringLiteral("You've been spotted!  ") + spot.record);
    }
    if (!IsNumeric(spot.freqText))
        return;
    const double mhz = NumericValue(spot.freqText) / 1000.0;
    store_.add(spot.call, float(mhz), clock_.utcNow(), SpotLabelText(spot.call));
    SpotRow row;
    row.Call = spot.call;
    // The cluster's digits as sent: binary fractions would add digits a screen reader
    // reads out one by one.
    row.Frequency = KhzToMhzText(spot.freqText).value_or(FormatNumber(mhz));
    row.QTH = SpotCountry(prefixes_, spot.call);
    row.Comments = spot.spotter + QStringLiteral("  ") + spot.comment;
    row.Prefix = spot.prefix;
    row.Time = spot.time;
    row.From = spot.from;
    emit spotAdded(row);
}

void SpotIntake::tick()
{
    if (++LabelUpdateTimeCounter > 360) {
        LabelUpdateTimeCounter = 0;
        emit labelsDue();
    }
}

}  // namespace zev
