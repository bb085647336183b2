#pragma once
// CWFrm: the function-key messages, the CW keying line, speed and timing, kept in
// "cw.txt". Changes take effect at once; Done keeps them.

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zev {

inline const QString kLoopIsTimerText =
    QStringLiteral("Loop keys with the same exact timing as Timer; the loop count is kept only for the settings.");

struct Session;
class KeyingController;

class CwWindow : public QDialog {
    Q_OBJECT
public:
    CwWindow(Session &session, KeyingController &keying, QWidget *parent = nullptr);

    // Shows the controller's settings in the boxes.
    void showSettings();
    // Writes "cw.txt" and the timing choice; false (with a message) when not kept.
    bool SaveCwSettings();
    void Command1_Click();  // Done
    void Command4_Click();  // Test
    // The speed box follows the arrows of the logging window.
    void showSpeed(const QString &speed);

    std::array<QLineEdit *, 11> messageBoxes{};  // Text1..Text9, Text12, Text13
    QLineEdit *Text10 = nullptr, *Text11 = nullptr, *txtSpace = nullptr, *Text14 = nullptr, *txtLoop = nullptr,
              *txtCWLoop = nullptr;
    QRadioButton *Option4 = nullptr, *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr, *Option5 = nullptr;
    QRadioButton *optTimer = nullptr, *optLoop = nullptr, *OptSleep = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *lblLoop = nullptr, *lblSending = nullptr;
    // The new speed after Faster or Slower, said without the focus leaving the button.
    QLabel *lblSpeed = nullptr;
    // Says that the Loop method keys with the same timing as Timer.
    QLabel *lblLoopNote = nullptr;
    // The keying thread's priority and how to allow real time.
    QLabel *lblRealTime = nullptr;
    QPushButton *Command1 = nullptr, *Command4 = nullptr, *Command5 = nullptr, *Command6 = nullptr,
                *Command7 = nullptr, *cmdConfWinkey = nullptr, *cmdLoopFaster = nullptr, *cmdLoopSlower = nullptr,
                *cmdFaster = nullptr, *cmdSlower = nullptr, *cmdPorts = nullptr;

    // How the "Serial Ports" window is shown; tests replace it.
    std::function<void(QDialog &)> runModal;

signals:
    void configureWinkeyRequested();
    // The WinKey line was chosen: its settings are loaded, nothing opens yet.
    void winkeyChosen();
    void codePracticeRequested();
    // Done: the settings are kept; the owner shows the CW strings and gives the focus back.
    void done();

private:
    void keyingLineClicked(int line);
    void timingClicked();
    void portLeft();

    Session &session_;
    KeyingController &keying_;
    bool showing_ = false;
};

}  // namespace zev
