#pragma once
// BlindFrm, "Voice Navigation Settings": how much of the main window is spoken.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;

namespace zev {

struct Session;
class CuePlayer;

class BlindWindow : public QDialog {
    Q_OBJECT
public:
    // "Done" sets VoiceNavLevel in the session's preferences and calls `savePreferences`.
    BlindWindow(Session &session, CuePlayer &cues, std::function<void()> savePreferences,
                QWidget *parent = nullptr);

    // Selects the option of the current VoiceNavLevel and speaks its confirmation.
    void SelectCurrentLevel();
    void Option1_Click();  // Off
    void Option2_Click();  // Call Only
    void Option3_Click();  // All Data Fields
    void Command1_Click();  // Done

    QRadioButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr;
    QLabel *Label7 = nullptr;
    QPushButton *Command1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    Session &s_;
    CuePlayer &cues_;
    std::function<void()> savePreferences_;
};

}  // namespace zev
