#include "frame/window_scaling_ui.h"

#include "frame/window_scaling.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

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

QMargins FrameAllowance(const QWidget *window)
{
    if (window->isVisible()) {
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        const QMargins measured(client.left() - frame.left(), client.top() - frame.top(),
                                frame.right() - client.right(), frame.bottom() - client.bottom());
        if (!measured.isNull())
            return measured;
    }
    // Not shown yet, or shown without a frame so far: the window manager adds one later.
    const QStyle *style = window->style();
    const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const int border = std::max(2, style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window));
    return QMargins(border, titleBar + border, border, border);
}

QRect ClientArea(const QWidget *window, const QRect &area)
{
    return area.marginsRemoved(FrameAllowance(window));
}

void FillWorkArea(QWidget *window)
{
    const QWidget *parent = window->parentWidget();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->setGeometry(ClientArea(window, screen->availableGeometry()));
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
