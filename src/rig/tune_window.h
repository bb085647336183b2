#pragma once
// frmRigTune: type a frequency, jump to a band, step, set the mode or scan a range.

#include <QDialog>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zev {

class RigLink;

class TuneWindow : public QDialog {
    Q_OBJECT
public:
    // Commands go to `link`; with `rigName` "None" the window only edits its boxes.
    TuneWindow(RigLink &link, const QString &rigName, QWidget *parent = nullptr);

    // "&Go": tunes the radio to the box's frequency when it holds a number.
    void Command1_Click();
    void cmdBand_Click(int index);
    void cmdTune_Click(int index);
    void ModeButton_Click(const QString &mode);
    // One scan step; the timer calls it every 299 ms.
    void Timer1_Timer();

    QLineEdit *txtFreq = nullptr, *txtFrom = nullptr, *txtTo = nullptr;
    QPushButton *Command1 = nullptr;  // "&Go"
    QPushButton *cmdBand[16] = {};
    QPushButton *cmdTune[10] = {};
    QPushButton *cmdMode[6] = {};     // "&AM" "&CW" "&FM" "&LSB" "&RTTY" "&USB"
    QCheckBox *chkScan = nullptr;
    QRadioButton *optScanStep[5] = {};  // "500 Hz" "100 Hz" "30 Hz" "10 Hz" "2.5 KHz"
    QButtonGroup *scanSteps = nullptr;
    QTimer *Timer1 = nullptr;
    QPushButton *cmdDone = nullptr;  // "&Done"
    // Where the radio went after "&Go", spoken ("Radio on 7.02550 MHz, 40 m").
    QLabel *lblRadio = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void radioRead(qint64 hz);

    RigLink &link_;
    bool noRig_;
    // "&Go" tuned the radio; its next reading after the command is said.
    bool awaitingRadio_ = false;
};

}  // namespace zev
