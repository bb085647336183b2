#include "keying/winkey_window.h"

#include "common/prompter.h"
#include "frame/folders.h"
#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "keying/cw_buffer.h"
#include "keying/settings_ranges.h"
#include "keying/winkeyer.h"
#include "rig/port_map.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zev {

namespace {

const QString kClosed = QStringLiteral("Closed");
const QString kNoVersion = QStringLiteral("Version #");

}  // namespace

WinKeyWindow::WinKeyWindow(Session &session, WinKeyer &keyer, CwBuffer &buffer, QWidget *parent)
    : QDialog(parent), session_(session), keyer_(keyer), buffer_(buffer),
      path_(WkSettingsPath(session.folders))
{
    setObjectName(QStringLiteral("frmWinKey"));
    setWindowTitle(QStringLiteral("WinKey Setup"));
    runModal = [](QDialog &d) { d.exec(); };

    auto *numbers = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto *grid = new QGridLayout;
    int row = 0;
    auto box = [&](QLineEdit *&edit, const char *name, const QString &caption, const QString &tip) {
        edit = new QLineEdit;
        edit->setObjectName(QLatin1String(name));
        edit->setValidator(numbers);
        edit->setAccessibleName(QString(caption).remove(QLatin1Char(':')));
        edit->setToolTip(tip);
        if (!tip.isEmpty())
            edit->setAccessibleDescription(tip);
        auto *label = new QLabel(caption);
        label->setBuddy(edit);
        label->setToolTip(tip);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
    };
    box(txtWKComPort, "txtWKComPort", QStringLiteral("Port:"), {});
    box(txtWKWPM, "txtWKWPM", QStringLiteral("WPM:"), {});
    box(txtWeight, "txtWeight", QStringLiteral("Weight:"),
        QStringLiteral("Proportional amount added or subtracted (50 is standard)."));
    box(txtLeadIn, "txtLeadIn", QStringLiteral("Lead In:"),
        QStringLiteral("Lead in time for transmitter (10 ms increments)."));
    box(txtTail, "txtTail", QStringLiteral("Tail:"),
        QStringLiteral("Tail time after keying has stopped (10 ms increments)."));
    box(txtRatio, "txtRatio", QStringLiteral("Ratio:"),
        QStringLiteral("Ratio of dits to dahs (Range: 33 - 66)."));

    auto button = [](QPushButton *&b, const char *name, const QString &caption) {
        b = MakeButton(name, caption, QString(caption).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    };
    button(cmdPorts, "cmdPorts", QStringLiteral("Serial &Ports..."));
    grid->addWidget(cmdPorts, 0, 2);

    auto option = [](QRadioButton *&o, const char *name, const QString &caption, QButtonGroup *group,
                     int id, QVBoxLayout *into) {
        o = new QRadioButton(caption);
        o->setObjectName(QLatin1String(name));
        o->setAccessibleName(caption);
        group->addButton(o, id);
        into->addWidget(o);
    };
    auto *pinFrame = new QGroupBox(QStringLiteral("Pin 5 Configuration"));
    pinFrame->setObjectName(QStringLiteral("fraPin5"));
    auto *pinLayout = new QVBoxLayout(pinFrame);
    pinGroup_ = new QButtonGroup(this);
    option(optPTT, "optPTT", QStringLiteral("PTT"), pinGroup_, 5, pinLayout);
    option(optTone, "optTone", QStringLiteral("Tone"), pinGroup_, 6, pinLayout);
    option(optKey5Off3Out, "optKey5Off3Out", QStringLiteral("P5 Off, P3 Key Out"), pinGroup_, 4, pinLayout);
    option(optKey5Out3Off, "optKey5Out3Off", QStringLiteral("P5 Key Out, P3 Off"), pinGroup_, 8, pinLayout);
    auto *modeFrame = new QGroupBox(QStringLiteral("Keyer Mode"));
    modeFrame->setObjectName(QStringLiteral("fraMode"));
    auto *modeLayout = new QVBoxLayout(modeFrame);
    modeGroup_ = new QButtonGroup(this);
    option(optIambicA, "optIambicA", QStringLiteral("Iambic A"), modeGroup_, 16, modeLayout);
    option(optIambicB, "optIambicB", QStringLiteral("Iambic B"), modeGroup_, 0, modeLayout);
    option(optUltimatic, "optUltimatic", QStringLiteral("Ultimatic"), modeGroup_, 32, modeLayout);
    option(optBug, "optBug", QStringLiteral("Bug Keyer"), modeGroup_, 48, modeLayout);

    auto status = [](QLabel *&l, const char *name, const QString &text, const QString &caption) {
        l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->setAccessibleDescription(caption);
        MakeNotification(l);
    };
    // The keyer may have opened before this window was first shown.
    status(lblOpenStatus, "lblOpenStatus", keyer_.isOpen() ? WinKeyerCodeText(kWkSuccess) : kClosed,
           QStringLiteral("WinKey Status"));
    status(lblVersion, "lblVersion",
           keyer_.version() != 0 ? QStringLiteral("Version # %1").arg(keyer_.version()) : kNoVersion,
           QStringLiteral("WinKey Version"));
    auto *states = new QGridLayout;
    states->addWidget(new QLabel(QStringLiteral("WinKey Status:")), 0, 0);
    states->addWidget(lblOpenStatus, 0, 1);
    states->addWidget(new QLabel(QStringLiteral("WinKey Version:")), 1, 0);
    states->addWidget(lblVersion, 1, 1);
    states->setColumnStretch(1, 1);

    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Type ahead"));
    Text1->setToolTip(QStringLiteral("What you type here is sent."));
    Text1->installEventFilter(this);
    auto *typeCaption = new QLabel(QStringLiteral("Type ahead:"));
    typeCaption->setBuddy(Text1);

    button(cmdOpenWinkey, "cmdOpenWinkey", QStringLiteral("Open"));
    button(cmdCloseWinkey, "cmdCloseWinkey", QStringLiteral("Close"));
    button(cmdStop, "cmdStop", QStringLiteral("Stop"));
    button(Command3, "Command3", QStringLiteral("Test"));
    button(Command1, "Command1", QStringLiteral("Buffer Test"));
    button(Command2, "Command2", QStringLiteral("Defaults Test"));
    button(cmdDone, "cmdDone", QStringLiteral("&Done"));

    auto *options = new QHBoxLayout;
    options->addWidget(pinFrame);
    options->addWidget(modeFrame);
    auto *typing = new QHBoxLayout;
    typing->addWidget(typeCaption);
    typing->addWidget(Text1, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {cmdOpenWinkey, cmdCloseWinkey, cmdStop, Command3, Command1, Command2})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdDone);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(options);
    top->addLayout(states);
    top->addLayout(typing);
    top->addLayout(buttons);

    const WkSettings s = keyer_.settings();
    port_ = s.WinKeyPort;
    pins_ = s.WinKeyPinConfig;
    mode_ = s.WinKeyMode;
    txtWKComPort->setText(QString::number(port_));
    txtWKWPM->setText(s.txtWKWPM);
    txtWeight->setText(s.txtWeight);
    txtLeadIn->setText(s.txtLeadIn);
    txtTail->setText(s.txtTail);
    txtRatio->setText(s.txtRatio);
    for (QButtonGroup *g : {pinGroup_, modeGroup_}) {
        QAbstractButton *match = g->button(g == pinGroup_ ? pins_ : mode_);
        if (match) {
            match->setChecked(true);
        } else {
            // A value of no option: none is selected.
            g->setExclusive(false);
            for (QAbstractButton *b : g->buttons())
                b->setChecked(false);
            g->setExclusive(true);
        }
    }

    connect(txtWKComPort, &QLineEdit::editingFinished, this, &WinKeyWindow::leavePort);
    connect(txtWKWPM, &QLineEdit::editingFinished, this, &WinKeyWindow::leaveSpeed);
    connect(txtWeight, &QLineEdit::editingFinished, this, &WinKeyWindow::leaveWeight);
    connect(txtLeadIn, &QLineEdit::editingFinished, this, [this] { leaveLeadTail(true); });
    connect(txtTail, &QLineEdit::editingFinished, this, [this] { leaveLeadTail(false); });
    connect(txtRatio, &QLineEdit::editingFinished, this, &WinKeyWindow::leaveRatio);
    connect(pinGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        pins_ = id;
        if (keyer_.isOpen())
            ApplyWinKeySettings();
        else
            keyer_.setPinConfig(id);
        keep();
    });
    connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        mode_ = id;
        if (keyer_.isOpen())
            ApplyWinKeySettings();
        else
            keyer_.setMode(id);
        keep();
    });

    connect(cmdOpenWinkey, &QPushButton::clicked, this, &WinKeyWindow::cmdOpenWinkey_Click);
    connect(cmdCloseWinkey, &QPushButton::clicked, this, &WinKeyWindow::cmdCloseWinkey_Click);
    connect(cmdStop, &QPushButton::clicked, this, [this] {
        keyer_.clearBuffer();
        buffer_.clear();
        focusDone();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        appendAndTransmit(QStringLiteral("VVV TEST DE ") + session_.prefs.MyCall);
        focusDone();
    });
    connect(Command1, &QPushButton::clicked, this, [this] {
        const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
        appendAndTransmit(alphabet + alphabet + alphabet);
    });
    connect(cmdPorts, &QPushButton::clicked, this, [this] {
        SerialPortsWindow w(session_, [] { return PresentSerialPorts(); }, this);
        runModal(w);
        keyer_.setDevice(device());
    });
    connect(cmdDone, &QPushButton::clicked, this, &WinKeyWindow::cmdDone_Click);

    connect(&keyer_, &WinKeyer::openFinished, this, &WinKeyWindow::openFinished);
    connect(&keyer_, &WinKeyer::closed, this, [this] {
        showStatus(kClosed);
        showVersion(kNoVersion);
    });
    connect(&keyer_, &WinKeyer::failed, this, [this](const QString &why) { showStatus(why); });
}

WinKeyWindow::~WinKeyWindow() = default;

void WinKeyWindow::keep()
{
    keyer_.keepSettings(settings());
}

QString WinKeyWindow::device() const
{
    return PortMap(session_.registry).device(port_);
}

WkSettings WinKeyWindow::settings() const
{
    WkSettings s;
    s.WinKeyPort = port_;
    s.txtWKWPM = txtWKWPM->text();
    s.txtWeight = txtWeight->text();
    s.txtLeadIn = txtLeadIn->text();
    s.txtTail = txtTail->text();
    s.txtRatio = txtRatio->text();
    s.WinKeyPinConfig = pins_;
    s.WinKeyMode = mode_;
    return s;
}

void WinKeyWindow::showStatus(const QString &text)
{
    lblOpenStatus->setText(text);
    Announce(lblOpenStatus);
}

void WinKeyWindow::showVersion(const QString &text)
{
    lblVersion->setText(text);
    Announce(lblVersion);
}

void WinKeyWindow::focusDone()
{
    if (isVisible())
        cmdDone->setFocus();
}

void WinKeyWindow::leavePort()
{
    const BoxOutcome out = LeavePortBox(txtWKComPort->text());
    txtWKComPort->setText(out.text);
    port_ = out.send.value_or(0);
    keyer_.setDevice(device());
    keep();
}

void WinKeyWindow::leaveSpeed()
{
    const BoxOutcome out = LeaveSpeedBox(txtWKWPM->text());
    txtWKWPM->setText(out.text);
    if (out.send)
        keyer_.setWpm(*out.send);
    keep();
}

void WinKeyWindow::leaveWeight()
{
    const BoxOutcome out = LeaveWeightBox(txtWeight->text());
    txtWeight->setText(out.text);
    if (out.send)
        keyer_.setWeight(*out.send);
    keep();
}

void WinKeyWindow::leaveLeadTail(bool leftLead)
{
    const LeadTailOutcome out = LeaveLeadTailBoxes(txtLeadIn->text(), txtTail->text(), leftLead);
    txtLeadIn->setText(out.leadText);
    txtTail->setText(out.tailText);
    if (out.send)
        keyer_.setLeadTail(out.send->first, out.send->second);
    keep();
}

void WinKeyWindow::leaveRatio()
{
    const BoxOutcome out = LeaveRatioBox(txtRatio->text());
    txtRatio->setText(out.text);
    if (out.send)
        keyer_.setRatio(*out.send);
    keep();
}

void WinKeyWindow::ApplyWinKeySettings()
{
    leaveSpeed();
    leaveWeight();
    leaveLeadTail(true);
    leaveRatio();
    keyer_.setPinConfig(pins_);
    keyer_.setMode(mode_);
}

void WinKeyWindow::SetCwSpeed(int wpm)
{
    txtWKWPM->setText(QString::number(wpm));
    leaveSpeed();
}

void WinKeyWindow::cmdOpenWinkey_Click()
{
    keyer_.open(device());
}

void WinKeyWindow::openFinished(int code, int version)
{
    if (code != kWkAlreadyOpen && version == 0)
        session_.prompter.message(
            QStringLiteral("Unable to establish connection with WinKey on com port %1.  Please check "
                           "to make sure that you have specified the correct port and that the "
                           "Winkey device is properly connected.")
                .arg(port_),
            QStringLiteral("Unable to establish connection with Winkey."), PromptIcon::Exclamation);
    const QString text = WinKeyerCodeText(code);
    if (!text.isEmpty())
        showStatus(text);
    if (code != kWkAlreadyOpen && version != 0) {
        showVersion(QStringLiteral("Version # %1").arg(version));
        focusDone();
    }
}

void WinKeyWindow::cmdCloseWinkey_Click()
{
    keyer_.close();
    showStatus(kClosed);
    showVersion(kNoVersion);
    focusDone();
}

void WinKeyWindow::WKTransmit()
{
    if (!keyer_.isOpen() && !keyer_.isOpening())
        keyer_.setDevice(device());
    keyer_.transmit();
}

void WinKeyWindow::appendAndTransmit(const QString &text)
{
    const bool wasEmpty = buffer_.isEmpty();
    buffer_.append(text);
    if (wasEmpty)
        WKTransmit();
}

void WinKeyWindow::cmdDone_Click()
{
    QString error;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (!SaveWkSettings(path_, settings(), &error))
        session_.prompter.message(
            QStringLiteral("The WinKey settings could not be saved to %1: %2").arg(path_, error),
            QStringLiteral("Error!"), PromptIcon::Critical);
    accept();
}

bool WinKeyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        const QString typed = k->text();
        if (!typed.isEmpty() && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            && std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() > 13; })) {
            const QString upper = typed.toUpper();
            Text1->insert(upper);
            appendAndTransmit(upper);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zev
