#pragma once
// The station's keying: the CW engine and its key line, the function-key keying, the
// WinKeyer on its serial line, the voice keyer with its push-to-talk, and the voice cues.
// It works with every window closed; the setup windows change its settings and follow
// its signals, and the logging window answers the macros through KeyingHost.

#include "keying/key_line.h"
#include "keying/keying_controller.h"
#include "keying/voice_settings.h"
#include "rig/serial_line.h"

#include <QObject>
#include <functional>
#include <memory>

namespace zev {

struct Session;
class AudioPlayer;
class CuePlayer;
class CwEngine;
class KeyingController;
class VoiceKeyer;
class WinKeyer;

class ContactEntry;

// The macros ($ the call, # the exchange or serial sent, * the report sent) and the mode
// come from the contact being entered; with no window there is nothing to log, clear or
// show, so those do nothing here. The logging window's host adds them.
class EntryKeyingHost : public KeyingHost {
public:
    explicit EntryKeyingHost(const ContactEntry &entry) : entry_(entry) {}
    QString callForMacros() const override;
    QString exchangeForMacros() const override;
    QString reportForMacros() const override;
    QString currentMode() const override;
    void commit() override {}
    void clearEntry() override {}
    void showMessageLine(const QString &) override {}
    void setMessageLineColour(quint32) override {}

private:
    const ContactEntry &entry_;
};

class StationKeying : public QObject {
    Q_OBJECT
public:
    explicit StationKeying(Session &session, QObject *parent = nullptr);
    ~StationKeying() override;

    // Where the lines and players come from; each is looked up when one is made, so a test
    // can put its own in at any time. Empty: the real devices.
    KeyLineFactory keyLineFactory;
    std::function<std::unique_ptr<SerialLine>()> winKeyerLineFactory;
    std::function<std::unique_ptr<AudioPlayer>()> audioPlayerFactory;

    KeyingController &controller() { return *controller_; }
    // The host the keying falls back to when a window lets go of it.
    KeyingHost &entryHost() { return *entryHost_; }
    CwEngine &engine() { return *engine_; }
    WinKeyer &winKeyer() { return *winKeyer_; }
    VoiceKeyer &voiceKeyer() { return *voiceKeyer_; }
    CuePlayer &cues() { return *cues_; }

    // "wave2.txt"; numbers set back to their defaults are told to the operator.
    void loadVoiceSettings();
    // "cw.txt", written with the defaults when missing; a file that could not be read or
    // made is told to the operator. With the WinKey line chosen, "WK.txt" follows.
    void loadCwSettings();
    // "WK.txt" for the WinKeyer, once; its speed is the CW speed. Nothing opens.
    void loadWinKeySettings();

    // Ends every keyer: the key and the PTT up, the WinKeyer cleared and closed.
    void stop();

signals:
    // The CW port or the voice keyer's PTT port would not open: the operator should see
    // the setup window to correct it.
    void cwSetupWanted();
    void voiceSetupWanted();

private:
    KeyLineFactory keyLines();
    std::function<std::unique_ptr<AudioPlayer>()> players();
    QString portDevice(int number) const;

    Session &s_;
    std::unique_ptr<EntryKeyingHost> entryHost_;
    CwEngine *engine_ = nullptr;
    KeyingController *controller_ = nullptr;
    WinKeyer *winKeyer_ = nullptr;
    std::unique_ptr<AudioPlayer> voicePlayer_, cuePlayer_;
    VoiceKeyer *voiceKeyer_ = nullptr;
    CuePlayer *cues_ = nullptr;
    bool winKeySettingsLoaded_ = false;
};

}  // namespace zev
