#include "logcore/contact_entry.h"
#include "logcore/master_calls.h"
#include "logcore/preferences.h"
#include "logcore/prefix_table.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QByteArray fixture()
{
    return zevtest::ReadFile(QStringLiteral(ZEV_FIXTURES "/master_scp_small.scp"));
}

MasterCalls fixtureCalls()
{
    return MasterCalls(ParseMasterCalls(fixture()));
}

void touch(const QString &path, const QDateTime &when)
{
    zevtest::WriteFile(path, "W1AW\n");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

}  // namespace

TEST(MasterCallsParse, KeepsCallsAndSkipsCommentsGarbageAndLineEnds)
{
    const QStringList calls = ParseMasterCalls(fixture());
    EXPECT_EQ(calls, (QStringList{"2E0HSP/P", "EA7/VE3AXC", "EA7/VE3NE", "K3LR", "N1MM", "VE3A", "VE3AB", "VE3ABH",
                                  "VE3AR", "VE3AX", "VE3AXC", "VE3AXC", "VE3NE", "W1AW"}));
    // The index keeps each call once.
    EXPECT_EQ(fixtureCalls().size(), 13);
}

TEST(MasterCallsParse, BinaryJunkGivesNoCallsAndANote)
{
    QByteArray junk(200000, '\0');
    QRandomGenerator gen(17);
    for (char &c : junk)
        c = char(gen.bounded(256));
    EXPECT_TRUE(ParseMasterCalls(junk).isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath("MASTER.SCP");
    zevtest::WriteFile(path, junk);
    const MasterCallsLoad load = LoadMasterCalls(path);
    EXPECT_EQ(load.calls, nullptr);
    EXPECT_TRUE(load.note.contains("holds no calls")) << load.note.toStdString();
}

TEST(MasterCallsLoad, MissingOrUnreadableFileGivesNoListAndANote)
{
    QTemporaryDir dir;
    for (const QString &path : {QString(), dir.filePath("MASTER.SCP"), dir.path()}) {
        const MasterCallsLoad load = LoadMasterCalls(path);
        EXPECT_EQ(load.calls, nullptr) << path.toStdString();
        EXPECT_TRUE(load.note.startsWith("No master call list")) << path.toStdString();
    }
}

TEST(MasterCallsFind, PrefixMiddleSuffixSlashCapAndOrder)
{
    const MasterCalls m = fixtureCalls();
    struct Case {
        const char *text;
        int cap;
        QStringList expected;
    };
    const Case cases[] = {
        // Calls beginning with the text first, then the others, each alphabetical.
        {"VE3A", 30, {"VE3A", "VE3AB", "VE3ABH", "VE3AR", "VE3AX", "VE3AXC", "EA7/VE3AXC"}},
        {"3AX", 30, {"EA7/VE3AXC", "VE3AX", "VE3AXC"}},  // middle
        {"AXC", 30, {"EA7/VE3AXC", "VE3AXC"}},           // end
        {"/P", 30, {"2E0HSP/P"}},
        {"7/VE", 30, {"EA7/VE3AXC", "EA7/VE3NE"}},
        {"ve3n", 30, {"VE3NE", "EA7/VE3NE"}},
        {"W1AW", 30, {"W1AW"}},
        {"E", 3, {"EA7/VE3AXC", "EA7/VE3NE", "2E0HSP/P"}},
        {"VE3", 3, {"VE3A", "VE3AB", "VE3ABH"}},
        {"3", 4, {"EA7/VE3AXC", "EA7/VE3NE", "K3LR", "VE3A"}},
        {"ZZ9", 30, {}},
        {"VE3?", 30, {}},
        {"", 30, {}},
        {"VE3AXCVE3AXC", 30, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(m.find(QString::fromLatin1(c.text), c.cap), c.expected) << c.text;
}

TEST(MasterCallsFind, AgreesWithAPlainSearchForEveryFragment)
{
    const QStringList calls = ParseMasterCalls(fixture());
    const MasterCalls m(calls);
    QStringList sorted = calls;
    sorted.sort();
    sorted.removeDuplicates();
    for (const QString &call : sorted)
        for (int from = 0; from < call.size(); ++from)
            for (int len = 1; from + len <= call.size(); ++len) {
                const QString q = call.mid(from, len);
                QStringList starts, others;
                for (const QString &c : sorted) {
                    if (c.startsWith(q))
                        starts.append(c);
                    else if (c.contains(q))
                        others.append(c);
                }
                EXPECT_EQ(m.find(q, 100), starts + others) << q.toStdString();
            }
}

TEST(MasterCallsFile, ANewerListInTheWorkingFolderWins)
{
    QTemporaryDir dir;
    const QString system = dir.filePath("system/MASTER.SCP");
    const QString work = dir.filePath("work/MASTER.SCP");
    QDir().mkpath(dir.filePath("system"));
    QDir().mkpath(dir.filePath("work"));
    const QDateTime t = QDateTime::currentDateTimeUtc().addDays(-10);
    struct Case {
        const char *name;
        int systemAge, workAge;  // days before t; -1 for no file
        QString expected;
    };
    const Case cases[] = {
        {"working newer", 5, 1, work},
        {"working older", 1, 5, system},
        {"same time", 3, 3, system},
        {"no system list", -1, 3, work},
        {"no working list", 3, -1, system},
        {"neither", -1, -1, QString()},
    };
    for (const Case &c : cases) {
        QFile::remove(system);
        QFile::remove(work);
        if (c.systemAge >= 0)
            touch(system, t.addDays(-c.systemAge));
        if (c.workAge >= 0)
            touch(work, t.addDays(-c.workAge));
        EXPECT_EQ(MasterCallsFile(dir.filePath("work"), system), c.expected) << c.name;
    }
}

TEST(MasterCallsFile, TheFullDebianListFindsACallByAMiddleFragment)
{
    if (!QFile::exists(kSystemMasterCalls))
        GTEST_SKIP() << "no " << kSystemMasterCalls.toStdString();
    const MasterCallsLoad load = LoadMasterCalls(kSystemMasterCalls);
    ASSERT_NE(load.calls, nullptr) << load.note.toStdString();
    EXPECT_GT(load.calls->size(), 80000);
    EXPECT_TRUE(load.calls->find(u"E3AX", 30).contains("VE3AXC"));
    EXPECT_TRUE(load.calls->find(u"/VE3N", 30).contains("EA7/VE3NE"));
    EXPECT_EQ(load.calls->find(u"W1AW", 1), QStringList{"W1AW"});
    EXPECT_EQ(load.calls->find(u"DL", 30).size(), 30);
}

TEST(SuperCheckEntry, OffersCallsMarkedFromTheLog)
{
    Preferences prefs = DefaultPreferences(4);
    prefs.CurrentBand = "20";
    prefs.CurrentMode = "CW";
    ContactRecord k3lr;
    k3lr.Call = "k3lr";  // the log may hold any letter case
    k3lr.Band = "20";
    k3lr.Mode = "CW";
    ContactRecord ve3axc = k3lr;
    ve3axc.Call = "VE3AXC";
    ve3axc.Band = "40";
    ContactLog log({k3lr, ve3axc});
    PrefixTable prefixes;
    ContactEntry entry(prefs, log, prefixes);
    using M = SuperCheckCall::Mark;

    entry.setCall("3AX");
    EXPECT_TRUE(entry.superCheck().empty());  // no list yet
    entry.setMasterCalls(std::make_shared<const MasterCalls>(fixtureCalls()));
    EXPECT_EQ(entry.superCheck(), (std::vector<SuperCheckCall>{{"EA7/VE3AXC", M::New}, {"VE3AX", M::New},
                                                                {"VE3AXC", M::Worked}}));
    entry.setCall("K3");
    EXPECT_EQ(entry.superCheck(), (std::vector<SuperCheckCall>{{"K3LR", M::Dupe}}));
    entry.setCall("K");  // one character offers nothing
    EXPECT_TRUE(entry.superCheck().empty());

    // The marks follow the band and the log as it grows.
    prefs.CurrentBand = "40";
    entry.setCall("AXC");
    EXPECT_EQ(entry.superCheck(), (std::vector<SuperCheckCall>{{"EA7/VE3AXC", M::New}, {"VE3AXC", M::Dupe}}));
    ContactRecord ea7 = ve3axc;
    ea7.Call = "EA7/VE3AXC";
    ea7.Band = "80";
    log.append(ea7);
    EXPECT_EQ(entry.superCheck(), (std::vector<SuperCheckCall>{{"EA7/VE3AXC", M::Worked}, {"VE3AXC", M::Dupe}}));
    log.setRecords({});
    EXPECT_EQ(entry.superCheck(), (std::vector<SuperCheckCall>{{"EA7/VE3AXC", M::New}, {"VE3AXC", M::New}}));
}
