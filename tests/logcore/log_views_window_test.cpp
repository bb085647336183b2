// The logging window follows the log: a contact that reaches the log from anywhere but
// the keyboard shows in the list, the score, the rates, the grid and the serial sent.

#include "window_harness.h"

#include <QLabel>

using namespace zevtest;

TEST(LogViewsWindow, AContactAddedToTheLogObjectShowsInEveryView)
{
    Preferences p = Harness::basePrefs();
    p.InCanada = 0;
    Harness h(p);
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    ASSERT_EQ(w.scoreLabel->text(), "64");  // 32 points x 2 multipliers
    ASSERT_EQ(w.exchangeSentLabel->text(), "6");
    QLabel *bcOn40 = w.provinceLabels[2][6];
    ASSERT_EQ(bcOn40->accessibleName(), "BC, 40 metres, needed");

    ContactRecord r = sampleContact("VE7ABC");  // not typed: from the log object itself
    r.Mode = "PH";
    r.SerialSent = "6";
    r.QsoTime = "18:04:00";
    h.session->log.append(r);

    EXPECT_EQ(w.listModel->index(0, 1).data().toString(), "VE7ABC");
    EXPECT_EQ(w.listModel->rowCount(), 4);
    EXPECT_EQ(w.contactsLabel->text(), "4");
    EXPECT_EQ(w.multipliersLabel->text(), "3");
    EXPECT_EQ(w.qsoPointsLabel->text(), "42");
    EXPECT_EQ(w.scoreLabel->text(), "126");
    EXPECT_EQ(bcOn40->accessibleName(), "BC, 40 metres, worked");
    EXPECT_TRUE(bcOn40->styleSheet().contains(ColourName(p.WorkedMultColour)));
    EXPECT_EQ(w.exchangeSentLabel->text(), "7");
    EXPECT_EQ(w.rate60Label->text(), "4");  // the clock stands at 18:04:27 UTC

    // Taking it out again is followed the same way, and the cell is needed again.
    QString error;
    ASSERT_TRUE(h.session->log.remove(h.session->logPath(), 4, &error)) << error.toStdString();
    EXPECT_EQ(w.listModel->rowCount(), 3);
    EXPECT_EQ(w.scoreLabel->text(), "64");
    EXPECT_EQ(bcOn40->accessibleName(), "BC, 40 metres, needed");
    EXPECT_FALSE(bcOn40->styleSheet().contains(ColourName(p.WorkedMultColour)));
}

TEST(LogViewsWindow, AContactLoggedElsewhereMakesTheCallBeingTypedADuplicate)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    h.activate();
    typeKeys("VE7AB");
    EXPECT_EQ(w.dupeLine->text(), "");
    ContactRecord r = sampleContact("VE7ABC");
    r.Mode = "PH";
    h.session->log.append(r);
    // The partial list shows the new contact at once, and the duplicate rule knows it.
    EXPECT_EQ(w.dupeLine->text(), "VE7ABC ");
    typeKeys("C\n");
    EXPECT_EQ(w.messageLine->text(), "Duplicate VE7ABC 2009/07/01 18:20:00  Rec#  4");
    EXPECT_EQ(h.session->log.RecordCount(), 4);
}
