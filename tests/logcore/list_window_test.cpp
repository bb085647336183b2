#include "frame/colours_window.h"
#include "frame/text_rules_ui.h"
#include "logcore/edit_contact_window.h"
#include "logcore/recent_contacts_model.h"
#include "window_harness.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace zevtest;

namespace {

// Ten contacts on 20 m phone, each with its own province or serial.
QByteArray tenContacts()
{
    static const char *const calls[] = {"VE3AA", "VE2BB", "W1AW", "VE7CC", "VE1DD",
                                        "K5ZZ",  "VE4EE", "VE6FF", "VO1GG", "VE9HH"};
    static const char *const exchanges[] = {"ON", "QC", "12", "BC", "NS", "7", "MB", "AB", "NL", "NB"};
    QByteArray out;
    for (int i = 0; i < 10; ++i) {
        ContactRecord r;
        r.Call = calls[i];
        r.ReportRcvd = r.ReportSent = "59";
        r.SerialSent = QString::number(i + 1);
        r.ExchangeRcvd = exchanges[i];
        r.QsoDate = "2009/07/01";
        r.QsoTime = QStringLiteral("18:%1:00").arg(i + 10);
        r.Mode = "PH";
        r.Band = "20";
        r.Points = ContactPoints(r.Call, r.ExchangeRcvd);
        r.Country = "Canada";
        out += RecordLine(r) + "\r\n";
    }
    return out;
}

QByteArray manyContacts(int n)
{
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        out += "\"K" + QByteArray::number(i) + "A\",\"59\",\"\",\"59\",\"12\",\"2009/07/01\",\"18:00:00\",\"PH\",\"20\",2,\"\",\"USA\"\r\n";
    return out;
}

}  // namespace

TEST(ContactList, LastTwentyOrAllAndSortingAsText)
{
    Harness h(Harness::basePrefs(), manyContacts(25));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    ASSERT_EQ(w.listModel->rowCount(), 20);
    EXPECT_EQ(w.listModel->cellText(0, 0), "25");
    EXPECT_EQ(w.listModel->cellText(19, 0), "6");
    EXPECT_EQ(w.listButton->text(), "Last 20");
    QTest::mouseClick(w.listButton, Qt::LeftButton);
    EXPECT_EQ(w.listButton->text(), "All");
    EXPECT_EQ(w.listModel->rowCount(), 25);
    // Record numbers sort as text: 1, 10, 11, ...
    w.contactList->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(w.listModel->cellText(0, 0), "1");
    EXPECT_EQ(w.listModel->cellText(1, 0), "10");
    EXPECT_EQ(w.listModel->cellText(24, 0), "9");
    QTest::mouseClick(w.listButton, Qt::LeftButton);
    EXPECT_EQ(w.listModel->rowCount(), 20);
    EXPECT_EQ(w.listModel->cellText(0, 0), "25");

    Harness few(Harness::basePrefs(), manyContacts(19));
    few.prompter.answers = {true};
    few.start();
    EXPECT_EQ(few.window->listModel->rowCount(), 19);
}

TEST(ContactList, ClickShowsEditButtonsAndTheCallBoxHidesThem)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_TRUE(w.editButton->isHidden());
    const QRect cell = w.contactList->visualRect(w.listModel->index(2, 1));
    QTest::mouseClick(w.contactList->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_FALSE(w.editButton->isHidden());
    EXPECT_FALSE(w.deleteButton->isHidden());
    EXPECT_EQ(w.SelectedRecord(), 8);
    w.callBox->setFocus();
    EXPECT_TRUE(w.editButton->isHidden());
}

TEST(DeleteContact, RenumbersRewritesAndRescores)
{
    Preferences p = Harness::basePrefs();
    p.InCanada = 0;
    Harness h(p, tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_EQ(w.multipliersLabel->text(), "8");
    const ContactRecord fourth = h.session->log.record(4);

    selectRecord(w, 3);
    h.prompter.answers = {false};
    w.cmdDelete_Click();
    EXPECT_EQ(h.session->log.RecordCount(), 10);

    selectRecord(w, 3);
    h.prompter.answers = {true};
    w.cmdDelete_Click();
    EXPECT_EQ(h.prompter.asked.last().title, "Are you sure?");
    ASSERT_EQ(h.session->log.RecordCount(), 9);
    EXPECT_EQ(h.session->log.record(3), fourth);
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(h.folders.work("log.txt"), onDisk).ok);
    EXPECT_EQ(onDisk, h.session->log.records());
    EXPECT_EQ(w.contactsLabel->text(), "9");
    EXPECT_EQ(w.multipliersLabel->text(), "8");  // W1AW sent a serial: no multiplier lost
    EXPECT_TRUE(w.editButton->isHidden());

    // Deleting the last contact makes the next serial repeat its number.
    EXPECT_EQ(w.exchangeSentLabel->text(), "11");
    selectRecord(w, 9);
    h.prompter.answers = {true};
    w.cmdDelete_Click();
    EXPECT_EQ(w.exchangeSentLabel->text(), "10");
}

TEST(EditContact, ExchangeChangeRemovesTheMultiplier)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_EQ(w.multipliersLabel->text(), "8");
    h.otherModal = [](QDialog &d) {
        auto &e = dynamic_cast<EditContactWindow &>(d);
        EXPECT_EQ(e.windowTitle(), "Edit Contact Entry");
        EXPECT_EQ(e.txtEditCall->text(), "VE3AA");
        EXPECT_EQ(e.txtEditPre->text(), "ON");
        EXPECT_EQ(e.Text2->text(), "10");
        e.txtEditPre->setText("12");
        e.cmdDone_Click();
        EXPECT_EQ(e.result(), QDialog::Accepted);
    };
    selectRecord(w, 1);
    w.cmdEdit_Click();
    EXPECT_EQ(h.session->log.record(1).ExchangeRcvd, "12");
    EXPECT_EQ(w.multipliersLabel->text(), "7");
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(h.folders.work("log.txt"), onDisk).ok);
    EXPECT_EQ(onDisk[0].ExchangeRcvd, "12");
}

TEST(EditContact, DupeOrBadValuesKeepTheWindowOpen)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    const QByteArray before = ReadFile(h.folders.work("log.txt"));
    h.otherModal = [&](QDialog &d) {
        auto &e = dynamic_cast<EditContactWindow &>(d);
        e.txtEditCall->setText("VE2BB");  // already on 20 m phone as record 2
        h.prompter.asked.clear();
        e.cmdDone_Click();
        EXPECT_NE(e.result(), QDialog::Accepted);
        EXPECT_FALSE(e.Label1->isHidden());
        EXPECT_FALSE(e.cmdDeleteDupe->isHidden());
        EXPECT_EQ(h.prompter.asked.size(), 1);  // one beep for one dupe

        e.txtEditCall->setText("VE3AA");
        ShowAsIs(e.txtEditPre, "on");  // as a hand-edited log shows it: letter case counts here
        e.cmdDone_Click();
        EXPECT_NE(e.result(), QDialog::Accepted);
        EXPECT_TRUE(e.Label1->isHidden());
        EXPECT_FALSE(e.lblPreInvalid->isHidden());

        e.txtEditPre->setText("ON");
        e.txtEditTime->setText("25:00");
        h.prompter.asked.clear();
        e.cmdDone_Click();
        EXPECT_EQ(h.prompter.titles(), (QStringList{"", "Invalid Time Format!"}));
        e.txtEditTime->setText("18:10:00");
        e.txtEditDate->setText("2009/02/30");
        e.cmdDone_Click();
        EXPECT_EQ(h.prompter.asked.last().title, "Invalid Date Format!");
        EXPECT_NE(e.result(), QDialog::Accepted);
    };
    selectRecord(w, 1);
    w.cmdEdit_Click();
    // Closed without a valid "Done": the log is rewritten unchanged.
    EXPECT_EQ(ReadFile(h.folders.work("log.txt")), before);
    EXPECT_EQ(h.session->log.RecordCount(), 10);
}

TEST(EditContact, KeysAndLeavingRules)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EditContactWindow e(*h.session, 5, {}, &w);
    e.show();
    QApplication::setActiveWindow(&e);
    e.txtEditCall->clear();
    QTest::keyClicks(e.txtEditCall, "ve1\"dd");
    EXPECT_EQ(e.txtEditCall->text(), "VE1DD");
    e.Text2->clear();
    QTest::keyClicks(e.Text2, "1a5");
    EXPECT_EQ(e.Text2->text(), "15");
    QTest::keyClick(e.Text2, Qt::Key_Backspace);  // not even Backspace
    EXPECT_EQ(e.Text2->text(), "15");
    e.txtEditDate->clear();
    QTest::keyClicks(e.txtEditDate, "2009-07/01x");
    EXPECT_EQ(e.txtEditDate->text(), "200907/01");

    // Leaving the band box with a band outside the table keeps the focus there.
    e.Text1->setFocus();
    e.Text1->setText("12");
    e.txtEditCall->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(e.lblBandInvalid->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return e.Text1->hasFocus(); }, 1000));
    e.Text1->setText("2");  // 2 m is a band like any other
    e.txtEditCall->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(e.lblBandInvalid->isHidden());

    // A short exchange is upper-cased on leaving.
    e.txtEditPre->setFocus();
    e.txtEditPre->setText("ns");
    e.txtEditCall->setFocus();
    EXPECT_EQ(e.txtEditPre->text(), "NS");
}

TEST(EditContact, DeleteDupeDeletesTheEditedRecord)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    h.otherModal = [&](QDialog &d) {
        auto &e = dynamic_cast<EditContactWindow &>(d);
        e.txtEditCall->setText("VE3AA");
        e.cmdDone_Click();
        ASSERT_FALSE(e.cmdDeleteDupe->isHidden());
        h.prompter.answers = {true};
        e.cmdDeleteDupe_Click();
    };
    selectRecord(w, 2);
    w.cmdEdit_Click();
    ASSERT_EQ(h.session->log.RecordCount(), 9);
    EXPECT_EQ(h.session->log.record(2).Call, "W1AW");
    EXPECT_EQ(h.session->log.record(1).Call, "VE3AA");
}

TEST(LogMaintenance, ArchiveCopiesTheLogUnderTheProposedName)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    const QString target = h.dir.filePath("archive.log");
    h.prompter.answers = {target};
    w.mnuArchive_Click();
    EXPECT_EQ(h.prompter.asked[h.prompter.asked.size() - 2].title, "Archive Information");
    EXPECT_EQ(h.prompter.asked.last().text, h.folders.BackupFolder() + "/VE3XYZ2009-07-01.log");
    EXPECT_EQ(ReadFile(target), tenContacts());

    h.session->prefs.MyCall.clear();
    h.prompter.answers = {std::monostate{}};
    const int asked = int(h.prompter.asked.size());
    w.mnuArchive_Click();
    EXPECT_EQ(h.prompter.asked.last().text, h.folders.BackupFolder() + "/YourCall2009-07-01.log");
    EXPECT_EQ(h.prompter.asked.size(), asked + 2);  // cancelled: no error message

    h.prompter.answers = {h.dir.filePath("missing/archive.log")};
    w.mnuArchive_Click();
    EXPECT_EQ(h.prompter.asked.last().title, "Error Archiving Log");
}

TEST(LogMaintenance, RestoreReplacesTheLogOnlyWithAReadableFile)
{
    const QByteArray archived = kThreeContacts;
    {
        Harness h(Harness::basePrefs(), QByteArray());
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        const QString file = h.folders.BackupFolder() + "/old.log";
        WriteFile(file, archived);
        h.prompter.asked.clear();
        h.prompter.answers = {file};
        w.mnuRestore_Click();
        // An empty log asks only the information question.
        EXPECT_EQ(h.prompter.titles(), (QStringList{"Opening Archived Data Information", "Restore from Archive or Backup"}));
        EXPECT_EQ(h.prompter.asked.last().text, h.folders.BackupFolder());
        EXPECT_EQ(h.session->log.RecordCount(), 3);
        EXPECT_EQ(ReadFile(h.folders.work("log.txt")), archived);
    }
    {
        Harness h(Harness::basePrefs(), tenContacts());
        h.prompter.answers = {true};
        h.start();
        MainWindow &w = h.activate();
        const QString file = h.folders.BackupFolder() + "/old.log";
        WriteFile(file, archived);
        h.prompter.answers = {false};
        w.mnuRestore_Click();
        EXPECT_EQ(h.prompter.asked.last().title, "Are your sure?");
        EXPECT_EQ(h.session->log.RecordCount(), 10);

        // Not a log: refused, and the working log stays as it was.
        const QString junk = h.folders.BackupFolder() + "/junk.log";
        WriteFile(junk, "this is \"not a log");
        h.prompter.answers = {true, junk};
        w.mnuRestore_Click();
        EXPECT_EQ(h.prompter.asked.last().title, "Error Restoring Log");
        EXPECT_EQ(h.endedWith, -1);
        EXPECT_EQ(ReadFile(h.folders.work("log.txt")), tenContacts());

        h.prompter.answers = {true, file};
        w.mnuRestore_Click();
        EXPECT_EQ(h.session->log.RecordCount(), 3);
        EXPECT_TRUE(h.backups().contains("old.log"));
    }
}

TEST(Clipboard, ListedRowsOldestFirstTabSeparated)
{
    Harness h(Harness::basePrefs(), manyContacts(25));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuCopyListtoClipboard_Click();
    const QStringList lines = QGuiApplication::clipboard()->text().split("\r\n");
    ASSERT_EQ(lines.size(), 22);  // header, 20 rows, and the empty text after the last line end
    EXPECT_EQ(lines[0], "Rec#\tCall\tRec\tPr/Sr\tSnt\tCountry\tDate/Time\tMo\tBnd\tPts\tSer S");
    EXPECT_EQ(lines[1], "6\tK6A\t59\t12\t59\tUSA\t07/01 18:00\tPH\t20\t2\t");
    EXPECT_TRUE(lines[20].startsWith("25\tK25A\t"));
    EXPECT_EQ(lines[21], "");

    Harness empty(Harness::basePrefs(), QByteArray());
    empty.prompter.answers = {true};
    empty.start();
    empty.window->mnuCopyListtoClipboard_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Rec#\tCall\tRec\tPr/Sr\tSnt\tCountry\tDate/Time\tMo\tBnd\tPts\tSer S\r\n");
}

TEST(Appearance, FormSizeTaskbarAndColours)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    struct Case {
        ScriptedPrompter::Answer answer;
        int stored;
        const char *title;
    };
    const Case cases[] = {
        {QString("150"), 100, "For this setting to take effect please restart this program."},
        {QString("10"), 30, "For this setting to take effect please restart this program."},
        {QString("abc"), 30, "Numeric Values Required"},
        {std::monostate{}, 30, "Please enter screen percentage."},
    };
    for (const Case &c : cases) {
        h.prompter.answers = {c.answer};
        w.mnuFormSize_Click();
        EXPECT_EQ(h.prompter.asked.last().title, c.title);
        EXPECT_EQ(h.session->prefs.FormSizePercent, c.stored);
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).FormSizePercent, c.stored);
    }

    // The taskbar option needs the full size.
    w.taskbarAction->trigger();
    EXPECT_EQ(h.prompter.asked.last().title, "Please set your form size to 100% to use this option.");
    EXPECT_FALSE(w.taskbarAction->isChecked());
    EXPECT_EQ(h.session->prefs.TaskbarMode, 0);
    h.session->prefs.FormSizePercent = 100;
    w.taskbarAction->trigger();
    EXPECT_TRUE(w.taskbarAction->isChecked());
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).TaskbarMode, 1);

    h.otherModal = [&](QDialog &d) {
        auto &c = dynamic_cast<ColoursWindow &>(d);
        EXPECT_EQ(c.windowTitle(), " Modify Multiplier Color Selections");
        h.prompter.answers = {QString::number(0x0000FF00)};
        c.ChangeWorked();
        EXPECT_TRUE(c.lblWorked->styleSheet().contains("#00ff00"));
        h.prompter.answers = {std::monostate{}};
        c.ChangeRemaining();
    };
    const quint32 unworked = h.session->prefs.UnworkedMultColour;
    w.mnuColors_Click();
    EXPECT_EQ(h.session->prefs.WorkedMultColour, 0x0000FF00u);
    EXPECT_EQ(h.session->prefs.UnworkedMultColour, unworked);
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).WorkedMultColour, 0x0000FF00u);
    // ON is worked on 40 m CW? no: the grid shows phone; 20 m phone has ON.
    EXPECT_TRUE(w.provinceLabels[3][2]->styleSheet().contains("#00ff00"));
}

TEST(RateGraphMenu, OpensOnlyWithEnoughContacts)
{
    {
        Harness h;  // three contacts
        h.prompter.answers = {true};
        h.start();
        int opened = 0;
        h.otherModal = [&](QDialog &) { ++opened; };
        h.window->mnuGraph_Click();
        EXPECT_EQ(opened, 0);
        EXPECT_EQ(h.prompter.asked.last().title, "Not Enough Contacts to Graph.");
    }
    {
        Harness h(Harness::basePrefs(), tenContacts());
        h.prompter.answers = {true};
        h.start();
        QString title;
        h.otherModal = [&](QDialog &d) { title = d.windowTitle(); };
        h.window->mnuGraph_Click();
        EXPECT_EQ(title, " Activity Graph - QSOs per Hour Rate   (# QSOs over 10 minutes X 6)");
    }
}

TEST(EditContact, PastedQuotesAndHugePointsCannotReachTheLog)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    h.otherModal = [](QDialog &d) {
        auto &e = dynamic_cast<EditContactWindow &>(d);
        e.txtEditCall->setText("VE3\",X");  // as a paste would put it
        EXPECT_EQ(e.txtEditCall->text(), "VE3,X");
        e.Text2->setText("99999999999");
        EXPECT_EQ(e.Text2->text(), "9999");
        e.txtEditTime->setText("18:1a0");
        EXPECT_EQ(e.txtEditTime->text(), "18:10");
        e.cmdDone_Click();
        EXPECT_EQ(e.result(), QDialog::Accepted);
    };
    selectRecord(w, 1);
    w.cmdEdit_Click();
    EXPECT_EQ(h.endedWith, -1);
    EXPECT_EQ(h.session->log.record(1).Call, "VE3,X");
    EXPECT_EQ(h.session->log.record(1).Points, 9999);
    EXPECT_EQ(h.session->log.RecordCount(), 10);
}

TEST(EditContact, DeleteDupeStillDeletesAfterTheListWasRefreshed)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    h.otherModal = [&](QDialog &d) {
        auto &e = dynamic_cast<EditContactWindow &>(d);
        w.ShowRecentContacts();  // a reload while the window is open clears the selection
        e.txtEditCall->setText("VE3AA");
        e.cmdDone_Click();
        h.prompter.answers = {true};
        e.cmdDeleteDupe_Click();
    };
    selectRecord(w, 2);
    w.cmdEdit_Click();
    ASSERT_EQ(h.session->log.RecordCount(), 9);
    EXPECT_EQ(h.session->log.record(2).Call, "W1AW");
}

TEST(DeleteContact, NothingHighlightedDeletesNothing)
{
    Harness h(Harness::basePrefs(), tenContacts());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.contactList->setCurrentIndex(w.listModel->index(0, 0));
    w.contactList->clearSelection();
    h.prompter.answers = {true};
    w.cmdDelete_Click();
    EXPECT_EQ(h.session->log.RecordCount(), 10);
    EXPECT_EQ(h.prompter.asked.last().title, "No Contact Selected");
}
