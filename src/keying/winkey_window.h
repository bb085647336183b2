#pragma once
// "WinKey Setup": the WinKeyer's port and settings, opening and closing it, and a few
// ways to send with it.

#include "keying/wk_settings.h"

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

// Where "WK.txt" lives.
QString WkSettingsPath(const Folders &folders);

class WinKeyWindow : public QDialog {
    Q_OBJECT
public:
    // Reads "WK.txt"; the speed box shows `cwSpeed`, the CW setup window's speed,
    // whatever the file holds. The keyer is told every setting (it sends them once open).
    WinKeyWindow(Session &session, WinKeyer &keyer, CwBuffer &buffer, int cwSpeed,
                 QWidget *parent = nullptr);
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
