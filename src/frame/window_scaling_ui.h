#pragma once
// Sizing real windows and their text to the screen.

#include <QMargins>
#include <QRect>

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

// Room the window manager's frame takes around a top-level window: as measured once the
// window is on screen, before that the style's title bar above and a thin border around.
QMargins FrameAllowance(const QWidget *window);

// The largest client rectangle whose frame stays within `area`.
QRect ClientArea(const QWidget *window, const QRect &area);

// A window that fills its screen's work area, leaving room for its frame and title bar.
void FillWorkArea(QWidget *window);

// Height of the screen windows are laid out for.
int ScreenHeight();

}  // namespace zev
