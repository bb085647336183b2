#pragma once
// The keying of the logging window: function-key messages, keyboard CW, the speed, Escape,
// the CW messages and their settings, and the repeat of F1. It keys the CW engine's line,
// or hands the text to the WinKeyer, or plays a voice message, and asks the window only
// what KeyingHost gives. The window translates its keys into the commands below.

#include "common/prompter.h"
#include "keying/cw_buffer.h"
#include "keying/cw_engine.h"
#include "keying/cw_settings.h"
#include "keying/key_line.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace zev {

class VoiceKeyer;
class WinKeyer;

// What the keying needs of the window the operator types in.
class KeyingHost {
public:
    virtual ~KeyingHost() = default;
    virtual QString callForMacros() const = 0;      // "$"
    virtual QString exchangeForMacros() const = 0;  // "#": the exchange or serial to send
    virtual QString reportForMacros() const = 0;    // "*"
    virtual QString currentMode() const = 0;        // "CW" or "PH"
    // Logs the contact being entered ("!" in a message).
    virtual void commit() = 0;
    virtual void clearEntry() = 0;
    // The message line and its background (0xBBGGRR).
    virtual void showMessageLine(const QString &text) = 0;
    virtual void setMessageLineColour(quint32 bgr) = 0;
};

inline constexpr quint32 kKeyboardCwBackground = 0xC0FFFF;  // light yellow
inline constexpr quint32 kDialogBackground = 0xC0C000;

class KeyingController : public QObject {
    Q_OBJECT
public:
    // The serial device a port number stands for; empty when there is none.
    using PortDevice = std::function<QString(int number)>;

    KeyingController(CwBuffer &buffer, CwEngine &engine, KeyLineFactory makeLine, PortDevice portDevice,
                     Prompter &prompter, QObject *parent = nullptr);
    ~KeyingController() override;

    // The window that answers the macros; none: the macros are empty and nothing is logged.
    void setHost(KeyingHost *host) { host_ = host; }
    // The station's other keyers; either may be left out.
    void setWinKeyer(WinKeyer *keyer);
    void setVoiceKeyer(VoiceKeyer *keyer) { voice_ = keyer; }

    // The settings as the setup window holds them; apply() after changing them.
    CwSettings settings;
    CwTiming timing = CwTiming::Timer;
    double loopsPer60ms = 0;
    // Pushes speed, word space, timing and repeat pause to the engine; keeps the line.
    void apply();
    // Changes the keying line (0, 1, 2, 3 or 5): the old line is let go.
    void setKeyingLine(int line);
    // Lets go of the CW port (another keyer takes the device); the next message opens it.
    void releaseLine();

    // "cw.txt" at start-up; missing or short files keep the defaults without a message.
    // The reason when the file is there but could not be read (the defaults are in use).
    // Numbers set back to their defaults are named in `fallbacks`.
    QString LoadCWSettings(const QString &path, QStringList *fallbacks = nullptr);

    // Sends message `number` (1 for F1 ... 11 for F11); other numbers send nothing.
    void sendMessage(int number);
    // Empties the buffer and the WinKeyer's own: sending stops after the current character.
    void stopSending();
    // Sends what is in the buffer.
    void LoopThroughCWBuffer();
    // (Re)makes the CW key line for RTS, DTR or the parallel port; false (reported once)
    // when it could not be opened.
    bool CWSetup();
    void UpDown1_UpClick();
    void UpDown1_DownClick();
    // The speed box's number, as the engine keys it.
    int speed() const;
    void setSpeedText(const QString &text);

    // The operator's keys on the logging window, each true when the keying took it and
    // the boxes must not see it.
    // Function key F<number> (1..12): a CW message, keyboard CW on F12, a voice message.
    bool functionKey(int number);
    // The speed arrows: one word a minute faster (+1) or slower (-1).
    bool speedKey(int delta);
    bool escapeKey();
    // Something Escape would stop: CW or a voice message on the air, or the WinKeyer busy.
    bool onTheAir();
    bool backspaceKey();
    // A character typed (keyboard CW).
    bool typedKey(const QString &text);
    // Any key at all stops a repeating message.
    void disarmRepeat();

    // From start() until the keying thread has found the buffer empty.
    bool CWSending() const { return engine_.isSending(); }
    // How the keying thread is scheduled.
    RealTimeOutcome realTime() const { return engine_.realTimeOutcome(); }
    bool KeyboardCWMode() const { return keyboardCw_; }
    bool CWRepeatArmed() const { return repeatArmed_; }
    CwBuffer &buffer() { return buffer_; }
    QTimer *tmrRepeat() const { return repeat_; }

    // The close request of the logging window: false (and the buffer emptied) while sending.
    bool mayClose();

signals:
    // The speed changed (arrows, buttons): windows showing it follow.
    void speedChanged(const QString &speedText);
    void sendingChanged(bool sending);
    void realTimeChanged();
    // The CW port would not open: the setup window should come up, modal, to correct it.
    void setupWanted();

private:
    bool phone() const;
    bool winKeyerOpen() const;
    int winKeyerStatus();
    void winkeyIdle();
    void transmitToWinKeyer();
    void toggleKeyboardCw();
    void changeSpeed(int delta);
    void showRemaining(const QString &remaining);
    void finished();
    bool wantsSerialPort() const;
    void say(const QString &text);
    void message(const QString &text, const QString &title);

    CwBuffer &buffer_;
    CwEngine &engine_;
    KeyLineFactory makeLine_;
    PortDevice portDevice_;
    Prompter &prompter_;
    KeyingHost *host_ = nullptr;
    WinKeyer *winKeyer_ = nullptr;
    VoiceKeyer *voice_ = nullptr;
    QTimer *repeat_ = nullptr;
    bool keyboardCw_ = false;
    bool repeatArmed_ = false;
    bool lineReady_ = false;     // the engine has a working line for the current choice
    int lastWinkeyStatus_ = 0;
};

}  // namespace zev
