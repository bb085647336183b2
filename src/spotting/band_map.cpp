#include "spotting/band_map.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zev {

FrequencyRange BandMapLimits(const QString &band)
{
    struct Entry {
        const char *band;
        double low, high;
    };
    static const Entry table[] = {
        {"160", 1.8, 2},   {"80", 3.5, 4},  {"40", 7, 7.3},   {"20", 14, 14.35},
        {"15", 21, 21.45}, {"10", 28, 29.7}, {"6", 50, 54},    {"2", 144, 148},
        {"1.25", 219, 225}, {"440", 420, 450},
    };
    const QString b = band.trimmed();
    for (const Entry &e : table)
        if (b.compare(QLatin1String(e.band), Qt::CaseInsensitive) == 0)
            return {e.low, e.high};
    return {};
}

const std::array<SpectrumRow, kSpectrumRows> &SpectrumRows()
{
    static const std::array<SpectrumRow, kSpectrumRows> rows{{
        {QStringLiteral("160 m"), {1.8, 2}},
        {QStringLiteral("80 m"), {3.5, 4}},
        {QStringLiteral("40 m"), {7, 7.3}},
        {QStringLiteral("30 m"), {10.1, 10.15}},
        {QStringLiteral("20 m"), {14, 14.35}},
        {QStringLiteral("17 m"), {18.068, 18.168}},
        {QStringLiteral("15 m"), {21, 21.45}},
        {QStringLiteral("12 m"), {24.89, 24.99}},
        {QStringLiteral("10 m"), {28, 29.7}},
        {QStringLiteral("6 m"), {50, 54}},
        {QStringLiteral("2 m"), {144, 148}},
    }};
    return rows;
}

int SpectrumRowOf(double mhz)
{
    for (int k = 0; k < kSpectrumRows; ++k)
        if (SpectrumRows()[size_t(k)].limits.holds(mhz))
            return k;
    return -1;
}

qint64 SpotAgeSeconds(const QDateTime &taken, const QDateTime &now)
{
    return taken.secsTo(now);
}

SpotAge AgeClass(qint64 seconds)
{
    if (seconds < kRecentAfterSeconds)
        return SpotAge::Fresh;
    if (seconds < kOldAfterSeconds)
        return SpotAge::Recent;
    if (seconds < kExpiredAfterSeconds)
        return SpotAge::Old;
    return SpotAge::Expired;
}

quint32 AgeColour(SpotAge age)
{
    switch (age) {
    case SpotAge::Fresh:
        return 0x80FFFF;  // light yellow
    case SpotAge::Recent:
        return 0xFFFFFF;  // white
    case SpotAge::Old:
    case SpotAge::Expired:
        return 0xC0C0C0;  // grey
    }
    return 0xFFFFFF;
}

int FirstLiveSlot(const SpotStore &store, const QDateTime &now)
{
    for (int i = SpotStore::kSlots - 1; i >= 0; --i) {
        const QDateTime &t = store.slot(i).SpotTime;
        if (t.isValid() && AgeClass(SpotAgeSeconds(t, now)) == SpotAge::Expired)
            return i + 1;
    }
    return 0;
}

QString TickCaption(double mhz)
{
    QString s = QString::number(mhz, 'f', 3);
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

namespace {

double RoundToKhz(double mhz)
{
    return std::round(mhz * 1000.0) / 1000.0;
}

}  // namespace

AxisScale ScaleAxis(FrequencyRange limits, const SpotStore &store, const QDateTime &now)
{
    // Every live slot counts, slot 0 too: the oldest spot is as real as the others.
    double min = limits.high;
    double max = limits.low;
    for (int i = FirstLiveSlot(store, now); i < SpotStore::kSlots; ++i) {
        const double f = store.slot(i).SpotFreq;
        if (f != 0 && limits.holds(f)) {
            min = std::min(min, f);
            max = std::max(max, f);
        }
    }
    FrequencyRange r = limits;
    if (max > min)
        r = {min - 0.001, max + 0.001};
    AxisScale s;
    for (int i = 0; i < 5; ++i) {
        s.ticks[size_t(i)] = RoundToKhz(r.low + (r.high - r.low) * 0.25 * i);
        s.captions[size_t(i)] = TickCaption(s.ticks[size_t(i)]);
    }
    return s;
}

QString SpotTip(const SpotSlot &slot)
{
    return slot.SpotCall + QStringLiteral("  ") + TickCaption(double(slot.SpotFreq))
           + QStringLiteral("  ") + slot.SpotTime.toUTC().toString(QStringLiteral("hh:mm:ss"));
}

QVector<MapLabel> LayOutLabels(const SpotStore &store, const QVector<AxisPlacement> &axes,
                               const QDateTime &now, const LabelMetrics &metrics)
{
    QVector<MapLabel> out;
    for (int i = FirstLiveSlot(store, now); i < SpotStore::kSlots; ++i) {
        const SpotSlot &s = store.slot(i);
        if (s.SpotFreq == 0)
            continue;
        const double f = s.SpotFreq;
        for (int a = 0; a < axes.size(); ++a) {
            const AxisPlacement &ax = axes[a];
            const double low = ax.scale.low();
            const double high = ax.scale.high();
            if (!ax.limits.holds(f) || !(high > low))
                continue;
            MapLabel l;
            l.slot = i;
            l.axis = a;
            l.call = s.SpotCall;
            l.mhz = s.SpotFreq;
            l.taken = s.SpotTime;
            l.text = s.SpotLabel;
            l.tip = SpotTip(s);
            l.colour = s.SpotTime.isValid() ? AgeColour(AgeClass(SpotAgeSeconds(s.SpotTime, now)))
                                            : 0xFFFFFF;
            const double w = metrics.width ? metrics.width(l.text) : 0;
            const double x = ax.x1 + (f - low) / (high - low) * (ax.x2 - ax.x1);
            l.rect = QRectF(x - w / 2, ax.y - metrics.height - ax.gap, w, metrics.height);
            out.push_back(l);
            break;
        }
    }
    return out;
}

int LabelAt(const QVector<MapLabel> &labels, const QPointF &p)
{
    for (int i = int(labels.size()) - 1; i >= 0; --i)
        if (labels[i].rect.contains(p))
            return i;
    return -1;
}

QVector<int> ReadingOrder(const QVector<MapLabel> &labels)
{
    QVector<int> order(labels.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const MapLabel &x = labels[a];
        const MapLabel &y = labels[b];
        if (x.axis != y.axis)
            return x.axis < y.axis;
        if (x.mhz != y.mhz)
            return x.mhz < y.mhz;
        return x.slot < y.slot;
    });
    return order;
}

int NextSpotSlot(const SpotStore &store, FrequencyRange limits, double fromMhz, int direction,
                 const QDateTime &now)
{
    // Compared in 10 Hz steps: the store keeps single precision, the radio whole hertz.
    auto steps = [](double mhz) { return qRound64(mhz * 1e5); };
    const qint64 from = steps(fromMhz);
    int best = -1;
    qint64 bestSteps = 0;
    for (int i = FirstLiveSlot(store, now); i < SpotStore::kSlots; ++i) {
        const SpotSlot &s = store.slot(i);
        if (s.SpotFreq <= 0 || !limits.holds(s.SpotFreq))
            continue;
        const qint64 at = steps(s.SpotFreq);
        if (direction > 0 ? at <= from : at >= from)
            continue;
        // Later slots are newer: on a tie the newer wins.
        if (best < 0 || (direction > 0 ? at <= bestSteps : at >= bestSteps)) {
            best = i;
            bestSteps = at;
        }
    }
    return best;
}

}  // namespace zev
