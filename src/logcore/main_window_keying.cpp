// The logging window's part in keying: it hands its keys to the keying controller first
// and opens the CW windows.

#include "logcore/main_window.h"

#include "keying/code_practice_window.h"
#include "keying/cw_engine.h"
#include "keying/cw_strings_window.h"
#include "keying/cw_window.h"
#include "keying/key_line_device.h"
#include "keying/keying_controller.h"
#include "keying/rtkit_device.h"
#include "keying/settings_ranges.h"
#include "keying/voice_keyer.h"
#include "keying/winkey_window.h"
#include "keying/winkeyer.h"
#include "rig/serial_line_device.h"
#include "rig/port_map.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace zev {

KeyLineFactory MainWindow::keyLines()
{
    // Looked up at each use, so a test can put its recording line in at any time.
    return [this](KeyLineKind kind, const QString &where) {
        return keyLineFactory ? keyLineFactory(kind, where) : MakeKeyLine(kind, where);
    };
}

KeyingController &MainWindow::keying()
{
    if (!keying_) {
        cwEngine_ = new CwEngine(s_.CWBuffer, nullptr, this, DesktopRealTimeSystem());
        KeyingHost host;
        host.callText = [this] { return txtCall->text(); };
        host.exchangeText = [this] { return ExchangeForMacros; };
        host.reportText = [this] { return txtRSTS->text(); };
        host.currentMode = [this] { return s_.prefs.CurrentMode; };
        host.commit = [this] { Mains(); };
        host.clearEntry = [this] { cmdClear_Click(); };
        host.setDialog = [this](const QString &text) { setDialog(text); };
        host.setDialogColour = [this](quint32 bgr) { setDialogColour(bgr); };
        host.message = [this](const QString &text, const QString &title) {
            s_.prompter.beep();
            s_.prompter.message(text, title, PromptIcon::Information);
        };
        host.portDevice = [this](int number) { return PortMap(s_.registry).device(number); };
        host.showSetupModal = [this] {
            if (!cwWindow_ || !cwWindow_->isVisible())
                showCwWindow(true);
        };
        keying_ = new KeyingController(s_.CWBuffer, *cwEngine_, keyLines(), host, this);
        keying_->hooks.voicePlaying = [this] { return voiceKeyer_ && voiceKeyer_->isPlaying(); };
        keying_->hooks.voiceStop = [this] {
            if (voiceKeyer_)
                voiceKeyer_->stop();
        };
        keying_->hooks.voiceFKey = [this](int code) { voiceKeyer().FKeyPhone(code); };
        keying_->hooks.voiceDisarm = [this] {
            if (voiceKeyer_)
                voiceKeyer_->disarmRepeat();
        };
        keying_->hooks.releaseOtherPorts = [this] {
            if (voiceKeyer_)
                voiceKeyer_->ClosePort();
            if (winKeyer_ && (winKeyer_->isOpen() || winKeyer_->isOpening()))
                winKeyWindow().cmdCloseWinkey_Click();
        };
        keying_->hooks.winkeyOpen = [this] { return winKeyer_ && winKeyer_->isOpen(); };
        keying_->hooks.winkeyStatus = [this] { return winKeyer_ ? winKeyer_->status() : 0; };
        keying_->hooks.winkeyClear = [this] {
            if (winKeyer_)
                winKeyer_->clearBuffer();
        };
        keying_->hooks.winkeyBackspace = [this] {
            if (winKeyer_)
                winKeyer_->backspace();
        };
        keying_->hooks.winkeyTransmit = [this] { winKeyWindow().WKTransmit(); };
        keying_->hooks.winkeySpeed = [this](int wpm) {
            if (winKeyWindow_)
                winKeyWindow_->SetCwSpeed(wpm);
        };
        keying_->timing = CwTimingFromText(s_.registry.value(QStringLiteral("UserCWSelection"), QStringLiteral("Timer")));
        keying_->loopsPer60ms = s_.registry.value(QStringLiteral("UserCWLoopOffset"), QStringLiteral("0")).toDouble();
        keying_->apply();
    }
    return *keying_;
}

void MainWindow::LoadCWSettings()
{
    const QString path = s_.folders.work(kCwSettingsFile);
    // A station that never saved CW settings starts from the defaults, without a message;
    // only a file that could not be made is worth telling.
    QString createError;
    if (!WriteDefaultCwSettingsIfMissing(path, &createError))
        s_.prompter.message(QStringLiteral("The CW settings file %1 could not be created (%2). The defaults are in "
                                           "use; CW Setup's Done will try again.")
                                .arg(path, createError),
                            QStringLiteral("CW Settings Not Created"), PromptIcon::Exclamation);
    QStringList fallbacks;
    const QString error = keying().LoadCWSettings(path, &fallbacks);
    if (!error.isEmpty())
        s_.prompter.message(QStringLiteral("The CW messages and settings in %1 could not be read (%2). The defaults "
                                           "are in use; pressing Done in CW Setup would replace the file.")
                                .arg(path, error),
                            QStringLiteral("CW Settings Not Read"), PromptIcon::Exclamation);
    else if (!fallbacks.isEmpty())
        s_.prompter.message(OutOfRangeNote(kCwSettingsFile, fallbacks), QStringLiteral("Settings Out of Range"),
                            PromptIcon::Information);
    // Choosing the WinKey line loads the keyer's window and its settings; nothing opens yet.
    if (keying().settings.keyingLine == kKeyWinKey)
        winKeyWindow();
}

bool MainWindow::openKeyWindow(int qtKey)
{
    switch (CtrlKeyWindow(qtKey)) {
    case KeyWindow::None: return false;
    case KeyWindow::CwSetup: showCwWindow(false); break;
    case KeyWindow::Privileges: mnuPrivileges_Click(); break;
    case KeyWindow::Tune: OpenTuneWindow(); break;
    case KeyWindow::RigInterface: mnuRigInterface_Click(); break;
    case KeyWindow::CwStrings: showCwStrings(false); break;
    case KeyWindow::VoiceKeyer: mnuVoice_Click(); break;
    case KeyWindow::SpectrumMap: mnuViewSpwctrumMap_Click(); break;
    case KeyWindow::DxSpotting: mnuDXSpotting_Click(); break;
    }
    return true;
}

bool MainWindow::keyingKey(QKeyEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier && openKeyWindow(event->key()))
        return true;
    return keying().keyPressed(event->key(), event->modifiers(), event->text());
}

void MainWindow::mnuCW_Click()
{
    showCwWindow(true);
}

void MainWindow::showCwWindow(bool modal)
{
    if (!cwWindow_) {
        cwWindow_ = new CwWindow(s_, keying(), this);
        connect(cwWindow_, &CwWindow::codePracticeRequested, this, &MainWindow::showCodePractice);
        connect(cwWindow_, &CwWindow::configureWinkeyRequested, this, &MainWindow::showWinKeyWindow);
        connect(cwWindow_, &CwWindow::winkeyChosen, this, [this] { winKeyWindow(); });
        connect(cwWindow_, &CwWindow::done, this, [this] {
            if (keying().settings.keyingLine != 0)
                showCwStrings(true);
            activateWindow();
            txtCall->setFocus();
        });
    }
    cwWindow_->showSettings();
    if (modal) {
        showModal(*cwWindow_);
        return;
    }
    cwWindow_->setWindowModality(Qt::NonModal);
    cwWindow_->showNormal();
    cwWindow_->raise();
    cwWindow_->activateWindow();
}

WinKeyer &MainWindow::winKeyer()
{
    if (!winKeyer_) {
        if (!winKeyerLineFactory)
            winKeyerLineFactory = [] { return std::make_unique<QtSerialLine>(); };
        winKeyer_ = new WinKeyer(s_.CWBuffer, [this] { return winKeyerLineFactory(); }, this);
        // The CW line and the voice keyer's PTT may sit on the same device.
        winKeyer_->beforeOpen = [this] {
            if (keying_)
                keying_->releaseLine();
            if (voiceKeyer_)
                voiceKeyer_->ClosePort();
        };
        connect(winKeyer_, &WinKeyer::idle, this, [this] { keying().winkeyIdle(); });
        connect(winKeyer_, &WinKeyer::failed, this, [this](const QString &text) { setDialog(text); });
    }
    return *winKeyer_;
}

WinKeyWindow &MainWindow::winKeyWindow()
{
    if (!winKeyWindow_) {
        winKeyWindow_ = new WinKeyWindow(s_, winKeyer(), s_.CWBuffer, keying().speed(), this);
        winKeyWindow_->runModal = [this](QDialog &d) { showModal(d); };
    }
    return *winKeyWindow_;
}

void MainWindow::showWinKeyWindow()
{
    WinKeyWindow &w = winKeyWindow();
    w.SetCwSpeed(keying().speed());
    showModal(w);
}

void MainWindow::showCwStrings(bool minimized)
{
    if (!cwStrings_) {
        cwStrings_ = new CwStringsWindow(keying(), this);
        cwStrings_->forwardKey = [this](QKeyEvent *e) { return keyingKey(e); };
    }
    cwStrings_->showMessages();
    if (minimized) {
        cwStrings_->showMinimized();
        return;
    }
    cwStrings_->showNormal();
    cwStrings_->raise();
    cwStrings_->activateWindow();
}

void MainWindow::showCodePractice()
{
    CodePracticeWindow w(keying(), cwWindow_ ? static_cast<QWidget *>(cwWindow_) : this);
    if (codePracticeOpened)
        codePracticeOpened(w);
    showModal(w);
    s_.CWBuffer.clear();
}

}  // namespace zev
