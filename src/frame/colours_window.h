#pragma once
// Form6: the two colours of the multiplier grid.

#include <QDialog>

class QLabel;
class QPushButton;

namespace zev {

struct Session;

class ColoursWindow : public QDialog {
    Q_OBJECT
public:
    explicit ColoursWindow(Session &session, QWidget *parent = nullptr);

    void ChangeWorked();
    void ChangeRemaining();

    QLabel *lblWorked = nullptr, *lblRemaining = nullptr;
    QPushButton *cmdWorked = nullptr, *cmdRemaining = nullptr, *cmdDone = nullptr;

private:
    void paintSamples();
    Session &s_;
};

}  // namespace zev
