#pragma once
// "WinKey Setup": the WinKeyer's port and settings, opening and closing it, and a few
// ways to send with it.

#include "keying/wk_settings.h"  // WkSettingsPath

#include <QDialog>
#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zev {

class CwBuffer;
class WinKeyer;
struct Folders;
struct Session;

class WinKeyWindow : public QDialog {
    Q_OBJECT
public:
    // Shows the keyer's settings; every change goes to the keyer, Done writes "WK.txt".
    // The keyer stays as it is when the window closes.
    WinKeyWindow(Session &session, WinKeyer &keyer, CwBuffer &buffer, QWidget *parent = nullptr);
    ~WinKeyWindow() override;

    void cmdOpenWinkey_Click();
    void cmdCloseWinkey_Click();
    void ApplyWinKeySettings();
    // Sends the CW send buffer through the keyer, opening it first when closed.
    void WKTransmit();
    // Writes "WK.txt" and hides the window; a failed write is reported.
    void cmdDone_Click();
    // The CW speed changed elsewhere: the box follows and the keyer is told.
    void SetCwSpeed(int wpm);

    // What "WK.txt" would hold now.
    WkSettings settings() const;
    // The device of the port number in the port box.
    QString device() const;

    QLineEdit *txtWKComPort = nullptr, *txtWKWPM = nullptr, *txtWeight = nullptr,
              *txtLeadIn = nullptr, *txtTail = nullptr, *txtRatio = nullptr, *Text1 = nullptr;
    QRadioButton *optPTT = nullptr, *optTone = nullptr, *optKey5Off3Out = nullptr,
                 *optKey5Out3Off = nullptr;
    QRadioButton *optIambicA = nullptr, *optIambicB = nullptr, *optUltimatic = nullptr,
                 *optBug = nullptr;
    QLabel *lblOpenStatus = nullptr, *lblVersion = nullptr;
    QPushButton *cmdOpenWinkey = nullptr, *cmdCloseWinkey = nullptr, *cmdStop = nullptr,
                *Command3 = nullptr, *Command1 = nullptr, *Command2 = nullptr, *cmdPorts = nullptr,
                *cmdDone = nullptr;

    // How the "Serial Ports" window is shown; tests replace it.
    std::function<void(QDialog &)> runModal;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void leaveSpeed();
    void leaveWeight();
    void leaveLeadTail(bool leftLead);
    void leaveRatio();
    void leavePort();
    void showStatus(const QString &text);
    void showVersion(const QString &text);
    void openFinished(int code, int version);
    void appendAndTransmit(const QString &text);
    void focusDone();
    void keep();

    Session &session_;
    WinKeyer &keyer_;
    CwBuffer &buffer_;
    QString path_;
    int port_ = 5;
    int pins_ = kDefaultWinKeyPinConfig;
    int mode_ = kDefaultWinKeyMode;
    QButtonGroup *pinGroup_ = nullptr, *modeGroup_ = nullptr;
};

}  // namespace zev
