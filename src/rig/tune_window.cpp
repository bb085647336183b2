#include "rig/tune_window.h"

#include "frame/widget_helpers_ui.h"
#include "logcore/contact_log.h"
#include "rig/band_conversion.h"
#include "rig/rig_link.h"
#include "rig/tune_arithmetic.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace zev {

namespace {

const char *const kModes[6] = {"AM", "CW", "FM", "LSB", "RTTY", "USB"};

QLineEdit *frequencyBox(const char *name, const QString &accessibleName, const QString &text)
{
    auto *box = new QLineEdit(text);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    return box;
}

}  // namespace

TuneWindow::TuneWindow(RigLink &link, const QString &rigName, QWidget *parent)
    : QDialog(parent), link_(link),
      noRig_(rig::NoRigChosen(rigName))
{
    setObjectName(QStringLiteral("frmRigTune"));
    setWindowTitle(QStringLiteral(" Change Frequency and Mode (Ctrl G (Go))"));

    auto *top = new QVBoxLayout(this);

    auto *freqRow = new QHBoxLayout;
    auto *freqLabel = new QLabel(QStringLiteral("Frequency (MHz):"));
    txtFreq = frequencyBox("txtFreq", QStringLiteral("Frequency (MHz)"), QString());
    freqLabel->setBuddy(txtFreq);
    Command1 = new QPushButton(QStringLiteral("&Go"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Go"));
    Command1->setAutoDefault(false);
    freqRow->addWidget(freqLabel);
    freqRow->addWidget(txtFreq);
    freqRow->addWidget(Command1);
    top->addLayout(freqRow);

    auto *bands = new QGroupBox(QStringLiteral("Bands"));
    auto *bandGrid = new QGridLayout(bands);
    for (int i = 0; i < tune::kBandCount; ++i) {
        auto *b = new QPushButton(tune::BandCaption(i));
        b->setObjectName(QStringLiteral("cmdBand%1").arg(i));
        b->setAccessibleName(tune::BandName(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdBand_Click(i); });
        bandGrid->addWidget(b, i / 8, i % 8);
        cmdBand[i] = b;
    }
    top->addWidget(bands);

    auto *steps = new QGroupBox(QStringLiteral("Step"));
    auto *stepGrid = new QGridLayout(steps);
    stepGrid->addWidget(new QLabel(QStringLiteral("Up")), 0, 0);
    stepGrid->addWidget(new QLabel(QStringLiteral("Down")), 1, 0);
    for (int i = 0; i < tune::kStepCount; ++i) {
        const bool up = i % 2 == 0;
        auto *b = new QPushButton(tune::StepCaption(i));
        b->setObjectName(QStringLiteral("cmdTune%1").arg(i));
        b->setAccessibleName(tune::StepCaption(i) + (up ? QStringLiteral(" up") : QStringLiteral(" down")));
        b->setAutoDefault(false);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdTune_Click(i); });
        stepGrid->addWidget(b, up ? 0 : 1, 1 + i / 2);
        cmdTune[i] = b;
    }
    top->addWidget(steps);

    auto *modes = new QGroupBox(QStringLiteral("Mode"));
    auto *modeRow = new QHBoxLayout(modes);
    for (int i = 0; i < 6; ++i) {
        const QString mode = QLatin1String(kModes[i]);
        auto *b = new QPushButton(QLatin1Char('&') + mode);
        b->setObjectName(QStringLiteral("cmd") + mode);
        b->setAccessibleName(mode);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, mode] { ModeButton_Click(mode); });
        modeRow->addWidget(b);
        cmdMode[i] = b;
    }
    top->addWidget(modes);

    auto *scan = new QGroupBox(QStringLiteral("Scan"));
    auto *scanGrid = new QGridLayout(scan);
    chkScan = new QCheckBox(QStringLiteral("Scan"));
    chkScan->setObjectName(QStringLiteral("chkScan"));
    chkScan->setAccessibleName(QStringLiteral("Scan"));
    txtFrom = frequencyBox("txtFrom", QStringLiteral("From:"), QStringLiteral("1.8"));
    txtTo = frequencyBox("txtTo", QStringLiteral("To"), QStringLiteral("54"));
    auto *fromLabel = new QLabel(QStringLiteral("From:"));
    fromLabel->setBuddy(txtFrom);
    auto *toLabel = new QLabel(QStringLiteral("To"));
    toLabel->setBuddy(txtTo);
    scanGrid->addWidget(chkScan, 0, 0);
    scanGrid->addWidget(fromLabel, 0, 1);
    scanGrid->addWidget(txtFrom, 0, 2);
    scanGrid->addWidget(toLabel, 0, 3);
    scanGrid->addWidget(txtTo, 0, 4);
    auto *stepBox = new QGroupBox(QStringLiteral("Scan Steps"));
    auto *stepRow = new QHBoxLayout(stepBox);
    scanSteps = new QButtonGroup(this);
    for (int i = 0; i < tune::kScanStepCount; ++i) {
        auto *o = new QRadioButton(tune::ScanStepCaption(i));
        o->setObjectName(QStringLiteral("optScanStep%1").arg(i));
        o->setAccessibleName(QStringLiteral("Scan Steps ") + tune::ScanStepCaption(i));
        scanSteps->addButton(o, i);
        stepRow->addWidget(o);
        optScanStep[i] = o;
    }
    // A scan with no step would only send the same frequency again and again.
    optScanStep[0]->setChecked(true);
    scanGrid->addWidget(stepBox, 1, 0, 1, 5);
    top->addWidget(scan);

    cmdDone = new QPushButton(QStringLiteral("&Done"));
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    cmdDone->setAutoDefault(false);
    lblRadio = new QLabel;
    lblRadio->setObjectName(QStringLiteral("lblRadio"));
    lblRadio->setTextFormat(Qt::PlainText);
    lblRadio->setAccessibleDescription(QStringLiteral("Radio"));
    MakeNotification(lblRadio);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblRadio, 1);
    bottom->addWidget(cmdDone);
    top->addLayout(bottom);
    connect(&link_, &RigLink::frequencyRead, this, &TuneWindow::radioRead);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    connect(txtFreq, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool number = tune::HzFromText(text).has_value();
        for (QPushButton *b : cmdTune)
            b->setEnabled(number);
    });
    connect(chkScan, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked && !tune::HzFromText(txtFreq->text()))
            txtFreq->setText(txtFrom->text());
        Command1->setFocus();
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(299);
    connect(Timer1, &QTimer::timeout, this, &TuneWindow::Timer1_Timer);
    Timer1->start();

    // Every key anywhere in the window passes here first.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void TuneWindow::Command1_Click()
{
    const std::optional<qint64> hz = tune::HzFromText(txtFreq->text());
    if (!hz || noRig_)
        return;
    link_.ChangeFrequency(*hz);
    // A scan steps too often to be read out at every step.
    awaitingRadio_ = link_.commandsPending() && !chkScan->isChecked();
}

void TuneWindow::radioRead(qint64 hz)
{
    // Readings taken before the command went out say nothing about it.
    if (!awaitingRadio_ || link_.commandsPending())
        return;
    awaitingRadio_ = false;
    QString text = QStringLiteral("Radio on %1 MHz").arg(RigWindowFrequencyText(hz));
    if (const int band = BandIndexForHz(hz); band >= 0)
        text += QStringLiteral(", %1 m").arg(BandCodes()[band]);
    lblRadio->setText(text);
    Announce(lblRadio);
}

void TuneWindow::cmdBand_Click(int index)
{
    txtFreq->setText(tune::MhzText(tune::BandHz(index)));
    Command1_Click();
}

void TuneWindow::cmdTune_Click(int index)
{
    const std::optional<qint64> hz = tune::HzFromText(txtFreq->text());
    if (!hz)
        return;
    txtFreq->setText(tune::MhzText(*hz + tune::StepHz(index)));
    Command1_Click();
    cmdDone->setFocus();
}

void TuneWindow::ModeButton_Click(const QString &mode)
{
    if (!noRig_)
        link_.ChangeMode(0, mode);
    cmdDone->setFocus();
}

void TuneWindow::Timer1_Timer()
{
    if (!chkScan->isChecked())
        return;
    const std::optional<qint64> from = tune::HzFromText(txtFrom->text());
    const std::optional<qint64> to = tune::HzFromText(txtTo->text());
    const std::optional<qint64> now = tune::HzFromText(txtFreq->text());
    if (!from || !to || !now)
        return;
    // One step at a time: a radio slower than the tick must not pile up commands.
    if (link_.commandsPending())
        return;
    txtFreq->setText(tune::MhzText(tune::ScanNext(*now, tune::ScanStepHz(scanSteps->checkedId()), *from, *to)));
    Command1_Click();
}

bool TuneWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Any key stops a scan, so the operator can always take the dial back.
    chkScan->setChecked(false);
    if (watched == txtFreq && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        Command1_Click();
        txtFreq->setFocus();
        txtFreq->end(false);
        return true;
    }
    if (watched == txtFreq || watched == txtFrom || watched == txtTo) {
        // Only digits, "." and "/" are typed into a frequency; editing keys pass.
        const QChar c = TypedKey(key);
        if (!c.isNull() && c.unicode() != 8 && (c.unicode() < 46 || c.unicode() > 57))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zev
