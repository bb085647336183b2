// The band map of the main window: what it paints, and what clicks and keys do to spots.

#include "spotting/band_map_widget_ui.h"
#include "test_support.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct Map {
    SpotStore store;
    QDateTime now = QDateTime(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);
    BandMapWidget w{store, [this] { return now; }};

    Map(int width = 800, int height = 90)
    {
        w.resize(width, height);
        w.setBand(QStringLiteral("20"));
    }
    void add(const QString &call, float mhz, qint64 age = 60)
    {
        store.add(call, mhz, now.addSecs(-age), call.left(3));
    }
    // What the operator sees: a paint, which lays the labels out.
    QImage paint()
    {
        QImage img(w.size(), QImage::Format_RGB32);
        w.render(&img);
        return img;
    }
    const MapLabel &label(const QString &call) const
    {
        for (const MapLabel &l : w.labels())
            if (l.call == call)
                return l;
        static const MapLabel none;
        ADD_FAILURE() << "no label " << call.toStdString();
        return none;
    }
    void press(QPointF at, Qt::MouseButton button, QEvent::Type type = QEvent::MouseButtonPress)
    {
        // Sent straight to the map, with no paint in between.
        QMouseEvent e(type, at, w.mapToGlobal(at), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &e);
    }
    void key(int k) { QTest::keyClick(&w, Qt::Key(k)); }
};

// Whether the image holds a pixel of the colour (0x00BBGGRR) inside the rectangle.
bool HasColour(const QImage &img, const QRectF &r, quint32 bgr)
{
    const QColor want(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    const QRect area = r.toAlignedRect() & img.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == want)
                return true;
    return false;
}

// The text a tool tip shows the operator.
QString Shown(const QString &tip)
{
    QTextDocument doc;
    if (Qt::mightBeRichText(tip))
        doc.setHtml(tip);
    else
        doc.setPlainText(tip);
    return doc.toPlainText();
}

}  // namespace

TEST(BandMapWidget, LabelsSitOnTheirFrequencyInTheirAgeColourAtTwoSizes)
{
    for (const QSize size : {QSize(800, 90), QSize(1400, 140)}) {
        Map m(size.width(), size.height());
        m.add("QQ1OLD", 14.021f, 2000);
        m.add("QQ2MID", 14.040f, 900);
        m.add("QQ3NEW", 14.059f, 30);
        m.add("QQ4OFF", 7.050f, 30);  // another band
        const QImage img = m.paint();
        ASSERT_EQ(m.w.labels().size(), 3) << size.width();
        ASSERT_EQ(m.w.axes().size(), 1);
        const AxisPlacement &a = m.w.axes().first();
        // The axis spans the map less half a label each side, through its middle.
        EXPECT_GT(a.x1, 0);
        EXPECT_LT(a.x1, size.width() * 0.1);
        EXPECT_DOUBLE_EQ(a.x2, size.width() - a.x1);
        EXPECT_DOUBLE_EQ(a.y, size.height() / 2.0);
        EXPECT_EQ(a.scale.captions.front(), "14.020");
        EXPECT_EQ(a.scale.captions.back(), "14.060");
        struct Want {
            const char *call;
            double share;
            quint32 colour;
        } wants[] = {{"QQ1OLD", 0.025, 0xC0C0C0}, {"QQ2MID", 0.5, 0xFFFFFF}, {"QQ3NEW", 0.975, 0x80FFFF}};
        for (const Want &want : wants) {
            const MapLabel &l = m.label(want.call);
            EXPECT_NEAR(l.rect.center().x(), a.x1 + want.share * (a.x2 - a.x1), 0.01) << want.call;
            EXPECT_LE(l.rect.bottom(), a.y) << want.call;
            EXPECT_GE(l.rect.top(), 0) << want.call;
            EXPECT_EQ(l.colour, want.colour) << want.call;
            // Painted in that colour, on the dark blue strip.
            EXPECT_TRUE(HasColour(img, l.rect, want.colour)) << want.call << " " << size.width();
        }
        EXPECT_TRUE(HasColour(img, QRectF(0, 0, 4, 4), 0x800000));
        // The axis line is white.
        EXPECT_EQ(img.pixelColor(size.width() / 3, int(a.y)), QColor(Qt::white));
    }
}

TEST(BandMapWidget, FollowsTheBandAndTheSpotsAsTheyAge)
{
    Map m;
    m.add("QQ1AA", 7.050f, 100);
    m.add("QQ2BB", 14.030f, 500);
    m.paint();
    ASSERT_EQ(m.w.labels().size(), 1);
    EXPECT_EQ(m.w.labels()[0].call, "QQ2BB");
    EXPECT_EQ(m.w.labels()[0].colour, 0x80FFFFu);
    m.w.setBand("40");
    m.paint();
    ASSERT_EQ(m.w.labels().size(), 1);
    EXPECT_EQ(m.w.labels()[0].call, "QQ1AA");
    m.w.setBand("20");
    m.now = m.now.addSecs(100);  // QQ2BB is 600 s old
    m.paint();
    ASSERT_EQ(m.w.labels().size(), 1);
    EXPECT_EQ(m.w.labels()[0].colour, 0xFFFFFFu);
    m.now = m.now.addSecs(3000);  // 3600 s
    m.paint();
    EXPECT_TRUE(m.w.labels().isEmpty());
    m.w.setBand("17");
    m.paint();
    EXPECT_EQ(m.w.axes()[0].scale.captions.front(), ".000");
}

TEST(BandMapWidget, RightClickChoosesTheSpotDrawnEvenAfterTheStoreMoved)
{
    Map m;
    m.add("QQ1AA", 14.021f);
    m.add("QQ2BB", 14.059f);
    m.paint();
    const QPointF at = m.label("QQ1AA").rect.center();
    QSignalSpy chosen(&m.w, &SpotMapView::spotChosen);
    // New spots shift every slot and change the zoom before the map is painted again.
    m.add("QQ3CC", 14.300f);
    m.add("QQ4DD", 14.021f);
    m.press(at, Qt::RightButton);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), "QQ1AA");
    EXPECT_FLOAT_EQ(chosen[0][1].toFloat(), 14.021f);
    // Nothing is removed by a right click.
    m.paint();
    EXPECT_EQ(m.w.labels().size(), 4);
}

TEST(BandMapWidget, LeftClickRemovesTheSpotClicked)
{
    Map m;
    m.add("QQ1AA", 14.021f);
    m.add("QQ2BB", 14.059f);
    m.paint();
    QSignalSpy chosen(&m.w, &SpotMapView::spotChosen);
    m.press(m.label("QQ2BB").rect.center(), Qt::LeftButton);
    EXPECT_EQ(m.store.slot(SpotStore::kSlots - 1).SpotFreq, 0.0f);
    EXPECT_EQ(m.store.slot(SpotStore::kSlots - 2).SpotFreq, 14.021f);
    m.paint();
    ASSERT_EQ(m.w.labels().size(), 1);
    EXPECT_EQ(m.w.labels()[0].call, "QQ1AA");

    // The store moves on between the paint and the click: the spot drawn goes, not the
    // one that took its slot.
    m.add("QQ3CC", 14.030f);
    m.paint();
    const QPointF at = m.label("QQ3CC").rect.center();
    m.add("QQ4DD", 14.045f);
    m.press(at, Qt::LeftButton);
    m.paint();
    QStringList left;
    for (const MapLabel &l : m.w.labels())
        left << l.call;
    EXPECT_EQ(left, QStringList({"QQ1AA", "QQ4DD"}));
    EXPECT_TRUE(chosen.isEmpty());
}

TEST(BandMapWidget, BackgroundClickAsksForSetupAndDoubleClickForTheSpectrumMap)
{
    Map m;
    m.add("QQ1AA", 14.021f);
    m.paint();
    QSignalSpy setup(&m.w, &BandMapWidget::setupRequested);
    QSignalSpy spectrum(&m.w, &BandMapWidget::openSpectrumMap);
    const QPointF away(m.w.width() / 2.0, m.w.height() - 2.0);
    m.press(away, Qt::LeftButton);
    EXPECT_EQ(setup.size(), 1);
    EXPECT_EQ(spectrum.size(), 0);
    m.press(away, Qt::LeftButton, QEvent::MouseButtonDblClick);
    EXPECT_EQ(spectrum.size(), 1);
    // On a label a click acts on the spot only.
    m.press(m.label("QQ1AA").rect.center(), Qt::LeftButton);
    EXPECT_EQ(setup.size(), 1);
}

TEST(BandMapWidget, HoverAndToolTipShowTheSpotAsPlainText)
{
    Map m;
    // A call from outside that looks like markup is shown as it stands.
    m.store.add("<img src=x>", 14.025f, m.now.addSecs(-5), "<im");
    m.add("QQ1A&B", 14.040f);
    m.paint();
    m.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.w));
    QSignalSpy hovered(&m.w, &SpotMapView::spotHovered);
    for (const MapLabel &l : m.w.labels()) {
        const QPoint at = l.rect.center().toPoint();
        QHelpEvent help(QEvent::ToolTip, at, m.w.mapToGlobal(at));
        QCoreApplication::sendEvent(&m.w, &help);
        ASSERT_TRUE(QToolTip::isVisible()) << l.call.toStdString();
        EXPECT_EQ(Shown(QToolTip::text()), l.tip);
        QTest::mouseMove(&m.w, at);
    }
    EXPECT_EQ(m.w.labels()[0].tip, "<img src=x>  14.025  17:59:55");
    EXPECT_EQ(m.w.labels()[1].tip, "QQ1A&B  14.040  17:59:00");
    ASSERT_EQ(hovered.size(), 2);
    EXPECT_EQ(hovered[0][0].toString(), m.w.labels()[0].tip);
    QToolTip::hideText();
}

TEST(BandMapWidget, KeyboardWalksChoosesAndRemovesSpots)
{
    Map m;
    m.add("QQ3CC", 14.059f);
    m.add("QQ1AA", 14.021f);
    m.add("QQ2BB", 14.040f);
    m.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.w));
    EXPECT_EQ(m.w.accessibleName(), "Band Map");
    EXPECT_FALSE(m.w.accessibleDescription().isEmpty());
    EXPECT_EQ(m.w.focusPolicy(), Qt::TabFocus);
    m.w.setFocus();
    ASSERT_TRUE(m.w.hasFocus());
    auto *said = m.w.findChild<QLabel *>("lblSpotFocus");
    ASSERT_NE(said, nullptr);
    // The lowest frequency first.
    EXPECT_EQ(said->text(), "QQ1AA  14.021  17:59:00, 1 of 3");
    QSignalSpy chosen(&m.w, &SpotMapView::spotChosen);
    m.key(Qt::Key_Right);
    EXPECT_EQ(said->text(), "QQ2BB  14.040  17:59:00, 2 of 3");
    m.key(Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), "QQ2BB");
    m.key(Qt::Key_Right);
    m.key(Qt::Key_Right);
    EXPECT_EQ(said->text(), "QQ3CC  14.059  17:59:00, 3 of 3");
    m.key(Qt::Key_Home);
    m.key(Qt::Key_Delete);
    EXPECT_EQ(m.store.slot(SpotStore::kSlots - 2).SpotFreq, 0.0f);
    EXPECT_EQ(said->text(), "QQ2BB  14.040  17:59:00, 1 of 2");
    m.key(Qt::Key_Delete);
    m.key(Qt::Key_Delete);
    EXPECT_EQ(said->text(), "No spots");
    m.key(Qt::Key_Return);
    EXPECT_EQ(chosen.size(), 1);
}

TEST(BandMapWidget, TheSpotReadIsANotification)
{
    zevtest::AccessibilityEvents events;
    Map m;
    m.add("QQ1AA", 14.021f);
    m.w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.w));
    m.w.setFocus();
    auto *said = m.w.findChild<QLabel *>("lblSpotFocus");
    ASSERT_NE(said, nullptr);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(said);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Notification);
    QTRY_COMPARE(events.spoken(said).value(0), QStringLiteral("QQ1AA  14.021  17:59:00, 1 of 1"));
}

// The walk stays on the spot last heard when the store changes under it: found by its call
// when a new spot of that call replaces it, by its place when it leaves the map.
TEST(BandMapWidget, TheWalkKeepsItsPlaceWhileSpotsArrive)
{
    struct Case {
        const char *name;
        std::function<void(Map &)> change;
        int key;
        const char *said;
    };
    const Case cases[] = {
        {"respotted, Right", [](Map &m) { m.add("QQ2BB", 14.040f, 5); }, Qt::Key_Right,
         "QQ3CC  14.059  17:59:00, 3 of 3"},
        {"respotted, Left", [](Map &m) { m.add("QQ2BB", 14.040f, 5); }, Qt::Key_Left,
         "QQ1AA  14.021  17:59:00, 1 of 3"},
        // A new frequency moves the call past its neighbour: the walk goes on from there.
        {"respotted higher, Left", [](Map &m) { m.add("QQ2BB", 14.070f, 5); }, Qt::Key_Left,
         "QQ3CC  14.059  17:59:00, 2 of 3"},
        {"another call spotted, Right", [](Map &m) { m.add("QQ4DD", 14.030f, 5); }, Qt::Key_Right,
         "QQ3CC  14.059  17:59:00, 4 of 4"},
        // Gone: Right and Left go to its neighbours, not past them and not back to the start.
        {"removed, Right", [](Map &m) { m.store.remove(SpotStore::kSlots - 1, "QQ2BB"); }, Qt::Key_Right,
         "QQ3CC  14.059  17:59:00, 2 of 2"},
        {"removed, Left", [](Map &m) { m.store.remove(SpotStore::kSlots - 1, "QQ2BB"); }, Qt::Key_Left,
         "QQ1AA  14.021  17:59:00, 1 of 2"},
        {"last removed, Left", [](Map &m) { m.store.remove(SpotStore::kSlots - 1, "QQ2BB"); m.store.remove(SpotStore::kSlots - 2, "QQ3CC"); },
         Qt::Key_Left, "QQ1AA  14.021  17:59:00, 1 of 1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Map m;
        m.add("QQ1AA", 14.021f);
        m.add("QQ3CC", 14.059f);
        m.add("QQ2BB", 14.040f);
        m.w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m.w));
        m.w.setFocus();
        auto *said = m.w.findChild<QLabel *>("lblSpotFocus");
        ASSERT_NE(said, nullptr);
        m.key(Qt::Key_Right);
        ASSERT_EQ(said->text(), "QQ2BB  14.040  17:59:00, 2 of 3");
        c.change(m);
        m.paint();
        m.key(c.key);
        EXPECT_EQ(said->text(), QString::fromLatin1(c.said));
    }
}
