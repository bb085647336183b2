#include "common/file_io.h"
#include "full_disk.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zev;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(FullDisk, RewriteFailsWithTheCauseAndKeepsTheOldFile)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    const QString path = disk.filePath("zevpref.txt");
    const QByteArray old = "\"VE3XYZ\"\r\n\"ON\"\r\n-4\r\n\"CW\"\r\n";
    zevtest::WriteFile(path, old);
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();

    for (const QByteArray &content : {QByteArray("\"VE3XYZ\"\r\n\"ON\"\r\n-4\r\n\"PH\"\r\n"), QByteArray(20000, 'x')}) {
        QString error;
        EXPECT_FALSE(WriteFileAtomic(path, content, &error)) << content.size();
        EXPECT_EQ(error, "No space left on device");
        EXPECT_EQ(zevtest::ReadFile(path), old);
    }
    // No half-written temporary file is left beside it.
    EXPECT_EQ(entries(disk.path()), (QStringList{"filler", "zevpref.txt"}));
}

TEST(FullDisk, FailedAppendLeavesTheFileByteForByte)
{
    // A file ending inside a block takes part of the line before the disk refuses the
    // rest; a file ending on a block boundary refuses the first byte.
    for (qsizetype size : {4096 - 30, 4096, 100}) {
        SCOPED_TRACE(size);
        zevtest::FullDisk disk;
        ZEV_REQUIRE_FULL_DISK(disk);
        const QString path = disk.filePath("log.txt");
        QByteArray old(size - 2, 'a');
        old += "\r\n";
        zevtest::WriteFile(path, old);
        ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();

        QString error;
        const QByteArray line = QByteArray(4200, 'b') + "\r\n";
        EXPECT_FALSE(AppendDurable(path, line, &error, true));
        EXPECT_EQ(error, "No space left on device");
        EXPECT_EQ(zevtest::ReadFile(path), old);
        EXPECT_EQ(QFileInfo(path).size(), size);
    }
}

TEST(FullDisk, FailedAppendToAMissingFileCreatesNothing)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    ASSERT_TRUE(disk.fill()) << disk.reason().toStdString();
    QString error;
    EXPECT_FALSE(AppendDurable(disk.filePath("log.txt"), "\"a\"\r\n", &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_FALSE(QFileInfo::exists(disk.filePath("log.txt")));
}

TEST(FileIo, RewriteKeepsTheModeOfTheOldFileAndFollowsLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zevpref.txt");
    zevtest::WriteFile(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomic(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(zevtest::ReadFile(path), "new");

    // A working file kept elsewhere through a link stays a link.
    const QString link = dir.filePath("log.txt");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(WriteFileAtomic(link, "through the link"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(zevtest::ReadFile(path), "through the link");
    EXPECT_EQ(entries(dir.path()), (QStringList{"log.txt", "zevpref.txt"}));
}

TEST(FileIo, ErrorsNameTheRealCause)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomic(dir.filePath("nodir/keep.txt"), "new", &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(AppendDurable(dir.filePath("nodir/log.txt"), "x", &error));
    EXPECT_EQ(error, "No such file or directory");
}
