#pragma once
// The band plan: which segments each licence class may use, and in which mode.

#include "common/quoted_values.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace zev {

inline const QString kBandPlanFile = QStringLiteral("BandPlan.txt");
inline constexpr int kBandPlanMaxRows = 200;
inline constexpr int kBandPlanMaxBands = 20;

struct BandPlanRow {
    QString band;  // "20"
    QString cls;   // "O" opens a band and gives its extent; N, T, P, G, A, E are licence classes
    QString mode;  // "CW" or "PH"
    float lower = 0, upper = 0;  // MHz

    bool operator==(const BandPlanRow &) const = default;
};

struct BandPlan {
    QString effective;  // the first value of the file
    std::vector<BandPlanRow> rows;
};

struct BandPlanReadResult {
    bool ok = true;
    QString error;
    ReadPosition position;
};

// Band edges beyond this are not a frequency any radio has (MHz).
inline constexpr double kBandPlanMaxMhz = 1e6;

// Reads the file's content. On a bad value (an edge below 0 or above kBandPlanMaxMhz is
// one) `plan` keeps what was read before it; at most kBandPlanMaxRows rows are kept.
BandPlanReadResult ParseBandPlan(const QByteArray &data, BandPlan &plan);

// The Extra-class rows, which choose a radio mode for a frequency.
std::vector<BandPlanRow> ExtraPlanRows(const BandPlan &plan);

// The radio mode for `mhz` from the Extra rows: the first row holding it (edges
// exclusive) gives its band and mode; no mode on 160 m; phone becomes "USB", or "LSB" on
// 80, 60 and 40 m. Empty when no row holds the frequency.
QString BandPlanMode(const std::vector<BandPlanRow> &extraRows, float mhz);

// One band of a licence class's chart: the band's extent and the class's segments in it.
struct ChartBand {
    QString band;
    float lower = 0, upper = 0;
    std::vector<BandPlanRow> segments;
};

// The bands that hold at least one segment for `cls`, in file order, at most
// kBandPlanMaxBands.
std::vector<ChartBand> PrivilegesChart(const BandPlan &plan, const QString &cls);

// Where a segment sits on its band's bar `barWidth` pixels wide: left offset and width
// (at least 1), kept on the bar whatever the edges.
struct ChartSpan {
    int left = 0, width = 1;
};
ChartSpan ChartPlace(const ChartBand &band, const BandPlanRow &segment, int barWidth);

// "#,###.##0": an edge as the chart shows it, thousands grouped ("14.025", "1,296.000").
QString ChartEdge(float mhz);

}  // namespace zev
