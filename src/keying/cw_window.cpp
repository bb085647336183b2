#include "keying/cw_window.h"

#include "frame/session.h"
#include "frame/text_rules_ui.h"
#include "frame/widget_helpers_ui.h"
#include "keying/keying_controller.h"
#include "keying/morse.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace zev {

namespace {

const char *const kMessageKeys[11] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11"};
const char *const kMessageBoxNames[11] = {"Text1", "Text2", "Text3", "Text4",  "Text5", "Text6",
                                          "Text7", "Text8", "Text9", "Text12", "Text13"};

QLineEdit *box(const char *name, const QString &accessible, TextKind kind)
{
    auto *e = new QLineEdit;
    e->setObjectName(QLatin1String(name));
    e->setAccessibleName(accessible);
    FollowTextRules(e, kind);
    return e;
}

QRadioButton *option(const char *name, const QString &caption, const QString &frame)
{
    auto *b = new QRadioButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(frame + QLatin1Char(' ') + QString(caption).remove(QLatin1Char('&')));
    return b;
}

QLabel *caption(const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
}

// Nearest whole number, a half to the even neighbour.
double roundEven(double v)
{
    return std::nearbyint(v);
}

// Passes of an empty counting loop per 60 ms on this machine.
double calibrateLoop()
{
    QElapsedTimer t;
    t.start();
    volatile double counter = 0;
    while (counter < 5000000)
        counter = counter + 1;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    return ms > 0 ? roundEven(5000000 / ms * 60) : 5000000;
}

}  // namespace

CwWindow::CwWindow(Session &session, KeyingController &keying, QWidget *parent)
    : QDialog(parent), session_(session), keying_(keying)
{
    setObjectName(QStringLiteral("CWFrm"));
    setWindowTitle(QStringLiteral("CW Setup"));
    runModal = [](QDialog &d) { d.exec(); };

    auto *messages = new QGroupBox(QStringLiteral("Messages"));
    auto *messageGrid = new QGridLayout(messages);
    for (int i = 0; i < 11; ++i) {
        QLineEdit *e = box(kMessageBoxNames[i], QStringLiteral("%1 message").arg(QLatin1String(kMessageKeys[i])),
                           TextKind::CwMessage);
        messageBoxes[size_t(i)] = e;
        messageGrid->addWidget(caption(QLatin1String(kMessageKeys[i]), e), i, 0);
        messageGrid->addWidget(e, i, 1);
        connect(e, &QLineEdit::textChanged, this, [this, i](const QString &t) {
            if (!showing_)
                keying_.settings.messages[size_t(i)] = t;
        });
    }
    auto *wildcards = new QLabel(
        QStringLiteral("Wildcards are $ for Call, * for RST  and # for Number (where applicable).\nA ! in the string "
                       "enters the contact."));
    wildcards->setWordWrap(true);
    messageGrid->addWidget(wildcards, 11, 0, 1, 2);
    auto *prosigns = new QLabel(QStringLiteral("Prosigns:  AR = [   SK = ]   KN = ;   CL = \\   BT = ="));
    prosigns->setObjectName(QStringLiteral("lblProsigns"));
    messageGrid->addWidget(prosigns, 12, 0, 1, 2);

    // Speed and spacing.
    Text11 = box("Text11", QStringLiteral("Speed in words per minute"), TextKind::PortNumber);
    cmdFaster = MakeButton("cmdFaster", QStringLiteral("Faster"));
    cmdSlower = MakeButton("cmdSlower", QStringLiteral("Slower"));
    txtSpace = box("txtSpace", QStringLiteral("Word space adjustment"), TextKind::WordSpace);
    txtSpace->setAccessibleDescription(QStringLiteral("0 is standard, -8 is no spacing"));
    Command5 = MakeButton("Command5", QStringLiteral("Less"), QStringLiteral("Less word space"));
    Command6 = MakeButton("Command6", QStringLiteral("More"), QStringLiteral("More word space"));
    auto *speed = new QGroupBox(QStringLiteral("Speed"));
    auto *speedGrid = new QGridLayout(speed);
    speedGrid->addWidget(caption(QStringLiteral("WPM:"), Text11), 0, 0);
    speedGrid->addWidget(Text11, 0, 1);
    speedGrid->addWidget(cmdFaster, 0, 2);
    speedGrid->addWidget(cmdSlower, 0, 3);
    speedGrid->addWidget(caption(QStringLiteral("Word space:"), txtSpace), 1, 0);
    speedGrid->addWidget(txtSpace, 1, 1);
    speedGrid->addWidget(Command5, 1, 2);
    speedGrid->addWidget(Command6, 1, 3);
    speedGrid->addWidget(new QLabel(QStringLiteral("0 is standard, -8 is no spacing")), 2, 0, 1, 4);
    lblSpeed = new QLabel;
    lblSpeed->setObjectName(QStringLiteral("lblSpeed"));
    MakeNotification(lblSpeed);
    // Room for the speed from the start: the buttons stay put when it first shows.
    lblSpeed->setMinimumWidth(lblSpeed->fontMetrics().horizontalAdvance(QStringLiteral("99 WPM")));
    speedGrid->addWidget(lblSpeed, 0, 4);
    auto sayNewSpeed = [this] {
        lblSpeed->setText(keying_.settings.speed + QStringLiteral(" WPM"));
        Announce(lblSpeed, true);
    };
    connect(cmdFaster, &QPushButton::clicked, this, [this, sayNewSpeed] {
        keying_.UpDown1_UpClick();
        sayNewSpeed();
    });
    connect(cmdSlower, &QPushButton::clicked, this, [this, sayNewSpeed] {
        keying_.UpDown1_DownClick();
        sayNewSpeed();
    });
    // A speed being retyped must not stop the message on the air: only a speed the
    // engine keys is taken while typing, anything else when the box is left.
    connect(Text11, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (showing_)
            return;
        if (SpeedIsValid(SpeedFromText(t)))
            keying_.setSpeedText(t);
        else
            keying_.settings.speed = t;
    });
    connect(Text11, &QLineEdit::editingFinished, this, [this] {
        if (SpeedFromText(Text11->text()) == 0 && Text11->text() != QLatin1String("0"))
            Text11->setText(QStringLiteral("0"));
        keying_.setSpeedText(Text11->text());
    });
    connect(txtSpace, &QLineEdit::textChanged, this, [this](const QString &t) {
        bool ok = false;
        const int units = t.toInt(&ok);
        if (ok && units < -8) {
            txtSpace->setText(QStringLiteral("-8"));
            return;
        }
        if (!showing_) {
            keying_.settings.wordSpace = t;
            keying_.apply();
        }
    });
    connect(txtSpace, &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        txtSpace->text().toInt(&ok);
        if (!ok)
            txtSpace->setText(QStringLiteral("0"));
    });
    auto stepSpace = [this](int delta) {
        bool ok = false;
        const int units = txtSpace->text().toInt(&ok);
        txtSpace->setText(ok ? QString::number(units + delta) : QStringLiteral("0"));
    };
    connect(Command5, &QPushButton::clicked, this, [stepSpace] { stepSpace(-1); });
    connect(Command6, &QPushButton::clicked, this, [stepSpace] { stepSpace(1); });
    connect(&keying_, &KeyingController::speedChanged, this, &CwWindow::showSpeed);

    // Keying line.
    auto *line = new QGroupBox(QStringLiteral("Keying line"));
    auto *lineLayout = new QGridLayout(line);
    Option4 = option("Option4", QStringLiteral("None"), line->title());
    Option1 = option("Option1", QStringLiteral("RTS"), line->title());
    Option2 = option("Option2", QStringLiteral("DTR"), line->title());
    Option3 = option("Option3", QStringLiteral("Printer"), line->title());
    Option5 = option("Option5", QStringLiteral("WinKey"), line->title());
    auto *lines = new QButtonGroup(this);
    const std::pair<QRadioButton *, int> lineOptions[] = {
        {Option4, kKeyNone}, {Option1, kKeyRts}, {Option2, kKeyDtr}, {Option3, kKeyParallel}, {Option5, kKeyWinKey}};
    int row = 0;
    for (auto [b, value] : lineOptions) {
        lines->addButton(b, value);
        lineLayout->addWidget(b, row++, 0);
        connect(b, &QRadioButton::clicked, this, [this, value] { keyingLineClicked(value); });
    }
    cmdConfWinkey = MakeButton("cmdConfWinkey", QStringLiteral("Configure Winkey"));
    cmdConfWinkey->hide();
    connect(cmdConfWinkey, &QPushButton::clicked, this, &CwWindow::configureWinkeyRequested);
    lineLayout->addWidget(cmdConfWinkey, row++, 0);
    Text10 = box("Text10", QStringLiteral("CW serial port number, 0 for none"), TextKind::PortNumber);
    cmdPorts = MakeButton("cmdPorts", QStringLiteral("Serial &Ports..."));
    Text14 = box("Text14", QStringLiteral("Parallel port address"), TextKind::Address);
    lineLayout->addWidget(caption(QStringLiteral("Com port:"), Text10), 0, 1);
    lineLayout->addWidget(Text10, 0, 2);
    lineLayout->addWidget(cmdPorts, 1, 1, 1, 2);
    lineLayout->addWidget(caption(QStringLiteral("Printer port address:"), Text14), 3, 1);
    lineLayout->addWidget(Text14, 3, 2);
    connect(Text10, &QLineEdit::editingFinished, this, &CwWindow::portLeft);
    connect(Text10, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (!showing_)
            keying_.settings.port = t;
    });
    connect(Text14, &QLineEdit::editingFinished, this, [this] {
        if (Text14->text() == keying_.settings.parallelAddress)
            return;
        keying_.settings.parallelAddress = Text14->text();
        keying_.releaseLine();  // the next message opens the new port
    });
    connect(cmdPorts, &QPushButton::clicked, this, [this] {
        SerialPortsWindow w(session_, [] { return PresentSerialPorts(); }, this);
        runModal(w);
        keying_.setKeyingLine(keying_.settings.keyingLine);
    });

    // Timing.
    auto *timingBox = new QGroupBox(QStringLiteral("Timing"));
    auto *timingGrid = new QGridLayout(timingBox);
    optTimer = option("optTimer", QStringLiteral("Timer"), timingBox->title());
    optLoop = option("optLoop", QStringLiteral("Loop"), timingBox->title());
    OptSleep = option("OptSleep", QStringLiteral("Sleep"), timingBox->title());
    auto *timings = new QButtonGroup(this);
    for (QRadioButton *b : {optTimer, optLoop, OptSleep}) {
        timings->addButton(b);
        connect(b, &QRadioButton::clicked, this, &CwWindow::timingClicked);
    }
    txtLoop = box("txtLoop", QStringLiteral("Loop Delay"), TextKind::Seconds);
    lblLoop = caption(QStringLiteral("Loop Delay"), txtLoop);
    lblLoop->setObjectName(QStringLiteral("lblLoop"));
    cmdLoopFaster = MakeButton("cmdLoopFaster", QStringLiteral("F"), QStringLiteral("Loop faster"));
    cmdLoopSlower = MakeButton("cmdLoopSlower", QStringLiteral("S"), QStringLiteral("Loop slower"));
    timingGrid->addWidget(optTimer, 0, 0);
    timingGrid->addWidget(optLoop, 1, 0);
    timingGrid->addWidget(OptSleep, 2, 0);
    timingGrid->addWidget(lblLoop, 1, 1);
    timingGrid->addWidget(txtLoop, 1, 2);
    timingGrid->addWidget(cmdLoopFaster, 1, 3);
    timingGrid->addWidget(cmdLoopSlower, 1, 4);
    timingGrid->addWidget(new QLabel(QStringLiteral("Timer is the preferred option on most systems.")), 3, 0, 1, 5);
    // The keying thread times every element against the clock; a counted loop would only
    // be less exact, so Loop keys as Timer does and its count is kept for the settings.
    lblLoopNote = new QLabel(kLoopIsTimerText);
    lblLoopNote->setObjectName(QStringLiteral("lblLoopNote"));
    lblLoopNote->setWordWrap(true);
    // A window sized by its layout does not ask a wrapped label for its height: keep room
    // for the lines it takes at a narrow column.
    lblLoopNote->setMinimumHeight(lblLoopNote->heightForWidth(lblLoopNote->fontMetrics().averageCharWidth() * 40));
    optLoop->setAccessibleDescription(kLoopIsTimerText);
    timingGrid->addWidget(lblLoopNote, 4, 0, 1, 5);
    connect(txtLoop, &QLineEdit::textChanged, this, [this](const QString &t) {
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (ok && !showing_) {
            keying_.loopsPer60ms = v;
            keying_.apply();
        }
    });
    connect(cmdLoopFaster, &QPushButton::clicked, this, [this] {
        txtLoop->setText(QString::number(roundEven(txtLoop->text().toDouble() * 0.9), 'f', 0));
        Command1->setFocus();
    });
    connect(cmdLoopSlower, &QPushButton::clicked, this, [this] {
        txtLoop->setText(QString::number(roundEven(txtLoop->text().toDouble() * 1.111111111111), 'f', 0));
        Command1->setFocus();
    });

    Check1 = new QCheckBox(QStringLiteral("Display CW text on main form (NA for WinKey)."));
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(Check1->text());
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        if (!showing_)
            keying_.settings.showText = on ? 1 : 0;
    });
    txtCWLoop = box("txtCWLoop", QStringLiteral("Repeat F1 every so many seconds, 0 for no repeat"), TextKind::Seconds);
    connect(txtCWLoop, &QLineEdit::editingFinished, this, [this] {
        keying_.settings.repeatPause = txtCWLoop->text();
        keying_.apply();
        if (txtCWLoop->text() != keying_.settings.repeatPause)
            txtCWLoop->setText(keying_.settings.repeatPause);
    });

    // Which priority the keying thread got, and how to allow real time when it got none.
    lblRealTime = new QLabel;
    lblRealTime->setObjectName(QStringLiteral("lblRealTime"));
    lblRealTime->setWordWrap(true);
    lblRealTime->setTextFormat(Qt::PlainText);
    lblRealTime->setAccessibleDescription(QStringLiteral("Keying thread priority"));
    auto showRealTime = [this] {
        const QString text = RealTimeStatusText(keying_.realTime());
        lblRealTime->setText(text);
        lblRealTime->setAccessibleName(text);
    };
    showRealTime();
    connect(&keying_, &KeyingController::realTimeChanged, this, showRealTime);

    lblSending = new QLabel(QStringLiteral("Sending!"));
    lblSending->setObjectName(QStringLiteral("lblSending"));
    MakeNotification(lblSending);
    lblSending->hide();
    Command4 = MakeButton("Command4", QStringLiteral("&Test"), QStringLiteral("Test: send the F9 message"));
    Command7 = MakeButton("Command7", QStringLiteral("Send Code Practice"));
    Command1 = MakeButton("Command1", QStringLiteral("Done"));
    connect(Command4, &QPushButton::clicked, this, &CwWindow::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &CwWindow::codePracticeRequested);
    connect(Command1, &QPushButton::clicked, this, &CwWindow::Command1_Click);
    connect(&keying_, &KeyingController::sendingChanged, this, [this](bool on) {
        if (!on)
            lblSending->hide();
    });

    auto *repeatRow = new QHBoxLayout;
    repeatRow->addWidget(caption(QStringLiteral("Repeat F1 (Sec):"), txtCWLoop));
    repeatRow->addWidget(txtCWLoop);
    repeatRow->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(speed);
    right->addWidget(line);
    right->addWidget(timingBox);
    right->addWidget(lblRealTime);
    right->addWidget(Check1);
    right->addLayout(repeatRow);
    right->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(messages, 3);
    top->addLayout(right, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addWidget(lblSending);
    buttons->addWidget(Command7);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addLayout(buttons);

    showSettings();
}

void CwWindow::showSettings()
{
    showing_ = true;
    const CwSettings &s = keying_.settings;
    for (size_t i = 0; i < messageBoxes.size(); ++i)
        messageBoxes[i]->setText(s.messages[i]);
    Text10->setText(s.port);
    Text11->setText(s.speed);
    txtSpace->setText(s.wordSpace);
    Text14->setText(s.parallelAddress);
    Check1->setChecked(s.showText == 1);
    txtCWLoop->setText(s.repeatPause);
    for (auto [b, value] : {std::pair{Option4, int(kKeyNone)}, std::pair{Option1, int(kKeyRts)},
                            std::pair{Option2, int(kKeyDtr)}, std::pair{Option3, int(kKeyParallel)},
                            std::pair{Option5, int(kKeyWinKey)}})
        b->setChecked(s.keyingLine == value);
    cmdConfWinkey->setVisible(s.keyingLine == kKeyWinKey);
    optTimer->setChecked(keying_.timing == CwTiming::Timer);
    optLoop->setChecked(keying_.timing == CwTiming::Loop);
    OptSleep->setChecked(keying_.timing == CwTiming::Sleep);
    txtLoop->setText(QString::number(keying_.loopsPer60ms, 'f', 0));
    const bool loop = keying_.timing == CwTiming::Loop;
    for (QWidget *w : {static_cast<QWidget *>(txtLoop), static_cast<QWidget *>(lblLoop),
                       static_cast<QWidget *>(cmdLoopFaster), static_cast<QWidget *>(cmdLoopSlower)})
        w->setEnabled(loop);
    showing_ = false;
}

void CwWindow::showSpeed(const QString &speed)
{
    if (Text11->text() == speed)
        return;
    showing_ = true;
    Text11->setText(speed);
    showing_ = false;
}

void CwWindow::keyingLineClicked(int line)
{
    keying_.setKeyingLine(line);
    cmdConfWinkey->setVisible(line == kKeyWinKey);
    if (line == kKeyWinKey)
        emit winkeyChosen();
}

void CwWindow::timingClicked()
{
    keying_.timing = optLoop->isChecked() ? CwTiming::Loop : OptSleep->isChecked() ? CwTiming::Sleep : CwTiming::Timer;
    if (keying_.timing == CwTiming::Loop && keying_.loopsPer60ms == 0)
        keying_.loopsPer60ms = calibrateLoop();
    keying_.apply();
    showSettings();
}

void CwWindow::portLeft()
{
    bool ok = false;
    Text10->text().toInt(&ok);
    if (!ok)
        Text10->setText(QStringLiteral("0"));
    keying_.settings.port = Text10->text();
    if (keying_.settings.keyingLine == kKeyRts || keying_.settings.keyingLine == kKeyDtr)
        keying_.CWSetup();
}

void CwWindow::Command4_Click()
{
    const int line = keying_.settings.keyingLine;
    if ((line == kKeyRts || line == kKeyDtr) && Text10->text().toInt() <= 0) {
        session_.prompter.message(QStringLiteral("Please enter a com port for CW rig interface."),
                                  QStringLiteral("A com port is required."), PromptIcon::Information);
        Text10->setFocus();
        return;
    }
    lblSending->show();
    Announce(lblSending, true);
    keying_.sendMessage(9);
    if (!keying_.CWSending())
        lblSending->hide();
    if (isVisible())
        messageBoxes[0]->setFocus();
}

bool CwWindow::SaveCwSettings()
{
    QString error;
    const bool saved = zev::SaveCwSettings(session_.folders.work(kCwSettingsFile), keying_.settings, &error);
    QString registryError;
    const bool kept = session_.registry.setValue(QStringLiteral("UserCWSelection"), CwTimingText(keying_.timing),
                                                 &registryError) &&
                      session_.registry.setValue(QStringLiteral("UserCWLoopOffset"),
                                                 QString::number(keying_.loopsPer60ms, 'f', 0), &registryError);
    if (!saved)
        session_.prompter.message(QStringLiteral("The CW messages and settings could not be saved to %1 (%2). They "
                                                 "stay in effect until the program ends; the old file is kept.")
                                      .arg(kCwSettingsFile, error),
                                  QStringLiteral("CW Settings Not Saved"), PromptIcon::Exclamation);
    if (!kept)
        session_.prompter.message(QStringLiteral("The CW timing choice could not be kept (%1).").arg(registryError),
                                  QStringLiteral("CW Settings Not Saved"), PromptIcon::Exclamation);
    return saved && kept;
}

void CwWindow::Command1_Click()
{
    SaveCwSettings();
    hide();
    emit done();
}

}  // namespace zev
