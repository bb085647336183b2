// Port numbers to Linux devices, kept in the settings file, and the ports present.

#include "frame/registry.h"
#include "full_disk.h"
#include "test_support.h"
#include "rig/port_map.h"
#include "rig/serial_line_device.h"
#include "rig/serial_ports_device.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

namespace {

using zev::PortMap;
using zev::PresentPort;
using zev::Registry;

TEST(PortMap, NumbersStartOnTheFirstSerialPortsAndKeepTheirChoiceInTheSettingsFile)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Velko_Software.ini"));
    {
        Registry registry(ini);
        PortMap map(registry);
        EXPECT_EQ(map.device(1), QStringLiteral("/dev/ttyS0"));
        EXPECT_EQ(map.device(10), QStringLiteral("/dev/ttyS9"));
        EXPECT_FALSE(map.isChosen(3));
        QString error;
        ASSERT_TRUE(map.setDevice(
            3, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A600ABCD-if00-port0"), &error))
            << error.toStdString();
    }
    Registry registry(ini);  // as at the next start
    PortMap map(registry);
    EXPECT_TRUE(map.isChosen(3));
    EXPECT_EQ(map.device(3),
              QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A600ABCD-if00-port0"));
    EXPECT_EQ(map.device(4), QStringLiteral("/dev/ttyS3"));
    ASSERT_TRUE(map.clearDevice(3));
    EXPECT_FALSE(map.isChosen(3));
    EXPECT_EQ(map.device(3), QStringLiteral("/dev/ttyS2"));
}

TEST(PortMap, RefusesNumbersOutsideTheWindowsRangeAndDevicesThatAreNoPath)
{
    QTemporaryDir dir;
    Registry registry(dir.filePath(QStringLiteral("Velko_Software.ini")));
    PortMap map(registry);
    ASSERT_TRUE(map.setDevice(2, QStringLiteral("/dev/ttyUSB0")));
    struct Case {
        int number;
        const char *device;
    };
    const Case refused[] = {
        {0, "/dev/ttyUSB1"},  {11, "/dev/ttyUSB1"}, {-1, "/dev/ttyUSB1"},
        {2, "ttyUSB1"},       {2, ""},             {2, "/dev/tty\"USB1"},
        {2, " /dev/ttyUSB1"},
    };
    for (const Case &c : refused) {
        SCOPED_TRACE(c.device);
        QString error;
        EXPECT_FALSE(map.setDevice(c.number, QString::fromLatin1(c.device), &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(map.device(2), QStringLiteral("/dev/ttyUSB0"));  // the choice before stays
    EXPECT_TRUE(map.device(0).isEmpty());
    EXPECT_TRUE(map.device(11).isEmpty());
    EXPECT_FALSE(map.clearDevice(11));
}

TEST(PortMap, AStoreThatCannotBeWrittenIsReportedAndKeepsTheChoiceBefore)
{
    zevtest::FullDisk disk;
    ZEV_REQUIRE_FULL_DISK(disk);
    Registry registry(disk.filePath(QStringLiteral("Velko_Software.ini")));
    PortMap map(registry);
    ASSERT_TRUE(map.setDevice(1, QStringLiteral("/dev/ttyUSB0")));
    ASSERT_TRUE(disk.fill());
    QString error;
    EXPECT_FALSE(map.setDevice(
        1, QStringLiteral("/dev/serial/by-id/usb-Silicon_Labs_CP2102_0001-if00-port0"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("port 1"))) << error.toStdString();
    EXPECT_EQ(map.device(1), QStringLiteral("/dev/ttyUSB0"));
}

TEST(PortMap, ANumberPointedAtAPseudoTerminalOpensIt)
{
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    QTemporaryDir dir;
    // Chosen by its stable name, a link to the kernel's name.
    const QString stable = dir.filePath(QStringLiteral("usb-FTDI_FT232R_A600ABCD-if00-port0"));
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(name), stable));
    Registry registry(dir.filePath(QStringLiteral("Velko_Software.ini")));
    PortMap map(registry);
    ASSERT_TRUE(map.setDevice(7, stable));

    zev::QtSerialLine line;
    EXPECT_TRUE(line.open(map.device(7), QStringLiteral("4800,N,8,2"), zev::Handshake::None,
                          false, false))
        << line.errorText().toStdString();
    ASSERT_TRUE(line.write(QByteArray("IF;")));
    char got[3] = {};
    EXPECT_EQ(::read(master, got, 3), 3);
    EXPECT_EQ(QByteArray(got, 3), QByteArray("IF;"));
    line.close();
    ::close(master);
}

TEST(PresentPorts, ShowTheStableNameOfEachAdapterWhereThereIsOne)
{
    // A by-id folder as udev makes it: links to the kernel's names.
    QTemporaryDir dir;
    const QString dev = dir.filePath(QStringLiteral("dev"));
    const QString byId = dir.filePath(QStringLiteral("by-id"));
    ASSERT_TRUE(QDir().mkpath(dev));
    ASSERT_TRUE(QDir().mkpath(byId));
    for (const char *n : {"ttyUSB0", "ttyUSB1", "ttyS0"}) {
        QFile f(dev + u'/' + QLatin1String(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(QStringLiteral("../dev/ttyUSB1"),
                            byId + QStringLiteral("/usb-FTDI_FT232R_A600ABCD-if00-port0")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dev/ttyUSB0"),
                            byId + QStringLiteral("/usb-Silicon_Labs_CP2102_0001-if00-port0")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dev/ttyUSB9"),  // a stale link
                            byId + QStringLiteral("/usb-gone-if00-port0")));

    QList<PresentPort> ports;
    for (const char *n : {"ttyUSB0", "ttyS0", "ttyUSB1"}) {
        PresentPort p;
        p.systemLocation = dev + u'/' + QLatin1String(n);
        p.description = QStringLiteral("adapter");
        ports.append(p);
    }
    const QList<PresentPort> named = zev::WithStableNames(ports, byId);
    ASSERT_EQ(named.size(), 3);
    EXPECT_EQ(named[0].device, dev + QStringLiteral("/ttyS0"));
    EXPECT_EQ(named[1].device, byId + QStringLiteral("/usb-Silicon_Labs_CP2102_0001-if00-port0"));
    EXPECT_EQ(named[1].systemLocation, dev + QStringLiteral("/ttyUSB0"));
    EXPECT_EQ(named[2].device, byId + QStringLiteral("/usb-FTDI_FT232R_A600ABCD-if00-port0"));
    EXPECT_EQ(named[2].systemLocation, dev + QStringLiteral("/ttyUSB1"));
    EXPECT_EQ(named[2].description, QStringLiteral("adapter"));

    // A machine without adapters has no by-id folder at all.
    EXPECT_EQ(zev::WithStableNames(ports, dir.filePath(QStringLiteral("none")))[0].device,
              dev + QStringLiteral("/ttyS0"));
}

TEST(PresentPorts, ListsOnlyDevicesThatExist)
{
    for (const PresentPort &p : zev::PresentSerialPorts()) {
        SCOPED_TRACE(p.device.toStdString());
        EXPECT_TRUE(QFile::exists(p.device));
        EXPECT_TRUE(p.device.startsWith(QStringLiteral("/dev/")));
    }
}

}  // namespace
