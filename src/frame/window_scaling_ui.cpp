#include "frame/window_scaling_ui.h"

#include "frame/window_scaling.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace zev {

void FitToScreen(QWidget *window, int widthTwips, int heightTwips, bool lifted)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    QFont f = window->font();
    // 8.25 points on the design screen is 11 pixels.
    f.setPixelSize(std::max(11, int(std::lround(11 * VerticalFactor(area) * 0.75))));
    window->setFont(f);
    const QRect r = ScaledWindowRect(area, widthTwips, heightTwips, lifted);
    window->resize(r.size().expandedTo(window->minimumSizeHint()));
    window->move(r.topLeft());
}

}  // namespace zev
