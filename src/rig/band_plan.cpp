#include "rig/band_plan.h"

#include <QLocale>

#include <algorithm>

namespace zev {

BandPlanReadResult ParseBandPlan(const QByteArray &data, BandPlan &plan)
{
    plan = {};
    ValueReader in(data);
    BandPlanReadResult result;
    auto fail = [&](const QString &why) {
        result.ok = false;
        result.error = why;
        result.position = in.position();
        return result;
    };
    if (!in.next(plan.effective))
        return fail(in.error().isEmpty() ? QStringLiteral("the file is empty") : in.error());
    while (!in.atEnd() && int(plan.rows.size()) < kBandPlanMaxRows) {
        BandPlanRow r;
        double lower = 0, upper = 0;
        if (!in.next(r.band) || !in.next(r.cls) || !in.next(r.mode))
            return fail(in.error());
        if (!in.nextNumber(lower) || !in.nextNumber(upper))
            return fail(in.error());
        for (const double edge : {lower, upper})
            if (!(edge >= 0 && edge <= kBandPlanMaxMhz))
                return fail(QStringLiteral("%1 is out of range").arg(FormatNumber(edge)));
        r.lower = float(lower);
        r.upper = float(upper);
        plan.rows.push_back(std::move(r));
    }
    return result;
}

std::vector<BandPlanRow> ExtraPlanRows(const BandPlan &plan)
{
    std::vector<BandPlanRow> out;
    for (const BandPlanRow &r : plan.rows)
        if (r.cls == QLatin1String("E"))
            out.push_back(r);
    return out;
}

QString BandPlanMode(const std::vector<BandPlanRow> &extraRows, float mhz)
{
    for (const BandPlanRow &r : extraRows) {
        if (!(r.lower < mhz && mhz < r.upper))
            continue;
        if (r.band == QLatin1String("160"))
            return {};
        if (r.mode == QLatin1String("PH")) {
            const bool lower = r.band == QLatin1String("80") || r.band == QLatin1String("60") ||
                               r.band == QLatin1String("40");
            return lower ? QStringLiteral("LSB") : QStringLiteral("USB");
        }
        return r.mode;
    }
    return {};
}

std::vector<ChartBand> PrivilegesChart(const BandPlan &plan, const QString &cls)
{
    std::vector<ChartBand> out;
    const auto &rows = plan.rows;
    for (size_t i = 0; i < rows.size() && int(out.size()) < kBandPlanMaxBands; ++i) {
        if (rows[i].cls != QLatin1String("O"))
            continue;
        ChartBand b{rows[i].band, rows[i].lower, rows[i].upper, {}};
        for (size_t j = i + 1; j < rows.size() && rows[j].band == b.band; ++j)
            if (rows[j].cls == cls)
                b.segments.push_back(rows[j]);
        if (!b.segments.empty())
            out.push_back(std::move(b));
    }
    return out;
}

ChartSpan ChartPlace(const ChartBand &band, const BandPlanRow &segment, int barWidth)
{
    const double span = double(band.upper) - double(band.lower);
    if (!(span > 0) || barWidth <= 0)
        return {0, std::max(1, barWidth)};
    // A segment beyond its band's extent (a slip in the file) stops at the bar's ends.
    const double from = std::clamp((double(segment.lower) - band.lower) / span, 0.0, 1.0);
    const double to = std::clamp((double(segment.upper) - band.lower) / span, from, 1.0);
    return {int(barWidth * from), std::max(1, int(barWidth * (to - from)))};
}

QString ChartEdge(float mhz)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(double(mhz), 'f', 3);
}

}  // namespace zev
