// Where the keyboard goes: after a commit, after the list's actions and message boxes,
// and through the contact list without a mouse.

#include "logcore/edit_contact_window.h"
#include "logcore/recent_contacts_model.h"
#include "window_harness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace zevtest;

namespace {

Preferences on(const char *mode, const char *band)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = mode;
    p.CurrentBand = band;
    return p;
}

QString focusName()
{
    QWidget *f = QApplication::focusWidget();
    return f ? f->objectName() : QStringLiteral("(none)");
}

// Counts the focus arrivals on the entry boxes.
class FocusCounter : public QObject {
public:
    explicit FocusCounter(MainWindow &w) : w_(w) { qApp->installEventFilter(this); }
    ~FocusCounter() override { qApp->removeEventFilter(this); }
    QStringList arrivals;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::FocusIn && qobject_cast<QLineEdit *>(o) && static_cast<QWidget *>(o)->window() == &w_)
            arrivals << o->objectName();
        return false;
    }

private:
    MainWindow &w_;
};

}  // namespace

TEST(HotPath, EnterOnABareCallFillsTheEntrySoTheNextEnterLogs)
{
    struct Case {
        const char *mode, *call, *report, *province;
    };
    const Case cases[] = {
        {"CW", "VE7BBB", "599", "BC"},
        {"PH", "VE7BBB", "59", "BC"},
        {"CW", "VY0AB", "599", "NU"},
        {"PH", "VA2XY", "59", "QC"},
    };
    for (const Case &c : cases) {
        Harness h(on(c.mode, "20"), QByteArray());
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        typeKeys(QString::fromLatin1(c.call) + "\n");
        EXPECT_EQ(w.reportRcvdBox->text(), c.report) << c.mode << c.call;
        EXPECT_EQ(w.exchangeBox->text(), c.province) << c.mode << c.call;
        EXPECT_EQ(w.reportSentBox->text(), c.report) << c.mode << c.call;
        EXPECT_EQ(focusName(), "txtCntry");
        // Nothing is left complaining about a province the fill has just supplied.
        EXPECT_EQ(w.messageLine->text(), " ") << c.mode << c.call;
        EXPECT_EQ(h.session->log.RecordCount(), 0);
        typeKeys("\n");
        ASSERT_EQ(h.session->log.RecordCount(), 1) << c.mode << c.call;
        const ContactRecord &r = h.session->log.record(1);
        EXPECT_EQ(r.Call, c.call);
        EXPECT_EQ(r.ReportRcvd, c.report);
        EXPECT_EQ(r.ExchangeRcvd, c.province);
        EXPECT_EQ(focusName(), "txtCall");
    }
}

TEST(HotPath, ABareCallWithoutAProvinceKeepsTheComplaint)
{
    Harness h(on("CW", "20"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    typeKeys("K1ABC\n");
    EXPECT_EQ(w.reportRcvdBox->text(), "599");
    EXPECT_EQ(w.exchangeBox->text(), "");
    EXPECT_EQ(w.messageLine->text(), "Invald Province!");
    EXPECT_EQ(focusName(), "txtCntry");
    typeKeys("5\n");
    ASSERT_EQ(h.session->log.RecordCount(), 1);
    EXPECT_EQ(h.session->log.record(1).ExchangeRcvd, "5");
}

TEST(HotPath, ABurstOfBareCallsTypedAheadLogsEveryContact)
{
    Harness h(on("CW", "20"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    h.activate();
    typeKeys("VE7BBB\n\nVE3AAA\n\nVE1CCC\n\nVE6DD\n\nVO1EE\n\n");
    ASSERT_EQ(h.session->log.RecordCount(), 5);
    const char *calls[] = {"VE7BBB", "VE3AAA", "VE1CCC", "VE6DD", "VO1EE"};
    const char *provinces[] = {"BC", "ON", "NS", "AB", "NL"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(h.session->log.record(i + 1).Call, calls[i]);
        EXPECT_EQ(h.session->log.record(i + 1).ExchangeRcvd, provinces[i]);
        EXPECT_EQ(h.session->log.record(i + 1).ReportSent, "599");
    }
    EXPECT_EQ(h.window->exchangeBox->text(), "");
}

TEST(HotPath, ACommitMovesTheFocusOnce)
{
    struct Case {
        const char *name, *call, *rstr, *cntry, *rsts;
        QStringList arrivals;
    };
    const Case cases[] = {
        // Three boxes fail; the operator is sent to the last one only.
        {"report boxes and exchange empty", "VE3ABC", "", "", "", {"txtCntry"}},
        {"report sent missing", "VE3ABC", "599", "ON", "", {"txtRSTS"}},
        {"logged", "VE3ABC", "599", "ON", "599", {"txtCall"}},
    };
    for (const Case &c : cases) {
        Harness h(on("CW", "20"), QByteArray());
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        w.powerBox->setFocus();
        w.callBox->setText(c.call);
        w.reportRcvdBox->setText(c.rstr);
        w.exchangeBox->setText(c.cntry);
        w.reportSentBox->setText(c.rsts);
        FocusCounter counter(w);
        QTest::keyClick(w.powerBox, Qt::Key_Return);
        EXPECT_EQ(counter.arrivals, c.arrivals) << c.name;
    }
}

TEST(HotPath, SpaceInThePostContestBoxesLeadsToTheCall)
{
    Harness h(on("CW", "20"), QByteArray());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuPostContest_Click();
    w.postDateBox->setFocus();
    QTest::keyClick(w.postDateBox, Qt::Key_Space);
    EXPECT_EQ(focusName(), "txtPostConTime");
    QTest::keyClick(w.postTimeBox, Qt::Key_Space);
    EXPECT_EQ(focusName(), "txtCall");
    EXPECT_TRUE(w.postTimeBox->text().isEmpty());
}

TEST(FocusReturns, ToTheCallBoxAfterListActionsAndRefusals)
{
    struct Case {
        const char *name;
        std::function<void(Harness &, MainWindow &)> act;
    };
    const Case cases[] = {
        {"delete answered yes",
         [](Harness &h, MainWindow &w) {
             h.prompter.answers = {true};
             QTest::mouseClick(w.deleteButton, Qt::LeftButton);
         }},
        {"delete answered no",
         [](Harness &h, MainWindow &w) {
             h.prompter.answers = {false};
             QTest::mouseClick(w.deleteButton, Qt::LeftButton);
         }},
        {"edit closed without a change", [](Harness &, MainWindow &w) { QTest::mouseClick(w.editButton, Qt::LeftButton); }},
        {"edit with a change",
         [](Harness &h, MainWindow &w) {
             h.otherModal = [](QDialog &d) {
                 auto &e = dynamic_cast<EditContactWindow &>(d);
                 e.txtEditCk->setText("57");
                 e.cmdDone_Click();
             };
             QTest::mouseClick(w.editButton, Qt::LeftButton);
         }},
        {"delete dupe",
         [](Harness &h, MainWindow &w) {
             h.otherModal = [&h](QDialog &d) {
                 auto &e = dynamic_cast<EditContactWindow &>(d);
                 e.txtEditCall->setText("W1AW");
                 e.Text1->setText("20");
                 e.txtEditBnd->setText("CW");
                 e.cmdDone_Click();
                 h.prompter.answers = {true};
                 e.cmdDeleteDupe_Click();
             };
             QTest::mouseClick(w.editButton, Qt::LeftButton);
         }},
    };
    for (const Case &c : cases) {
        Harness h;
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        selectRecord(w, 3);
        w.editButton->show();
        w.deleteButton->show();
        c.act(h, w);
        EXPECT_EQ(focusName(), "txtCall") << c.name;
        // The next key typed goes into the call box, not to a button.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_FALSE(h.session->TimeOnActive) << c.name;
    }
}

TEST(FocusReturns, ToTheCallBoxWhenTheLogIsFull)
{
    QByteArray full;
    for (int i = 0; i < kLogCapacity; ++i)
        full += "\"K1A\",\"599\",\"\",\"599\",\"12\",\"2009/07/01\",\"18:00:00\",\"CW\",\"20\",2,\"\",\"USA\"\r\n";
    Harness h(on("CW", "40"), full);
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.cmdLogOn_Click();  // a running clock: the commit itself moves nothing
    w.callBox->setText("VE3ABC");
    w.reportRcvdBox->setText("599");
    w.exchangeBox->setText("ON");
    w.reportSentBox->setText("599");
    w.reportSentBox->setFocus();
    QTest::keyClick(w.reportSentBox, Qt::Key_Return);
    EXPECT_EQ(h.prompter.titles().last(), "Log Full");
    EXPECT_EQ(focusName(), "txtCall");
    EXPECT_EQ(w.callBox->text(), "VE3ABC");  // kept for the operator
}

TEST(FocusReturns, ToTheCallBoxAfterAMessageBoxFromAButton)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.timeOnButton->setFocus();
    ASSERT_EQ(focusName(), "cmdLogOn");
    QTimer::singleShot(50, [] {
        if (QWidget *m = QApplication::activeModalWidget())
            m->close();
    });
    QMessageBox::information(&w, "Archive Information", "A copy was made.");
    QApplication::setActiveWindow(&w);
    QTest::qWait(20);
    EXPECT_EQ(focusName(), "txtCall");
}

TEST(EditContact, ClosingWithoutAChangeWritesNothing)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    // The same contacts with bare line feeds: any rewrite would turn them into CR LF.
    QByteArray lf = kThreeContacts;
    lf.replace("\r\n", "\n");
    zevtest::WriteFile(h.folders.work("log.txt"), lf);
    for (bool done : {false, true}) {
        h.otherModal = [done](QDialog &d) {
            if (done)
                dynamic_cast<EditContactWindow &>(d).cmdDone_Click();
        };
        selectRecord(w, 2);
        w.cmdEdit_Click();
        EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")), lf) << (done ? "Done" : "closed");
    }
    EXPECT_EQ(h.session->log.RecordCount(), 3);
}

TEST(ContactList, WorksFromTheKeyboard)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    std::vector<int> edited;
    h.otherModal = [&](QDialog &d) { edited.push_back(dynamic_cast<EditContactWindow &>(d).EditedRecord()); };

    // Tab reaches the list; arriving highlights the newest contact and shows the buttons.
    w.timeOnButton->setFocus();
    QTest::keyClick(w.timeOnButton, Qt::Key_Tab);
    ASSERT_EQ(focusName(), "ListView1");
    EXPECT_EQ(w.SelectedRecord(), 3);
    EXPECT_FALSE(w.editButton->isHidden());

    // Up and Down walk the rows; Enter, the Menu key and Shift+F10 edit the highlighted one.
    QTest::keyClick(w.contactList, Qt::Key_Down);
    EXPECT_EQ(w.SelectedRecord(), 2);
    QTest::keyClick(w.contactList, Qt::Key_Return);
    QTest::keyClick(w.contactList, Qt::Key_Up);
    QTest::keyClick(w.contactList, Qt::Key_Menu);
    w.contactList->setFocus();
    QTest::keyClick(w.contactList, Qt::Key_Down);
    QTest::keyClick(w.contactList, Qt::Key_Down);
    QTest::keyClick(w.contactList, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(edited, (std::vector<int>{2, 3, 1}));

    // Tab and Shift+Tab leave the list instead of walking its cells.
    w.contactList->setFocus();
    QTest::keyClick(w.contactList, Qt::Key_Tab);
    EXPECT_EQ(focusName(), "cmdList");
    w.contactList->setFocus();
    QTest::keyClick(w.contactList, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusName(), "cmdLogOn");

    // Delete asks and deletes the highlighted contact.
    w.contactList->setFocus();
    selectRecord(w, 2);
    h.prompter.answers = {true};
    QTest::keyClick(w.contactList, Qt::Key_Delete);
    EXPECT_EQ(h.prompter.titles().last(), "Are you sure?");
    ASSERT_EQ(h.session->log.RecordCount(), 2);
    EXPECT_EQ(h.session->log.record(2).Call, "VA3ZEV");

    // The buttons follow the list in the tab order and carry mnemonics of their own.
    w.contactList->setFocus();
    for (const char *next : {"cmdList", "cmdEdit", "cmdDelete"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focusName(), next);
    }
    EXPECT_EQ(QKeySequence::mnemonic(w.editButton->text()), QKeySequence("Alt+E"));
    EXPECT_EQ(QKeySequence::mnemonic(w.deleteButton->text()), QKeySequence("Alt+D"));
    for (QAbstractButton *b : w.findChildren<QAbstractButton *>())
        if (b != w.editButton && b != w.deleteButton) {
            EXPECT_NE(QKeySequence::mnemonic(b->text()), QKeySequence::mnemonic(w.editButton->text()))
                << b->objectName().toStdString();
        }
}
