#include "logcore/main_window.h"

#include "keying/blind_window.h"
#include "keying/keying_controller.h"
#include "spotting/band_map_widget_ui.h"
#include "spotting/packet_spot_window.h"
#include "spotting/spot_list_ui.h"
#include "keying/phone_window.h"
#include "keying/winkey_window.h"

#include "common/file_io.h"
#include "frame/help_window.h"
#include "frame/text_rules_ui.h"
#include "frame/window_scaling.h"
#include "frame/window_scaling_ui.h"
#include "common/quoted_values.h"
#include "logcore/dupes.h"
#include "logcore/log_maintenance.h"
#include "logcore/recent_contacts_model.h"
#include "outputs/adif_export.h"
#include "outputs/station_window.h"
#include "rig/frequency_readout_ui.h"
#include "rig/rig_link.h"
#include "station/station.h"
#include "station/station_keying.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace zev {

namespace {

const char *const kFirstPrompt = "Select a band and mode. Click Log \"Time On\" below!";

QLabel *caption(const QString &text, QWidget *buddy = nullptr)
{
    auto *l = new QLabel(text);
    l->setTextFormat(Qt::PlainText);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

// A label that shows a value: the screen reader reads its text, the caption describes it.
QLabel *valueLabel(const char *name, const QString &initial, const QString &description)
{
    auto *l = new QLabel(initial);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setAccessibleDescription(description);
    return l;
}

QLineEdit *entryBox(const char *name, const QString &captionText, const QString &tooltip = {})
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    e->setAccessibleName(captionText);
    if (!tooltip.isEmpty())
        e->setToolTip(tooltip);
    return e;
}

QPushButton *button(const char *name, const QString &text, const QString &accessible,
                    const QString &tooltip = {})
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible);
    if (!tooltip.isEmpty())
        b->setToolTip(tooltip);
    return b;
}

}  // namespace

QString PreferenceMeaning(int value)
{
    static const char *const meanings[19] = {
        "your call sign",          "your province",
        "the hours added for UTC", "the mode, CW or PH",
        "the operating time in seconds", "your country",
        "your longitude",          "your latitude",
        "the form size, 30 to 100", "the worked multiplier colour",
        "the remaining multiplier colour", "the band",
        "your continent",          "your OBEL or power",
        "the voice navigation level, 0 to 2", "the radio name",
        "the taskbar option, 0 or 1", "the list previous contacts option, 0 or 1",
        "the in Canada option, 0 or 1",
    };
    if (value < 1 || value > 19)
        return QStringLiteral("one of the nineteen settings");
    return QString::fromLatin1(meanings[value - 1]);
}

QString OperatingTimeText(double seconds)
{
    const qint64 total = qint64(std::floor(std::fabs(seconds)));
    const qint64 h = total / 3600;
    const qint64 m = total / 60 - h * 60;
    const qint64 sec = total - (total / 60) * 60;
    auto two = [](qint64 v) { return QStringLiteral("%1").arg(v % 100, 2, 10, QLatin1Char('0')); };
    return two(h) + QLatin1Char(':') + two(m) + QLatin1Char(':') + two(sec);
}

QString MainWindow::windowTitleText()
{
    // The Cabrillo and ADIF headers keep the first 50 and 60 characters of the title:
    // the blanks reach past both, so neither carries a cut-off address.
    return QStringLiteral("Velko's ZEV Contest Log 1.9") + QString(40, QLatin1Char(' ')) +
           QStringLiteral("https://velko-software.example/zev");
}

QString MainWindow::fileErrorText()
{
    return QStringLiteral(
        "Error opening file.  This error is annoying but probably correctable.  In all likelihood, a "
        "character such as a quote got into your data or one of your entries has an invalid date/time "
        "format.  Close this program and open log.txt in the program's working directory with a text "
        "editor such as notepad.  Inspect the data and fix any errors you see (remove any extra quotes "
        "and make sure your date and time entries are valid).");
}

MainWindow::MainWindow(Session &session, Station &station, QWidget *parent)
    : QMainWindow(parent), s_(session), station_(station)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(windowTitleText());
    runModal = [](QDialog &d) { d.exec(); };
    buildUi();
    followLog();
    buildMenus();
    setupKeyboard();
    applyScreenFonts();
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this, this, &MainWindow::OpenTuneWindow);
    // Every key of the window passes the keying first, whichever control has the focus.
    for (QWidget *w : findChildren<QWidget *>())
        if (w->focusPolicy() != Qt::NoFocus)
            w->installEventFilter(this);
    wireKeying();
}

MainWindow::~MainWindow()
{
    unwireKeying();
    delete phoneWindow_;
    delete blindWindow_;
    delete spotWindow_;
    delete winKeyWindow_;
}

void MainWindow::buildUi()
{
    auto *central = new QWidget;
    // The style below is for this window's own controls, not for the windows it owns.
    central->setObjectName(QStringLiteral("Form1Central"));
    setCentralWidget(central);
    auto *root = new QVBoxLayout(central);

    // Station, band, mode and clocks.
    auto *top = new QHBoxLayout;
    ownCallLabel = valueLabel("Label2", {}, QStringLiteral("Your Call"));
    exchangeSentLabel = valueLabel("Label25", {}, QStringLiteral("Exchange Sent"));
    bandLabel = valueLabel("Label24", QStringLiteral("160"), QStringLiteral("Band"));
    bandLabel->setToolTip(QStringLiteral("Click to change bands."));
    modeLabel = valueLabel("Label30", QStringLiteral("CW"), QStringLiteral("Mode"));
    modeLabel->setToolTip(QStringLiteral("Click to change modes."));
    utcTimeLabel = valueLabel("lblutctime", QStringLiteral("UTC TIME"), QStringLiteral("UTC TIME"));
    localTimeLabel = valueLabel("lblCurTime", QStringLiteral("Reg Time"), QStringLiteral("Local Time"));
    amPmLabel = valueLabel("Label16", {}, QStringLiteral("AM/PM"));
    operatingTimeLabel = valueLabel("lblttrack", QStringLiteral("00:00:00"), QStringLiteral("Operating Time"));
    timeOnButton = button("cmdLogOn", QStringLiteral("&Log \"Time On\""), QStringLiteral("Log Time On"),
                      QStringLiteral("Records On/Off times and controls duration clock."));
    spareLabel = valueLabel("Label3", {}, {});
    auto addPair = [&](const QString &cap, QWidget *w) {
        auto *v = new QVBoxLayout;
        v->addWidget(caption(cap));
        v->addWidget(w);
        top->addLayout(v);
    };
    addPair(QStringLiteral("Your Call"), ownCallLabel);
    addPair(QStringLiteral("Exchange Sent"), exchangeSentLabel);
    addPair(QStringLiteral("Band"), bandLabel);
    addPair(QStringLiteral("Mode"), modeLabel);
    frequencyReadout = new FrequencyReadout;
    addPair(QStringLiteral("Frequency"), frequencyReadout);
    top->addWidget(makeRigState(), 0, Qt::AlignBottom);
    top->addStretch(1);
    addPair(QStringLiteral("UTC TIME"), utcTimeLabel);
    auto *local = new QHBoxLayout;
    local->addWidget(localTimeLabel);
    local->addWidget(amPmLabel);
    auto *localBox = new QVBoxLayout;
    localBox->addWidget(caption(QStringLiteral("Local Time")));
    localBox->addLayout(local);
    top->addLayout(localBox);
    addPair(QStringLiteral("Operating Time"), operatingTimeLabel);
    top->addWidget(timeOnButton, 0, Qt::AlignBottom);
    top->addWidget(spareLabel);
    spareLabel->hide();
    root->addLayout(top);

    // Entry boxes.
    auto *entry = new QGridLayout;
    callBox = entryBox("txtCall", QStringLiteral("Call"));
    reportRcvdBox = entryBox("txtRSTR", QStringLiteral("RS(T) Rc"));
    exchangeBox = entryBox("txtCntry", QStringLiteral("Prov / Ser"));
    reportSentBox = entryBox("txtRSTS", QStringLiteral("RS(T) Sn"));
    powerBox = entryBox("txtSec", QStringLiteral("OBEL/PWR"), QStringLiteral("Enter power followed by W"));
    postDateBox = entryBox("txtPostConDate", QStringLiteral("Date"));
    postTimeBox = entryBox("txtPostConTime", QStringLiteral("Time"));
    const std::array<std::pair<QLineEdit *, QString>, 7> boxes{{
        {callBox, QStringLiteral("Call")},
        {reportRcvdBox, QStringLiteral("RS(T) Rc")},
        {exchangeBox, QStringLiteral("Prov / Ser")},
        {reportSentBox, QStringLiteral("RS(T) Sn")},
        {powerBox, QStringLiteral("OBEL/PWR")},
        {postDateBox, QStringLiteral("Date")},
        {postTimeBox, QStringLiteral("Time")},
    }};
    for (int i = 0; i < int(boxes.size()); ++i) {
        QLabel *c = caption(boxes[i].second, boxes[i].first);
        c->setObjectName(QStringLiteral("cap_") + boxes[i].first->objectName());
        entry->addWidget(c, 0, i);
        entry->addWidget(boxes[i].first, 1, i);
        entry->setColumnStretch(i, i == 0 ? 4 : 2);
        // The post-contest boxes appear only in post-contest mode.
        if (i >= 5) {
            c->hide();
            boxes[i].first->hide();
        }
    }
    root->addLayout(entry);
    for (QWidget *w : {static_cast<QWidget *>(callBox), static_cast<QWidget *>(reportRcvdBox),
                       static_cast<QWidget *>(exchangeBox), static_cast<QWidget *>(reportSentBox),
                       static_cast<QWidget *>(powerBox)})
        w->setProperty("entryBox", true);
    bindEntry();
    setTabOrder(callBox, reportRcvdBox);
    setTabOrder(reportRcvdBox, exchangeBox);
    setTabOrder(exchangeBox, reportSentBox);
    setTabOrder(reportSentBox, powerBox);

    // Message line and its buttons.
    auto *msg = new QHBoxLayout;
    // A long message (a device path, a refusal from the station) is cut short on screen
    // rather than widening the window past the screen; the screen reader hears all of it.
    messageLine = new ElidedLabel;
    messageLine->setObjectName(QStringLiteral("lblDialog"));
    messageLine->setTextFormat(Qt::PlainText);
    messageLine->setAccessibleDescription(QStringLiteral("Message"));
    messageLine->setAutoFillBackground(true);
    messageLine->setStyleSheet(QStringLiteral("QLabel#lblDialog { background: %1; color: black; padding: 2px; }")
                                 .arg(ColourName(0xC0C000)));
    MakeNotification(messageLine);
    clearButton = button("cmdClear", QStringLiteral("&Clear"), QStringLiteral("Clear"));
    partialDupesButton = button("cmdDup", QStringLiteral("On"), QStringLiteral("Partial duplicates"),
                    QStringLiteral("Displaying partial dupes slows the program on older pc's."));
    // The screen reader hears the switch's state, not only its caption.
    partialDupesButton->setCheckable(true);
    partialDupesButton->setChecked(true);
    msg->addWidget(messageLine, 1);
    msg->addWidget(clearButton);
    msg->addWidget(caption(QStringLiteral("Partial dupes")));
    msg->addWidget(partialDupesButton);
    root->addLayout(msg);

    // Prefix lookup results.
    auto *look = new QHBoxLayout;
    countryLabel = valueLabel("Label4", {}, QStringLiteral("Country"));
    continentLabel = valueLabel("Label19", {}, QStringLiteral("Continent"));
    headingLabel = valueLabel("Label22", {}, QStringLiteral("Bearing"));
    distanceLabel = valueLabel("Label23", {}, QStringLiteral("Miles"));
    const std::array<std::pair<QString, QLabel *>, 4> lookups{{
        {QStringLiteral("Country"), countryLabel},
        {QStringLiteral("Continent"), continentLabel},
        {QStringLiteral("Bearing"), headingLabel},
        {QStringLiteral("Miles"), distanceLabel},
    }};
    for (const auto &[cap, l] : lookups) {
        look->addWidget(caption(cap + QLatin1Char(':')));
        look->addWidget(l, cap == QStringLiteral("Country") ? 3 : 1);
    }
    root->addLayout(look);

    // Multiplier grid and score.
    auto *middle = new QHBoxLayout;
    auto *gridBox = new QGroupBox(QStringLiteral("Multipliers worked on current mode:"));
    gridBox->setObjectName(QStringLiteral("fraMultipliers"));
    auto *grid = new QGridLayout(gridBox);
    static const char *const rowNames[8] = {"lblM160", "lblM80", "lblM40", "lblM20",
                                            "lblM15",  "lblM10", "lblM6",  "lblM2"};
    static const char *const headingNames[8] = {"lblSecOne", "Label10", "Label14", "Label26",
                                                "Label27",   "Label28", "Label29", "Label31"};
    for (int b = 0; b < 8; ++b) {
        QLabel *h = valueLabel(headingNames[b], BandCodes()[b], QStringLiteral("Band"));
        h->setAccessibleName(BandCodes()[b] + QStringLiteral(" metres"));
        h->setProperty("gridHeading", true);
        bandHeadings[size_t(b)] = h;
        grid->addWidget(h, b, 0);
        for (int k = 0; k < 13; ++k) {
            auto *l = new QLabel;
            l->setObjectName(QLatin1String(rowNames[b]));
            l->setProperty("index", k);
            l->setProperty("gridCell", true);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(Qt::AlignCenter);
            l->setAccessibleName(MultiplierCellName(ProvinceTable()[size_t(k)].abbreviation, BandCodes()[b], false));
            provinceLabels[size_t(b)][size_t(k)] = l;
            grid->addWidget(l, b, k + 1);
        }
    }
    middle->addWidget(gridBox, 3);

    auto *stats = new QGridLayout;
    contactsLabel = valueLabel("lblTotCon", QStringLiteral("0"), QStringLiteral("Total Contacts"));
    multipliersLabel = valueLabel("lblsectogo", QStringLiteral("0"), QStringLiteral("Total Multipliers"));
    qsoPointsLabel = valueLabel("lblTotSec", QStringLiteral("0"), QStringLiteral("Total QSO Points"));
    scoreLabel = valueLabel("lblTotScore", QStringLiteral("0"), QStringLiteral("Total Score"));
    rate20Label = valueLabel("lblAQSO20", QStringLiteral("0"), QStringLiteral("QSOs / Hr (last 20 min)"));
    rate60Label = valueLabel("lblAQSO60", QStringLiteral("0"), QStringLiteral("QSOs / Hr (last 60 min)"));
    // What the last contact logged changed, heard as it is logged.
    loggedLine = valueLabel("lblLogged", {}, QStringLiteral("Last Logged"));
    MakeNotification(loggedLine);
    // Hidden until the first contact: a blank notification shown with the window is read
    // as an empty "notification".
    QSizePolicy keepPlace = loggedLine->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    loggedLine->setSizePolicy(keepPlace);
    loggedLine->hide();
    const std::array<std::pair<QString, QLabel *>, 6> statRows{{
        {QStringLiteral("Total Contacts ............"), contactsLabel},
        {QStringLiteral("Total Multipliers ..........."), multipliersLabel},
        {QStringLiteral("Total QSO Points ........"), qsoPointsLabel},
        {QStringLiteral("Total Score.................."), scoreLabel},
        {QStringLiteral("QSOs / Hr (last 20 min)"), rate20Label},
        {QStringLiteral("QSOs / Hr (last 60 min)"), rate60Label},
    }};
    for (int i = 0; i < int(statRows.size()); ++i) {
        stats->addWidget(caption(statRows[size_t(i)].first), i, 0);
        statRows[size_t(i)].second->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        statRows[size_t(i)].second->setProperty("stat", true);
        stats->addWidget(statRows[size_t(i)].second, i, 1);
    }
    stats->addWidget(loggedLine, int(statRows.size()), 0, 1, 2);
    auto *statsBox = new QGroupBox(QStringLiteral("Score"));
    statsBox->setLayout(stats);
    middle->addWidget(statsBox, 2);
    root->addLayout(middle, 3);

    // Partial duplicates and recent contacts.
    auto *bottom = new QHBoxLayout;
    auto *dupeCol = new QVBoxLayout;
    dupeLine = valueLabel("lblDupe", {}, QStringLiteral("Possible Duplicates"));
    dupeLine->setWordWrap(true);
    dupeLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    dupeLine->setFrameShape(QFrame::StyledPanel);
    dupeLine->setAutoFillBackground(true);
    MakeNotification(dupeLine);
    dupeCol->addWidget(caption(QStringLiteral("Possible Duplicates")));
    dupeCol->addWidget(dupeLine, 1);
    bottom->addLayout(dupeCol, 1);
    buildSuperCheck(bottom);

    auto *listCol = new QVBoxLayout;
    listModel = new RecentContactsModel(s_.log, this);
    contactList = new QTableView;
    contactList->setObjectName(QStringLiteral("ListView1"));
    contactList->setAccessibleName(QStringLiteral("Recent Contacts"));
    contactList->setToolTip(QStringLiteral("Click record to edit or delete."));
    contactList->setModel(listModel);
    contactList->setSelectionBehavior(QAbstractItemView::SelectRows);
    contactList->setSelectionMode(QAbstractItemView::SingleSelection);
    contactList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Arrows move between contacts; Tab leaves the list for its buttons.
    contactList->setTabKeyNavigation(false);
    contactList->verticalHeader()->hide();
    contactList->horizontalHeader()->setStretchLastSection(true);
    // Calls, countries and times are never cut short, whatever the text size.
    for (int column : {1, 5, 6})
        contactList->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    listCol->addWidget(caption(QStringLiteral("Recent Contacts"), contactList));
    listCol->addWidget(contactList, 1);
    auto *listButtons = new QHBoxLayout;
    listButton = button("cmdList", QStringLiteral("Last 20"), QStringLiteral("Last 20"),
                     QStringLiteral("List all or last 20 contacts (Listing all will slow the program)"));
    editButton = button("cmdEdit", QStringLiteral("Edit Contact"), QStringLiteral("Edit Contact"));
    deleteButton = button("cmdDelete", QStringLiteral("Delete Contact"), QStringLiteral("Delete Contact"));
    listButtons->addWidget(listButton);
    listButtons->addStretch(1);
    listButtons->addWidget(editButton);
    listButtons->addWidget(deleteButton);
    listCol->addLayout(listButtons);
    bottom->addLayout(listCol, 3);
    root->addLayout(bottom, 3);

    // Spot strip: the list or the band map, shown once a spot link is set up.
    spotList = new QTreeWidget;
    spotList->setObjectName(QStringLiteral("txtDX"));
    spotList->setAccessibleName(QStringLiteral("DX Spots"));
    spotList->setRootIsDecorated(false);
    bandMap = new BandMapWidget(s_.spots, [this] { return s_.clock.utcNow(); });
    root->addWidget(spotList, 2);
    root->addWidget(bandMap, 2);
    spotList->hide();
    bandMap->hide();
    connectSpotStrip();

    minuteTimer = new QTimer(this);
    minuteTimer->setObjectName(QStringLiteral("Timer1"));
    minuteTimer->setInterval(60000);
    secondTimer = new QTimer(this);
    secondTimer->setObjectName(QStringLiteral("Timer2"));
    secondTimer->setInterval(1000);

    connect(listButton, &QPushButton::clicked, this, &MainWindow::cmdList_Click);
    connect(editButton, &QPushButton::clicked, this, &MainWindow::cmdEdit_Click);
    connect(deleteButton, &QPushButton::clicked, this, &MainWindow::cmdDelete_Click);
    connect(contactList, &QTableView::clicked, this, [this] { showEditButtons(true); });
    connect(contactList->horizontalHeader(), &QHeaderView::sectionClicked, listModel,
            &RecentContactsModel::sortByColumn);
    contactList->installEventFilter(this);
    contactList->viewport()->installEventFilter(this);

    connect(clearButton, &QPushButton::clicked, this, &MainWindow::cmdClear_Click);
    connect(partialDupesButton, &QPushButton::clicked, this, &MainWindow::cmdDup_Click);
    connect(timeOnButton, &QPushButton::clicked, this, &MainWindow::cmdLogOn_Click);
    connect(minuteTimer, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    connect(secondTimer, &QTimer::timeout, this, &MainWindow::Timer2_Timer);
    const std::array<std::pair<QLineEdit *, TextKind>, 7> kinds{{
        {callBox, TextKind::Call},
        {reportRcvdBox, TextKind::Report},
        {exchangeBox, TextKind::Exchange},
        {reportSentBox, TextKind::Report},
        {powerBox, TextKind::Power},
        {postDateBox, TextKind::Date},
        {postTimeBox, TextKind::Time},
    }};
    for (const auto &[box, kind] : kinds) {
        box->installEventFilter(this);
        // Composed characters would bypass the key rules.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        // Pasted text follows the same rules as typed text; the reports follow the mode.
        const bool report = kind == TextKind::Report;
        FollowTextRules(
            box, kind,
            [this] {
                s_.prompter.beep();
                setDialog(QStringLiteral("Pasted text refused: it holds characters the log cannot store."));
            },
            report ? std::function<int()>([this] { return ReportMaxLength; }) : std::function<int()>());
    }
    for (QLabel *l : {bandLabel, modeLabel})
        l->installEventFilter(this);
    for (QLabel *h : bandHeadings)
        h->installEventFilter(this);
    for (auto &row : provinceLabels)
        for (QLabel *l : row) {
            l->installEventFilter(this);
            // The total is spoken when the pointer moves over a cell, not when a window
            // opening or closing uncovers a pointer resting on it.
            l->setMouseTracking(true);
        }
    central->setMouseTracking(true);
    central->installEventFilter(this);
    AnnounceFocusFirst();
    holdTimer_ = new QTimer(this);
    holdTimer_->setSingleShot(true);
    connect(holdTimer_, &QTimer::timeout, this, &MainWindow::releaseKeys);
    holdClock_.start();
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto menu = [&](QMenu *parent, const char *name, const QString &title) {
        QMenu *m = parent ? parent->addMenu(title) : bar->addMenu(title);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [&](QMenu *m, const char *name, const QString &title, bool enabled = false) {
        QAction *a = m->addAction(title);
        a->setObjectName(QLatin1String(name));
        a->setEnabled(enabled);
        return a;
    };

    QMenu *file = menu(nullptr, "mnuFile", QStringLiteral("&File"));
    connect(item(file, "mnuNew", QStringLiteral("&New"), true), &QAction::triggered, this,
            &MainWindow::mnuNew_Click);
    file->addSeparator();
    connect(item(file, "mnuArchive", QStringLiteral("Archive Current &Log"), true), &QAction::triggered, this,
            &MainWindow::mnuArchive_Click);
    file->addSeparator();
    connect(item(file, "mnuRestore", QStringLiteral("&Restore from Archive or Backup"), true), &QAction::triggered,
            this, &MainWindow::mnuRestore_Click);
    file->addSeparator();
    connect(item(file, "mnuOpen", QStringLiteral("&Open"), true), &QAction::triggered, this,
            &MainWindow::mnuOpen_Click);
    connect(item(file, "mnuWriteSumm", QStringLiteral("&Write Summary File"), true), &QAction::triggered, this,
            &MainWindow::mnuWriteSumm_Click);
    file->addSeparator();
    connect(item(file, "mnuKestroImport", QStringLiteral("E&xport for Kestro Import"), true), &QAction::triggered,
            this, [this] { ExportLogExp(s_, windowTitle()); });
    connect(item(file, "mnuADIF", QStringLiteral("Export &ADIF File"), true), &QAction::triggered, this,
            [this] { ExportAdif(s_, windowTitle()); });
    file->addSeparator();
    connect(item(file, "mnuCopyListtoClipboard", QStringLiteral("&Copy Listed Items to Clipboard"), true),
            &QAction::triggered, this, &MainWindow::mnuCopyListtoClipboard_Click);
    file->addSeparator();
    connect(item(file, "mnuExit", QStringLiteral("&Exit"), true), &QAction::triggered, this,
            &MainWindow::mnuExit_Click);

    QMenu *options = menu(nullptr, "mnuOptions", QStringLiteral("&Options"));
    QMenu *transmit = menu(options, "mnuTransmit", QStringLiteral("&Transmit"));
    connect(item(transmit, "mnuCW", QStringLiteral("&CW Setup"), true), &QAction::triggered, this,
            &MainWindow::mnuCW_Click);
    connect(item(transmit, "mnuVoice", QStringLiteral("&Voice Setup"), true), &QAction::triggered, this,
            &MainWindow::mnuVoice_Click);
    options->addSeparator();
    QMenu *appearance = menu(options, "mnuAppearance", QStringLiteral("&Appearance"));
    connect(item(appearance, "mnuFormSize", QStringLiteral("&Form Size"), true), &QAction::triggered, this,
            &MainWindow::mnuFormSize_Click);
    connect(item(appearance, "mnuColors", QStringLiteral("&Colors"), true), &QAction::triggered, this,
            &MainWindow::mnuColors_Click);
    taskbarAction = item(appearance, "mnuTaskbar", QStringLiteral("&Taskbar"), true);
    taskbarAction->setCheckable(true);
    connect(taskbarAction, &QAction::triggered, this, &MainWindow::mnuTaskbar_Click);
    options->addSeparator();
    connect(item(options, "mnuRigInterface", QStringLiteral("&Rig Interface"), true), &QAction::triggered, this,
            &MainWindow::mnuRigInterface_Click);
    options->addSeparator();
    QMenu *dx = menu(options, "mnuDXSpottingMain", QStringLiteral("&DX Spotting"));
    connect(item(dx, "mnuDXSpotting", QStringLiteral("&Configure"), true), &QAction::triggered, this,
            &MainWindow::mnuDXSpotting_Click);
    connect(item(dx, "mnuViewSpwctrumMap", QStringLiteral("&View Spectrum Map"), true), &QAction::triggered, this,
            &MainWindow::showSpectrumMap);
    connect(item(options, "mnuNetwork", QStringLiteral("&Network"), true), &QAction::triggered, this,
            &MainWindow::mnuNetwork_Click);
    options->addSeparator();
    connect(item(options, "mnuBlind", QStringLiteral("&Voice Navigation"), true), &QAction::triggered, this,
            &MainWindow::mnuBlind_Click);
    options->addSeparator();
    listPreviousAction = item(options, "mnuListPrevious", QStringLiteral("&List Previous Contacts"), true);
    listPreviousAction->setCheckable(true);
    connect(listPreviousAction, &QAction::triggered, this, &MainWindow::mnuListPrevious_Click);
    options->addSeparator();
    postContestAction = item(options, "mnuPostContest", QStringLiteral("&Post Contest Mode"), true);
    postContestAction->setCheckable(true);
    connect(postContestAction, &QAction::triggered, this, &MainWindow::mnuPostContest_Click);

    // A top-level entry with no sub-menu is an action on the bar itself.
    QAction *setup = bar->addAction(QStringLiteral("&Setup"));
    setup->setObjectName(QStringLiteral("mnuSetup"));
    connect(setup, &QAction::triggered, this, &MainWindow::mnuSetup_Click);

    QMenu *band = menu(nullptr, "mnuBand", QStringLiteral("&Band"));
    for (int b = 0; b < 8; ++b) {
        const QByteArray name = "mnuBand" + BandCodes()[b].toLatin1() + "Ch";
        bandActions[size_t(b)] = item(band, name.constData(), BandCodes()[b], true);
        bandActions[size_t(b)]->setCheckable(true);
        connect(bandActions[size_t(b)], &QAction::triggered, this, [this, b] { SelectBand(b); });
    }
    band->addSeparator();
    connect(item(band, "mnuPrivileges", QStringLiteral("&Privileges"), true), &QAction::triggered, this,
            &MainWindow::mnuPrivileges_Click);

    QMenu *mode = menu(nullptr, "mnuMode", QStringLiteral("&Mode"));
    cwAction = item(mode, "mnu160", QStringLiteral("&CW"), true);
    phoneAction = item(mode, "mnuSSB", QStringLiteral("&PH"), true);
    cwAction->setCheckable(true);
    phoneAction->setCheckable(true);
    connect(cwAction, &QAction::triggered, this, &MainWindow::selectCw);
    connect(phoneAction, &QAction::triggered, this, &MainWindow::selectPhone);

    QAction *graph = bar->addAction(QStringLiteral("&Graph"));
    graph->setObjectName(QStringLiteral("mnuGraph"));
    connect(graph, &QAction::triggered, this, &MainWindow::mnuGraph_Click);
    QAction *help = bar->addAction(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(help, &QAction::triggered, this, &MainWindow::mnuHelp_Click);
}

void MainWindow::mnuHelp_Click()
{
    HelpWindow help(s_.folders, this);
    showModal(help);
    callBox->setFocus();
}

void MainWindow::applyScreenFonts()
{
    // Everything grows with the screen and the form size, in the design's proportions.
    const int base = ScreenFontPixels(ScreenHeight(), s_.prefs.FormSizePercent);
    QFont f = font();
    f.setPixelSize(base);
    setFont(f);
    // A style sheet stops fonts from passing down to children: each control of this
    // window gets the size itself (dialogs and menus are windows of their own).
    for (QWidget *w : findChildren<QWidget *>())
        if (w->window() == this)
            w->setFont(f);
    const int big = base * 2;
    setStyleSheet(QStringLiteral(
                      "#Form1Central QLineEdit[entryBox=\"true\"] { font-size: %1px; font-weight: bold; padding: 4px; }"
                      "#Form1Central QLabel#Label2, #Form1Central QLabel#Label25, #Form1Central QLabel#Label24, #Form1Central QLabel#Label30, #Form1Central QLabel#lblRigFreq { font-size: %2px; font-weight: bold; }"
                      "#Form1Central QLabel#lblutctime, #Form1Central QLabel#lblCurTime, #Form1Central QLabel#lblttrack { font-size: %2px; }"
                      "#Form1Central QLabel#lblDialog { font-size: %2px; }"
                      "#Form1Central QLabel#Label4 { font-size: %2px; font-weight: bold; }"
                      "#Form1Central QLabel[gridCell=\"true\"] { font-size: %3px; font-weight: bold; }"
                      "#Form1Central QLabel[gridHeading=\"true\"] { font-size: %3px; font-weight: bold; }"
                      "#Form1Central QLabel[stat=\"true\"] { font-size: %3px; font-weight: bold; }")
                      .arg(big)
                      .arg(base * 3 / 2)
                      .arg(base * 5 / 4));
    messageLine->setStyleSheet(messageLine->styleSheet());
    PadButtons(this, base);
    // Rows as tall as the text they hold.
    contactList->verticalHeader()->setDefaultSectionSize(QFontMetrics(contactList->font()).height() * 3 / 2);
}

void MainWindow::paintProvinceLabels(quint32 colour)
{
    const QString style = QStringLiteral("color: %1;").arg(ColourName(colour));
    for (int b = 0; b < 8; ++b)
        for (int k = 0; k < 13; ++k) {
            QLabel *l = provinceLabels[size_t(b)][size_t(k)];
            l->setStyleSheet(style);
            const QString name = MultiplierCellName(ProvinceTable()[size_t(k)].abbreviation, BandCodes()[b], false);
            if (l->accessibleName() != name)
                l->setAccessibleName(name);
        }
}

void MainWindow::Form_Load()
{
    spareLabel->hide();
    s_.prefs.FormSizePercent = 100;
    ApplyFormSize();
    messageLine->setText(QString::fromLatin1(kFirstPrompt));
    SetupSpotList(spotList, width());
    for (int b = 0; b < 8; ++b)
        for (int k = 0; k < 13; ++k) {
            QLabel *l = provinceLabels[size_t(b)][size_t(k)];
            l->setText(ProvinceTable()[size_t(k)].abbreviation);
            l->setToolTip(ProvinceTable()[size_t(k)].name);
            l->setAccessibleName(ProvinceTable()[size_t(k)].abbreviation + QLatin1Char(' ') +
                                 BandCodes()[b]);
        }
    PartialDupesOn = true;

    // The rest of the start is skipped, but the log is still read: the window must never
    // work on a log it has not loaded, or the next rewrite would drop its contacts.
    auto loadFailed = [&](const QString &what) {
        // A log that cannot be read ends the program with its own message.
        if (!mnuOpen2())
            return;
        s_.prompter.message(QStringLiteral("Error opening file\n\n") + what +
                                QStringLiteral("\n\nYour log has been loaded and contacts you log now are kept. "
                                               "Correct that value in %1 (in %2) with a text editor, or delete "
                                               "the file to start again with default settings; then restart "
                                               "the program.")
                                    .arg(kPreferenceFile, QDir::toNativeSeparators(s_.folders.StartDir)),
                            QStringLiteral("Error opeining file"), PromptIcon::Exclamation);
        callBox->setFocus();
    };
    QString error;
    std::optional<QByteArray> prefData = ReadWholeFile(s_.prefPath(), &error);
    if (!prefData)
        return loadFailed(QStringLiteral("%1 could not be read: %2.").arg(kPreferenceFile, error));
    Preferences loaded = s_.prefs;
    const PreferenceReadResult pr = ParsePreferences(*prefData, loaded);
    if (!pr.ok) {
        // Keep what was read before the bad value, as the load did.
        s_.prefs = loaded;
        return loadFailed(QStringLiteral("%1, line %2: %3 (%4 expected here).")
                              .arg(kPreferenceFile)
                              .arg(pr.position.line)
                              .arg(pr.error, PreferenceMeaning(pr.position.value)));
    }
    s_.prefs = loaded;
    listPreviousAction->setChecked(s_.prefs.ListPreviousOn == 1);
    if (s_.prefs.FormSizePercent < 100)
        ApplyFormSize();

    CheckUtcOffset();

    const bool cw = s_.prefs.CurrentMode.compare(QStringLiteral("CW"), Qt::CaseInsensitive) == 0;
    modeLabel->setText(s_.prefs.CurrentMode);
    cwAction->setChecked(cw);
    phoneAction->setChecked(!cw);
    ReportMaxLength = cw ? 3 : 2;
    for (int b = 0; b < 8; ++b) {
        const bool on = BandCodes()[b].compare(s_.prefs.CurrentBand.trimmed(), Qt::CaseInsensitive) == 0;
        bandActions[size_t(b)]->setChecked(on);
        if (on)
            bandLabel->setText(BandCodes()[b]);
    }

    LoadPrefixTable(s_.prefixes, s_.folders.SharedFolder, s_.folders.ProgramDataFolder, s_.folders.StartDir);
    StartMasterCalls();

    mnuSetup_Click();
    AskContinueLog();
    if (s_.ended)
        return;
    ShowOperatingTime();
    // The voice keyer's settings, then the CW settings and the taskbar option.
    station_.keying().loadVoiceSettings();
    station_.keying().loadCwSettings();
    taskbarAction->setChecked(s_.prefs.TaskbarMode == 1);
    ApplyFormSize();
    minuteTimer->start();
    secondTimer->start();
    Timer2_Timer();
    StartRigLink();
    StartSpotLinks();
    callBox->setFocus();
}

void MainWindow::mnuSetup_Click()
{
    StationWindow w(s_, this);
    showModal(w);
    if (w.result() == QDialog::Accepted) {
        Preferences &p = s_.prefs;
        p.MyCall = w.Text1->text();
        p.MyProvince = w.Text5->text();
        p.UtcOffsetHours = NumericValue(w.Text6->text());
        p.MyCountry = w.Text2->text();
        p.MyLongitude = NumericValue(w.Text3->text());
        p.MyLatitude = NumericValue(w.Text4->text());
        p.MyContinent = w.Text7->text();
        p.MyPowerClass = w.Text8->text();
        p.InCanada = w.Check1->isChecked() ? 1 : 0;
    }
    ownCallLabel->setText(s_.prefs.MyCall);
    s_.entry.refreshExchangeSent();
    showExchangeSent(s_.entry.exchangeSent());
    SavePref();
}

bool MainWindow::SavePref()
{
    QString error;
    if (WriteFileAtomic(s_.prefPath(), FormatPreferences(s_.prefs), &error))
        return true;
    s_.prompter.message(QStringLiteral("Your settings could not be saved to %1 (%2). They stay in effect "
                                       "until the program ends.")
                            .arg(kPreferenceFile, error),
                        QStringLiteral("Settings Not Saved"), PromptIcon::Exclamation);
    return false;
}

void MainWindow::NextSerialSent()
{
    s_.entry.refreshExchangeSent();
}

void MainWindow::AskContinueLog()
{
    const bool yes = s_.prompter.askYesNo(
        QStringLiteral("Do you want to continue an existing contest? (Yes opens your existing log, No "
                       "erases any existing log and starts a new log.)"),
        QStringLiteral("Open existing log?"), PromptIcon::Question);
    if (yes)
        mnuOpen2();
    else
        StartNewLog();
    if (s_.ended)
        return;
    editButton->hide();
    deleteButton->hide();
}

bool MainWindow::mnuOpen2()
{
    ContactLog &log = s_.log;
    std::vector<ContactRecord> records;
    const LogReadResult r = ReadLogFile(s_.logPath(), records);
    if (!r.ok) {
        log.setRecords({});
        s_.prompter.message(fileErrorText(), QStringLiteral("File Error"), PromptIcon::None,
                            QStringLiteral("log.txt, record %1, line %2, column %3: %4")
                                .arg(r.record)
                                .arg(r.position.line)
                                .arg(r.position.column)
                                .arg(r.error));
        endProgram(1);
        return false;
    }
    log.setRecords(std::move(records));
    if (log.BackupBaseline == 0)
        log.BackupBaseline = log.RecordCount();
    return true;
}

bool MainWindow::LogContact(const ContactRecord &record)
{
    if (s_.log.RecordCount() >= kLogCapacity) {
        s_.prompter.message(QStringLiteral("The log is full: it holds %1 contacts, the most this program "
                                           "can keep. This contact was not logged.")
                                .arg(kLogCapacity),
                            QStringLiteral("Log Full"), PromptIcon::Exclamation);
        return false;
    }
    QString error;
    if (!s_.storeContact(record, &error)) {
        s_.prompter.message(QStringLiteral("This contact could not be written to log.txt (%1). It was not "
                                           "logged and is still in the entry boxes; free some disk space "
                                           "or check the folder, then press Enter again.")
                                .arg(error),
                            QStringLiteral("Contact Not Logged"), PromptIcon::Critical);
        return false;
    }
    return true;
}

void MainWindow::LookupPrefix()
{
    countryLabel->setText(s_.entry.country());
    continentLabel->setText(s_.entry.continent());
    headingLabel->setText(s_.entry.heading());
    distanceLabel->setText(s_.entry.distance());
}

void MainWindow::bindEntry()
{
    ContactEntry &entry = s_.entry;
    // What is typed goes to the entry; the rules' answers come back to the boxes and labels.
    connect(callBox, &QLineEdit::textChanged, &entry, &ContactEntry::setCall);
    connect(reportRcvdBox, &QLineEdit::textChanged, &entry, &ContactEntry::setReportRcvd);
    connect(exchangeBox, &QLineEdit::textChanged, &entry, &ContactEntry::setExchange);
    connect(reportSentBox, &QLineEdit::textChanged, &entry, &ContactEntry::setReportSent);
    connect(powerBox, &QLineEdit::textChanged, &entry, &ContactEntry::setPower);
    connect(&entry, &ContactEntry::exchangeChanged, this, [this](const QString &t) {
        if (exchangeBox->text() != t)
            exchangeBox->setText(t);
    });
    // A spot chosen on the band map or in the list puts its call in the entry.
    connect(&entry, &ContactEntry::callChanged, this, [this](const QString &t) {
        if (callBox->text() != t)
            callBox->setText(t);
    });
    connect(&entry, &ContactEntry::lookupChanged, this, &MainWindow::LookupPrefix);
    connect(&entry, &ContactEntry::exchangeSentChanged, this, &MainWindow::showExchangeSent);
}

void MainWindow::followLog()
{
    ContactLog &log = s_.log;
    // Whatever changed the log (the keyboard, an edit, a peer), every view shows it.
    connect(&log, &ContactLog::added, this, [this](int n) {
        listModel->refresh();
        if (!IsNumeric(s_.log.record(n).ExchangeRcvd))
            ShowWorkedMultipliers();
        logViewsChanged();
    });
    auto all = [this] {
        listModel->refresh();
        paintProvinceLabels(s_.prefs.UnworkedMultColour);
        ShowWorkedMultipliers();
        logViewsChanged();
    };
    connect(&log, &ContactLog::changed, this, all);
    connect(&log, &ContactLog::removed, this, all);
    connect(&log, &ContactLog::reloaded, this, all);
}

void MainWindow::logViewsChanged()
{
    Labeldisplay();
    markSpots();
    // A commit shows the rates once, at its end, whatever it logged.
    if (inMains_)
        return;
    TimeStats();
    // A contact logged elsewhere may make the call being typed a partial duplicate.
    if (PartialDupesOn && !callBox->text().isEmpty()) {
        const QString list = PartialDupeList(s_.log, callBox->text(), s_.prefs.CurrentBand, s_.prefs.CurrentMode);
        if (list != dupeLine->text())
            setDupeList(list, !list.isEmpty());
    }
}

void MainWindow::StartNewLog()
{
    if (refuseWhileShared(QStringLiteral("Starting a new log")))
        return;
    const std::optional<QString> answer = s_.prompter.input(
        QStringLiteral("Are you sure that you want to start a new log file?  This function will ERASE the "
                       "existing log file!\n\nTo verify that you want to start a new log file, please type: YES"),
        QStringLiteral("WARNING - Your existing log file will be ERASED!"));
    if (answer && answer->toUpper() == QStringLiteral("YES")) {
        QString error;
        // No log is erased without a copy of every contact in it.
        if (!BackupBeforeErase(s_, &error)) {
            s_.prompter.message(QStringLiteral("A new log was not started: your existing log could not be "
                                               "copied to the backup folder first (%1). The existing log is "
                                               "kept as it was.")
                                    .arg(error),
                                QStringLiteral("New Log Not Started"), PromptIcon::Exclamation);
        } else if (!WriteFileAtomic(s_.logPath(), QByteArray(), &error)) {
            s_.prompter.message(QStringLiteral("A new log could not be started: log.txt could not be "
                                               "written (%1). The existing log is kept.")
                                    .arg(error),
                                QStringLiteral("New Log Not Started"), PromptIcon::Exclamation);
        } else {
            s_.log.setRecords({});
            s_.RunningSeconds = 0;
            s_.prefs.OperatingSeconds = 0;
            SavePref();
        }
    }
    ShowOperatingTime();
    mnuOpen2();
}

void MainWindow::mnuNew_Click()
{
    StartNewLog();
    TimeStats();
}

void MainWindow::mnuOpen_Click()
{
    mnuOpen2();
}

void MainWindow::ShowOperatingTime()
{
    s_.RunningSeconds = s_.prefs.OperatingSeconds;
    operatingTimeLabel->setText(OperatingTimeText(s_.RunningSeconds));
}

void MainWindow::stopOperatingClock()
{
    if (!s_.TimeOnActive)
        return;
    s_.prefs.OperatingSeconds = s_.RunningSeconds;
    SavePref();
    s_.TimeOnActive = false;
}

void MainWindow::mnuExit_Click()
{
    stopOperatingClock();
    endProgram(0);
}

void MainWindow::endProgram(int code)
{
    s_.ended = true;
    if (s_.endProgram)
        s_.endProgram(code);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (s_.ended) {
        event->accept();
        return;
    }
    // A message on the air: this close stops it after the current character; the next
    // close goes through.
    if (!keying().mayClose()) {
        event->ignore();
        return;
    }
    station_.stop();
    Form_Unload();
    Form_Terminate();
    event->accept();
}

void MainWindow::Form_Unload()
{
    // The log itself is safe; the operator should still know the copy is missing.
    QString error;
    if (!Backup(s_, &error) && !error.isEmpty())
        s_.prompter.message(QStringLiteral("The automatic backup copy of log.txt could not be made (%1). Your log "
                                           "itself is unchanged in %2; copy it somewhere safe.")
                                .arg(error, QDir::toNativeSeparators(s_.folders.StartDir)),
                            QStringLiteral("Backup Not Made"), PromptIcon::Exclamation);
}

void MainWindow::Form_Terminate()
{
    stopOperatingClock();
    s_.ended = true;
}

}  // namespace zev
