// The main window's side of the rig link: band and mode follow the radio.

#include "logcore/main_window.h"

#include "station/station.h"
#include "rig/band_conversion.h"
#include "rig/band_plan_window.h"
#include "rig/rig_control_window.h"
#include "common/file_io.h"
#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "rig/frequency_readout_ui.h"
#include "rig/frequency_test_window.h"
#include "rig/tune_window.h"
#include "frame/widget_helpers_ui.h"
#include "logcore/contact_log.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>

namespace zev {

void MainWindow::BandFreqConversion(qint64 frequencyHz)
{
    const int band = BandIndexForHz(frequencyHz);
    // Only a real change reloads the log: polls repeat several times a second.
    if (band >= 0 && BandCodes()[band].compare(s_.prefs.CurrentBand, Qt::CaseInsensitive) != 0) {
        SelectBand(band);
        rigFollowed(QStringLiteral("Band %1 m").arg(BandCodes()[band]));
    }
    s_.entry.setFrequencyHz(frequencyHz);
}

void MainWindow::ModeSelection(const QString &strMode)
{
    if (strMode.isEmpty() || strMode.compare(s_.prefs.CurrentMode, Qt::CaseInsensitive) == 0)
        return;
    if (strMode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0)
        selectPhone();
    else if (strMode.compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0)
        selectCw();
    else
        return;
    rigFollowed(QStringLiteral("Mode ") + s_.prefs.CurrentMode);
}

void MainWindow::rigFollowed(const QString &what)
{
    // A band and a mode changed by one reply are said together, once.
    const QString text = followPending_ ? messageLine->text() + QStringLiteral(", ") + what : what;
    if (!followPending_) {
        followPending_ = true;
        QTimer::singleShot(0, this, [this] { followPending_ = false; });
    }
    setDialog(text);
}

QWidget *MainWindow::makeRigState()
{
    rigStateLabel = new QLabel;
    rigStateLabel->setObjectName(QStringLiteral("lblRig"));
    rigStateLabel->setTextFormat(Qt::PlainText);
    rigStateLabel->setAccessibleDescription(QStringLiteral("Rig link"));
    rigStateLabel->setStyleSheet(QStringLiteral("QLabel#lblRig { color: black; background: #FFFF80; padding: 2px; }"));
    MakeNotification(rigStateLabel);
    rigStateLabel->hide();
    return rigStateLabel;
}

void MainWindow::showFrequency()
{
    const bool rig = !rig::NoRigChosen(s_.prefs.RigName);
    const RigLink *link = station_.rigIfMade();
    frequencyReadout->display(rig, link ? link->state() : QString(), rigHz_);
}

void MainWindow::showRigState()
{
    showFrequency();
    const bool rig = !rig::NoRigChosen(s_.prefs.RigName);
    const QString state = rig && station_.rigIfMade() ? station_.rigIfMade()->state() : QString();
    if (state == rigStateLabel->text() && rigStateLabel->isVisible() == !state.isEmpty())
        return;
    const bool shown = rigStateLabel->isVisible();
    rigStateLabel->setText(state);
    // Heard as what it is about, not as two bare words.
    rigStateLabel->setAccessibleName(state.isEmpty() ? QString() : QStringLiteral("Rig: ") + state);
    rigStateLabel->setVisible(!state.isEmpty());
    // Showing a notification reads it already; a new text on a shown one must be announced.
    if (shown)
        Announce(rigStateLabel);
}

bool MainWindow::busy() const
{
    return inMains_ || modalDepth_ > 0 || QApplication::activeModalWidget() != nullptr;
}

void MainWindow::radioFrequency(qint64 hz)
{
    // A band change reloads the log: never under an open dialog or a commit.
    if (busy()) {
        heldFrequency_ = hz;
        s_.entry.setFrequencyHz(hz);
        return;
    }
    heldFrequency_.reset();
    BandFreqConversion(hz);
}

void MainWindow::radioMode(const QString &mode)
{
    if (busy()) {
        heldMode_ = mode;
        return;
    }
    heldMode_.clear();
    ModeSelection(mode);
}

void MainWindow::applyHeldRigReadings()
{
    if (busy())
        return;
    if (heldFrequency_) {
        const qint64 hz = *heldFrequency_;
        heldFrequency_.reset();
        BandFreqConversion(hz);
    }
    if (!heldMode_.isEmpty()) {
        const QString mode = heldMode_;
        heldMode_.clear();
        ModeSelection(mode);
    }
}

void MainWindow::showModal(QDialog &dialog)
{
    ++modalDepth_;
    runModal(dialog);
    --modalDepth_;
    // After the dialog's own work, whatever the radio did meanwhile.
    QTimer::singleShot(0, this, [this] { applyHeldRigReadings(); });
}

RigLink &MainWindow::rigLink()
{
    RigLink &link = station_.rig();
    if (!rigWired_) {
        rigWired_ = true;
        link.setPegasusFolder(RigControlWindow::PegasusFolder(s_));
        connect(&link, &RigLink::frequencyRead, this, [this](qint64 hz) {
            rigHz_ = hz;
            showFrequency();
            if (station_.rig().settings().UseFrequency == 1)
                radioFrequency(hz);
        });
        connect(&link, &RigLink::modeRead, this, [this](const QString &mode) {
            if (station_.rig().settings().ModeBy != 3)
                radioMode(mode);
        });
        connect(&link, &RigLink::error, this, [this](const QString &text, const QString &title) {
            s_.prompter.message(text, title, PromptIcon::Information);
        });
        // A port that vanishes while polling must not take the keyboard: the operator is
        // told on the message line and goes on typing.
        connect(&link, &RigLink::linkLost, this, [this](const QString &reason) {
            setDialog(kLinkLostTitle + QStringLiteral(": ") + reason);
        });
        connect(&link, &RigLink::stateChanged, this, [this] { showRigState(); });
    }
    return link;
}

void MainWindow::StartRigLink()
{
    showFrequency();
    if (rig::NoRigChosen(s_.prefs.RigName))
        return;
    const std::optional<QByteArray> data = ReadWholeFile(s_.folders.work(kRigSettingsFile));
    RigLinkSettings settings;
    // A radio is chosen but its settings are missing or damaged: the setup window says
    // what it could read, so the operator can set the link up again.
    if (!data || !ParseRigSettings(*data, settings).ok) {
        showRigWindow(true);
        return;
    }
    // The operator puts it right before going on: the setup window comes up, modal.
    if (!startLink(settings))
        showRigWindow(true);
}

bool MainWindow::startLink(const RigLinkSettings &settings)
{
    RigLink &link = rigLink();
    BandPlan plan;
    if (const std::optional<QByteArray> planData = ReadWholeFile(s_.folders.work(kBandPlanFile))) {
        // The rows before a bad value still choose modes; the operator hears the rest did not.
        const BandPlanReadResult r = ParseBandPlan(*planData, plan);
        if (!r.ok)
            setDialog(QStringLiteral("%1, line %2: %3. Only the rows before it choose the radio's mode.")
                          .arg(kBandPlanFile)
                          .arg(r.position.line)
                          .arg(r.error));
    }
    link.setExtraPlanRows(ExtraPlanRows(plan));
    link.setHamlibChoice(LoadHamlibChoice(s_.registry));
    return link.Start(settings, PortMap(s_.registry));
}

void MainWindow::mnuRigInterface_Click()
{
    showRigWindow(false);
}

void MainWindow::showRigWindow(bool modal)
{
    if (!rigWindow_) {
        rigWindow_ = new RigControlWindow(s_, s_.folders.work(kRigSettingsFile), this);
        rigWindow_->setModal(false);
        RigLink &link = rigLink();
        connect(rigWindow_, &RigControlWindow::changeFrequencyRequested, this, [this] {
            FrequencyTestWindow w(rigLink(), rigWindow_);
            showModal(w);
        });
        connect(rigWindow_, &RigControlWindow::testRequested, this, [this](const RigLinkSettings &settings) {
            if (!startLink(settings))
                rigWindow_->SetPolling(false);
        });
        connect(rigWindow_, &RigControlWindow::endTestRequested, &link, &RigLink::Stop);
        connect(rigWindow_, &RigControlWindow::preferencesChanged, this, [this] { SavePref(); });
        connect(rigWindow_, &RigControlWindow::pegasusFolderChanged, &link, &RigLink::setPegasusFolder);
        // Closing the window by its title bar ends the test, as End Test does.
        connect(rigWindow_, &QDialog::rejected, this, [this] {
            rigLink().Stop();
            rigWindow_->SetPolling(false);
        });
        // A link that stops on its own (a vanished adapter) shows as stopped.
        connect(&link, &RigLink::error, rigWindow_, [this] { rigWindow_->SetPolling(rigLink().polling()); });
        connect(&link, &RigLink::frequencyRead, rigWindow_,
                [this](qint64 hz) { rigWindow_->ShowReading(RigWindowFrequencyText(hz), {}); });
        connect(&link, &RigLink::linkLost, rigWindow_, [this](const QString &reason) {
            rigWindow_->SetPolling(false);
            rigWindow_->ShowLinkLost(reason);
        });
        connect(&link, &RigLink::modeRead, rigWindow_, [this](const QString &mode) { rigWindow_->ShowReading({}, mode); });
        connect(&link, &RigLink::responseState, rigWindow_, [this](const QString &state) {
            if (!state.isEmpty())
                rigWindow_->ShowReading(state, state);
        });
        connect(&link, &RigLink::unprocessed, rigWindow_, &RigControlWindow::ShowUnprocessed);
        connect(rigWindow_, &RigControlWindow::preferencesChanged, this, [this] { showRigState(); });
    }
    // The link may have been started before the window existed, at start-up.
    rigWindow_->SetPolling(rigLink().polling());
    // Modality only changes while hidden; a visible window stays as it is.
    if (!rigWindow_->isVisible())
        rigWindow_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    rigWindow_->show();
    rigWindow_->raise();
    rigWindow_->activateWindow();
}

void MainWindow::OpenTuneWindow()
{
    TuneWindow w(rigLink(), s_.prefs.RigName, this);
    showModal(w);
}

void MainWindow::mnuPrivileges_Click()
{
    BandPlanWindow w(s_, s_.folders.work(kBandPlanFile), this);
    showModal(w);
    callBox->setFocus();
}

}  // namespace zev
