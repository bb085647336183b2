#pragma once
// The main window's keying: function keys, keyboard CW, the speed arrows and Escape, the
// CW messages and their settings, and the repeat of F1. The window passes its keys here
// before its own handling and gives what the messages need through KeyingHost.

#include "keying/cw_buffer.h"
#include "keying/cw_engine.h"
#include "keying/cw_settings.h"
#include "keying/key_line.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace zev {

// What the keying needs of the logging window.
struct KeyingHost {
    std::function<QString()> callText;      // CallForMacros
    std::function<QString()> exchangeText;  // ExchangeForMacros
    std::function<QString()> reportText;    // ReportForMacros
    std::function<QString()> currentMode;   // "CW" or "PH"
    std::function<void()> commit;           // Mains
    std::function<void()> clearEntry;       // cmdClear_Click
    std::function<void(const QString &)> setDialog;
    std::function<void(quint32)> setDialogColour;  // 0xBBGGRR
    // A message box: text, title.
    std::function<void(const QString &, const QString &)> message;
    // The serial device a port number stands for.
    std::function<QString(int)> portDevice;
    // The CW setup window, shown modal so the operator can correct the port.
    std::function<void()> showSetupModal;
};

// The WinKeyer and the voice keyer as the keys see them; empty functions mean "not there".
struct KeyerHooks {
    std::function<bool()> winkeyOpen;
    std::function<int()> winkeyStatus;  // above 0 while the keyer still sends
    std::function<void()> winkeyClear;
    std::function<void()> winkeyBackspace;
    std::function<void()> winkeyTransmit;   // WKTransmit
    std::function<void(int)> winkeySpeed;   // wk_wpm
    std::function<bool()> voicePlaying;
    std::function<void()> voiceStop;
    std::function<void(int)> voiceFKey;     // FKeyPhone
    std::function<void()> voiceDisarm;      // any key stops the voice repeat
    // Before the CW port opens: the voice keyer and the WinKeyer let go of theirs.
    std::function<void()> releaseOtherPorts;
};

// The windows Ctrl and a letter open from the logging window.
enum class KeyWindow { None, SpectrumMap, CwSetup, DxSpotting, Privileges, Tune, VoiceKeyer, RigInterface, CwStrings };
KeyWindow CtrlKeyWindow(int qtKey);

// The key codes the messages are known by: F1 is 112 ... F12 is 123; 0 for other keys.
int FunctionKeyCode(int qtKey);

inline constexpr quint32 kKeyboardCwBackground = 0xC0FFFF;  // light yellow
inline constexpr quint32 kDialogBackground = 0xC0C000;

class KeyingController : public QObject {
    Q_OBJECT
public:
    KeyingController(CwBuffer &buffer, CwEngine &engine, KeyLineFactory makeLine, KeyingHost host,
                     QObject *parent = nullptr);
    ~KeyingController() override;

    KeyerHooks hooks;

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

    // Sends the message of a key code (112 F1 ... 120 F9, 124 F10, 122 F11).
    void FKeyCW(int keyCode);
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

    // A key pressed on the logging window (Qt key and modifiers); true when it was taken
    // and must not reach the box. `text` is the typed character, if any.
    bool keyPressed(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text);
    // Stops a repeating message (any key on the logging window).
    void disarmRepeat();

    // From start() until the keying thread has found the buffer empty.
    bool CWSending() const { return engine_.isSending(); }
    // How the keying thread is scheduled.
    RealTimeOutcome realTime() const { return engine_.realTimeOutcome(); }
    // The WinKeyer has sent everything it was given: a repeat pause starts now.
    void winkeyIdle();
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

private:
    bool keyDown(int qtKey, Qt::KeyboardModifiers modifiers);
    bool keyPress(int qtKey, const QString &text);
    void toggleKeyboardCw();
    void changeSpeed(int delta);
    void showRemaining(const QString &remaining);
    void finished();
    bool wantsSerialPort() const;

    CwBuffer &buffer_;
    CwEngine &engine_;
    KeyLineFactory makeLine_;
    KeyingHost host_;
    QTimer *repeat_ = nullptr;
    bool keyboardCw_ = false;
    bool repeatArmed_ = false;
    bool lineReady_ = false;     // the engine has a working line for the current choice
    int lastWinkeyStatus_ = 0;
};

}  // namespace zev
