#pragma once
// Sizing real windows and their text to the screen.

class QWidget;

namespace zev {

// Gives a window the share of the screen its design size takes on the design screen,
// with its font scaled to the screen, centred (or lifted above the centre).
void FitToScreen(QWidget *window, int widthTwips, int heightTwips, bool lifted);

// The application's font follows the screen, so menus, message boxes and every
// window that sets no font of its own read the same on any screen.
void ScaleApplicationFont();

// The style's button margins are fixed pixels; with large text a button needs margins
// that grow with it, or its caption touches the frame.
void PadButtons(QWidget *window, int fontPixels);

// Height of the screen windows are laid out for.
int ScreenHeight();

}  // namespace zev
