// Pasting into the boxes of the main, edit and station windows, through the clipboard
// and Ctrl+V as the operator does it.

#include "logcore/edit_contact_window.h"
#include "logcore/recent_contacts_model.h"
#include "outputs/cabrillo.h"
#include "window_harness.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace zevtest;

namespace {

void pasteInto(QLineEdit *box, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

int beeps(const ScriptedPrompter &p)
{
    int n = 0;
    for (const Asked &a : p.asked)
        n += a.kind == "beep";
    return n;
}

Preferences cwOn20()
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "CW";
    p.CurrentBand = "20";
    return p;
}

struct PasteCase {
    const char *box;
    QString pasted;
    QString kept;
    bool refused;  // a character outside Latin-1 was turned away, with a beep
};

// Pastes each case into its box of `window`; `after` checks more of a case.
template <size_t N>
void checkPastes(QWidget &window, ScriptedPrompter &prompter, const PasteCase (&cases)[N],
                 const std::function<void(const PasteCase &)> &after = {})
{
    for (const PasteCase &c : cases) {
        auto *box = window.findChild<QLineEdit *>(c.box);
        ASSERT_NE(box, nullptr) << c.box;
        prompter.asked.clear();
        pasteInto(box, c.pasted);
        EXPECT_EQ(box->text(), c.kept) << c.box << " " << c.pasted.left(20).toStdString();
        EXPECT_EQ(beeps(prompter) > 0, c.refused) << c.box << " " << c.pasted.left(20).toStdString();
        if (after)
            after(c);
    }
}

}  // namespace

TEST(PasteRules, MainWindowBoxesKeepWhatTypingWould)
{
    Harness h(cwOn20());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    w.mnuPostContest_Click();
    const PasteCase cases[] = {
        {"txtCall", "ve3abc\r\n", "VE3ABC", false},
        {"txtCall", QString::fromUtf8("v\u00e93abc"), QString::fromUtf8("V\u00c93ABC"), false},
        {"txtCall", "VE3ABC" + QString(20000, QLatin1Char('X')), "VE3ABC" + QString(14, QLatin1Char('X')), false},
        // Refused whole: the box keeps what it held, not a call that merely looks right.
        {"txtCall", QString::fromUtf8("VE3\u0416AB"), "VE3ABC" + QString(14, QLatin1Char('X')), true},
        {"txtRSTR", "5a9 9\r\n", "599", false},
        {"txtRSTS", "579579", "579", false},
        {"txtCntry", "on\r\n", "ON", false},
        {"txtCntry", "\"ON\"", "ON", false},
        {"txtCntry", "123456789012345", "1234567890", false},
        {"txtSec", "100 w\r\n", "100W", false},
        {"txtPostConDate", "2009/06/30\r\n", "2009/06/30", false},
        {"txtPostConTime", "18:05:00:00\r\n", "18:05:00", false},
    };
    checkPastes(w, h.prompter, cases, [&w](const PasteCase &c) {
        // The refusal is said on the message line too, where a screen reader hears it.
        if (c.refused) {
            EXPECT_EQ(w.messageLine->text(), "Pasted text refused: it holds characters the log cannot store.");
        }
    });
    // Whoever reads the box sees only the clean text.
    pasteInto(w.callBox, "k1abc\r\n");
    EXPECT_EQ(h.session->entry.call(), "K1ABC");

    // On phone a pasted report is cut like a typed one.
    w.SelectMode("PH");
    pasteInto(w.reportRcvdBox, "579");
    EXPECT_EQ(w.reportRcvdBox->text(), "57");
}

TEST(PasteRules, APastedLineBreakNeverSplitsARecordOrAQsoLine)
{
    Harness h(cwOn20());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    pasteInto(w.callBox, "VE3ABC\r\n");
    pasteInto(w.reportRcvdBox, "599\r\n");
    pasteInto(w.exchangeBox, "qc\r\n");
    pasteInto(w.reportSentBox, "579\r\n");
    QTest::keyClick(w.reportSentBox, Qt::Key_Return);
    ASSERT_EQ(h.session->log.RecordCount(), 4);

    const QList<QByteArray> lines = ReadFile(h.folders.work("log.txt")).split('\n');
    ASSERT_EQ(lines.size(), 5);  // four records and nothing after the last line end
    EXPECT_EQ(lines[3], "\"VE3ABC\",\"599\",\"\",\"579\",\"QC\",\"2009/07/01\",\"18:04:27\",\"CW\",\"20\",10,\"\","
                        "\"Canada\"\r");

    const QByteArray cabrillo = CabrilloText({}, {"VE3XYZ", "ON", true}, h.session->log.records());
    QList<QByteArray> qso;
    for (const QByteArray &line : cabrillo.split('\n'))
        if (line.contains("VE3ABC"))
            qso.append(line);
    ASSERT_EQ(qso.size(), 1);
    EXPECT_EQ(qso[0].simplified().split(' ').size(), 11) << qso[0].toStdString();
}

TEST(PasteRules, EditWindowBoxesKeepWhatTypingWould)
{
    Harness h(cwOn20());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    EditContactWindow e(*h.session, 1, {}, &w);
    e.show();
    QApplication::setActiveWindow(&e);
    const PasteCase cases[] = {
        {"txtEditCall", "ve3xyz\r\n", "VE3XYZ", false},
        {"txtEditCall", QString::fromUtf8("VE3\u0416XYZ"), "VE3XYZ", true},  // the box keeps its text
        {"txtEditNum", "5 7\r\n", "57", false},
        {"txtEditCk", "5nn9", "5NN", false},
        {"txtEditPre", "qc\r\n", "QC", false},
        {"txtEditSec", "1234567890123", "1234567890", false},
        {"txtEditDate", "2009/07/02\r\n", "2009/07/02", false},
        {"txtEditTime", "18:05:00\r\n", "18:05:00", false},
        {"txtEditBnd", "cw\r\n", "CW", false},
        {"Text1", "15\r\n", "15", false},
        {"Text2", "1,000\r\n", "1000", false},
    };
    checkPastes(e, h.prompter, cases);
    e.cmdDone_Click();
    ASSERT_TRUE(e.edited().has_value());
    const ContactRecord &r = *e.edited();
    EXPECT_EQ(r.Call, "VE3XYZ");
    EXPECT_EQ(r.ReportSent, "57");
    EXPECT_EQ(r.ReportRcvd, "5NN");
    EXPECT_EQ(r.ExchangeRcvd, "QC");
    EXPECT_EQ(r.SerialSent, "1234567890");
    EXPECT_EQ(r.QsoDate, "2009/07/02");
    EXPECT_EQ(r.Mode, "CW");
    EXPECT_EQ(r.Band, "15");
    EXPECT_EQ(r.Points, 1000);
}

TEST(PasteRules, StationWindowBoxesKeepWhatTypingWould)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    StationWindow w(*h.session);
    w.show();
    QApplication::setActiveWindow(&w);
    const PasteCase cases[] = {
        {"Text1", "ve3abc\r\n", "VE3ABC", false},
        {"Text5", "on\r\n", "ON", false},
        {"Text6", "-3.5\r\n", "-3.5", false},
        {"Text2", "Cote d'Ivoire\r\n", "Cote d'Ivoire", false},
        {"Text2", QString::fromUtf8("\u0395\u03bb\u03bb\u03ac\u03b4\u03b1"), "Cote d'Ivoire", true},
        {"Text3", "-75.5\r\n", "-75.5", false},
        {"Text4", "45.4 \"N\"", "45.4 N", false},
        {"Text7", "na\r\n", "NA", false},
        {"Text8", "qrp \"5 w\"\r\n", "QRP 5 W", false},
        {"Text8", QString(100, QLatin1Char('1')), QString(20, QLatin1Char('1')), false},
    };
    checkPastes(w, h.prompter, cases);
}

TEST(EditContact, PointsShowTheRecordAsItIsAndOnlyTypedTextIsFiltered)
{
    ContactRecord r;
    r.Call = "VE3AA";
    r.ReportRcvd = r.ReportSent = "59";
    r.ExchangeRcvd = "ON";
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:10:00";
    r.Mode = "PH";
    r.Band = "20";
    r.Points = 2.5;
    Harness h(Harness::basePrefs(), RecordLine(r) + "\r\n");
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    {
        EditContactWindow e(*h.session, 1, {}, &w);
        e.show();
        QApplication::setActiveWindow(&e);
        EXPECT_EQ(e.Text2->text(), "2.5");
        e.Text2->setFocus();
        e.Text2->end(false);
        QTest::keyClicks(e.Text2, "x");
        EXPECT_EQ(e.Text2->text(), "2.5");
    }
    h.otherModal = [](QDialog &d) { dynamic_cast<EditContactWindow &>(d).cmdDone_Click(); };
    w.contactList->setCurrentIndex(w.listModel->index(0, 0));
    w.cmdEdit_Click();
    EXPECT_EQ(h.session->log.record(1).Points, 2.5);
}

TEST(EditContact, BadBandOrModeIsRefusedOnDoneAndOnEnter)
{
    struct Case {
        const char *box;
        const char *typed;
        bool enter;  // Enter in the box, else a click on "Done"
    };
    const Case cases[] = {
        {"Text1", "21", true},
        {"Text1", "21", false},
        {"txtEditBnd", "xx", true},
        {"txtEditBnd", "xx", false},
    };
    Harness h(cwOn20());
    h.prompter.answers = {true};
    h.start();
    MainWindow &w = h.activate();
    for (const Case &c : cases) {
        EditContactWindow e(*h.session, 2, {}, &w);
        e.show();
        QApplication::setActiveWindow(&e);
        auto *box = e.findChild<QLineEdit *>(c.box);
        QLabel *marker = box == e.Text1 ? e.lblBandInvalid : e.lblModeInvalid;
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, c.typed);
        h.prompter.asked.clear();
        if (c.enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(e.cmdDone, Qt::LeftButton);
        EXPECT_NE(e.result(), QDialog::Accepted) << c.box << c.enter;
        EXPECT_FALSE(e.edited().has_value()) << c.box << c.enter;
        EXPECT_FALSE(marker->isHidden()) << c.box << c.enter;
        EXPECT_EQ(marker->text(), "   Invalid!");
        EXPECT_GE(beeps(h.prompter), 1) << c.box << c.enter;
        EXPECT_EQ(beeps(h.prompter), h.prompter.asked.size()) << "only beeps, no message box";
        EXPECT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }, 1000)) << c.box << c.enter;
        EXPECT_EQ(h.session->log.record(2).Band, "20");
        EXPECT_EQ(h.session->log.record(2).Mode, "CW");

        // Corrected, the same key stores it.
        box->selectAll();
        QTest::keyClicks(box, box == e.Text1 ? "15" : "ph");
        if (c.enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(e.cmdDone, Qt::LeftButton);
        EXPECT_EQ(e.result(), QDialog::Accepted) << c.box << c.enter;
        EXPECT_TRUE(marker->isHidden()) << c.box << c.enter;
    }
}
