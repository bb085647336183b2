// The logging window's part in keying: it answers the keying's macros, turns its keys
// into keying commands before its own handling, and opens the CW windows.

#include "logcore/main_window.h"

#include "keying/code_practice_window.h"
#include "keying/cw_strings_window.h"
#include "keying/cw_window.h"
#include "keying/keying_controller.h"
#include "keying/keying_keys_ui.h"
#include "keying/phone_window.h"
#include "keying/voice_keyer.h"
#include "keying/winkey_window.h"
#include "keying/winkeyer.h"
#include "station/station.h"
#include "station/station_keying.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace zev {

namespace {
// From showing the CW strings minimized to making sure they are.
constexpr int kMinimizeAgainMs = 200;
}  // namespace

// The macros come from the entry; logging, clearing and the message line are this window's.
class MainWindow::KeyingAnswers : public EntryKeyingHost {
public:
    explicit KeyingAnswers(MainWindow &w) : EntryKeyingHost(w.s_.entry), w_(w) {}
    void commit() override { w_.Mains(); }
    void clearEntry() override { w_.cmdClear_Click(); }
    void showMessageLine(const QString &text) override { w_.setDialog(text); }
    void setMessageLineColour(quint32 bgr) override { w_.setDialogColour(bgr); }

private:
    MainWindow &w_;
};

KeyingController &MainWindow::keying()
{
    return station_.keying().controller();
}

void MainWindow::wireKeying()
{
    StationKeying &k = station_.keying();
    keyingAnswers_ = new KeyingAnswers(*this);
    k.controller().setHost(keyingAnswers_);
    connect(&k, &StationKeying::cwSetupWanted, this, [this] {
        if (!cwWindow_ || !cwWindow_->isVisible())
            showCwWindow(true);
    });
    connect(&k, &StationKeying::voiceSetupWanted, this, [this] {
        if (!phoneWindow_ || !phoneWindow_->isVisible())
            mnuVoice_Click();
    });
    connect(&k.voiceKeyer(), &VoiceKeyer::status, this, [this](const QString &text) {
        if (!text.isEmpty())
            setDialog(text);
    });
    connect(&k.voiceKeyer(), &VoiceKeyer::announce, this, &MainWindow::setDialog);
}

void MainWindow::unwireKeying()
{
    StationKeying &k = station_.keying();
    k.controller().setHost(&k.entryHost());
    disconnect(&k, nullptr, this, nullptr);
    disconnect(&k.voiceKeyer(), nullptr, this, nullptr);
    delete keyingAnswers_;
    keyingAnswers_ = nullptr;
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
    case KeyWindow::SpectrumMap: showSpectrumMap(); break;
    case KeyWindow::DxSpotting: mnuDXSpotting_Click(); break;
    }
    return true;
}

bool MainWindow::keyingKey(QKeyEvent *event, bool speedArrows)
{
    if (event->modifiers() == Qt::ControlModifier && openKeyWindow(event->key()))
        return true;
    if (spotStepKey(event))
        return true;
    return KeyToKeying(keying(), event->key(), event->modifiers(), event->text(), speedArrows);
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
        connect(cwWindow_, &CwWindow::configureWinkeyRequested, this, [this] {
            showWinKeyWindow();
            // Back where the operator was: the CW setup, on its Configure Winkey button.
            if (cwWindow_ && cwWindow_->isVisible()) {
                cwWindow_->raise();
                cwWindow_->activateWindow();
                cwWindow_->cmdConfWinkey->setFocus(Qt::OtherFocusReason);
            }
        });
        connect(cwWindow_, &CwWindow::winkeyChosen, this, [this] { station_.keying().loadWinKeySettings(); });
        connect(cwWindow_, &CwWindow::done, this, [this] {
            if (keying().settings.keyingLine != 0)
                showCwStrings(true);
            raise();
            activateWindow();
            callBox->setFocus();
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

void MainWindow::showWinKeyWindow()
{
    StationKeying &k = station_.keying();
    k.loadWinKeySettings();
    if (!winKeyWindow_) {
        winKeyWindow_ = new WinKeyWindow(s_, k.winKeyer(), s_.CWBuffer, this);
        winKeyWindow_->runModal = [this](QDialog &d) { showModal(d); };
    }
    winKeyWindow_->SetCwSpeed(keying().speed());
    showModal(*winKeyWindow_);
}

void MainWindow::showCwStrings(bool minimized)
{
    if (!cwStrings_) {
        cwStrings_ = new CwStringsWindow(keying(), this);
        cwStrings_->forwardKey = [this](QKeyEvent *e) { return keyingKey(e); };
    }
    cwStrings_->showMessages();
    if (minimized) {
        // At hand on the task bar, but the keyboard stays where the operator types.
        cwStrings_->setAttribute(Qt::WA_ShowWithoutActivating, true);
        cwStrings_->showMinimized();
        cwStrings_->setAttribute(Qt::WA_ShowWithoutActivating, false);
        // A window manager may map a first-shown window normal and give it the focus: once
        // mapped it is minimized again and the keyboard goes back to the call box.
        QTimer::singleShot(kMinimizeAgainMs, this, [this] {
            if (!cwStrings_ || !cwStrings_->isVisible() || cwStrings_->isMinimized())
                return;
            cwStrings_->showMinimized();
            activateWindow();
            callBox->setFocus();
        });
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
