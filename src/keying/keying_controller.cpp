#include "keying/keying_controller.h"

#include "common/file_io.h"
#include "keying/morse.h"
#include "keying/voice_keyer.h"
#include "keying/winkeyer.h"

#include <algorithm>

namespace zev {

namespace {

const char *const kInvalidCwPort =
    "The port you have selected for CW keying is invalid.  Please select another or enter 0 for none.";

}  // namespace

KeyingController::KeyingController(CwBuffer &buffer, CwEngine &engine, KeyLineFactory makeLine,
                                   PortDevice portDevice, Prompter &prompter, QObject *parent)
    : QObject(parent), buffer_(buffer), engine_(engine), makeLine_(std::move(makeLine)),
      portDevice_(std::move(portDevice)), prompter_(prompter)
{
    repeat_ = new QTimer(this);
    repeat_->setObjectName(QStringLiteral("tmrRepeat"));
    repeat_->setSingleShot(true);
    connect(repeat_, &QTimer::timeout, this, [this] { sendMessage(1); });

    connect(&engine_, &CwEngine::sendingChanged, this, &KeyingController::sendingChanged);
    connect(&engine_, &CwEngine::realTimeChanged, this, &KeyingController::realTimeChanged);
    connect(&engine_, &CwEngine::remainingChanged, this, &KeyingController::showRemaining);
    connect(&engine_, &CwEngine::messageFinished, this, &KeyingController::finished);
    connect(&engine_, &CwEngine::commitRequested, this, [this] {
        if (host_ && !host_->callForMacros().trimmed().isEmpty())
            host_->commit();
    });
    connect(&engine_, &CwEngine::lineFailed, this, [this](const QString &why) {
        lineReady_ = false;
        say(QStringLiteral("CW stopped: %1").arg(why));
        message(QStringLiteral("The CW key line failed (%1). Sending stopped with the key up; the rest of "
                               "the message was dropped.")
                    .arg(why),
                QStringLiteral("CW Stopped"));
    });
    connect(&engine_, &CwEngine::speedRefused, this, &KeyingController::say);
    apply();
}

KeyingController::~KeyingController() = default;

void KeyingController::setWinKeyer(WinKeyer *keyer)
{
    if (winKeyer_)
        disconnect(winKeyer_, nullptr, this, nullptr);
    winKeyer_ = keyer;
    if (!keyer)
        return;
    connect(keyer, &WinKeyer::idle, this, &KeyingController::winkeyIdle);
    connect(keyer, &WinKeyer::failed, this, &KeyingController::say);
}

void KeyingController::say(const QString &text)
{
    if (host_)
        host_->showMessageLine(text);
}

void KeyingController::message(const QString &text, const QString &title)
{
    prompter_.beep();
    prompter_.message(text, title, PromptIcon::Information);
}

bool KeyingController::phone() const
{
    return host_ && host_->currentMode().compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
}

bool KeyingController::winKeyerOpen() const
{
    return winKeyer_ && winKeyer_->isOpen();
}

int KeyingController::winKeyerStatus()
{
    lastWinkeyStatus_ = winKeyerOpen() ? winKeyer_->status() : 0;
    return lastWinkeyStatus_;
}

void KeyingController::apply()
{
    engine_.setSpeed(speed());
    engine_.setWordSpace(WordSpaceFromText(settings.wordSpace));
    engine_.setTiming(timing, loopsPer60ms);
    const RepeatPause pause = CheckRepeatPause(settings.repeatPause);
    settings.repeatPause = pause.text;
    repeat_->setInterval(pause.intervalMs);
}

void KeyingController::setKeyingLine(int line)
{
    settings.keyingLine = line;
    releaseLine();
}

void KeyingController::releaseLine()
{
    lineReady_ = false;
    engine_.setKeyLine(nullptr);
}

bool KeyingController::wantsSerialPort() const
{
    return settings.keyingLine == kKeyRts || settings.keyingLine == kKeyDtr;
}

QString KeyingController::LoadCWSettings(const QString &path, QStringList *fallbacks)
{
    QString error;
    settings = LoadCwSettings(path, &error, fallbacks);
    apply();
    setKeyingLine(settings.keyingLine);
    return error;
}

int KeyingController::speed() const
{
    return SpeedFromText(settings.speed);
}

void KeyingController::setSpeedText(const QString &text)
{
    settings.speed = text;
    engine_.setSpeed(speed());
    const int wpm = speed();
    if (settings.keyingLine == kKeyWinKey && wpm > 4 && wpm < 100 && winKeyerOpen())
        winKeyer_->setWpm(wpm);
    emit speedChanged(settings.speed);
}

void KeyingController::changeSpeed(int delta)
{
    // The arrows stop at the speeds the engine keys; a bad box starts again from the bound.
    // A number outside the range comes back to the nearest bound; a box without a
    // number starts from the slowest speed.
    bool number = false;
    const int now = settings.speed.trimmed().toInt(&number);
    const int next = number ? std::clamp(now + delta, kMinWpm, kMaxWpm) : kMinWpm;
    setSpeedText(QString::number(next));
}

void KeyingController::UpDown1_UpClick()
{
    changeSpeed(1);
}

void KeyingController::UpDown1_DownClick()
{
    changeSpeed(-1);
}

bool KeyingController::CWSetup()
{
    engine_.setKeyLine(nullptr);
    lineReady_ = false;
    KeyLineKind kind;
    QString where;
    switch (settings.keyingLine) {
    case kKeyRts: kind = KeyLineKind::Rts; break;
    case kKeyDtr: kind = KeyLineKind::Dtr; break;
    case kKeyParallel: kind = KeyLineKind::Parallel; break;
    default: return false;
    }
    if (kind == KeyLineKind::Parallel) {
        where = settings.parallelAddress;
    } else {
        const int number = settings.port.trimmed().toInt();
        if (number <= 0)
            return false;  // no port chosen: nothing to open, nothing to report
        // The voice keyer's PTT and the WinKeyer may sit on the same device.
        if (voice_)
            voice_->ClosePort();
        if (winKeyer_ && (winKeyer_->isOpen() || winKeyer_->isOpening()))
            winKeyer_->close();
        where = portDevice_ ? portDevice_(number) : QString();
    }
    std::unique_ptr<KeyLine> line = makeLine_(kind, where);
    if (!line || !line->open()) {
        const QString why = line ? line->errorText() : QString();
        message(why.isEmpty() ? QString::fromLatin1(kInvalidCwPort)
                              : QString::fromLatin1(kInvalidCwPort) + QStringLiteral("\n\n") + why,
                QStringLiteral("Invalid port."));
        emit setupWanted();
        return false;
    }
    engine_.setKeyLine(std::move(line));
    lineReady_ = true;
    return true;
}

void KeyingController::stopSending()
{
    buffer_.clear();
    if (winKeyerOpen())
        winKeyer_->clearBuffer();
}

void KeyingController::sendMessage(int number)
{
    // A new message replaces what is still waiting, in the keyer too.
    stopSending();
    if (settings.keyingLine == kKeyNone)
        return;
    QString text;
    if (const std::optional<int> index = MessageIndexForKey(number))
        text = settings.messages[size_t(*index)];
    if (number == 1 && CheckRepeatPause(settings.repeatPause).intervalMs > 0)
        repeatArmed_ = true;
    if (text.isEmpty())
        return;
    const auto macro = [this](QString (KeyingHost::*part)() const) { return host_ ? (host_->*part)() : QString(); };
    buffer_.append(ExpandMessage(text, macro(&KeyingHost::callForMacros), macro(&KeyingHost::exchangeForMacros),
                                 macro(&KeyingHost::reportForMacros)));
    LoopThroughCWBuffer();
}

void KeyingController::transmitToWinKeyer()
{
    // The port map may have changed since the keyer last opened.
    if (!winKeyer_->isOpen() && !winKeyer_->isOpening() && portDevice_)
        winKeyer_->setDevice(portDevice_(winKeyer_->settings().WinKeyPort));
    winKeyer_->transmit();
}

void KeyingController::LoopThroughCWBuffer()
{
    if (settings.keyingLine == kKeyWinKey) {
        if (host_ && !host_->callForMacros().trimmed().isEmpty() && buffer_.text().contains(QLatin1Char('!')))
            host_->commit();
        if (winKeyer_)
            transmitToWinKeyer();
        else
            buffer_.clear();
        return;
    }
    if (settings.keyingLine != kKeyNone && !lineReady_) {
        // Said once for the whole message, never once per character.
        if (wantsSerialPort() && settings.port.trimmed().toInt() <= 0) {
            buffer_.clear();
            say(QStringLiteral("No CW port set"));
            return;
        }
        if (!CWSetup()) {
            buffer_.clear();
            return;
        }
    }
    if (buffer_.isEmpty())
        return;
    engine_.start();
}

void KeyingController::showRemaining(const QString &remaining)
{
    if (settings.showText == 1)
        say(remaining);
}

void KeyingController::finished()
{
    if (repeatArmed_)
        repeat_->start();
    if (settings.showText == 1)
        say(keyboardCw_ ? QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.") : QString());
}

void KeyingController::winkeyIdle()
{
    if (repeatArmed_ && settings.keyingLine == kKeyWinKey)
        repeat_->start();
}

void KeyingController::disarmRepeat()
{
    if (repeatArmed_) {
        if (winKeyerOpen())
            winKeyer_->clearBuffer();
        repeatArmed_ = false;
        buffer_.clear();
        repeat_->stop();
    }
    if (voice_)
        voice_->disarmRepeat();
}

void KeyingController::toggleKeyboardCw()
{
    keyboardCw_ = !keyboardCw_;
    if (keyboardCw_)
        say(QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode."));
    else
        say(QString());
    if (host_)
        host_->setMessageLineColour(keyboardCw_ ? kKeyboardCwBackground : kDialogBackground);
}

bool KeyingController::functionKey(int number)
{
    if (!phone()) {
        if (settings.keyingLine == kKeyNone || number < 1 || number > 12)
            return false;
        if (number == 12)
            toggleKeyboardCw();
        else
            sendMessage(number);
        return true;
    }
    if (number == 10)
        return true;  // F10 must not open the menu bar
    if (number >= 1 && number <= 9) {
        if (voice_)
            voice_->FKeyPhone(number);
        return true;
    }
    return false;
}

bool KeyingController::speedKey(int delta)
{
    if (phone() || settings.keyingLine == kKeyNone)
        return false;
    delta > 0 ? UpDown1_UpClick() : UpDown1_DownClick();
    say(settings.speed + QStringLiteral(" WPM"));
    return true;
}

bool KeyingController::escapeKey()
{
    if (phone() && voice_ && voice_->isPlaying()) {
        voice_->stop();
        return true;
    }
    if (settings.keyingLine == kKeyWinKey && winKeyerOpen() && winKeyerStatus() > 0) {
        winKeyer_->clearBuffer();
        buffer_.clear();
        return true;
    }
    if (!CWSending()) {
        if (host_)
            host_->clearEntry();
        return true;
    }
    buffer_.clear();
    return true;
}

bool KeyingController::onTheAir()
{
    if (phone() && voice_ && voice_->isPlaying())
        return true;
    if (settings.keyingLine == kKeyWinKey && winKeyerOpen() && winKeyerStatus() > 0)
        return true;
    return CWSending();
}

bool KeyingController::backspaceKey()
{
    if (!keyboardCw_)
        return false;
    if (winKeyerStatus() > 0) {
        winKeyer_->backspace();
        return true;
    }
    return CWSending() && buffer_.removeLast();
}

bool KeyingController::typedKey(const QString &text)
{
    if (!host_ || host_->currentMode().compare(QLatin1String("CW"), Qt::CaseInsensitive) != 0)
        return false;
    if (!keyboardCw_ || text.isEmpty())
        return false;
    const bool idle = !CWSending();
    buffer_.append(text.toUpper());
    if (idle)
        LoopThroughCWBuffer();
    return true;
}

bool KeyingController::mayClose()
{
    const bool busy = CWSending();
    stopSending();
    return !busy;
}

}  // namespace zev
