#pragma once
// Where the spots of the store go on a frequency axis: the band limits, the zoom onto
// the spots shown, the five tick captions, the label rectangles and their colours by age.
// Shared by the band map of the main window and the spectrum map.

#include "spotting/spot_status.h"
#include "spotting/spot_store.h"

#include <QDateTime>
#include <QRectF>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

namespace zev {

struct FrequencyRange {
    double low = 0;   // MHz
    double high = 0;  // MHz
    // Strictly inside: a spot on a band edge belongs to no band.
    bool holds(double mhz) const { return low < mhz && mhz < high; }
};

// The band map's limits of a band code ("20" -> 14..14.35); an unknown band gives 0..0,
// which shows nothing.
FrequencyRange BandMapLimits(const QString &band);

// The eleven rows of the spectrum map, 160 m at the top.
struct SpectrumRow {
    QString name;  // "20 m"
    FrequencyRange limits;
};
inline constexpr int kSpectrumRows = 11;
const std::array<SpectrumRow, kSpectrumRows> &SpectrumRows();
// The row whose limits hold `mhz`, or -1.
int SpectrumRowOf(double mhz);

enum class SpotAge { Fresh, Recent, Old, Expired };
inline constexpr qint64 kRecentAfterSeconds = 600;
inline constexpr qint64 kOldAfterSeconds = 1800;
inline constexpr qint64 kExpiredAfterSeconds = 3600;
// Whole seconds from the time a spot was taken in to `now`, both UTC.
qint64 SpotAgeSeconds(const QDateTime &taken, const QDateTime &now);
SpotAge AgeClass(qint64 seconds);
// Text colour of an age class as 0x00BBGGRR.
quint32 AgeColour(SpotAge age);

// A spot is live while it is not expired. The store keeps arrival order, so once a slot
// is expired every older slot is too, even if a clock step made its time look newer:
// this is the lowest slot still live (kSlots when none is).
int FirstLiveSlot(const SpotStore &store, const QDateTime &now);

// The value of a tick as its caption: three decimals, no leading zero below 1 (".500").
QString TickCaption(double mhz);

// The scale of one axis: the limits zoomed onto the live spots inside them (a 1 kHz
// margin each side) when they span more than one frequency, and the five ticks at 0,
// 25, 50, 75 and 100%, each rounded to the kHz it is captioned with. Positions use the
// rounded ends, so what is read on the ticks is where the labels sit.
struct AxisScale {
    std::array<double, 5> ticks{};
    std::array<QString, 5> captions;
    double low() const { return ticks[0]; }
    double high() const { return ticks[4]; }
};
AxisScale ScaleAxis(FrequencyRange limits, const SpotStore &store, const QDateTime &now);

// One axis on the screen: from x1 to x2 at height y; labels stand `gap` above it.
struct AxisPlacement {
    FrequencyRange limits;  // which spots belong to this axis
    AxisScale scale;
    double x1 = 0;
    double x2 = 0;
    double y = 0;
    double gap = 0;
};

// What a label shows and where; a copy of the slot as it was when laid out, so a click
// acts on the spot that was drawn even after the store moved on.
struct MapLabel {
    int slot = -1;
    int axis = 0;
    QString call;
    float mhz = 0;
    QDateTime taken;
    QString text;  // the prefix shown
    QString tip;   // "CALL  14.025  hh:mm:ss" (UTC)
    quint32 colour = 0xFFFFFF;
    SpotMark mark = SpotMark::None;  // what the log says of it
    QRectF rect;
};

// Width of a label showing `text`, and the height of every label.
struct LabelMetrics {
    std::function<double(const QString &)> width;
    double height = 0;
};

// The tool tip of a spot: call, two spaces, frequency "#.000", two spaces, UTC "hh:mm:ss".
QString SpotTip(const SpotSlot &slot);

// The labels of the live spots on the given axes, oldest first: drawn in this order the
// newest lies on top where labels overlap. Labels close together are not moved apart;
// each sits centred on its frequency.
QVector<MapLabel> LayOutLabels(const SpotStore &store, const QVector<AxisPlacement> &axes,
                               const QDateTime &now, const LabelMetrics &metrics);

// The label under a point: the topmost, that is the newest; -1 for none.
int LabelAt(const QVector<MapLabel> &labels, const QPointF &p);

// The live spot inside `limits` nearest to `fromMhz` going up (direction > 0) or down,
// never one on `fromMhz` itself; of spots on one frequency, the newest. -1 for none.
int NextSpotSlot(const SpotStore &store, FrequencyRange limits, double fromMhz, int direction,
                 const QDateTime &now);

// Keyboard order: by axis, then frequency, then age (newest last).
QVector<int> ReadingOrder(const QVector<MapLabel> &labels);

}  // namespace zev
