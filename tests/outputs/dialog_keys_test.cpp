// Keys and help texts of the station and summary windows.

#include "outputs/station_window.h"
#include "outputs/summary_window.h"
#include "outputs_harness.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zevtest;

namespace {

void giveKeyboard(QDialog &d, QWidget *focus)
{
    d.show();
    QApplication::setActiveWindow(&d);
    focus->setFocus();
    QCoreApplication::processEvents();
}

}  // namespace

TEST(DialogKeys, ReturnPressesTheFocusedButtonOnly)
{
    struct Case {
        const char *what;
        Qt::Key key;
        bool onButton;  // else in a text box
        bool writes;    // asks where to write the Cabrillo file
        bool closes;
    };
    const Case cases[] = {
        {"Return on Write Cabrillo File", Qt::Key_Return, true, true, false},
        {"Enter on Write Cabrillo File", Qt::Key_Enter, true, true, false},
        {"Return on Done", Qt::Key_Return, true, false, true},
        {"Return in the club box", Qt::Key_Return, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ExportHarness h;
        h.prompter.answers = {std::monostate{}};  // cancel the file dialog
        zev::SummaryWindow w(h.s(), "title", "0");
        const bool done = QString(c.what).endsWith("Done");
        QWidget *target = !c.onButton ? static_cast<QWidget *>(w.Text2) : done ? w.Command3 : w.Command4;
        giveKeyboard(w, target);
        ASSERT_TRUE(target->hasFocus());
        QTest::keyClick(target, c.key);
        EXPECT_EQ(h.prompter.titles().contains("Write Cabrillo File"), c.writes);
        EXPECT_EQ(w.result() == QDialog::Accepted, c.closes);
    }
}

TEST(DialogKeys, ReturnOnTheStationWindowsDoneClosesIt)
{
    ExportHarness h;
    zev::StationWindow w(h.s());
    giveKeyboard(w, w.Command1);
    ASSERT_TRUE(w.Command1->hasFocus());
    QTest::keyClick(w.Command1, Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST(StationWindow, UtcOffsetExplainsItsSign)
{
    ExportHarness h;
    zev::StationWindow w(h.s());
    const QString help = "Hours to add to local time to get UTC: 5 in Ontario in winter (EST), 4 in summer (EDT), "
                         "-9 in Japan";
    EXPECT_EQ(w.Text6->toolTip(), help);
    EXPECT_EQ(w.Text6->accessibleDescription(), help);
    EXPECT_EQ(w.Text6->accessibleName(), "Hours added for UTC:");
    auto *form = w.findChild<QFormLayout *>();
    ASSERT_NE(form, nullptr);
    auto *caption = qobject_cast<QLabel *>(form->labelForField(w.Text6));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Hours added for UTC:");
    EXPECT_EQ(caption->toolTip(), help);
}
