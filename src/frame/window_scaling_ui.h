#pragma once
// Sizing real windows to the screen.

class QWidget;

namespace zev {

// Gives a window the share of the screen its design size takes on the design screen,
// with its font scaled by the vertical factor, centred (or lifted above the centre).
void FitToScreen(QWidget *window, int widthTwips, int heightTwips, bool lifted);

}  // namespace zev
