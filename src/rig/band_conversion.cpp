#include "rig/band_conversion.h"

#include <array>

namespace zev {

namespace {

struct BandEdges {
    float above, below;
};

// In the order of BandCodes(): 160, 80, 40, 20, 15, 10, 6, 2.
constexpr std::array<BandEdges, 8> kEdges{{
    {1.7999f, 2.0001f},
    {3.4999f, 4.0001f},
    {6.9999f, 7.3001f},
    {13.9999f, 14.3501f},
    {20.9999f, 21.4501f},
    {27.9999f, 29.7001f},
    {49.9999f, 54.0001f},
    {143.9999f, 148.0001f},
}};

}  // namespace

int BandIndexForFrequency(float mhz)
{
    for (size_t i = 0; i < kEdges.size(); ++i)
        if (mhz > kEdges[i].above && mhz < kEdges[i].below)
            return int(i);
    return -1;
}

int BandIndexForHz(qint64 hz)
{
    return BandIndexForFrequency(float(double(hz) / 1e6));
}

namespace {

// MHz with `decimals` places (1..6), rounded half away from zero; no digit before the point
// below 1 MHz.
QString FixedMhz(qint64 hz, int decimals)
{
    qint64 unit = 1;
    for (int i = decimals; i < 6; ++i)
        unit *= 10;
    const qint64 magnitude = hz < 0 ? -hz : hz;
    const qint64 units = (magnitude + unit / 2) / unit;
    qint64 perMhz = 1;
    for (int i = 0; i < decimals; ++i)
        perMhz *= 10;
    QString text = units / perMhz == 0 ? QString() : QString::number(units / perMhz);
    text += QLatin1Char('.') + QStringLiteral("%1").arg(units % perMhz, decimals, 10, QLatin1Char('0'));
    return hz < 0 && units != 0 ? QLatin1Char('-') + text : text;
}

}  // namespace

QString RigFrequencyFormat(qint64 hz)
{
    return FixedMhz(hz, 3);
}

QString RigWindowFrequencyText(qint64 hz)
{
    return FixedMhz(hz, 5);
}

}  // namespace zev
