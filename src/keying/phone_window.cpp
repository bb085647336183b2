#include "keying/phone_window.h"

#include "common/quoted_values.h"
#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "keying/voice_keyer.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

namespace {

// Text10 selects all its text when it gets the focus.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            if (auto *box = qobject_cast<QLineEdit *>(watched))
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
        return false;
    }
};

}  // namespace

PhoneWindow::PhoneWindow(Session &session, VoiceKeyer &keyer, QWidget *parent)
    : QDialog(parent), s_(session), keyer_(keyer)
{
    setObjectName(QStringLiteral("PhoneFrm"));
    setWindowTitle(QStringLiteral("Phone Wave Selections"));
    runModal = [](QDialog &d) { d.exec(); };

    auto button = [this](const char *name, const QString &caption, const QString &accessible) {
        QPushButton *b = MakeButton(name, caption, accessible);
        b->setParent(this);
        return b;
    };

    auto *files = new QGridLayout;
    for (int i = 0; i < 9; ++i) {
        const QString key = QStringLiteral("F%1").arg(i + 1);
        Text[i] = new QLineEdit(this);
        Text[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        Text[i]->setAccessibleName(QStringLiteral("%1 wave file").arg(key));
        auto *caption = new QLabel(key, this);
        caption->setBuddy(Text[i]);
        Browses[i] = button(QStringLiteral("Command%1").arg(i + 2).toLatin1().constData(), QStringLiteral("Browse"),
                            QStringLiteral("Browse for %1").arg(key));
        connect(Browses[i], &QPushButton::clicked, this, [this, i] { Browse(i); });
        files->addWidget(caption, i, 0);
        files->addWidget(Text[i], i, 1);
        files->addWidget(Browses[i], i, 2);
    }

    Text10 = new QLineEdit(this);
    Text10->setObjectName(QStringLiteral("Text10"));
    Text10->setAccessibleName(QStringLiteral("PTT serial port, 0 for none"));
    Text10->installEventFilter(new SelectAllOnFocus(Text10));
    connect(Text10, &QLineEdit::editingFinished, this, &PhoneWindow::portLeft);
    cmdPorts = button("cmdPorts", QStringLiteral("Serial &Ports..."), QStringLiteral("Serial Ports"));
    connect(cmdPorts, &QPushButton::clicked, this, [this] {
        SerialPortsWindow w(s_, [] { return PresentSerialPorts(); }, this);
        runModal(w);
    });

    Option1 = new QRadioButton(QStringLiteral("RTS"), this);
    Option2 = new QRadioButton(QStringLiteral("DTR"), this);
    Option3 = new QRadioButton(QStringLiteral("Parallel"), this);
    int n = 1;
    for (QRadioButton *o : {Option1, Option2, Option3}) {
        o->setObjectName(QStringLiteral("Option%1").arg(n++));
        o->setAccessibleName(o->text());
    }

    Text11 = new QLineEdit(this);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setAccessibleName(QStringLiteral("Parallel port address"));
    // No double quote (the file could not hold it); letters in capitals, as "&H378".
    connect(Text11, &QLineEdit::textEdited, this, [this](const QString &text) {
        QString t = text.toUpper();
        t.remove(QLatin1Char('"'));
        if (t != text) {
            const int cursor = Text11->cursorPosition() - int(text.size() - t.size());
            Text11->setText(t);
            Text11->setCursorPosition(qMax(0, cursor));
        }
    });

    txtPHLoop = new QLineEdit(this);
    txtPHLoop->setObjectName(QStringLiteral("txtPHLoop"));
    txtPHLoop->setAccessibleName(QStringLiteral("Loop (Sec)"));
    txtPHLoop->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), txtPHLoop));
    connect(txtPHLoop, &QLineEdit::editingFinished, this, &PhoneWindow::loopLeft);

    Command11 = button("Command11", QStringLiteral("&Test"), QStringLiteral("Test"));
    Command12 = button("Command12", QStringLiteral("&Stop"), QStringLiteral("Stop"));
    Command1 = button("Command1", QStringLiteral("&Done"), QStringLiteral("Done"));
    Command12->hide();
    connect(Command11, &QPushButton::clicked, this, &PhoneWindow::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &PhoneWindow::Command12_Click);
    connect(Command1, &QPushButton::clicked, this, &PhoneWindow::Command1_Click);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    lblStatus->setAccessibleDescription(QStringLiteral("Voice keyer message"));
    MakeNotification(lblStatus);
    connect(&keyer_, &VoiceKeyer::status, this, &PhoneWindow::showStatus);
    connect(&keyer_, &VoiceKeyer::repeatArmedChanged, this, [this](bool armed) {
        if (!armed)
            Command12->hide();
    });

    auto *ptt = new QGroupBox(QStringLiteral("PTT"), this);
    auto *pttLayout = new QGridLayout(ptt);
    auto *portCaption = new QLabel(QStringLiteral("Serial port (0 = none):"), this);
    portCaption->setBuddy(Text10);
    pttLayout->addWidget(portCaption, 0, 0);
    pttLayout->addWidget(Text10, 0, 1);
    pttLayout->addWidget(cmdPorts, 0, 2);
    auto *options = new QHBoxLayout;
    options->addWidget(Option1);
    options->addWidget(Option2);
    options->addWidget(Option3);
    pttLayout->addLayout(options, 1, 0, 1, 3);
    auto *addressCaption = new QLabel(QStringLiteral("Parallel port address:"), this);
    addressCaption->setBuddy(Text11);
    pttLayout->addWidget(addressCaption, 2, 0);
    pttLayout->addWidget(Text11, 2, 1);
    auto *loopCaption = new QLabel(QStringLiteral("Loop (Sec)"), this);
    loopCaption->setBuddy(txtPHLoop);
    pttLayout->addWidget(loopCaption, 3, 0);
    pttLayout->addWidget(txtPHLoop, 3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command11);
    buttons->addWidget(Command12);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addWidget(ptt);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);

    LoadControls();
}

void PhoneWindow::LoadControls()
{
    const VoiceSettings &v = keyer_.settings();
    for (int i = 0; i < 9; ++i)
        Text[i]->setText(v.files[i]);
    Text10->setText(v.port);
    Option1->setChecked(v.line == PttLine::Rts);
    Option2->setChecked(v.line == PttLine::Dtr);
    Option3->setChecked(v.line == PttLine::Parallel);
    Text11->setText(v.address);
    txtPHLoop->setText(v.loop);
}

VoiceSettings PhoneWindow::controlSettings() const
{
    VoiceSettings v;
    for (int i = 0; i < 9; ++i)
        v.files[i] = Text[i]->text().trimmed();
    v.port = Text10->text();
    v.line = Option2->isChecked() ? PttLine::Dtr : Option3->isChecked() ? PttLine::Parallel : PttLine::Rts;
    v.loop = txtPHLoop->text();
    v.address = Text11->text();
    return v;
}

void PhoneWindow::portLeft()
{
    if (!IsNumeric(Text10->text()))
        Text10->setText(QStringLiteral("0"));
    keyer_.setSettings(controlSettings());
    keyer_.PhonePortSetup();
}

void PhoneWindow::loopLeft()
{
    if (!RepeatPauseSeconds(txtPHLoop->text()))
        txtPHLoop->setText(QStringLiteral("0"));
    keyer_.setSettings(controlSettings());
}

void PhoneWindow::Browse(int box)
{
    const QString current = Text[box]->text().trimmed();
    const QString dir = current.isEmpty() ? s_.folders.StartDir : QFileInfo(current).absolutePath();
    const std::optional<QString> file =
        s_.prompter.openFile(QStringLiteral("Browse"), dir, QStringLiteral("Wave files (*.wav)"));
    QDir::setCurrent(s_.folders.StartDir);
    if (!file) {
        s_.prompter.beep();
        return;
    }
    Text[box]->setText(*file);
    Command1->setFocus();
}

void PhoneWindow::Command11_Click()
{
    keyer_.setSettings(controlSettings());
    keyer_.FKeyPhone(kKeyF1);
    if (isVisible())
        Command1->setFocus();
    if (keyer_.VoiceRepeatArmed())
        Command12->show();
}

void PhoneWindow::Command12_Click()
{
    keyer_.disarmRepeat();
    Command12->hide();
}

bool PhoneWindow::Command1_Click()
{
    const VoiceSettings v = controlSettings();
    keyer_.setSettings(v);
    QDir::setCurrent(s_.folders.StartDir);
    const QString path = s_.folders.work(kVoiceSettingsFile);
    QString error;
    if (!SaveVoiceSettings(path, v, &error)) {
        // The window stays open, so nothing typed is lost.
        s_.prompter.message(QStringLiteral("The voice keyer settings could not be saved in \"%1\".")
                                .arg(QDir::toNativeSeparators(path)),
                            QStringLiteral("Settings Not Saved"), PromptIcon::Exclamation, error);
        return false;
    }
    hide();
    return true;
}

void PhoneWindow::showStatus(const QString &text)
{
    lblStatus->setText(text);
    Announce(lblStatus, true);
}

}  // namespace zev
