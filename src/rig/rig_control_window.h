#pragma once
// RigControlfrm: the radio type, the CAT link's serial choices and their test, kept in
// "RigCntrl.txt". The link itself is driven through the signals, so the window never
// waits on the radio.

#include "rig/hamlib_rig_device.h"
#include "rig/rig_settings.h"

#include <QDialog>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zev {

struct Session;

class RigControlWindow : public QDialog {
    Q_OBJECT
public:
    // `settingsPath` is "RigCntrl.txt" in the working folder.
    RigControlWindow(Session &session, const QString &settingsPath, QWidget *parent = nullptr);

    // The stored choices, as the window holds them now.
    const RigLinkSettings &settings() const { return s_; }

    void LoadRigSettings();
    bool SaveRigSettings();
    // A click in the rig list: the entry's defaults, except port and power.
    void SelectRig(const QString &name);
    void Command1_Click();  // Test
    void Command2_Click();  // End Test
    void Command4_Click();  // Copy unprocessed data to clipboard
    void cmdDone_Click();

    // The folder of the "Ten Tec Pegasus" command files: the operator's choice, else
    // "Pegasus" in the working folder.
    static QString PegasusFolder(Session &session);
    // Keeps the folder typed or chosen; false (with a message) when it could not be kept.
    bool SetPegasusFolder(const QString &folder);

    // What the link reports, shown while polling.
    void ShowReading(const QString &frequency, const QString &mode);
    // The radio's bytes as received, or as hexadecimal pairs with "Convert from Hex" on.
    void ShowUnprocessed(const QByteArray &bytes);
    // The port vanished while polling: the readings say so and the reason is heard.
    void ShowLinkLost(const QString &reason);
    // Whether the link polls, however it was started (at start-up, by Test).
    void SetPolling(bool polling);

    QListWidget *List1 = nullptr;
    QLineEdit *txtFreq = nullptr, *txtMode = nullptr, *txtPegasus = nullptr;
    QCheckBox *chkConvToHex = nullptr, *ChkConvHex = nullptr, *chkFrequency = nullptr;
    QRadioButton *OptRig = nullptr, *OptFreq = nullptr, *OptDont = nullptr;
    QLabel *Label10 = nullptr, *lblMode = nullptr, *lblFreq = nullptr, *lblUnProcess = nullptr,
           *lblPolling = nullptr;
    // What the last Test found out, spoken: the radio's answer or why the link stopped.
    QLabel *lblLink = nullptr;
    // Hamlib's radios: a filter box over its list, or a rigctld on the network.
    QLineEdit *txtHamlibFind = nullptr, *txtHamlibNet = nullptr;
    QListWidget *lstHamlib = nullptr;
    QCheckBox *chkHamlibNet = nullptr;
    const HamlibChoice &hamlibChoice() const { return hamlib_; }
    // Keeps the Hamlib choice in the registry; false (with a message) when it could not be kept.
    bool KeepHamlibChoice();

    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *cmdPorts = nullptr, *cmdPegasus = nullptr, *cmdDone = nullptr;
    QButtonGroup *baud = nullptr, *parity = nullptr, *dataBits = nullptr, *stopBits = nullptr, *port = nullptr,
                 *power = nullptr, *pollRate = nullptr;

    // How the "Serial Ports" window is shown; tests replace it.
    std::function<void(QDialog &)> runModal;
    // Asks for a folder, starting at the given one; empty when cancelled. Tests replace it.
    std::function<QString(const QString &)> chooseFolder;

signals:
    // Start (or restart) polling with these settings; only for a rig other than "None".
    void testRequested(const zev::RigLinkSettings &settings);
    // Stop polling and close the port.
    void endTestRequested();
    // "Change Frequency" while polling: the frequency test window.
    void changeFrequencyRequested();
    // The radio's name went into the preferences, which want saving.
    void preferencesChanged();
    // The Pegasus command files are now in this folder.
    void pegasusFolderChanged(const QString &folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyToWindow();
    void readOptions();
    void optionChanged();
    void showPegasusRow();
    void filterHamlib(const QString &text);
    void showHamlibChoice();

    Session &session_;
    QLabel *pegasusCaption_ = nullptr;
    QWidget *hamlibBox_ = nullptr;
    HamlibChoice hamlib_;
    QString path_;
    RigLinkSettings s_;
    bool applying_ = false;
    bool polling_ = false;
    // Test was pressed and the radio's first answer is still to be said.
    bool awaitingAnswer_ = false;
    bool answerQueued_ = false;
    void sayAnswer();
    void say(const QString &text);
};

}  // namespace zev
