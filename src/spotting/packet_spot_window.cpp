#include "spotting/packet_spot_window.h"

#include "common/file_io.h"
#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"
#include "rig/port_map.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"
#include "spotting/spot_service_device.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace zev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTwoBreaks = QStringLiteral("\r\n\r\n");

const char *const kIntro[] = {
    "Use this form to configure your DX spotting options.  After you make your selections, a list or band map "
    "will display on the main form (as selected here) to keep you updated on the latest packet spots.",
    "The list will show the last 2-3 posts on the main form depending on your screen size.  The band map will "
    "display the prefixes posted for your current band.  To see the whole call and frequency, move your mouse "
    "over the prefix and observe either the tool tip or the Possible Duplicates box.",
    "The program keeps the last 50 DX posts regardless of band in memory. Your band map will cycle through these "
    "posts as they are received.  Posts received within the last 10 minutes will be yellow; posts 10-30 minutes "
    "old will be white and posts 30-60 minutes old will be gray.",
    "If you are using the program's rig control features, you can right click any spot displayed on the main "
    "form's band map or HF spectrum map to tune your rig to the spot frequency. Right clicking will not change "
    "frequency when displaying the DX spots in list mode."};
const char *const kTelnetHelp =
    "If you have an Internet connection (either telephone line or high speed), the Telnet option is very easy to "
    "implement.  Just connect to the Internet by your regular ISP and click Open on this form.  Type your call "
    "sign when prompted and press enter.";
const char *const kTncHelp[] = {
    "To use a Packet TNC, you will have to check your modem documentation for the proper serial port settings.  "
    "Use either Crtl C or the Esc key to send the Hex character to put your TNC in command mode (you do not have "
    "to press enter to send the Hex character).  Otherwise, just type and press enter to send text.",
    "One nice feature with the packet option is that you don't actually have to connect to another packet "
    "station.  Just click the DX Only check box so that only packets identified as DX will be displayed.  As "
    "long as DX posts are being transmitted the software will check recent posts to eliminate duplicate posts.  "
    "Even if you are connected, it is a good idea to check this box to eliminate miscellaneous comments, etc."};
const char *const kClosing1 =
    "When you have configured your DX spotting options, click Open to initiate the communication.  Then click "
    "Done to return to the main form.";
const char *const kClosing2 =
    "If the list is being displayed on the main form, you can click on it to quickly return to this form.  To "
    "return the main form to the original display, select None from the spotting options.";
const char *const kHardware =
    "This code was developed and tested with a Kantronics KPC3+ TNC.  I look forward to hearing about your "
    "experiences with different hardware.";

QString AgwHelp()
{
    return QStringLiteral("This program will also interface with the AGW Packet Engine.  The AGW Packet engine "
                          "will interface with your existing sound card (or TNC including Baypac) to send and "
                          "receive Packet.  To use the AGW Packet Engine:") +
           kTwoBreaks + QStringLiteral("- Download the freely available software from ") +
           QLatin1String(kAgwEngineSource) + kTwoBreaks +
           QStringLiteral("- Run the Packet Engine software and configure it as described on the AGW Packet "
                          "Engine website for your sound card or TNC.") +
           kTwoBreaks + QStringLiteral("- Click Open from this program.") + kTwoBreaks +
           QStringLiteral("To send a connect request using the AGW packet engine, type in the format of") +
           kTwoBreaks + QStringLiteral(":C Velko     or to disconnect :D") + kTwoBreaks +
           QStringLiteral("and press enter (you can also use the Esc key to add a colon).") + kTwoBreaks;
}

}  // namespace

PacketSpotWindow::PacketSpotWindow(Session &session, SpotService &spots, QWidget *parent)
    : QWidget(parent, Qt::Window), s_(session), spots_(spots)
{
    setObjectName(QStringLiteral("PacketSpotfrm"));
    setWindowTitle(QStringLiteral(" DX Spotting Setup"));
    runModal = [](QDialog &d) { d.exec(); };

    auto label = [this](QLabel *&l, const char *name, const QString &text) {
        l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
    };
    auto radio = [this](const char *name, const QString &caption, const QString &accessible) {
        auto *r = new QRadioButton(caption, this);
        r->setObjectName(QLatin1String(name));
        r->setAccessibleName(accessible);
        return r;
    };
    auto button = [this](QPushButton *&b, const char *name, const QString &caption) {
        b = MakeButton(name, caption);
        b->setParent(this);
    };
    auto box = [this](QLineEdit *&e, const char *name, const QString &accessible, int maxLength) {
        e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(accessible);
        if (maxLength > 0)
            e->setMaxLength(maxLength);
    };
    auto group = [this](QGroupBox *&g, const char *name, const QString &caption) {
        g = new QGroupBox(caption, this);
        g->setObjectName(QLatin1String(name));
    };

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Select Option"));
    label(Label1, "Label1", QStringLiteral("Select Option:"));
    Label1->setBuddy(List1);

    group(Frame2, "Frame2", QStringLiteral("Main Form Display"));
    OptBand = radio("OptBand", QStringLiteral("Band Map"), QStringLiteral("Band Map"));
    OptList = radio("OptList", QStringLiteral("List"), QStringLiteral("List"));
    OptBand->setChecked(true);
    {
        auto *l = new QVBoxLayout(Frame2);
        l->addWidget(OptBand);
        l->addWidget(OptList);
    }
    chkDX = new QCheckBox(QStringLiteral("List DX Only (also controls main form)"), this);
    chkDX->setObjectName(QStringLiteral("chkDX"));
    chkDX->setAccessibleName(QStringLiteral("List DX Only (also controls main form)"));
    connect(chkDX, &QCheckBox::toggled, &spots_, &SpotService::setDxOnly);

    box(txtTelnetHost, "txtTelnetHost", QStringLiteral("Telnet Host"), 0);
    box(txtTelnetPort, "txtTelnetPort", QStringLiteral("Telnet Port"), 5);
    // Room for a whole host name and port as typed.
    txtTelnetHost->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    txtTelnetPort->setMinimumWidth(fontMetrics().averageCharWidth() * 8);
    txtTelnetPort->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
    label(Label7, "Label7", QStringLiteral("Telnet Host:"));
    label(Label3, "Label3", QStringLiteral("Telnet Port:"));
    Label7->setBuddy(txtTelnetHost);
    Label3->setBuddy(txtTelnetPort);
    box(txtHex, "txtHex", QStringLiteral("TNC cmd mode hex character"), 2);
    label(Label2, "Label2", QStringLiteral("TNC cmd mode hex character:"));
    Label2->setBuddy(txtHex);
    // Where the packet engine listens: another port, or another computer.
    box(txtAgwHost, "txtAgwHost", QStringLiteral("AGW Host"), 0);
    box(txtAgwPort, "txtAgwPort", QStringLiteral("AGW Port"), 5);
    txtAgwHost->setMinimumWidth(fontMetrics().averageCharWidth() * 28);
    txtAgwPort->setMinimumWidth(fontMetrics().averageCharWidth() * 8);
    txtAgwPort->setMaximumWidth(fontMetrics().averageCharWidth() * 12);
    label(lblAgwHost, "lblAgwHost", QStringLiteral("AGW Host:"));
    label(lblAgwPort, "lblAgwPort", QStringLiteral("AGW Port:"));
    lblAgwHost->setBuddy(txtAgwHost);
    lblAgwPort->setBuddy(txtAgwPort);
    txtAgwHost->setText(spots_.agwHost);
    txtAgwPort->setText(QString::number(spots_.agwPort));
    group(fraClusterLogin, "fraClusterLogin", QStringLiteral("Cluster Log-in"));
    {
        auto *g = new QGridLayout(fraClusterLogin);
        txtClusterLogin = new QLineEdit(fraClusterLogin);
        txtClusterLogin->setObjectName(QStringLiteral("txtClusterLogin"));
        txtClusterLogin->setAccessibleName(QStringLiteral("Log-in Call"));
        txtClusterLogin->setAccessibleDescription(QStringLiteral("Sent when the cluster asks for a call; empty sends "
                                                                 "your own call"));
        lblClusterLogin = new QLabel(QStringLiteral("Log-in Call:"), fraClusterLogin);
        lblClusterLogin->setObjectName(QStringLiteral("lblClusterLogin"));
        lblClusterLogin->setBuddy(txtClusterLogin);
        txtClusterCommands = new QPlainTextEdit(fraClusterLogin);
        txtClusterCommands->setObjectName(QStringLiteral("txtClusterCommands"));
        txtClusterCommands->setAccessibleName(QStringLiteral("Start-up Commands"));
        txtClusterCommands->setAccessibleDescription(QStringLiteral("One command a line, sent after the log-in call"));
        txtClusterCommands->setTabChangesFocus(true);
        txtClusterCommands->setMaximumHeight(fontMetrics().lineSpacing() * 5);
        lblClusterCommands = new QLabel(QStringLiteral("Start-up Commands:"), fraClusterLogin);
        lblClusterCommands->setObjectName(QStringLiteral("lblClusterCommands"));
        lblClusterCommands->setBuddy(txtClusterCommands);
        chkReconnect = new QCheckBox(QStringLiteral("Reconnect Automatically"), fraClusterLogin);
        chkReconnect->setObjectName(QStringLiteral("chkReconnect"));
        chkReconnect->setAccessibleName(QStringLiteral("Reconnect Automatically"));
        g->addWidget(lblClusterLogin, 0, 0);
        g->addWidget(txtClusterLogin, 0, 1);
        g->addWidget(lblClusterCommands, 1, 0, 1, 2);
        g->addWidget(txtClusterCommands, 2, 0, 1, 2);
        g->addWidget(chkReconnect, 3, 0, 1, 2);
    }
    chkConvToHex = new QCheckBox(QStringLiteral("Convert to Hex"), this);
    chkConvToHex->setObjectName(QStringLiteral("chkConvToHex"));
    chkConvToHex->setAccessibleName(QStringLiteral("Convert to Hex"));
    chkConvToHex->setEnabled(false);

    group(fraPort, "fraPort", QStringLiteral("Comm Port"));
    {
        auto *g = new QGridLayout(fraPort);
        auto *bg = new QButtonGroup(fraPort);
        for (int k = 0; k < 10; ++k) {
            optComm[size_t(k)] = radio("optComm", QString::number(k + 1), QStringLiteral("Comm Port %1").arg(k + 1));
            optComm[size_t(k)]->setProperty("index", k);
            bg->addButton(optComm[size_t(k)]);
            g->addWidget(optComm[size_t(k)], k / 5, k % 5);
        }
        button(cmdPorts, "cmdPorts", QStringLiteral("Serial &Ports..."));
        g->addWidget(cmdPorts, 2, 0, 1, 5);
    }
    auto options = [&](QGroupBox *g, std::initializer_list<QRadioButton *> list) {
        auto *l = new QHBoxLayout(g);
        auto *bg = new QButtonGroup(g);
        for (QRadioButton *r : list) {
            bg->addButton(r);
            l->addWidget(r);
        }
    };
    group(fraBaud, "fraBaud", QStringLiteral("Baud Rate of Com Port to TNC (not necessarily transmitted baud rate)"));
    optBaud12 = radio("optBaud12", QStringLiteral("1.2k"), QStringLiteral("Baud 1.2k"));
    optBaud24 = radio("optBaud24", QStringLiteral("2.4k"), QStringLiteral("Baud 2.4k"));
    optBaud48 = radio("optBaud48", QStringLiteral("4.8k"), QStringLiteral("Baud 4.8k"));
    optBaud96 = radio("optBaud96", QStringLiteral("9.6k"), QStringLiteral("Baud 9.6k"));
    optBaud144 = radio("optBaud144", QStringLiteral("14.4k"), QStringLiteral("Baud 14.4k"));
    optBaud192 = radio("optBaud192", QStringLiteral("19.2k"), QStringLiteral("Baud 19.2k"));
    options(fraBaud, {optBaud12, optBaud24, optBaud48, optBaud96, optBaud144, optBaud192});
    group(fraParity, "fraParity", QStringLiteral("Parity"));
    optParityOdd = radio("optParityOdd", QStringLiteral("Odd"), QStringLiteral("Parity Odd"));
    optParityNone = radio("optParityNone", QStringLiteral("None"), QStringLiteral("Parity None"));
    optParityEven = radio("optParityEven", QStringLiteral("Even"), QStringLiteral("Parity Even"));
    options(fraParity, {optParityOdd, optParityNone, optParityEven});
    group(fraData, "fraData", QStringLiteral("Data Bits"));
    optData7 = radio("optData7", QStringLiteral("7"), QStringLiteral("Data Bits 7"));
    optData8 = radio("optData8", QStringLiteral("8"), QStringLiteral("Data Bits 8"));
    options(fraData, {optData7, optData8});
    group(fraStop, "fraStop", QStringLiteral("Stop Bits"));
    optStop1 = radio("optStop1", QStringLiteral("1"), QStringLiteral("Stop Bits 1"));
    optStop2 = radio("optStop2", QStringLiteral("2"), QStringLiteral("Stop Bits 2"));
    options(fraStop, {optStop1, optStop2});
    group(fraPower, "fraPower", QStringLiteral("Connection Power"));
    optPowerNone = radio("optPowerNone", QStringLiteral("None"), QStringLiteral("Connection Power None"));
    optPowerRTS = radio("optPowerRTS", QStringLiteral("RTS"), QStringLiteral("Connection Power RTS"));
    optPowerDTR = radio("optPowerDTR", QStringLiteral("DTR"), QStringLiteral("Connection Power DTR"));
    options(fraPower, {optPowerNone, optPowerRTS, optPowerDTR});
    group(Frame1, "Frame1", QStringLiteral("Handshaking"));
    {
        const char *names[] = {"Option1", "Option2", "Option3", "Option4"};
        const char *captions[] = {"None", "Xon Xoff", "RTS", "RTS OnOff"};
        for (int k = 0; k < 4; ++k)
            Option[size_t(k)] = radio(names[k], QLatin1String(captions[k]),
                                      QStringLiteral("Handshaking ") + QLatin1String(captions[k]));
        options(Frame1, {Option[0], Option[1], Option[2], Option[3]});
    }
    selectSerialOptions(spots_.settings());
    for (QGroupBox *g : {fraPort, fraBaud, fraParity, fraData, fraStop, fraPower, Frame1})
        for (QRadioButton *r : g->findChildren<QRadioButton *>())
            connect(r, &QRadioButton::clicked, this, &PacketSpotWindow::SerialOptionClick);

    button(Command1, "Command1", QStringLiteral("Open Port"));
    button(Command2, "Command2", QStringLiteral("Close Port"));
    button(Command3, "Command3", QStringLiteral("&Spot Last"));
    button(cmdDone, "cmdDone", QStringLiteral("&Done"));
    label(Label4, "Label4", QStringLiteral("Listening"));
    Label4->setAccessibleDescription(QStringLiteral("Spot link"));
    MakeNotification(Label4);
    Label4->hide();
    label(lblLinkState, "lblLinkState", QString());
    lblLinkState->setAccessibleDescription(QStringLiteral("Spot link"));
    MakeNotification(lblLinkState);
    label(Label6, "Label6", QStringLiteral("Type text to send and press enter:"));
    // The prompts and states differ in length per link: they wrap rather than widen the
    // window past the screen.
    Label6->setWordWrap(true);
    lblLinkState->setWordWrap(true);
    // A state may carry a long word from outside (a call, a host): it is cut, never widens.
    lblLinkState->setSizePolicy(QSizePolicy::Ignored, lblLinkState->sizePolicy().verticalPolicy());
    box(txtSent, "txtSent", QStringLiteral("Text to send"), 0);
    Label6->setBuddy(txtSent);
    txtUnProcessed = new QPlainTextEdit(this);
    txtUnProcessed->setObjectName(QStringLiteral("txtUnProcessed"));
    txtUnProcessed->setAccessibleName(QStringLiteral("Received text"));
    txtUnProcessed->setReadOnly(true);
    txtUnProcessed->setUndoRedoEnabled(false);
    txtUnProcessed->setFont(QFont(QStringLiteral("Monospace")));
    txtUnProcessed->setMinimumHeight(200);

    // Layout.
    auto *root = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(List1);
    left->addWidget(Frame2);
    left->addWidget(chkDX);
    // Host names under their labels, short values beside theirs: the column stays narrow
    // enough for the window to fit a 1600 pixel screen with large text.
    auto *telnetRow = new QGridLayout;
    telnetRow->addWidget(Label7, 0, 0, 1, 2);
    telnetRow->addWidget(txtTelnetHost, 1, 0, 1, 2);
    telnetRow->addWidget(Label3, 2, 0);
    telnetRow->addWidget(txtTelnetPort, 2, 1);
    telnetRow->addWidget(Label2, 3, 0);
    telnetRow->addWidget(txtHex, 3, 1);
    telnetRow->addWidget(lblAgwHost, 4, 0, 1, 2);
    telnetRow->addWidget(txtAgwHost, 5, 0, 1, 2);
    telnetRow->addWidget(lblAgwPort, 6, 0);
    telnetRow->addWidget(txtAgwPort, 6, 1);
    left->addLayout(telnetRow);
    left->addWidget(fraClusterLogin);
    left->addWidget(chkConvToHex);
    left->addStretch(1);
    // The settings columns keep their narrowest width: what room there is goes to the
    // received text, whose lines are the longest.
    auto *leftColumn = new QWidget(this);
    leftColumn->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    root->addWidget(leftColumn);
    auto *serial = new QVBoxLayout;
    for (QGroupBox *g : {fraPort, fraBaud, fraParity, fraData, fraStop, fraPower, Frame1})
        serial->addWidget(g);
    serial->addStretch(1);
    auto *serialColumn = new QWidget(this);
    serialColumn->setLayout(serial);
    serial->setContentsMargins(0, 0, 0, 0);
    root->addWidget(serialColumn);
    auto *right = new QVBoxLayout;
    // Two by two: in one row the buttons alone would make the window wider than a small screen.
    auto *buttons = new QGridLayout;
    buttons->addWidget(Command1, 0, 0);
    buttons->addWidget(Command2, 0, 1);
    buttons->addWidget(Command3, 1, 0);
    buttons->addWidget(cmdDone, 1, 1);
    right->addLayout(buttons);
    auto *state = new QHBoxLayout;
    state->addWidget(Label4);
    state->addWidget(lblLinkState, 1);
    right->addLayout(state);
    right->addWidget(Label6);
    right->addWidget(txtSent);
    right->addWidget(txtUnProcessed, 1);
    root->addLayout(right, 1);

    // Behaviour.
    connect(List1, &QListWidget::currentTextChanged, this, &PacketSpotWindow::List1_Click);
    connect(Command1, &QPushButton::clicked, this, &PacketSpotWindow::Open);
    connect(Command2, &QPushButton::clicked, this, &PacketSpotWindow::Close);
    connect(Command3, &QPushButton::clicked, this, &PacketSpotWindow::SpotLast);
    connect(cmdDone, &QPushButton::clicked, this, &PacketSpotWindow::Done);
    connect(cmdPorts, &QPushButton::clicked, this, [this] {
        SerialPortsWindow w(s_, [] { return PresentSerialPorts(); }, this);
        runModal(w);
    });
    connect(txtSent, &QLineEdit::returnPressed, this, &PacketSpotWindow::Send);
    connect(txtSent, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Lines typed for the packet engine wrap by themselves at the first space past 70.
        if (spots_.connectionType() == QLatin1String(kSpotLinkAgw) && spots_.pollTimer()->isActive() &&
            text.size() > 70 && text.endsWith(QLatin1Char(' '))) {
            if (spots_.SendAgwText(text.chopped(1)))
                txtSent->clear();
        }
    });
    // What the operator types is the service's setting at once.
    auto telnetAddress = [this] { spots_.setTelnetAddress(txtTelnetHost->text(), txtTelnetPort->text()); };
    connect(txtTelnetHost, &QLineEdit::textChanged, this, telnetAddress);
    connect(txtTelnetPort, &QLineEdit::textChanged, this, telnetAddress);
    auto agwAddress = [this] { spots_.setAgwAddress(txtAgwHost->text(), txtAgwPort->text()); };
    connect(txtAgwHost, &QLineEdit::textChanged, this, agwAddress);
    connect(txtAgwPort, &QLineEdit::textChanged, this, agwAddress);
    connect(txtHex, &QLineEdit::textChanged, &spots_, &SpotService::setCommandCharacter);
    connect(txtClusterLogin, &QLineEdit::textChanged, this, &PacketSpotWindow::takeClusterLogin);
    connect(txtClusterCommands, &QPlainTextEdit::textChanged, this, &PacketSpotWindow::takeClusterLogin);
    connect(chkReconnect, &QCheckBox::toggled, this, &PacketSpotWindow::takeClusterLogin);
    connect(OptList, &QRadioButton::toggled, &spots_, &SpotService::setListChosen);
    connect(chkConvToHex, &QCheckBox::toggled, &spots_, &SpotService::setConvToHex);

    SpotIntake &intake = spots_.intake();
    connect(&intake, &SpotIntake::monitorAppended, this, [this](const QString &text) {
        QTextCursor c(txtUnProcessed->document());
        c.movePosition(QTextCursor::End);
        c.insertText(DisplayText(text));
        showMonitorTail();
    });
    connect(&intake, &SpotIntake::monitorReplaced, this, [this] {
        txtUnProcessed->setPlainText(DisplayText(spots_.intake().monitor()));
        showMonitorTail();
    });
    connect(&spots_, &SpotService::linkStateChanged, this, &PacketSpotWindow::showLinkOpen);
    connect(&spots_, &SpotService::stateTextChanged, this, &PacketSpotWindow::showLinkState);
    connect(&spots_, &SpotService::agwStationChanged, this, &PacketSpotWindow::showAgwStation);
    connect(&spots_, &SpotService::setupWanted, this, [this] { show(); });

    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);

    // The monitor as the service holds it: the link may have run before this window.
    txtUnProcessed->setPlainText(DisplayText(intake.monitor()));
    DisableSpotOptions();

    for (QWidget *column : {leftColumn, serialColumn})
        column->setMaximumWidth(column->minimumSizeHint().width());
    // Room for a whole cluster line where the screen has it; longer lines wrap in the box.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QSize want = sizeHint();
        want.rwidth() += std::max(0, QFontMetrics(txtUnProcessed->font()).averageCharWidth() * 82 -
                                         txtUnProcessed->sizeHint().width());
        resize(want.boundedTo(ClientArea(this, screen->availableGeometry()).size()).expandedTo(minimumSizeHint()));
    }
}

PacketSpotWindow::~PacketSpotWindow() = default;

void PacketSpotWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    for (const char *item : {kSpotLinkNone, kSpotLinkTnc, kSpotLinkTelnet, kSpotLinkAgw})
        List1->addItem(QLatin1String(item));
    List1->setCurrentRow(-1);
    DisableSpotOptions();
    keepMonitor_ = spots_.started();
    spots_.load();
    LoadingSettings = true;
    showSettings();
    LoadingSettings = false;
    // The first showing ever opens the saved link; later the window shows what runs.
    spots_.start();
    showLinkOpen(spots_.linkOpen());
    if (!spots_.stateText().isEmpty())
        showLinkState(spots_.stateText());
    showAgwStation(spots_.intake().agwConnectedCall());
    keepMonitor_ = false;
}

void PacketSpotWindow::showSetup()
{
    Form_Load();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}


void PacketSpotWindow::selectSerialOptions(const PackSpotSettings &s)
{
    optComm[size_t(qBound(1, s.SerialPort, 10) - 1)]->setChecked(true);
    const QString baud = s.SerialSettings().section(QLatin1Char(','), 0, 0);
    const std::pair<const char *, QRadioButton *> bauds[] = {{"1200", optBaud12}, {"2400", optBaud24},
                                                             {"4800", optBaud48}, {"9600", optBaud96},
                                                             {"14400", optBaud144}, {"19200", optBaud192}};
    for (const auto &[text, r] : bauds)
        if (baud == QLatin1String(text))
            r->setChecked(true);
    (s.SerialParity == QLatin1String("O") ? optParityOdd
     : s.SerialParity == QLatin1String("E") ? optParityEven
                                            : optParityNone)
        ->setChecked(true);
    (s.SerialDataBits == QLatin1String("7") ? optData7 : optData8)->setChecked(true);
    (s.SerialStopBits == QLatin1String("2") ? optStop2 : optStop1)->setChecked(true);
    (s.SerialPower == QLatin1String("R")   ? optPowerRTS
     : s.SerialPower == QLatin1String("D") ? optPowerDTR
                                           : optPowerNone)
        ->setChecked(true);
    Option[size_t(qBound(1, s.SerialHandshake, 4) - 1)]->setChecked(true);
}

void PacketSpotWindow::takeClusterLogin()
{
    ClusterLogin l;
    l.call = txtClusterLogin->text().trimmed();
    l.reconnect = chkReconnect->isChecked();
    for (const QString &line : txtClusterCommands->toPlainText().split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            l.commands << line.trimmed();
    spots_.setClusterLogin(l);
}

void PacketSpotWindow::showSettings()
{
    txtAgwHost->setText(spots_.agwHostText());
    txtAgwPort->setText(spots_.agwPortText());
    {
        // Filled as one: a half-filled form must not become the setting.
        const ClusterLogin l = spots_.clusterLogin();
        const QSignalBlocker b1(txtClusterLogin), b2(txtClusterCommands), b3(chkReconnect);
        txtClusterLogin->setText(l.call);
        txtClusterCommands->setPlainText(l.commands.join(QLatin1Char('\n')));
        chkReconnect->setChecked(l.reconnect);
    }
    // Without a settings file the controls keep their first state.
    if (!spots_.fileRead())
        return;
    const PackSpotSettings f = spots_.settings();
    chkConvToHex->setChecked(f.ConvToHex == 1);
    (f.OptList ? OptList : OptBand)->setChecked(true);
    txtHex->setText(f.Hex);
    txtTelnetPort->setText(f.TelnetPort);
    txtTelnetHost->setText(f.TelnetHost);
    const QList<QListWidgetItem *> found = List1->findItems(f.SpotConnectionType, Qt::MatchFixedString);
    if (!found.isEmpty())
        List1->setCurrentItem(found.first());
    selectSerialOptions(f);
    LoadingSettings = false;
    const QString &type = f.SpotConnectionType;
    if (type == QLatin1String(kSpotLinkTnc))
        EnableTncOptions();
    else if (type == QLatin1String(kSpotLinkTelnet))
        EnableTelnetOptions();
    else if (type == QLatin1String(kSpotLinkAgw))
        EnableAgwOptions();
}

void PacketSpotWindow::List1_Click(const QString &item)
{
    if (item.isEmpty())
        return;
    chkDX->setChecked(false);
    if (!LoadingSettings) {
        spots_.chooseLink(item);
        DisableSpotOptions();
        if (item == QLatin1String(kSpotLinkTnc)) {
            optBaud96->setChecked(true);
            optParityNone->setChecked(true);
            optData8->setChecked(true);
            optStop1->setChecked(true);
            Option[2]->setChecked(true);
            txtHex->setText(QStringLiteral("03"));
            EnableTncOptions();
        }
    }
    if (!keepMonitor_)
        ShowSpottingHelp();
    if (item == QLatin1String(kSpotLinkTelnet))
        EnableTelnetOptions();
    else if (item == QLatin1String(kSpotLinkAgw))
        EnableAgwOptions();
    if (item == QLatin1String(kSpotLinkTnc))
        Label6->setText(QStringLiteral("Send text  (Ctrl C or Esc for TNC Command mode):"));
    else if (item == QLatin1String(kSpotLinkAgw))
        Label6->setText(QStringLiteral("Send text (use : to send cmds such as :C Velko or :D)"));
    else if (item == QLatin1String(kSpotLinkTelnet))
        Label6->setText(QStringLiteral("Type text to send and press enter:"));
}

void PacketSpotWindow::ShowSpottingHelp()
{
    const QString item = List1->currentItem() ? List1->currentItem()->text() : QString();
    QString t;
    auto para = [&t](const QString &p) { t += p + kTwoBreaks; };
    const bool none = item == QLatin1String(kSpotLinkNone);
    const bool tnc = item == QLatin1String(kSpotLinkTnc);
    const bool telnet = item == QLatin1String(kSpotLinkTelnet);
    const bool agw = item == QLatin1String(kSpotLinkAgw);
    if (none)
        for (const char *p : kIntro)
            para(QLatin1String(p));
    if (none || telnet)
        para(QLatin1String(kTelnetHelp));
    if (none || tnc)
        for (const char *p : kTncHelp)
            para(QLatin1String(p));
    if (none || agw)
        t += AgwHelp();
    t += QLatin1String(kClosing1) + kCrLf + QLatin1String(kClosing2) + kTwoBreaks;
    if (!telnet)
        para(QLatin1String(kHardware));
    spots_.intake().replaceMonitor(t);
    txtUnProcessed->moveCursor(QTextCursor::Start);
}

namespace {
void SetEnabled(std::initializer_list<QWidget *> widgets, bool on)
{
    for (QWidget *w : widgets)
        w->setEnabled(on);
}
}  // namespace

void PacketSpotWindow::EnableTncOptions()
{
    SetEnabled({Frame2, OptBand, OptList, chkDX, txtSent, txtHex, Frame1, fraBaud, fraParity, fraData, fraStop,
                fraPort, fraPower, Label2, Label4, Label6, Label1, Command1, Command2, cmdPorts},
               true);
    for (QRadioButton *r : Option)
        r->setEnabled(true);
}

void PacketSpotWindow::EnableTelnetOptions()
{
    SetEnabled({Label3, Label7, Label6, txtTelnetHost, txtTelnetPort, txtSent, Command1, Command2, Frame2, OptBand,
                OptList, chkDX, fraClusterLogin},
               true);
}

void PacketSpotWindow::EnableAgwOptions()
{
    SetEnabled({Label6, txtSent, Command1, Command2, Frame2, OptBand, OptList, chkDX, lblAgwHost, txtAgwHost,
                lblAgwPort, txtAgwPort},
               true);
}

void PacketSpotWindow::DisableSpotOptions()
{
    SetEnabled({Frame2, OptBand, OptList, chkDX, txtSent, txtHex, Frame1, fraBaud, fraParity, fraData, fraStop,
                fraPort, fraPower, Label2, Label6, Command1, Command2, Label3, Label7, txtTelnetHost, txtTelnetPort,
                chkConvToHex, cmdPorts, lblAgwHost, txtAgwHost, lblAgwPort, txtAgwPort, fraClusterLogin},
               false);
    chkConvToHex->setEnabled(false);
}

void PacketSpotWindow::SerialOptionClick()
{
    if (!LoadingSettings)
        Close();
}

void PacketSpotWindow::showLinkState(const QString &text)
{
    lblLinkState->setText(text);
    Announce(lblLinkState, true);
}

void PacketSpotWindow::showMonitorTail()
{
    if (spots_.intake().monitor().size() >= 3) {
        txtUnProcessed->moveCursor(QTextCursor::End);
        txtUnProcessed->verticalScrollBar()->setValue(txtUnProcessed->verticalScrollBar()->maximum());
    }
}

void PacketSpotWindow::showLinkOpen(bool open)
{
    Label4->setVisible(open);
    if (open) {
        lblLinkState->clear();
        Announce(Label4, true);
    }
}

void PacketSpotWindow::showAgwStation(const QString &call)
{
    if (!call.isEmpty())
        setWindowTitle(QStringLiteral("DX Spotting Setup - Connected to ") + call);
    else if (windowTitle().startsWith(QLatin1String("DX Spotting Setup - Connected")))
        setWindowTitle(QStringLiteral("DX Spotting Setup"));
}

void PacketSpotWindow::Open()
{
    if (spots_.connectionType() == QLatin1String(kSpotLinkTnc))
        ApplySerialOptions();
    spots_.Open();
    if (spots_.linkStarted() && isVisible())
        txtSent->setFocus();
}

void PacketSpotWindow::ApplySerialOptions()
{
    PackSpotSettings chosen = spots_.settings();
    for (int k = 0; k < 10; ++k)
        if (optComm[size_t(k)]->isChecked())
            chosen.SerialPort = k + 1;
    const std::pair<QRadioButton *, const char *> bauds[] = {{optBaud12, "1200"}, {optBaud24, "2400"},
                                                             {optBaud48, "4800"}, {optBaud96, "9600"},
                                                             {optBaud144, "14400"}, {optBaud192, "19200"}};
    for (const auto &[r, text] : bauds)
        if (r->isChecked())
            chosen.SerialBaud = QLatin1String(text);
    chosen.SerialParity = optParityOdd->isChecked() ? QStringLiteral("O")
                          : optParityEven->isChecked() ? QStringLiteral("E")
                                                       : QStringLiteral("N");
    chosen.SerialDataBits = optData7->isChecked() ? QStringLiteral("7") : QStringLiteral("8");
    chosen.SerialStopBits = optStop2->isChecked() ? QStringLiteral("2") : QStringLiteral("1");
    chosen.SerialPower = optPowerRTS->isChecked() ? QStringLiteral("R")
                         : optPowerDTR->isChecked() ? QStringLiteral("D")
                                                    : QStringLiteral("N");
    for (int k = 0; k < 4; ++k)
        if (Option[size_t(k)]->isChecked())
            chosen.SerialHandshake = k + 1;
    spots_.applySerialOptions(chosen);
}

void PacketSpotWindow::Close() { spots_.Close(); }

void PacketSpotWindow::Done()
{
    if (spots_.linkChosen() && !spots_.linkStarted())
        Open();
    emit savePrefRequested();
    if (!spots_.SaveSpotSettings())
        return;
    emit displayChanged(spots_.listChosen());
    hide();
}

void PacketSpotWindow::SpotLast()
{
    // Nothing logged yet: nothing to spot.
    if (s_.log.RecordCount() == 0)
        return;
    txtSent->setText(QStringLiteral("DX Frequency in kHz ") + s_.log.record(s_.log.RecordCount()).Call);
    txtSent->setFocus();
    txtSent->setSelection(3, 16);
}

void PacketSpotWindow::Send()
{
    const QString text = txtSent->text();
    if (!spots_.linkStarted())
        Open();
    // Text that did not go stays in the box to be sent again.
    if (spots_.send(text))
        txtSent->clear();
}

void PacketSpotWindow::CommandModeKey()
{
    chkDX->setChecked(false);
    if (!spots_.linkStarted())
        Open();
    if (spots_.sendCommandCharacter(txtHex->text()))
        txtSent->setFocus();
    if (txtSent->text().isEmpty())
        txtSent->setFocus();
}

bool PacketSpotWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const bool esc = k->key() == Qt::Key_Escape;
        const QString &type = spots_.connectionType();
        const bool tnc = type == QLatin1String(kSpotLinkTnc);
        // Ctrl+C is the TNC's command key only on that link; elsewhere it copies.
        const bool ctrlC = tnc && k->key() == Qt::Key_C && (k->modifiers() & Qt::ControlModifier);
        if (esc || ctrlC) {
            CommandModeKey();
            if (esc && watched == txtSent && type == QLatin1String(kSpotLinkAgw))
                txtSent->insert(QStringLiteral(":"));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PacketSpotWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && spots_.linkChosen())
        txtSent->setFocus();
    QWidget::changeEvent(event);
}

}  // namespace zev
