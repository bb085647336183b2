#pragma once
// Form1: the logging window, its load sequence, preferences and the ways the program ends.

#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "logcore/master_calls.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <deque>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QBoxLayout;
class QListWidget;
class QKeyEvent;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;
class QTreeWidget;

namespace zev {

class BandMapWidget;
class FrequencyReadout;
enum class SpotMark;
class PacketSpotWindow;
class BlindWindow;
class CodePracticeWindow;
class CuePlayer;
class PhoneWindow;
class WinKeyWindow;
class CwStringsWindow;
class CwWindow;
class KeyingController;
class RecentContactsModel;
class RigLink;
class RigControlWindow;
struct RigLinkSettings;
class Station;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Session &session, Station &station, QWidget *parent = nullptr);
    Station &station() { return station_; }
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
    // Shows the country, continent, heading and distance of the call being typed.
    void LookupPrefix();
    void NextSerialSent();
    // Stores a finished contact: durable append first, memory second. False (with a
    // message) when it could not be stored; nothing is changed then.
    bool LogContact(const ContactRecord &record);

    // Entry, validation and commit.
    void Mains();
    void cmdClear_Click();
    // Duplicate of the call box on the current band and mode; sets DupeFlag.
    void DupCheck();
    void PartialDupeCheck(QChar key);
    void cmdDup_Click();
    void mnuListPrevious_Click();

    // Super check partial: calls of the master list containing the call being typed.
    // Reads the list off this thread; the list shows once it is ready.
    void StartMasterCalls();
    void showSuperCheck();
    // The other positions of the station, when the log is shared.
    void showPositions();
    void mnuNetwork_Click();
    // Puts the offered call of this row in the call box, as if typed; false when none.
    bool takeSuperCheckCall(int row);
    // The system's master list; a newer MASTER.SCP in the working folder wins.
    QString masterCallsSystemFile = kSystemMasterCalls;
    QListWidget *superCheckList = nullptr;
    QListWidget *positionsList = nullptr;
    QLabel *positionsCaption = nullptr;
    QLabel *superCheckCaption = nullptr;

    // Band and mode; the rig link calls these too.
    void SelectBand(int bandIndex);
    void mnuBand160Ch_Click() { SelectBand(0); }
    void mnuBand80Ch_Click() { SelectBand(1); }
    void mnuBand40Ch_Click() { SelectBand(2); }
    void mnuBand20Ch_Click() { SelectBand(3); }
    void mnuBand15Ch_Click() { SelectBand(4); }
    void mnuBand10Ch_Click() { SelectBand(5); }
    void mnuBand6Ch_Click() { SelectBand(6); }
    void mnuBand2Ch_Click() { SelectBand(7); }
    void SelectMode(const QString &mode);
    void selectCw() { SelectMode(QStringLiteral("CW")); }
    void selectPhone() { SelectMode(QStringLiteral("PH")); }
    // The rig link steers the window: the band the radio's frequency falls in (the
    // frequency is kept for the next contact) and the radio's mode.
    void BandFreqConversion(qint64 frequencyHz);
    void BandFreqConversion(float) = delete;  // hertz only: no single precision on the way
    void ModeSelection(const QString &strMode);
    // The radio's link, made on first use; its readings steer the window.
    RigLink &rigLink();
    // At start-up: polls the radio of "RigCntrl.txt" when a rig is chosen.
    void StartRigLink();
    // The licence classes' privileges from "BandPlan.txt".
    void mnuPrivileges_Click();
    // The rig interface window: shown, not modal; it stays loaded once opened.
    void mnuRigInterface_Click();
    // The same window, modal when `modal` (a link that could not start at start-up).
    void showRigWindow(bool modal);
    RigControlWindow *rigWindow() const { return rigWindow_; }
    // Ctrl+G: the tune window, modal.
    void OpenTuneWindow();

    // Score and multipliers.
    void Labeldisplay();
    void ShowWorkedMultipliers();
    // Shows a province's total in the duplicate line; `heard` reads it to the screen reader.
    void ShowProvinceTotal(int province, bool heard = true);

    // Contest clock.
    void CheckUtcOffset();
    void cmdLogOn_Click();
    void TimeStats();
    void Timer1_Timer();
    void Timer2_Timer();
    void mnuPostContest_Click();

    // The contact list, editing and deleting.
    void ShowRecentContacts();
    void cmdList_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    // Deletes record n after asking; the list's selection plays no part.
    void DeleteRecord(int n);
    // Record number of the row selected in the list, 0 when none.
    int SelectedRecord() const;

    // Log maintenance.
    void mnuArchive_Click();
    void mnuRestore_Click();
    void mnuCopyListtoClipboard_Click();

    // Appearance.
    void mnuFormSize_Click();
    void mnuTaskbar_Click();
    void mnuColors_Click();
    // The summary sheet and the Cabrillo file.
    void mnuWriteSumm_Click();
    // The rate graph, rebuilt from the log each time it opens.
    void mnuGraph_Click();
    // Help: the keys of a contest and where the files live; modal.
    void mnuHelp_Click();
    // Size and fonts from FormSizePercent and TaskbarMode.
    void ApplyFormSize();

    // A voice cue for blind operators; the callers check the navigation level.
    void PlayCue(const QString &cue);
    CuePlayer &cues();
    // Options > Transmit > Voice Setup and Ctrl+P: the voice keyer window.
    void mnuVoice_Click();
    PhoneWindow *phoneWindow() const { return phoneWindow_; }
    // Options > Voice Navigation.
    void mnuBlind_Click();
    BlindWindow *blindWindow() const { return blindWindow_; }
    // "WinKey Setup", modal.
    void showWinKeyWindow();
    WinKeyWindow *winKeyWindow() const { return winKeyWindow_; }
    // The spot strip: a spot chosen on the band map, the spectrum map or the spot list puts
    // its call in the call box and tunes the radio there.
    void spotChosen(const QString &call, float mhz, bool validate);
    // Ctrl+Up / Ctrl+Down: the next spot up or down the band from the radio's frequency.
    void stepToSpot(int direction);
    // Options > DX Spotting > View Spectrum Map, Ctrl+B and a double click on the strip: modal.
    void showSpectrumMap();
    // Options > DX Spotting > Configure, Ctrl+D and a click on the band map: the spot link
    // window, not modal; it shows the station's spot link.
    void mnuDXSpotting_Click();
    PacketSpotWindow &spotWindow();
    PacketSpotWindow *spotWindowIfLoaded() const { return spotWindow_; }
    // The saved spot link opens at start-up, and the strip shows what it chose.
    void StartSpotLinks();
    // Shows the spot list or the band map as the spot window chose, or neither without a link.
    void PacketResize();
    // The station's keying, which the CW windows set up.
    KeyingController &keying();
    // Keys of the logging window (and of the CW strings window) turned into keying
    // commands before the boxes see them; true when taken. Up and Down are the speed keys
    // only where `speedArrows` (the entry boxes); in the lists they move the row.
    bool keyingKey(QKeyEvent *event, bool speedArrows = true);
    // Options > Transmit > CW Setup: modal. Ctrl+C and Ctrl+S show it as a window.
    void mnuCW_Click();
    void showCwWindow(bool modal);
    CwWindow *cwWindow() const { return cwWindow_; }
    // Ctrl+W, and CW Setup's Done with a keying line chosen (minimized).
    void showCwStrings(bool minimized);
    CwStringsWindow *cwStringsWindow() const { return cwStrings_; }
    // CW Setup's "Send Code Practice": modal; the buffer is emptied when it closes.
    void showCodePractice();
    // Tests drive the code practice window through this hook while it is open.
    std::function<void(CodePracticeWindow &)> codePracticeOpened;
    // Ctrl and a letter: the window it stands for; true when the key had a window.
    bool openKeyWindow(int qtKey);

    // Entry state.
    int HandOffCode = 0;
    QChar HandOffKey;
    bool IncompleteFlag = false;
    bool BadProvinceFlag = false;
    bool DupeFlag = false;
    QDateTime DupeTime;
    bool PostContestMode = false;
    // How long keys wait after a duplicate was announced.
    int dupeHoldMs = 3000;
    // Longest report the report boxes take: 3 on CW, 2 on phone.
    int ReportMaxLength = 3;

    // How modal windows are run; tests replace it to drive them without a nested loop.
    std::function<void(QDialog &)> runModal;
    // Runs a modal window through runModal; the radio's band and mode wait meanwhile.
    void showModal(QDialog &dialog);

    // Controls other windows and tests reach. Each carries the system's own name as its
    // objectName (txtCall, Label4, lblsectogo...), which tests and the screen reader use.
    QLineEdit *callBox = nullptr, *reportRcvdBox = nullptr, *exchangeBox = nullptr, *reportSentBox = nullptr,
              *powerBox = nullptr, *postDateBox = nullptr, *postTimeBox = nullptr;
    QLabel *messageLine = nullptr, *dupeLine = nullptr, *ownCallLabel = nullptr, *spareLabel = nullptr,
           *countryLabel = nullptr, *amPmLabel = nullptr, *continentLabel = nullptr, *headingLabel = nullptr,
           *distanceLabel = nullptr, *bandLabel = nullptr, *exchangeSentLabel = nullptr, *modeLabel = nullptr;
    // The rig link's state ("No Response", "Stopped"); hidden while the radio answers.
    QLabel *rigStateLabel = nullptr;
    // The radio's frequency as the link reads it, "No rig" without one.
    FrequencyReadout *frequencyReadout = nullptr;
    QLabel *contactsLabel = nullptr, *multipliersLabel = nullptr, *qsoPointsLabel = nullptr, *scoreLabel = nullptr;
    // "VE3ABC logged, score 12": the contact logged last and the score it made.
    QLabel *loggedLine = nullptr;
    QLabel *rate20Label = nullptr, *rate60Label = nullptr, *operatingTimeLabel = nullptr, *utcTimeLabel = nullptr,
           *localTimeLabel = nullptr;
    std::array<std::array<QLabel *, 13>, 8> provinceLabels{};  // [band row][province]
    std::array<QLabel *, 8> bandHeadings{};
    QTableView *contactList = nullptr;
    RecentContactsModel *listModel = nullptr;
    QTreeWidget *spotList = nullptr;
    BandMapWidget *bandMap = nullptr;
    QPushButton *clearButton = nullptr, *listButton = nullptr, *partialDupesButton = nullptr, *timeOnButton = nullptr,
                *editButton = nullptr, *deleteButton = nullptr;
    QTimer *minuteTimer = nullptr, *secondTimer = nullptr;
    QAction *listPreviousAction = nullptr, *cwAction = nullptr, *phoneAction = nullptr, *postContestAction = nullptr,
            *taskbarAction = nullptr;
    std::array<QAction *, 8> bandActions{};

    // Partial-duplicate display switch (partialDupesButton).
    bool PartialDupesOn = false;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    // The boxes and labels of the entry follow ContactEntry; the views follow the log.
    void bindEntry();
    void followLog();
    void logViewsChanged();
    void buildMenus();
    void applyScreenFonts();
    void paintProvinceLabels(quint32 colour);
    void Form_Unload();
    void Form_Terminate();
    void stopOperatingClock();
    // "date time" in UTC for the time on and time off messages.
    QString loggedTimeText() const;
    void endProgram(int code);
    void showEditButtons(bool show);
    void setupKeyboard();
    // Keys, focus and the context-menu key on the contact list; true when consumed.
    bool listEvent(QEvent *event);
    void showExchangeSent(const QString &text);
    void setDialog(const QString &text);
    void setDialogColour(quint32 bgr);
    void setDupeList(const QString &text, bool highlighted);
    void buildSuperCheck(QBoxLayout *into);
    void buildPositions(QBoxLayout *into);
    // True, after telling the operator, when `what` would change a shared log.
    bool refuseWhileShared(const QString &what);
    // Keys for the super check list (Alt+Down to it, Enter to take a call); true when taken.
    bool superCheckKey(QObject *watched, QKeyEvent *event);
    MasterCallsLoader *masterLoader_ = nullptr;
    void clearEntry();
    void clearLookup();
    void scaleDupeFont(int eighths);

    // Key handling per box, in the order the boxes hand keys to each other. `real` is
    // false when another box passes a key on: the box acts on it but does not type it.
    bool callKey(QChar key);
    bool rstrKey(QChar key, bool real);
    bool cntryKey(QChar key, bool real);
    bool rstsKey(QChar key);
    bool secKey(QChar key);
    bool postContestKey(QLineEdit *box, QChar key);
    void callLostFocus();
    void callGotFocus();
    bool handleKey(QLineEdit *box, QKeyEvent *event);

    // Keys typed while a duplicate is being announced wait here, in order.
    struct PendingKey {
        QPointer<QWidget> target;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    bool holding() const;
    void startHold();
    void releaseKeys();
    std::deque<PendingKey> pendingKeys_;
    QElapsedTimer holdClock_;
    qint64 holdUntilMs_ = -1;
    QTimer *holdTimer_ = nullptr;
    bool replaying_ = false;
    // The duplicate warning already queued the call box's cue behind it.
    bool callCueTaken_ = false;
    // Focus moves made while committing are not the operator leaving the call box; the
    // commit moves the focus once, at its end.
    // Where the pointer rested when a window last came or went; (-1, -1) once it moved.
    QPointF restingPointer_{-1, -1};
    bool activatedOnce_ = false;
    bool inMains_ = false;
    QWidget *focusAfterMains_ = nullptr;
    void commit();
    void moveFocus(QWidget *w);
    QLineEdit *boxOf(EntryField field) const;

    Session &s_;
    Station &station_;
    // What the keying asks of this window: the macros, the commit, the message line.
    class KeyingAnswers;
    friend class KeyingAnswers;
    KeyingAnswers *keyingAnswers_ = nullptr;
    // Follows the station's keyers: their messages, and the setup windows they ask for;
    // unwireKeying() lets go of them as the window goes.
    void wireKeying();
    void unwireKeying();
    CwWindow *cwWindow_ = nullptr;
    CwStringsWindow *cwStrings_ = nullptr;
    WinKeyWindow *winKeyWindow_ = nullptr;
    PacketSpotWindow *spotWindow_ = nullptr;
    PhoneWindow *phoneWindow_ = nullptr;
    BlindWindow *blindWindow_ = nullptr;
    void connectSpotStrip();
    // Band map and spot list marks (dupe, new multiplier) follow the log, band and mode.
    void markSpots();
    std::function<SpotMark(const QString &call, float mhz)> spotMarker();
    bool spotStepKey(QKeyEvent *event);
    // Where the last Ctrl+Up/Down tuned to, and the radio's frequency then: a second step
    // before the radio reports goes on from the spot, not from the old frequency.
    qint64 stepEntryHz_ = -1;
    float stepSpotMhz_ = 0;
    bool rigWired_ = false;
    RigControlWindow *rigWindow_ = nullptr;
    // A band or mode the radio reported while something else was running: applied after.
    int modalDepth_ = 0;
    std::optional<qint64> heldFrequency_;
    QString heldMode_;
    bool busy() const;
    void applyHeldRigReadings();
    void radioFrequency(qint64 hz);
    // The rig link's state beside band and mode; what the window did to follow the radio.
    QWidget *makeRigState();
    void showRigState();
    void showFrequency();
    qint64 rigHz_ = 0;  // the radio's last reading
    void rigFollowed(const QString &what);
    bool followPending_ = false;
    void radioMode(const QString &mode);
    // Starts polling with these settings; false when the port would not open.
    bool startLink(const RigLinkSettings &settings);
};

// What the n-th value of the preference file holds, for messages.
QString PreferenceMeaning(int value);

// "hh:mm:ss" of an operating time, each part two digits.
QString OperatingTimeText(double seconds);

}  // namespace zev
