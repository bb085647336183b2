// The logging window's part in the voice keyer and the voice cues.

#include "logcore/main_window.h"

#include "keying/audio_player_device.h"
#include "keying/blind_window.h"
#include "keying/cue_player.h"
#include "keying/cw_engine.h"
#include "keying/keying_controller.h"
#include "keying/phone_window.h"
#include "keying/settings_ranges.h"
#include "keying/voice_keyer.h"
#include "keying/winkey_window.h"
#include "keying/winkeyer.h"
#include "rig/port_map.h"

#include <QLabel>

namespace zev {

namespace {

std::unique_ptr<AudioPlayer> MakePlayer(const std::function<std::unique_ptr<AudioPlayer>()> &factory)
{
    if (factory)
        return factory();
    return std::make_unique<AudioPlayerDevice>();
}

}  // namespace

void MainWindow::LoadVoiceSettings()
{
    QStringList fallbacks;
    voiceSettings_ = zev::LoadVoiceSettings(s_.folders.work(kVoiceSettingsFile), &fallbacks);
    if (!fallbacks.isEmpty())
        s_.prompter.message(OutOfRangeNote(kVoiceSettingsFile, fallbacks), QStringLiteral("Settings Out of Range"),
                            PromptIcon::Information);
    if (voiceKeyer_)
        voiceKeyer_->setSettings(voiceSettings_);
}

VoiceKeyer &MainWindow::voiceKeyer()
{
    if (!voiceKeyer_) {
        voicePlayer_ = MakePlayer(audioPlayerFactory);
        voiceKeyer_ = new VoiceKeyer(*voicePlayer_, keyLines(),
                                     [this](int number) { return PortMap(s_.registry).device(number); }, s_.prompter,
                                     this);
        voiceKeyer_->setSettings(voiceSettings_);
        // The CW line and the WinKeyer may sit on the same device.
        voiceKeyer_->beforeOpen = [this] { releaseCwPort(); };
        voiceKeyer_->invalidPort = [this] {
            if (!phoneWindow_ || !phoneWindow_->isVisible()) {
                mnuVoice_Click();
            }
        };
        connect(voiceKeyer_, &VoiceKeyer::status, this, [this](const QString &text) {
            if (!text.isEmpty())
                setDialog(text);
        });
        connect(voiceKeyer_, &VoiceKeyer::announce, this, &MainWindow::setDialog);
    }
    return *voiceKeyer_;
}

void MainWindow::releaseCwPort()
{
    if (keying_)
        keying_->releaseLine();
    if (winKeyer_ && (winKeyer_->isOpen() || winKeyer_->isOpening()))
        winKeyWindow().cmdCloseWinkey_Click();
}

CuePlayer &MainWindow::cues()
{
    if (!cues_) {
        cuePlayer_ = MakePlayer(audioPlayerFactory);
        cues_ = new CuePlayer(*cuePlayer_, s_.folders.StartDir, this);
    }
    return *cues_;
}

void MainWindow::PlayCue(const QString &cue)
{
    cues().BlindKeyPhone(cue);
}

void MainWindow::mnuVoice_Click()
{
    if (!phoneWindow_) {
        phoneWindow_ = new PhoneWindow(s_, voiceKeyer(), this);
        phoneWindow_->runModal = [this](QDialog &d) { showModal(d); };
    }
    phoneWindow_->LoadControls();
    phoneWindow_->showNormal();
    phoneWindow_->raise();
    phoneWindow_->activateWindow();
}

void MainWindow::mnuBlind_Click()
{
    if (!blindWindow_)
        blindWindow_ = new BlindWindow(s_, cues(), [this] { SavePref(); }, this);
    blindWindow_->showNormal();
    blindWindow_->raise();
    blindWindow_->activateWindow();
}

}  // namespace zev
