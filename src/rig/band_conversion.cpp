#include "rig/band_conversion.h"

#include <array>
#include <cmath>

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

QString RigFrequencyFormat(float mhz)
{
    if (!std::isfinite(mhz))
        return {};
    QString text = QString::number(double(mhz), 'f', 3);
    // No digit is forced before the point: below 1 MHz the text starts with it.
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

}  // namespace zev
