// Replies of every radio family: cut into frames, decoded, and never read as nonsense.

#include "rig/rig_family.h"
#include "rig_test_helpers.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <random>

using namespace zev::rig;
using zevtest::Hex;
using zevtest::Rig;

namespace {

constexpr qint64 kStaleMs = 1000;

RigQueries Defaults(const RigDescriptor &rig)
{
    return {rig.freqQuery, rig.modeQuery, rig.convertToHex};
}

// Feeds the pieces one tick apart and decodes every frame that completed.
RigReading Feed(const RigDescriptor &rig, const QList<QByteArray> &pieces, ReplyKind expect,
                RxBuffer *buffer = nullptr)
{
    RxBuffer local;
    RxBuffer &rx = buffer ? *buffer : local;
    QList<QByteArray> frames;
    qint64 now = rx.lastByteMs;
    for (const QByteArray &piece : pieces)
        frames += TakeFrames(rx, rig, piece, now += 10, kStaleMs, expect);
    return DecodeFrames(rig, frames, Defaults(rig));
}

RigReading Whole(const RigDescriptor &rig, const QByteArray &reply, ReplyKind expect)
{
    return Feed(rig, {reply}, expect);
}

QList<QByteArray> ByteByByte(const QByteArray &reply)
{
    QList<QByteArray> pieces;
    for (char c : reply)
        pieces << QByteArray(1, c);
    return pieces;
}

struct ReplyCase {
    const char *label;
    const char *rig;
    QByteArray reply;
    ReplyKind expect;
    double mhz;        // 0: no frequency decoded
    const char *mode;  // nullptr: no mode decoded
    int vfo = -1;
};

const QByteArray kIfReply = QByteArray("IF00014025000") + "    " + "+0000" + "000" + "00" + "0" + "3" + "1" + "000000;";

std::vector<ReplyCase> Replies()
{
    const auto F = ReplyKind::Frequency;
    const auto M = ReplyKind::Mode;
    const auto B = ReplyKind::FrequencyAndMode;
    return {
        {"kenwood frequency", "Kenwood", "FA00014025000;", B, 14.025, nullptr},
        {"kenwood cut after the tenth digit", "Kenwood", "FA0001402500", B, 0, nullptr},
        {"kenwood cut before its semicolon", "Kenwood", "FA00014025000", B, 0, nullptr},
        {"kenwood frequency and mode", "Kenwood", "FA00007025000;MD3;", B, 7.025, "CW"},
        {"kenwood MD3", "Kenwood", "MD3;", B, 0, "CW"},
        {"kenwood MD7", "Kenwood", "MD7;", B, 0, "CW"},
        {"kenwood MD1", "Kenwood", "MD1;", B, 0, "PH"},
        {"kenwood MD6", "Kenwood", "MD6;", B, 0, "PH"},
        {"kenwood MD alone", "Kenwood", "MD;", B, 0, "PH"},
        {"kenwood newest mode wins", "Kenwood", "MD1;MD3;", B, 0, "CW"},
        {"kenwood rounds to 10 Hz", "Kenwood", "FA00014025004;", B, 14.025, nullptr},
        {"kenwood zero is no reading", "Kenwood", "FA00000000000;", B, 0, nullptr},
        {"elecraft frequency", "Elecraft", "FA00021025500;MD7;", B, 21.0255, "CW"},
        {"kenwood 2 full IF", "Kenwood 2", kIfReply, B, 14.025, "CW", 1},
        {"kenwood 2 IF without its semicolon", "Kenwood 2", kIfReply.chopped(1), B, 0, nullptr},
        {"kenwood 2 short IF", "Kenwood 2", "IF00014025000    +00000;", B, 0, nullptr},
        {"icom frequency after the echo", "Icom", Hex("FE FE 64 E0 03 FD FE FE E0 64 03 00 50 02 14 00 FD"), F, 14.025, nullptr},
        {"icom 735 four data bytes", "Icom 735", Hex("FE FE E0 04 03 00 50 02 14 FD"), F, 14.025, nullptr},
        {"icom mode CW", "Icom", Hex("FE FE 64 E0 04 FD FE FE E0 64 04 03 01 FD"), M, 0, "CW"},
        {"icom mode CW reverse", "Icom", Hex("FE FE E0 64 04 07 01 FD"), M, 0, "PH"},
        {"icom half reply", "Icom", Hex("FE FE E0 64 03 00 50"), F, 0, nullptr},
        {"icom broadcast frequency", "Icom", Hex("FE FE 00 64 00 00 50 02 14 00 FD"), M, 14.025, nullptr},
        {"icom broadcast mode", "Icom", Hex("FE FE 00 64 01 03 01 FD"), F, 0, "CW"},
        {"icom frame for another controller", "Icom", Hex("FE FE 5A 64 03 00 50 02 14 00 FD"), F, 0, nullptr},
        {"icom acknowledgements", "Icom", Hex("FE FE E0 64 FB FD FE FE E0 64 FA FD"), F, 0, nullptr},
        {"icom newest frequency wins", "Icom", Hex("FE FE 00 64 00 00 50 02 14 00 FD FE FE E0 64 03 00 50 02 07 00 FD"), F, 7.025, nullptr},
        {"icom other commands", "Icom", Hex("FE FE E0 64 05 00 50 02 14 00 FD FE FE E0 64 06 03 FD"), F, 0, nullptr},
        {"icom newest mode wins", "Icom", Hex("FE FE E0 64 04 03 01 FD FE FE 00 64 01 01 02 FD"), M, 0, "PH"},
        {"icom non-BCD data", "Icom", Hex("FE FE E0 64 03 00 5A 02 14 00 FD"), F, 0, nullptr},
        {"omni vi frequency", "Ten Tec Omni VI", Hex("FE FE E0 04 03 00 50 02 14 00 FD"), F, 14.025, nullptr},
        {"yaesu frequency and CW", "Yaesu", Hex("01 40 25 00 02"), B, 14.025, "CW"},
        {"yaesu mode byte 82", "Yaesu", Hex("01 40 25 00 82"), B, 14.025, "CW"},
        {"yaesu mode byte 88", "Yaesu", Hex("43 21 00 00 88"), B, 432.1, "PH"},
        {"yaesu mode byte 0A", "Yaesu", Hex("01 40 25 00 0A"), B, 0, nullptr},
        {"yaesu unknown mode keeps frequency", "Yaesu", Hex("01 40 25 00 06"), B, 14.025, nullptr},
        {"yaesu four bytes", "Yaesu", Hex("01 40 25 00"), B, 0, nullptr},
        {"yaesu stale bytes before the reply", "Yaesu", Hex("00 0F 01 40 25 00 02"), B, 0, nullptr},
        {"yaesu 890 status", "Yaesu 890", Hex("00 00 15 66 84 00 00 02"), B, 14.025, "CW"},
        {"yaesu 1000 status", "Yaesu 1000", Hex("00 01 56 68 40 00 00 00"), B, 14.025, "PH"},
        {"yaesu 990 status", "Yaesu 990", Hex("00 15 66 84 00 00 00 07"), B, 14.025, "PH"},
        {"yaesu 1000 D status", "Yaesu 1000 D", Hex("00 15 66 84 00 00 00 02"), B, 14.025, "CW"},
        {"yaesu 920 status", "Yaesu 920", Hex("00 00 D6 01 28 00 00 01"), B, 14.025, "CW"},
        {"yaesu 920 phone", "Yaesu 920", Hex("00 00 D6 01 28 00 00 05"), B, 14.025, "PH"},
        {"yaesu 890 short record", "Yaesu 890", Hex("00 00 15 66 84"), B, 0, nullptr},
        {"yaesu 757 status", "Yaesu 757 GX II", Hex("00 00 00 00 00 00 25 40 01 02"), B, 14.025, "CW"},
        {"yaesu 757 FM", "Yaesu 757 GX II", Hex("00 00 00 00 00 00 25 40 01 05"), B, 14.025, "FM"},
        {"ftdx9000 frequency", "Yaesu FTdx9000", "FA14025000;", F, 14.025, nullptr},
        {"ftdx9000 CW", "Yaesu FTdx9000", "MD03;", M, 0, "CW"},
        {"ftdx9000 USB", "Yaesu FTdx9000", "MD02;", M, 0, "PH"},
        {"fnt pnl frequency", "Ten Tec Fnt Pnl", Hex("41 00 D6 01 28 0D"), F, 14.025, nullptr},
        {"fnt pnl four bytes", "Ten Tec Fnt Pnl", Hex("41 00 D6 01"), F, 0, nullptr},
        {"fnt pnl CW", "Ten Tec Fnt Pnl", Hex("4D 33 33 0D"), M, 0, "CW"},
        {"fnt pnl LSB", "Ten Tec Fnt Pnl", Hex("4D 22 22 0D"), M, 0, "PH"},
        {"orion frequency and mode", "Ten Tec Orion", "@AF14025000\r@RMM2\r", B, 14.025, "CW"},
        {"orion phone", "Ten Tec Orion", "@RMM0\r", B, 0, "PH"},
        {"orion frequency without CR", "Ten Tec Orion", "@AF14025000", B, 0, nullptr},
        {"other decodes nothing", "Other", "FA00014025000;", B, 0, nullptr},
        // Radios pad a number field with blanks on the left: the field's value is read.
        {"orion below 10 MHz", "Ten Tec Orion", "@AF 7025000\r@RMM2\r", B, 7.025, "CW"},
        {"orion on 160 m", "Ten Tec Orion", "@AF 1830000\r", B, 1.83, nullptr},
        {"kenwood blank-padded", "Kenwood", "FA    7025000;MD3;", B, 7.025, "CW"},
        {"elecraft blank-padded", "Elecraft", "FA   14025500;", B, 14.0255, nullptr},
        {"kenwood 2 blank-padded IF", "Kenwood 2", "IF    3525000" + kIfReply.mid(13), B, 3.525, "CW", 1},
        {"ftdx9000 blank-padded", "Yaesu FTdx9000", "FA 7025000;", F, 7.025, nullptr},
        // Blanks anywhere else, or no digit at all, are still nonsense.
        {"orion blank inside the number", "Ten Tec Orion", "@AF 70 5000\r", B, 0, nullptr},
        {"orion only blanks", "Ten Tec Orion", "@AF        \r", B, 0, nullptr},
        {"kenwood blank inside the number", "Kenwood", "FA0001 025000;", B, 0, nullptr},
        {"kenwood only blanks", "Kenwood", "FA           ;", B, 0, nullptr},
        {"kenwood trailing blank", "Kenwood", "FA0000702500 ;", B, 0, nullptr},
        {"ftdx9000 blank inside the number", "Yaesu FTdx9000", "FA7 025000;", F, 0, nullptr},
    };
}

void ExpectReading(const RigReading &r, const ReplyCase &c, const char *how)
{
    SCOPED_TRACE(std::string(c.label) + " / " + how);
    EXPECT_EQ(r.hasFrequency, c.mhz != 0);
    if (c.mhz != 0) {
        EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
    }
    EXPECT_EQ(r.hasMode, c.mode != nullptr);
    if (c.mode) {
        EXPECT_EQ(r.mode, QLatin1String(c.mode));
    }
    EXPECT_EQ(r.kenwood2Vfo, c.vfo);
}

}  // namespace

TEST(RigDecode, EveryReplyDecodesWholeAndSplitAtEveryByte)
{
    for (const ReplyCase &c : Replies()) {
        const RigDescriptor &rig = Rig(c.rig);
        ExpectReading(Whole(rig, c.reply, c.expect), c, "whole");
        ExpectReading(Feed(rig, ByteByByte(c.reply), c.expect), c, "byte by byte");
        for (qsizetype cut = 1; cut < c.reply.size(); ++cut)
            ExpectReading(Feed(rig, {c.reply.left(cut), c.reply.mid(cut)}, c.expect), c,
                          ("cut at " + std::to_string(cut)).c_str());
    }
}

TEST(RigDecode, StrayBytesAroundTerminatedRepliesAreSkipped)
{
    struct Case {
        const char *rig;
        QByteArray reply;
        ReplyKind expect;
        double mhz;
    };
    const Case cases[] = {
        {"Kenwood", "FA00014025000;", ReplyKind::FrequencyAndMode, 14.025},
        {"Kenwood 2", kIfReply, ReplyKind::FrequencyAndMode, 14.025},
        {"Yaesu FTdx9000", "FA14025000;", ReplyKind::Frequency, 14.025},
        {"Icom", Hex("FE FE E0 64 03 00 50 02 14 00 FD"), ReplyKind::Frequency, 14.025},
        {"Ten Tec Orion", "@AF14025000\r", ReplyKind::FrequencyAndMode, 14.025},
    };
    const QByteArray before = Hex("00 FF 13 11 3B 0D FD 55");
    const QByteArray after = Hex("FE FE E0 64 03 01");  // the start of a frame still coming
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rig);
        const RigDescriptor &rig = Rig(c.rig);
        RigReading r = Whole(rig, before + c.reply + after, c.expect);
        EXPECT_TRUE(r.hasFrequency);
        EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
        r = Whole(rig, QByteArray("12") + c.reply, c.expect);
        EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
        // The broken head of an earlier reply, then the whole reply.
        r = Whole(rig, c.reply.left(4) + c.reply, c.expect);
        EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
    }
}

TEST(RigDecode, RecordRepliesStartAfterTheFlushAndIgnoreTheirTail)
{
    const RigDescriptor &yaesu = Rig("Yaesu");
    RxBuffer rx;
    rx.lastByteMs = 100;
    // Two stale bytes of an earlier reply, then the answer: never 20140 MHz.
    EXPECT_FALSE(Feed(yaesu, {Hex("00 02"), Hex("01 40 25 00 02")}, ReplyKind::FrequencyAndMode, &rx).hasFrequency);
    // Flushed before the next query, the reply decodes; bytes after it are not a new reply.
    BeginReply(rx);
    RigReading r = Feed(yaesu, {Hex("01 40"), Hex("25 00 02"), Hex("07 02 50 00 02")}, ReplyKind::FrequencyAndMode, &rx);
    EXPECT_DOUBLE_EQ(r.mhz(), 14.025);

    // The bytes after the "A" record (its CR) do not start the mode reply.
    const RigDescriptor &fnt = Rig("Ten Tec Fnt Pnl");
    RxBuffer f;
    f.lastByteMs = 100;
    r = Feed(fnt, {Hex("41 00 D6 01 28"), Hex("0D")}, ReplyKind::Frequency, &f);
    EXPECT_DOUBLE_EQ(r.mhz(), 14.025);
    BeginReply(f);
    r = Feed(fnt, {Hex("4D 33"), Hex("33 0D")}, ReplyKind::Mode, &f);
    EXPECT_EQ(r.mode, QLatin1String("CW"));
}

TEST(RigDecode, StaleTailIsDroppedBeforeNewBytes)
{
    struct Case {
        const char *rig;
        QByteArray stale;
        QByteArray reply;
        double mhz;
    };
    const Case cases[] = {
        {"Yaesu", Hex("00 02"), Hex("01 40 25 00 02"), 14.025},
        {"Yaesu 890", Hex("00 00 15"), Hex("00 00 15 66 84 00 00 02"), 14.025},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rig);
        const RigDescriptor &rig = Rig(c.rig);
        RxBuffer rx;
        rx.lastByteMs = 100;
        EXPECT_TRUE(TakeFrames(rx, rig, c.stale, 110, kStaleMs, ReplyKind::FrequencyAndMode).isEmpty());
        // Nothing arrives for a while: the tail is dropped even on an empty tick.
        TakeFrames(rx, rig, {}, 110 + kStaleMs + 1, kStaleMs, ReplyKind::FrequencyAndMode);
        EXPECT_TRUE(rx.pending.isEmpty());
        RxBuffer late;
        late.lastByteMs = 100;
        TakeFrames(late, rig, c.stale, 110, kStaleMs, ReplyKind::FrequencyAndMode);
        const QList<QByteArray> frames = TakeFrames(late, rig, c.reply, 110 + 2 * kStaleMs, kStaleMs,
                                                    ReplyKind::FrequencyAndMode);
        const RigReading r = DecodeFrames(rig, frames, Defaults(rig));
        EXPECT_EQ(r.hasFrequency, c.mhz != 0);
        if (c.mhz != 0) {
            EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
        }
    }
    // An old head and a new tail are not one reply.
    const RigDescriptor &kenwood = Rig("Kenwood");
    RxBuffer rx;
    rx.lastByteMs = 100;
    TakeFrames(rx, kenwood, "FA000", 110, kStaleMs, ReplyKind::FrequencyAndMode);
    const auto frames = TakeFrames(rx, kenwood, "14025000;", 110 + 2 * kStaleMs, kStaleMs, ReplyKind::FrequencyAndMode);
    EXPECT_FALSE(DecodeFrames(kenwood, frames, Defaults(kenwood)).hasFrequency);
}

TEST(RigDecode, ReceiveBufferStaysBounded)
{
    for (const char *name : {"Kenwood", "Icom", "Ten Tec Orion", "Yaesu 757 GX II", "Ten Tec Fnt Pnl"}) {
        SCOPED_TRACE(name);
        const RigDescriptor &rig = Rig(name);
        RxBuffer rx;
        rx.lastByteMs = 100;
        const QByteArray chunk(700, 'A');  // no terminator, no preamble
        for (int i = 0; i < 50; ++i) {
            TakeFrames(rx, rig, chunk, 110 + i, kStaleMs, ReplyKind::Frequency);
            ASSERT_LE(rx.pending.size(), RxBuffer::kMaxBytes);
        }
    }
}

TEST(RigDecode, GarbageNeverCrashesNorReadsOutsideTheRadiosRange)
{
    std::mt19937 gen(20261210);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 64), pick(0, 3);
    // Bytes the framers look for come often, so frames do form.
    const char specials[] = {';', '\r', '\xFD', '\xFE', '\xE0', '\x00', '\x03', '\x04', 'A', 'M', 'F', 'D', '@', 'I'};
    int readings = 0;
    for (const RigDescriptor &rig : RigList()) {
        SCOPED_TRACE(rig.name.toStdString());
        const std::vector<ReplyCase> replies = Replies();
        const ReplyCase *sample = nullptr;
        for (const ReplyCase &c : replies)
            if (!sample && rig.name == QLatin1String(c.rig) && c.mhz != 0)
                sample = &c;
        RxBuffer rx;
        qint64 now = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray junk;
            for (int i = len(gen); i > 0; --i) {
                const int kind = pick(gen);
                junk += kind == 0 ? specials[byte(gen) % sizeof specials]
                        : kind == 1 ? char('0' + byte(gen) % 10)
                                    : char(byte(gen));
            }
            if (round % 7 == 0)
                BeginReply(rx);
            if (sample && round % 50 == 49) {
                // After any garbage, the radio's next reply still reads right.
                if (rig.flushBeforeQuery)
                    BeginReply(rx);
                const RigReading r = DecodeFrames(
                    rig, TakeFrames(rx, rig, sample->reply, now += 30, kStaleMs, sample->expect), Defaults(rig));
                ASSERT_TRUE(r.hasFrequency) << round;
                ASSERT_DOUBLE_EQ(r.mhz(), sample->mhz);
                continue;
            }
            const auto expect = round % 2 ? ReplyKind::Frequency : ReplyKind::Mode;
            const RigReading r = DecodeFrames(rig, TakeFrames(rx, rig, junk, now += 30, kStaleMs, expect),
                                              Defaults(rig));
            ASSERT_LE(rx.pending.size(), RxBuffer::kMaxBytes);
            if (r.hasFrequency) {
                ++readings;
                ASSERT_GE(r.mhz(), rig.minMhz);
                ASSERT_LE(r.mhz(), rig.maxMhz);
                ASSERT_GT(r.mhz(), 0);
            }
            if (r.hasMode) {
                ASSERT_TRUE(QStringList({"CW", "PH", "AM", "FM"}).contains(r.mode)) << r.mode.toStdString();
            }
        }
    }
    EXPECT_GT(readings, 0);  // the loop did reach the decoders
}

TEST(RigDecode, PegasusFileGivesFrequencyAndMode)
{
    const RigDescriptor &pegasus = Rig("Ten Tec Pegasus");
    struct Case {
        QByteArray content;
        double mhz;
        const char *mode;
    };
    const Case cases[] = {
        {"14.025,\"CW\"\r\n", 14.025, "CW"},
        {"7.1\r\n\"USB\"\r\n", 7.1, "PH"},
        {"3.55,\"\"\r\n", 3.55, nullptr},
        {"0,\"CW\"\r\n", 0, nullptr},
        {"\"CW\",14.025\r\n", 0, nullptr},
        {"", 0, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        const RigReading r = DecodePegasusFile(c.content, pegasus);
        EXPECT_EQ(r.hasFrequency, c.mhz != 0);
        if (c.mhz != 0) {
            EXPECT_DOUBLE_EQ(r.mhz(), c.mhz);
        }
        EXPECT_EQ(r.hasMode, c.mode != nullptr);
        if (c.mode) {
            EXPECT_EQ(r.mode, QLatin1String(c.mode));
        }
    }
}
