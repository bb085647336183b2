// The main window's side of the rig link: band and mode follow the radio.

#include "logcore/main_window.h"
#include "rig/band_conversion.h"
#include "rig/band_plan_window.h"

#include <QLineEdit>

namespace zev {

void MainWindow::BandFreqConversion(float frequencyValue)
{
    const int band = BandIndexForFrequency(frequencyValue);
    // Only a real change reloads the log: polls repeat several times a second.
    if (band >= 0 && BandCodes()[band].compare(s_.prefs.CurrentBand, Qt::CaseInsensitive) != 0)
        SelectBand(band);
    s_.RigFrequencyText = RigFrequencyFormat(frequencyValue);
}

void MainWindow::ModeSelection(const QString &strMode)
{
    if (strMode.isEmpty() || strMode.compare(s_.prefs.CurrentMode, Qt::CaseInsensitive) == 0)
        return;
    if (strMode.compare(QLatin1String("PH"), Qt::CaseInsensitive) == 0)
        mnuSSB_Click();
    else if (strMode.compare(QLatin1String("CW"), Qt::CaseInsensitive) == 0)
        mnu160_Click();
}

void MainWindow::mnuPrivileges_Click()
{
    BandPlanWindow w(s_, s_.folders.work(kBandPlanFile), this);
    runModal(w);
    txtCall->setFocus();
}

}  // namespace zev
