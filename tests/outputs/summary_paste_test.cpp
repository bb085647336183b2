// Pasting into the summary sheet: one line, characters the Cabrillo file can hold, a
// length that fits its header lines.

#include "outputs/summary_window.h"
#include "outputs_harness.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;

TEST(SummaryWindow, PastedDetailsStayOnOneLineInCharactersTheFileCanHold)
{
    zevtest::ExportHarness h;
    h.s().log.setRecords({zevtest::Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC"))});
    SummaryWindow w(h.s(), QStringLiteral("Velko's ZEV Contest Log 1.9"), QStringLiteral("10"));
    w.show();
    QApplication::setActiveWindow(&w);
    struct Case {
        const char *box;
        QString pasted;
        QString kept;
        bool refused;
    };
    const Case cases[] = {
        {"Text1", "va3xyz ve3abc\r\n", "VA3XYZ VE3ABC", false},
        {"Text5", QString::fromUtf8("J\u00f6rg \"Joe\"\r\nSmith"), QString::fromUtf8("J\u00f6rg \"Joe\"Smith"), false},
        {"Text6", QString(80, QLatin1Char('a')), QString(60, QLatin1Char('a')), false},
        // Refused whole: the box keeps what it held.
        {"Text7", QString::fromUtf8("\u0141\u00f3d\u017a"), QString(), true},
        {"Text8", "pat@example.org\r\n", "pat@example.org", false},
        {"Text2", "Ottawa\tValley ARC", "OttawaValley ARC", false},
        {"Text11", "Great\r\ncontest", "Greatcontest", false},
    };
    for (const Case &c : cases) {
        auto *box = w.findChild<QLineEdit *>(c.box);
        ASSERT_NE(box, nullptr) << c.box;
        h.prompter.asked.clear();
        QGuiApplication::clipboard()->setText(c.pasted);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), c.kept) << c.box;
        EXPECT_EQ(!h.prompter.asked.isEmpty() && h.prompter.asked[0].kind == "beep", c.refused) << c.box;
    }

    const QString out = h.path("VE3XYZ.log");
    h.prompter.answers = {out};
    w.optCabrillo2->click();
    w.Command4_Click();
    const QList<QByteArray> lines = zevtest::Lines(zevtest::ReadFile(out));
    ASSERT_GE(lines.size(), 13);
    // Every written file drops the quote the box may hold.
    EXPECT_EQ(lines[7], "NAME: J\xf6rg JoeSmith");
    EXPECT_EQ(lines[11], "OPERATORS: VA3XYZ VE3ABC");
    EXPECT_EQ(lines[12], "SOAPBOX: Greatcontest");
    EXPECT_EQ(h.registry->value("UserAddressName"), QString::fromUtf8("J\u00f6rg JoeSmith"));
    EXPECT_EQ(h.registry->value("UserAddressLine2"), QString());
}
