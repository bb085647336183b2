#pragma once
// PhoneFrm, "Phone Wave Selections": the nine message files of the voice keyer, its
// push-to-talk line and the repeat pause, kept in "wave2.txt".

#include "keying/voice_settings.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zev {

struct Session;
class VoiceKeyer;

class PhoneWindow : public QDialog {
    Q_OBJECT
public:
    // Shows and edits the keyer's settings; "Done" gives them to the keyer and writes
    // "wave2.txt" in the working folder.
    PhoneWindow(Session &session, VoiceKeyer &keyer, QWidget *parent = nullptr);

    // Fills the controls from the keyer's settings.
    void LoadControls();
    // The settings as the controls hold them.
    VoiceSettings controlSettings() const;

    void Browse(int box);     // "Browse" beside Text1..Text9 (box 0..8)
    void Command11_Click();   // Test
    void Command12_Click();   // Stop
    bool Command1_Click();    // Done; false when "wave2.txt" could not be written

    std::array<QLineEdit *, 9> Text{};  // Text1..Text9
    std::array<QPushButton *, 9> Browses{};  // Command2..Command10
    QLineEdit *Text10 = nullptr, *Text11 = nullptr, *txtPHLoop = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr;
    QPushButton *cmdPorts = nullptr, *Command11 = nullptr, *Command12 = nullptr, *Command1 = nullptr;
    QLabel *lblStatus = nullptr;

    // How the "Serial Ports" window is shown; tests replace it.
    std::function<void(QDialog &)> runModal;

private:
    void showStatus(const QString &text);
    void portLeft();
    void loopLeft();

    Session &s_;
    VoiceKeyer &keyer_;
};

}  // namespace zev
