#pragma once
// frmCWStrings: the function-key messages at a glance; a click sends one. Keys typed here
// act as on the logging window.

#include <QWidget>
#include <array>
#include <functional>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace zev {

class KeyingController;

class CwStringsWindow : public QWidget {
    Q_OBJECT
public:
    CwStringsWindow(KeyingController &keying, QWidget *parent = nullptr);

    // Copies the eleven messages into the window.
    void showMessages();
    // A click on row i (0 = F1 ... 11 = F12).
    void rowClicked(int i);

    std::array<QLabel *, 12> Label1{};
    std::array<QPushButton *, 12> lblCWString{};
    QPushButton *Command1 = nullptr;

    // The logging window's key handling; true when it took the key.
    std::function<bool(QKeyEvent *)> forwardKey;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Escape with nothing on the air; true when it closed the window.
    bool escapeCloses(QEvent *event);

    KeyingController &keying_;
};

}  // namespace zev
