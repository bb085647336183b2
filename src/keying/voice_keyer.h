#pragma once
// The voice keyer: plays the message of a function key while it holds the transmitter's
// push-to-talk line, on a serial port's RTS or DTR line and/or the parallel port. The PTT
// follows the sound: it goes down once the player says sound flows, and up a short hang
// time after the last sample (the sound card's buffer is still playing when the player
// reports the end), or at once when the sound stops flowing.

#include "common/prompter.h"
#include "keying/key_line.h"
#include "keying/voice_settings.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace zev {

class AudioPlayer;

class VoiceKeyer : public QObject {
    Q_OBJECT
public:
    // The device of a port number (see PortMap::device); empty when there is none.
    using PortDevice = std::function<QString(int number)>;

    VoiceKeyer(AudioPlayer &player, KeyLineFactory makeLine, PortDevice portDevice, Prompter &prompter,
               QObject *parent = nullptr);
    ~VoiceKeyer() override;

    // Takes new settings; the repeat pause follows the loop box. An open PTT port stays
    // as it is until PhonePortSetup.
    void setSettings(const VoiceSettings &settings);
    const VoiceSettings &settings() const { return settings_; }

    // Plays the message of function key F<number> (1 ... 9); other numbers do nothing. A message
    // still playing is cut off first. A missing or unplayable file keys nothing and says
    // why on status().
    void FKeyPhone(int number);
    // (Re)opens the PTT serial port; port 0 closes it. A port that will not open is told
    // to the operator as "Invalid port.".
    void PhonePortSetup();
    // Closes the PTT serial port, for a keyer that takes the same device.
    void ClosePort();
    bool portOpen() const;

    // Escape or "Stop": stops the message, releases the PTT and disarms the repeat.
    void stop();
    // Any key on the main window: no more repeats; a message playing goes on.
    void disarmRepeat();

    bool isPlaying() const { return playing_; }
    bool pttDown() const { return pttDown_; }
    bool VoiceRepeatArmed() const { return repeatArmed_; }

    // Run before the PTT port is opened: closes the WinKeyer and the CW port, which may
    // name the same device.
    std::function<void()> beforeOpen;
    // Run after "Invalid port." was shown: brings up the voice keyer window.
    std::function<void()> invalidPort;

    // A message gets its length from the header plus this margin before the PTT is
    // dropped anyway; no transmission lasts longer than the limit.
    void setWatchdogMargin(int ms) { watchdogMarginMs_ = ms; }
    // How long a message may take to start sounding before it is given up.
    void setStartLimit(int ms) { startLimitMs_ = ms; }
    // How long the PTT stays down after the player reports the end.
    void setHangTime(int ms) { hangMs_ = ms; }
    // A new message cut in: the PTT of the old one stays down this long for the new one's
    // sound, and is let go if it has not come by then.
    void setUnheardLimit(int ms) { unheardLimitMs_ = ms; }
    void setTransmitLimit(int ms) { transmitLimitMs_ = ms; }
    int repeatPauseMs() const { return repeatPauseMs_; }

signals:
    // Why a message was not sent or was ended early, for the operator.
    void status(const QString &text);
    // The message playing or its end, short, once per change: "Playing F1", "F1 ended",
    // "F1 stopped". A reason from status() follows when there is one.
    void announce(const QString &text);
    void pttChanged(bool down);
    void repeatArmedChanged(bool armed);
    void playingChanged(bool playing);

private:
    void keyPtt();
    void releasePtt();
    void endMessage(const QString &why);
    void setArmed(bool armed);
    void setPlaying(bool playing);
    void onStarted();
    void onFinished();
    void afterHang();

    AudioPlayer &player_;
    KeyLineFactory makeLine_;
    PortDevice portDevice_;
    Prompter &prompter_;
    VoiceSettings settings_;

    std::unique_ptr<KeyLine> serial_;
    KeyLineKind serialKind_ = KeyLineKind::Rts;
    int serialPort_ = 0;
    std::unique_ptr<KeyLine> parallel_;
    QString parallelAddress_;

    bool playing_ = false;
    bool pttDown_ = false;
    bool repeatArmed_ = false;
    int repeatPauseMs_ = 0;
    int watchdogMarginMs_ = 3000;
    int transmitLimitMs_ = 120000;
    int startLimitMs_ = 5000;
    int hangMs_ = 150;
    int unheardLimitMs_ = 1000;
    qint64 durationMs_ = 0;
    bool started_ = false;
    int playingKey_ = 0;
    QTimer watchdog_;
    QTimer hang_;
    QTimer unheard_;
    QTimer transmitLimit_;
    QTimer tmrRepeat;
};

}  // namespace zev
