// The real key lines: a serial device's modem line and the parallel port's strobe.

#include "keying/key_line_device.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "pseudo_terminal.h"

namespace {

using zevtest::Pty;

TEST(SerialKeyLine, OpensAPseudoTerminalAndSaysItHasNoModemLines)
{
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    // Someone left HUPCL off: opening the key line must put it on, so that the kernel
    // drops the line if the program dies with the key down.
    {
        const int fd = ::open(pty.slave.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios t{};
        ASSERT_EQ(tcgetattr(fd, &t), 0);
        t.c_cflag &= ~tcflag_t(HUPCL);
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
        ::close(fd);
    }
    for (zev::KeyLineKind kind : {zev::KeyLineKind::Rts, zev::KeyLineKind::Dtr}) {
        auto line = zev::MakeKeyLine(kind, pty.slave);
        ASSERT_TRUE(line->open()) << line->errorText().toStdString();
        EXPECT_TRUE(line->isOpen());
        {
            const int fd = ::open(pty.slave.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
            ASSERT_GE(fd, 0);
            termios t{};
            ASSERT_EQ(tcgetattr(fd, &t), 0);
            EXPECT_NE(t.c_cflag & HUPCL, 0u);
            ::close(fd);
        }
        EXPECT_FALSE(line->set(true));
        const QString error = line->errorText();
        EXPECT_TRUE(error.contains(pty.slave)) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOTTY)))) << error.toStdString();
        EXPECT_TRUE(error.contains(kind == zev::KeyLineKind::Rts ? QStringLiteral("RTS") : QStringLiteral("DTR")));
        EXPECT_TRUE(error.contains(QStringLiteral("pseudo-terminal")));
        EXPECT_FALSE(line->isOpen());
        line->close();  // safe when closed
    }
}

TEST(SerialKeyLine, NoPortMissingDeviceAndNotATty)
{
    auto none = zev::MakeKeyLine(zev::KeyLineKind::Rts, QString());
    EXPECT_FALSE(none->open());
    EXPECT_EQ(none->errorText(), QStringLiteral("No CW port set"));
    EXPECT_FALSE(none->set(true));

    auto missing = zev::MakeKeyLine(zev::KeyLineKind::Dtr, QStringLiteral("/dev/ttyZEV-missing"));
    EXPECT_FALSE(missing->open());
    EXPECT_TRUE(missing->errorText().contains(QString::fromLocal8Bit(std::strerror(ENOENT))))
        << missing->errorText().toStdString();
    EXPECT_FALSE(missing->isOpen());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain"));
    zevtest::WriteFile(file, "x");
    auto plain = zev::MakeKeyLine(zev::KeyLineKind::Rts, file);
    EXPECT_FALSE(plain->open());
    EXPECT_TRUE(plain->errorText().contains(QStringLiteral("not a serial port")));
}

TEST(ParallelKeyLine, StrobeIsThreeDownTwoUpAndStartsAndEndsUp)
{
    auto recorder = std::make_unique<zev::RecordingParallelLine>();
    auto *writes = recorder.get();
    zev::ParallelKeyLine line(QStringLiteral("&H378"), std::move(recorder));
    ASSERT_TRUE(line.open()) << line.errorText().toStdString();
    EXPECT_EQ(writes->openedBase, 0x378u);
    EXPECT_TRUE(line.set(true));
    EXPECT_TRUE(line.set(true));
    EXPECT_TRUE(line.set(false));
    EXPECT_EQ(writes->controlWrites, (QList<quint8>{2, 3, 3, 2}));
    // Closed with the key down: released first.
    EXPECT_TRUE(line.set(true));
    line.close();
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(writes->controlWrites, (QList<quint8>{2, 3, 3, 2, 3, 2}));
}

TEST(ParallelKeyLine, NoPortAtTheAddressIsReported)
{
    auto recorder = std::make_unique<zev::RecordingParallelLine>();
    zev::ParallelKeyLine line(QStringLiteral("&H278"), std::move(recorder));
    EXPECT_FALSE(line.open());
    EXPECT_FALSE(line.errorText().isEmpty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.set(true));
}

}  // namespace
