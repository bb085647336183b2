#pragma once
// Window sizes as a share of the screen.

#include <QRect>
#include <QString>
#include <optional>

namespace zev {

// The form-size answer as a percentage kept within 30..100; nothing when not a number.
std::optional<int> FormSizeFromAnswer(const QString &answer);

// The main window's rectangle: `percent` of the screen, centred; at 100 % the work
// area (taskbar mode 1) or the whole screen (0).
QRect MainWindowRect(const QRect &screen, const QRect &workArea, int percent, int taskbarMode);

// A window laid out for a 9600 x 7200 twip screen, scaled to this screen and centred,
// optionally lifted 170 twips above the centre.
QRect ScaledWindowRect(const QRect &screen, int widthTwips, int heightTwips, bool lifted);

// Vertical scale of this screen against the 480-pixel design screen.
double VerticalFactor(const QRect &screen);

// Every window is designed with an 8-pixel font on the 480-pixel design screen.
inline constexpr double kDesignFontPixels = 8.0;
// Below this no text reads well, whatever the screen or form size.
inline constexpr int kSmallestFontPixels = 11;

// Pixel size of a window's font on a screen `screenHeight` pixels high: the design
// size grown with the screen, and with the form-size percentage on the main window.
int ScreenFontPixels(int screenHeight, int percent = 100);

}  // namespace zev
