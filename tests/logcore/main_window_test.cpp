#include "logcore/main_window.h"
#include "logcore/recent_contacts_model.h"
#include "outputs/station_window.h"
#include "test_support.h"
#include "window_harness.h"

#include "spotting/band_map_widget_ui.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zev;
using namespace zevtest;


TEST(MainWindowStart, LoadsPreferencesStationAndLog)
{
    Harness h;
    h.prompter.answers = {true};  // continue the existing log
    MainWindow &w = h.start();

    EXPECT_EQ(h.stationWindowShown, 1);
    EXPECT_EQ(h.endedWith, -1);
    EXPECT_EQ(h.prompter.titles(), QStringList{"Open existing log?"});
    EXPECT_EQ(w.messageLine->text(), "Select a band and mode. Click Log \"Time On\" below!");
    EXPECT_EQ(w.ownCallLabel->text(), "VE3XYZ");
    EXPECT_EQ(w.exchangeSentLabel->text(), "ON");
    EXPECT_EQ(w.modeLabel->text(), "PH");
    EXPECT_TRUE(w.phoneAction->isChecked());
    EXPECT_FALSE(w.cwAction->isChecked());
    EXPECT_EQ(w.bandLabel->text(), "40");
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(w.bandActions[size_t(b)]->isChecked(), b == 2) << b;
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_EQ(h.session->log.TotalPoints, 32);
    EXPECT_EQ(h.session->log.BackupBaseline, 3);
    EXPECT_EQ(w.contactsLabel->text(), "3");
    EXPECT_EQ(w.operatingTimeLabel->text(), "00:00:00");
    EXPECT_TRUE(w.editButton->isHidden());
    EXPECT_TRUE(w.deleteButton->isHidden());
    EXPECT_TRUE(w.spareLabel->isHidden());
    // Newest contact first.
    ASSERT_EQ(w.listModel->rowCount(), 3);
    EXPECT_EQ(w.listModel->index(0, 0).data().toString(), "3");
    EXPECT_EQ(w.listModel->index(0, 1).data().toString(), "VA3ZEV");
    EXPECT_EQ(w.listModel->index(2, 6).data().toString(), "07/01 18:04");
    // The prefix table was found in the shared folder and the call box looks calls up.
    EXPECT_GT(h.session->prefixes.PrefixCount(), 1000);
    QTest::keyClicks(w.callBox, "JA1ABC");
    EXPECT_EQ(w.countryLabel->text(), "Japan");
    EXPECT_EQ(w.continentLabel->text(), "AS");
    EXPECT_FALSE(w.headingLabel->text().isEmpty());
}

TEST(MainWindowStart, LowerCaseModeAndUnknownBand)
{
    Preferences p = Harness::basePrefs();
    p.CurrentMode = "cw";
    p.CurrentBand = "12";
    p.ListPreviousOn = 1;
    Harness h(p);
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    EXPECT_TRUE(w.cwAction->isChecked());
    EXPECT_FALSE(w.phoneAction->isChecked());
    for (QAction *a : w.bandActions)
        EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(w.bandLabel->text(), "160");
    EXPECT_TRUE(w.listPreviousAction->isChecked());
}

TEST(MainWindowStart, OutsideCanadaSendsTheNextSerialNumber)
{
    Preferences p = Harness::basePrefs();
    p.InCanada = 0;
    {
        Harness h(p);
        h.prompter.answers = {true};
        EXPECT_EQ(h.start().exchangeSentLabel->text(), "6");  // last record sent 5
    }
    {
        Harness h(p, QByteArray());
        h.prompter.answers = {true};
        EXPECT_EQ(h.start().exchangeSentLabel->text(), "1");
    }
}

TEST(MainWindowStart, StationWindowValuesAreStoredAndPublished)
{
    Harness h(DefaultPreferences(4), QByteArray());
    h.registry->setValue("UserCallSign", "VA3AAA");
    h.station = [](StationWindow &w) {
        EXPECT_EQ(w.Text1->text(), "VA3AAA");  // from the shared registry when the call is empty
        w.Text1->clear();
        QTest::keyClicks(w.Text1, "ve3abc/p");
        QTest::keyClicks(w.Text5, "bc");
        w.Text6->clear();
        QTest::keyClicks(w.Text6, "-7.5x");  // the letter is refused
        w.Text2->clear();
        w.Text2->setFocus();
        QTest::keyClicks(w.Text2, "can");
        EXPECT_EQ(w.Text2->text(), "Canada");
        EXPECT_EQ(w.Text2->selectedText(), "ada");
        EXPECT_EQ(w.Text7->text(), "NA");
        w.Text4->setText("not a number");
        QTest::keyClicks(w.Text8, "q\"rp");  // a quote would break the preference file
        w.Check1->setChecked(false);
        QTest::keyClick(w.Text8, Qt::Key_Return);
    };
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    const Preferences &p = h.session->prefs;
    EXPECT_EQ(p.MyCall, "VE3ABC/P");
    EXPECT_EQ(p.MyProvince, "BC");
    EXPECT_EQ(p.UtcOffsetHours, -7.5);
    EXPECT_EQ(p.MyCountry, "Canada");
    EXPECT_EQ(p.MyLatitude, 0);
    EXPECT_NE(p.MyLongitude, 0);
    EXPECT_EQ(p.MyPowerClass, "QRP");
    EXPECT_EQ(p.InCanada, 0);
    EXPECT_EQ(w.ownCallLabel->text(), "VE3ABC/P");
    EXPECT_EQ(w.exchangeSentLabel->text(), "1");
    EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")), p);
    const QByteArray shared = zevtest::ReadFile(h.folders.SharedFolder + "/SharedUserPreferences.xml");
    EXPECT_TRUE(shared.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<OWN_CALL>VE3ABC/P</OWN_CALL>\r\n"
                                  "<OWN_SPC>BC</OWN_SPC>\r\n<OWN_UTC>-7.5</OWN_UTC>\r\n"))
        << shared.toStdString();
    EXPECT_TRUE(shared.contains("<OWN_LATITUDE>0</OWN_LATITUDE>\r\n<OWN_PROVINCE>BC</OWN_PROVINCE>\r\n"
                                "<OWN_CONTINENT>NA</OWN_CONTINENT>\r\n"));
}

TEST(MainWindowStart, OffsetThatIsNotANumberCannotBeLeftOrAccepted)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    StationWindow w(*h.session);
    w.show();
    QApplication::setActiveWindow(&w);
    w.Text6->setFocus();
    w.Text6->setText("-");
    h.prompter.asked.clear();
    w.Text1->setFocus();
    QCoreApplication::processEvents();
    // A beep, and a message that says what the box takes.
    ASSERT_EQ(h.prompter.asked.size(), 2);
    EXPECT_EQ(h.prompter.asked.value(0).kind, "beep");
    EXPECT_EQ(h.prompter.asked.value(1).title, "Invalid UTC Offset");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.Text6->hasFocus(); }, 1000));
    // "Done" refuses too, and the window stays open.
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_NE(w.result(), QDialog::Accepted);
    // Enter in the box itself stores 0.
    QTest::keyClick(w.Text6, Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.Text6->text(), "0");
}

TEST(MainWindowStart, CountryCompletionOffersTheEntryNearestTheEnd)
{
    Harness h;
    h.prompter.answers = {true};
    h.start();
    StationWindow w(*h.session);
    w.show();
    w.Text2->clear();
    w.Text2->setFocus();
    QTest::keyClicks(w.Text2, "Un");
    // Several entities start with "Un"; the last in the table wins.
    const auto &entries = h.session->prefixes.entries;
    QString expected;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->CountryName.startsWith("Un")) {
            expected = it->CountryName;
            break;
        }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(w.Text2->text(), expected);
    EXPECT_EQ(w.Text2->selectedText(), expected.mid(2));
    // Nothing starts with "Unx": the character is typed as it is, replacing the selection.
    QTest::keyClicks(w.Text2, "x");
    EXPECT_EQ(w.Text2->text(), "Unx");
}

TEST(MainWindowStart, DamagedLogShowsFileErrorAndEndsWithoutTouchingIt)
{
    QByteArray damaged = kThreeContacts;
    damaged.replace("\"W1AW\",", "\"W1AW,");
    Harness h(Harness::basePrefs(), damaged);
    h.prompter.answers = {true};
    h.start();
    EXPECT_EQ(h.endedWith, 1);
    EXPECT_TRUE(h.session->ended);
    ASSERT_EQ(h.prompter.asked.size(), 2);
    EXPECT_EQ(h.prompter.asked[1].title, "File Error");
    EXPECT_EQ(h.prompter.asked[1].text, MainWindow::fileErrorText());
    // The lost quote shifts every later value; reading fails when the file runs out.
    EXPECT_TRUE(h.prompter.asked[1].detail.contains("record 3")) << h.prompter.asked[1].detail.toStdString();
    EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")), damaged);
    // Ending this way makes no backup.
    h.window->close();
    EXPECT_TRUE(h.backups().isEmpty());
}

TEST(MainWindowStart, DamagedPreferencesStopTheLoadButTheLogIsRead)
{
    Harness h;
    zevtest::WriteFile(h.folders.work("zevpref.txt"), "\"VE3XYZ\"\r\n\"ON\"\r\n\"five\"\r\n");
    MainWindow &w = h.start();
    ASSERT_EQ(h.prompter.asked.size(), 1);
    const QString text = h.prompter.asked[0].text;
    EXPECT_TRUE(text.startsWith("Error opening file")) << text.toStdString();
    // Which file, line and value, and what to do, in the box's own text.
    EXPECT_TRUE(text.contains("zevpref.txt, line 3: \"five\" is not a number")) << text.toStdString();
    EXPECT_TRUE(text.contains("hours added for UTC")) << text.toStdString();
    EXPECT_TRUE(text.contains("delete the file")) << text.toStdString();
    EXPECT_EQ(h.prompter.asked[0].title, "Error opeining file");
    EXPECT_EQ(h.stationWindowShown, 0);
    EXPECT_EQ(h.endedWith, -1);
    EXPECT_EQ(h.session->prefs.MyCall, "VE3XYZ");

    // Memory mirrors the file: a new contact is number 4 and nothing earlier is lost.
    ASSERT_EQ(h.session->log.RecordCount(), 3);
    h.activate();
    w.callBox->setText("VE7ABC");
    w.reportRcvdBox->setText("59");
    w.exchangeBox->setText("BC");
    w.reportSentBox->setText("59");
    w.Mains();
    ASSERT_EQ(h.session->log.RecordCount(), 4);
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(h.folders.work("log.txt"), onDisk).ok);
    ASSERT_EQ(onDisk.size(), 4u);
    EXPECT_EQ(onDisk[0].Call, "VE3XYZ");
    EXPECT_EQ(onDisk[3].Call, "VE7ABC");
}

TEST(MainWindowStart, NewLogNeedsTypedYes)
{
    struct Case {
        const char *answer;
        bool erased;
    };
    for (const Case c : {Case{"yes", true}, Case{"YES", true}, Case{"y", false}, Case{"", false}}) {
        Preferences p = Harness::basePrefs();
        p.OperatingSeconds = 3600;
        Harness h(p);
        h.prompter.answers = {false, QString(c.answer)};
        h.start();
        EXPECT_EQ(h.endedWith, -1);
        ASSERT_GE(h.prompter.asked.size(), 2);
        EXPECT_EQ(h.prompter.asked[1].title, "WARNING - Your existing log file will be ERASED!");
        EXPECT_EQ(h.session->log.RecordCount(), c.erased ? 0 : 3) << c.answer;
        EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")), c.erased ? QByteArray() : kThreeContacts);
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).OperatingSeconds, c.erased ? 0 : 3600);
        EXPECT_EQ(h.window->operatingTimeLabel->text(), c.erased ? "00:00:00" : "01:00:00");
        // The erased log is kept as a backup even though it was never loaded.
        EXPECT_EQ(h.backups().size(), c.erased ? 1 : 0) << c.answer;
        if (c.erased) {
            EXPECT_EQ(zevtest::ReadFile(h.folders.BackupFolder() + "/" + h.backups()[0]), kThreeContacts);
        }
    }
}

TEST(MainWindowEnd, ClosingBacksUpAChangedLogAndExitDoesNot)
{
    ContactRecord r = sampleContact();
    {
        Harness h;
        h.prompter.answers = {true};
        MainWindow &w = h.start();
        w.close();
        EXPECT_TRUE(h.backups().isEmpty());  // nothing changed
    }
    {
        Harness h;
        h.prompter.answers = {true};
        MainWindow &w = h.start();
        ASSERT_TRUE(w.LogContact(r));
        EXPECT_EQ(h.session->log.RecordCount(), 4);
        w.close();
        EXPECT_EQ(h.backups(), QStringList{"200907011404.log"});
        EXPECT_EQ(zevtest::ReadFile(h.folders.BackupFolder() + "/200907011404.log"),
                  kThreeContacts + RecordLine(r) + "\r\n");
    }
    {
        Harness h;
        h.prompter.answers = {true};
        MainWindow &w = h.start();
        ASSERT_TRUE(w.LogContact(r));
        h.session->TimeOnActive = true;
        h.session->RunningSeconds = 125;
        w.mnuExit_Click();
        EXPECT_EQ(h.endedWith, 0);
        EXPECT_FALSE(h.session->TimeOnActive);
        EXPECT_EQ(readPrefs(h.folders.work("zevpref.txt")).OperatingSeconds, 125);
        w.close();
        EXPECT_TRUE(h.backups().isEmpty());
    }
}

TEST(MainWindowLog, ContactThatCannotBeStoredIsNotCounted)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    ContactRecord r;
    r.Call = "VE9AA";
    r.Points = 10;

    // The disk refuses the line: a folder stands where the log was.
    QFile::remove(h.folders.work("log.txt"));
    QDir().mkdir(h.folders.work("log.txt"));
    h.prompter.asked.clear();
    EXPECT_FALSE(w.LogContact(r));
    EXPECT_EQ(h.session->log.RecordCount(), 3);
    EXPECT_EQ(h.session->log.TotalPoints, 32);
    ASSERT_EQ(h.prompter.asked.size(), 1);
    EXPECT_EQ(h.prompter.asked[0].title, "Contact Not Logged");
}

TEST(MainWindowLog, TheElevenThousandAndFirstContactIsRefused)
{
    QByteArray full;
    for (int i = 0; i < kLogCapacity; ++i)
        full += "\"K1A\",\"599\",\"\",\"599\",\"12\",\"2009/07/01\",\"18:00:00\",\"CW\",\"20\",2,\"\",\"USA\"\r\n";
    Harness h(Harness::basePrefs(), full);
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    ASSERT_EQ(h.session->log.RecordCount(), kLogCapacity);
    ContactRecord r;
    r.Call = "VE9AA";
    h.prompter.asked.clear();
    EXPECT_FALSE(w.LogContact(r));
    EXPECT_EQ(h.session->log.RecordCount(), kLogCapacity);
    EXPECT_EQ(zevtest::ReadFile(h.folders.work("log.txt")).size(), full.size());
    ASSERT_EQ(h.prompter.asked.size(), 1);
    EXPECT_EQ(h.prompter.asked[0].title, "Log Full");
}

TEST(MainWindowLayout, EveryControlIsNamedAndAnnounced)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    EXPECT_TRUE(w.windowTitle().startsWith("Velko's ZEV Contest Log 1.9   "));
    const std::pair<const char *, const char *> inputs[] = {
        {"txtCall", "Call"},       {"txtRSTR", "RS(T) Rc"},       {"txtCntry", "Prov / Ser"},
        {"txtRSTS", "RS(T) Sn"},   {"txtSec", "OBEL/PWR"},        {"cmdClear", "Clear"},
        {"cmdEdit", "Edit Contact"}, {"cmdDelete", "Delete Contact"}, {"ListView1", "Recent Contacts"},
    };
    for (const auto &[name, accessible] : inputs) {
        QWidget *c = w.findChild<QWidget *>(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->accessibleName(), accessible) << name;
    }
    const std::pair<const char *, const char *> values[] = {
        {"Label4", "Country"}, {"Label22", "Bearing"}, {"Label23", "Miles"}, {"lblTotScore", "Total Score"},
        {"lblutctime", "UTC TIME"}, {"lblttrack", "Operating Time"}, {"lblDupe", "Possible Duplicates"},
    };
    for (const auto &[name, description] : values) {
        auto *l = w.findChild<QLabel *>(name);
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->accessibleDescription(), description) << name;
        EXPECT_EQ(l->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_EQ(w.findChild<QLineEdit *>("txtSec")->toolTip(), "Enter power followed by W");
    EXPECT_EQ(w.bandLabel->toolTip(), "Click to change bands.");
    for (const char *row : {"lblM160", "lblM80", "lblM40", "lblM20", "lblM15", "lblM10", "lblM6", "lblM2"}) {
        const QList<QLabel *> cells = w.findChildren<QLabel *>(row);
        ASSERT_EQ(cells.size(), 13) << row;
        for (QLabel *c : cells) {
            const int k = c->property("index").toInt();
            EXPECT_EQ(c->text(), ProvinceTable()[size_t(k)].abbreviation);
            EXPECT_EQ(c->toolTip(), ProvinceTable()[size_t(k)].name);
        }
    }
    // The band map paints its spots; the screen reader knows the map by its name.
    EXPECT_EQ(w.bandMap->accessibleName(), "Band Map");
}

TEST(MainWindowLayout, MenusInOrderWithAccelerators)
{
    Harness h;
    h.prompter.answers = {true};
    MainWindow &w = h.start();
    QStringList top;
    for (QAction *a : w.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{"&File", "&Options", "&Setup", "&Band", "&Mode", "&Graph", "&Help"}));

    auto entries = [&](const char *menuName) {
        QStringList out;
        for (QAction *a : w.findChild<QMenu *>(menuName)->actions())
            out << (a->isSeparator() ? "-" : a->text());
        return out;
    };
    EXPECT_EQ(entries("mnuFile"),
              (QStringList{"&New", "-", "Archive Current &Log", "-", "&Restore from Archive or Backup", "-", "&Open",
                           "&Write Summary File", "-", "E&xport for Kestro Import", "Export &ADIF File", "-",
                           "&Copy Listed Items to Clipboard", "-", "&Exit"}));
    EXPECT_EQ(entries("mnuOptions"),
              (QStringList{"&Transmit", "-", "&Appearance", "-", "&Rig Interface", "-", "&DX Spotting", "&Network",
                           "-", "&Voice Navigation", "-", "&List Previous Contacts", "-", "&Post Contest Mode"}));
    EXPECT_EQ(entries("mnuTransmit"), (QStringList{"&CW Setup", "&Voice Setup"}));
    EXPECT_EQ(entries("mnuAppearance"), (QStringList{"&Form Size", "&Colors", "&Taskbar"}));
    EXPECT_EQ(entries("mnuDXSpottingMain"), (QStringList{"&Configure", "&View Spectrum Map"}));
    EXPECT_EQ(entries("mnuBand"), (QStringList{"160", "80", "40", "20", "15", "10", "6", "2", "-", "&Privileges"}));
    EXPECT_EQ(entries("mnuMode"), (QStringList{"&CW", "&PH"}));
}

TEST(OperatingTime, ShownAsTwoDigitParts)
{
    EXPECT_EQ(OperatingTimeText(0), "00:00:00");
    EXPECT_EQ(OperatingTimeText(3605), "01:00:05");
    EXPECT_EQ(OperatingTimeText(59.9), "00:00:59");
    EXPECT_EQ(OperatingTimeText(100 * 3600 + 61), "00:01:01");  // hours beyond 99 keep two digits
}
