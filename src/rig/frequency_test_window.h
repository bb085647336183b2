#pragma once
// frmFrequencyTest: tries a raw command, or a frequency through the radio's own command,
// so that commands for radios not in the list can be worked out.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zev {

class RigLink;

class FrequencyTestWindow : public QDialog {
    Q_OBJECT
public:
    explicit FrequencyTestWindow(RigLink &link, QWidget *parent = nullptr);

    // "Send" for the command: the text as it is, or its hexadecimal pairs as bytes.
    void Command1_Click();
    // "Send" for the frequency.
    void Command2_Click();

    QLineEdit *Text1 = nullptr;  // command
    QCheckBox *Check1 = nullptr;  // "Convert to Hex"
    QPushButton *Command1 = nullptr;
    QLineEdit *Text2 = nullptr;  // frequency, MHz
    QPushButton *Command2 = nullptr;
    QLabel *lblStatus = nullptr;  // why nothing was sent

private:
    void say(const QString &text);

    RigLink &link_;
};

}  // namespace zev
