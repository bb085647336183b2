#include "full_disk.h"
#include "logcore/contact_log.h"
#include "test_support.h"

#include <QDir>
#include <limits>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

ContactRecord exampleRecord()
{
    ContactRecord r;
    r.Call = "VE3XYZ";
    r.ReportRcvd = "59";
    r.ReportSent = "59";
    r.ExchangeRcvd = "ON";
    r.QsoDate = "2009/07/01";
    r.QsoTime = "18:04:27";
    r.Mode = "PH";
    r.Band = "20";
    r.Points = 10;
    r.Country = "Canada";
    return r;
}

const QByteArray kExampleLine =
    "\"VE3XYZ\",\"59\",\"\",\"59\",\"ON\",\"2009/07/01\",\"18:04:27\",\"PH\",\"20\",10,\"\",\"Canada\"";

QByteArray manyRecords(int n)
{
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        out += "\"K" + QByteArray::number(i) + "A\",\"599\",\"" + QByteArray::number(i) +
               "\",\"599\",\"12\",\"2009/07/01\",\"18:00:00\",\"CW\",\"20\",2,\"14.025\",\"USA\"\r\n";
    return out;
}

}  // namespace

TEST(LogFile, ExampleContactIsWrittenByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    QString error;
    ASSERT_TRUE(AppendRecord(path, exampleRecord(), &error)) << error.toStdString();
    EXPECT_EQ(zevtest::ReadFile(path), kExampleLine + "\r\n");

    ContactRecord outside = exampleRecord();
    outside.SerialSent = "17";
    EXPECT_EQ(RecordLine(outside),
              "\"VE3XYZ\",\"59\",\"17\",\"59\",\"ON\",\"2009/07/01\",\"18:04:27\",\"PH\",\"20\",10,\"\",\"Canada\"");
}

TEST(LogFile, AppendThenReadGivesBackEveryFieldIncludingEmptyOnes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ContactRecord a = exampleRecord();
    ContactRecord b;
    b.Call = "W1AW";
    b.ReportRcvd = "599";
    b.SerialSent = "2";
    b.ReportSent = "599";
    b.ExchangeRcvd = "123";
    b.QsoDate = "2009/07/01";
    b.QsoTime = "09:45";
    b.Mode = "CW";
    b.Band = "160";
    b.Points = 2;
    b.Frequency = "1.8255";
    b.Country = "Not Found";
    ContactRecord empty;  // every text empty, no points
    for (const ContactRecord &r : {a, b, empty})
        ASSERT_TRUE(AppendRecord(path, r, nullptr));

    std::vector<ContactRecord> got;
    const LogReadResult res = ReadLogFile(path, got);
    ASSERT_TRUE(res.ok) << res.error.toStdString();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], a);
    EXPECT_EQ(got[1], b);
    EXPECT_EQ(got[2], empty);
    EXPECT_EQ(FormatLog(got), zevtest::ReadFile(path));
}

TEST(LogFile, ReadsLfLineEndsAndALastLineWithoutLineEnd)
{
    std::vector<ContactRecord> got;
    QByteArray lf = kExampleLine + "\n" + kExampleLine;
    ASSERT_TRUE(ParseLog(lf, got).ok);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], exampleRecord());

    // A record is the next twelve values, whatever line they stand on.
    QByteArray split = kExampleLine;
    split.replace(",\"ON\",", ",\"ON\"\r\n");
    ASSERT_TRUE(ParseLog(split + "\r\n", got).ok);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], exampleRecord());
}

TEST(LogFile, AQuoteInsideAValueIsNeverWritten)
{
    ContactRecord r = exampleRecord();
    r.Call = "VE3\"XYZ";
    r.Country = "Can\",ada";
    EXPECT_EQ(RecordLine(r), QByteArray(kExampleLine).replace("\"Canada\"", "\"Can,ada\""));
    std::vector<ContactRecord> back;
    ASSERT_TRUE(ParseLog(RecordLine(r), back).ok);
    EXPECT_EQ(back[0].Call, "VE3XYZ");
}

TEST(LogFile, TotalsStaySaneWithWildPoints)
{
    std::vector<ContactRecord> records(3);
    records[0].Points = 2e9;
    records[1].Points = 2e9;
    records[2].Points = std::numeric_limits<double>::infinity();
    ContactLog log;
    log.setRecords(records);
    EXPECT_EQ(log.TotalPoints, 2147483647);
}

TEST(LogFile, EmptyFileIsAnEmptyLog)
{
    std::vector<ContactRecord> got{exampleRecord()};
    const LogReadResult r = ParseLog({}, got);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(SumPoints(got), 0);
}

TEST(LogFile, ReadFailuresNameWhereReadingStopped)
{
    struct Case {
        const char *name;
        QByteArray data;
        int record;
        int line;
        int value;
    };
    // A lost closing quote swallows the next separator, so the points land on a text.
    QByteArray shifted = kExampleLine;
    shifted.replace("\"VE3XYZ\",", "\"VE3XYZ,");
    QByteArray cut = kExampleLine;
    cut.truncate(cut.indexOf(",10,"));
    const Case cases[] = {
        {"shifted quotes", kExampleLine + "\r\n" + shifted + "\r\n", 2, 2, 22},
        {"short record", kExampleLine + "\r\n" + cut + "\r\n", 2, 3, 22},
        {"points not a number", QByteArray(kExampleLine).replace(",10,", ",ten,"), 1, 1, 10},
        {"missing closing quote", kExampleLine + "\r\n\"VE3ABC\",\"59\r\n", 2, 2, 14},
    };
    for (const Case &c : cases) {
        std::vector<ContactRecord> got;
        const LogReadResult r = ParseLog(c.data, got);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_FALSE(r.error.isEmpty()) << c.name;
        EXPECT_EQ(r.record, c.record) << c.name;
        EXPECT_EQ(r.position.line, c.line) << c.name;
        EXPECT_EQ(r.position.value, c.value) << c.name;
    }
}

TEST(LogFile, HoldsElevenThousandRecordsAndRefusesOneMore)
{
    std::vector<ContactRecord> got;
    ASSERT_TRUE(ParseLog(manyRecords(kLogCapacity), got).ok);
    EXPECT_EQ(got.size(), size_t(kLogCapacity));
    EXPECT_EQ(got.back().Call, "K11000A");
    EXPECT_EQ(SumPoints(got), 2 * kLogCapacity);

    const LogReadResult r = ParseLog(manyRecords(kLogCapacity + 1), got);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.record, kLogCapacity + 1);
    EXPECT_EQ(r.position.line, kLogCapacity + 1);
}

TEST(LogFile, MissingFileIsAReadFailure)
{
    QTemporaryDir dir;
    std::vector<ContactRecord> got;
    const LogReadResult r = ReadLogFile(dir.filePath("log.txt"), got);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST(LogFile, PointsSumRoundsEachPartialSum)
{
    std::vector<ContactRecord> log(15);
    for (int i = 0; i < 15; ++i)
        log[size_t(i)].Points = i < 10 ? 2 : 10;
    EXPECT_EQ(SumPoints(log), 70);
    // Partial sums are rounded as they go, ties to even: 0.5 -> 0, 2.5 -> 2, 3 -> 3.
    std::vector<ContactRecord> halves(3);
    halves[0].Points = 0.5;
    halves[1].Points = 2.5;
    halves[2].Points = 1;
    EXPECT_EQ(SumPoints(halves), 3);
}

TEST(LogFile, RewriteReplacesTheWholeFileAndFailsCleanly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    std::vector<ContactRecord> recs(3, exampleRecord());
    recs[1].Call = "VA3ZEV";
    ASSERT_TRUE(RewriteLog(path, recs, nullptr));
    recs.erase(recs.begin());
    ASSERT_TRUE(RewriteLog(path, recs, nullptr));
    std::vector<ContactRecord> got;
    ASSERT_TRUE(ReadLogFile(path, got).ok);
    EXPECT_EQ(got, recs);
    // No temporary files are left beside the log.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"log.txt"});

    QString error;
    EXPECT_FALSE(RewriteLog(dir.filePath("missing/log.txt"), recs, &error));
    EXPECT_FALSE(error.isEmpty());
}

// A full disk: a deletion that cannot be written keeps all 36 contacts, and a contact
// that cannot be appended leaves no part of its line behind.
TEST(LogFile, FullDiskLosesNoContact)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString path = disk.filePath("log.txt");
    // Enough contacts that the file ends a little short of a whole block: the next line
    // gets partly written before the disk refuses the rest.
    QByteArray log = manyRecords(36);
    const QByteArray line = RecordLine(exampleRecord()) + "\r\n";
    for (int i = 0; log.size() % 4096 < 4096 - line.size() || log.size() % 4096 == 0; ++i)
        log += "\"K" + QByteArray::number(100 + i) + "A\",\"599\",\"\",\"599\",\"12\",\"2009/07/01\","
               "\"18:00:00\",\"CW\",\"20\",2,\"\",\"USA\"\r\n";
    zevtest::WriteFile(path, log);
    std::vector<ContactRecord> records;
    ASSERT_TRUE(ParseLog(log, records).ok);
    ASSERT_GE(records.size(), 36u);
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();

    QString error;
    std::vector<ContactRecord> fewer = records;
    fewer.erase(fewer.begin() + 5);
    EXPECT_FALSE(RewriteLog(path, fewer, &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(zevtest::ReadFile(path), log);

    error.clear();
    EXPECT_FALSE(AppendRecord(path, exampleRecord(), &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(zevtest::ReadFile(path), log);
    std::vector<ContactRecord> again;
    EXPECT_TRUE(ReadLogFile(path, again).ok);
    EXPECT_EQ(again, records);
}

TEST(LogFile, PointsTooLargeForANumberAreAReadFailure)
{
    for (const char *points : {"1e999", "-1e999", "1e400"}) {
        const QByteArray line = QByteArray(kExampleLine).replace(",10,", QByteArray(",") + points + ",");
        std::vector<ContactRecord> got;
        const LogReadResult r = ParseLog(line + "\r\n", got);
        EXPECT_FALSE(r.ok) << points;
        EXPECT_EQ(r.position.column, line.indexOf(points) + 1) << points;
    }
    // Large but finite points still load; the totals stay within range.
    std::vector<ContactRecord> got;
    ASSERT_TRUE(ParseLog(QByteArray(kExampleLine).replace(",10,", ",1e30,") + "\r\n", got).ok);
    EXPECT_EQ(SumPoints(got), 2147483647);
}

TEST(Vocabulary, BandsAndProvincesInTheirFixedOrder)
{
    EXPECT_EQ(BandCodes(), (QStringList{"160", "80", "40", "20", "15", "10", "6", "2"}));
    ASSERT_EQ(ProvinceTable().size(), 13u);
    EXPECT_EQ(ProvinceTable()[0].abbreviation, "NS");
    EXPECT_EQ(ProvinceTable()[9].name, "Newfoundland - Labrador");
    EXPECT_EQ(ProvinceTable()[12].abbreviation, "PE");
}
