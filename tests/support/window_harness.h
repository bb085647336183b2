#pragma once
// A prepared working folder, a session on it and the main window, answered by a script.

#include "logcore/main_window.h"
#include "logcore/recent_contacts_model.h"
#include "outputs/station_window.h"
#include "rig/rig_settings.h"
#include "station/station.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zevtest {

using namespace zev;

inline const QByteArray kThreeContacts =
    "\"VE3XYZ\",\"59\",\"\",\"59\",\"ON\",\"2009/07/01\",\"18:04:27\",\"PH\",\"20\",10,\"\",\"Canada\"\r\n"
    "\"W1AW\",\"599\",\"4\",\"599\",\"12\",\"2009/07/01\",\"18:06:01\",\"CW\",\"20\",2,\"14.025\",\"USA\"\r\n"
    "\"VA3ZEV\",\"599\",\"5\",\"599\",\"ON\",\"2009/07/01\",\"18:09:44\",\"CW\",\"40\",20,\"7.025\",\"Canada\"\r\n";

struct Harness {
    QTemporaryDir dir;
    Folders folders;
    ScriptedPrompter prompter;
    zevtest::FakeClock clock;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<Session> session;
    std::unique_ptr<Station> stationLinks;
    std::unique_ptr<MainWindow> window;
    int endedWith = -1;
    int stationWindowShown = 0;
    std::function<void(StationWindow &)> station = [](StationWindow &w) { w.Done(); };
    // Any other modal window: left to the test, closed unanswered by default.
    std::function<void(QDialog &)> otherModal = [](QDialog &) {};
    // The system's master call list; none unless a test names one.
    QString masterCallsSystemFile;

    explicit Harness(const Preferences &prefs = basePrefs(), const QByteArray &log = kThreeContacts)
    {
        folders.StartDir = dir.filePath("start");
        folders.MakerFolder = dir.filePath("docs/Velko Software");
        folders.ProgramDataFolder = folders.MakerFolder + "/ZEV";
        folders.SharedFolder = folders.MakerFolder + "/Shared";
        for (const QString &d : {folders.StartDir, folders.BackupFolder(), folders.SharedFolder})
            QDir().mkpath(d);
        zevtest::WriteFile(folders.work("zevpref.txt"), FormatPreferences(prefs));
        zevtest::WriteFile(folders.work("log.txt"), log);
        QFile::copy(QStringLiteral(ZEV_BUILD_DIR "/arrlpre2.txt"), folders.SharedFolder + "/arrlpre2.txt");
        registry = std::make_unique<Registry>(dir.filePath("registry.ini"));
    }

    static Preferences basePrefs()
    {
        Preferences p = DefaultPreferences(4);
        p.MyCall = "VE3XYZ";
        p.MyProvince = "ON";
        p.MyCountry = "Canada";
        p.MyLatitude = 44.35;
        p.MyLongitude = 78.75;
        p.CurrentBand = "40";
        p.CurrentMode = "PH";
        return p;
    }

    MainWindow &start()
    {
        session = std::make_unique<Session>(folders, prompter, clock, *registry);
        session->shared.LoadSharedPrefs(folders.SharedFolder + "/SharedUserPreferences.xml");
        session->endProgram = [this](int code) { endedWith = code; };
        stationLinks = std::make_unique<Station>(*session);
        window = std::make_unique<MainWindow>(*session, *stationLinks);
        window->masterCallsSystemFile = masterCallsSystemFile;
        window->runModal = [this](QDialog &d) {
            if (auto *w = qobject_cast<StationWindow *>(&d)) {
                ++stationWindowShown;
                station(*w);
            } else {
                otherModal(d);
            }
        };
        window->Form_Load();
        return *window;
    }

    // Shows the window and gives it the keyboard, as the operator's screen would.
    MainWindow &activate()
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        window->activateWindow();
        window->callBox->setFocus();
        QCoreApplication::processEvents();
        return *window;
    }

    QStringList backups() const { return QDir(folders.BackupFolder()).entryList(QDir::Files); }
};

// Keys go wherever the focus is, as the operator's keyboard would send them; "\n" is Enter.
inline void typeKeys(const QString &text)
{
    for (QChar c : text) {
        QWidget *w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        if (c == QLatin1Char('\n'))
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::keyClick(w, c.toLatin1());
    }
}

// Highlights record n in the contact list.
inline void selectRecord(MainWindow &w, int n)
{
    for (int row = 0; row < w.listModel->rowCount(); ++row)
        if (w.listModel->recordAt(row) == n) {
            w.contactList->setCurrentIndex(w.listModel->index(row, 0));
            return;
        }
    FAIL() << "record " << n << " is not listed";
}

// A complete contact of the kind the tests log by hand: VE7ABC on 40 m CW sending BC.
inline ContactRecord sampleContact(const QString &call = QStringLiteral("VE7ABC"))
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = r.ReportSent = "599";
    r.ExchangeRcvd = "BC";
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:20:00";
    r.Mode = "CW";
    r.Band = "40";
    r.Points = 10;
    r.Country = "Canada";
    return r;
}

inline Preferences readPrefs(const QString &path)
{
    Preferences p;
    EXPECT_TRUE(ParsePreferences(zevtest::ReadFile(path), p).ok);
    return p;
}

// A Kenwood link on port 3 polling every 100 ms, the radio most window tests steer.
inline RigLinkSettings KenwoodLink()
{
    RigLinkSettings s;
    s.RigName = "Kenwood";
    s.FreqQuery = "FA;";
    s.ModeQuery = "MD;";
    s.RigPort = 3;
    s.PollRate = "F";
    return s;
}

inline void WriteRigLink(Harness &h, const RigLinkSettings &s)
{
    zevtest::WriteFile(h.folders.work(kRigSettingsFile), FormatRigSettings(s));
}

}  // namespace zevtest
