#pragma once
// The band map on the main window: the spots of the current band on a frequency axis,
// each a label with the prefix, coloured by age. A right click (or Enter) chooses a spot,
// a left click (or Delete) removes it from the maps; Left and Right walk through the
// spots for the keyboard and the screen reader.

#include "spotting/band_map.h"

#include <QDateTime>
#include <QHash>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

namespace zev {

using UtcNow = std::function<QDateTime()>;

// What the band map and the spectrum map share: painting the axes and labels, the mouse,
// the keyboard and what the screen reader hears. The labels last painted are kept, so a
// click acts on the spot the operator saw, whatever the store did since.
class SpotMapView : public QWidget {
    Q_OBJECT
public:
    SpotMapView(SpotStore &store, UtcNow utcNow, QWidget *parent = nullptr);

    // The labels as last laid out (at the last paint), oldest first.
    const QVector<MapLabel> &labels() const { return labels_; }
    // The axes as last laid out.
    const QVector<AxisPlacement> &axes() const { return axes_; }
    // The spot the keyboard is on; -1 for none.
    int currentLabel() const { return current_; }
    // Lays the labels out from the store as it is now (a paint does it too).
    void relayout();
    // What the log says of a spot; unset, no spot is marked.
    std::function<SpotMark(const QString &call, float mhz)> marker;

public slots:
    // Draw again from the store and the log (new spot, new band, spots growing older, a
    // contact logged).
    void refresh()
    {
        marks_.clear();
        update();
    }

signals:
    // A spot was chosen: the call goes to the call box and the radio to the frequency.
    void spotChosen(const QString &call, float mhz);
    // The pointer is on a spot: its call, frequency and UTC time.
    void spotHovered(const QString &tip);

protected:
    // The axes for the widget's current size, and the strip behind each.
    struct ViewAxis {
        AxisPlacement place;
        QRectF strip;
    };
    virtual QVector<ViewAxis> placeAxes(const LabelMetrics &metrics) const = 0;
    virtual void chooseLabel(const MapLabel &label);
    virtual void backgroundPressed(Qt::MouseButton) {}
    virtual void backgroundDoubleClicked() {}
    // Said before a spot when the map has several axes ("20 m"); empty for one.
    virtual QString axisName(int) const { return {}; }
    LabelMetrics labelMetrics() const;
    SpotStore &store() { return store_; }

    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    bool event(QEvent *e) override;

private:
    void removeLabel(const MapLabel &label);
    void setCurrent(int index);
    void announceCurrent();
    // The label of the spot `like` after a relayout: the same spot, else the same call,
    // else the spot now in its place, which lies after that place (side 1) or before (-1).
    int findLabel(const MapLabel &like, int *side) const;

    SpotStore &store_;
    UtcNow utcNow_;
    QVector<MapLabel> labels_;
    QVector<AxisPlacement> axes_;
    QVector<QRectF> strips_;
    int current_ = -1;
    // The spot last heard; the keyboard stays on it while the store changes.
    MapLabel walked_;
    // The spot last heard has left the map: current_ is the spot that took its place, not
    // yet heard; 1 when it lies after that place, -1 before.
    int gone_ = 0;
    int hovered_ = -1;
    // Marks asked of the log since the last refresh: a paint for a hover asks nothing.
    QHash<QString, SpotMark> marks_;
    QLabel *lblSpotFocus = nullptr;
    QTimer *ageTimer = nullptr;
};

class BandMapWidget : public SpotMapView {
    Q_OBJECT
public:
    BandMapWidget(SpotStore &store, UtcNow utcNow, QWidget *parent = nullptr);

    // The band whose spots are shown, as its code ("20"); an unknown band shows none.
    void setBand(const QString &band);
    QString band() const { return band_; }

signals:
    // A double click on the map asks for the spectrum map.
    void openSpectrumMap();
    // A click on the map away from the spots asks for the spotting setup.
    void setupRequested();

protected:
    QVector<ViewAxis> placeAxes(const LabelMetrics &metrics) const override;
    void backgroundPressed(Qt::MouseButton button) override;
    void backgroundDoubleClicked() override;

private:
    QString band_;
};

}  // namespace zev
