#pragma once
// The spot link of the station: the chosen link (Telnet cluster, packet engine or TNC), the
// intake that turns what arrives into spots in Session::spots, the 333 ms poll timer, the
// settings of "PackSpot.txt" and "AgwEngine.txt", and the link's state. It runs from
// start-up to the end with or without the setup window, which only reads and changes its
// settings and shows its signals.

#include "spotting/spot_intake.h"
#include "spotting/spot_links_device.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace zev {

struct Session;

// Where Linux operators get the packet engine.
inline constexpr const char *kAgwEngineSource = "the Debian package \"direwolf\" (apt install direwolf)";

class SpotService : public QObject {
    Q_OBJECT
public:
    explicit SpotService(Session &session, QObject *parent = nullptr);
    ~SpotService() override;

    SpotIntake &intake() { return intake_; }
    const AgwLink &agwLink() const { return agw_; }
    // The poll timer (Timer1): runs while a TNC port is open, after the engine accepted
    // the call, and from the start of a Telnet connection attempt.
    QTimer *pollTimer() { return &timer_; }

    // Tests may change these before load().
    QString settingsPath;
    QString agwSettingsPath;
    QString loginSettingsPath;
    // A dropped cluster link comes back after a pause that doubles from the first to the
    // longest; a link silent for probeAfterMs is sent a line end, and one still silent
    // probeWaitMs later is taken as lost. A link that was up for steadyAfterMs before it
    // dropped starts the pauses again from the first.
    int reconnectFirstMs = 2000;
    int reconnectLongestMs = 60000;
    int steadyAfterMs = 60000;
    int probeAfterMs = 5 * 60 * 1000;
    int probeWaitMs = 30000;
    // The packet engine's address when "AgwEngine.txt" is missing.
    QString agwHost = QStringLiteral("127.0.0.1");
    quint16 agwPort = 8000;
    std::function<std::unique_ptr<SerialLine>()> makeSerialLine;

    // Reads "PackSpot.txt", "AgwEngine.txt" and "ClusterLogin.txt", once.
    void load();
    bool loaded() const { return loaded_; }
    // "PackSpot.txt" was there to read: its values are the settings.
    bool fileRead() const { return fileRead_; }
    // Loads, opens the saved link when the settings name one, and says in the monitor what
    // the files lacked. Once; at start-up, or when the setup window is first shown.
    void start();
    bool started() const { return started_; }
    // At exit: the connected packet station is told goodbye and every link closes, quietly.
    void stop();

    // The settings as loaded and changed since.
    const PackSpotSettings &settings() const { return settings_; }
    const QString &connectionType() const { return settings_.SpotConnectionType; }
    // A link other than "None" is chosen.
    bool linkChosen() const;
    // What the main window shows: the list (true) or the band map.
    bool listChosen() const { return settings_.OptList; }
    bool dxOnly() const { return intake_.dxOnly; }
    QString agwHostText() const { return agwHostText_; }
    QString agwPortText() const { return agwPortText_; }

    // Another link chosen: the open one closes first.
    void chooseLink(const QString &type);
    void setTelnetAddress(const QString &host, const QString &port);
    void setCommandCharacter(const QString &hex);
    void setListChosen(bool list);
    void setDxOnly(bool on);
    void setConvToHex(bool on);
    void setAgwAddress(const QString &host, const QString &port);
    // The cluster log-in: the call sent at its prompt, the commands after it, reconnection.
    const ClusterLogin &clusterLogin() const { return login_; }
    void setClusterLogin(const ClusterLogin &login) { login_ = login; }
    // The call sent at the cluster's prompt: the log-in call, or else MyCall.
    QString loginCall() const;
    // A dropped cluster link is waiting to come back.
    bool reconnecting() const { return reconnectTimer_.isActive(); }
    // The pause before the coming attempt.
    int reconnectPauseMs() const { return reconnectTimer_.interval(); }
    // The serial values of `from` (port, baud, parity, data and stop bits, power,
    // handshake) become the TNC's.
    void applySerialOptions(const PackSpotSettings &from);

    // False, after telling the operator, when a file could not be written.
    bool SaveSpotSettings();

    void Open();
    void Close();
    // Sends a typed line over the open link; false when it did not go.
    bool send(const QString &text);
    bool SendAgwText(const QString &text);
    // The TNC's command-mode character (hexadecimal text); true when it was written.
    bool sendCommandCharacter(const QString &hex);
    // One poll tick.
    void tick();

    // Open ran and no Close since.
    bool linkStarted() const { return linkStarted_; }
    // The link is open for real: connected, port open, or registered with the engine.
    bool linkOpen() const { return open_; }
    // Why the link closed or failed, or the packet station's coming and going; empty while
    // the link is open.
    const QString &stateText() const { return stateText_; }

signals:
    // The link opened for real, or closed.
    void linkStateChanged(bool open);
    void stateTextChanged(const QString &text);
    // The packet engine connected to a station (its call), or no station is connected any
    // more (empty).
    void agwStationChanged(const QString &call);
    // A failure the operator should see in the setup window.
    void setupWanted();

private:
    void OpenTncPort();
    void ConnectTelnet();
    void StartAgw();
    bool SendTelnetText(const QString &text);
    void linkOpened();
    void linkFailed(const QString &message);
    void telnetFailed(const QString &message);
    void telnetData(const QByteArray &bytes);
    void reconnectTelnet();
    void silenceElapsed();
    void agwLinkFailed(const QString &message);
    void setStateText(const QString &text);
    AgwEngineAddress typedAgwAddress() const;

    Session &s_;
    SpotIntake intake_;
    TelnetLink telnet_;
    AgwLink agw_;
    std::unique_ptr<TncLink> tnc_;
    QTimer timer_;
    QTimer reconnectTimer_;
    QTimer silenceTimer_;
    QElapsedTimer upSince_;  // since the cluster link last opened
    PackSpotSettings settings_;
    ClusterLogin login_, loadedLogin_;
    QByteArray promptTail_;  // what came after the cluster's last line end
    int reconnectDelayMs_ = 0;
    bool loginSent_ = false;
    bool telnetWasUp_ = false;  // connected once since Open: a failure after it is a drop
    bool probing_ = false;
    QString agwHostText_, agwPortText_;
    AgwEngineAddress loadedAgw_;
    QStringList notes_;
    QString stateText_;
    bool loaded_ = false;
    bool fileRead_ = false;
    bool started_ = false;
    bool linkStarted_ = false;
    bool open_ = false;
};

}  // namespace zev
