#pragma once
// frmBandPlan: the licence classes' privileges, one chart at a time.

#include "rig/band_plan.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace zev {

struct Session;

class BandPlanWindow : public QDialog {
    Q_OBJECT
public:
    // Reads "BandPlan.txt" from `path`; a file that cannot be read is reported and the
    // window shows what was read before the fault.
    BandPlanWindow(Session &session, const QString &path, QWidget *parent = nullptr);

    // Draws the chart of one licence class ("N", "T", "P", "G", "A", "E").
    void DrawPrivileges(const QString &cls);

    QLabel *Label1 = nullptr;    // "Frequencies Effective: ..."
    QLabel *lblTitle = nullptr;  // "Extra Frequency Privileges"
    QWidget *chart = nullptr;
    QPushButton *cmdDone = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutChart();

    BandPlan plan_;
    std::vector<ChartBand> shown_;
};

}  // namespace zev
