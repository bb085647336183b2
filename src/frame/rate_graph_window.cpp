#include "frame/rate_graph_window.h"

#include "frame/session.h"
#include "frame/window_scaling_ui.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace zev {

namespace {

// The window is laid out in twips on the 9600 x 7200 design screen and stretched to
// its real size, so it fills the same share of any screen.
constexpr double kDesignWidth = 9600;
constexpr double kDesignHeight = 7200;
constexpr GraphFrame kFrame{1000, 9200, 300, 5300};
constexpr double kStripTop = 5400;
constexpr double kStripBottom = 5600;
constexpr double kSlotInset = 10;  // keeps the first slot clear of the left edge
constexpr double kDesignFont = 165;  // 8.25 points

const QString kBlackCaption = QStringLiteral("Black Background");
const QString kWhiteCaption = QStringLiteral("White Background");

const char *const kLegendTexts[kLegendBands] = {"160", "80", "40", "20", "15", "10", "Other"};
const char *const kColourNames[kLegendBands] = {"red", "orange", "green", "magenta", "teal", "violet", "grey"};

class GraphCanvas : public QWidget {
public:
    explicit GraphCanvas(RateGraphWindow *window) : QWidget(window), w_(window) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        const bool black = w_->blackBackground();
        const QColor background = black ? Qt::black : Qt::white;
        const QColor ink = black ? Qt::white : Qt::black;
        QPainter p(this);
        p.fillRect(rect(), background);
        p.scale(width() / kDesignWidth, height() / kDesignHeight);

        QPen framePen(ink);
        framePen.setCosmetic(true);
        p.setPen(framePen);
        const GraphFrame &f = kFrame;
        p.drawLine(QPointF(f.left, f.top), QPointF(f.left, f.baseline));
        p.drawLine(QPointF(f.right, f.top), QPointF(f.right, f.baseline));
        p.drawLine(QPointF(f.left, f.top), QPointF(f.right, f.top));
        p.drawLine(QPointF(f.left, f.baseline), QPointF(f.right, f.baseline));
        p.drawLine(QPointF(f.left, kStripTop), QPointF(f.right, kStripTop));
        p.drawLine(QPointF(f.left, kStripBottom), QPointF(f.right, kStripBottom));

        const RateGraph &g = w_->graph();
        if (!g.ready())
            return;

        // Band strip: one box per slot where the curve is above zero, drawn as runs of
        // one colour so narrow slots do not blur into each other.
        const double slotWidth = f.SlotWidth();
        auto boxColour = [&](int i) -> int {
            if (g.SmoothPoints[size_t(i)] <= 0 && g.SmoothPoints[size_t(i - 1)] <= 0)
                return kBackground;
            return g.SlotColours[size_t(i)];
        };
        for (int i = 1; i <= kGraphSlots;) {
            const int c = boxColour(i);
            int last = i;
            while (last < kGraphSlots && boxColour(last + 1) == c)
                ++last;
            if (c != kBackground) {
                const double x0 = f.SlotX(i, kSlotInset) - slotWidth;
                const double x1 = f.SlotX(last, kSlotInset);
                p.fillRect(QRectF(QPointF(x0, kStripTop), QPointF(x1, kStripBottom)),
                           RateGraphWindow::BandColour(c));
            }
            i = last + 1;
        }

        // The curve; slot 1 has no slot before it, so it starts there.
        QPolygonF curve;
        curve.reserve(kGraphSlots);
        for (int i = 1; i <= kGraphSlots; ++i)
            curve << QPointF(f.SlotX(i, kSlotInset), f.ValueY(g, g.SmoothPoints[size_t(i)]));
        p.setRenderHint(QPainter::Antialiasing);
        QPen curvePen(QColor(0, 0, 255));
        curvePen.setCosmetic(true);
        curvePen.setWidthF(std::max(1.0, height() / 450.0));
        p.setPen(curvePen);
        p.drawPolyline(curve);
    }

private:
    RateGraphWindow *w_;
};

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &description, Qt::Alignment align)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align);
    l->setAccessibleDescription(description);
    return l;
}

}  // namespace

QColor RateGraphWindow::BandColour(int index)
{
    // Mid-brightness colours: each reads at better than 4:1 on black and on white.
    static const QColor colours[kLegendBands] = {
        QColor(230, 40, 40),   // 160
        QColor(196, 98, 0),    // 80
        QColor(0, 140, 50),    // 40
        QColor(200, 40, 200),  // 20
        QColor(0, 132, 168),   // 15
        QColor(140, 90, 255),  // 10
        QColor(119, 119, 119), // Other
    };
    return index >= 0 && index < kLegendBands ? colours[index] : QColor();
}

RateGraphWindow::RateGraphWindow(Session &session, QWidget *parent) : QDialog(parent), s_(session)
{
    setObjectName(QStringLiteral("GraphQSO"));
    setWindowTitle(QStringLiteral(" Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)"));
    setMinimumSize(480, 360);

    picGraph = new GraphCanvas(this);
    picGraph->setObjectName(QStringLiteral("picGraph"));
    picGraph->setAccessibleName(QStringLiteral("Rate graph"));

    for (int k = 0; k < kTimeLabels; ++k) {
        const QString place = QStringLiteral("%1 of %2").arg(k + 1).arg(kTimeLabels);
        lblTime[size_t(k)] = makeLabel(this, QStringLiteral("lblTime%1").arg(k),
                                       QStringLiteral("Time axis, UTC, mark %1").arg(place), Qt::AlignCenter);
        lblDate[size_t(k)] = makeLabel(this, QStringLiteral("lblDate%1").arg(k),
                                       QStringLiteral("Date axis, mark %1").arg(place), Qt::AlignCenter);
    }
    for (int k = 0; k < kValueLabels; ++k)
        lblY[size_t(k)] = makeLabel(this, QStringLiteral("lblY%1").arg(k),
                                    QStringLiteral("QSOs per hour axis, mark %1 of %2").arg(k + 1).arg(kValueLabels),
                                    Qt::AlignRight | Qt::AlignVCenter);
    for (int b = 0; b < kLegendBands; ++b) {
        QLabel *l = makeLabel(this, QStringLiteral("lblBnd%1").arg(b),
                              QStringLiteral("Band legend, shown in %1").arg(QLatin1String(kColourNames[b])),
                              Qt::AlignCenter);
        l->setText(QLatin1String(kLegendTexts[b]));
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        lblBnd[size_t(b)] = l;
    }

    // The caption names the background in use; the window opens on black.
    Command1 = new QPushButton(kBlackCaption, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(kBlackCaption);
    Command1->setAccessibleDescription(QStringLiteral("Switches the graph between a black and a white background"));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &RateGraphWindow::SwitchBackground);

    // The design window covers the whole design screen, so this one covers the work area.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = ClientArea(this, screen->availableGeometry());
        setGeometry(QRect(area.topLeft(), QSize(std::max(minimumWidth(), area.width()),
                                                std::max(minimumHeight(), area.height()))));
    }
    applyColours();
    placeControls();
    BuildGraph();
}

void RateGraphWindow::BuildGraph()
{
    graph_ = BuildRateGraph(s_.log);
    present();
}

void RateGraphWindow::SwitchBackground()
{
    black_ = Command1->text() != kBlackCaption;
    Command1->setText(black_ ? kBlackCaption : kWhiteCaption);
    Command1->setAccessibleName(Command1->text());
    applyColours();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    graph_ = BuildRateGraph(s_.log);
    QGuiApplication::restoreOverrideCursor();
    present();
}

void RateGraphWindow::present()
{
    const bool ready = graph_.ready();
    for (int k = 0; k < kTimeLabels; ++k) {
        lblTime[size_t(k)]->setText(ready ? graph_.TimeLabels[size_t(k)] : QString());
        lblDate[size_t(k)]->setText(ready ? graph_.DateLabels[size_t(k)] : QString());
    }
    for (int k = 0; k < kValueLabels; ++k)
        lblY[size_t(k)]->setText(ready ? graph_.ValueLabels[size_t(k)] : QString());

    if (!ready) {
        picGraph->setAccessibleDescription(QStringLiteral("No graph"));
    } else {
        int peak = 1;
        for (int i = 1; i <= kGraphSlots; ++i)
            if (graph_.SmoothPoints[size_t(i)] > graph_.SmoothPoints[size_t(peak)])
                peak = i;
        const QDateTime peakAt = graph_.Start.addSecs(qint64(std::llround(double(graph_.Span) * peak / kGraphSlots)));
        picGraph->setAccessibleDescription(
            QStringLiteral("QSOs per hour from %1 to %2, %3 %4 to %5 %6 UTC, highest at %7")
                .arg(graph_.ValueLabels.front(), graph_.ValueLabels.back(), graph_.DateLabels.front(),
                     graph_.TimeLabels.front(), graph_.DateLabels.back(), graph_.TimeLabels.back(),
                     peakAt.toString(QStringLiteral("MM/dd HH:mm"))));
    }
    picGraph->update();
    if (!graph_.ready())
        s_.prompter.message(QStringLiteral("The graph will not display with less than 7 contacts.  The graph "
                                           "becomes more meaningful as several hours of contest logging are "
                                           "accumulated."),
                            QStringLiteral("Not Enough Contacts to Graph."));
}

void RateGraphWindow::applyColours()
{
    const QColor background = black_ ? Qt::black : Qt::white;
    const QColor ink = black_ ? Qt::white : Qt::black;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, ink);
    setPalette(pal);
    auto paint = [](QLabel *l, const QColor &c) {
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, c);
        l->setPalette(lp);
    };
    for (QLabel *l : lblTime)
        paint(l, ink);
    for (QLabel *l : lblDate)
        paint(l, ink);
    for (QLabel *l : lblY)
        paint(l, ink);
    for (int b = 0; b < kLegendBands; ++b)
        paint(lblBnd[size_t(b)], BandColour(b));
    picGraph->update();
}

void RateGraphWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void RateGraphWindow::placeControls()
{
    const double sx = width() / kDesignWidth;
    const double sy = height() / kDesignHeight;
    auto place = [&](QWidget *w, double left, double top, double width, double height) {
        w->setGeometry(QRectF(left * sx, top * sy, width * sx, height * sy).toRect());
    };
    picGraph->setGeometry(rect());
    picGraph->lower();

    // Fonts follow the height, but never outgrow the width on a screen narrower than
    // the design's 4:3, where the time labels would run into each other.
    QFont font = this->font();
    font.setPixelSize(std::max(9, int(std::lround(kDesignFont * std::min(sx, sy)))));
    auto withFont = [&](QWidget *w) {
        QFont f = font;
        f.setBold(w->font().bold());
        w->setFont(f);
    };

    const GraphFrame &f = kFrame;
    for (int k = 0; k < kTimeLabels; ++k) {
        const double x = f.left + k * (f.right - f.left) / (kTimeLabels - 1);
        place(lblTime[size_t(k)], x - 400, 5660, 800, 260);
        place(lblDate[size_t(k)], x - 400, 5920, 800, 260);
        withFont(lblTime[size_t(k)]);
        withFont(lblDate[size_t(k)]);
    }
    const double h = f.baseline - f.top;
    for (int k = 0; k < kValueLabels; ++k) {
        // Level with the height the value has on the curve.
        const double y = f.baseline - h * 0.995 * k / (kValueLabels - 1) - 0.0025 * h;
        place(lblY[size_t(k)], 60, y - 130, f.left - 160, 260);
        withFont(lblY[size_t(k)]);
    }
    for (int b = 0; b < kLegendBands; ++b) {
        place(lblBnd[size_t(b)], f.left + b * 700, 6420, 650, 300);
        withFont(lblBnd[size_t(b)]);
    }
    place(Command1, 7200, 6360, 2000, 440);
    withFont(Command1);
}

}  // namespace zev
