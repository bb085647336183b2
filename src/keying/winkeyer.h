#pragma once
// The WinKeyer on its serial port: opening and closing it, its settings, and feeding it
// the CW send buffer at the pace it asks for. Everything runs on the owner's thread from
// timers; nothing here waits.

#include "keying/wk_settings.h"
#include "rig/serial_line.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace zev {

class CwBuffer;

// Status codes of an open, as the setup window shows them.
enum WinKeyerCode {
    kWkSuccess = 0,
    kWkNoEchoResponse = 1,
    kWkEchoMismatch = 2,
    kWkNoOpenResponse = 3,
    kWkComOpenFailed = 4,
    kWkGetComFailed = 5,
    kWkSetComFailed = 6,
    kWkAlreadyOpen = 8,
    kWkNotOpen = 9,
};
// "WK Success!" and the others; empty for a code without a text.
QString WinKeyerCodeText(int code);

// The bytes a character becomes on the keyer, so that it sends the Morse the key line
// would: letters (upper-cased), digits and the punctuation with Morse; the prosign
// characters as merged letters; nothing for "!" (ours to act on), control characters (the
// keyer takes them for commands) or anything else.
QByteArray WinKeyerTextBytes(QChar c);

class WinKeyer : public QObject {
    Q_OBJECT
public:
    using LineFactory = std::function<std::unique_ptr<SerialLine>()>;

    // Characters the keyer may hold that it has not yet started sending.
    static constexpr int kMaxPending = 5;

    WinKeyer(CwBuffer &buffer, LineFactory makeLine, QObject *parent = nullptr);
    ~WinKeyer() override;

    // Closes the CW and PTT ports before the keyer opens: they may be the same port.
    std::function<void()> beforeOpen;

    // How long the keyer may stay silent while we wait for its version or for room.
    void setAnswerTimeoutMs(int ms) { answerTimeoutMs_ = ms; }

    // Opens the keyer on `device`. Answers at once when the port cannot be opened or the
    // keyer is already open; otherwise when the version arrives or the wait runs out.
    // Either way through openFinished().
    void open(const QString &device);
    // Host close, then the port is released.
    void close();
    bool isOpen() const { return state_ == State::Open; }
    bool isOpening() const { return state_ == State::Opening; }
    // The keyer's version after a successful open, 0 otherwise.
    int version() const { return state_ == State::Open ? version_ : 0; }
    QString device() const { return device_; }
    // The device transmit() opens when the keyer is closed.
    void setDevice(const QString &device) { device_ = device; }

    // The settings of "WK.txt" as the setup window shows them: the port, the number boxes'
    // texts and the options. useSettings() also takes the numbers the boxes would send (a
    // number out of its range stays unsent), as the setters below do.
    const WkSettings &settings() const { return settings_; }
    void keepSettings(const WkSettings &settings) { settings_ = settings; }
    void useSettings(const WkSettings &settings);

    // The settings are kept and, while the keyer is open, sent at once. All of them go to
    // the keyer in this order right after it opens.
    void setWpm(int wpm);
    void setWeight(int weight);
    void setLeadTail(int leadIn, int tail);
    void setRatio(int ratio);
    void setPinConfig(int pins);
    void setMode(int mode);
    int mode() const { return mode_; }

    // Sends the CW send buffer through the keyer, as far as it has room; the rest follows
    // as it makes room. Opens the keyer first when it is closed and a device is known;
    // when that fails the buffer is emptied.
    void transmit();
    // Drops everything the keyer holds and stops its keying.
    void clearBuffer();
    // Drops the last character the keyer has not sent yet.
    void backspace();
    // 0 when the keyer has nothing of ours left and is not sending; above 0 otherwise.
    int status() const;

signals:
    // code: WinKeyerCode; version 0 when the keyer is not usable.
    void openFinished(int code, int version);
    void opened(int version);
    void closed();
    void statusText(const QString &text);
    // The keyer stopped answering or its port failed: it was closed and the buffer emptied.
    void failed(const QString &message);
    // The keyer has sent everything it was given.
    void idle();

private:
    enum class State { Closed, Opening, Open };

    void poll();
    void handle(quint8 b);
    void feed();
    bool send(const QByteArray &bytes);
    void applySettings();
    void finishOpen(int code);
    void fail(const QString &why);
    void dropLine();
    void stopWaiting();
    bool waitingForRoom() const;

    CwBuffer &buffer_;
    LineFactory makeLine_;
    WkSettings settings_;
    std::unique_ptr<SerialLine> line_;
    State state_ = State::Closed;
    QString device_;
    int version_ = 0;
    bool transmitWhenOpen_ = false;

    int wpm_ = -1, weight_ = -1, lead_ = -1, tail_ = -1, ratio_ = -1, pins_ = 6, mode_ = 0;

    int pending_ = 0;         // characters given and not yet echoed
    bool xoff_ = false;       // the keyer's buffer is nearly full
    bool busy_ = false;       // the keyer is sending
    bool outstanding_ = false;  // given something that has not been reported finished
    bool heardSinceGiven_ = false;  // an echo or a busy report since the last character

    int answerTimeoutMs_ = 2000;
    QTimer pollTimer_, silenceTimer_, askTimer_;
};

}  // namespace zev
