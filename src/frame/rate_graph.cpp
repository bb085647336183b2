#include "frame/rate_graph.h"

#include "logcore/contact_log.h"
#include "logcore/contest_clock.h"

#include <cmath>
#include <optional>

namespace zev {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kCountWindowSeconds = 600;
constexpr int kGapSearch = 15;
constexpr int kSmoothWidth = 7;
constexpr int kMinimumContacts = 7;

int twoDigits(const QChar *p)
{
    const char16_t a = p[0].unicode(), b = p[1].unicode();
    if (a < u'0' || a > u'9' || b < u'0' || b > u'9')
        return -1;
    return (a - u'0') * 10 + (b - u'0');
}

// "hh:mm:ss" or "hh:mm" as seconds of the day; nothing for any other shape, which
// then goes to the full parser.
std::optional<int> quickTime(const QString &t)
{
    if (t.size() != 8 && t.size() != 5)
        return std::nullopt;
    const QChar *p = t.constData();
    const int h = twoDigits(p), m = twoDigits(p + 3);
    const int s = t.size() == 8 ? twoDigits(p + 6) : 0;
    if (p[2] != u':' || (t.size() == 8 && p[5] != u':') || h < 0 || h > 23 || m < 0 || m > 59 || s < 0
        || s > 59)
        return std::nullopt;
    return h * 3600 + m * 60 + s;
}

// Every record's instant as seconds on one scale, read once: a contest has only a few
// dates, so each distinct date text is parsed once and common times without the
// general parser. Anything unusual is decided by RecordDateTime.
class InstantReader {
public:
    std::optional<qint64> read(const ContactRecord &r)
    {
        if (!haveDate_ || r.QsoDate != lastDate_) {
            haveDate_ = true;
            lastDate_ = r.QsoDate;
            const std::optional<QDateTime> noon = RecordDateTime(r.QsoDate, QStringLiteral("12:00:00"));
            lastDay_ = noon ? std::optional<qint64>(noon->date().toJulianDay()) : std::nullopt;
        }
        if (lastDay_) {
            if (const std::optional<int> secs = quickTime(r.QsoTime))
                return *lastDay_ * kSecondsPerDay + *secs;
        }
        const std::optional<QDateTime> when = RecordDateTime(r.QsoDate, r.QsoTime);
        if (!when)
            return std::nullopt;
        return when->date().toJulianDay() * kSecondsPerDay + when->time().msecsSinceStartOfDay() / 1000;
    }

private:
    bool haveDate_ = false;
    QString lastDate_;
    std::optional<qint64> lastDay_;
};

QDateTime instantDateTime(qint64 t)
{
    return QDateTime(QDate::fromJulianDay(t / kSecondsPerDay),
                     QTime::fromMSecsSinceStartOfDay(int(t % kSecondsPerDay) * 1000), Qt::UTC);
}

// a / b rounded to the nearest whole number, halves to the even one; b > 0, a >= 0.
qint64 roundedQuotient(qint64 a, qint64 b)
{
    const qint64 q = a / b, r = a % b;
    if (2 * r > b || (2 * r == b && (q % 2) != 0))
        return q + 1;
    return q;
}

}  // namespace

int LegendIndexOfBand(const QString &band)
{
    static const QStringList legend = {QStringLiteral("160"), QStringLiteral("80"), QStringLiteral("40"),
                                       QStringLiteral("20"),  QStringLiteral("15"), QStringLiteral("10")};
    const int i = legend.indexOf(band);
    if (i >= 0)
        return i;
    if (band == QLatin1String("6") || band == QLatin1String("2"))
        return kLegendBands - 1;
    return kBackground;
}

QString RateLabelText(double value)
{
    // Halves away from zero, as the label format does; the nudge keeps a value such as
    // 1.15, which binary holds just under the half, rounding as written.
    const double tenths = std::round(value * 10.0 + (value >= 0 ? 1e-9 : -1e-9));
    QString s = QString::number(tenths / 10.0, 'f', 1);
    if (s == QLatin1String("-0.0"))
        s = QStringLiteral("0.0");
    return s;
}

RateGraph BuildRateGraph(const ContactLog &log)
{
    return BuildRateGraph(log.records());
}

RateGraph BuildRateGraph(const std::vector<ContactRecord> &records)
{
    RateGraph g;
    g.SlotColours.fill(kBackground);
    const int count = int(records.size());
    if (count < kMinimumContacts) {
        g.status = RateGraph::Status::TooFewContacts;
        return g;
    }

    std::vector<qint64> when(size_t(count) + 1);  // 1-based like the records
    InstantReader reader;
    for (int n = 1; n <= count; ++n) {
        const std::optional<qint64> t = reader.read(records[size_t(n - 1)]);
        if (!t) {
            g.status = RateGraph::Status::UnreadableTime;
            g.unreadableRecord = n;
            return g;
        }
        when[size_t(n)] = *t;
    }
    g.Start = instantDateTime(when[1]);
    g.End = instantDateTime(when[size_t(count)]);
    g.Span = when[size_t(count)] - when[1];
    if (g.Span <= 0) {
        // All at one instant, or the last contact before the first: no time axis.
        g.status = RateGraph::Status::NoTimeSpan;
        return g;
    }

    for (int k = 0; k < kTimeLabels; ++k) {
        const double offset = std::nearbyint(double(k) * (double(g.Span) / (kTimeLabels - 1)));
        const QDateTime at = g.Start.addSecs(qint64(offset));
        g.TimeLabels[size_t(k)] = at.toString(QStringLiteral("HH:mm"));
        g.DateLabels[size_t(k)] = at.toString(QStringLiteral("MM/dd"));
    }

    auto &rate = g.RatePoints;
    auto &smooth = g.SmoothPoints;
    auto &colour = g.SlotColours;
    rate[1] = 6.0f;
    smooth[1] = 6.0f;

    for (int i = 1; i <= count; ++i) {
        const qint64 t = when[size_t(i)];
        int inWindow = 0;
        for (int j = i; j >= 1 && t - when[size_t(j)] < kCountWindowSeconds; --j)
            ++inWindow;

        // Slot = elapsed / (Span / 1500), worked in whole numbers so halves are exact.
        const qint64 elapsed = t - when[1];
        qint64 slot = 1;
        if (i > 1) {
            if (elapsed < 0 || elapsed > g.Span)
                continue;  // out of order, before the first or after the last contact: off the axis
            slot = std::max<qint64>(1, roundedQuotient(elapsed * kGraphSlots, g.Span));
        }
        rate[size_t(slot)] = 6.0f * float(inWindow);
        const int band = LegendIndexOfBand(records[size_t(i - 1)].Band);
        if (band != kBackground)
            colour[size_t(slot)] = std::int8_t(band);
    }

    // Short pauses are bridged from the slot before the pause to the next contact.
    for (int i = 2; i <= kGraphSlots; ++i) {
        if (rate[size_t(i)] != 0.0f) {
            smooth[size_t(i)] = rate[size_t(i)];
            continue;
        }
        int next = 0;
        for (int n = i + 1; n <= i + kGapSearch; ++n) {
            if (rate[size_t(n)] > 0.0f) {
                next = n;
                break;
            }
        }
        if (next == 0)
            continue;
        const float before = rate[size_t(i - 1)];
        const float step = (rate[size_t(next)] - before) / float(next - i);
        for (int k = i; k < next; ++k) {
            const float v = before + float(k - i) * step;
            smooth[size_t(k)] = v;
            rate[size_t(k)] = v;
        }
    }

    for (int i = kSmoothWidth; i <= kGraphSlots; ++i) {
        float sum = 0;
        int used = 0;
        for (int k = i; k > i - kSmoothWidth; --k) {
            if (rate[size_t(k)] > 0.0f) {
                sum += rate[size_t(k)];
                ++used;
            }
        }
        if (used > 0)
            smooth[size_t(i)] = sum / float(used);
    }

    for (int i = 1; i <= kGraphSlots; ++i) {
        g.MinRate = std::min(g.MinRate, smooth[size_t(i)]);
        g.MaxRate = std::max(g.MaxRate, smooth[size_t(i)]);
    }

    // The band strip runs on under bridged and smoothed slots until the rate drops to 0.
    std::int8_t last = kBackground;
    for (int i = 1; i <= kGraphSlots; ++i) {
        if (smooth[size_t(i)] > 0.0f) {
            if (colour[size_t(i)] == kBackground)
                colour[size_t(i)] = last;
            else
                last = colour[size_t(i)];
        } else {
            last = kBackground;
        }
    }

    for (int k = 0; k < kValueLabels; ++k) {
        const double v = k == kValueLabels - 1
                             ? double(g.MaxRate)
                             : double(g.MinRate) + k * (double(g.MaxRate) - g.MinRate) / (kValueLabels - 1);
        g.ValueLabels[size_t(k)] = RateLabelText(v);
    }

    // A level curve has no vertical scale.
    g.status = g.MaxRate > g.MinRate ? RateGraph::Status::Ready : RateGraph::Status::FlatCurve;
    return g;
}

}  // namespace zev
