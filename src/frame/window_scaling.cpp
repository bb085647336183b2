#include "frame/window_scaling.h"

#include "common/quoted_values.h"

#include <algorithm>
#include <cmath>

namespace zev {

std::optional<int> FormSizeFromAnswer(const QString &answer)
{
    if (!IsNumeric(answer))
        return std::nullopt;
    const double v = NumericValue(answer);
    return int(std::lround(std::clamp(v, 30.0, 100.0)));
}

QRect MainWindowRect(const QRect &screen, const QRect &workArea, int percent, int taskbarMode)
{
    const int pct = std::clamp(percent, 30, 100);
    if (pct == 100)
        return taskbarMode == 1 ? workArea : screen;
    const QSize size(screen.width() * pct / 100, screen.height() * pct / 100);
    return QRect(QPoint(screen.center().x() - size.width() / 2 + 1, screen.center().y() - size.height() / 2 + 1), size);
}

QRect ScaledWindowRect(const QRect &screen, int widthTwips, int heightTwips, bool lifted)
{
    // The design screen is 640 x 480 pixels of 15 twips.
    const double fx = screen.width() / 640.0;
    const double fy = screen.height() / 480.0;
    const QSize size(int(std::lround(widthTwips / 15.0 * fx)), int(std::lround(heightTwips / 15.0 * fy)));
    const int lift = lifted ? int(std::lround(170 / 15.0 * fy)) : 0;
    return QRect(QPoint(screen.center().x() - size.width() / 2 + 1, screen.center().y() - size.height() / 2 + 1 - lift),
                 size);
}

double VerticalFactor(const QRect &screen)
{
    return screen.height() / 480.0;
}

int ScreenFontPixels(int screenHeight, int percent)
{
    const double pixels = kDesignFontPixels * std::max(0, screenHeight) / 480.0 * std::clamp(percent, 30, 100) / 100.0;
    return std::max(kSmallestFontPixels, int(std::lround(pixels)));
}

}  // namespace zev
