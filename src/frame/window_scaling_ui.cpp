#include "frame/window_scaling_ui.h"

#include "frame/window_scaling.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace zev {

int ScreenHeight()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 480;
}

void FitToScreen(QWidget *window, int widthTwips, int heightTwips, bool lifted)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    QFont f = window->font();
    f.setPixelSize(ScreenFontPixels(area.height()));
    window->setFont(f);
    PadButtons(window, f.pixelSize());
    const QRect r = ScaledWindowRect(area, widthTwips, heightTwips, lifted);
    window->resize(r.size().expandedTo(window->minimumSizeHint()));
    window->move(r.topLeft());
}

void PadButtons(QWidget *window, int fontPixels)
{
    for (QPushButton *b : window->findChildren<QPushButton *>()) {
        if (b->window() != window)
            continue;
        b->setMinimumSize(0, 0);  // so the hint below is the unpadded one
        b->setMinimumSize(b->sizeHint() + QSize(fontPixels, fontPixels / 2));
    }
}

void ScaleApplicationFont()
{
    QFont f = QApplication::font();
    f.setPixelSize(ScreenFontPixels(ScreenHeight()));
    QApplication::setFont(f);
}

}  // namespace zev
