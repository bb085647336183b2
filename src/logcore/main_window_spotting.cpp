// The logging window's spot strip: the band map and the spectrum map put a spot's call in
// the call box and tune the radio to it.

#include "logcore/main_window.h"

#include "rig/rig_link.h"
#include "spotting/band_map_widget_ui.h"
#include "spotting/spectrum_map_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace zev {

void MainWindow::connectSpotStrip()
{
    lblDX->setBand(s_.prefs.CurrentBand);
    connect(lblDX, &BandMapWidget::spotChosen, this,
            [this](const QString &call, float mhz) { spotChosen(call, mhz, true); });
    connect(lblDX, &BandMapWidget::spotHovered, this, [this](const QString &tip) { setDupeList(tip, false); });
    connect(lblDX, &BandMapWidget::openSpectrumMap, this, &MainWindow::mnuViewSpwctrumMap_Click);
}

void MainWindow::spotChosen(const QString &call, float mhz, bool validate)
{
    // Tuning goes through the rig link, which says itself when no radio is being polled.
    rigLink().ChangeFrequency(mhz);
    txtCall->setFocus();
    txtCall->setText(call);
    if (validate) {
        // On to the next box, as if the call had been typed and Tab pressed.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(txtCall, &tab);
    }
}

void MainWindow::mnuViewSpwctrumMap_Click()
{
    SpectrumMapWindow map(s_.spots, [this] { return s_.clock.utcNow(); }, this);
    connect(&map, &SpectrumMapWindow::spotChosen, this,
            [this](const QString &call, float mhz) { spotChosen(call, mhz, false); });
    showModal(map);
}

}  // namespace zev
