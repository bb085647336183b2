#include "rig/rig_link.h"

#include "common/file_io.h"

#include "rig/port_errors.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace zev {

namespace {

// A tail that got no byte for this long belongs to no reply still coming.
constexpr qint64 kStaleMs = 1000;
// Receive ticks without a byte before the radio counts as silent again.
constexpr int kSilentTicks = 3;
// How long a drain wait gives the port before writing anyway, and how often it looks.
constexpr int kDrainLimitMs = 2000;
constexpr int kDrainCheckMs = 5;

// The band plan's edges are single precision; so is the frequency compared with them.
float MhzForPlan(qint64 hz)
{
    return float(double(hz) / 1e6);
}

}  // namespace

QString ModeByFrequency(float f, const QString &current)
{
    struct Segment {
        float lower, upper;
        const char *mode;
    };
    // Edges exclusive, in single precision as the radio's reading is.
    static const Segment segments[] = {
        {3.5f, 3.6f, "CW"},       {3.6f, 4.0f, "PH"},       {7.0f, 7.125f, "CW"},     {7.125f, 7.3f, "PH"},
        {10.1f, 10.15f, "CW"},    {14.0f, 14.15f, "CW"},    {14.15f, 14.35f, "PH"},   {18.068f, 18.11f, "CW"},
        {18.11f, 18.168f, "PH"},  {21.0f, 21.2f, "CW"},     {21.2f, 21.45f, "PH"},    {24.89f, 24.93f, "CW"},
        {24.93f, 24.99f, "PH"},   {28.0f, 28.3f, "CW"},     {28.3f, 29.7f, "PH"},     {50.0f, 50.1f, "CW"},
        {50.1f, 54.0f, "PH"},     {144.0f, 144.1f, "CW"},   {144.1f, 148.0f, "PH"},
    };
    for (const Segment &s : segments)
        if (s.lower < f && f < s.upper)
            return QString::fromLatin1(s.mode);
    return current;
}

QtLinkTimers::QtLinkTimers() : poll_(std::make_unique<QTimer>()), shot_(std::make_unique<QTimer>())
{
    clock_.start();
    poll_->setTimerType(Qt::PreciseTimer);
    shot_->setTimerType(Qt::PreciseTimer);
    shot_->setSingleShot(true);
    QObject::connect(poll_.get(), &QTimer::timeout, [this] {
        if (tick_)
            tick_();
    });
    QObject::connect(shot_.get(), &QTimer::timeout, [this] {
        auto fire = std::move(fire_);
        fire_ = nullptr;
        if (fire)
            fire();
    });
}

QtLinkTimers::~QtLinkTimers() = default;

void QtLinkTimers::startPoll(int intervalMs, std::function<void()> tick)
{
    tick_ = std::move(tick);
    poll_->start(intervalMs);
}

void QtLinkTimers::stopPoll()
{
    poll_->stop();
}

bool QtLinkTimers::pollActive() const
{
    return poll_->isActive();
}

void QtLinkTimers::singleShot(int ms, std::function<void()> fire)
{
    fire_ = std::move(fire);
    shot_->start(ms);
}

void QtLinkTimers::cancelSingleShot()
{
    shot_->stop();
    fire_ = nullptr;
}

RigLink::RigLink(std::unique_ptr<SerialLine> line, std::unique_ptr<LinkTimers> timers, QObject *parent)
    : QObject(parent), line_(std::move(line)), timers_(std::move(timers))
{
    if (!line_)
        line_ = std::make_unique<QtSerialLine>();
    if (!timers_)
        timers_ = std::make_unique<QtLinkTimers>();
    pegasusFolder_ = QDir::current().filePath(QStringLiteral("Pegasus"));
}

RigLink::~RigLink()
{
    // The link goes with the program: the radio is closed before the library unloads.
    if (hamlib_) {
        hamlib_->finish(2000);
        delete hamlib_;
        hamlib_ = nullptr;
    }
    halt();
}

rig::RigQueries RigLink::queries() const
{
    return {settings_.FreqQuery, settings_.ModeQuery, settings_.ConvertToHex == 1};
}

rig::CommandContext RigLink::context() const
{
    return {settings_.FreqQuery, settings_.ModeQuery, kenwood2Vfo_, rigMode_};
}

QString RigLink::pegasusPath(const char *name) const
{
    return QDir(pegasusFolder_).filePath(QString::fromLatin1(name));
}

bool RigLink::Start(const RigLinkSettings &settings, const PortMap &ports)
{
    halt();
    // A reading from before belongs to another test of the link.
    rigFrequency_ = 0;
    rigMode_.clear();
    settings_ = settings;
    rig_ = rig::FindRig(settings.RigName);
    if (!rig_ || rig_->noRadio) {
        if (!rig_)
            emit error(QStringLiteral("\"%1\" is not a radio type this program knows. Choose the radio again in the "
                                      "rig window.")
                           .arg(settings.RigName),
                       kInvalidCommTitle);
        rig_ = nullptr;
        setState(kLinkStopped);
        return false;
    }
    if (rig_->hamlib && !startHamlib(ports))
        return false;
    if (rig_->usesPort) {
        const QString device = ports.device(settings.RigPort);
        const bool rtsCts = rig_->rtsCts;
        const bool opened =
            !device.isEmpty()
            && line_->open(device, settings.RigSerialSettings, rtsCts ? Handshake::RtsCts : Handshake::None,
                           settings.PowerLine == QLatin1String("D"), settings.PowerLine == QLatin1String("R"));
        QString why;
        if (opened && (rig_->openBytes.isEmpty() || sendBytes(rig_->openBytes, &why))) {
            // opened and greeted
        } else {
            QString text = kInvalidCommText;
            // The port numbers map to devices of this program's own choosing: say which
            // one was tried and what the system answered.
            const QString reason = device.isEmpty()
                ? QStringLiteral("Port %1 has no device assigned (Serial Ports...).").arg(settings.RigPort)
                : !why.isEmpty() ? why
                : line_->errorText().isEmpty() ? QStringLiteral("The port %1 could not be opened.").arg(device)
                                               : line_->errorText();
            text += QStringLiteral("\n\n") + reason;
            const QString advice = device.isEmpty() ? QString()
                                                    : PermissionAdvice(device, line_->openErrno(), PortKind::Serial);
            if (!advice.isEmpty())
                text += QStringLiteral("\n\n") + advice;
            line_->close();
            setState(kLinkStopped);
            emit error(text, kInvalidCommTitle);
            return false;
        }
    }
    running_ = true;
    rx_ = {};
    rigMode_.clear();
    silentTicks_ = 0;
    unansweredTicks_ = 0;
    setState(QString());
    responding_ = true;
    setResponding(false);
    tick();
    if (running_)
        timers_->startPoll(PollIntervalMs(settings.PollRate), [this] { tick(); });
    return running_;
}

bool RigLink::startHamlib(const PortMap &ports)
{
    HamlibPort port;
    port.model = hamlibChoice_.model;
    if (port.model == kHamlibNetModel) {
        port.path = hamlibChoice_.netAddress.trimmed();
    } else {
        port.path = ports.device(settings_.RigPort);
        port.rate = settings_.RigBaud.trimmed().toInt();
        // Hamlib's dummy radio needs no port.
        if (port.path.isEmpty() && port.model != kHamlibDummyModel) {
            setState(kLinkStopped);
            emit error(kInvalidCommText + QStringLiteral("\n\nPort %1 has no device assigned (Serial Ports...).")
                                              .arg(settings_.RigPort),
                       kInvalidCommTitle);
            return false;
        }
        if (port.model == kHamlibDummyModel)
            port.path.clear();
    }
    hamlib_ = new HamlibRig(port);
    hamlibBusy_ = false;
    HamlibRig *h = hamlib_;
    connect(h, &HamlibRig::opened, this, [this, h](bool ok, const QString &why) {
        if (h != hamlib_ || ok)
            return;
        QString text = kInvalidCommText;
        text += QStringLiteral("\n\n") + why;
        fail(text, kInvalidCommTitle);
    });
    connect(h, &HamlibRig::reading, this, [this, h](qint64 hz, const QString &mode) {
        if (h != hamlib_)
            return;
        hamlibBusy_ = false;
        silentTicks_ = 0;
        rig::RigReading reading;
        const double mhz = double(hz) / 1e6;
        if (mhz >= rig_->minMhz && mhz <= rig_->maxMhz) {
            reading.hasFrequency = true;
            reading.frequencyHz = hz;
        }
        reading.hasMode = !mode.isEmpty();
        reading.mode = mode;
        if (reading.hasFrequency || reading.hasMode)
            decoded(reading);
        else
            hamlibSilent();
    });
    connect(h, &HamlibRig::unanswered, this, [this, h] {
        if (h != hamlib_)
            return;
        hamlibBusy_ = false;
        hamlibSilent();
    });
    connect(h, &HamlibRig::commandFailed, this, [this, h](const QString &why, const QString &title) {
        if (h == hamlib_)
            emit error(why, title);
    });
    h->open();
    return true;
}

void RigLink::hamlibSilent()
{
    if (++silentTicks_ >= kSilentTicks)
        setResponding(false);
    unanswered();
}

void RigLink::hamlibTick()
{
    // Send and receive ticks as for a serial radio: a poll goes to the worker, and the
    // next tick counts it unanswered if the worker is still in it (a radio that hangs).
    if (awaitingReply_) {
        awaitingReply_ = false;
        if (hamlibBusy_)
            hamlibSilent();
        return;
    }
    awaitingReply_ = true;
    if (hamlibBusy_)
        return;
    hamlibBusy_ = true;
    hamlib_->poll();
}

void RigLink::hamlibCommand(qint64 hz, const QString &mode, bool frequency)
{
    const QString m = mode.isEmpty() ? BandPlanMode(extraRows_, MhzForPlan(hz)) : mode;
    if (!m.isEmpty()) {
        if (HamlibModeFor(m, hz) == 0)
            emit error(QStringLiteral("Hamlib has no such mode: ") + m, kModeErrorTitle);
        else
            hamlib_->setMode(m, hz);
    }
    if (frequency)
        hamlib_->setFrequency(hz);
}

void RigLink::Stop()
{
    const bool wasRunning = running_;
    halt();
    if (wasRunning)
        setState(kLinkStopped);
}

void RigLink::halt()
{
    timers_->stopPoll();
    timers_->cancelSingleShot();
    ops_.clear();
    opRunning_ = false;
    const bool wasRunning = running_;
    running_ = false;
    if (hamlib_) {
        hamlib_->disconnect(this);
        hamlib_->deleteLater();
        hamlib_ = nullptr;
    }
    hamlibBusy_ = false;
    if (line_->isOpen()) {
        // Some radios lock their dial until told the computer has let go.
        if (wasRunning && rig_ && !rig_->closeBytes.isEmpty())
            line_->write(rig_->closeBytes);
        line_->close();
    }
}

bool RigLink::sendBytes(const QByteArray &bytes, QString *why)
{
    if (line_->write(bytes))
        return true;
    *why = line_->errorText();
    return false;
}

void RigLink::fail(const QString &text, const QString &title)
{
    Stop();
    setResponding(false);
    emit error(text, title);
}

void RigLink::lost(const QString &reason)
{
    halt();
    setResponding(false);
    setState(kLinkStopped);
    emit linkLost(reason);
}

void RigLink::setState(const QString &state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state);
}

void RigLink::unanswered()
{
    if (++unansweredTicks_ >= kSilentTicks)
        setState(kNoResponse);
}

void RigLink::setResponding(bool responding)
{
    if (responding == responding_)
        return;
    responding_ = responding;
    emit responseState(responding ? QString() : kNoResponse);
}

void RigLink::tick()
{
    if (!running_ || !rig_)
        return;
    if (hamlib_) {
        hamlibTick();
        return;
    }
    if (rig_->usesPort && !line_->isOpen()) {
        lost(line_->errorText().isEmpty() ? QStringLiteral("The rig port closed.") : line_->errorText());
        return;
    }
    if (awaitingReply_) {
        awaitingReply_ = false;
        receive();
        return;
    }
    awaitingReply_ = true;
    if (!rig_->usesPort)
        return;
    // A full transmit queue delays the query; the radio is not flooded.
    if (line_->bytesToWrite() != 0)
        return;
    // A slow radio's reply still on its way gets the next tick to finish instead of
    // being flushed with the next query; a tail gone quiet is stale and flushed.
    if (rig_->flushBeforeQuery && !rx_.pending.isEmpty() && !rx_.replyTaken &&
        timers_->nowMs() - rx_.lastByteMs <= kStaleMs)
        return;
    const rig::PollSend send = rig::PollCommand(*rig_, queries(), queryToggle_);
    queryToggle_ = send.nextToggle;
    expect_ = send.expect;
    if (rig_->flushBeforeQuery) {
        line_->readAll();
        rig::BeginReply(rx_);
    }
    QString why;
    if (!send.bytes.isEmpty() && !sendBytes(send.bytes, &why))
        lost(why);
}

void RigLink::receive()
{
    if (!rig_->usesPort) {
        QFile f(pegasusPath("PEGASUS.OUT"));
        const rig::RigReading reading =
            f.open(QIODevice::ReadOnly) ? rig::DecodePegasusFile(f.readAll(), *rig_) : rig::RigReading{};
        if (reading.hasFrequency || reading.hasMode)
            decoded(reading);
        else
            unanswered();
        return;
    }
    const QByteArray incoming = line_->readAll();
    if (!line_->isOpen()) {
        lost(line_->errorText().isEmpty() ? QStringLiteral("The rig port closed.") : line_->errorText());
        return;
    }
    const QList<QByteArray> frames =
        rig::TakeFrames(rx_, *rig_, incoming, timers_->nowMs(), kStaleMs, expect_);
    if (incoming.isEmpty()) {
        if (++silentTicks_ >= kSilentTicks)
            setResponding(false);
        unanswered();
        return;
    }
    silentTicks_ = 0;
    emit unprocessed(incoming);
    const rig::RigReading reading = rig::DecodeFrames(*rig_, frames, queries());
    if (reading.hasFrequency || reading.hasMode)
        decoded(reading);
    else
        unanswered();
}

void RigLink::decoded(const rig::RigReading &reading)
{
    if (reading.hasFrequency)
        rigFrequency_ = reading.frequencyHz;
    if (reading.hasMode)
        rigMode_ = reading.mode;
    if (reading.kenwood2Vfo >= 0)
        kenwood2Vfo_ = reading.kenwood2Vfo;
    if (settings_.ModeBy == 2)
        rigMode_ = ModeByFrequency(RigFrequency(), rigMode_);
    setResponding(true);
    unansweredTicks_ = 0;
    setState(QString());
    // A zero reading never reaches the log.
    if (rigFrequency_ > 0)
        emit frequencyRead(rigFrequency_);
    if (!rigMode_.isEmpty())
        emit modeRead(rigMode_);
}

void RigLink::ChangeFrequency(float mhz)
{
    // Nonsense stays nonsense (and is refused with a reason) without overflowing.
    const double clamped = std::isfinite(mhz) ? std::clamp(double(mhz), -1e9, 1e9) : 0.0;
    ChangeFrequency(std::llround(clamped * 1e4) * 100);
}

void RigLink::ChangeFrequency(qint64 hz, const QString &mode)
{
    if (!running_ || !rig_)
        return;
    if (hamlib_) {
        if (hz <= 0 || double(hz) / 1e6 > rig_->maxMhz) {
            emit error(QStringLiteral("The frequency %1 Hz is outside the radio's range.").arg(hz), kFrequencyErrorTitle);
            return;
        }
        hamlibCommand(hz, mode, true);
        return;
    }
    const rig::CommandPlan plan = rig::FrequencyCommand(*rig_, hz, context());
    if (!plan.error.isEmpty()) {
        // Nothing was sent: the link goes on polling.
        emit error(plan.error, kFrequencyErrorTitle);
        return;
    }
    if (plan.steps.isEmpty() && mode.isEmpty() && BandPlanMode(extraRows_, MhzForPlan(hz)).isEmpty())
        return;
    const bool idle = ops_.empty();
    if (idle) {
        timers_->stopPoll();
        if (rig_->usesPort)
            line_->readAll();
        rx_ = {};
    }
    queueMode(hz, mode);
    queuePlan(plan, kFrequencyErrorTitle, QString());
    ops_.push_back({Op::Drain, 0, {}, {}, {}});
    ops_.push_back({Op::Resume, 0, {}, {}, {}});
    if (idle)
        runOps();
}

void RigLink::ChangeMode(qint64 hz, const QString &mode)
{
    if (!running_ || !rig_)
        return;
    if (hamlib_) {
        hamlibCommand(hz, mode, false);
        return;
    }
    const bool idle = ops_.empty();
    if (!queueMode(hz, mode))
        return;
    ops_.push_back({Op::Resume, 0, {}, {}, {}});
    if (idle) {
        timers_->stopPoll();
        runOps();
    }
}

void RigLink::SendRaw(const QByteArray &bytes)
{
    if (!line_->isOpen() || bytes.isEmpty())
        return;
    if (ops_.empty()) {
        line_->write(bytes);
        return;
    }
    // Before the running sequence's resume, so polling comes back after the write.
    auto at = ops_.end();
    if (ops_.back().kind == Op::Resume)
        --at;
    ops_.insert(at, {Op::Raw, 0, bytes, {}, {}});
}

bool RigLink::queueMode(qint64 hz, const QString &mode)
{
    const QString m = mode.isEmpty() ? BandPlanMode(extraRows_, MhzForPlan(hz)) : mode;
    if (m.isEmpty())
        return false;
    const rig::CommandPlan plan = rig::ModeCommand(*rig_, m, context());
    if (!plan.error.isEmpty()) {
        emit error(plan.error + QLatin1Char(' ') + m, kModeErrorTitle);
        return false;
    }
    if (plan.steps.isEmpty())
        return false;
    queuePlan(plan, kModeErrorTitle, QLatin1Char(' ') + m);
    ops_.push_back({Op::Drain, 0, {}, {}, {}});
    return true;
}

void RigLink::queuePlan(const rig::CommandPlan &plan, const QString &errorTitle, const QString &errorSuffix)
{
    for (const rig::CommandStep &step : plan.steps) {
        ops_.push_back({Op::Drain, 0, {}, {}, {}});
        if (step.pauseMs > 0)
            ops_.push_back({Op::Pause, step.pauseMs, {}, {}, {}});
        if (!step.bytes.isEmpty())
            ops_.push_back({Op::Write, 0, step.bytes, errorTitle, errorSuffix});
    }
}

void RigLink::runOps()
{
    if (opRunning_)
        return;
    while (!ops_.empty()) {
        const Op op = ops_.front();
        ops_.pop_front();
        switch (op.kind) {
        case Op::Pause:
            opRunning_ = true;
            timers_->singleShot(op.ms, [this] {
                opRunning_ = false;
                runOps();
            });
            return;
        case Op::Drain:
            if (rig_->usesPort && line_->bytesToWrite() > 0) {
                opRunning_ = true;
                drainStep(timers_->nowMs() + kDrainLimitMs);
                return;
            }
            break;
        case Op::Write:
            if (rig_->usesPort) {
                QString why;
                if (!sendBytes(op.bytes, &why)) {
                    fail(why + op.errorSuffix, op.errorTitle);
                    return;
                }
            } else {
                QDir().mkpath(pegasusFolder_);
                const QString path = pegasusPath("PEGASUS.IN");
                QString why;
                if (!WriteFileAtomic(path, op.bytes, &why)) {
                    fail(QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), why) +
                             op.errorSuffix,
                         op.errorTitle);
                    return;
                }
            }
            break;
        case Op::Raw:
            if (line_->isOpen())
                line_->write(op.bytes);
            break;
        case Op::Resume:
            // A command queued behind this one keeps polling paused.
            if (running_ && ops_.empty())
                timers_->startPoll(PollIntervalMs(settings_.PollRate), [this] { tick(); });
            break;
        }
    }
}

void RigLink::drainStep(qint64 deadline)
{
    // A full queue gives up after the limit and the command goes anyway.
    if (line_->bytesToWrite() < 1 || timers_->nowMs() >= deadline) {
        opRunning_ = false;
        runOps();
        return;
    }
    timers_->singleShot(kDrainCheckMs, [this, deadline] { drainStep(deadline); });
}

}  // namespace zev
