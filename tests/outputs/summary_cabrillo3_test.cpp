// The summary sheet's Cabrillo 3.0 choices: format, contest name, station category,
// and what of them is kept for the next time.

#include "outputs/summary_window.h"
#include "outputs_harness.h"

#include <QApplication>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

struct Sheet : zevtest::ExportHarness {
    std::unique_ptr<SummaryWindow> window;

    Sheet()
    {
        s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))});
        open();
    }
    // A new sheet, as the File menu opens one each time.
    void open()
    {
        window = std::make_unique<SummaryWindow>(s(), QStringLiteral("Velko's ZEV Contest Log 1.9"),
                                                 QStringLiteral("1,234"));
    }
    QList<QByteArray> write()
    {
        const QString out = path(QStringLiteral("VE3XYZ.log"));
        QFile::remove(out);
        prompter.answers = {out};
        window->Command4_Click();
        return zevtest::Lines(zevtest::ReadFile(out));
    }
    QLabel *labelFor(QWidget *w) const
    {
        for (QLabel *l : window->findChildren<QLabel *>())
            if (l->buddy() == w)
                return l;
        return nullptr;
    }
};

}  // namespace

TEST(SummaryCabrillo3, NewControlsAreNamedLabelledAndOnlyFor3)
{
    Sheet h;
    SummaryWindow &w = *h.window;
    EXPECT_TRUE(w.optCabrillo3->isChecked());
    EXPECT_EQ(w.optCabrillo3->text(), "Cabrillo 3.0");
    EXPECT_EQ(w.optCabrillo2->text(), "Cabrillo 2.0");
    for (QWidget *c : {static_cast<QWidget *>(w.txtContestName), static_cast<QWidget *>(w.cboStationCategory)}) {
        SCOPED_TRACE(c->objectName().toStdString());
        EXPECT_FALSE(c->accessibleName().isEmpty());
        QLabel *label = h.labelFor(c);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), c->accessibleName());
        EXPECT_TRUE(c->isEnabled());
    }
    EXPECT_EQ(w.txtContestName->text(), "ZEV-CANADA-DAY");
    EXPECT_EQ(w.cboStationCategory->currentText(), "FIXED");
    EXPECT_EQ(w.cboStationCategory->count(), 11);

    w.optCabrillo2->click();
    EXPECT_FALSE(w.txtContestName->isEnabled());
    EXPECT_FALSE(w.cboStationCategory->isEnabled());

    // The keyboard goes from the contest to the format, the name and the station.
    QList<QWidget *> tabStops;
    QWidget *x = w.Option15;
    do {
        if (x->focusPolicy() & Qt::TabFocus)
            tabStops << x;
        x = x->nextInFocusChain();
    } while (x != w.Option15);
    const qsizetype from = tabStops.indexOf(w.Option12);
    ASSERT_GE(from, 0);
    EXPECT_EQ(tabStops.mid(from, 6), (QList<QWidget *>{w.Option12, w.optCabrillo3, w.optCabrillo2, w.txtContestName,
                                                       w.cboStationCategory, w.categoryOptions[0]}));
}

TEST(SummaryCabrillo3, WritesThe3FileByDefaultAnd2WhenChosen)
{
    Sheet h;
    h.window->Option12->click();
    h.window->categoryOptions[9]->click();  // Multi Op Multi Transmitter
    h.window->cboStationCategory->setCurrentText(QStringLiteral("PORTABLE"));
    const QList<QByteArray> v3 = h.write();
    ASSERT_GE(v3.size(), 15);
    EXPECT_EQ(v3[0], "START-OF-LOG: 3.0");
    EXPECT_EQ(v3[3], "CONTEST: ZEV-CANADA-WINTER");
    EXPECT_EQ(v3[4], "CATEGORY-OPERATOR: MULTI-OP");
    EXPECT_EQ(v3[8], "CATEGORY-TRANSMITTER: UNLIMITED");
    EXPECT_EQ(v3[9], "CATEGORY-STATION: PORTABLE");
    EXPECT_EQ(v3[10], "CLAIMED-SCORE: 1234");
    EXPECT_EQ(v3[11], "LOCATION: ON");
    EXPECT_TRUE(v3.contains("OPERATORS: VE3XYZ"));
    EXPECT_EQ(v3[v3.size() - 2], "END-OF-LOG:");
    EXPECT_EQ(h.prompter.titles().last(), "File Written Successfully.");

    h.window->optCabrillo2->click();
    const QList<QByteArray> v2 = h.write();
    ASSERT_GE(v2.size(), 5);
    EXPECT_EQ(v2[0], "START-OF-LOG: 2.0");
    EXPECT_EQ(v2[3], "CONTEST: CANADA WINTER");
    EXPECT_EQ(v2[4], "CATEGORY: MULTI-MULTI All HIGH");
}

TEST(SummaryCabrillo3, ContestNameFollowsTheContestUntilOneIsTyped)
{
    Sheet h;
    SummaryWindow &w = *h.window;
    QLineEdit *name = w.txtContestName;
    w.Option12->click();
    EXPECT_EQ(name->text(), "ZEV-CANADA-WINTER");

    // Typed for the winter contest: kept for it, the day contest keeps its own.
    name->selectAll();
    QTest::keyClicks(name, "rac-winter");
    EXPECT_EQ(name->text(), "RAC-WINTER");
    w.Option15->click();
    EXPECT_EQ(name->text(), "ZEV-CANADA-DAY");
    w.Option12->click();
    EXPECT_EQ(name->text(), "RAC-WINTER");
    EXPECT_EQ(h.write()[3], "CONTEST: RAC-WINTER");

    // Kept across a reopened sheet, with the format and the station category.
    w.cboStationCategory->setCurrentText(QStringLiteral("EXPEDITION"));
    w.optCabrillo2->click();
    h.write();
    h.open();
    EXPECT_TRUE(h.window->optCabrillo2->isChecked());
    EXPECT_EQ(h.window->cboStationCategory->currentText(), "EXPEDITION");
    EXPECT_EQ(h.window->txtContestName->text(), "ZEV-CANADA-DAY");
    h.window->Option12->click();
    EXPECT_EQ(h.window->txtContestName->text(), "RAC-WINTER");

    // Emptied, the box goes back to following the contest.
    h.window->optCabrillo3->click();
    h.window->txtContestName->selectAll();
    QTest::keyClick(h.window->txtContestName, Qt::Key_Backspace);
    EXPECT_EQ(h.write()[3], "CONTEST: ZEV-CANADA-WINTER");
    h.open();
    h.window->Option12->click();
    EXPECT_EQ(h.window->txtContestName->text(), "ZEV-CANADA-WINTER");
}

TEST(SummaryCabrillo3, ContestNameTakesOnlyWhatARobotTakes)
{
    Sheet h;
    QLineEdit *name = h.window->txtContestName;
    name->clear();
    h.prompter.asked.clear();
    QTest::keyClicks(name, "zev day");
    EXPECT_EQ(name->text(), "ZEVDAY");
    ASSERT_FALSE(h.prompter.asked.isEmpty());
    EXPECT_EQ(h.prompter.asked[0].kind, "beep");
    QTest::keyClicks(name, "-2013_x");
    EXPECT_EQ(name->text(), "ZEVDAY-2013X");
    name->selectAll();
    QTest::keyClicks(name, QString(40, QLatin1Char('a')));
    EXPECT_EQ(name->text(), QString(32, QLatin1Char('A')));
}

TEST(SummaryCabrillo3, DoneKeepsTheChoicesToo)
{
    Sheet h;
    h.window->Option12->click();
    h.window->txtContestName->selectAll();
    QTest::keyClicks(h.window->txtContestName, "RAC-WINTER");
    h.window->Command3->click();
    EXPECT_TRUE(h.prompter.asked.isEmpty());
    h.open();
    h.window->Option12->click();
    EXPECT_EQ(h.window->txtContestName->text(), "RAC-WINTER");
}
