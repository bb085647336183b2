#include "keying/keying_controller.h"

#include "common/file_io.h"
#include "keying/morse.h"

#include <algorithm>

namespace zev {

namespace {

const char *const kInvalidCwPort =
    "The port you have selected for CW keying is invalid.  Please select another or enter 0 for none.";

}  // namespace

KeyWindow CtrlKeyWindow(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_B: return KeyWindow::SpectrumMap;
    case Qt::Key_C: return KeyWindow::CwSetup;
    case Qt::Key_D: return KeyWindow::DxSpotting;
    case Qt::Key_F: return KeyWindow::Privileges;
    case Qt::Key_G: return KeyWindow::Tune;
    case Qt::Key_P: return KeyWindow::VoiceKeyer;
    case Qt::Key_R: return KeyWindow::RigInterface;
    case Qt::Key_S: return KeyWindow::CwSetup;
    case Qt::Key_W: return KeyWindow::CwStrings;
    default: return KeyWindow::None;
    }
}

int FunctionKeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

KeyingController::KeyingController(CwBuffer &buffer, CwEngine &engine, KeyLineFactory makeLine, KeyingHost host,
                                   QObject *parent)
    : QObject(parent), buffer_(buffer), engine_(engine), makeLine_(std::move(makeLine)), host_(std::move(host))
{
    repeat_ = new QTimer(this);
    repeat_->setObjectName(QStringLiteral("tmrRepeat"));
    repeat_->setSingleShot(true);
    connect(repeat_, &QTimer::timeout, this, [this] { FKeyCW(112); });

    connect(&engine_, &CwEngine::sendingChanged, this, &KeyingController::sendingChanged);
    connect(&engine_, &CwEngine::realTimeChanged, this, &KeyingController::realTimeChanged);
    connect(&engine_, &CwEngine::remainingChanged, this, &KeyingController::showRemaining);
    connect(&engine_, &CwEngine::messageFinished, this, &KeyingController::finished);
    connect(&engine_, &CwEngine::commitRequested, this, [this] {
        if (!host_.callText().trimmed().isEmpty())
            host_.commit();
    });
    connect(&engine_, &CwEngine::lineFailed, this, [this](const QString &why) {
        lineReady_ = false;
        host_.setDialog(QStringLiteral("CW stopped: %1").arg(why));
        host_.message(QStringLiteral("The CW key line failed (%1). Sending stopped with the key up; the rest of "
                                     "the message was dropped.")
                          .arg(why),
                      QStringLiteral("CW Stopped"));
    });
    connect(&engine_, &CwEngine::speedRefused, this, [this](const QString &why) { host_.setDialog(why); });
    apply();
}

KeyingController::~KeyingController() = default;

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
    if (settings.keyingLine == kKeyWinKey && wpm > 4 && wpm < 100 && hooks.winkeyOpen && hooks.winkeyOpen() &&
        hooks.winkeySpeed)
        hooks.winkeySpeed(wpm);
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
        if (hooks.releaseOtherPorts)
            hooks.releaseOtherPorts();
        where = host_.portDevice ? host_.portDevice(number) : QString();
    }
    std::unique_ptr<KeyLine> line = makeLine_(kind, where);
    if (!line || !line->open()) {
        const QString why = line ? line->errorText() : QString();
        host_.message(why.isEmpty() ? QString::fromLatin1(kInvalidCwPort)
                                    : QString::fromLatin1(kInvalidCwPort) + QStringLiteral("\n\n") + why,
                      QStringLiteral("Invalid port."));
        if (host_.showSetupModal)
            host_.showSetupModal();
        return false;
    }
    engine_.setKeyLine(std::move(line));
    lineReady_ = true;
    return true;
}

void KeyingController::stopSending()
{
    buffer_.clear();
    if (hooks.winkeyOpen && hooks.winkeyOpen() && hooks.winkeyClear)
        hooks.winkeyClear();
}

void KeyingController::FKeyCW(int keyCode)
{
    // A new message replaces what is still waiting, in the keyer too.
    stopSending();
    if (settings.keyingLine == kKeyNone)
        return;
    QString message;
    if (const std::optional<int> index = MessageIndexForKey(keyCode))
        message = settings.messages[size_t(*index)];
    if (keyCode == 112 && CheckRepeatPause(settings.repeatPause).intervalMs > 0)
        repeatArmed_ = true;
    if (message.isEmpty())
        return;
    buffer_.append(ExpandMessage(message, host_.callText(), host_.exchangeText(), host_.reportText()));
    LoopThroughCWBuffer();
}

void KeyingController::LoopThroughCWBuffer()
{
    if (settings.keyingLine == kKeyWinKey) {
        if (!host_.callText().trimmed().isEmpty() && buffer_.text().contains(QLatin1Char('!')))
            host_.commit();
        if (hooks.winkeyTransmit)
            hooks.winkeyTransmit();
        else
            buffer_.clear();
        return;
    }
    if (settings.keyingLine != kKeyNone && !lineReady_) {
        // Said once for the whole message, never once per character.
        if (wantsSerialPort() && settings.port.trimmed().toInt() <= 0) {
            buffer_.clear();
            host_.setDialog(QStringLiteral("No CW port set"));
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
        host_.setDialog(remaining);
}

void KeyingController::finished()
{
    if (repeatArmed_)
        repeat_->start();
    if (settings.showText == 1)
        host_.setDialog(keyboardCw_ ? QStringLiteral("Keyboard CW Mode is on.  Press F12 to exit.") : QString());
}

void KeyingController::winkeyIdle()
{
    if (repeatArmed_ && settings.keyingLine == kKeyWinKey)
        repeat_->start();
}

void KeyingController::disarmRepeat()
{
    if (repeatArmed_) {
        if (hooks.winkeyOpen && hooks.winkeyOpen() && hooks.winkeyClear)
            hooks.winkeyClear();
        repeatArmed_ = false;
        buffer_.clear();
        repeat_->stop();
    }
    if (hooks.voiceDisarm)
        hooks.voiceDisarm();
}

void KeyingController::toggleKeyboardCw()
{
    keyboardCw_ = !keyboardCw_;
    if (keyboardCw_) {
        host_.setDialog(QStringLiteral("Keyboard CW mode is ON!  Press F12 to exit keyboard CW mode."));
        host_.setDialogColour(kKeyboardCwBackground);
    } else {
        host_.setDialog(QString());
        host_.setDialogColour(kDialogBackground);
    }
}

bool KeyingController::keyPressed(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text)
{
    disarmRepeat();
    if (keyDown(qtKey, modifiers))
        return true;
    return keyPress(qtKey, text);
}

bool KeyingController::keyDown(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool phone = host_.currentMode().compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
    // Alt and Ctrl combinations belong to the desktop and the menus; Shift+F10 opens the
    // context menu screen-reader users rely on.
    const bool plain = !(modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) &&
                       !(qtKey == Qt::Key_F10 && (modifiers & Qt::ShiftModifier));
    const int code = plain ? FunctionKeyCode(qtKey) : 0;
    if (!phone) {
        if (settings.keyingLine == kKeyNone)
            return false;
        if ((qtKey == Qt::Key_Up || qtKey == Qt::Key_Down) && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier) {
            qtKey == Qt::Key_Up ? UpDown1_UpClick() : UpDown1_DownClick();
            host_.setDialog(settings.speed + QStringLiteral(" WPM"));
            return true;
        }
        if (code == 0)
            return false;
        if (code == 123)
            toggleKeyboardCw();
        else
            FKeyCW(code == 121 ? 124 : code);
        return true;
    }
    if (code == 121)
        return true;  // F10 must not open the menu bar
    if (code >= 112 && code <= 120) {
        if (hooks.voiceFKey)
            hooks.voiceFKey(code);
        return true;
    }
    return false;
}

bool KeyingController::keyPress(int qtKey, const QString &text)
{
    const bool phone = host_.currentMode().compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0;
    const bool winkeyOpen = hooks.winkeyOpen && hooks.winkeyOpen();
    if (qtKey == Qt::Key_Escape) {
        if (phone && hooks.voicePlaying && hooks.voicePlaying()) {
            if (hooks.voiceStop)
                hooks.voiceStop();
            return true;
        }
        if (settings.keyingLine == kKeyWinKey && winkeyOpen) {
            lastWinkeyStatus_ = hooks.winkeyStatus ? hooks.winkeyStatus() : 0;
            if (lastWinkeyStatus_ > 0) {
                if (hooks.winkeyClear)
                    hooks.winkeyClear();
                buffer_.clear();
                return true;
            }
        }
        if (!CWSending()) {
            host_.clearEntry();
            return true;
        }
        buffer_.clear();
        return true;
    }
    if (winkeyOpen && hooks.winkeyStatus)
        lastWinkeyStatus_ = hooks.winkeyStatus();
    if (qtKey == Qt::Key_Backspace && keyboardCw_) {
        if (winkeyOpen && lastWinkeyStatus_ > 0) {
            if (hooks.winkeyBackspace)
                hooks.winkeyBackspace();
            return true;
        }
        if (CWSending() && buffer_.removeLast())
            return true;
    }
    if (host_.currentMode().compare(QLatin1String("CW"), Qt::CaseInsensitive) != 0)
        return false;
    if (keyboardCw_ && !text.isEmpty() && qtKey != Qt::Key_Tab && qtKey != Qt::Key_Backtab) {
        const bool idle = !CWSending();
        buffer_.append(text.toUpper());
        if (idle)
            LoopThroughCWBuffer();
        return true;
    }
    return false;
}

bool KeyingController::mayClose()
{
    const bool busy = CWSending();
    stopSending();
    return !busy;
}

}  // namespace zev
