#include "spotting/band_map_widget_ui.h"

#include "frame/widget_helpers_ui.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

namespace zev {

namespace {

const QColor kStripColour(0, 0, 0x80);  // dark blue
const QColor kMultColour(0xA0, 0, 0);    // dark red behind a new multiplier
const quint32 kDupeColour = 0x808080;    // grey: worked already
const char *const kSizeLabel = "DXLBL";  // the width the axis keeps free at each end

QColor FromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

SpotMapView::SpotMapView(SpotStore &store, UtcNow utcNow, QWidget *parent)
    : QWidget(parent), store_(store), utcNow_(std::move(utcNow))
{
    if (!utcNow_)
        utcNow_ = [] { return QDateTime::currentDateTimeUtc(); };
    setFocusPolicy(Qt::TabFocus);  // a click on a spot leaves the focus in the call box
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(QStringLiteral(
        "Left and Right move through the spots, Enter tunes to the spot, Delete removes it"));
    // What the keyboard is on, shown and read while the map has the focus.
    lblSpotFocus = new QLabel(this);
    lblSpotFocus->setObjectName(QStringLiteral("lblSpotFocus"));
    lblSpotFocus->setTextFormat(Qt::PlainText);
    lblSpotFocus->setAccessibleDescription(QStringLiteral("Spot"));
    lblSpotFocus->setStyleSheet(QStringLiteral("color: white; background: black;"));
    lblSpotFocus->hide();
    MakeNotification(lblSpotFocus);
    connect(&store_, &SpotStore::changed, this, &SpotMapView::refresh);
    // Spots change colour and leave the map as they age, with or without new spots.
    ageTimer = new QTimer(this);
    ageTimer->setInterval(30 * 1000);
    connect(ageTimer, &QTimer::timeout, this, &SpotMapView::refresh);
    ageTimer->start();
}

LabelMetrics SpotMapView::labelMetrics() const
{
    const QFontMetricsF fm(font());
    LabelMetrics m;
    m.height = fm.height();
    m.width = [fm](const QString &text) {
        return std::max(fm.horizontalAdvance(text) + 4.0, fm.height());
    };
    return m;
}

void SpotMapView::relayout()
{
    const LabelMetrics metrics = labelMetrics();
    const QVector<ViewAxis> placed = placeAxes(metrics);
    const QDateTime now = utcNow_();
    axes_.clear();
    strips_.clear();
    for (const ViewAxis &a : placed) {
        axes_.push_back(a.place);
        axes_.back().scale = ScaleAxis(a.place.limits, store_, now);
        strips_.push_back(a.strip);
    }
    labels_ = LayOutLabels(store_, axes_, now, metrics);
    if (marker) {
        for (MapLabel &l : labels_) {
            const QString key = l.call + QLatin1Char(' ') + QString::number(double(l.mhz), 'f', 5);
            auto it = marks_.find(key);
            if (it == marks_.end())
                it = marks_.insert(key, marker(l.call, l.mhz));
            l.mark = *it;
            if (l.mark == SpotMark::Dupe)
                l.colour = kDupeColour;
        }
    }
    // Found again by the spot last heard, whatever the store did since.
    current_ = walked_.call.isEmpty() ? -1 : findLabel(walked_, &gone_);
    hovered_ = -1;
}

int SpotMapView::findLabel(const MapLabel &like, int *side) const
{
    *side = 0;
    // A new spot of the same call replaces the old one with a new time and perhaps a new
    // frequency: the walk stays on the call, on its axis if it is still there.
    int sameCall = -1;
    for (int i = 0; i < labels_.size(); ++i) {
        const MapLabel &l = labels_[i];
        if (l.call != like.call)
            continue;
        if (l.taken == like.taken && l.mhz == like.mhz)
            return i;
        if (sameCall < 0 || (l.axis == like.axis && labels_[sameCall].axis != like.axis))
            sameCall = i;
    }
    if (sameCall >= 0 || labels_.isEmpty())
        return sameCall;
    // The call is gone: the spot now in its place in the reading order.
    const QVector<int> order = ReadingOrder(labels_);
    for (int i : order) {
        const MapLabel &l = labels_[i];
        if (l.axis > like.axis || (l.axis == like.axis && l.mhz >= like.mhz)) {
            *side = 1;
            return i;
        }
    }
    *side = -1;
    return order.constLast();
}

void SpotMapView::paintEvent(QPaintEvent *)
{
    relayout();
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QFontMetricsF fm(font());
    for (const QRectF &strip : strips_)
        p.fillRect(strip, kStripColour);
    // Oldest first, so the newest lies on top; the axes go over the labels' edges.
    for (int i = 0; i < labels_.size(); ++i) {
        const MapLabel &l = labels_[i];
        const bool mult = l.mark == SpotMark::Mult;
        p.fillRect(l.rect, mult ? kMultColour : kStripColour);
        p.setPen(FromBgr(l.colour));
        QFont f = font();
        f.setBold(mult);
        p.setFont(f);
        p.drawText(l.rect, Qt::AlignCenter, l.text);
    }
    p.setFont(font());
    for (int a = 0; a < axes_.size(); ++a) {
        const AxisPlacement &ax = axes_[a];
        const QRectF strip = strips_[a];
        p.setPen(Qt::white);
        p.drawLine(QPointF(ax.x1, ax.y), QPointF(ax.x2, ax.y));
        for (int i = 0; i < 5; ++i) {
            const QString &caption = ax.scale.captions[size_t(i)];
            const double w = fm.horizontalAdvance(caption);
            double left = ax.x1 + (ax.x2 - ax.x1) * 0.25 * i - w / 2;
            left = std::clamp(left, strip.left(), std::max(strip.left(), strip.right() - w));
            p.drawText(QRectF(left, ax.y + ax.gap, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignTop,
                       caption);
        }
    }
    if (hasFocus() && current_ >= 0) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.drawRect(labels_[current_].rect.adjusted(0, 0, -1, -1));
    }
}

void SpotMapView::chooseLabel(const MapLabel &label)
{
    emit spotChosen(label.call, label.mhz);
}

void SpotMapView::removeLabel(const MapLabel &label)
{
    // The slot may have moved on since the label was drawn: find the spot itself.
    for (int i = 0; i < SpotStore::kSlots; ++i) {
        const SpotSlot &s = store_.slot(i);
        if (s.SpotCall == label.call && s.SpotTime == label.taken && s.SpotFreq == label.mhz) {
            store_.remove(i, label.call);
            return;
        }
    }
}

void SpotMapView::mousePressEvent(QMouseEvent *e)
{
    const int i = LabelAt(labels_, e->position());
    if (i < 0) {
        backgroundPressed(e->button());
        return;
    }
    const MapLabel label = labels_[i];
    if (e->button() == Qt::RightButton)
        chooseLabel(label);
    else
        removeLabel(label);
}

void SpotMapView::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (LabelAt(labels_, e->position()) < 0)
        backgroundDoubleClicked();
    else
        mousePressEvent(e);
}

void SpotMapView::mouseMoveEvent(QMouseEvent *e)
{
    const int i = LabelAt(labels_, e->position());
    if (i != hovered_ && i >= 0)
        emit spotHovered(labels_[i].tip);
    hovered_ = i;
}

bool SpotMapView::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        auto *he = static_cast<QHelpEvent *>(e);
        const int i = LabelAt(labels_, he->pos());
        if (i < 0) {
            QToolTip::hideText();
            e->ignore();
            return true;
        }
        // Calls come from outside: what a tool tip shows is never taken for markup.
        QToolTip::showText(he->globalPos(), Qt::convertFromPlainText(labels_[i].tip, Qt::WhiteSpacePre),
                           this, labels_[i].rect.toAlignedRect());
        return true;
    }
    return QWidget::event(e);
}

void SpotMapView::keyPressEvent(QKeyEvent *e)
{
    const QVector<int> order = ReadingOrder(labels_);
    const int at = int(order.indexOf(current_));
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (order.isEmpty()) {
            announceCurrent();
            break;
        }
        int next = 0;
        if (e->key() == Qt::Key_End)
            next = int(order.size()) - 1;
        else if (e->key() == Qt::Key_Left)
            next = at < 0 ? 0 : gone_ < 0 ? at : std::max(0, at - 1);
        else if (e->key() == Qt::Key_Right)
            next = at < 0 ? 0 : gone_ > 0 ? at : std::min(int(order.size()) - 1, at + 1);
        setCurrent(order[next]);
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (current_ >= 0)
            chooseLabel(labels_[current_]);
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (current_ >= 0) {
            removeLabel(labels_[current_]);
            // Stay at the same place in the reading order.
            relayout();
            const QVector<int> after = ReadingOrder(labels_);
            setCurrent(after.isEmpty() ? -1 : after[std::clamp(at, 0, int(after.size()) - 1)]);
        }
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
}

void SpotMapView::setCurrent(int index)
{
    current_ = index;
    announceCurrent();
    update();
}

void SpotMapView::announceCurrent()
{
    gone_ = 0;
    QString text;
    if (current_ < 0 || current_ >= labels_.size()) {
        walked_ = {};
        text = QStringLiteral("No spots");
    } else {
        walked_ = labels_[current_];
        const QVector<int> order = ReadingOrder(labels_);
        const QString axis = axisName(labels_[current_].axis);
        const QString status = SpotStatusText(labels_[current_].mark);
        text = (axis.isEmpty() ? QString() : axis + QStringLiteral(": ")) + labels_[current_].tip
               + (status.isEmpty() ? QString() : QStringLiteral(" ") + status)
               + QStringLiteral(", %1 of %2").arg(order.indexOf(current_) + 1).arg(order.size());
    }
    lblSpotFocus->setText(text);
    lblSpotFocus->adjustSize();
    lblSpotFocus->move(0, 0);
    lblSpotFocus->show();
    Announce(lblSpotFocus, true);
}

void SpotMapView::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    relayout();
    if (current_ < 0 && !labels_.isEmpty())
        current_ = ReadingOrder(labels_).constFirst();
    announceCurrent();
    update();
}

void SpotMapView::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    lblSpotFocus->hide();
    update();
}

// ---- the band map of the main window ----

BandMapWidget::BandMapWidget(SpotStore &store, UtcNow utcNow, QWidget *parent)
    : SpotMapView(store, std::move(utcNow), parent)
{
    setObjectName(QStringLiteral("BandMap"));
    setAccessibleName(QStringLiteral("Band Map"));
    setMinimumHeight(3 * QFontMetrics(font()).height());
}

void BandMapWidget::setBand(const QString &band)
{
    if (band_ == band)
        return;
    band_ = band;
    refresh();
}

QVector<SpotMapView::ViewAxis> BandMapWidget::placeAxes(const LabelMetrics &metrics) const
{
    ViewAxis a;
    a.strip = QRectF(rect());
    const double margin = metrics.width(QLatin1String(kSizeLabel)) / 2;
    a.place.limits = BandMapLimits(band_);
    a.place.x1 = margin;
    a.place.x2 = width() - margin;
    a.place.y = height() / 2.0;
    a.place.gap = std::max(1.0, 0.004 * window()->height());
    return {a};
}

void BandMapWidget::backgroundPressed(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        emit setupRequested();
}

void BandMapWidget::backgroundDoubleClicked()
{
    emit openSpectrumMap();
}

}  // namespace zev
