// Settings texts of the serial windows and the recording line other links test against.

#include "rig/recording_serial_line.h"
#include "rig/serial_line.h"

#include <gtest/gtest.h>

namespace {

using zev::ParseSerialSettings;

TEST(SerialSettings, ReadsEveryTextTheWindowsStore)
{
    struct Case {
        const char *text;
        int baud;
        int lineBaud;
        char parity;
        int dataBits;
        int stopBits;
    };
    const Case cases[] = {
        {"4800,N,8,2", 4800, 4800, 'N', 8, 2},
        {"1200,N,8,1", 1200, 1200, 'N', 8, 1},
        {"9600,E,7,1", 9600, 9600, 'E', 7, 1},
        {"14400,O,8,1", 14400, 14400, 'O', 8, 1},
        {"28800,N,8,1", 28800, 28800, 'N', 8, 1},
        {"56000,N,8,1", 56000, 57600, 'N', 8, 1},
        {"38400,n,8,1", 38400, 38400, 'N', 8, 1},   // a hand-edited file in lower case
        {"4800 ,N,8,2", 4800, 4800, 'N', 8, 2},     // the baud field keeps its padding
        {"2400,M,5,2", 2400, 2400, 'M', 5, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const auto s = ParseSerialSettings(QString::fromLatin1(c.text), &error);
        ASSERT_TRUE(s) << error.toStdString();
        EXPECT_EQ(s->baud, c.baud);
        EXPECT_EQ(s->lineBaud(), c.lineBaud);
        EXPECT_EQ(s->parity, c.parity);
        EXPECT_EQ(s->dataBits, c.dataBits);
        EXPECT_EQ(s->stopBits, c.stopBits);
        EXPECT_TRUE(error.isEmpty());
    }
    EXPECT_EQ(ParseSerialSettings(QStringLiteral("56000,N,8,1"))->baudText,
              QStringLiteral("56000"));
}

TEST(SerialSettings, RefusesBadTextsWithAReasonNamingTheBadField)
{
    struct Case {
        const char *text;
        const char *named;  // what the message must quote
    };
    const Case cases[] = {
        {"", "4800,N,8,2"},
        {"4800", "4800,N,8,2"},
        {"4800,N,8", "4800,N,8,2"},
        {"4800,N,8,2,1", "4800,N,8,2"},
        {"fast,N,8,2", "fast"},
        {"0,N,8,2", "\"0\""},
        {"-4800,N,8,2", "-4800"},
        {"4800.5,N,8,2", "4800.5"},
        {"99999999,N,8,2", "99999999"},
        {"4800,X,8,2", "\"X\""},
        {"4800,NO,8,2", "NO"},
        {"4800,,8,2", "parity"},
        {"4800,N,9,2", "\"9\""},
        {"4800,N,4,2", "\"4\""},
        {"4800,N,8,3", "\"3\""},
        {"4800,N,8,1.5", "1.5"},
        {"4800,N,8,", "stop bits"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        EXPECT_FALSE(ParseSerialSettings(QString::fromLatin1(c.text), &error));
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.named))) << error.toStdString();
    }
}

TEST(SerialSettings, HandshakeNumbersBeyondTheFourAreRefused)
{
    EXPECT_EQ(zev::HandshakeFromNumber(0), zev::Handshake::None);
    EXPECT_EQ(zev::HandshakeFromNumber(1), zev::Handshake::XonXoff);
    EXPECT_EQ(zev::HandshakeFromNumber(2), zev::Handshake::RtsCts);
    EXPECT_EQ(zev::HandshakeFromNumber(3), zev::Handshake::RtsCtsXonXoff);
    EXPECT_FALSE(zev::HandshakeFromNumber(4));
    EXPECT_FALSE(zev::HandshakeFromNumber(-1));
}

TEST(RecordingSerialLine, RecordsCallsInOrderAndBehavesLikeALine)
{
    using Event = zev::RecordingSerialLine::Event;
    zev::RecordingSerialLine line;
    EXPECT_FALSE(line.write(QByteArray("lost")));  // closed: refused, not recorded

    ASSERT_TRUE(line.open(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("4800,N,8,2"),
                          zev::Handshake::None, false, true));
    EXPECT_FALSE(line.dtr());
    EXPECT_TRUE(line.rts());
    ASSERT_TRUE(line.write(QByteArray::fromHex("0000000003")));
    ASSERT_TRUE(line.setDtr(true));
    line.incoming = QByteArray::fromHex("0014025000");
    EXPECT_EQ(line.readAll(), QByteArray::fromHex("0014025000"));
    EXPECT_TRUE(line.readAll().isEmpty());
    line.close();

    ASSERT_EQ(line.events.size(), 4);
    EXPECT_EQ(line.events[0].kind, Event::Open);
    EXPECT_EQ(line.events[0].device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(line.events[0].settings, QStringLiteral("4800,N,8,2"));
    EXPECT_TRUE(line.events[0].rts);
    EXPECT_EQ(line.events[1].bytes, QByteArray::fromHex("0000000003"));
    EXPECT_EQ(line.events[2].kind, Event::Dtr);
    EXPECT_TRUE(line.events[2].dtr);
    EXPECT_EQ(line.events[3].kind, Event::Close);
    EXPECT_EQ(line.written(), QByteArray::fromHex("0000000003"));

    // A pseudo-terminal: the open works, a line change fails.
    line.hasModemLines = false;
    ASSERT_TRUE(line.open(QStringLiteral("/dev/pts/3"), QStringLiteral("1200,N,8,1"),
                          zev::Handshake::None, true, true));
    EXPECT_FALSE(line.setRts(true));
    EXPECT_FALSE(line.errorText().isEmpty());

    line.failOpenWith = QStringLiteral("busy");
    line.failOpenErrno = EBUSY;
    EXPECT_FALSE(line.open(QStringLiteral("/dev/pts/3"), QStringLiteral("1200,N,8,1"),
                           zev::Handshake::None, false, false));
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(line.openErrno(), EBUSY);
}

}  // namespace
