// The parallel line: the typed base address picks a ppdev device, and nothing else.

#include "rig/parallel_line.h"
#include "rig/parallel_line_device.h"
#include "rig/port_errors.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

// A machine with parport0 at 378 and parport1 at 278 (a second card).
const QString kProcRoot = QStringLiteral(ZEV_FIXTURES "/proc_parport");

TEST(ParallelAddress, ReadsHexadecimalAndDecimalTexts)
{
    struct Case {
        const char *text;
        quint32 address;
    };
    const Case cases[] = {
        {"&H378", 0x378}, {"&h378", 0x378}, {"888", 888},     {"&H3BC", 0x3BC},
        {"&H3bc", 0x3BC}, {" &H278 ", 0x278}, {"&HFFFF", 0xFFFF}, {"632", 632},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const auto a = zev::ParseBaseAddress(QString::fromLatin1(c.text), &error);
        ASSERT_TRUE(a) << error.toStdString();
        EXPECT_EQ(*a, c.address);
    }
    for (const char *bad : {"", "&H", "&H37G", "H378", "0x378", "378h", "-888", "88.8",
                            "&H10000", "65536", "0", "&H0", "&H 378"}) {
        SCOPED_TRACE(bad);
        QString error;
        EXPECT_FALSE(zev::ParseBaseAddress(QString::fromLatin1(bad), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("&H378"))) << error.toStdString();
    }
}

TEST(ParallelAddress, MapsToTheParportWhoseBaseAddressMatches)
{
    struct Case {
        const char *text;
        const char *device;
    };
    const Case cases[] = {
        {"&H378", "/dev/parport0"},
        {"888", "/dev/parport0"},
        {"&H278", "/dev/parport1"},
        {"632", "/dev/parport1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        EXPECT_EQ(zev::ParportForAddress(QString::fromLatin1(c.text), kProcRoot,
                                         QStringLiteral("/dev"), &error),
                  QString::fromLatin1(c.device))
            << error.toStdString();
    }
}

TEST(ParallelAddress, AnyOtherAddressIsRefusedSayingWhereThePortsAre)
{
    QString error;
    EXPECT_TRUE(zev::ParportForAddress(QStringLiteral("&H3BC"), kProcRoot,
                                       QStringLiteral("/dev"), &error)
                    .isEmpty());
    EXPECT_EQ(error, QStringLiteral("No parallel port of this computer is at address &H3BC. Its "
                                    "parallel ports are at: &H378 (/dev/parport0), &H278 "
                                    "(/dev/parport1)."));
    // base + 2 is the control register, not a port of its own.
    EXPECT_TRUE(zev::ParportForAddress(QStringLiteral("&H37A"), kProcRoot).isEmpty());

    QTemporaryDir none;  // no parport driver loaded
    EXPECT_TRUE(
        zev::ParportForAddress(QStringLiteral("&H378"), none.path(), QStringLiteral("/dev"), &error)
            .isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("no parallel port"))) << error.toStdString();

    EXPECT_TRUE(zev::ParportForAddress(QStringLiteral("LPT1"), kProcRoot, QStringLiteral("/dev"),
                                       &error)
                    .isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("\"LPT1\""))) << error.toStdString();
}

TEST(PpdevParallelLine, OpensOnlyAClaimableParportAndSaysWhyNot)
{
    QTemporaryDir dev;
    zev::PpdevParallelLine line(kProcRoot, dev.path());

    EXPECT_FALSE(line.open(QStringLiteral("&H3BC")));
    EXPECT_TRUE(line.errorText().contains(QStringLiteral("&H3BC")));
    EXPECT_EQ(line.openErrno(), 0);

    EXPECT_FALSE(line.open(QStringLiteral("&H378")));  // driver listed, device node missing
    EXPECT_EQ(line.openErrno(), ENOENT);
    EXPECT_TRUE(line.errorText().contains(dev.filePath(QStringLiteral("parport0"))));

    // Something that is not a ppdev device at the right name cannot be claimed.
    QFile impostor(dev.filePath(QStringLiteral("parport0")));
    ASSERT_TRUE(impostor.open(QIODevice::WriteOnly));
    impostor.close();
    EXPECT_FALSE(line.open(QStringLiteral("&H378")));
    EXPECT_EQ(line.openErrno(), ENOTTY);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.writeControl(zev::kParallelKeyDown));
    EXPECT_FALSE(line.errorText().isEmpty());
}

TEST(RecordingParallelLine, KeepsControlWritesAndRefusesAbsentPorts)
{
    zev::RecordingParallelLine line;
    EXPECT_FALSE(line.writeControl(zev::kParallelKeyDown));
    EXPECT_FALSE(line.open(QStringLiteral("&H3BC")));
    EXPECT_FALSE(line.errorText().isEmpty());
    ASSERT_TRUE(line.open(QStringLiteral("888")));
    EXPECT_EQ(line.openedBase, 0x378u);
    EXPECT_TRUE(line.writeControl(zev::kParallelKeyDown));
    EXPECT_TRUE(line.writeControl(zev::kParallelKeyUp));
    EXPECT_EQ(line.controlWrites, (QList<quint8>{3, 2}));
}

TEST(PermissionAdvice, OnlyAMissingPermissionGetsTheSentence)
{
    EXPECT_EQ(zev::PermissionAdvice(QStringLiteral("/dev/ttyUSB0"), EACCES,
                                    QStringLiteral("dialout"), QStringLiteral("ve3xyz")),
              QStringLiteral("You are not allowed to use /dev/ttyUSB0: add your user to the "
                             "group \"dialout\" (sudo usermod -aG dialout ve3xyz), then log out "
                             "and in again."));
    EXPECT_TRUE(zev::PermissionAdvice(QStringLiteral("/dev/parport0"), EPERM,
                                      QStringLiteral("lp"), QStringLiteral("ve3xyz"))
                    .contains(QStringLiteral("usermod -aG lp ve3xyz")));
    for (int other : {0, ENOENT, EBUSY, EIO, ENOTTY}) {
        SCOPED_TRACE(other);
        EXPECT_TRUE(zev::PermissionAdvice(QStringLiteral("/dev/ttyUSB0"), other,
                                          QStringLiteral("dialout"), QStringLiteral("ve3xyz"))
                        .isEmpty());
        EXPECT_TRUE(zev::PermissionAdvice(QStringLiteral("/dev/ttyUSB0"), other,
                                          zev::PortKind::Serial)
                        .isEmpty());
    }
}

TEST(PermissionAdvice, NamesTheGroupThatOwnsTheDevice)
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyACM0"));
    QFile f(device);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // Owned by root alone: the usual group of the kind.
    EXPECT_TRUE(zev::PermissionAdvice(device, EACCES, zev::PortKind::Serial)
                    .contains(QStringLiteral("group \"dialout\"")));
    EXPECT_TRUE(zev::PermissionAdvice(device, EACCES, zev::PortKind::Parallel)
                    .contains(QStringLiteral("group \"lp\"")));
    // Some distributions give serial adapters to "uucp".
    if (::getuid() != 0)
        GTEST_SKIP() << "changing a file's group needs root";
    ASSERT_EQ(::chown(QFile::encodeName(device).constData(), 0, 7), 0);  // gid 7: lp on Debian
    EXPECT_TRUE(zev::PermissionAdvice(device, EACCES, zev::PortKind::Serial)
                    .contains(QStringLiteral("group \"lp\"")));
}

}  // namespace
