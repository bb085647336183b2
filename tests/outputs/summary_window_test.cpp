#include "outputs/summary_window.h"
#include "outputs_harness.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::Contact;

namespace {

const QString kTitle = QStringLiteral("Velko's ZEV Contest Log 1.9");

struct SummaryRun : zevtest::ExportHarness {
    std::unique_ptr<SummaryWindow> window;

    SummaryRun()
    {
        registry->setValue(QStringLiteral("UserAddressName"), QStringLiteral("  Pat Example "));
        registry->setValue(QStringLiteral("UserAddressLine1"), QStringLiteral("1 Main St"));
        registry->setValue(QStringLiteral("UserAddressLine2"), QStringLiteral("Ottawa ON "));
        registry->setValue(QStringLiteral("UserEMail"), QStringLiteral("pat@example.org"));
        registry->setValue(QStringLiteral("UserClubName"), QStringLiteral(" Ottawa Valley ARC"));
        s().prefs.MyCall = QStringLiteral(" VE3XYZ ");
        s().log.setRecords({Contact(QStringLiteral("VE3ABC"), QStringLiteral("QC")),
                            Contact(QStringLiteral("VE7ABC"), QStringLiteral("BC"), QStringLiteral("40"))});
        window = std::make_unique<SummaryWindow>(s(), kTitle, QStringLiteral("1,234"));
    }

    template <class T> T *control(const char *name)
    {
        T *c = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString sharedPrefsFile() const { return folders.SharedFolder + "/SharedUserPreferences.xml"; }
    QString registryValue(const char *name) const { return registry->value(QLatin1String(name)); }
};

}  // namespace

TEST(SummaryWindow, OpensWithTheDefaultsAndTheRememberedDetails)
{
    SummaryRun h;
    SummaryWindow &w = *h.window;
    EXPECT_EQ(w.objectName(), "Form2");
    EXPECT_EQ(w.windowTitle(), "Summary Sheet Information");
    for (const char *name : {"Option15", "Option6", "Option5"})
        EXPECT_TRUE(h.control<QRadioButton>(name)->isChecked()) << name;
    EXPECT_EQ(h.control<QRadioButton>("Option15")->text(), "ZEV Canada Day Contest");
    EXPECT_EQ(h.control<QRadioButton>("Option12")->text(), "ZEV Canada Winter Contest");
    EXPECT_EQ(h.control<QRadioButton>("Option10")->text(), "Multi Op Multi Transmitter");
    EXPECT_EQ(h.control<QPushButton>("Command3")->text(), "Done");
    EXPECT_EQ(h.control<QPushButton>("Command4")->text(), "Write Cabrillo File");
    EXPECT_EQ(h.control<QLineEdit>("Text1")->text(), " VE3XYZ  ");
    EXPECT_EQ(h.control<QLineEdit>("Text2")->text(), " Ottawa Valley ARC");
    EXPECT_EQ(h.control<QLineEdit>("Text5")->text(), "  Pat Example ");
    EXPECT_EQ(h.control<QLineEdit>("Text6")->text(), "1 Main St");
    EXPECT_EQ(h.control<QLineEdit>("Text7")->text(), "Ottawa ON ");
    EXPECT_EQ(h.control<QLineEdit>("Text8")->text(), "pat@example.org");
    EXPECT_EQ(h.control<QLineEdit>("Text11")->text(), "");
    EXPECT_EQ(h.control<QLineEdit>("Text11")->accessibleName(),
              "Soapbox (Add any comments you would like to make about the contest):");

    // Every control a screen reader reaches can be told apart by its name.
    QStringList unnamed;
    const auto controls = w.findChildren<QWidget *>();
    for (QWidget *c : controls)
        if ((qobject_cast<QRadioButton *>(c) || qobject_cast<QLineEdit *>(c) || qobject_cast<QPushButton *>(c))
            && c->accessibleName().isEmpty())
            unnamed << c->objectName();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(w.findChildren<QRadioButton *>().size(), 2 + 2 + 10 + 9);
}

TEST(SummaryWindow, LettersTypedAsOperatorsAreCapitals)
{
    SummaryRun h;
    QLineEdit *ops = h.control<QLineEdit>("Text1");
    ops->setText(QString());
    QTest::keyClicks(ops, "ve3abc/p 2");
    EXPECT_EQ(ops->text(), "VE3ABC/P 2");
}

TEST(SummaryWindow, WriteCabrilloFileWritesTheAnsweredPathAndRemembersTheDetails)
{
    SummaryRun h;
    h.window->show();
    QApplication::setActiveWindow(h.window.get());
    const QString out = h.path("VE3XYZ.log");
    h.prompter.answers = {out};
    h.window->optCabrillo2->click();
    h.window->Command4_Click();

    ASSERT_EQ(h.prompter.asked.size(), 2);
    EXPECT_EQ(h.prompter.asked[0].kind, "save");
    EXPECT_EQ(h.prompter.asked[0].text, h.folders.ProgramDataFolder + "/VE3XYZ.log");
    EXPECT_EQ(h.prompter.asked[1].kind, "message");
    EXPECT_EQ(h.prompter.asked[1].text,
              "The file was successfully written to the directory:\n\n" + out +
                  ".\n\nAttach this file to an e-mail addressed for contest submission.  If you wish to print "
                  "this file, you can open it with Notepad or Wordpad to print.");
    EXPECT_EQ(h.prompter.asked[1].title, "File Written Successfully.");
    EXPECT_EQ(h.s().prefs.MyCall, "VE3XYZ");

    const QList<QByteArray> lines = zevtest::Lines(zevtest::ReadFile(out));
    ASSERT_EQ(lines.size(), 13 + 2 + 2);
    EXPECT_EQ(lines[1], "CREATED-BY: Velko's ZEV Contest Log 1.9");
    EXPECT_EQ(lines[2], "CALLSIGN: VE3XYZ");
    EXPECT_EQ(lines[3], "CONTEST: CANADA DAY");
    EXPECT_EQ(lines[4], "CATEGORY: SINGLE-OP All HIGH");
    EXPECT_EQ(lines[5], "CLAIMED-SCORE: 1234");
    EXPECT_EQ(lines[6], "CLUB:  Ottawa Valley ARC");
    EXPECT_EQ(lines[11], "OPERATORS:  VE3XYZ  ");
    EXPECT_TRUE(lines[13].startsWith("QSO: 14000 CW 2013-07-01 1805 VE3XYZ        599 ON     VE3ABC"))
        << lines[13].constData();
    EXPECT_EQ(lines[15], "END-OF-LOG:");
    EXPECT_EQ(QApplication::focusWidget(), h.window->Command3);

    EXPECT_EQ(h.registryValue("UserAddressName"), "Pat Example");
    EXPECT_EQ(h.registryValue("UserAddressLine1"), "1 Main St");
    EXPECT_EQ(h.registryValue("UserAddressLine2"), "Ottawa ON");
    EXPECT_EQ(h.registryValue("UserEMail"), "pat@example.org");
    EXPECT_EQ(h.registryValue("UserClubName"), "Ottawa Valley ARC");
    EXPECT_EQ(zevtest::ReadFile(h.sharedPrefsFile()),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                         "<OWN_ADDRESS_NAME>Pat Example</OWN_ADDRESS_NAME>\r\n"
                         "<OWN_ADDRESS_LINE1>1 Main St</OWN_ADDRESS_LINE1>\r\n"
                         "<OWN_ADDRESS_LINE2>Ottawa ON</OWN_ADDRESS_LINE2>\r\n"
                         "<OWN_EMAIL>pat@example.org</OWN_EMAIL>\r\n"
                         "<OWN_CLUB_NAME>Ottawa Valley ARC</OWN_CLUB_NAME>\r\n"));
}

TEST(SummaryWindow, CancelWritesNothingAndSaysNothing)
{
    SummaryRun h;
    h.prompter.answers = {std::monostate{}};
    h.window->Command4_Click();
    ASSERT_EQ(h.prompter.asked.size(), 1);
    EXPECT_EQ(h.prompter.asked[0].kind, "save");
    EXPECT_FALSE(QFile::exists(h.folders.ProgramDataFolder + "/VE3XYZ.log"));
    EXPECT_EQ(h.registryValue("UserAddressName"), "  Pat Example ");
    EXPECT_FALSE(QFile::exists(h.sharedPrefsFile()));
}

TEST(SummaryWindow, UnwritablePathIsReportedAndNothingIsStored)
{
    SummaryRun h;
    const QString out = h.path("no such folder/VE3XYZ.log");
    h.prompter.answers = {out};
    h.window->Command4_Click();
    QStringList kinds;
    for (const zevtest::Asked &a : h.prompter.asked)
        kinds << a.kind;
    EXPECT_EQ(kinds, (QStringList{"save", "beep", "message"}));
    EXPECT_EQ(h.prompter.asked.last().title, "Unable to write file.");
    EXPECT_FALSE(h.prompter.asked.last().text.isEmpty());
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(h.registryValue("UserAddressName"), "  Pat Example ");
    EXPECT_EQ(h.registryValue("UserClubName"), " Ottawa Valley ARC");
    EXPECT_FALSE(QFile::exists(h.sharedPrefsFile()));
}

TEST(SummaryWindow, SharedPreferencesThatCannotBeWrittenAreReportedNotFatal)
{
    SummaryRun h;
    h.s().shared.SharedPrefsPath = h.folders.SharedFolder;  // a folder: the write must fail
    const QString out = h.path("VE3XYZ.log");
    h.prompter.answers = {out};
    h.window->Command4_Click();
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_EQ(h.registryValue("UserClubName"), "Ottawa Valley ARC");
    ASSERT_EQ(h.prompter.asked.size(), 3);
    EXPECT_EQ(h.prompter.asked[1].title, "File Written Successfully.");
    EXPECT_EQ(h.prompter.asked[2].kind, "message");
    EXPECT_EQ(h.prompter.asked[2].title, "Shared Preferences Not Saved");
}

TEST(SummaryWindow, ChoicesGiveTheContestAndCategoryWords)
{
    struct Case {
        const char *contest, *category, *band, *contestLine, *categoryLine;
    };
    const Case cases[] = {
        {"Option15", "Option6", "Option5", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP All HIGH"},
        {"Option12", "Option2", "Option5", "CONTEST: CANADA WINTER", "CATEGORY: SINGLE-OP All LOW"},
        {"Option15", "Option9", "Option5", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP All QRP"},
        {"Option15", "Option1", "Option8", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP 160 HIGH"},
        {"Option15", "Option4", "Option11", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP 80 LOW"},
        {"Option15", "Option20", "Option13", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP 40 CW"},
        {"Option15", "Option21", "Option14", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP 20 PH"},
        {"Option12", "Option3", "Option16", "CONTEST: CANADA WINTER", "CATEGORY: MULTI-ONE 15 HIGH"},
        {"Option15", "Option7", "Option17", "CONTEST: CANADA DAY", "CATEGORY: MULTI-ONE 10 LOW"},
        {"Option15", "Option10", "Option18", "CONTEST: CANADA DAY", "CATEGORY: MULTI-MULTI 6 HIGH"},
        {"Option15", "Option6", "Option19", "CONTEST: CANADA DAY", "CATEGORY: SINGLE-OP 2 HIGH"},
    };
    for (const Case &c : cases) {
        SummaryRun h;
        h.window->optCabrillo2->click();
        for (const char *name : {c.contest, c.category, c.band})
            h.control<QRadioButton>(name)->click();
        const QString out = h.path("out.log");
        h.prompter.answers = {out};
        h.window->Command4_Click();
        const QList<QByteArray> lines = zevtest::Lines(zevtest::ReadFile(out));
        ASSERT_GT(lines.size(), 4) << c.category;
        EXPECT_EQ(lines[3], c.contestLine) << c.contest;
        EXPECT_EQ(lines[4], c.categoryLine) << c.category << " " << c.band;
    }
}

TEST(SummaryWindow, DoneOnlyHides)
{
    SummaryRun h;
    h.window->show();
    h.control<QPushButton>("Command3")->click();
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_TRUE(h.prompter.asked.isEmpty());
    EXPECT_FALSE(QFile::exists(h.sharedPrefsFile()));
}
