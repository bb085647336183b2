#pragma once
// Form2, "Summary Sheet Information": what the Cabrillo file needs beyond the log, and
// the button that writes it.

#include <QDialog>
#include <QString>
#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zev {

struct Session;

class SummaryWindow : public QDialog {
    Q_OBJECT
public:
    SummaryWindow(Session &session, const QString &mainWindowTitle, const QString &totalScoreText,
                  QWidget *parent = nullptr);

    // "Write Cabrillo File": asks where, writes the file, then remembers the
    // submission details in the registry and the shared preferences.
    void Command4_Click();

    // Contest
    QRadioButton *Option15 = nullptr;  // ZEV Canada Day Contest
    QRadioButton *Option12 = nullptr;  // ZEV Canada Winter Contest
    // Category, in the order of CabrilloCategories()
    std::array<QRadioButton *, 10> categoryOptions{};
    // Band, in the order of CabrilloBandOptions(): Option5 "All" first
    std::array<QRadioButton *, 9> bandOptions{};

    // Cabrillo 3.0 (the default) or 2.0
    QRadioButton *optCabrillo3 = nullptr;
    QRadioButton *optCabrillo2 = nullptr;
    // The CONTEST name of the 3.0 file: the contest's own until the operator types one.
    QLineEdit *txtContestName = nullptr;
    // CATEGORY-STATION of the 3.0 file
    QComboBox *cboStationCategory = nullptr;

    QLineEdit *Text1 = nullptr;   // operators
    QLineEdit *Text2 = nullptr;   // club
    QLineEdit *Text5 = nullptr;   // name
    QLineEdit *Text6 = nullptr;   // address line 1
    QLineEdit *Text7 = nullptr;   // address line 2
    QLineEdit *Text8 = nullptr;   // e-mail
    QLineEdit *Text11 = nullptr;  // soapbox
    QPushButton *Command3 = nullptr;  // Done
    QPushButton *Command4 = nullptr;  // Write Cabrillo File

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QByteArray cabrilloBytes() const;
    void storeSubmissionDetails();
    // Keeps format, contest, typed contest names and station category for the next time.
    bool storeChoices(QString *error);
    void showContestName();
    void contestNameEdited(const QString &text);
    void formatChanged();

    bool winter() const;
    Session &s_;
    QString title_;
    QString score_;
    QString typedNames_[2];  // day, winter: what the operator typed, "" to follow the contest
};

}  // namespace zev
