// The privileges window draws one licence class at a time from "BandPlan.txt".

#include "rig/band_plan_window.h"
#include "window_harness.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace zevtest;

namespace {

QStringList Names(const QWidget *chart, const QString &prefix)
{
    QStringList out;
    for (const QLabel *l : chart->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        if (l->objectName().startsWith(prefix))
            out << l->text();
    return out;
}

}  // namespace

TEST(BandPlanWindow, OneChartAtATimeFromTheShippedPlan)
{
    Harness h;
    QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/BandPlan.txt"), h.folders.work("BandPlan.txt"));
    h.prompter.answers = {true};
    h.start();
    BandPlanWindow w(*h.session, h.folders.work("BandPlan.txt"));
    w.resize(1000, 700);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Frequency Privileges");
    EXPECT_EQ(w.Label1->text(), "Frequencies Effective: 2007/02/23");
    EXPECT_EQ(w.lblTitle->text(), "Extra Frequency Privileges");
    EXPECT_EQ(Names(w.chart, "blbl").size(), 11);

    struct Case {
        const char *button, *title;
        QStringList bands;
    };
    const Case cases[] = {
        {"cmdN", "Novice Frequency Privileges", {"80", "40", "15", "10"}},
        {"cmdP", "Technician Plus Frequency Privileges", {"80", "40", "15", "10", "6", "2"}},
        {"cmdG", "General Frequency Privileges", {"160", "80", "40", "30", "20", "17", "15", "12", "10", "6", "2"}},
        {"cmdN", "Novice Frequency Privileges", {"80", "40", "15", "10"}},
    };
    for (const Case &c : cases) {
        w.findChild<QPushButton *>(c.button)->click();
        EXPECT_EQ(w.lblTitle->text(), c.title);
        // Nothing of the previous chart is left behind.
        EXPECT_EQ(Names(w.chart, "blbl"), c.bands) << c.button;
        EXPECT_EQ(Names(w.chart, "bnlb"), c.bands) << c.button;
    }
    // The Novice 80 m segment: CW, blue, its edges, on its bar in proportion.
    const QList<QLabel *> segs = w.chart->findChildren<QLabel *>("priv80", Qt::FindDirectChildrenOnly);
    ASSERT_EQ(segs.size(), 1);
    EXPECT_EQ(segs[0]->text(), "3.525 - 3.600");
    EXPECT_EQ(segs[0]->toolTip(), "CW  3.525 - 3.600");
    EXPECT_TRUE(segs[0]->styleSheet().contains("blue"));
    EXPECT_EQ(segs[0]->accessibleName(), "80 metres CW 3.525 - 3.600");
    const QLabel *bar = w.chart->findChild<QLabel *>("blbl80", Qt::FindDirectChildrenOnly);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->toolTip(), "80  3.500 - 4.000");
    EXPECT_EQ(segs[0]->y(), bar->y());
    EXPECT_NEAR(segs[0]->x(), bar->x() + bar->width() * 0.05, 2);
    EXPECT_NEAR(segs[0]->width(), bar->width() * 0.15, 2);
    EXPECT_TRUE(h.prompter.asked.isEmpty() || h.prompter.titles().indexOf("Band Data Not Available.") < 0);
}

TEST(BandPlanWindow, AMissingOrDamagedPlanIsSaidAndWhatWasReadIsShown)
{
    struct Case {
        const char *name;
        QByteArray content;  // empty: no file at all
        int bars;
    };
    const Case cases[] = {
        {"missing", QByteArray(), 0},
        {"damaged", "\"2020\"\r\n\"20\",\"O\",\"\",14,14.35\r\n\"20\",\"E\",\"CW\",14,14.15\r\n\"15\",\"O\",x\r\n", 1},
    };
    for (const Case &c : cases) {
        Harness h;
        if (!c.content.isEmpty())
            zevtest::WriteFile(h.folders.work("BandPlan.txt"), c.content);
        h.prompter.answers = {true};
        h.start();
        h.prompter.asked.clear();
        BandPlanWindow w(*h.session, h.folders.work("BandPlan.txt"));
        ASSERT_FALSE(h.prompter.asked.isEmpty()) << c.name;
        EXPECT_EQ(h.prompter.asked[0].text, "Band data not available.");
        EXPECT_EQ(h.prompter.asked[0].title, "Band Data Not Available.");
        EXPECT_EQ(w.chart->findChildren<QLabel *>(QRegularExpression("^blbl")).size(), c.bars) << c.name;
    }
}

TEST(BandPlanWindow, OpensFromTheBandMenu)
{
    Harness h;
    QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/BandPlan.txt"), h.folders.work("BandPlan.txt"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QString shown;
    h.otherModal = [&](QDialog &d) {
        if (auto *p = qobject_cast<BandPlanWindow *>(&d))
            shown = p->lblTitle->text();
    };
    auto *entry = w.findChild<QAction *>("mnuPrivileges");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isEnabled());
    entry->trigger();
    EXPECT_EQ(shown, "Extra Frequency Privileges");
    EXPECT_EQ(QApplication::focusWidget(), w.callBox);
}
