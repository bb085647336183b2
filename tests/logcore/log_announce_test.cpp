// The working log stores a contact on disk first and only then tells its views; a
// contact from anywhere updates the score, the multipliers and the duplicate rule.

#include "common/file_io.h"
#include "logcore/contact_entry.h"
#include "logcore/preferences.h"
#include "logcore/prefix_table.h"
#include "test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zev;

namespace {

ContactRecord contact(const QString &call, const QString &exchange, const QString &band = "20")
{
    ContactRecord r;
    r.Call = call;
    r.ReportRcvd = "599";
    r.ReportSent = "599";
    r.ExchangeRcvd = exchange;
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:04:27";
    r.Mode = "CW";
    r.Band = band;
    r.Points = 10;
    r.Country = "Canada";
    return r;
}

// What reached the disk and what the log said, in order.
std::vector<std::string> *g_events = nullptr;
const ContactLog *g_log = nullptr;
int g_failWrite = 0;

ssize_t recordingWrite(int fd, const void *data, size_t size)
{
    if (g_failWrite) {
        errno = g_failWrite;
        return -1;
    }
    const ssize_t n = ::write(fd, data, size);
    g_events->push_back("write " + std::to_string(n));
    return n;
}

int recordingSync(int fd)
{
    struct stat st {};
    ::fstat(fd, &st);
    g_events->push_back("fsync " + std::to_string(st.st_size) + " bytes, " + std::to_string(g_log->RecordCount()) +
                        " in memory");
    return ::fsync(fd);
}

// Puts the recording calls in place for one test.
struct RecordedDisk {
    std::vector<std::string> events;
    DiskCalls saved = Disk();
    explicit RecordedDisk(const ContactLog &log)
    {
        g_events = &events;
        g_log = &log;
        g_failWrite = 0;
        Disk() = {recordingWrite, recordingSync};
    }
    ~RecordedDisk()
    {
        Disk() = saved;
        g_events = nullptr;
        g_log = nullptr;
        g_failWrite = 0;
    }
};

}  // namespace

TEST(LogAnnounces, AContactIsOnDiskBeforeTheLogHoldsOrAnnouncesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ContactLog log;
    RecordedDisk disk(log);
    QObject::connect(&log, &ContactLog::added, [&](int n) {
        disk.events.push_back("added " + std::to_string(n) + ", " + std::to_string(log.RecordCount()) +
                              " in memory");
    });
    const ContactRecord r = contact("VE3ABC", "ON");
    const int line = int(RecordLine(r).size()) + 2;
    QString error;
    ASSERT_TRUE(log.store(path, r, &error)) << error.toStdString();
    ASSERT_TRUE(log.store(path, contact("K1ABC", "12"), &error)) << error.toStdString();
    const int second = int(RecordLine(contact("K1ABC", "12")).size()) + 2;
    const std::vector<std::string> expected{
        "write " + std::to_string(line),
        "fsync " + std::to_string(line) + " bytes, 0 in memory",
        "added 1, 1 in memory",
        "write " + std::to_string(second),
        "fsync " + std::to_string(line + second) + " bytes, 1 in memory",
        "added 2, 2 in memory",
    };
    EXPECT_EQ(disk.events, expected);
}

TEST(LogAnnounces, AContactTheDiskRefusedIsNeitherKeptNorAnnounced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ContactLog log;
    ASSERT_TRUE(log.store(path, contact("VE3ABC", "ON"), nullptr));
    ASSERT_TRUE(log.store(path, contact("W1AW", "12"), nullptr));
    RecordedDisk disk(log);
    int announced = 0;
    QObject::connect(&log, &ContactLog::added, [&] { ++announced; });
    g_failWrite = ENOSPC;
    QString error;
    EXPECT_FALSE(log.store(path, contact("K1ABC", "12"), &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(strerror(ENOSPC)));
    EXPECT_EQ(log.RecordCount(), 2);
    EXPECT_EQ(announced, 0);
    int changed = 0;
    QObject::connect(&log, &ContactLog::changed, [&] { ++changed; });
    QObject::connect(&log, &ContactLog::removed, [&] { ++changed; });
    EXPECT_FALSE(log.replace(path, 1, contact("K1ABC", "12"), &error));
    EXPECT_FALSE(log.remove(path, 1, &error));
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(log.record(1).Call, "VE3ABC");
    EXPECT_EQ(log.RecordCount(), 2);
    std::vector<ContactRecord> onDisk;
    ASSERT_TRUE(ReadLogFile(path, onDisk).ok);
    EXPECT_EQ(onDisk, log.records());
}

TEST(LogAnnounces, EveryChangeIsAnnouncedAfterTheFileAndTheTotalsFollowIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ContactLog log;
    std::vector<std::string> said;
    auto tell = [&](const char *what) {
        return [&, what](int n) {
            std::vector<ContactRecord> onDisk;
            ReadLogFile(path, onDisk);
            said.push_back(std::string(what) + " " + std::to_string(n) + ": " + std::to_string(onDisk.size()) +
                           " on disk, " + std::to_string(log.TotalPoints) + " points");
        };
    };
    QObject::connect(&log, &ContactLog::added, tell("added"));
    QObject::connect(&log, &ContactLog::changed, tell("changed"));
    QObject::connect(&log, &ContactLog::removed, tell("removed"));
    QObject::connect(&log, &ContactLog::reloaded, [&] { said.push_back("reloaded"); });

    ASSERT_TRUE(log.store(path, contact("VE3ABC", "ON"), nullptr));
    ASSERT_TRUE(log.store(path, contact("K1ABC", "12"), nullptr));
    ContactRecord bonus = contact("VE3RAC", "ON");
    bonus.Points = 20;
    ASSERT_TRUE(log.replace(path, 2, bonus, nullptr));
    ASSERT_TRUE(log.remove(path, 1, nullptr));
    log.setRecords({});
    const std::vector<std::string> expected{
        "added 1: 1 on disk, 10 points",   "added 2: 2 on disk, 20 points",
        "changed 2: 2 on disk, 30 points", "removed 1: 1 on disk, 20 points",
        "reloaded",
    };
    EXPECT_EQ(said, expected);
    EXPECT_FALSE(log.replace(path, 1, bonus, nullptr));  // no such record
}

TEST(LogAnnounces, AContactAddedFromOutsideTheKeyboardUpdatesScoreMultipliersAndDupes)
{
    Preferences prefs;
    prefs.CurrentBand = "20";
    prefs.CurrentMode = "CW";
    prefs.InCanada = 0;
    ContactLog log;
    PrefixTable prefixes;
    ContactEntry entry(prefs, log, prefixes);
    log.setRecords({contact("K1ABC", "12")});
    entry.setCall("VE3ABC");
    ASSERT_EQ(entry.duplicateOf(), 0);

    log.append(contact("VE3ABC", "ON"));  // e.g. from another station of the same log
    EXPECT_EQ(log.TotalPoints, 20);
    EXPECT_EQ(log.mults.TotalMultipliers(), 1);
    EXPECT_EQ(log.mults.worked(3, 0), QStringList{"ON"});
    EXPECT_EQ(entry.duplicateOf(), 2);
    log.append(contact("VE7ABC", "BC", "40"));
    EXPECT_EQ(log.mults.TotalMultipliers(), 2);
    EXPECT_EQ(log.mults.worked(2, 0), QStringList{"BC"});
}
