#pragma once
// " DX Spotting Setup": chooses and opens the spot link, sends typed text to the far end
// and shows what arrives. Done only hides it: the link stays open while the operator logs.
//
// The main window connects to intake() (spotAdded -> AddSpotRow on txtDX, ownCallSpotted
// -> lblDialog / lblDupe, labelsDue -> band map redraw) and to displayChanged.

#include "spotting/spot_intake.h"
#include "spotting/spot_links_ui.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zev {

struct Session;

class PacketSpotWindow : public QWidget {
    Q_OBJECT
public:
    explicit PacketSpotWindow(Session &session, QWidget *parent = nullptr);
    ~PacketSpotWindow() override;

    SpotIntake &intake() { return intake_; }
    const AgwLink &agwLink() const { return agw_; }

    // Reads "PackSpot.txt" and re-opens the saved link; once, before the window is first
    // shown (showSetup does it).
    void Form_Load();
    // Shows the window, loading it the first time.
    void showSetup();

    void LoadSpotSettings();
    // False, after telling the operator, when the file could not be written.
    bool SaveSpotSettings();
    void Open();
    void Close();
    void Done();
    void SpotLast();
    void Send();
    void CommandModeKey();
    // One poll tick (Timer1).
    void tick();

    // What the main window shows: true for the list, false for the band map.
    bool listChosen() const;
    // "List DX Only".
    bool dxOnly() const;
    QString connectionType() const { return settings_.SpotConnectionType; }
    // A link is open for real (not only being opened).
    bool linkOpen() const;

    // Tests and the main window may change these before Form_Load.
    QString settingsPath;
    // The packet engine's address, beside "PackSpot.txt"; agwHost and agwPort are what
    // the window starts with when that file is missing.
    QString agwSettingsPath;
    QString agwHost = QStringLiteral("127.0.0.1");
    quint16 agwPort = 8000;
    std::function<std::unique_ptr<SerialLine>()> makeSerialLine;
    std::function<void(QDialog &)> runModal;
    // The title the engine shows for this program.
    QString applicationName = QStringLiteral("ZEV Contest Log");

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
    QTimer *Timer1 = nullptr;

signals:
    // Done: the main window shows the list (true) or the band map (false).
    void displayChanged(bool list);
    // Done saves the preferences first.
    void savePrefRequested();
    // The link opened for real, or closed.
    void linkStateChanged(bool open);

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
    void OpenTncPort();
    void ConnectTelnet();
    void StartAgw();
    bool SendTelnetText(const QString &text);
    bool SendAgwText(const QString &text);
    void SerialOptionClick();
    void selectSerialOptions(const PackSpotSettings &s);
    void linkOpened();
    void linkFailed(const QString &message);
    void showLinkState(const QString &text);
    void agwLinkFailed(const QString &message);
    void showMonitorTail();
    void LoadAgwEngineAddress();
    AgwEngineAddress typedAgwAddress() const;

    Session &s_;
    SpotIntake intake_;
    TelnetLink telnet_;
    AgwLink agw_;
    std::unique_ptr<TncLink> tnc_;
    PackSpotSettings settings_;
    AgwEngineAddress loadedAgw_;
    QString agwNote_;
    bool loaded_ = false;
    bool LoadingSettings = false;
    bool linkStarted_ = false;  // Open ran and no Close since
};

}  // namespace zev
