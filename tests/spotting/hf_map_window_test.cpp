// The HF spectrum map: eleven bands, one row each, over the whole work area.

#include "spotting/hf_map_window.h"
#include "test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct Spectrum {
    SpotStore store;
    QDateTime now = QDateTime(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);
    SpectrumMapWindow w{store, [this] { return now; }};

    void add(const QString &call, float mhz, qint64 age = 60)
    {
        store.add(call, mhz, now.addSecs(-age), call.left(3));
    }
    QImage paint()
    {
        QImage img(w.view()->size(), QImage::Format_RGB32);
        w.view()->render(&img);
        return img;
    }
    const MapLabel *label(const QString &call) const
    {
        for (const MapLabel &l : w.view()->labels())
            if (l.call == call)
                return &l;
        return nullptr;
    }
    void press(const QString &call, Qt::MouseButton button)
    {
        const MapLabel *l = label(call);
        ASSERT_NE(l, nullptr) << call.toStdString();
        const QPointF at = l->rect.center();
        QMouseEvent e(QEvent::MouseButtonPress, at, w.view()->mapToGlobal(at), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(w.view(), &e);
    }
};

}  // namespace

TEST(SpectrumMapWindow, FillsTheWorkAreaWithItsCaption)
{
    Spectrum s;
    EXPECT_EQ(s.w.windowTitle(), " HF Spectrum Map");
    EXPECT_EQ(s.w.objectName(), "SpectrumMap");
    EXPECT_TRUE(s.w.isModal());
    // The work area, less room for the window manager's frame and title bar.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int titleBar = s.w.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &s.w);
    EXPECT_TRUE(area.contains(s.w.frameGeometry()));
    EXPECT_GE(s.w.geometry().top() - area.top(), titleBar);
    EXPECT_GE(s.w.height(), area.height() - 2 * titleBar);
    EXPECT_GE(s.w.width(), area.width() - titleBar);
    EXPECT_EQ(s.w.view()->accessibleName(), "Spectrum Map");
}

TEST(SpectrumMapWindow, EachSpotInTheRowOfItsBand)
{
    Spectrum s;
    s.w.view()->resize(1200, 880);
    s.add("QQ1TOP", 1.850f);
    s.add("QQ2WARC", 10.120f);  // 30 m: here, never on the main band map
    s.add("QQ3EDGE", 14.000f);  // on a limit: no row
    s.add("QQ4SEV", 18.070f, 1900);
    s.add("QQ5SEV", 18.160f);
    s.add("QQ6VHF", 146.0f);
    s.add("QQ7GAP", 5.0f);  // between bands
    s.paint();
    const QVector<AxisPlacement> &axes = s.w.view()->axes();
    ASSERT_EQ(axes.size(), kSpectrumRows);
    // Rows equally spaced from the top down.
    const double row = s.w.view()->height() / double(kSpectrumRows);
    ASSERT_GT(row, 20);
    for (int k = 0; k < kSpectrumRows; ++k)
        EXPECT_NEAR(axes[k].y, (k + 0.5) * row, 0.01) << k;
    struct Want {
        const char *call;
        int row;
        double share;
        quint32 colour;
    } wants[] = {{"QQ1TOP", 0, 0.25, 0x80FFFF}, {"QQ2WARC", 3, 0.4, 0x80FFFF}, {"QQ4SEV", 5, 0.0109, 0xC0C0C0},
                 {"QQ5SEV", 5, 0.9891, 0x80FFFF}, {"QQ6VHF", 10, 0.5, 0x80FFFF}};
    EXPECT_EQ(s.w.view()->labels().size(), int(std::size(wants)));
    EXPECT_EQ(s.label("QQ3EDGE"), nullptr);
    EXPECT_EQ(s.label("QQ7GAP"), nullptr);
    EXPECT_EQ(axes[5].scale.captions.front(), "18.069");
    EXPECT_EQ(axes[5].scale.captions.back(), "18.161");
    for (const Want &want : wants) {
        const MapLabel *l = s.label(want.call);
        ASSERT_NE(l, nullptr) << want.call;
        const AxisPlacement &a = axes[want.row];
        EXPECT_EQ(l->axis, want.row) << want.call;
        EXPECT_NEAR(l->rect.center().x(), a.x1 + want.share * (a.x2 - a.x1), 1) << want.call;
        EXPECT_DOUBLE_EQ(l->rect.bottom(), a.y) << want.call;
        EXPECT_EQ(l->colour, want.colour) << want.call;
    }
}

TEST(SpectrumMapWindow, TheNewestSpotIsDrawnInFront)
{
    Spectrum s;
    s.w.view()->resize(1200, 880);
    s.add("QQ1OLD", 21.200f, 2100);  // grey
    s.add("QQ2NEW", 21.200f, 10);    // light yellow, same place
    const QImage img = s.paint();
    const MapLabel *older = s.label("QQ1OLD");
    const MapLabel *newer = s.label("QQ2NEW");
    ASSERT_TRUE(older && newer);
    ASSERT_EQ(older->rect, newer->rect);
    bool grey = false, yellow = false;
    const QRect r = newer->rect.toAlignedRect() & img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            grey |= img.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
            yellow |= img.pixelColor(x, y) == QColor(0xFF, 0xFF, 0x80);
        }
    EXPECT_TRUE(yellow);
    EXPECT_FALSE(grey);
}

TEST(SpectrumMapWindow, RightClickChoosesTheSpotAndCloses)
{
    Spectrum s;
    s.w.view()->resize(1200, 880);
    s.add("QQ1GREY", 7.030f, 35 * 60);
    s.add("QQ2BB", 7.040f);
    s.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.w));
    s.paint();
    QSignalSpy chosen(&s.w, &SpectrumMapWindow::spotChosen);
    s.add("QQ3CC", 7.250f);  // arrives before the next paint
    s.press("QQ1GREY", Qt::RightButton);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), "QQ1GREY");
    EXPECT_FLOAT_EQ(chosen[0][1].toFloat(), 7.030f);
    EXPECT_FALSE(s.w.isVisible());
    EXPECT_EQ(s.w.result(), QDialog::Accepted);
}

TEST(SpectrumMapWindow, LeftClickRemovesTheSpotFromBothMaps)
{
    Spectrum s;
    s.w.view()->resize(1200, 880);
    BandMapWidget band(s.store, [&] { return s.now; });
    band.resize(800, 90);
    band.setBand("20");
    s.add("QQ1AA", 14.020f);
    s.add("QQ2BB", 14.030f);
    s.paint();
    s.press("QQ1AA", Qt::LeftButton);
    s.paint();
    EXPECT_EQ(s.label("QQ1AA"), nullptr);
    EXPECT_NE(s.label("QQ2BB"), nullptr);
    QImage img(band.size(), QImage::Format_RGB32);
    band.render(&img);
    ASSERT_EQ(band.labels().size(), 1);
    EXPECT_EQ(band.labels()[0].call, "QQ2BB");
    // A window opened afresh does not show it either.
    SpectrumMapWindow again(s.store, [&] { return s.now; });
    again.view()->resize(1200, 880);
    QImage img2(again.view()->size(), QImage::Format_RGB32);
    again.view()->render(&img2);
    EXPECT_EQ(again.view()->labels().size(), 1);
}

TEST(SpectrumMapWindow, KeyboardWalksTheRowsAndChooses)
{
    Spectrum s;
    s.add("QQ1AA", 14.030f);
    s.add("QQ2BB", 7.010f);
    s.add("QQ3CC", 14.020f);
    s.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.w));
    // The map has the focus as the window opens.
    ASSERT_TRUE(s.w.view()->hasFocus());
    auto *said = s.w.view()->findChild<QLabel *>("lblSpotFocus");
    ASSERT_NE(said, nullptr);
    // From the top row down, low to high within a row, with the row said first.
    EXPECT_EQ(said->text(), "40 m: QQ2BB  7.010  17:59:00, 1 of 3");
    QSignalSpy chosen(&s.w, &SpectrumMapWindow::spotChosen);
    QTest::keyClick(s.w.view(), Qt::Key_Right);
    EXPECT_EQ(said->text(), "20 m: QQ3CC  14.020  17:59:00, 2 of 3");
    QTest::keyClick(s.w.view(), Qt::Key_Delete);
    EXPECT_EQ(said->text(), "20 m: QQ1AA  14.030  17:59:00, 2 of 2");
    QTest::keyClick(s.w.view(), Qt::Key_Left);
    QTest::keyClick(s.w.view(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), "QQ2BB");
    EXPECT_FALSE(s.w.isVisible());
}
