#include "frame/logo_window.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace zev {

LogoWindow::LogoWindow(const QString &splashPath, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmVelkoLogo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAccessibleName(QStringLiteral("ZEV Contest Log"));
    QPixmap file;
    if (!splashPath.isEmpty() && file.load(splashPath)) {
        picture_ = file;
        fromFile_ = true;
        pictureVisible_ = true;
    } else {
        picture_ = builtInPicture(QSize(480, 300));
        QTimer::singleShot(1100, this, [this] {
            pictureVisible_ = true;
            update();
        });
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        // An operator's picture larger than the screen is shown whole, made smaller.
        const QSize room = screen->availableGeometry().size();
        if (picture_.width() > room.width() || picture_.height() > room.height())
            picture_ = picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    setFixedSize(picture_.size());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        // A little above the middle of the screen.
        const int lift = 170 * area.height() / 7200;
        move(area.left() + (area.width() - width()) / 2,
             std::max(area.top(), area.top() + (area.height() - height()) / 2 - lift));
    }
    QTimer::singleShot(closeAfterMs(), this, &QWidget::close);
}

QPixmap LogoWindow::builtInPicture(const QSize &size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x1d, 0x3a, 0x6e));
    g.setColorAt(1, QColor(0x0b, 0x16, 0x2c));
    p.fillRect(pm.rect(), g);

    // A stylised maple leaf of red bars radiating from the stem.
    const QPointF c(size.width() * 0.22, size.height() * 0.48);
    const double r = size.height() * 0.30;
    QPainterPath leaf;
    const int points = 11;
    for (int i = 0; i <= points * 2; ++i) {
        const double a = -M_PI / 2 + i * M_PI / points;
        const double rr = (i % 2 == 0) ? r : r * 0.55;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a) * 0.95);
        if (i == 0)
            leaf.moveTo(pt);
        else
            leaf.lineTo(pt);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd5, 0x2b, 0x1e));
    p.drawPath(leaf);
    p.fillRect(QRectF(c.x() - r * 0.06, c.y() + r * 0.4, r * 0.12, r * 0.7), QColor(0xd5, 0x2b, 0x1e));

    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(size.height() / 7);
    p.setFont(f);
    const QRectF text(size.width() * 0.42, size.height() * 0.2, size.width() * 0.56, size.height() * 0.3);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZEV"));
    f.setBold(false);
    f.setPixelSize(size.height() / 14);
    p.setFont(f);
    p.drawText(QRectF(text.left(), size.height() * 0.48, text.width(), size.height() * 0.14),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Contest Log"));
    f.setPixelSize(size.height() / 22);
    p.setFont(f);
    p.setPen(QColor(0xc8, 0xd4, 0xe8));
    p.drawText(QRectF(text.left(), size.height() * 0.64, text.width(), size.height() * 0.2),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Canada Day and Canada Winter contests"));
    return pm;
}

void LogoWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (pictureVisible_)
        p.drawPixmap(0, 0, picture_);
    else
        p.fillRect(rect(), QColor(0x0b, 0x16, 0x2c));
}

void LogoWindow::mousePressEvent(QMouseEvent *)
{
    close();
}

}  // namespace zev
