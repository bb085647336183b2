// The logging window's part in the voice keyer and the voice cues: their windows.

#include "logcore/main_window.h"

#include "keying/blind_window.h"
#include "keying/cue_player.h"
#include "keying/phone_window.h"
#include "station/station.h"
#include "station/station_keying.h"

namespace zev {

CuePlayer &MainWindow::cues()
{
    return station_.keying().cues();
}

void MainWindow::PlayCue(const QString &cue)
{
    cues().BlindKeyPhone(cue);
}

void MainWindow::mnuVoice_Click()
{
    if (!phoneWindow_) {
        phoneWindow_ = new PhoneWindow(s_, station_.keying().voiceKeyer(), this);
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
