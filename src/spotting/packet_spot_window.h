#pragma once
// " DX Spotting Setup": chooses the station's spot link and its settings, opens and
// closes it, sends typed text to the far end and shows what arrives. The link is the
// SpotService's: Done only hides the window, and closing or never opening it changes
// nothing about the link. The main window follows the service, and displayChanged.

#include "spotting/spot_text.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zev {

struct Session;
class SpotService;

class PacketSpotWindow : public QWidget {
    Q_OBJECT
public:
    PacketSpotWindow(Session &session, SpotService &spots, QWidget *parent = nullptr);
    ~PacketSpotWindow() override;

    SpotService &spots() { return spots_; }

    // Shows the service's settings and state; the first time ever, the service reads
    // "PackSpot.txt" and re-opens the saved link. Once, before the window is first shown
    // (showSetup does it).
    void Form_Load();
    // Shows the window, loading it the first time.
    void showSetup();

    // Open, after taking the serial options shown for the TNC.
    void Open();
    void Close();
    void Done();
    void SpotLast();
    void Send();
    void CommandModeKey();

    std::function<void(QDialog &)> runModal;

    QListWidget *List1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label6 = nullptr,
           *Label7 = nullptr;
    // Why the link closed or failed; empty while it is open ("Listening" says that).
    QLabel *lblLinkState = nullptr;
    QGroupBox *Frame2 = nullptr, *fraPort = nullptr, *fraBaud = nullptr, *fraParity = nullptr, *fraData = nullptr,
              *fraStop = nullptr, *fraPower = nullptr, *Frame1 = nullptr;
    QRadioButton *OptBand = nullptr, *OptList = nullptr;
    QCheckBox *chkDX = nullptr, *chkConvToHex = nullptr;
    QLineEdit *txtTelnetHost = nullptr, *txtTelnetPort = nullptr, *txtHex = nullptr, *txtSent = nullptr;
    QLabel *lblAgwHost = nullptr, *lblAgwPort = nullptr;
    QLineEdit *txtAgwHost = nullptr, *txtAgwPort = nullptr;
    // The cluster log-in: the call sent at its prompt, the commands after it, reconnection.
    QGroupBox *fraClusterLogin = nullptr;
    QLabel *lblClusterLogin = nullptr, *lblClusterCommands = nullptr;
    QLineEdit *txtClusterLogin = nullptr;
    QPlainTextEdit *txtClusterCommands = nullptr;
    QCheckBox *chkReconnect = nullptr;
    std::array<QRadioButton *, 10> optComm{};
    QRadioButton *optBaud12 = nullptr, *optBaud24 = nullptr, *optBaud48 = nullptr, *optBaud96 = nullptr,
                 *optBaud144 = nullptr, *optBaud192 = nullptr;
    QRadioButton *optParityOdd = nullptr, *optParityNone = nullptr, *optParityEven = nullptr;
    QRadioButton *optData7 = nullptr, *optData8 = nullptr, *optStop1 = nullptr, *optStop2 = nullptr;
    QRadioButton *optPowerNone = nullptr, *optPowerRTS = nullptr, *optPowerDTR = nullptr;
    std::array<QRadioButton *, 4> Option{};  // Option1..Option4
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *cmdDone = nullptr,
                *cmdPorts = nullptr;
    QPlainTextEdit *txtUnProcessed = nullptr;

signals:
    // Done: the main window shows the list (true) or the band map (false).
    void displayChanged(bool list);
    // Done saves the preferences first.
    void savePrefRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void List1_Click(const QString &item);
    void ShowSpottingHelp();
    void EnableTncOptions();
    void EnableTelnetOptions();
    void EnableAgwOptions();
    void DisableSpotOptions();
    void ApplySerialOptions();
    void SerialOptionClick();
    void selectSerialOptions(const PackSpotSettings &s);
    // The service's settings into the controls.
    void showSettings();
    void showLinkOpen(bool open);
    void showLinkState(const QString &text);
    void showAgwStation(const QString &call);
    void showMonitorTail();
    void takeClusterLogin();

    Session &s_;
    SpotService &spots_;
    bool loaded_ = false;
    bool LoadingSettings = false;
    // The service ran before the window was first shown: its monitor is not replaced by
    // the help text.
    bool keepMonitor_ = false;
};

}  // namespace zev
