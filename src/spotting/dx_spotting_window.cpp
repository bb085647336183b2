#include "spotting/dx_spotting_window.h"

#include "common/file_io.h"
#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTwoBreaks = QStringLiteral("\r\n\r\n");

// Where Linux operators get the packet engine.
const char *const kEngineSource = "the Debian package \"direwolf\" (apt install direwolf)";

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
           QLatin1String(kEngineSource) + kTwoBreaks +
           QStringLiteral("- Run the Packet Engine software and configure it as described on the AGW Packet "
                          "Engine website for your sound card or TNC.") +
           kTwoBreaks + QStringLiteral("- Click Open from this program.") + kTwoBreaks +
           QStringLiteral("To send a connect request using the AGW packet engine, type in the format of") +
           kTwoBreaks + QStringLiteral(":C Velko     or to disconnect :D") + kTwoBreaks +
           QStringLiteral("and press enter (you can also use the Esc key to add a colon).") + kTwoBreaks;
}

const char *const kUnableAgw =
    "Unable to connect to the AGW Packet Engine.  To use the AGW Packet Engine to send and receive packet with "
    "your soundcard or devices such a Baypac:";

}  // namespace

PacketSpotWindow::PacketSpotWindow(Session &session, QWidget *parent)
    : QWidget(parent, Qt::Window), s_(session), intake_(session.spots, session.prefixes, session.clock)
{
    setObjectName(QStringLiteral("PacketSpotfrm"));
    setWindowTitle(QStringLiteral(" DX Spotting Setup"));
    settingsPath = session.folders.work(QStringLiteral("PackSpot.txt"));
    agwSettingsPath = session.folders.work(QStringLiteral("AgwEngine.txt"));
    makeSerialLine = [] { return std::make_unique<QtSerialLine>(); };
    runModal = [](QDialog &d) { d.exec(); };
    intake_.myCall = [this] { return s_.prefs.MyCall; };

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
    connect(chkDX, &QCheckBox::toggled, this, [this](bool on) { intake_.dxOnly = on; });

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
    txtAgwHost->setText(agwHost);
    txtAgwPort->setText(QString::number(agwPort));
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
    selectSerialOptions(settings_);
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
    box(txtSent, "txtSent", QStringLiteral("Text to send"), 0);
    Label6->setBuddy(txtSent);
    txtUnProcessed = new QPlainTextEdit(this);
    txtUnProcessed->setObjectName(QStringLiteral("txtUnProcessed"));
    txtUnProcessed->setAccessibleName(QStringLiteral("Received text"));
    txtUnProcessed->setReadOnly(true);
    txtUnProcessed->setUndoRedoEnabled(false);
    txtUnProcessed->setFont(QFont(QStringLiteral("Monospace")));
    txtUnProcessed->setMinimumHeight(200);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(333);

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
    left->addWidget(chkConvToHex);
    left->addStretch(1);
    root->addLayout(left);
    auto *serial = new QVBoxLayout;
    for (QGroupBox *g : {fraPort, fraBaud, fraParity, fraData, fraStop, fraPower, Frame1})
        serial->addWidget(g);
    serial->addStretch(1);
    root->addLayout(serial);
    auto *right = new QVBoxLayout;
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Command1, Command2, Command3, cmdDone})
        buttons->addWidget(b);
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
        if (settings_.SpotConnectionType == QLatin1String(kSpotLinkAgw) && Timer1->isActive() && text.size() > 70 &&
            text.endsWith(QLatin1Char(' '))) {
            if (SendAgwText(text.chopped(1)))
                txtSent->clear();
        }
    });
    connect(Timer1, &QTimer::timeout, this, &PacketSpotWindow::tick);

    connect(&intake_, &SpotIntake::monitorAppended, this, [this](const QString &text) {
        QTextCursor c(txtUnProcessed->document());
        c.movePosition(QTextCursor::End);
        c.insertText(DisplayText(text));
        showMonitorTail();
    });
    connect(&intake_, &SpotIntake::monitorReplaced, this, [this] {
        txtUnProcessed->setPlainText(DisplayText(intake_.monitor()));
        showMonitorTail();
    });
    connect(&intake_, &SpotIntake::beep, this, [this] { s_.prompter.beep(); });
    connect(&intake_, &SpotIntake::agwConnected, this, [this](const QString &call) {
        setWindowTitle(QStringLiteral("DX Spotting Setup - Connected to ") + call);
        showLinkState(QStringLiteral("Connected to ") + call);
    });
    connect(&intake_, &SpotIntake::agwDisconnected, this, [this](const QString &call) {
        setWindowTitle(QStringLiteral("DX Spotting Setup"));
        showLinkState(QStringLiteral("Disconnected from ") + call);
    });

    connect(&telnet_, &SpotLink::received, &intake_, &SpotIntake::takeTelnet);
    connect(&telnet_, &SpotLink::opened, this, &PacketSpotWindow::linkOpened);
    // A spot line cut by the hang-up still counts, before "** Port Closed **".
    connect(&telnet_, &SpotLink::failed, &intake_, &SpotIntake::endTelnet);
    connect(&telnet_, &SpotLink::failed, this, &PacketSpotWindow::linkFailed);
    connect(&agw_, &SpotLink::opened, this, [this] {
        Timer1->start();
        intake_.appendMonitor(kCrLf + QStringLiteral("** Successfully connected to AGW Packet Engine **") + kTwoBreaks);
        linkOpened();
    });
    connect(&agw_, &SpotLink::failed, this, &PacketSpotWindow::agwLinkFailed);
    connect(&agw_, &AgwLink::framesDropped, this, [this](int count) {
        intake_.appendMonitor(QStringLiteral("** %1 packet frames were dropped: the engine sent them faster than "
                                             "they could be taken in. **")
                                  .arg(count) +
                              kTwoBreaks);
    });

    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);

    DisableSpotOptions();
}

PacketSpotWindow::~PacketSpotWindow()
{
    // At exit the connected station is told goodbye.
    if (!intake_.agwConnectedCall().isEmpty())
        agw_.putData(intake_.agwConnectedCall().toLatin1(), {}, 'd');
    agw_.close();
    telnet_.close();
    if (tnc_)
        tnc_->close();
}

void PacketSpotWindow::Form_Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    for (const char *item : {kSpotLinkNone, kSpotLinkTnc, kSpotLinkTelnet, kSpotLinkAgw})
        List1->addItem(QLatin1String(item));
    List1->setCurrentRow(-1);
    DisableSpotOptions();
    LoadingSettings = true;
    LoadSpotSettings();
    LoadingSettings = false;
}

void PacketSpotWindow::showSetup()
{
    Form_Load();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool PacketSpotWindow::listChosen() const { return OptList->isChecked(); }
bool PacketSpotWindow::dxOnly() const { return chkDX->isChecked(); }
bool PacketSpotWindow::linkOpen() const { return !Label4->isHidden(); }

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

void PacketSpotWindow::LoadSpotSettings()
{
    LoadAgwEngineAddress();
    const auto data = ReadWholeFile(settingsPath);
    if (!data) {
        if (!agwNote_.isEmpty()) {
            intake_.appendMonitor(agwNote_ + kTwoBreaks);
            showLinkState(agwNote_);
        }
        return;
    }
    // A short file, or one of another version, keeps every value it holds: Done must not
    // write the defaults over the operator's settings.
    const PackSpotRead r = ParsePackSpot(*data);
    const PackSpotSettings &f = r.settings;
    settings_ = f;
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
    const QString &type = settings_.SpotConnectionType;
    if (type == QLatin1String(kSpotLinkTnc))
        EnableTncOptions();
    else if (type == QLatin1String(kSpotLinkTelnet))
        EnableTelnetOptions();
    else if (type == QLatin1String(kSpotLinkAgw))
        EnableAgwOptions();
    if (!type.isEmpty() && type != QLatin1String(kSpotLinkNone))
        Open();
    QStringList notes;
    if (!r.fallbacks.isEmpty())
        notes << QStringLiteral("PackSpot.txt had values out of range; these were set back to their defaults: ") +
                     r.fallbacks.join(QStringLiteral(", "));
    if (!r.missing.isEmpty())
        notes << QStringLiteral("PackSpot.txt ended early; these values were missing and keep their defaults: ") +
                     r.missing.join(QStringLiteral(", "));
    if (!agwNote_.isEmpty())
        notes << agwNote_;
    for (const QString &n : notes)
        intake_.appendMonitor(n + kTwoBreaks);
    if (!notes.isEmpty())
        showLinkState(notes.join(QLatin1Char(' ')));
}

void PacketSpotWindow::LoadAgwEngineAddress()
{
    agwNote_.clear();
    if (const auto data = ReadWholeFile(agwSettingsPath)) {
        const AgwEngineRead r = ParseAgwEngine(*data);
        agwHost = r.address.host;
        agwPort = quint16(r.address.port);
        if (!r.fallbacks.isEmpty())
            agwNote_ = QStringLiteral("AgwEngine.txt had values missing or out of range; these were set back to "
                                      "their defaults: ") +
                       r.fallbacks.join(QStringLiteral(", "));
    }
    loadedAgw_ = {agwHost, agwPort};
    txtAgwHost->setText(agwHost);
    txtAgwPort->setText(QString::number(agwPort));
}

bool PacketSpotWindow::SaveSpotSettings()
{
    PackSpotSettings out = settings_;
    out.ConvToHex = chkConvToHex->isChecked() ? 1 : 0;
    out.DxOnly = chkDX->isChecked() ? 1 : 0;
    out.OptList = OptList->isChecked();
    out.Hex = txtHex->text();
    out.TelnetPort = txtTelnetPort->text();
    out.TelnetHost = txtTelnetHost->text();
    QString error;
    if (!WriteFileAtomic(settingsPath, FormatPackSpot(out), &error)) {
        s_.prompter.message(QStringLiteral("The spotting settings could not be saved in PackSpot.txt: ") + error,
                            QStringLiteral("DX Spotting Setup"), PromptIcon::Exclamation);
        return false;
    }
    // The engine's address is written only once the operator has changed it.
    const AgwEngineAddress agw = typedAgwAddress();
    if (agw != loadedAgw_) {
        if (!WriteFileAtomic(agwSettingsPath, FormatAgwEngine(agw), &error)) {
            s_.prompter.message(QStringLiteral("The packet engine's address could not be saved in AgwEngine.txt: ") +
                                    error,
                                QStringLiteral("DX Spotting Setup"), PromptIcon::Exclamation);
            return false;
        }
        loadedAgw_ = agw;
    }
    return true;
}

AgwEngineAddress PacketSpotWindow::typedAgwAddress() const
{
    AgwEngineAddress a;
    const QString host = txtAgwHost->text().trimmed();
    if (!host.isEmpty())
        a.host = host;
    if (const int port = TcpPortNumber(txtAgwPort->text()))
        a.port = port;
    return a;
}

void PacketSpotWindow::List1_Click(const QString &item)
{
    if (item.isEmpty())
        return;
    chkDX->setChecked(false);
    if (!LoadingSettings) {
        Close();
        DisableSpotOptions();
        settings_.SpotConnectionType = item;
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
    intake_.replaceMonitor(t);
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
                OptList, chkDX},
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
                chkConvToHex, cmdPorts, lblAgwHost, txtAgwHost, lblAgwPort, txtAgwPort},
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
    if (intake_.monitor().size() >= 3) {
        txtUnProcessed->moveCursor(QTextCursor::End);
        txtUnProcessed->verticalScrollBar()->setValue(txtUnProcessed->verticalScrollBar()->maximum());
    }
}

void PacketSpotWindow::Open()
{
    // A link already running is closed first: "Listening" waits for the new one, and a
    // packet station's session does not outlive its engine link.
    if (linkStarted_)
        Close();
    intake_.replaceMonitor(QStringLiteral("** Attempting to Open Port **") + kTwoBreaks);
    if (tnc_ && tnc_->isOpen())
        tnc_->close();
    const QString &type = settings_.SpotConnectionType;
    if (type.isEmpty() || type == QLatin1String(kSpotLinkNone))
        return;
    // "Listening" waits until the link is really open.
    linkStarted_ = true;
    intake_.startLink();
    if (isVisible())
        txtSent->setFocus();
    if (type == QLatin1String(kSpotLinkTnc))
        ApplySerialOptions();
    else if (type == QLatin1String(kSpotLinkAgw))
        StartAgw();
    else if (type == QLatin1String(kSpotLinkTelnet))
        ConnectTelnet();
}

void PacketSpotWindow::ApplySerialOptions()
{
    const QString &type = settings_.SpotConnectionType;
    if (type.isEmpty() || type == QLatin1String(kSpotLinkNone))
        return;
    for (int k = 0; k < 10; ++k)
        if (optComm[size_t(k)]->isChecked())
            settings_.SerialPort = k + 1;
    const std::pair<QRadioButton *, const char *> bauds[] = {{optBaud12, "1200"}, {optBaud24, "2400"},
                                                             {optBaud48, "4800"}, {optBaud96, "9600"},
                                                             {optBaud144, "14400"}, {optBaud192, "19200"}};
    for (const auto &[r, text] : bauds)
        if (r->isChecked())
            settings_.SerialBaud = QLatin1String(text);
    settings_.SerialParity = optParityOdd->isChecked() ? QStringLiteral("O")
                             : optParityEven->isChecked() ? QStringLiteral("E")
                                                          : QStringLiteral("N");
    settings_.SerialDataBits = optData7->isChecked() ? QStringLiteral("7") : QStringLiteral("8");
    settings_.SerialStopBits = optStop2->isChecked() ? QStringLiteral("2") : QStringLiteral("1");
    settings_.SerialPower = optPowerRTS->isChecked() ? QStringLiteral("R")
                            : optPowerDTR->isChecked() ? QStringLiteral("D")
                                                       : QStringLiteral("N");
    for (int k = 0; k < 4; ++k)
        if (Option[size_t(k)]->isChecked())
            settings_.SerialHandshake = k + 1;
    if (type == QLatin1String(kSpotLinkTnc))
        OpenTncPort();
}

void PacketSpotWindow::OpenTncPort()
{
    if (!tnc_) {
        tnc_ = std::make_unique<TncLink>(makeSerialLine());
        connect(tnc_.get(), &SpotLink::received, &intake_, &SpotIntake::takeTnc);
        connect(tnc_.get(), &SpotLink::failed, this, &PacketSpotWindow::linkFailed);
    }
    const QString device = PortMap(s_.registry).device(settings_.SerialPort);
    QString error;
    if (tnc_->open(device, settings_.SerialSettings(), settings_.SerialHandshake, settings_.SerialPower, &error)) {
        Timer1->start();
        intake_.appendMonitor(QStringLiteral("** TNC Serial Port Open **") + kTwoBreaks);
        linkOpened();
        return;
    }
    s_.prompter.beep();
    intake_.appendMonitor(QStringLiteral("** Unable to open TNC Serial Port **") + kTwoBreaks);
    s_.prompter.message(QStringLiteral("The comm port that you selected for DX Spotting is either in use, invalid or "
                                       "the settings that you have selected are invalid.  Please select another "
                                       "combination or choose None for your DX Spot selection."),
                        QStringLiteral("Invalid Comm Settings."), PromptIcon::Exclamation, device + QStringLiteral(": ") + error);
    Close();
    Timer1->stop();
}

void PacketSpotWindow::ConnectTelnet()
{
    QString error;
    if (!telnet_.connectTo(txtTelnetHost->text(), txtTelnetPort->text(), &error)) {
        intake_.appendMonitor(error + kTwoBreaks);
        showLinkState(error);
        Close();
        return;
    }
    intake_.replaceMonitor(QStringLiteral("Attempting connection to: ") + telnet_.host() + QLatin1Char(':') +
                           QString::number(telnet_.port()) + kTwoBreaks);
    Timer1->start();
}

void PacketSpotWindow::StartAgw()
{
    const QString call = s_.prefs.MyCall.trimmed();
    if (call.isEmpty()) {
        s_.prompter.beep();
        s_.prompter.message(QStringLiteral("Please enter your call sign on the setup form to transmit!"),
                            QStringLiteral("Call Sign Required!"), PromptIcon::Exclamation);
        linkStarted_ = false;
        return;
    }
    if (TcpPortNumber(txtAgwPort->text()) == 0) {
        const QString error = QStringLiteral("The AGW port must be a number from 1 to 65535.");
        intake_.appendMonitor(error + kTwoBreaks);
        Close();
        showLinkState(error);
        return;
    }
    const AgwEngineAddress a = typedAgwAddress();
    agwHost = a.host;
    agwPort = quint16(a.port);
    agw_.start(call, agwHost, agwPort);
}

void PacketSpotWindow::linkOpened()
{
    Label4->show();
    lblLinkState->clear();
    Announce(Label4, true);
    emit linkStateChanged(true);
}

void PacketSpotWindow::linkFailed(const QString &message)
{
    intake_.appendMonitor(message);
    Close();
    showLinkState(message);
    s_.prompter.beep();
}

void PacketSpotWindow::agwLinkFailed(const QString &message)
{
    if (message != QLatin1String("Unable to connect to the AGW Packet Engine.")) {
        linkFailed(message);
        return;
    }
    const QString download = QStringLiteral("- Download the freely available software from ") + QLatin1String(kEngineSource);
    s_.prompter.message(QLatin1String(kUnableAgw) + kTwoBreaks + download + kTwoBreaks +
                            QStringLiteral("- Make sure the AGW Packet Engine software is running and configure it "
                                           "as described on the AGW Packet Engine website."),
                        QStringLiteral("Unable to connect to the AGW Packet Engine."), PromptIcon::Exclamation);
    Label4->hide();
    intake_.appendMonitor(QLatin1String(kUnableAgw) + kTwoBreaks + download + kTwoBreaks +
                          QStringLiteral("- Run the Packet Engine software and configure it as described on the AGW "
                                         "Packet Engine website for your sound card or TNC.") +
                          kTwoBreaks + QStringLiteral("- Click Open from this program.") + kTwoBreaks);
    show();
    Close();
    Timer1->stop();
    showLinkState(QStringLiteral("Unable to connect to the AGW Packet Engine."));
}

void PacketSpotWindow::Close()
{
    if (!linkStarted_)
        return;
    linkStarted_ = false;
    Label4->hide();
    intake_.appendMonitor(kTwoBreaks + QStringLiteral("** Port Closed **"));
    if (tnc_)
        tnc_->close();
    telnet_.close();
    if (settings_.SpotConnectionType == QLatin1String(kSpotLinkAgw)) {
        if (!intake_.agwConnectedCall().isEmpty()) {
            agw_.putData(intake_.agwConnectedCall().toLatin1(), {}, 'd');
            setWindowTitle(QStringLiteral("DX Spotting Setup"));
            intake_.clearAgwConnection();
        }
        agw_.close();
    }
    Timer1->stop();
    showLinkState(QStringLiteral("** Port Closed **"));
    emit linkStateChanged(false);
}

void PacketSpotWindow::Done()
{
    const QString &type = settings_.SpotConnectionType;
    if (!type.isEmpty() && type != QLatin1String(kSpotLinkNone) && !linkStarted_)
        Open();
    emit savePrefRequested();
    if (!SaveSpotSettings())
        return;
    emit displayChanged(listChosen());
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
    if (!linkStarted_)
        Open();
    const QString &type = settings_.SpotConnectionType;
    bool sent = false;
    if (type == QLatin1String(kSpotLinkTnc)) {
        if (tnc_ && tnc_->isOpen())
            sent = tnc_->write(text.toLatin1() + '\r');
        if (!sent)
            intake_.appendMonitor(QStringLiteral("** The TNC port is not open; nothing was sent. **") + kTwoBreaks);
    } else if (type == QLatin1String(kSpotLinkTelnet)) {
        sent = SendTelnetText(text);
    } else if (type == QLatin1String(kSpotLinkAgw) && Timer1->isActive()) {
        sent = SendAgwText(text);
    }
    // Text that did not go stays in the box to be sent again.
    if (sent)
        txtSent->clear();
}

bool PacketSpotWindow::SendTelnetText(const QString &text)
{
    if (telnet_.isOpen())
        return telnet_.send(text.toLatin1() + "\r\n");
    intake_.appendMonitor(QStringLiteral("**  Connection not yet established.  Please wait a moment and try again.") +
                          kTwoBreaks);
    return false;
}

bool PacketSpotWindow::SendAgwText(const QString &text)
{
    const QString connected = intake_.agwConnectedCall();
    if (text.startsWith(QLatin1Char(':'))) {
        const QString letter = text.mid(1, 1).toUpper();
        const QString argument = text.mid(2).trimmed();
        if (letter == QLatin1String("D")) {
            if (!connected.isEmpty())
                agw_.putData(connected.toLatin1(), {}, 'd');
            return true;
        }
        if (letter == QLatin1String("C")) {
            const QString destination = argument.toUpper();
            if (!IsPacketCall(destination)) {
                s_.prompter.message(QStringLiteral("You must enter a call sign to connect to such as :C Velko"),
                                    QStringLiteral("Call sign Required"), PromptIcon::Exclamation);
                return false;
            }
            // The engine's TCP port asks for a connection with "C".
            return agw_.putData(destination.toLatin1(), {}, 'C');
        }
        // Any other command is not one of ours: it is dropped, as typed text that was
        // handled.
        return true;
    }
    if (connected.isEmpty()) {
        intake_.appendMonitor(QStringLiteral("** No station connected: type :C and a call to connect. **") + kTwoBreaks);
        return false;
    }
    return agw_.putData(connected.toLatin1(), text.toLatin1() + '\r', 'D');
}

void PacketSpotWindow::CommandModeKey()
{
    chkDX->setChecked(false);
    if (!linkStarted_)
        Open();
    if (settings_.SpotConnectionType == QLatin1String(kSpotLinkTnc) && tnc_ && tnc_->isOpen()) {
        bool ok = false;
        const uint code = txtHex->text().toUInt(&ok, 16);
        if (ok && code <= 0xFF)
            tnc_->write(QByteArray(1, char(code)));
        txtSent->setFocus();
    }
    if (txtSent->text().isEmpty())
        txtSent->setFocus();
}

void PacketSpotWindow::tick()
{
    const QString &type = settings_.SpotConnectionType;
    if (type == QLatin1String(kSpotLinkTnc) && tnc_)
        tnc_->poll();
    else if (type == QLatin1String(kSpotLinkAgw))
        // Every frame waiting is taken, so spots never fall behind.
        for (const AgwFrame &f : agw_.takeFrames())
            intake_.takeAgw(f);
    intake_.tick();
}

bool PacketSpotWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        const bool esc = k->key() == Qt::Key_Escape;
        const bool tnc = settings_.SpotConnectionType == QLatin1String(kSpotLinkTnc);
        // Ctrl+C is the TNC's command key only on that link; elsewhere it copies.
        const bool ctrlC = tnc && k->key() == Qt::Key_C && (k->modifiers() & Qt::ControlModifier);
        if (esc || ctrlC) {
            CommandModeKey();
            if (esc && watched == txtSent && settings_.SpotConnectionType == QLatin1String(kSpotLinkAgw))
                txtSent->insert(QStringLiteral(":"));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PacketSpotWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        const QString &type = settings_.SpotConnectionType;
        if (!type.isEmpty() && type != QLatin1String(kSpotLinkNone))
            txtSent->setFocus();
    }
    QWidget::changeEvent(event);
}

}  // namespace zev
