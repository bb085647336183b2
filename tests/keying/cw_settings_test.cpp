// "cw.txt": read back byte for byte, lenient with short files, refused writes reported.

#include "keying/cw_settings.h"
#include "full_disk.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using zev::CwSettings;

QByteArray Lines(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *l : lines)
        out += QByteArray(l) + "\r\n";
    return out;
}

TEST(CwSettingsFile, HandWrittenFileReadsAndWritesBackByteForByte)
{
    const QByteArray bytes = zevtest::ReadFile(zevtest::Fixture(QStringLiteral("cw_rts_keying.txt")));
    ASSERT_FALSE(bytes.isEmpty());
    CwSettings s;
    EXPECT_EQ(zev::ParseCwSettings(bytes, s), 18);
    EXPECT_EQ(s.messages[0], QStringLiteral("CQ TEST VE3ZEV"));
    EXPECT_EQ(s.messages[1], QStringLiteral("$ 5NN #"));
    EXPECT_EQ(s.messages[4], QStringLiteral("TU É"));
    EXPECT_EQ(s.messages[8], QStringLiteral("VVV DE VE3ZEV "));
    EXPECT_EQ(s.messages[9], QStringLiteral("TU"));
    EXPECT_EQ(s.messages[10], QStringLiteral("AGN"));
    EXPECT_EQ(s.port, QStringLiteral("3"));
    EXPECT_EQ(s.speed, QStringLiteral("24"));
    EXPECT_EQ(s.wordSpace, QStringLiteral("-2"));
    EXPECT_EQ(s.keyingLine, zev::kKeyRts);
    EXPECT_EQ(s.parallelAddress, QStringLiteral("&H278"));
    EXPECT_EQ(s.showText, 1);
    EXPECT_EQ(s.repeatPause, QStringLiteral("5.5"));
    EXPECT_EQ(zev::FormatCwSettings(s), bytes);
}

TEST(CwSettingsFile, DefaultsWithOnlyF1AsTheOperatorExpectsThem)
{
    CwSettings s;
    s.messages[0] = QStringLiteral("CQ TEST");
    EXPECT_EQ(zev::FormatCwSettings(s),
              Lines({"\"CQ TEST\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"0\"", "\"13\"",
                     "\"\"", "\"\"", "\"0\"", "0", "\"&H378\"", "0", "\"0\""}));
    // A double quote has no escape in the file: it is never written.
    s.messages[0] = QStringLiteral("SAY \"HI\"");
    EXPECT_TRUE(zev::FormatCwSettings(s).startsWith("\"SAY HI\"\r\n"));
}

TEST(CwSettingsFile, ShortOrDamagedFilesKeepWhatWasRead)
{
    struct Case {
        const char *name;
        QByteArray data;
        int taken;
        QString f3, f9, speed, address;
        int keyingLine;
    };
    const Case cases[] = {
        {"three lines", Lines({"\"A\"", "\"B\"", "\"C\""}), 3, "C", "", "13", "&H378", 0},
        {"empty F9 becomes VVV DE", Lines({"\"\"", "\"\"", "\"C\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\""}), 9,
         "C", "VVV DE ", "13", "&H378", 0},
        {"cut in line 11",
         Lines({"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"F9\"", "\"2\""}) + "\"2", 10, "",
         "F9", "13", "&H378", 0},
        {"keying line 4 is no line",
         Lines({"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"F9\"", "\"2\"", "\"30\"", "\"\"",
                "\"\"", "\"0\"", "4", "\"&H3BC\""}),
         14, "", "F9", "30", "&H378", 0},
        {"parallel", Lines({"\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"F9\"", "\"0\"", "\"30\"",
                            "\"\"", "\"\"", "\"0\"", "3", "\"&H3BC\""}),
         16, "", "F9", "30", "&H3BC", 3},
        {"LF line ends", QByteArray("\"A\"\n\"B\"\n\"C\"\n"), 3, "C", "", "13", "&H378", 0},
        {"empty file", QByteArray(), 0, "", "", "13", "&H378", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CwSettings s;
        EXPECT_EQ(zev::ParseCwSettings(c.data, s), c.taken);
        EXPECT_EQ(s.messages[2], c.f3);
        EXPECT_EQ(s.messages[8], c.f9);
        EXPECT_EQ(s.speed, c.speed);
        EXPECT_EQ(s.parallelAddress, c.address);
        EXPECT_EQ(s.keyingLine, c.keyingLine);
        EXPECT_EQ(s.repeatPause, QStringLiteral("0"));
    }
}

TEST(CwSettingsFile, MissingFileGivesDefaultsAndFirstStartWritesThem)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(zev::kCwSettingsFile);
    QString error;
    EXPECT_EQ(zev::LoadCwSettings(path, &error), CwSettings{});
    EXPECT_TRUE(error.isEmpty());

    ASSERT_TRUE(zev::WriteDefaultCwSettingsIfMissing(path, &error)) << error.toStdString();
    EXPECT_EQ(zevtest::ReadFile(path), zev::FormatCwSettings(CwSettings{}));
    CwSettings read = zev::LoadCwSettings(path);
    EXPECT_EQ(read.messages[8], zev::kDefaultF9);
    EXPECT_EQ(read.speed, QStringLiteral("13"));

    // The operator's own file is never replaced.
    CwSettings mine;
    mine.messages[0] = QStringLiteral("CQ ZEV");
    mine.keyingLine = zev::kKeyDtr;
    ASSERT_TRUE(zev::SaveCwSettings(path, mine, &error)) << error.toStdString();
    ASSERT_TRUE(zev::WriteDefaultCwSettingsIfMissing(path, &error));
    read = zev::LoadCwSettings(path);
    EXPECT_EQ(read.messages[0], QStringLiteral("CQ ZEV"));
    EXPECT_EQ(read.keyingLine, zev::kKeyDtr);
}

TEST(CwSettingsFile, AnUnreadableFileGivesDefaultsAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(zev::kCwSettingsFile);
    ASSERT_TRUE(QDir().mkdir(path));  // there, but no file to read
    QString error;
    EXPECT_EQ(zev::LoadCwSettings(path, &error), CwSettings{});
    EXPECT_FALSE(error.isEmpty());
}

TEST(CwSettingsFile, WriteToAFullDiskIsReportedAndKeepsTheOldFile)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString path = disk.filePath(zev::kCwSettingsFile);
    CwSettings old;
    old.messages[0] = QStringLiteral("OLD");
    QString error;
    ASSERT_TRUE(zev::SaveCwSettings(path, old, &error)) << error.toStdString();
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();

    CwSettings next;
    next.messages[0] = QString(200000, QLatin1Char('E'));
    EXPECT_FALSE(zev::SaveCwSettings(path, next, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(zev::LoadCwSettings(path).messages[0], QStringLiteral("OLD"));

    error.clear();
    const QString fresh = disk.filePath(QStringLiteral("cw2.txt"));
    EXPECT_FALSE(zev::WriteDefaultCwSettingsIfMissing(fresh, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CwSettingsFile, RepeatPauseIsUnderAMinute)
{
    struct Case {
        const char *text;
        const char *kept;
        int ms;
    };
    const Case cases[] = {{"0", "0", 0},        {"5", "5", 5000},    {"2.5", "2.5", 2500}, {"59.9", "59.9", 59900},
                          {"60", "0", 0},       {"75", "0", 0},      {"-1", "0", 0},       {"", "0", 0},
                          {"abc", "0", 0},      {".", "0", 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const zev::RepeatPause p = zev::CheckRepeatPause(QString::fromLatin1(c.text));
        EXPECT_EQ(p.text, QString::fromLatin1(c.kept));
        EXPECT_EQ(p.intervalMs, c.ms);
    }
}

}  // namespace
