// The logging window's spot strip: the band map and the spectrum map put a spot's call in
// the call box and tune the radio to it.

#include "logcore/main_window.h"

#include "rig/rig_link.h"
#include "rig/tune_arithmetic.h"
#include "spotting/band_map_widget_ui.h"
#include "spotting/packet_spot_window.h"
#include "spotting/hf_map_window.h"
#include "spotting/spot_service_device.h"
#include "spotting/spot_list_ui.h"
#include "station/station.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

namespace zev {

void MainWindow::connectSpotStrip()
{
    bandMap->setBand(s_.prefs.CurrentBand);
    bandMap->marker = spotMarker();
    connect(bandMap, &BandMapWidget::spotChosen, this,
            [this](const QString &call, float mhz) { spotChosen(call, mhz, true); });
    connect(bandMap, &BandMapWidget::spotHovered, this, [this](const QString &tip) { setDupeList(tip, false); });
    connect(bandMap, &BandMapWidget::openSpectrumMap, this, &MainWindow::showSpectrumMap);
    connect(bandMap, &BandMapWidget::setupRequested, this, [this] { spotWindow().showSetup(); });
    // A row of the spot list: its call into the call box, the radio to its frequency.
    connect(spotList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        callBox->setFocus();
        if (!item)
            return;
        // The list's text is exact; no single precision on the way to the radio.
        const std::optional<qint64> hz = tune::HzFromText(item->text(1).trimmed());
        if (!hz)
            return;
        if (!rig::NoRigChosen(s_.prefs.RigName))
            rigLink().ChangeFrequency(*hz);
        s_.entry.setCall(item->text(0));
    });
    connect(spotList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        // Enter on a row does what a click does, for the keyboard.
        if (item)
            emit spotList->itemClicked(item, 0);
    });
    connect(spotList, &QTreeWidget::itemDoubleClicked, this, [this] { showSpectrumMap(); });

    // The station's spot link feeds the strip whether or not its setup window exists.
    SpotService &spots = station_.spots();
    SpotIntake &intake = spots.intake();
    connect(&intake, &SpotIntake::spotAdded, this, [this](const SpotRow &row) {
        AddSpotRow(spotList, row);
        // Only the new row: the others change with the log, band and mode, not with a spot.
        MarkSpotRows(spotList, spotMarker(), 1);
        bandMap->refresh();
    });
    connect(&intake, &SpotIntake::labelsDue, bandMap, &BandMapWidget::refresh);
    connect(&intake, &SpotIntake::ownCallSpotted, this, [this](const QString &dialog, const QString &dupe) {
        setDialog(dialog);
        setDialogColour(0xFFFFFF);
        setDupeList(dupe, false);
        dupeLine->setStyleSheet(QStringLiteral("QLabel#lblDupe { background: white; }"));
    });
    connect(&spots, &SpotService::setupWanted, this, [this] { spotWindow().showSetup(); });
}

void MainWindow::StartSpotLinks()
{
    station_.spots().start();
    PacketResize();
}

PacketSpotWindow &MainWindow::spotWindow()
{
    if (!spotWindow_) {
        spotWindow_ = new PacketSpotWindow(s_, station_.spots(), this);
        spotWindow_->runModal = [this](QDialog &d) { showModal(d); };
        connect(spotWindow_, &PacketSpotWindow::displayChanged, this, [this] { PacketResize(); });
        connect(spotWindow_, &PacketSpotWindow::savePrefRequested, this, [this] { SavePref(); });
    }
    return *spotWindow_;
}

void MainWindow::mnuDXSpotting_Click()
{
    SavePref();
    spotWindow().showSetup();
}

void MainWindow::PacketResize()
{
    const SpotService &spots = station_.spots();
    const bool link = spots.linkChosen();
    const bool list = spots.listChosen();
    // The layout makes room for the strip and gives it back exactly.
    spotList->setVisible(link && list);
    bandMap->setVisible(link && !list);
    if (bandMap->isVisible())
        bandMap->setBand(s_.prefs.CurrentBand);
}

void MainWindow::spotChosen(const QString &call, float mhz, bool validate)
{
    // Tuning goes through the rig link, which says itself when no radio is being polled.
    rigLink().ChangeFrequency(mhz);
    callBox->setFocus();
    s_.entry.setCall(call);
    if (validate) {
        // On to the next box, as if the call had been typed and Tab pressed.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(callBox, &tab);
    }
}

void MainWindow::showSpectrumMap()
{
    SpectrumMapWindow map(s_.spots, [this] { return s_.clock.utcNow(); }, this);
    connect(&map, &SpectrumMapWindow::spotChosen, this,
            [this](const QString &call, float mhz) { spotChosen(call, mhz, false); });
    showModal(map);
}

SpotMarker MainWindow::spotMarker()
{
    // The spot's own band; the mode being worked.
    return [this](const QString &call, float mhz) {
        return MarkSpot(s_.log, call, mhz, s_.prefs.CurrentBand, s_.prefs.CurrentMode);
    };
}

void MainWindow::markSpots()
{
    MarkSpotRows(spotList, spotMarker());
    bandMap->refresh();
}

bool MainWindow::spotStepKey(QKeyEvent *event)
{
    const int key = event->key();
    if ((key != Qt::Key_Up && key != Qt::Key_Down) ||
        (event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    stepToSpot(key == Qt::Key_Up ? 1 : -1);
    return true;
}

void MainWindow::stepToSpot(int direction)
{
    const FrequencyRange limits = BandMapLimits(s_.prefs.CurrentBand);
    const qint64 hz = s_.entry.frequencyHz();
    // Until the radio reports the spot tuned last, go on from that spot.
    double from = hz > 0 ? double(hz) / 1e6 : (direction > 0 ? limits.low : limits.high);
    if (stepSpotMhz_ > 0 && hz == stepEntryHz_)
        from = stepSpotMhz_;
    const int slot = NextSpotSlot(s_.spots, limits, from, direction, s_.clock.utcNow());
    if (slot < 0) {
        setDialog(direction > 0 ? QStringLiteral("No spot up the band") : QStringLiteral("No spot down the band"));
        return;
    }
    const SpotSlot spot = s_.spots.slot(slot);
    stepEntryHz_ = hz;
    stepSpotMhz_ = spot.SpotFreq;
    if (!rig::NoRigChosen(s_.prefs.RigName))
        rigLink().ChangeFrequency(spot.SpotFreq);
    callBox->setFocus();
    s_.entry.setCall(spot.SpotCall);
    const QString status =
        SpotStatusText(MarkSpot(s_.log, spot.SpotCall, spot.SpotFreq, s_.prefs.CurrentBand, s_.prefs.CurrentMode));
    setDialog(spot.SpotCall + QStringLiteral(" ") + QString::number(double(spot.SpotFreq), 'f', 3)
              + (status.isEmpty() ? QString() : QStringLiteral(" ") + status));
}

}  // namespace zev
