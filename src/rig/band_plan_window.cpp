#include "rig/band_plan_window.h"

#include "common/file_io.h"
#include "frame/session.h"
#include "frame/widget_helpers_ui.h"
#include "frame/window_scaling_ui.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zev {

namespace {

struct ClassButton {
    const char *caption, *cls, *title;
};

const ClassButton kClasses[] = {
    {"Novice", "N", "Novice Frequency Privileges"},
    {"Technician", "T", "Technician Frequency Privileges"},
    {"Tech +", "P", "Technician Plus Frequency Privileges"},
    {"General", "G", "General Frequency Privileges"},
    {"Advanced", "A", "Advanced Frequency Privileges"},
    {"Extra", "E", "Extra Frequency Privileges"},
};

QString Span(const BandPlanRow &r)
{
    return ChartEdge(r.lower) + QStringLiteral(" - ") + ChartEdge(r.upper);
}

QLabel *chartLabel(QWidget *parent, const QString &name, const QString &text, const QString &style)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(style);
    l->show();
    return l;
}

}  // namespace

BandPlanWindow::BandPlanWindow(Session &session, const QString &path, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBandPlan"));
    setWindowTitle(QStringLiteral("Frequency Privileges"));
    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAccessibleDescription(QStringLiteral("Effective date"));
    lblTitle = new QLabel;
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setTextFormat(Qt::PlainText);
    lblTitle->setAccessibleDescription(QStringLiteral("Chart"));
    QFont tf = lblTitle->font();
    tf.setBold(true);
    lblTitle->setFont(tf);
    chart = new QWidget;
    chart->setObjectName(QStringLiteral("chart"));
    chart->setMinimumSize(400, 300);

    auto *buttons = new QHBoxLayout;
    for (const ClassButton &c : kClasses) {
        auto *b = new QPushButton(QString::fromLatin1(c.caption));
        b->setObjectName(QStringLiteral("cmd") + QString::fromLatin1(c.cls));
        b->setAccessibleName(QString::fromLatin1(c.caption));
        b->setAccessibleDescription(QString::fromLatin1(c.title));
        b->setAutoDefault(false);
        const QString cls = QString::fromLatin1(c.cls);
        connect(b, &QPushButton::clicked, this, [this, cls] { DrawPrivileges(cls); });
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    cmdDone = new QPushButton(QStringLiteral("Done"));
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAccessibleName(QStringLiteral("Done"));
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::hide);
    buttons->addWidget(cmdDone);

    auto *v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addWidget(lblTitle);
    v->addWidget(chart, 1);
    v->addLayout(buttons);

    FillWorkArea(this);

    QString error;
    std::optional<QByteArray> data = ReadWholeFile(path, &error);
    const BandPlanReadResult r = data ? ParseBandPlan(*data, plan_) : BandPlanReadResult{false, error, {}};
    Label1->setText(QStringLiteral("Frequencies Effective: ") + plan_.effective);
    if (!r.ok)
        session.prompter.message(QStringLiteral("Band data not available."), QStringLiteral("Band Data Not Available."),
                                 PromptIcon::Exclamation,
                                 QStringLiteral("%1, line %2: %3").arg(kBandPlanFile).arg(r.position.line).arg(r.error));
    DrawPrivileges(QStringLiteral("E"));
}

void BandPlanWindow::DrawPrivileges(const QString &cls)
{
    for (const ClassButton &c : kClasses)
        if (cls == QLatin1String(c.cls))
            lblTitle->setText(QString::fromLatin1(c.title));
    // The previous chart goes first, whole.
    for (QLabel *l : chart->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        delete l;
    shown_ = PrivilegesChart(plan_, cls);
    for (const ChartBand &b : shown_) {
        const BandPlanRow extent{b.band, QStringLiteral("O"), {}, b.lower, b.upper};
        QLabel *bar = chartLabel(chart, QStringLiteral("blbl") + b.band, b.band,
                                 QStringLiteral("background: black; color: white;"));
        bar->setToolTip(b.band + QStringLiteral("  ") + Span(extent));
        bar->setAccessibleName(b.band + QStringLiteral(" metres, ") + Span(extent));
        QLabel *name = chartLabel(chart, QStringLiteral("bnlb") + b.band, b.band,
                                  QStringLiteral("background: yellow; color: black;"));
        name->setAccessibleName(b.band + QStringLiteral(" metres"));
        for (const BandPlanRow &seg : b.segments) {
            const bool cw = seg.mode == QLatin1String("CW");
            QLabel *l = chartLabel(chart, QStringLiteral("priv") + b.band, Span(seg),
                                   cw ? QStringLiteral("background: blue; color: white;")
                                      : QStringLiteral("background: green; color: black;"));
            QFont f(QStringLiteral("Arial Narrow"));
            f.setPixelSize(std::max(9, QFontInfo(font()).pixelSize() * 9 / 10));
            l->setFont(f);
            const QString mode = cw ? QStringLiteral("CW") : QStringLiteral("PH");
            l->setToolTip(mode + QStringLiteral("  ") + Span(seg));
            // Colour alone says nothing to a screen reader.
            l->setAccessibleName(b.band + QStringLiteral(" metres ") + mode + QLatin1Char(' ') + Span(seg));
            l->setProperty("lower", double(seg.lower));
            l->setProperty("upper", double(seg.upper));
        }
    }
    layoutChart();
}

void BandPlanWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutChart();
}

void BandPlanWindow::layoutChart()
{
    const int w = chart->width(), h = chart->height();
    const int n = int(shown_.size());
    if (n == 0)
        return;
    const int barLeft = w / 10, barWidth = w * 85 / 100, barHeight = std::max(1, h * 4 / 100);
    const double step = h * 0.8 / n;
    for (int k = 0; k < n; ++k) {
        const ChartBand &b = shown_[size_t(k)];
        const int top = int(h * 0.05 + step * k);
        if (auto *bar = chart->findChild<QLabel *>(QStringLiteral("blbl") + b.band, Qt::FindDirectChildrenOnly))
            bar->setGeometry(barLeft, top, barWidth, barHeight);
        if (auto *name = chart->findChild<QLabel *>(QStringLiteral("bnlb") + b.band, Qt::FindDirectChildrenOnly))
            name->setGeometry(std::max(0, barLeft - w / 12), top, w / 14, barHeight);
        for (QLabel *seg : chart->findChildren<QLabel *>(QStringLiteral("priv") + b.band, Qt::FindDirectChildrenOnly)) {
            BandPlanRow edges;
            edges.lower = float(seg->property("lower").toDouble());
            edges.upper = float(seg->property("upper").toDouble());
            const ChartSpan place = ChartPlace(b, edges, barWidth);
            seg->setGeometry(barLeft + place.left, top, place.width, barHeight);
        }
    }
}

}  // namespace zev
