#pragma once
// Options > Network: whether this computer shares its log with the station's others, and
// how it reaches their broker. OK applies at once: the link is started, restarted or ended.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace zev {

class Station;

class NetworkWindow : public QDialog {
    Q_OBJECT
public:
    explicit NetworkWindow(Station &station, QWidget *parent = nullptr);

    // Keeps the settings and starts or ends the shared log; the window stays open with the
    // reason when either fails.
    bool apply();

    QCheckBox *shareBox = nullptr;
    QLineEdit *hostBox = nullptr;
    QSpinBox *portBox = nullptr;
    QLineEdit *positionBox = nullptr;
    QLineEdit *logNameBox = nullptr;
    QLineEdit *userBox = nullptr;
    QLineEdit *passwordBox = nullptr;
    QLineEdit *caFileBox = nullptr;
    QPushButton *browseButton = nullptr;
    QLabel *stateLine = nullptr;
    // Edits made here or elsewhere that lost to another position's edit or delete.
    QPlainTextEdit *lostEdits = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void say(const QString &text);

    Station &station_;
};

}  // namespace zev
