#include "spotting/hf_map_window.h"

#include "frame/window_scaling_ui.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace zev {

SpectrumMapView::SpectrumMapView(SpotStore &store, UtcNow utcNow, QWidget *parent)
    : SpotMapView(store, std::move(utcNow), parent)
{
    setObjectName(QStringLiteral("SpectrumMapView"));
    setAccessibleName(QStringLiteral("Spectrum Map"));
    setMinimumHeight(kSpectrumRows * 3 * QFontMetrics(font()).height());
}

QVector<SpotMapView::ViewAxis> SpectrumMapView::placeAxes(const LabelMetrics &metrics) const
{
    QVector<ViewAxis> axes;
    const double rowHeight = height() / double(kSpectrumRows);
    const double margin = metrics.width(QStringLiteral("DXLBL")) / 2;
    for (int k = 0; k < kSpectrumRows; ++k) {
        ViewAxis a;
        // A thin gap between the strips keeps the rows apart.
        a.strip = QRectF(0, k * rowHeight, width(), std::max(1.0, rowHeight - 2));
        a.place.limits = SpectrumRows()[size_t(k)].limits;
        a.place.x1 = margin;
        a.place.x2 = width() - margin;
        a.place.y = k * rowHeight + rowHeight / 2;
        a.place.gap = 0;
        axes.push_back(a);
    }
    return axes;
}

QString SpectrumMapView::axisName(int axis) const
{
    return axis >= 0 && axis < kSpectrumRows ? SpectrumRows()[size_t(axis)].name : QString();
}

SpectrumMapWindow::SpectrumMapWindow(SpotStore &store, UtcNow utcNow, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SpectrumMap"));
    setWindowTitle(QStringLiteral(" HF Spectrum Map"));
    setAccessibleName(QStringLiteral("HF Spectrum Map"));
    setModal(true);
    map = new SpectrumMapView(store, std::move(utcNow), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(map);
    connect(map, &SpotMapView::spotChosen, this, [this](const QString &call, float mhz) {
        hide();
        emit spotChosen(call, mhz);
        accept();
    });
    fillWorkArea();
    map->setFocus();
}

void SpectrumMapWindow::fillWorkArea()
{
    // The whole work area, from its top-left corner; the screen when there is no task bar.
    FillWorkArea(this);
}

}  // namespace zev
