#include "logcore/master_calls.h"
#include "window_harness.h"

#include <QLabel>
#include <QListWidget>

using namespace zevtest;

namespace {

// K3LR on 20 m CW (a dupe there), VE3AXC on 40 m CW (worked elsewhere).
const QByteArray kWorked =
    "\"K3LR\",\"599\",\"\",\"599\",\"12\",\"2009/07/01\",\"18:06:01\",\"CW\",\"20\",2,\"14.025\",\"USA\"\r\n"
    "\"VE3AXC\",\"599\",\"\",\"599\",\"ON\",\"2009/07/01\",\"18:09:44\",\"CW\",\"40\",10,\"7.025\",\"Canada\"\r\n";

Preferences on20Cw()
{
    Preferences p = Harness::basePrefs();
    p.CurrentBand = "20";
    p.CurrentMode = "CW";
    return p;
}

int count(const ScriptedPrompter &p, const char *kind)
{
    return int(std::count_if(p.asked.begin(), p.asked.end(), [&](const Asked &a) { return a.kind == kind; }));
}

QStringList offered(const MainWindow &w)
{
    QStringList out;
    for (int i = 0; i < w.superCheckList->count(); ++i)
        out << w.superCheckList->item(i)->text();
    return out;
}

// The window with the small master list in its working folder, loaded.
MainWindow &startWithList(Harness &h)
{
    QFile::copy(QStringLiteral(ZEV_FIXTURES "/master_scp_small.scp"), h.folders.work(kMasterCallsName));
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.session->entry.masterCalls() != nullptr; }, 10000));
    return w;
}

}  // namespace

TEST(SuperCheckWindow, TypingOffersCallsWithWorkedAndDupeMarks)
{
    Harness h(on20Cw(), kWorked);
    MainWindow &w = startWithList(h);
    EXPECT_EQ(w.superCheckList->accessibleName(), "Super check partial");

    typeKeys("V");
    EXPECT_TRUE(offered(w).isEmpty());
    typeKeys("E3AX");
    EXPECT_EQ(offered(w), (QStringList{"VE3AX", "VE3AXC worked", "EA7/VE3AXC"}));
    typeKeys("C");
    EXPECT_EQ(offered(w), (QStringList{"VE3AXC worked", "EA7/VE3AXC"}));
    QTest::keyClick(w.callBox, Qt::Key_Backspace);
    QTest::keyClick(w.callBox, Qt::Key_Backspace);
    EXPECT_EQ(offered(w), (QStringList{"VE3A", "VE3AB", "VE3ABH", "VE3AR", "VE3AX", "VE3AXC worked", "EA7/VE3AXC"}));

    w.cmdClear_Click();
    EXPECT_TRUE(offered(w).isEmpty());
    typeKeys("K3");
    EXPECT_EQ(offered(w), QStringList{"K3LR dupe"});
    const QListWidgetItem *dupe = w.superCheckList->item(0);
    EXPECT_EQ(dupe->background().color(), QColor(Qt::red));
    EXPECT_TRUE(dupe->font().bold());

    // On 40 m the same calls stand the other way round.
    w.mnuBand40Ch_Click();
    w.callBox->setFocus();
    EXPECT_EQ(offered(w), QStringList{"K3LR worked"});
}

TEST(SuperCheckWindow, AltDownAndEnterTakeACallThatThenRunsTheCallBoxRules)
{
    Harness h(on20Cw(), kWorked);
    MainWindow &w = startWithList(h);

    typeKeys("3AX");
    ASSERT_EQ(offered(w), (QStringList{"EA7/VE3AXC", "VE3AX", "VE3AXC worked"}));
    QTest::keyClick(w.callBox, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(w.superCheckList->hasFocus());
    EXPECT_EQ(w.superCheckList->currentRow(), 0);
    // Looking at the list is not leaving the call: nothing is filled in for "3AX".
    EXPECT_TRUE(w.reportRcvdBox->text().isEmpty());
    EXPECT_TRUE(w.exchangeBox->text().isEmpty());
    QTest::keyClick(w.superCheckList, Qt::Key_Down);
    QTest::keyClick(w.superCheckList, Qt::Key_Return);
    EXPECT_EQ(w.callBox->text(), "VE3AX");
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_EQ(w.countryLabel->text(), "Canada");
    EXPECT_TRUE(w.reportRcvdBox->text().isEmpty());
    EXPECT_TRUE(h.session->log.RecordCount() == 2);
    // Leaving the call box fills the entry as for a typed call.
    typeKeys(" ");
    EXPECT_EQ(w.reportRcvdBox->text(), "599");
    EXPECT_EQ(w.exchangeBox->text(), "ON");

    // A dupe taken is warned of while in the box and caught on leaving it.
    w.cmdClear_Click();
    typeKeys("K3");
    QTest::keyClick(w.callBox, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(w.superCheckList, Qt::Key_Return);
    EXPECT_EQ(w.callBox->text(), "K3LR");
    EXPECT_EQ(w.dupeLine->text(), "K3LR ");
    EXPECT_EQ(w.messageLine->text(), "Possible Duplicate!");
    typeKeys(" ");
    EXPECT_TRUE(w.messageLine->text().startsWith("Duplicate K3LR 2009/07/01 18:06:01")) << w.messageLine->text().toStdString();
    EXPECT_TRUE(w.callBox->text().isEmpty());
    EXPECT_TRUE(w.DupeFlag);
}

TEST(SuperCheckWindow, ListKeysStayInTheListAndTypingGoesBackToTheCall)
{
    Harness h(on20Cw(), kWorked);
    MainWindow &w = startWithList(h);
    typeKeys("VE3A");
    QTest::keyClick(w.callBox, Qt::Key_Down, Qt::AltModifier);
    QTest::keyClick(w.superCheckList, Qt::Key_End);
    EXPECT_EQ(w.superCheckList->currentItem()->text(), "EA7/VE3AXC");
    QTest::keyClick(w.superCheckList, Qt::Key_Up);
    EXPECT_EQ(w.superCheckList->currentItem()->text(), "VE3AXC worked");
    QTest::keyClick(w.superCheckList, Qt::Key_Home);
    EXPECT_EQ(w.superCheckList->currentRow(), 0);
    QTest::keyClick(w.superCheckList, 'b');
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_EQ(w.callBox->text(), "VE3AB");
    EXPECT_EQ(offered(w), (QStringList{"VE3AB", "VE3ABH"}));

    // With nothing offered Alt+Down stays in the call box and beeps.
    w.cmdClear_Click();
    const int beeps = count(h.prompter, "beep");
    QTest::keyClick(w.callBox, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(w.callBox->hasFocus());
    EXPECT_EQ(count(h.prompter, "beep"), beeps + 1);
}

TEST(SuperCheckWindow, NoListFileLeavesANoteAndNoBox)
{
    Harness h(on20Cw(), kWorked);
    h.masterCallsSystemFile = h.dir.filePath("missing/MASTER.SCP");
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.superCheckCaption->text() != "Super check partial"; }, 10000));
    EXPECT_EQ(w.superCheckCaption->text(), "Super check partial: no master call list");
    EXPECT_TRUE(w.superCheckList->accessibleDescription().contains("MASTER.SCP was not found"));
    EXPECT_EQ(count(h.prompter, "message"), 0);  // no box at start-up
    typeKeys("K3L");
    EXPECT_TRUE(offered(w).isEmpty());
    EXPECT_EQ(w.callBox->text(), "K3L");
}
