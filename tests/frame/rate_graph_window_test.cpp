#include "frame/rate_graph_window.h"
#include "frame/session.h"
#include "test_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <random>

using namespace zev;
using namespace zevtest;

namespace {

const QString kNotEnoughText = QStringLiteral(
    "The graph will not display with less than 7 contacts.  The graph becomes more meaningful as several "
    "hours of contest logging are accumulated.");
const QString kNotEnoughTitle = QStringLiteral("Not Enough Contacts to Graph.");

ContactRecord Contact(const QDateTime &utc, const QString &band)
{
    ContactRecord r;
    r.Call = QStringLiteral("VE3XYZ");
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = utc.toString(QStringLiteral("yyyy/MM/dd"));
    r.QsoTime = utc.toString(QStringLiteral("HH:mm:ss"));
    r.Mode = QStringLiteral("CW");
    r.Band = band;
    r.Points = 10;
    return r;
}

// A Canada Day contest as one operator might log it: low bands at night, high bands
// by day, the rate rising and falling, a few hours of sleep in the middle.
std::vector<ContactRecord> ContestDay(int count)
{
    std::mt19937 rng(2009);
    std::exponential_distribution<double> pause(1.0);
    std::vector<ContactRecord> out;
    QDateTime t(QDate(2009, 7, 1), QTime(0, 0, 12), Qt::UTC);
    while (int(out.size()) < count) {
        const int hour = t.time().hour();
        if (hour == 7 && t.date().day() == 1)
            t = t.addSecs(3 * 3600 + 1234);  // asleep
        const int h = t.time().hour();
        const QString band = h < 3 ? "80" : h < 6 ? "160" : h < 12 ? "40" : h < 15 ? "20" : h < 17 ? "15"
                           : h < 18 ? "10" : h < 19 ? "6" : h < 21 ? "20" : "40";
        out.push_back(Contact(t, band));
        // Busiest in the first hours and the evening.
        const double perHour = h < 3 ? 55 : h < 12 ? 25 : h < 18 ? 18 : 40;
        t = t.addSecs(std::max<qint64>(5, qint64(pause(rng) * 3600 / perHour)));
    }
    return out;
}

struct GraphHarness {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeClock clock;
    Registry registry{dir.filePath("registry.ini")};
    Session session{Folders{}, prompter, clock, registry};

    explicit GraphHarness(std::vector<ContactRecord> records) { session.log.setRecords(std::move(records)); }
};

int countPixels(const QImage &img, const QRect &area, const QColor &colour)
{
    int n = 0;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, y) == colour;
    return n;
}

// Design twips to the window's pixels.
QRect Area(const QWidget &w, double left, double top, double right, double bottom)
{
    const double sx = w.width() / 9600.0, sy = w.height() / 7200.0;
    return QRectF(QPointF(left * sx, top * sy), QPointF(right * sx, bottom * sy)).toRect();
}

double Luminance(const QColor &c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

}  // namespace

TEST(RateGraphWindow, TooFewContactsOrNoTimeSpanShowTheMessageAndDrawNothing)
{
    const QDateTime start(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);
    std::vector<ContactRecord> six;
    for (int i = 0; i < 6; ++i)
        six.push_back(Contact(start.addSecs(i * 300), "20"));
    std::vector<ContactRecord> oneInstant(7, Contact(start, "20"));

    for (const auto &records : {six, oneInstant}) {
        GraphHarness h(records);
        RateGraphWindow w(h.session);
        ASSERT_EQ(h.prompter.asked.size(), 1);
        EXPECT_EQ(h.prompter.asked[0].kind, "message");
        EXPECT_EQ(h.prompter.asked[0].text, kNotEnoughText);
        EXPECT_EQ(h.prompter.asked[0].title, kNotEnoughTitle);
        EXPECT_FALSE(w.graph().ready());
        for (QLabel *l : w.lblTime)
            EXPECT_TRUE(l->text().isEmpty());
        for (QLabel *l : w.lblY)
            EXPECT_TRUE(l->text().isEmpty());
        const QImage img = w.grab().toImage();
        EXPECT_EQ(countPixels(img, img.rect(), QColor(0, 0, 255)), 0);
    }

    // Seven contacts draw.
    six.push_back(Contact(start.addSecs(7200), "20"));
    GraphHarness h(six);
    RateGraphWindow w(h.session);
    EXPECT_TRUE(h.prompter.asked.isEmpty());
    EXPECT_TRUE(w.graph().ready());
}

TEST(RateGraphWindow, ShowsTheComputedGraph)
{
    GraphHarness h(ContestDay(500));
    RateGraphWindow w(h.session);
    ASSERT_TRUE(h.prompter.asked.isEmpty());
    EXPECT_EQ(w.objectName(), "GraphQSO");
    EXPECT_EQ(w.windowTitle(), " Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
    const RateGraph &g = w.graph();
    ASSERT_TRUE(g.ready());
    EXPECT_EQ(w.lblTime[0]->text(), "00:00");
    EXPECT_EQ(w.lblDate[0]->text(), "07/01");
    for (int k = 0; k < kTimeLabels; ++k) {
        EXPECT_EQ(w.lblTime[size_t(k)]->text(), g.TimeLabels[size_t(k)]);
        EXPECT_EQ(w.lblDate[size_t(k)]->text(), g.DateLabels[size_t(k)]);
        EXPECT_EQ(w.lblTime[size_t(k)]->objectName(), QStringLiteral("lblTime%1").arg(k));
        EXPECT_FALSE(w.lblTime[size_t(k)]->accessibleDescription().isEmpty());
    }
    EXPECT_EQ(w.lblY[0]->text(), "0.0");
    for (int k = 0; k < kValueLabels; ++k)
        EXPECT_EQ(w.lblY[size_t(k)]->text(), g.ValueLabels[size_t(k)]);
    // Value labels climb the left edge, lowest at the bottom.
    for (int k = 1; k < kValueLabels; ++k)
        EXPECT_LT(w.lblY[size_t(k)]->geometry().center().y(), w.lblY[size_t(k - 1)]->geometry().center().y());
    const QStringList legend = {"160", "80", "40", "20", "15", "10", "Other"};
    for (int b = 0; b < kLegendBands; ++b) {
        EXPECT_EQ(w.lblBnd[size_t(b)]->text(), legend[b]);
        EXPECT_EQ(w.lblBnd[size_t(b)]->palette().color(QPalette::WindowText), RateGraphWindow::BandColour(b));
    }
    EXPECT_TRUE(w.picGraph->accessibleDescription().contains(g.ValueLabels.back()));

    // The curve and each band of the day show up in the picture.
    const QImage img = w.grab().toImage();
    EXPECT_GT(countPixels(img, Area(w, 1000, 300, 9200, 5300), QColor(0, 0, 255)), 200);
    const QRect strip = Area(w, 1000, 5420, 9200, 5580);
    for (int b = 0; b < kLegendBands; ++b)
        EXPECT_GT(countPixels(img, strip, RateGraphWindow::BandColour(b)), 0) << legend[b].toStdString();
}

TEST(RateGraphWindow, BackgroundSwitchFlipsCaptionAndColours)
{
    GraphHarness h(ContestDay(200));
    RateGraphWindow w(h.session);
    ASSERT_TRUE(w.graph().ready());
    const QPoint corner = Area(w, 100, 100, 200, 200).center();
    auto check = [&](const char *caption, const QColor &background, const QColor &ink) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(w.Command1->text(), caption);
        EXPECT_EQ(w.Command1->accessibleName(), caption);
        const QImage img = w.grab().toImage();
        EXPECT_EQ(img.pixelColor(corner), background);
        // The baseline runs in the ink colour.
        EXPECT_GT(countPixels(img, Area(w, 1000, 5250, 9200, 5350), ink), w.width() / 2);
        EXPECT_EQ(w.lblTime[3]->palette().color(QPalette::WindowText), ink);
        EXPECT_EQ(w.lblY[3]->palette().color(QPalette::WindowText), ink);
        EXPECT_EQ(w.lblBnd[0]->palette().color(QPalette::WindowText), RateGraphWindow::BandColour(0));
        EXPECT_TRUE(w.graph().ready());
    };
    check("Black Background", Qt::black, Qt::white);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    check("White Background", Qt::white, Qt::black);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    check("Black Background", Qt::black, Qt::white);
    EXPECT_TRUE(h.prompter.asked.isEmpty());
}

TEST(RateGraphWindow, SwitchRebuildsAndWarnsAgainWhenThereIsNoGraph)
{
    GraphHarness h({Contact(QDateTime(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC), "20")});
    RateGraphWindow w(h.session);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_EQ(w.Command1->text(), "White Background");
    EXPECT_EQ(h.prompter.titles(), QStringList({kNotEnoughTitle, kNotEnoughTitle}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(RateGraphWindow, LegendColoursAreDistinctAndReadableOnBlackAndWhite)
{
    for (int a = 0; a < kLegendBands; ++a) {
        const QColor c = RateGraphWindow::BandColour(a);
        const double l = Luminance(c);
        EXPECT_GE((l + 0.05) / 0.05, 4.0) << a << " on black";
        EXPECT_GE(1.05 / (l + 0.05), 4.0) << a << " on white";
        for (int b = 0; b < a; ++b) {
            const QColor d = RateGraphWindow::BandColour(b);
            const int distance = std::abs(c.red() - d.red()) + std::abs(c.green() - d.green())
                                 + std::abs(c.blue() - d.blue());
            EXPECT_GT(distance, 90) << a << " vs " << b;
        }
    }
}

TEST(RateGraphWindow, FillsTheWorkAreaInProportion)
{
    GraphHarness h(ContestDay(50));
    RateGraphWindow w(h.session);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(w.width(), area.width() * 97 / 100);
    EXPECT_GE(w.height(), area.height() * 9 / 10);
    EXPECT_LE(w.height(), area.height());
    // With its frame, all of it on the screen.
    w.show();
    EXPECT_TRUE(area.contains(w.frameGeometry()));
    // Controls keep their share of the window when it changes size.
    w.resize(1200, 900);
    const QRect button = w.Command1->geometry();
    EXPECT_NEAR(button.left(), 7200 * 1200 / 9600, 1);
    EXPECT_NEAR(button.bottom(), 6800 * 900 / 7200, 2);
}
