#include "rig/tune_arithmetic.h"

#include "common/quoted_values.h"

#include <cmath>

namespace zev::tune {

namespace {

struct Band {
    const char *caption;
    qint64 hz;
};
constexpr Band kBands[kBandCount] = {
    {"160", 1900000},    {"80", 3750000},     {"60", 5368000},     {"40", 7150000},
    {"30", 10130000},    {"20", 14175000},    {"17", 18118000},    {"15", 21225000},
    {"12", 24940000},    {"10", 28500000},    {"6", 52000000},     {"2", 146000000},
    {"1.25", 223500000}, {"70", 435000000},   {"33", 915000000},   {"23", 1270000000},
};

struct Step {
    const char *caption;
    qint64 hz;
};
constexpr Step kSteps[kStepCount] = {
    {"10 Hz", 10},      {"10 Hz", -10},      {"1 MHz", 1000000}, {"1 MHz", -1000000}, {"5 KHz", 5000},
    {"5 KHz", -5000},   {"1 KHz", 1000},     {"1 KHz", -1000},   {"100 Hz", 100},     {"100 Hz", -100},
};
constexpr Step kScanSteps[kScanStepCount] = {
    {"500 Hz", 500}, {"100 Hz", 100}, {"30 Hz", 30}, {"10 Hz", 10}, {"2.5 KHz", 2500},
};

// Far beyond any radio; keeps the hertz well inside 64 bits.
constexpr double kLargestMhz = 1e9;

}  // namespace

std::optional<qint64> HzFromText(const QString &mhzText)
{
    if (!IsNumeric(mhzText))
        return std::nullopt;
    const double mhz = NumericValue(mhzText);
    if (!std::isfinite(mhz) || std::fabs(mhz) > kLargestMhz)
        return std::nullopt;
    return std::llround(mhz * 1e6);
}

QString MhzText(qint64 hz)
{
    const qint64 magnitude = hz < 0 ? -hz : hz;
    QString text = QString::number(magnitude / 1000000);
    QString fraction = QStringLiteral("%1").arg(magnitude % 1000000, 6, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return hz < 0 ? QLatin1Char('-') + text : text;
}

QString BandCaption(int index)
{
    return index >= 0 && index < kBandCount ? QString::fromLatin1(kBands[index].caption) : QString();
}

QString BandName(int index)
{
    if (index < 0 || index >= kBandCount)
        return {};
    // The UHF bands go by their wavelength in centimetres.
    return BandCaption(index) + (kBands[index].hz >= 400000000 ? QStringLiteral(" cm") : QStringLiteral(" metres"));
}

qint64 BandHz(int index)
{
    return index >= 0 && index < kBandCount ? kBands[index].hz : 0;
}

qint64 StepHz(int index)
{
    return index >= 0 && index < kStepCount ? kSteps[index].hz : 0;
}

QString StepCaption(int index)
{
    return index >= 0 && index < kStepCount ? QString::fromLatin1(kSteps[index].caption) : QString();
}

qint64 ScanStepHz(int index)
{
    return index >= 0 && index < kScanStepCount ? kScanSteps[index].hz : 0;
}

QString ScanStepCaption(int index)
{
    return index >= 0 && index < kScanStepCount ? QString::fromLatin1(kScanSteps[index].caption) : QString();
}

qint64 ScanNext(qint64 current, qint64 step, qint64 from, qint64 to)
{
    const qint64 next = current + step;
    return next > to ? from : next;
}

}  // namespace zev::tune
