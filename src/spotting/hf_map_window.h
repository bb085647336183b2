#pragma once
// The HF spectrum map: the spots of eleven bands at once, one row per band from 160 m at
// the top to 2 m at the bottom, filling the screen's work area. A right click (or Enter)
// on a spot chooses it and closes the map; a left click (or Delete) removes the spot.

#include "spotting/band_map_widget_ui.h"

#include <QDialog>

namespace zev {

class SpectrumMapView : public SpotMapView {
    Q_OBJECT
public:
    SpectrumMapView(SpotStore &store, UtcNow utcNow, QWidget *parent = nullptr);

protected:
    QVector<ViewAxis> placeAxes(const LabelMetrics &metrics) const override;
    QString axisName(int axis) const override;
};

class SpectrumMapWindow : public QDialog {
    Q_OBJECT
public:
    SpectrumMapWindow(SpotStore &store, UtcNow utcNow, QWidget *parent = nullptr);

    SpectrumMapView *view() const { return map; }

signals:
    // A spot was chosen; the map has closed.
    void spotChosen(const QString &call, float mhz);

private:
    void fillWorkArea();

    SpectrumMapView *map = nullptr;
};

}  // namespace zev
