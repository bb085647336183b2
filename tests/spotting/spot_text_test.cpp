#include "spotting/spot_text.h"

#include "logcore/prefix_table.h"
#include "spot_servers.h"
#include "test_support.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace zev;
using zevtest::StandardSpot;

namespace {

QList<QByteArray> FeedWhole(LineAssembler &a, const QByteArray &bytes) { return a.feed(bytes); }

QList<QByteArray> FeedByteByByte(LineAssembler &a, const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (char c : bytes)
        lines += a.feed(QByteArray(1, c));
    return lines;
}

}  // namespace

TEST(LineAssembler, EveryLineEndGivesOneLineWholeOrByteByByte)
{
    const struct {
        const char *bytes;
        QList<QByteArray> lines;
        QByteArray tail;
    } cases[] = {
        {"one\r\ntwo\r\n", {"one", "two"}, ""},
        {"one\ntwo\n", {"one", "two"}, ""},
        {"one\rtwo\r", {"one", "two"}, ""},
        {"one\r\n\r\ntwo", {"one", ""}, "two"},
        {"one\n\rtwo\r\n", {"one", "", "two"}, ""},
        {"no end yet", {}, "no end yet"},
    };
    for (const auto &c : cases) {
        LineAssembler whole, bytes;
        EXPECT_EQ(FeedWhole(whole, c.bytes), c.lines) << c.bytes;
        EXPECT_EQ(whole.pending(), c.tail) << c.bytes;
        EXPECT_EQ(FeedByteByByte(bytes, c.bytes), c.lines) << c.bytes;
        EXPECT_EQ(bytes.pending(), c.tail) << c.bytes;
    }
}

TEST(LineAssembler, AnOverlongLineIsCutAndMemoryStaysBounded)
{
    LineAssembler a;
    const QByteArray flood(3 * kMaxSpotLine, 'x');
    EXPECT_TRUE(a.feed(flood).isEmpty());
    EXPECT_LE(a.pending().size(), kMaxSpotLine);
    const QList<QByteArray> lines = a.feed("yyy\r\nnext\r\n");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QByteArray(kMaxSpotLine, 'x'));
    EXPECT_EQ(lines[1], "next");
}

TEST(AgwFrames, RoundTripSplitAtEveryByteWithNulDroppedAndCaseKept)
{
    AgwFrame a;
    a.port = 1;
    a.kind = 'U';
    a.pid = 0xF0;
    a.callFrom = "W1AW-9";
    a.callTo = "DX";
    a.data = QByteArray(" 1:Fm W1AW To DX <UI>\rDX de W1AW: 14025.0 VE3ABC\r") + '\0';
    AgwFrame d;
    d.kind = 'd';
    d.callFrom = "VE7CC";
    AgwFrame D;
    D.kind = 'D';
    D.callFrom = "VE7CC";
    D.data = "hello\r";
    const QByteArray stream = EncodeAgwFrame(a) + EncodeAgwFrame(d) + EncodeAgwFrame(D);
    ASSERT_EQ(EncodeAgwFrame(a).size(), kAgwHeaderSize + a.data.size());
    // Length is little-endian at offset 28.
    EXPECT_EQ(quint8(EncodeAgwFrame(a)[28]), quint8(a.data.size()));
    EXPECT_EQ(EncodeAgwFrame(a)[4], 'U');

    AgwFrameAssembler asm1;
    QList<AgwFrame> frames;
    for (char c : stream)
        frames += asm1.feed(QByteArray(1, c));
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0].kind, 'U');
    EXPECT_EQ(frames[0].port, 1);
    EXPECT_EQ(frames[0].pid, 0xF0);
    EXPECT_EQ(frames[0].callFrom, "W1AW-9");
    EXPECT_EQ(frames[0].callTo, "DX");
    EXPECT_EQ(frames[0].data, a.data.chopped(1));  // the NUL is gone
    EXPECT_EQ(frames[1].kind, 'd');
    EXPECT_EQ(frames[2].kind, 'D');
    EXPECT_EQ(frames[2].data, "hello\r");
    EXPECT_EQ(asm1.pendingSize(), 0);
}

TEST(AgwFrames, TheHeaderLayoutByteForByte)
{
    // Header: port, 3 reserved, kind, reserved, PID, reserved, call from (10), call to
    // (10), data length (4, little-endian), user (4).
    const struct {
        const char *what;
        AgwFrame frame;
        QByteArray hex;
    } cases[] = {
        {"registration", {0, 'X', 0, "VE3ZZZ", {}, {}, 0},
         "00000000" "58000000" "5645335a5a5a00000000" "00000000000000000000" "00000000" "00000000"},
        {"connected data on port 2",
         {1, 'D', 0xF0, "VE3ZZZ", "VE7CC-1", "SH/DX\r", 0},
         "01000000" "4400f000" "5645335a5a5a00000000" "56453743432d31000000" "06000000" "00000000"
         "53482f44580d"},
        {"a call of nine characters and a user value",
         {0, 'U', 0, "VE3ABC-15", "DX", QByteArray(300, 'a'), 0x01020304},
         "00000000" "55000000" "5645334142432d313500" "44580000000000000000" "2c010000" "04030201" +
             QByteArray(300, 'a').toHex()},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EncodeAgwFrame(c.frame).toHex(), c.hex) << c.what;
        AgwFrameAssembler a;
        const QList<AgwFrame> back = a.feed(QByteArray::fromHex(c.hex));
        ASSERT_EQ(back.size(), 1) << c.what;
        EXPECT_EQ(back[0].port, c.frame.port) << c.what;
        EXPECT_EQ(back[0].kind, c.frame.kind) << c.what;
        EXPECT_EQ(back[0].pid, c.frame.pid) << c.what;
        EXPECT_EQ(back[0].callFrom, c.frame.callFrom) << c.what;
        EXPECT_EQ(back[0].callTo, c.frame.callTo) << c.what;
        EXPECT_EQ(back[0].data, c.frame.data) << c.what;
        EXPECT_EQ(back[0].user, c.frame.user) << c.what;
    }
}

TEST(AgwFrames, AnImpossibleLengthStopsBeforeAllocating)
{
    QByteArray header(kAgwHeaderSize, '\0');
    header[4] = 'U';
    qToLittleEndian<quint32>(0x7FFFFFFF, header.data() + 28);
    AgwFrameAssembler a;
    EXPECT_TRUE(a.feed(header).isEmpty());
    EXPECT_FALSE(a.error().isEmpty());
    EXPECT_EQ(a.pendingSize(), 0);
    // Nothing more is taken from a stream that is out of step.
    AgwFrame f;
    f.kind = 'U';
    EXPECT_TRUE(a.feed(EncodeAgwFrame(f)).isEmpty());
}

TEST(SpotLine, RealLineShapes)
{
    struct Case {
        QString line;
        bool spot;
        QString freq, call, spotter, comment, time;
    };
    const QString standard = StandardSpot("W3LPL", "14025.0", "VE3ABC", "CW 23 dB 28 WPM CQ", "1234");
    const QString skimmer = StandardSpot("W3LPL-#", "7010.0", "K1ABC", "CW 23 dB 28 WPM CQ", "2359");
    const Case cases[] = {
        {standard, true, "14025.0", "VE3ABC", "de W3LPL:", "CW 23 dB 28 WPM CQ", "1234"},
        {skimmer, true, "7010.0", "K1ABC", "de W3LPL-#:", "CW 23 dB 28 WPM CQ", "2359"},
        // lower-case "dx de" counts too
        {standard.toLower(), true, "14025.0", "ve3abc", "de w3lpl:", "cw 23 db 28 wpm cq", "1234"},
        // a long spotter call pushes everything one column or more to the right
        {"DX de VE3ABC/VE3-#: 14025.0  K1ABC        CW 23 dB 28 WPM CQ             1234Z", true, "14025.0",
         "K1ABC", "de VE3ABC/VE3-#:", "CW 23 dB 28 WPM CQ", "1234"},
        // a ten-character frequency moves the call one column
        {"DX de W3LPL:    10368100.0  W1ABC/R      FN42 rover                     1500Z", true, "10368100.0",
         "W1ABC/R", "de W3LPL:", "FN42 rover", "1500"},
        {"DX de K1TTT:     3505.0  UA9/OH1AA    up 2                           0102Z", true, "3505.0",
         "UA9/OH1AA", "de K1TTT:", "up 2", "0102"},
        // not spots
        {"To ALL de W3LPL: contest starts in 10 minutes", false, {}, {}, {}, {}, {}},
        {"WWV de W0MU <18>:   SFI=69, A=6, K=2, No Storms -> No Storms", false, {}, {}, {}, {}, {}},
        {"To VE3ABC de W3LPL: are you on 20m?", false, {}, {}, {}, {}, {}},
        {"DXCC list updated", false, {}, {}, {}, {}, {}},
        // cut lines: nothing made up
        {"DX de W3LPL:     14025.0", false, {}, {}, {}, {}, {}},
        {"DX de W3LPL", false, {}, {}, {}, {}, {}},
        // a call with anything but letters, digits and "/" is no call
        {"DX de W3LPL:     14025.0  VE3<b>AB     hi                             1234Z", false, {}, {}, {}, {}, {}},
        {QStringLiteral("DX de W3LPL:     14025.0  VE3AB\aC      hi                             1234Z"), false,
         {}, {}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        const auto s = ParseSpotLine(c.line);
        ASSERT_EQ(s.has_value(), c.spot) << c.line.toStdString();
        if (!s)
            continue;
        EXPECT_EQ(s->freqText, c.freq) << c.line.toStdString();
        EXPECT_EQ(s->call, c.call) << c.line.toStdString();
        EXPECT_EQ(s->spotter, c.spotter) << c.line.toStdString();
        EXPECT_EQ(s->comment, c.comment) << c.line.toStdString();
        EXPECT_EQ(s->time, c.time) << c.line.toStdString();
        EXPECT_EQ(s->record, c.line.mid(3).trimmed()) << c.line.toStdString();
    }
}

TEST(SpotLine, StandardLayoutKeepsTheFixedColumns)
{
    // Prefix and "from" columns of a cluster that fills them.
    QString line = StandardSpot("W3LPL", "21025.0", "JA1ABC", "CW", "0800");
    line.replace(64, 5, QStringLiteral("JA   "));
    line += QStringLiteral("PM95");
    const auto s = ParseSpotLine(line);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->prefix, "JA");
    EXPECT_EQ(s->time, "0800");
    EXPECT_EQ(s->from, "PM95");
}

TEST(SpotLine, BellsAndControlCharactersReachNoField)
{
    const QString k3lr = StandardSpot("K3LR", "14030.0", "OK1ABC", "CW 599", "1830");
    const QString ring = StandardSpot("W3LPL", "14025.0", "VE3ABC", QStringLiteral("ring\a<b>x</b>"), "1234");
    const struct {
        QString line;
        QString comment, time, from, record;
    } cases[] = {
        // A cluster ends its lines with two bells: they fall where "From" is cut.
        {k3lr + QStringLiteral("\a\a"), "CW 599", "1830", "", k3lr.mid(3).trimmed()},
        {ring, "ring<b>x</b>", "1234", "", QString(ring).remove(QChar(7)).mid(3).trimmed()},
        // Escape, DEL and C1 codes go too; a tab is a space.
        {StandardSpot("W3LPL", "7010.0", "K1ABC", QStringLiteral("a\x1b[1mb\x7f\tc\u0085d"), "12\x01" "4") +
             QStringLiteral("\x02PM9"),
         "a[1mb cd", "124", "PM9", QString()},
    };
    for (const auto &c : cases) {
        const auto s = ParseSpotLine(c.line);
        ASSERT_TRUE(s) << c.line.toStdString();
        EXPECT_EQ(s->comment, c.comment) << c.line.toStdString();
        EXPECT_EQ(s->time, c.time) << c.line.toStdString();
        EXPECT_EQ(s->from, c.from) << c.line.toStdString();
        if (!c.record.isEmpty()) {
            EXPECT_EQ(s->record, c.record) << c.line.toStdString();
        }
        for (const QString &field : {s->record, s->spotter, s->comment, s->prefix, s->time, s->from})
            for (const QChar ch : field)
                EXPECT_TRUE(ch.unicode() >= 0x20 && ch.unicode() != 0x7F && !(ch.unicode() >= 0x80 && ch.unicode() < 0xA0) &&
                            !(ch.unicode() >= 0x2400 && ch.unicode() < 0x2430))
                    << c.line.toStdString() << " field " << field.toStdString();
    }
}

TEST(SpotLabel, Prefixes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"QQ1ABC", "QQ1"},  {"Q1QQ", "Q1"},       {"1Q1QQ", "1Q1"},  {"QQABC", "QQABC"},
        {"QQ3/QQ1ABC", "QQ3"}, {"QQ1ABC/QQ3", "QQ3"}, {"QQ1ABC/P", "P"}, {"QQ1AB/4", "QQ4"},
        {"Q1ABC/QRP", "QR"}, {"Q1", ""},            {"", ""},
    };
    for (const auto &[call, label] : cases)
        EXPECT_EQ(SpotLabelText(QLatin1String(call)), QLatin1String(label)) << call;
}

TEST(SpotCountryTest, LongestPrefixCaseAndKg4)
{
    PrefixTable t;
    t.entries = {{"KG4", "Guantanamo Bay", "NA", 0, 0}, {"V", "Somewhere V", "NA", 0, 0},
                 {"VE", "Canada", "NA", 0, 0},         {"VE8", "Canada North", "NA", 0, 0},
                 {"W", "USA", "NA", 0, 0}};
    const std::pair<const char *, const char *> cases[] = {
        {"VE8ABC", "Canada North"}, {"VE3ABC", "Canada"}, {"VK2ABC", "Somewhere V"},
        {"W1AW/VE3", "Canada"},      {"W1AW/P", "USA"},     {"KG4ABC", "USA"},
        {"KG4AB", "Guantanamo Bay"}, {"KG4A", "Guantanamo Bay"}, {"ve3abc", ""}, {"ZZ9ZZ", ""},
    };
    for (const auto &[call, country] : cases)
        EXPECT_EQ(SpotCountry(t, QLatin1String(call)), QLatin1String(country)) << call;
    EXPECT_EQ(SpotCountry(PrefixTable{}, QStringLiteral("VE3ABC")), QString());
}

TEST(Monitor, TrimAndDuplicateWindow)
{
    QString m(10001, QLatin1Char('a'));
    m[10000] = QLatin1Char('z');
    TrimMonitor(m);
    EXPECT_EQ(m.size(), 9000);
    EXPECT_TRUE(m.endsWith(QLatin1Char('z')));
    QString small(10000, QLatin1Char('a'));
    TrimMonitor(small);
    EXPECT_EQ(small.size(), 10000);

    const QString line = QStringLiteral("DX de W3LPL: 14025.0 VE3ABC");
    QString mon = QStringLiteral("x\r\n") + line + QStringLiteral("\r\n");
    EXPECT_TRUE(IsDuplicateLine(mon, line));
    EXPECT_TRUE(IsDuplicateLine(mon, line.toLower()));
    mon += QString(800, QLatin1Char('-'));
    EXPECT_FALSE(IsDuplicateLine(mon, line));  // fell out of the last 800 characters
}

TEST(Monitor, DisplayAndLineEnds)
{
    EXPECT_EQ(DisplayText(QStringLiteral("a\r\nb\rc\nd\te")), QStringLiteral("a\nb\nc\nd\te"));
    EXPECT_EQ(DisplayText(QStringLiteral("bell\a")), QStringLiteral("bell") + QChar(0x2407));
    bool cr = false;
    QString out = MonitorText("one\r", cr);
    out += MonitorText("\ntwo\nthree\r\r", cr);
    EXPECT_EQ(out, QStringLiteral("one\r\ntwo\r\nthree\r\n\r\n"));
}

TEST(PackSpot, RoundTripIsByteExact)
{
    const QByteArray file = "\"9600\"\r\n\"N\"\r\n\"8\"\r\n\"1\"\r\n3\r\n\"R\"\r\n\"Telnet\"\r\n0\r\n4\r\n1\r\n"
                            "#TRUE#\r\n\"1B\"\r\n\"7300\"\r\n\"dxc.example.org\"\r\n";
    const PackSpotRead r = ParsePackSpot(file);
    ASSERT_TRUE(r.complete);
    EXPECT_TRUE(r.fallbacks.isEmpty());
    EXPECT_EQ(r.settings.SerialPort, 3);
    EXPECT_EQ(r.settings.SerialPower, "R");
    EXPECT_EQ(r.settings.SpotConnectionType, "Telnet");
    EXPECT_EQ(r.settings.SerialHandshake, 4);
    EXPECT_EQ(r.settings.DxOnly, 1);
    EXPECT_TRUE(r.settings.OptList);
    EXPECT_EQ(r.settings.Hex, "1B");
    EXPECT_EQ(r.settings.TelnetPort, "7300");
    EXPECT_EQ(r.settings.TelnetHost, "dxc.example.org");
    EXPECT_EQ(r.settings.SerialSettings(), "9600,N,8,1");
    EXPECT_EQ(FormatPackSpot(r.settings), file);
}

TEST(PackSpot, TelnetOnlyFileLoadsWholeAndBadValuesFallBack)
{
    // Saved by a set-up that never applied serial options.
    const QByteArray file = "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n\"\"\r\n\"telnet\"\r\n0\r\n0\r\n0\r\n#FALSE#\r\n\"\"\r\n"
                            "\"7300\"\r\n\"dxc.example.org\"\r\n";
    const PackSpotRead r = ParsePackSpot(file);
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.settings.SpotConnectionType, "Telnet");
    EXPECT_EQ(r.settings.TelnetHost, "dxc.example.org");
    EXPECT_EQ(r.settings.TelnetPort, "7300");
    const PackSpotSettings d;
    EXPECT_EQ(r.settings.SerialBaud, d.SerialBaud);
    EXPECT_EQ(r.settings.SerialPort, 1);
    EXPECT_EQ(r.settings.SerialHandshake, 3);
    EXPECT_EQ(r.settings.Hex, "03");
    EXPECT_TRUE(r.fallbacks.contains("SerialPort"));
    EXPECT_TRUE(r.fallbacks.contains("SerialHandshake"));

    const QByteArray bad = "\"57600\"\r\n\"X\"\r\n\"9\"\r\n\"3\"\r\n11\r\n\"Q\"\r\n\"Carrier pigeon\"\r\n2\r\n7\r\n5\r\n"
                           "maybe\r\n\"ZZZ\"\r\n\"23\"\r\n\"h\"\r\n";
    const PackSpotRead b = ParsePackSpot(bad);
    ASSERT_TRUE(b.complete);
    EXPECT_EQ(b.settings.SerialSettings(), "9600,N,8,1");
    EXPECT_EQ(b.settings.SerialPort, 1);
    EXPECT_EQ(b.settings.SerialPower, "N");
    EXPECT_EQ(b.settings.SpotConnectionType, "");
    EXPECT_EQ(b.settings.SerialHandshake, 3);
    EXPECT_EQ(b.settings.Hex, "03");
    EXPECT_EQ(b.fallbacks.size(), 12);

    EXPECT_FALSE(ParsePackSpot("\"9600\"\r\n\"N\"\r\n").complete);
    EXPECT_FALSE(ParsePackSpot("").complete);
}

TEST(SocketErrors, MessagesKeepTheirWording)
{
    EXPECT_EQ(SocketErrorMessage(10061), "ERROR: Connection is forcefully rejected.");
    EXPECT_EQ(SocketErrorMessage(11001), "ERROR: Authoritative answer: Host not found.");
    EXPECT_EQ(SocketErrorMessage(10060), "ERROR: Socket has been shut down.");
    EXPECT_EQ(SocketErrorMessage(10054), "ERROR: The connection is reset by remote side.!");
    EXPECT_EQ(SocketErrorMessage(12345), "Error number 12345");
}

TEST(PackSpot, AFileCutAnywhereKeepsWhatItHoldsAndNamesTheRest)
{
    const QByteArray file = "\"4800\"\r\n\"E\"\r\n\"7\"\r\n\"2\"\r\n3\r\n\"R\"\r\n\"TNC\"\r\n1\r\n2\r\n1\r\n#TRUE#\r\n\"1B\"\r\n"
                            "\"7300\"\r\n\"dxc.example.org\"\r\n";
    const PackSpotSettings whole = ParsePackSpot(file).settings;
    const PackSpotSettings d;
    const QStringList names = {"SerialBaud",   "SerialParity",   "SerialDataBits", "SerialStopBits", "SerialPort",
                               "SerialPower",  "SpotConnectionType", "Convert to Hex", "SerialHandshake",
                               "List DX Only", "List",           "TNC cmd mode hex character", "Telnet Port",
                               "Telnet Host"};
    const QList<QByteArray> lines = file.split('\n');
    for (int n = 0; n <= 14; ++n) {
        const PackSpotRead r = ParsePackSpot(lines.mid(0, n).join('\n') + (n ? "\n" : ""));
        EXPECT_EQ(r.complete, n == 14) << n;
        EXPECT_EQ(r.valuesRead, n) << n;
        EXPECT_EQ(r.missing, names.mid(n)) << n;
        EXPECT_TRUE(r.fallbacks.isEmpty()) << n;
        const PackSpotSettings &s = r.settings;
        EXPECT_EQ(s.SerialBaud, n >= 1 ? whole.SerialBaud : d.SerialBaud) << n;
        EXPECT_EQ(s.SerialStopBits, n >= 4 ? whole.SerialStopBits : d.SerialStopBits) << n;
        EXPECT_EQ(s.SerialPort, n >= 5 ? whole.SerialPort : d.SerialPort) << n;
        EXPECT_EQ(s.SpotConnectionType, n >= 7 ? whole.SpotConnectionType : d.SpotConnectionType) << n;
        EXPECT_EQ(s.SerialHandshake, n >= 9 ? whole.SerialHandshake : d.SerialHandshake) << n;
        EXPECT_EQ(s.OptList, n >= 11 ? whole.OptList : d.OptList) << n;
        EXPECT_EQ(s.TelnetPort, n >= 13 ? whole.TelnetPort : d.TelnetPort) << n;
    }
}
