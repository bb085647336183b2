#pragma once
// frmCodePractice: random groups, pasted or typed text sent on the air one character at a
// time through the CW buffer, while the window stays usable.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zev {

class KeyingController;

class CodePracticeWindow : public QDialog {
    Q_OBJECT
public:
    explicit CodePracticeWindow(KeyingController &keying, QWidget *parent = nullptr);
    ~CodePracticeWindow() override;

    void Command2_Click();  // Generate Random Characters
    void Command3_Click();  // Send
    void Command4_Click();  // Stop
    bool sendingText() const { return position_ >= 0; }

    QPlainTextEdit *Text1 = nullptr, *Text2 = nullptr;
    QLineEdit *Text5 = nullptr, *Text3 = nullptr, *Text4 = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr;
    QLabel *Label8 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSpeed(const QString &speed);
    void step();
    void appendSent(const QString &c);
    bool refuseClose();

    KeyingController &keying_;
    QTimer *pace_ = nullptr;
    int position_ = -1;  // next character of Text1 to send; -1 when not sending
};

}  // namespace zev
