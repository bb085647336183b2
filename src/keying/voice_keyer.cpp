#include "keying/voice_keyer.h"

#include "keying/audio_player.h"
#include "keying/wave_file.h"

#include <QDir>

#include <climits>

namespace zev {

namespace {

const QString kInvalidPortText = QStringLiteral(
    "The port you have selected for Phone keying is invalid.  Please select another or enter 0 for none.");
const QString kInvalidPortTitle = QStringLiteral("Invalid port.");

}  // namespace

VoiceKeyer::VoiceKeyer(AudioPlayer &player, KeyLineFactory makeLine, PortDevice portDevice, Prompter &prompter,
                       QObject *parent)
    : QObject(parent), player_(player), makeLine_(std::move(makeLine)), portDevice_(std::move(portDevice)),
      prompter_(prompter)
{
    watchdog_.setSingleShot(true);
    transmitLimit_.setSingleShot(true);
    tmrRepeat.setSingleShot(true);
    hang_.setSingleShot(true);
    unheard_.setSingleShot(true);
    connect(&player_, &AudioPlayer::started, this, &VoiceKeyer::onStarted);
    connect(&player_, &AudioPlayer::finished, this, &VoiceKeyer::onFinished);
    connect(&hang_, &QTimer::timeout, this, &VoiceKeyer::afterHang);
    // The old message's PTT waits a little for the new one's sound, no longer.
    connect(&unheard_, &QTimer::timeout, this, &VoiceKeyer::releasePtt);
    connect(&player_, &AudioPlayer::failed, this, [this](const QString &text) {
        if (playing_)
            endMessage(QStringLiteral("The voice message could not be played: %1").arg(text));
    });
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        if (started_)
            endMessage(QStringLiteral("The voice message did not end in time; the transmitter was released."));
        else
            endMessage(QStringLiteral("The voice message did not start playing; nothing was sent."));
    });
    connect(&transmitLimit_, &QTimer::timeout, this, [this] {
        endMessage(QStringLiteral("The transmitter was released after %1 seconds on the air.")
                       .arg(transmitLimitMs_ / 1000.0));
    });
    connect(&tmrRepeat, &QTimer::timeout, this, [this] {
        if (repeatArmed_)
            FKeyPhone(kKeyF1);
    });
}

VoiceKeyer::~VoiceKeyer()
{
    if (playing_)
        player_.stop();
    releasePtt();
    ClosePort();
    if (parallel_)
        parallel_->close();
}

void VoiceKeyer::setSettings(const VoiceSettings &settings)
{
    settings_ = settings;
    const std::optional<double> pause = RepeatPauseSeconds(settings.loop);
    repeatPauseMs_ = pause ? qRound(*pause * 1000) : 0;
}

void VoiceKeyer::FKeyPhone(int keyCode)
{
    if (keyCode < kKeyF1 || keyCode > kKeyF9)
        return;
    // Cut off a message still playing; its PTT stays keyed if the new one plays.
    tmrRepeat.stop();
    watchdog_.stop();
    hang_.stop();
    unheard_.stop();
    const bool cutOff = playing_;
    if (playing_) {
        player_.stop();
        setPlaying(false);
    }
    const QString file = settings_.files[keyCode - kKeyF1].trimmed();
    if (file.isEmpty()) {
        if (cutOff)
            emit announce(QStringLiteral("F%1 stopped").arg(playingKey_ - kKeyF1 + 1));
        releasePtt();
        if (keyCode == kKeyF1)
            setArmed(false);
        return;
    }
    const WaveCheck check = CheckWaveFile(file);
    if (!check.ok) {
        releasePtt();
        setArmed(false);
        emit status(QStringLiteral("Nothing was sent: %1.").arg(check.reason));
        return;
    }
    if (keyCode == kKeyF1 && repeatPauseMs_ > 0)
        setArmed(true);
    // The PTT goes down when the sound flows (onStarted).
    playingKey_ = keyCode;
    setPlaying(true);
    emit announce(QStringLiteral("Playing F%1").arg(keyCode - kKeyF1 + 1));
    started_ = false;
    durationMs_ = check.durationMs;
    if (pttDown_)
        unheard_.start(unheardLimitMs_);
    watchdog_.start(startLimitMs_);
    player_.play(file);  // may fail or start at once
}

void VoiceKeyer::PhonePortSetup()
{
    const int port = PttPortNumber(settings_.port);
    if (port <= 0) {
        // Port 0: no serial PTT, so the device is free for the other keyers.
        ClosePort();
        return;
    }
    if (beforeOpen)
        beforeOpen();
    ClosePort();
    const KeyLineKind kind = settings_.line == PttLine::Dtr ? KeyLineKind::Dtr : KeyLineKind::Rts;
    const QString device = portDevice_ ? portDevice_(port) : QString();
    QString error;
    if (device.isEmpty()) {
        error = QStringLiteral("Port %1 stands for no device.").arg(port);
    } else {
        serial_ = makeLine_ ? makeLine_(kind, device) : nullptr;
        if (serial_ && serial_->open()) {
            serialPort_ = port;
            serialKind_ = kind;
            return;
        }
        error = serial_ ? QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(device), serial_->errorText())
                        : QStringLiteral("%1 cannot be used.").arg(QDir::toNativeSeparators(device));
        serial_.reset();
    }
    prompter_.beep();
    prompter_.message(kInvalidPortText, kInvalidPortTitle, PromptIcon::Information, error);
    if (invalidPort)
        invalidPort();
}

void VoiceKeyer::ClosePort()
{
    if (serial_) {
        serial_->close();
        serial_.reset();
    }
    serialPort_ = 0;
    if (pttDown_ && !(parallel_ && parallel_->isOpen())) {
        pttDown_ = false;
        transmitLimit_.stop();
        emit pttChanged(false);
    }
}

bool VoiceKeyer::portOpen() const
{
    return serial_ && serial_->isOpen();
}

void VoiceKeyer::stop()
{
    endMessage({});
}

void VoiceKeyer::disarmRepeat()
{
    tmrRepeat.stop();
    setArmed(false);
}

void VoiceKeyer::keyPtt()
{
    bool keyed = false;
    const int port = PttPortNumber(settings_.port);
    if (port > 0) {
        const KeyLineKind kind = settings_.line == PttLine::Dtr ? KeyLineKind::Dtr : KeyLineKind::Rts;
        if (!portOpen() || serialPort_ != port || serialKind_ != kind)
            PhonePortSetup();
        if (portOpen()) {
            if (serial_->set(true))
                keyed = true;
            else
                emit status(QStringLiteral("The PTT line failed: %1").arg(serial_->errorText()));
        }
    }
    if (settings_.line == PttLine::Parallel) {
        if (!parallel_ || !parallel_->isOpen() || parallelAddress_ != settings_.address) {
            if (parallel_)
                parallel_->close();
            parallel_ = makeLine_ ? makeLine_(KeyLineKind::Parallel, settings_.address) : nullptr;
            parallelAddress_ = settings_.address;
            if (!parallel_ || !parallel_->open())
                emit status(QStringLiteral("The parallel port for PTT at %1 cannot be used: %2")
                                .arg(settings_.address, parallel_ ? parallel_->errorText() : QString()));
        }
        if (parallel_ && parallel_->isOpen()) {
            if (parallel_->set(true))
                keyed = true;
            else
                emit status(QStringLiteral("The parallel PTT line failed: %1").arg(parallel_->errorText()));
        }
    }
    if (keyed && !pttDown_) {
        pttDown_ = true;
        transmitLimit_.start(transmitLimitMs_);
        emit pttChanged(true);
    }
}

void VoiceKeyer::releasePtt()
{
    if (!pttDown_)
        return;
    transmitLimit_.stop();
    // A line that refuses closes itself, which leaves it up too.
    if (serial_ && serial_->isOpen())
        serial_->set(false);
    if (parallel_ && parallel_->isOpen())
        parallel_->set(false);
    pttDown_ = false;
    emit pttChanged(false);
}

void VoiceKeyer::endMessage(const QString &why)
{
    watchdog_.stop();
    tmrRepeat.stop();
    hang_.stop();
    unheard_.stop();
    const bool wasPlaying = playing_;
    if (playing_) {
        player_.stop();
        setPlaying(false);
    }
    releasePtt();
    setArmed(false);
    if (wasPlaying && why.isEmpty())
        emit announce(QStringLiteral("F%1 stopped").arg(playingKey_ - kKeyF1 + 1));
    if (!why.isEmpty())
        emit status(why);
}

void VoiceKeyer::onStarted()
{
    if (!playing_ || started_)
        return;
    started_ = true;
    unheard_.stop();
    keyPtt();
    watchdog_.start(int(qMin<qint64>(durationMs_ + watchdogMarginMs_, INT_MAX)));
}

void VoiceKeyer::onFinished()
{
    if (!playing_)
        return;
    watchdog_.stop();
    unheard_.stop();
    setPlaying(false);
    emit announce(QStringLiteral("F%1 ended").arg(playingKey_ - kKeyF1 + 1));
    if (pttDown_ && hangMs_ > 0)
        hang_.start(hangMs_);
    else
        afterHang();
}

void VoiceKeyer::afterHang()
{
    releasePtt();
    if (repeatArmed_ && repeatPauseMs_ > 0)
        tmrRepeat.start(repeatPauseMs_);
}

void VoiceKeyer::setArmed(bool armed)
{
    if (repeatArmed_ == armed)
        return;
    repeatArmed_ = armed;
    emit repeatArmedChanged(armed);
}

void VoiceKeyer::setPlaying(bool playing)
{
    if (playing_ == playing)
        return;
    playing_ = playing;
    emit playingChanged(playing);
}

}  // namespace zev
