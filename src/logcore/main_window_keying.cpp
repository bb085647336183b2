// The logging window's part in keying: it hands its keys to the keying controller first
// and opens the CW windows.

#include "logcore/main_window.h"

#include "keying/code_practice_window.h"
#include "keying/cw_engine.h"
#include "keying/cw_strings_window.h"
#include "keying/cw_window.h"
#include "keying/key_line_device.h"
#include "keying/keying_controller.h"
#include "keying/voice_keyer.h"
#include "rig/port_map.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace zev {

KeyingController &MainWindow::keying()
{
    if (!keying_) {
        cwEngine_ = new CwEngine(s_.CWBuffer, nullptr, this);
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
        if (!keyLineFactory)
            keyLineFactory = &MakeKeyLine;
        auto factory = [this](KeyLineKind kind, const QString &where) { return keyLineFactory(kind, where); };
        keying_ = new KeyingController(s_.CWBuffer, *cwEngine_, factory, host, this);
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
    // A station that never saved CW settings starts from the defaults, without a message.
    WriteDefaultCwSettingsIfMissing(path);
    keying().LoadCWSettings(path);
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
    // The spotting and spectrum windows: nothing yet.
    case KeyWindow::DxSpotting:
    case KeyWindow::SpectrumMap: break;
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
