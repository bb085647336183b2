#pragma once
// frmStationID: the operator's own station data, shown at every start and from Setup.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zev {

struct Session;

class StationWindow : public QDialog {
    Q_OBJECT
public:
    explicit StationWindow(Session &session, QWidget *parent = nullptr);

    // "Done": checks the numbers, publishes to the shared preferences, hides the window.
    void Done();

    QLineEdit *Text1 = nullptr;  // call sign
    QLineEdit *Text2 = nullptr;  // country
    QLineEdit *Text3 = nullptr;  // longitude
    QLineEdit *Text4 = nullptr;  // latitude
    QLineEdit *Text5 = nullptr;  // province / territory
    QLineEdit *Text6 = nullptr;  // hours added for UTC
    QLineEdit *Text7 = nullptr;  // continent
    QLineEdit *Text8 = nullptr;  // OBEL or power
    QCheckBox *Check1 = nullptr;
    QPushButton *Command1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool countryKey(const QString &typed);
    // Beep and say what the offset box accepts.
    void refuseOffset();
    void doneClicked();

    Session &s_;
};

}  // namespace zev
