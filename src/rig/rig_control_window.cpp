#include "rig/rig_control_window.h"

#include "frame/widget_helpers_ui.h"
#include "common/file_io.h"
#include "frame/session.h"
#include "rig/rig_family.h"
#include "rig/rig_link.h"
#include "rig/serial_ports_device.h"
#include "rig/serial_ports_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

namespace {

const char *const kIcomNote = "Icom radio users will have to replace the 64 in the string with the ID for your "
                              "particular radio.  Please check your Icom user's manual for details.";

struct Option {
    QString caption, value;
};

// A frame of option buttons; each button carries the value it stands for.
QButtonGroup *optionFrame(QWidget *owner, QGridLayout *into, int row, int col, const QString &title,
                          const QList<Option> &options, int columns = 1)
{
    auto *box = new QGroupBox(title);
    auto *grid = new QGridLayout(box);
    auto *group = new QButtonGroup(owner);
    for (int i = 0; i < options.size(); ++i) {
        auto *b = new QRadioButton(options[i].caption);
        b->setProperty("value", options[i].value);
        b->setAccessibleName(title + QLatin1Char(' ') + options[i].caption);
        group->addButton(b, i);
        grid->addWidget(b, i / columns, i % columns);
    }
    into->addWidget(box, row, col);
    return group;
}

// Checks the button whose value is `value`, or none.
void select(QButtonGroup *group, const QString &value)
{
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(b->property("value").toString() == value);
    group->setExclusive(true);
}

// The checked button's value; `kept` when none is checked.
QString chosen(const QButtonGroup *group, const QString &kept)
{
    const QAbstractButton *b = group->checkedButton();
    return b ? b->property("value").toString() : kept;
}

}  // namespace

RigControlWindow::RigControlWindow(Session &session, const QString &settingsPath, QWidget *parent)
    : QDialog(parent), session_(session), path_(settingsPath)
{
    setObjectName(QStringLiteral("RigControlfrm"));
    setWindowTitle(QStringLiteral(" Rig Interface Setup"));
    runModal = [](QDialog &d) { d.exec(); };
    chooseFolder = [this](const QString &start) {
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Folder of the Pegasus files"), start);
    };

    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Radio"));
    for (const rig::RigDescriptor &d : rig::RigList())
        List1->addItem(d.name);

    auto *options = new QGridLayout;
    baud = optionFrame(this, options, 0, 0, QStringLiteral("Baud"),
                       {{"1200", "1200"}, {"2400", "2400"}, {"4800", "4800"}, {"9600", "9600"}, {"14400", "14400"},
                        {"19200", "19200"}, {"28800", "28800"}, {"38400", "38400"}, {"56000", "56000"}});
    parity = optionFrame(this, options, 0, 1, QStringLiteral("Parity"), {{"O", "O"}, {"N", "N"}, {"E", "E"}});
    dataBits = optionFrame(this, options, 0, 2, QStringLiteral("Data Bits"), {{"7", "7"}, {"8", "8"}});
    stopBits = optionFrame(this, options, 0, 3, QStringLiteral("Stop Bits"), {{"1", "1"}, {"2", "2"}});
    QList<Option> ports;
    for (int n = 1; n <= 10; ++n)
        ports << Option{QString::number(n), QString::number(n)};
    port = optionFrame(this, options, 1, 0, QStringLiteral("Port"), ports, 2);
    power = optionFrame(this, options, 1, 1, QStringLiteral("Power"), {{"None", "N"}, {"RTS", "R"}, {"DTR", "D"}});
    pollRate = optionFrame(this, options, 1, 2, QStringLiteral("Polling Rate"),
                           {{"100 ms", "F"}, {"500 ms", "M"}, {"2 Sec", "S"}, {"10 Sec", "R"}});
    for (QButtonGroup *g : {baud, parity, dataBits, stopBits, port, power, pollRate})
        connect(g, &QButtonGroup::buttonClicked, this, [this] { optionChanged(); });

    auto *modeBox = new QGroupBox(QStringLiteral("Mode by"));
    auto *modeLayout = new QVBoxLayout(modeBox);
    OptRig = new QRadioButton(QStringLiteral("Rig"));
    OptFreq = new QRadioButton(QStringLiteral("Frequency"));
    OptDont = new QRadioButton(QStringLiteral("Don't Use"));
    for (auto [b, name] : {std::pair{OptRig, "OptRig"}, std::pair{OptFreq, "OptFreq"}, std::pair{OptDont, "OptDont"}}) {
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(QStringLiteral("Mode by ") + b->text());
        modeLayout->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this] {
            lblMode->setText(QStringLiteral("No Response"));
        });
    }
    options->addWidget(modeBox, 1, 3);

    chkConvToHex = new QCheckBox(QStringLiteral("Convert to Hex"));
    chkConvToHex->setObjectName(QStringLiteral("chkConvToHex"));
    ChkConvHex = new QCheckBox(QStringLiteral("Convert from Hex"));
    ChkConvHex->setObjectName(QStringLiteral("ChkConvHex"));
    ChkConvHex->setEnabled(false);
    chkFrequency = new QCheckBox(QStringLiteral("Use Frequency"));
    chkFrequency->setObjectName(QStringLiteral("chkFrequency"));
    connect(chkConvToHex, &QCheckBox::clicked, this, [this](bool on) {
        ChkConvHex->setChecked(on);
        s_.ConvertToHex = on ? 1 : 0;
    });

    txtFreq = new QLineEdit;
    txtFreq->setObjectName(QStringLiteral("txtFreq"));
    txtFreq->setAccessibleName(QStringLiteral("String to read frequency:"));
    txtMode = new QLineEdit;
    txtMode->setObjectName(QStringLiteral("txtMode"));
    txtMode->setAccessibleName(QStringLiteral("String to read mode:"));
    for (QLineEdit *e : {txtFreq, txtMode}) {
        e->setMaxLength(100);
        e->installEventFilter(this);
    }
    connect(txtFreq, &QLineEdit::textChanged, this, [this](const QString &t) { s_.FreqQuery = t; });
    connect(txtMode, &QLineEdit::textChanged, this, [this](const QString &t) { s_.ModeQuery = t; });

    txtPegasus = new QLineEdit(PegasusFolder(session_));
    txtPegasus->setObjectName(QStringLiteral("txtPegasus"));
    txtPegasus->setAccessibleName(QStringLiteral("Pegasus files folder"));
    txtPegasus->setAccessibleDescription(
        QStringLiteral("The radio's control program writes PEGASUS.OUT and reads PEGASUS.IN in this folder."));
    connect(txtPegasus, &QLineEdit::editingFinished, this, [this] {
        if (txtPegasus->isModified())
            SetPegasusFolder(txtPegasus->text());
        txtPegasus->setModified(false);
    });

    hamlib_ = LoadHamlibChoice(session_.registry);
    auto *hamlibGroup = new QGroupBox(QStringLiteral("Hamlib radio"));
    hamlibBox_ = hamlibGroup;
    txtHamlibFind = new QLineEdit;
    txtHamlibFind->setObjectName(QStringLiteral("txtHamlibFind"));
    txtHamlibFind->setAccessibleName(QStringLiteral("Find a Hamlib radio"));
    txtHamlibFind->setPlaceholderText(QStringLiteral("maker and model, e.g. yaesu 991"));
    lstHamlib = new QListWidget;
    lstHamlib->setObjectName(QStringLiteral("lstHamlib"));
    lstHamlib->setAccessibleName(QStringLiteral("Hamlib radio model"));
    for (const HamlibModel &m : HamlibModels()) {
        auto *item = new QListWidgetItem(m.text, lstHamlib);
        item->setData(Qt::UserRole, m.model);
    }
    chkHamlibNet = new QCheckBox(QStringLiteral("Network (rigctld)"));
    chkHamlibNet->setObjectName(QStringLiteral("chkHamlibNet"));
    chkHamlibNet->setAccessibleName(QStringLiteral("Network radio through rigctld"));
    txtHamlibNet = new QLineEdit;
    txtHamlibNet->setObjectName(QStringLiteral("txtHamlibNet"));
    txtHamlibNet->setAccessibleName(QStringLiteral("rigctld address, host:port"));
    txtHamlibNet->setMaxLength(200);
    connect(txtHamlibFind, &QLineEdit::textChanged, this, [this](const QString &t) { filterHamlib(t); });
    connect(lstHamlib, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (applying_ || !item)
            return;
        Command2_Click();
        hamlib_.model = item->data(Qt::UserRole).toInt();
        showHamlibChoice();
    });
    connect(chkHamlibNet, &QCheckBox::clicked, this, [this](bool on) {
        Command2_Click();
        // Off the network: the dummy radio until a model is picked from the list.
        hamlib_.model = on ? kHamlibNetModel : kHamlibDummyModel;
        showHamlibChoice();
    });
    connect(txtHamlibNet, &QLineEdit::textChanged, this, [this](const QString &t) { hamlib_.netAddress = t.trimmed(); });
    {
        auto *grid = new QGridLayout(hamlibGroup);
        auto *findCaption = new QLabel(QStringLiteral("Find:"));
        findCaption->setBuddy(txtHamlibFind);
        grid->addWidget(findCaption, 0, 0);
        grid->addWidget(txtHamlibFind, 0, 1);
        grid->addWidget(lstHamlib, 1, 0, 1, 2);
        grid->addWidget(chkHamlibNet, 2, 0, 1, 2);
        auto *netCaption = new QLabel(QStringLiteral("rigctld host:port:"));
        netCaption->setBuddy(txtHamlibNet);
        grid->addWidget(netCaption, 3, 0);
        grid->addWidget(txtHamlibNet, 3, 1);
    }

    Label10 = new QLabel(QString::fromLatin1(kIcomNote));
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setWordWrap(true);
    Label10->setTextFormat(Qt::PlainText);
    Label10->hide();
    lblFreq = new QLabel;
    lblFreq->setObjectName(QStringLiteral("lblFreq"));
    lblFreq->setAccessibleDescription(QStringLiteral("Frequency"));
    lblMode = new QLabel;
    lblMode->setObjectName(QStringLiteral("lblMode"));
    lblMode->setAccessibleDescription(QStringLiteral("Mode"));
    lblUnProcess = new QLabel;
    lblUnProcess->setObjectName(QStringLiteral("lblUnProcess"));
    lblUnProcess->setAccessibleDescription(QStringLiteral("Unprocessed data"));
    lblLink = new QLabel;
    lblLink->setObjectName(QStringLiteral("lblLink"));
    lblLink->setTextFormat(Qt::PlainText);
    lblLink->setWordWrap(true);
    lblLink->setAccessibleDescription(QStringLiteral("Rig link"));
    MakeNotification(lblLink);
    lblPolling = new QLabel(QStringLiteral("Polling Rig"));
    lblPolling->setObjectName(QStringLiteral("lblPolling"));
    lblPolling->hide();
    for (QLabel *l : {lblFreq, lblMode, lblUnProcess, lblPolling})
        l->setTextFormat(Qt::PlainText);  // radio bytes are never markup

    auto button = [](QPushButton *&b, const char *name, const QString &caption) { b = MakeButton(name, caption); };
    button(Command1, "Command1", QStringLiteral("Test"));
    button(Command2, "Command2", QStringLiteral("End Test"));
    button(Command3, "Command3", QStringLiteral("Change Frequency"));
    button(Command4, "Command4", QStringLiteral("Copy unprocessed data to clipboard"));
    button(cmdPorts, "cmdPorts", QStringLiteral("Serial &Ports..."));
    button(cmdPegasus, "cmdPegasus", QStringLiteral("&Browse..."));
    cmdPegasus->setAccessibleName(QStringLiteral("Browse for the Pegasus files folder"));
    button(cmdDone, "cmdDone", QStringLiteral("&Done"));
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &RigControlWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &RigControlWindow::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (polling_) {
            emit changeFrequencyRequested();
            return;
        }
        session_.prompter.message(QStringLiteral("You must be polling your rig to test this function.  Please "
                                                 "select your rig type and click the Test command button."),
                                  QStringLiteral("You must be polling your rig to test this function."),
                                  PromptIcon::Information);
    });
    connect(Command4, &QPushButton::clicked, this, &RigControlWindow::Command4_Click);
    connect(cmdPorts, &QPushButton::clicked, this, [this] {
        SerialPortsWindow w(session_, [] { return PresentSerialPorts(); }, this);
        runModal(w);
    });
    connect(cmdDone, &QPushButton::clicked, this, &RigControlWindow::cmdDone_Click);
    connect(cmdPegasus, &QPushButton::clicked, this, [this] {
        const QString folder = chooseFolder(txtPegasus->text());
        if (!folder.isEmpty())
            SetPegasusFolder(folder);
    });
    connect(List1, &QListWidget::currentTextChanged, this, [this](const QString &name) { SelectRig(name); });

    auto *queries = new QGridLayout;
    auto *freqCaption = new QLabel(QStringLiteral("String to read frequency:"));
    freqCaption->setBuddy(txtFreq);
    auto *modeCaption = new QLabel(QStringLiteral("String to read mode:"));
    modeCaption->setBuddy(txtMode);
    queries->addWidget(freqCaption, 0, 0);
    queries->addWidget(txtFreq, 0, 1);
    queries->addWidget(modeCaption, 1, 0);
    queries->addWidget(txtMode, 1, 1);
    auto *checks = new QHBoxLayout;
    checks->addWidget(chkConvToHex);
    checks->addWidget(ChkConvHex);
    checks->addWidget(chkFrequency);
    checks->addStretch(1);
    auto *readings = new QGridLayout;
    readings->addWidget(new QLabel(QStringLiteral("Frequency:")), 0, 0);
    readings->addWidget(lblFreq, 0, 1);
    readings->addWidget(new QLabel(QStringLiteral("Mode:")), 1, 0);
    readings->addWidget(lblMode, 1, 1);
    readings->addWidget(new QLabel(QStringLiteral("Unprocessed data:")), 2, 0);
    readings->addWidget(lblUnProcess, 2, 1);
    readings->addWidget(lblPolling, 3, 0, 1, 2);
    readings->addWidget(lblLink, 4, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Command1, Command2, Command3, Command4, cmdPorts})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdDone);

    auto *left = new QVBoxLayout;
    auto *listCaption = new QLabel(QStringLiteral("Radio:"));
    listCaption->setBuddy(List1);
    left->addWidget(listCaption);
    left->addWidget(List1, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(options);
    right->addLayout(checks);
    right->addLayout(queries);
    auto *pegasusRow = new QHBoxLayout;
    pegasusCaption_ = new QLabel(QStringLiteral("Pegasus files folder:"));
    pegasusCaption_->setBuddy(txtPegasus);
    pegasusRow->addWidget(pegasusCaption_);
    pegasusRow->addWidget(txtPegasus, 1);
    pegasusRow->addWidget(cmdPegasus);
    right->addLayout(pegasusRow);
    right->addWidget(hamlibBox_);
    right->addWidget(Label10);
    right->addLayout(readings);
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right, 3);
    auto *v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addLayout(buttons);

    LoadRigSettings();
}

bool RigControlWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Editing a query means the radio's answers will change: the test stops first.
    if (event->type() == QEvent::FocusIn && (watched == txtFreq || watched == txtMode))
        Command2_Click();
    return QDialog::eventFilter(watched, event);
}

void RigControlWindow::LoadRigSettings()
{
    applying_ = true;
    if (std::optional<QByteArray> data = ReadWholeFile(path_)) {
        // What was read before a fault stays; the values after it keep their defaults.
        const RigSettingsReadResult r = ParseRigSettings(*data, s_);
        if (!r.ok)
            say(QStringLiteral("%1, line %2: %3. The settings from there on are the defaults.")
                    .arg(kRigSettingsFile)
                    .arg(r.position.line)
                    .arg(r.error));
    }
    applyToWindow();
    const QList<QListWidgetItem *> found = List1->findItems(s_.RigName, Qt::MatchExactly);
    List1->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    // The entry's defaults are not applied on loading, so stored edits survive.
    const rig::RigDescriptor *d = rig::FindRig(s_.RigName);
    chkConvToHex->setEnabled(d && d->hexEditable);
    Label10->setVisible(d && d->icomNoteOnLoad);
    showPegasusRow();
    applying_ = false;
}

void RigControlWindow::applyToWindow()
{
    chkConvToHex->setChecked(s_.ConvertToHex == 1);
    ChkConvHex->setChecked(s_.ConvertToHex == 1);
    chkFrequency->setChecked(s_.UseFrequency == 1);
    OptRig->setChecked(s_.ModeBy == 1);
    OptFreq->setChecked(s_.ModeBy == 2);
    OptDont->setChecked(s_.ModeBy == 3);
    txtFreq->setText(s_.FreqQuery);
    txtMode->setText(s_.ModeQuery);
    select(baud, s_.RigBaud.trimmed());
    select(parity, s_.RigParity);
    select(dataBits, s_.RigDataBits);
    select(stopBits, s_.RigStopBits);
    select(port, QString::number(s_.RigPort));
    select(power, s_.PowerLine);
    select(pollRate, s_.PollRate);
}

void RigControlWindow::readOptions()
{
    s_.RigPort = chosen(port, QString::number(s_.RigPort)).toInt();
    s_.RigBaud = StoredBaud(chosen(baud, s_.RigBaud));
    s_.RigParity = chosen(parity, s_.RigParity);
    s_.RigDataBits = chosen(dataBits, s_.RigDataBits);
    s_.RigStopBits = chosen(stopBits, s_.RigStopBits);
    s_.RigSerialSettings = SerialSettingsText(s_);
    s_.PowerLine = chosen(power, s_.PowerLine);
    s_.PollRate = chosen(pollRate, s_.PollRate);
    s_.UseFrequency = chkFrequency->isChecked() ? 1 : 0;
    s_.ModeBy = OptFreq->isChecked() ? 2 : OptDont->isChecked() ? 3 : 1;
}

void RigControlWindow::optionChanged()
{
    Command2_Click();
}

void RigControlWindow::SelectRig(const QString &name)
{
    if (applying_ || name.isEmpty())
        return;
    Command2_Click();
    readOptions();
    s_.RigName = name;
    s_.FreqQuery.clear();
    s_.ModeQuery.clear();
    s_.ConvertToHex = 0;
    chkConvToHex->setEnabled(false);
    Label10->setVisible(false);
    if (const rig::RigDescriptor *d = rig::FindRig(name)) {
        if (!d->baud.isEmpty())
            s_.RigBaud = StoredBaud(d->baud);
        if (!d->parity.isNull())
            s_.RigParity = QString(d->parity);
        if (!d->dataBits.isNull())
            s_.RigDataBits = QString(d->dataBits);
        if (!d->stopBits.isNull())
            s_.RigStopBits = QString(d->stopBits);
        s_.FreqQuery = d->freqQuery;
        s_.ModeQuery = d->modeQuery;
        s_.ConvertToHex = d->convertToHex ? 1 : 0;
        chkConvToHex->setEnabled(d->hexEditable);
        Label10->setVisible(d->icomNote);
    }
    showPegasusRow();
    s_.RigSerialSettings = SerialSettingsText(s_);
    applyToWindow();
}

QString RigControlWindow::PegasusFolder(Session &session)
{
    const QString chosen = session.registry.value(QStringLiteral("PegasusFolder"));
    return chosen.isEmpty() ? session.folders.work(QStringLiteral("Pegasus")) : chosen;
}

bool RigControlWindow::SetPegasusFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder.trimmed());
    QString error;
    if (clean.isEmpty() || !QDir::isAbsolutePath(clean)) {
        error = QStringLiteral("a full path starting with / is needed");
    } else if (session_.registry.setValue(QStringLiteral("PegasusFolder"), clean, &error)) {
        txtPegasus->setText(clean);
        emit pegasusFolderChanged(clean);
        return true;
    }
    session_.prompter.message(QStringLiteral("The Pegasus files folder \"%1\" was not kept (%2). The link keeps "
                                             "using %3.")
                                  .arg(folder, error, PegasusFolder(session_)),
                              QStringLiteral("Folder Not Kept"), PromptIcon::Exclamation);
    txtPegasus->setText(PegasusFolder(session_));
    return false;
}

void RigControlWindow::filterHamlib(const QString &text)
{
    // Every word typed must appear: "yaesu 991" finds "Yaesu FT-991".
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < lstHamlib->count(); ++i) {
        QListWidgetItem *item = lstHamlib->item(i);
        bool match = true;
        for (const QString &w : words)
            match = match && item->text().contains(w, Qt::CaseInsensitive);
        item->setHidden(!match);
    }
}

void RigControlWindow::showHamlibChoice()
{
    const bool was = applying_;
    applying_ = true;
    const bool net = hamlib_.model == kHamlibNetModel;
    chkHamlibNet->setChecked(net);
    txtHamlibNet->setText(hamlib_.netAddress);
    txtHamlibNet->setEnabled(net);
    for (int i = 0; i < lstHamlib->count(); ++i)
        if (lstHamlib->item(i)->data(Qt::UserRole).toInt() == hamlib_.model)
            lstHamlib->setCurrentRow(i);
    applying_ = was;
}

bool RigControlWindow::KeepHamlibChoice()
{
    QString error;
    if (SaveHamlibChoice(session_.registry, hamlib_, &error))
        return true;
    session_.prompter.message(QStringLiteral("The Hamlib radio could not be kept (%1).").arg(error),
                              QStringLiteral("Rig Settings Not Saved"), PromptIcon::Exclamation);
    return false;
}

void RigControlWindow::showPegasusRow()
{
    const rig::RigDescriptor *d = rig::FindRig(s_.RigName);
    hamlibBox_->setVisible(d && d->hamlib);
    if (d && d->hamlib)
        showHamlibChoice();
    const bool pegasus = d && d->usesCommandFiles;
    for (QWidget *w : {static_cast<QWidget *>(pegasusCaption_), static_cast<QWidget *>(txtPegasus),
                       static_cast<QWidget *>(cmdPegasus)})
        w->setVisible(pegasus);
}

// Test compares exactly: a "none" typed into the settings file is a radio name here.
static bool RadioChosen(const QString &rigName)
{
    const rig::RigDescriptor *d = rig::FindRig(rigName);
    return !(d && d->noRadio);
}

void RigControlWindow::Command1_Click()
{
    const bool rig = RadioChosen(s_.RigName);
    if (rig) {
        lblMode->setText(QStringLiteral("No Response"));
        lblFreq->setText(QStringLiteral("No Response"));
        Command2->setEnabled(true);
        lblPolling->show();
    }
    readOptions();
    if (!rig)
        return;
    // The link reads the Hamlib choice from the registry when it starts.
    const rig::RigDescriptor *d = rig::FindRig(s_.RigName);
    if (d && d->hamlib && !KeepHamlibChoice()) {
        Command2_Click();
        return;
    }
    polling_ = true;
    awaitingAnswer_ = true;
    say({});
    emit testRequested(s_);
}

void RigControlWindow::Command2_Click()
{
    for (QLabel *l : {lblMode, lblFreq, lblUnProcess})
        l->clear();
    lblPolling->hide();
    Command2->setEnabled(false);
    awaitingAnswer_ = false;
    const bool was = polling_;
    polling_ = false;
    if (was)
        emit endTestRequested();
}

void RigControlWindow::SetPolling(bool polling)
{
    polling_ = polling;
    Command2->setEnabled(polling);
    lblPolling->setVisible(polling);
}

void RigControlWindow::ShowReading(const QString &frequency, const QString &mode)
{
    if (!frequency.isEmpty())
        lblFreq->setText(frequency);
    if (!mode.isEmpty())
        lblMode->setText(mode);
    // A reply's frequency and mode arrive one after the other: said once both are in.
    if (awaitingAnswer_ && !answerQueued_ && !frequency.isEmpty() && frequency != QLatin1String("No Response")) {
        answerQueued_ = true;
        QTimer::singleShot(0, this, [this] { sayAnswer(); });
    }
}

void RigControlWindow::sayAnswer()
{
    answerQueued_ = false;
    if (!awaitingAnswer_ || !polling_)
        return;
    awaitingAnswer_ = false;
    QString text = QStringLiteral("Radio answered: ") + lblFreq->text();
    if (lblMode->text() != QLatin1String("No Response") && !lblMode->text().isEmpty())
        text += QLatin1Char(' ') + lblMode->text();
    say(text);
}

void RigControlWindow::say(const QString &text)
{
    lblLink->setText(text);
    Announce(lblLink);
}

void RigControlWindow::ShowUnprocessed(const QByteArray &bytes)
{
    constexpr int kKeep = 300;
    if (!ChkConvHex->isChecked()) {
        lblUnProcess->setText(UnprocessedText(bytes, kKeep));
        return;
    }
    const QString hex = QString::fromLatin1(rig::BytesToHex(bytes, true));
    // Whole pairs only when the start is cut off.
    lblUnProcess->setText(hex.size() > kKeep ? hex.right(kKeep - kKeep % 3 - 1) : hex);
}

void RigControlWindow::ShowLinkLost(const QString &reason)
{
    awaitingAnswer_ = false;
    lblFreq->setText(kLinkStopped);
    lblMode->setText(kLinkStopped);
    say(kLinkLostTitle + QStringLiteral(": ") + reason);
}

void RigControlWindow::Command4_Click()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(lblUnProcess->text());
    }
    cmdDone->setFocus();
}

bool RigControlWindow::SaveRigSettings()
{
    readOptions();
    QString error;
    if (WriteFileAtomic(path_, FormatRigSettings(s_), &error))
        return true;
    session_.prompter.message(QStringLiteral("The rig settings could not be saved to %1 (%2). They stay in effect "
                                             "until the program ends; the old file is kept.")
                                  .arg(kRigSettingsFile, error),
                              QStringLiteral("Rig Settings Not Saved"), PromptIcon::Exclamation);
    return false;
}

void RigControlWindow::cmdDone_Click()
{
    if (RadioChosen(s_.RigName))
        Command1_Click();
    else
        readOptions();
    session_.prefs.RigName = s_.RigName;
    emit preferencesChanged();
    SaveRigSettings();
    hide();
}

}  // namespace zev
