// What a screen reader is told: messages as notifications, where the focus goes, and
// states that the window otherwise shows only in colour.

#include "logcore/edit_contact_window.h"
#include "logcore/recent_contacts_model.h"
#include "window_harness.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace zevtest;

namespace {

// Announcements go out once the event that caused them has been handled.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

Preferences onBand(const char *mode, const char *band)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = mode;
    p.CurrentBand = band;
    return p;
}

}  // namespace

TEST(ScreenReader, MessageLinesAreNotifications)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    // Each line has said something (a blank line is no message, see SpokenResults).
    AccessibilityEvents a11y;
    w.ShowProvinceTotal(2);
    settle();
    ASSERT_FALSE(w.messageLine->text().trimmed().isEmpty());
    for (QLabel *l : {w.messageLine, w.dupeLine}) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(l);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Notification) << l->objectName().toStdString();
    }
}

TEST(ScreenReader, EveryMessageIsSpokenAsItAppears)
{
    struct Case {
        const char *what;
        const char *mode;
        const char *band;
        bool timeOn;
        std::function<void(MainWindow &)> act;
        QString message;  // what the message line must say, and the screen reader read
        QString dupeList;  // what the partial-duplicate list must say, if anything
    };
    auto fill = [](MainWindow &w, const char *call, const char *rstr, const char *cntry, const char *rsts) {
        w.exchangeBox->setFocus();  // before filling: leaving the call box would fill the reports
        w.callBox->setText(call);
        w.reportRcvdBox->setText(rstr);
        w.exchangeBox->setText(cntry);
        w.reportSentBox->setText(rsts);
        QTest::keyClick(w.exchangeBox, Qt::Key_Return);
    };
    const Case cases[] = {
        {"time not on", "PH", "40", false, [](MainWindow &) { typeKeys("K"); }, "Click Log \"Time On\"!", {}},
        {"bad province", "PH", "40", true, [&](MainWindow &w) { fill(w, "VE3ABC", "59", "XX", "59"); },
         "Invald Province!", {}},
        {"no report sent", "PH", "40", true, [&](MainWindow &w) { fill(w, "VE3ABC", "59", "ON", ""); },
         "Need Report Sent!", {}},
        {"partial duplicate", "CW", "20", true, [](MainWindow &) { typeKeys("W1AW"); }, "Possible Duplicate!",
         "W1AW "},
        {"not numeric", "CW", "20", true, [](MainWindow &) { typeKeys("ABC"); },
         "The second or third character is not numeric!", {}},
        {"duplicate", "CW", "20", true, [](MainWindow &) { typeKeys("W1AW "); },
         "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2", {}},
        {"logged off", "PH", "40", true, [](MainWindow &w) { w.cmdLogOn_Click(); }, "Logged Off at ", {}},
        {"logged on", "PH", "40", false, [](MainWindow &w) { w.cmdLogOn_Click(); }, "Logged On at ", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(onBand(c.mode, c.band));
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.dupeHoldMs = 0;
        if (c.timeOn)
            w.cmdLogOn_Click();
        settle();
        AccessibilityEvents a11y;
        c.act(w);
        settle();
        const QString shown = w.messageLine->text();
        // The clock's messages end with the time of day; the rest are fixed texts.
        if (c.message.endsWith(" at "))
            EXPECT_TRUE(shown.startsWith(c.message)) << shown.toStdString();
        else
            EXPECT_EQ(shown, c.message);
        ASSERT_FALSE(a11y.spoken(w.messageLine).isEmpty());
        EXPECT_EQ(a11y.spoken(w.messageLine).last(), shown);
        if (!c.dupeList.isEmpty()) {
            EXPECT_EQ(w.dupeLine->text(), c.dupeList);
            EXPECT_EQ(a11y.spoken(w.dupeLine), QStringList{c.dupeList});
        }
    }
}

TEST(ScreenReader, RepeatsOnlyWhatTheOperatorMustHearAgain)
{
    Harness h(onBand("CW", "20"));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.dupeHoldMs = 0;
    settle();
    AccessibilityEvents a11y;

    // A message that stays on screen while typing is read once, not at every key.
    for (const char *key : {"K", "1"}) {
        typeKeys(key);
        settle();
    }
    EXPECT_EQ(a11y.spoken(w.messageLine), QStringList{"Click Log \"Time On\"!"});

    // The same failure on a second Enter is news, and so is the same duplicate again.
    w.cmdLogOn_Click();
    w.cmdClear_Click();
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("XX");
    w.reportSentBox->setText("599");
    w.exchangeBox->setFocus();
    a11y.events.clear();
    QTest::keyClick(w.exchangeBox, Qt::Key_Return);
    settle();
    QTest::keyClick(w.exchangeBox, Qt::Key_Return);
    settle();
    EXPECT_EQ(a11y.spoken(w.messageLine), (QStringList{"Invald Province!", "Invald Province!"}));

    w.cmdClear_Click();
    a11y.events.clear();
    for (int i = 0; i < 2; ++i) {
        w.callBox->setText("W1AW");
        w.DupCheck();
        settle();
    }
    const QString dupe = "Duplicate W1AW 2009/07/01 18:06:01  Rec#  2";
    EXPECT_EQ(a11y.spoken(w.messageLine), (QStringList{dupe, dupe}));
    // A burst of messages from one commit is read once, as the last one left on screen.
    w.cmdClear_Click();
    w.exchangeBox->setFocus();
    a11y.events.clear();
    QTest::keyClick(w.exchangeBox, Qt::Key_Return);  // every box empty: four messages, the last remains
    settle();
    EXPECT_EQ(a11y.spoken(w.messageLine), QStringList{"Invald Province!"});
}

TEST(ScreenReader, FocusIsHeardBeforeWhatTheBoxShows)
{
    // The screen reader takes a caret move in the box that has the focus for the
    // focus move itself and then names nothing: the box's last caret event must come
    // after its focus event.
    struct Case {
        const char *what;
        std::function<void(MainWindow &)> act;
        QLineEdit *MainWindow::*box;
    };
    const Case cases[] = {
        {"space from the call box", [](MainWindow &) { typeKeys("W1AW "); }, &MainWindow::reportRcvdBox},
        {"tab from the call box", [](MainWindow &w) {
             typeKeys("VE3ABC");
             QTest::keyClick(w.callBox, Qt::Key_Tab);
         }, &MainWindow::reportRcvdBox},
        {"space into the exchange", [](MainWindow &) { typeKeys("VE3ABC  "); }, &MainWindow::exchangeBox},
        {"escape back to the call box", [](MainWindow &) {
             typeKeys("VE3ABC  ");
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
         }, &MainWindow::callBox},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Harness h(onBand("CW", "40"));
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.cmdLogOn_Click();
        settle();
        AccessibilityEvents a11y;
        c.act(w);
        settle();
        QLineEdit *box = w.*c.box;
        ASSERT_TRUE(box->hasFocus());
        const int focus = a11y.lastIndex(box, QAccessible::Focus);
        const int caret = a11y.lastIndex(box, QAccessible::TextCaretMoved);
        ASSERT_GE(focus, 0);
        EXPECT_GT(caret, focus);
    }
}

TEST(ScreenReader, MultiplierGridSaysWorkedOrNeeded)
{
    Harness h;  // 40 m phone; the log has ON on 20 m phone and on 40 m CW
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    auto cell = [&](int band, const char *province) -> QLabel * {
        for (QLabel *l : w.provinceLabels[size_t(band)])
            if (l->text() == QLatin1String(province))
                return l;
        return nullptr;
    };
    ASSERT_NE(cell(3, "ON"), nullptr);
    EXPECT_EQ(cell(3, "ON")->accessibleName(), "ON, 20 metres, worked");
    EXPECT_EQ(cell(2, "ON")->accessibleName(), "ON, 40 metres, needed");
    EXPECT_EQ(cell(3, "QC")->accessibleName(), "QC, 20 metres, needed");
    // The province's full name stays available as the description.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(cell(3, "ON"))->text(QAccessible::Description), "Ontario");

    w.selectCw();  // CW: ON worked on 40 m only
    EXPECT_EQ(cell(3, "ON")->accessibleName(), "ON, 20 metres, needed");
    EXPECT_EQ(cell(2, "ON")->accessibleName(), "ON, 40 metres, worked");
}

TEST(ScreenReader, PartialDupeSwitchSaysOnOrOff)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    auto state = [&] { return QAccessible::queryAccessibleInterface(w.partialDupesButton)->state(); };
    EXPECT_TRUE(state().checkable);
    EXPECT_TRUE(state().checked);
    EXPECT_EQ(w.partialDupesButton->text(), "On");

    QTest::mouseClick(w.partialDupesButton, Qt::LeftButton);
    EXPECT_FALSE(w.PartialDupesOn);
    EXPECT_FALSE(state().checked);
    EXPECT_EQ(w.partialDupesButton->text(), "Off");
    EXPECT_EQ(w.partialDupesButton->accessibleName(), "Partial duplicates");

    w.cmdDup_Click();
    EXPECT_TRUE(w.PartialDupesOn);
    EXPECT_TRUE(state().checked);
    EXPECT_EQ(w.partialDupesButton->text(), "On");
}

TEST(ScreenReader, EditMarkersAreSpokenAndBelongToTheirBox)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    h.activate();
    EditContactWindow e(*h.session, 1, {});
    e.show();
    QApplication::setActiveWindow(&e);
    settle();
    AccessibilityEvents a11y;

    struct Case {
        const char *what;
        QLabel *EditContactWindow::*marker;
        QLineEdit *EditContactWindow::*box;
        std::function<void(EditContactWindow &)> spoil;
        std::function<void(EditContactWindow &)> mend;
        QString description;
    };
    const Case cases[] = {
        {"exchange", &EditContactWindow::lblPreInvalid, &EditContactWindow::txtEditPre,
         [](EditContactWindow &e) { e.txtEditPre->setText("XX"); },
         [](EditContactWindow &e) { e.txtEditPre->setText("ON"); }, "Invalid!"},
        {"duplicate", &EditContactWindow::Label1, &EditContactWindow::txtEditCall,
         [](EditContactWindow &e) {
             e.txtEditCall->setText("W1AW");  // record 2, but on 20 m CW: make this one 20 m CW too
             e.Text1->setText("20");
             e.txtEditBnd->setText("CW");
         },
         [](EditContactWindow &e) { e.txtEditCall->setText("VE3XYZ"); }, "Dupe!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QLabel *marker = e.*c.marker;
        QLineEdit *box = e.*c.box;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(marker)->role(), QAccessible::Notification);
        EXPECT_TRUE(box->accessibleDescription().isEmpty());
        c.spoil(e);
        a11y.events.clear();
        e.cmdDone_Click();
        settle();
        ASSERT_TRUE(marker->isVisible());
        EXPECT_EQ(a11y.spoken(marker).size(), 1);
        EXPECT_EQ(box->accessibleDescription(), c.description);
        c.mend(e);
        e.cmdDone_Click();
        EXPECT_TRUE(marker->isHidden());
        EXPECT_TRUE(box->accessibleDescription().isEmpty());
        if (e.isHidden()) {  // a good Done closed it: open again for the next case
            e.setResult(0);
            e.show();
        }
    }
}

TEST(ScreenReader, TabLeavesTheContactList)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.contactList->setFocus();
    w.contactList->setCurrentIndex(w.listModel->index(0, 0));
    QTest::keyClick(w.contactList, Qt::Key_Tab);
    // Not the next cell: the next control, so the list's buttons can be reached.
    EXPECT_FALSE(w.contactList->hasFocus());
    EXPECT_EQ(w.contactList->currentIndex().column(), 0);
}

// A screen reader reads a contact cell by cell without the headings: each cell says what
// it is, so "2. 599. 12." becomes a contact one can follow.
TEST(ScreenReader, EachCellOfAContactSaysWhatItIs)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(w.contactList);
    ASSERT_NE(list, nullptr);
    QAccessibleTableInterface *table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    // Row 1 is record 2: W1AW, 599 4 / 599 12, 20 m CW, 2 points.
    const std::pair<int, QString> cells[] = {
        {0, "Record 2"}, {1, "W1AW"}, {2, "received 599"}, {3, "exchange 12"}, {4, "sent 599"},
        {5, "USA"},      {7, "CW"},   {8, "band 20"},      {9, "2 points"},    {10, "serial sent 4"},
    };
    for (const auto &[column, said] : cells) {
        QAccessibleInterface *cell = table->cellAt(1, column);
        ASSERT_NE(cell, nullptr) << column;
        EXPECT_EQ(cell->text(QAccessible::Name), said) << column;
    }
    // The screen shows the values alone.
    EXPECT_EQ(w.listModel->index(1, 2).data().toString(), "599");
}
