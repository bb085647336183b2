#pragma once
// Form1: the logging window, its load sequence, preferences and the ways the program ends.

#include "frame/session.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;
class QTreeWidget;

namespace zev {

class RecentContactsModel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session &session, QWidget *parent = nullptr);
    ~MainWindow() override;

    static QString windowTitleText();
    static QString fileErrorText();

    // The load sequence; run once after construction.
    void Form_Load();
    bool SavePref();
    void mnuSetup_Click();
    void AskContinueLog();
    // Rebuilds the log from "log.txt"; false when reading failed and the program ended.
    bool mnuOpen2();
    void StartNewLog();
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuExit_Click();
    void ShowOperatingTime();
    // Country, continent, heading and distance of the call being typed.
    void LookupPrefix();
    void NextSerialSent();
    // Stores a finished contact: durable append first, memory second. False (with a
    // message) when it could not be stored; nothing is changed then.
    bool LogContact(const ContactRecord &record);

    // How modal windows are run; tests replace it to drive them without a nested loop.
    std::function<void(QDialog &)> runModal;

    // Controls other windows and tests reach by name.
    QLineEdit *txtCall = nullptr, *txtRSTR = nullptr, *txtCntry = nullptr, *txtRSTS = nullptr,
              *txtSec = nullptr, *txtPostConDate = nullptr, *txtPostConTime = nullptr;
    QLabel *lblDialog = nullptr, *lblDupe = nullptr, *Label2 = nullptr, *Label3 = nullptr,
           *Label4 = nullptr, *Label16 = nullptr, *Label19 = nullptr, *Label22 = nullptr,
           *Label23 = nullptr, *Label24 = nullptr, *Label25 = nullptr, *Label30 = nullptr;
    QLabel *lblTotCon = nullptr, *lblsectogo = nullptr, *lblTotSec = nullptr, *lblTotScore = nullptr;
    QLabel *lblAQSO20 = nullptr, *lblAQSO60 = nullptr, *lblttrack = nullptr, *lblutctime = nullptr,
           *lblCurTime = nullptr;
    std::array<std::array<QLabel *, 13>, 8> provinceLabels{};  // [band row][province]
    std::array<QLabel *, 8> bandHeadings{};
    QTableView *ListView1 = nullptr;
    RecentContactsModel *listModel = nullptr;
    QTreeWidget *txtDX = nullptr;
    QLabel *lblDX = nullptr;
    QPushButton *cmdClear = nullptr, *cmdList = nullptr, *cmdDup = nullptr, *cmdLogOn = nullptr,
                *cmdEdit = nullptr, *cmdDelete = nullptr;
    QTimer *Timer1 = nullptr, *Timer2 = nullptr;
    QAction *mnuListPrevious = nullptr, *mnuCW = nullptr, *mnuPH = nullptr;
    std::array<QAction *, 8> mnuBand{};

    // Partial-duplicate display switch (cmdDup).
    bool PartialDupesOn = false;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildUi();
    void buildMenus();
    void applyScreenFonts();
    void paintProvinceLabels(quint32 colour);
    void Form_Unload();
    void Form_Terminate();
    void stopOperatingClock();
    void endProgram(int code);
    void showWindowSize();
    void showTotals();

    Session &s_;
};

// "hh:mm:ss" of an operating time, each part two digits.
QString OperatingTimeText(double seconds);
// 0x00BBGGRR to a style-sheet colour.
QString ColourName(quint32 bgr);

}  // namespace zev
