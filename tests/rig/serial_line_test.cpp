// The serial line for real: QtSerialLine against a pseudo-terminal pair, whose master end
// plays the radio.

#include "rig/serial_line.h"
#include "rig/serial_line_device.h"

#include <QCoreApplication>
#include <QFile>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using zev::Handshake;
using zev::QtSerialLine;

// A pseudo-terminal pair: the line opens `path`, the test speaks through `master`.
class Pty {
public:
    Pty()
    {
        int slave = -1;
        char name[128] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
            path_ = QString::fromLocal8Bit(name);
            // Start from what a fresh UART has: cooked lines, XON/XOFF, hang-up on close.
            termios t {};
            ::tcgetattr(slave, &t);
            t.c_cflag |= HUPCL;
            t.c_iflag |= IXON | ICRNL;
            t.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
            t.c_oflag |= OPOST | ONLCR;
            ::tcsetattr(slave, TCSANOW, &t);
            ::close(slave);
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~Pty() { closeMaster(); }
    QString path() const { return path_; }
    bool ok() const { return master_ >= 0; }
    // Whether something holds the line's end open.
    bool held() const
    {
        pollfd p{master_, 0, 0};
        ::poll(&p, 1, 0);
        return !(p.revents & POLLHUP);
    }
    void closeMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    bool send(const QByteArray &bytes)
    {
        return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
    }
    // Writes what the far end takes now; how many bytes it took.
    qint64 offer(const char *bytes, qint64 size)
    {
        const ssize_t n = ::write(master_, bytes, size);
        return n < 0 ? 0 : n;
    }
    // Reads until `count` bytes came or nothing more comes for a while.
    QByteArray receive(int count)
    {
        QByteArray got;
        while (got.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                break;
            char buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        return got;
    }

private:
    int master_ = -1;
    QString path_;
};

// Reads from the line until `count` bytes came or nothing more comes for a while.
QByteArray ReadFromLine(zev::SerialLine &line, int count)
{
    QByteArray got;
    QElapsedTimer quiet;
    quiet.start();
    while (got.size() < count && quiet.elapsed() < 2000) {
        QCoreApplication::processEvents();
        const QByteArray more = line.readAll();
        if (!more.isEmpty())
            quiet.restart();
        got += more;
        ::usleep(1000);
    }
    return got;
}

QByteArray AllByteValues()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    return all;
}

TEST(QtSerialLine, CarriesEveryByteValueBothWaysUnchanged)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                          false))
        << line.errorText().toStdString();
    // 0x11 and 0x13 are frequency digits, CR and LF are command ends: none may be eaten,
    // doubled or translated.
    const QByteArray all = AllByteValues() + AllByteValues();
    ASSERT_TRUE(line.write(all));
    EXPECT_EQ(pty.receive(all.size()).toHex(), all.toHex());

    ASSERT_TRUE(pty.send(all));
    EXPECT_EQ(ReadFromLine(line, all.size()).toHex(), all.toHex());
    EXPECT_TRUE(line.readAll().isEmpty());
}

TEST(QtSerialLine, SetsTheHandshakeAskedOnEveryOpenAndNeverHangsUpOnClose)
{
    struct Case {
        Handshake handshake;
        bool rtsCts;
        bool xonXoff;
    };
    const Case cases[] = {
        {Handshake::RtsCts, true, false},
        {Handshake::None, false, false},  // after RTS/CTS: nothing leaks into the next open
        {Handshake::XonXoff, false, true},
        {Handshake::RtsCtsXonXoff, true, true},
        {Handshake::None, false, false},
    };
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.handshake));
        ASSERT_TRUE(line.open(pty.path(), QStringLiteral("9600,N,8,1"), c.handshake, false,
                              false))
            << line.errorText().toStdString();
        const auto state = line.lineState();
        ASSERT_TRUE(state);
        EXPECT_EQ(state->rtsCts, c.rtsCts);
        EXPECT_EQ(state->xonXoff, c.xonXoff);
        EXPECT_FALSE(state->hangUpOnClose);
        EXPECT_TRUE(state->rawInput);
    }
}

TEST(QtSerialLine, ClosingKeepsTheLinesSettingsAndSendsTheLastBytes)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false, false))
        << line.errorText().toStdString();
    ASSERT_TRUE(line.write(QByteArray::fromHex("0000000080")));
    line.close();
    // The unlock bytes went out before the close.
    EXPECT_EQ(pty.receive(5), QByteArray::fromHex("0000000080"));
    // Closing does not bring back the hang-up a fresh port has.
    const int fd = ::open(QFile::encodeName(pty.path()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t {};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(t.c_cflag & HUPCL, 0u);
}

// A line whose kernel queue does not empty until told, as behind a radio that holds CTS
// low or a slow UART still shifting out (a pseudo-terminal never queues).
class SlowLine : public QtSerialLine {
public:
    bool stuck = true;

protected:
    qint64 kernelOutputQueue(int fd) const override
    {
        return stuck ? 5 : QtSerialLine::kernelOutputQueue(fd);
    }
};

TEST(QtSerialLine, ClosingReturnsAtOnceWhileTheLastBytesStillLeave)
{
    enum class End { Drains, TimesOut, Reopens, OtherLineOpens, Destroyed };
    struct Case {
        const char *name;
        Handshake handshake;
        End end;
    };
    const Case cases[] = {
        {"queue empties", Handshake::None, End::Drains},
        {"radio holds CTS low", Handshake::RtsCts, End::TimesOut},
        {"queue never empties", Handshake::None, End::TimesOut},
        {"opened again at once", Handshake::None, End::Reopens},
        {"another line takes the device", Handshake::None, End::OtherLineOpens},
        {"line destroyed", Handshake::None, End::Destroyed},
        {"line destroyed under flow control", Handshake::RtsCts, End::Destroyed},
    };
    const QByteArray unlock = QByteArray::fromHex("0000000080");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Pty pty;
        ASSERT_TRUE(pty.ok());
        auto line = std::make_unique<SlowLine>();
        ASSERT_TRUE(line->open(pty.path(), QStringLiteral("4800,N,8,2"), c.handshake, false, false))
            << line->errorText().toStdString();
        ASSERT_TRUE(line->write(unlock));
        line->close();
        EXPECT_EQ(pty.receive(5), unlock);
        // Closed for its user, yet still holding the device: close() did not wait.
        EXPECT_FALSE(line->isOpen());
        EXPECT_FALSE(line->write(QByteArray("FA;")));
        EXPECT_TRUE(pty.held());

        switch (c.end) {
        case End::Drains:
            line->stuck = false;
            break;
        case End::TimesOut:
            break;
        case End::Reopens:
            // The wait gives way to the new open, which then works as ever.
            ASSERT_TRUE(line->open(pty.path(), QStringLiteral("4800,N,8,2"), c.handshake, false, false))
                << line->errorText().toStdString();
            ASSERT_TRUE(line->write(QByteArray("FA;")));
            EXPECT_EQ(pty.receive(3), QByteArray("FA;"));
            line.reset();
            break;
        case End::OtherLineOpens: {
            QtSerialLine other;
            ASSERT_TRUE(other.open(pty.path(), QStringLiteral("4800,N,8,2"), c.handshake, false, false))
                << other.errorText().toStdString();
            ASSERT_TRUE(other.write(QByteArray("FA;")));
            EXPECT_EQ(pty.receive(3), QByteArray("FA;"));
            EXPECT_FALSE(line->isOpen());
            break;
        }
        case End::Destroyed:
            line.reset();
            break;
        }
        for (int i = 0; i < 3000 && pty.held(); ++i) {
            QCoreApplication::processEvents();
            ::usleep(1000);
        }
        EXPECT_FALSE(pty.held()) << "the port was never let go";
        if (line) {
            EXPECT_FALSE(line->isOpen());
        }
    }
}

TEST(QtSerialLine, RunsEachStoredRateAtItsUartRate)
{
    struct Case {
        const char *settings;
        int lineBaud;
    };
    const Case cases[] = {
        {"1200,N,8,1", 1200},   {"4800,N,8,2", 4800},   {"14400,N,8,1", 14400},
        {"28800,E,7,1", 28800}, {"56000,N,8,1", 57600}, {"38400,O,8,1", 38400},
    };
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.settings);
        ASSERT_TRUE(line.open(pty.path(), QString::fromLatin1(c.settings), Handshake::None,
                              false, false))
            << line.errorText().toStdString();
        const auto state = line.lineState();
        ASSERT_TRUE(state);
        EXPECT_EQ(state->baud, c.lineBaud);
    }
}

TEST(QtSerialLine, ReportsOpenFailuresAndStaysClosed)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;

    EXPECT_FALSE(line.open(QStringLiteral("/dev/ttyZEV-not-there"), QStringLiteral("4800,N,8,2"),
                           Handshake::None, false, false));
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.openErrno(), ENOENT);
    EXPECT_TRUE(line.errorText().contains(QStringLiteral("/dev/ttyZEV-not-there")));

    EXPECT_FALSE(line.open(pty.path(), QStringLiteral("4800,N,8"), Handshake::None, false,
                           false));
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.errorText().isEmpty());

    // Busy: another link of this program already holds the device.
    QtSerialLine holder;
    ASSERT_TRUE(holder.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                            false));
    EXPECT_FALSE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                           false));
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.openErrno(), EBUSY);
    EXPECT_TRUE(holder.isOpen());
    // The failed open never disturbed the holder.
    ASSERT_TRUE(holder.write(QByteArray("FA;")));
    EXPECT_EQ(pty.receive(3), QByteArray("FA;"));

    holder.close();
    EXPECT_TRUE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                          false))
        << line.errorText().toStdString();
}

TEST(QtSerialLine, ModemLinesAPseudoTerminalLacksDoNotFailTheOpen)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, true, true))
        << line.errorText().toStdString();
    EXPECT_TRUE(line.isOpen());
    EXPECT_TRUE(line.errorText().isEmpty());
    // Asked later, the missing line is a failure the caller hears about; the line stays open.
    EXPECT_FALSE(line.setDtr(true));
    EXPECT_TRUE(line.errorText().contains(QStringLiteral("DTR")));
    EXPECT_FALSE(line.setRts(false));
    EXPECT_TRUE(line.errorText().contains(QStringLiteral("RTS")));
    EXPECT_EQ(line.openErrno(), 0);  // the open itself went well
    EXPECT_TRUE(line.isOpen());
    ASSERT_TRUE(line.write(QByteArray("ok")));
    EXPECT_EQ(pty.receive(2), QByteArray("ok"));
}

TEST(QtSerialLine, RtsUnderRtsCtsHandshakeIsRefusedWithAReason)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("56000,N,8,1"), Handshake::RtsCts, false,
                          true));
    EXPECT_FALSE(line.setRts(true));
    EXPECT_TRUE(line.errorText().contains(QStringLiteral("RTS/CTS")));
}

TEST(QtSerialLine, CountsBytesNotYetSentUntilTheFarEndTookThem)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("9600,N,8,1"), Handshake::None, false,
                          false));
    // More than the kernel takes while nobody reads the far end.
    QByteArray big;
    for (int i = 0; i < 1024; ++i)
        big += AllByteValues();
    ASSERT_TRUE(line.write(big));
    EXPECT_GT(line.bytesToWrite(), 0);

    QByteArray got;
    for (int i = 0; i < 5000 && got.size() < big.size(); ++i) {
        QCoreApplication::processEvents();
        got += pty.receive(1);
    }
    EXPECT_EQ(got.size(), big.size());
    EXPECT_TRUE(got == big);
    EXPECT_EQ(line.bytesToWrite(), 0);
}

TEST(QtSerialLine, ALineNobodyReadsHoldsABoundedAmountAndLosesNothing)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty.path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                          false));
    // A radio in auto-information mode talks on while nothing reads the line.
    QByteArray stream;
    for (int i = 0; i < 4 * 1024; ++i)
        stream += AllByteValues();
    qint64 sent = 0;
    int refusals = 0;
    while (sent < stream.size() && refusals < 20) {
        const qint64 n = pty.offer(stream.constData() + sent, stream.size() - sent);
        refusals = n ? 0 : refusals + 1;
        sent += n;
        QCoreApplication::processEvents();
    }
    EXPECT_LT(sent, stream.size()) << "the line took everything into memory";

    QByteArray got = line.readAll();
    EXPECT_LE(got.size(), 64 * 1024);
    for (int i = 0; i < 2000 && got.size() < sent; ++i) {
        QCoreApplication::processEvents();
        got += line.readAll();
    }
    EXPECT_TRUE(got == stream.left(sent));
}

TEST(QtSerialLine, ClosedLineRefusesWritesAndReadsNothing)
{
    QtSerialLine line;
    EXPECT_FALSE(line.write(QByteArray("FA;")));
    EXPECT_FALSE(line.errorText().isEmpty());
    EXPECT_TRUE(line.readAll().isEmpty());
    EXPECT_EQ(line.bytesToWrite(), 0);
    EXPECT_FALSE(line.setDtr(true));
}

TEST(QtSerialLine, DeviceThatDisappearsMidReadEndsTheLineWithoutACrash)
{
    auto pty = std::make_unique<Pty>();
    ASSERT_TRUE(pty->ok());
    QtSerialLine line;
    ASSERT_TRUE(line.open(pty->path(), QStringLiteral("4800,N,8,2"), Handshake::None, false,
                          false));
    ASSERT_TRUE(pty->send(QByteArray("FA000140")));
    EXPECT_EQ(ReadFromLine(line, 8), QByteArray("FA000140"));
    ASSERT_TRUE(pty->send(QByteArray("25000;")));
    pty.reset();  // the adapter is pulled out

    QByteArray after;
    for (int i = 0; i < 50 && line.isOpen(); ++i) {
        QCoreApplication::processEvents();
        after += line.readAll();
        ::usleep(1000);
    }
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.errorText().isEmpty());
    EXPECT_FALSE(line.write(QByteArray("FA;")));
    EXPECT_TRUE(line.readAll().isEmpty());
    EXPECT_TRUE(QByteArray("25000;").startsWith(after));
}

}  // namespace
