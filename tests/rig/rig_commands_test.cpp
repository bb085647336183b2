// The rig list, its defaults, poll commands and the frequency and mode commands, byte by byte.

#include "rig/rig_family.h"
#include "rig_test_helpers.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace zev::rig;
using zevtest::Hex;
using zevtest::Rig;

namespace {

CommandContext Context(const RigDescriptor &rig)
{
    CommandContext c;
    c.freqQuery = rig.freqQuery;
    c.modeQuery = rig.modeQuery;
    return c;
}

}  // namespace

TEST(RigList, HoldsTheNineteenEntriesInOrderWithTheirDefaults)
{
    struct Row {
        const char *name, *baud, *settings, *freq, *mode;
        bool hex;
    };
    const Row rows[] = {
        {"None", "", "", "", "", false},
        {"Elecraft", "4800", "8N2", "FA;", "MD;", false},
        {"Icom", "1200", "8N1", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", true},
        {"Icom 735", "1200", "8N1", "FE FE 64 E0 03 FD", "FE FE 64 E0 04 FD", true},
        {"Kenwood", "4800", "8N2", "FA;", "MD;", false},
        {"Kenwood 2", "4800", "8N2", "IF;", "", false},
        {"Ten Tec Omni VI", "1200", "8N1", "FE FE 04 E0 03 FD", "FE FE 04 E0 04 FD", true},
        {"Ten Tec Orion", "56000", "8N1", "?AF", "?RMM", false},
        {"Ten Tec Fnt Pnl", "56000", "8N1", "3F 41 0D", "3F 4D 0D", true},
        {"Ten Tec Pegasus", "", "", "", "", false},
        {"Yaesu", "4800", "8N2", "00 00 00 00 03", "", true},
        {"Yaesu 757 GX II", "4800", "8N2", "00 00 00 00 10", "", true},
        {"Yaesu 890", "4800", "8N2", "00 00 00 02 10", "", true},
        {"Yaesu 920", "4800", "8N2", "00 00 00 02 10", "", true},
        {"Yaesu 990", "4800", "8N2", "00 00 00 02 10", "", true},
        {"Yaesu 1000 D", "4800", "8N2", "00 00 00 02 10", "", true},
        {"Yaesu 1000", "4800", "8N2", "00 00 00 02 10", "", true},
        {"Yaesu FTdx9000", "4800", "", "FA;", "MD0;", false},
        {"Other", "", "", "", "", false},
        {"Hamlib", "", "", "", "", false},
    };
    const QList<RigDescriptor> &list = RigList();
    ASSERT_EQ(list.size(), 20);
    for (int i = 0; i < 20; ++i) {
        const RigDescriptor &d = list[i];
        const Row &row = rows[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(d.name, QLatin1String(row.name));
        EXPECT_EQ(FindRig(d.name), &d);
        EXPECT_EQ(d.baud, QLatin1String(row.baud));
        const QString settings = d.dataBits.isNull() ? QString()
                                                     : QString(d.dataBits) + d.parity + d.stopBits;
        EXPECT_EQ(settings, QLatin1String(row.settings));
        EXPECT_EQ(d.freqQuery, QLatin1String(row.freq));
        EXPECT_EQ(d.modeQuery, QLatin1String(row.mode));
        EXPECT_EQ(d.convertToHex, row.hex);
        EXPECT_EQ(d.hexEditable, d.name == QLatin1String("Other"));
        EXPECT_EQ(d.icomNote, d.name.startsWith(QLatin1String("Icom")));
        // RTS/CTS is set for these two and cleared for every other radio.
        EXPECT_EQ(d.rtsCts, d.name == QLatin1String("Ten Tec Orion") || d.name == QLatin1String("Ten Tec Fnt Pnl"));
        EXPECT_EQ(d.usesPort, d.name != QLatin1String("None") && d.name != QLatin1String("Ten Tec Pegasus")
                                  && d.name != QLatin1String("Hamlib"));
        EXPECT_EQ(d.hamlib, d.name == QLatin1String("Hamlib"));
        const bool lockedYaesu = d.name.startsWith(QLatin1String("Yaesu")) && d.name != QLatin1String("Yaesu FTdx9000");
        EXPECT_EQ(d.openBytes, lockedYaesu ? QByteArray(5, '\0')
                               : d.name == QLatin1String("Ten Tec Orion") ? QByteArray("X\r")
                                                                           : QByteArray());
        EXPECT_EQ(d.closeBytes, lockedYaesu ? Hex("00 00 00 00 80") : QByteArray());
    }
    EXPECT_EQ(FindRig(QStringLiteral("none")), nullptr);  // the name is matched exactly
}

TEST(RigPoll, EachFamilySendsItsQueries)
{
    struct Case {
        const char *rig;
        int toggle;
        RigQueries queries;  // empty: the radio's defaults
        QByteArray sent;
        ReplyKind expect;
        int nextToggle;
    };
    const auto F = ReplyKind::Frequency, M = ReplyKind::Mode, B = ReplyKind::FrequencyAndMode;
    const Case cases[] = {
        {"Kenwood", 0, {}, "FA;MD;", B, 0},
        {"Elecraft", 1, {}, "FA;MD;", B, 1},
        {"Kenwood 2", 0, {}, "IF;", B, 0},
        {"Icom", 0, {}, Hex("FE FE 64 E0 03 FD"), F, 1},
        {"Icom", 1, {}, Hex("FE FE 64 E0 04 FD"), M, 0},
        {"Icom", 0, {"FE FE 64 E0 03", "FE FE 64 E0 04 FD"}, "", F, 1},  // too short: skipped, toggle flips
        {"Icom", 0, {"FE FE 5C E0 03 FD 00", ""}, Hex("FE FE 5C E0 03 FD"), F, 1},
        {"Ten Tec Omni VI", 0, {}, Hex("FE FE 04 E0 03 FD"), F, 1},
        {"Ten Tec Fnt Pnl", 0, {}, Hex("3F 41 0D"), F, 1},
        {"Ten Tec Fnt Pnl", 1, {}, Hex("3F 4D 0D"), M, 0},
        {"Yaesu FTdx9000", 0, {}, "FA;", F, 1},
        {"Yaesu FTdx9000", 1, {}, "MD0;", M, 0},
        {"Yaesu FTdx9000", 1, {"FA;", "M"}, "", M, 0},
        {"Yaesu", 0, {}, Hex("00 00 00 00 03"), B, 0},
        {"Yaesu 890", 1, {}, Hex("00 00 00 02 10"), B, 1},
        {"Yaesu 890", 0, {"00 00 00 02", ""}, "", B, 0},
        {"Ten Tec Orion", 0, {}, "?AF\r?RMM\r", B, 0},
        {"Ten Tec Orion", 0, {"?AF", ""}, "?AF\r", B, 0},
        {"Other", 0, {"0A 0B", "xy", true}, Hex("0A 0B"), B, 0},  // "xy" is no hex text
        {"Other", 0, {"0A 0B", "xy", false}, "0A 0Bxy", B, 0},
        {"Ten Tec Pegasus", 0, {}, "", B, 0},
        {"None", 0, {}, "", B, 0},
    };
    for (const Case &c : cases) {
        const RigDescriptor &rig = Rig(c.rig);
        SCOPED_TRACE(std::string(c.rig) + " toggle " + std::to_string(c.toggle));
        RigQueries q = c.queries;
        if (q.freqQuery.isEmpty() && q.modeQuery.isEmpty())
            q = {rig.freqQuery, rig.modeQuery, rig.convertToHex};
        const PollSend s = PollCommand(rig, q, c.toggle);
        EXPECT_EQ(s.bytes.toHex(' '), c.sent.toHex(' '));
        EXPECT_EQ(s.expect, c.expect);
        EXPECT_EQ(s.nextToggle, c.nextToggle);
    }
}

TEST(RigCommands, FrequencyCommandsAreByteExactAndPaced)
{
    struct Case {
        const char *rig;
        qint64 hz;
        QList<CommandStep> steps;
        int vfo = -1;
    };
    const Case cases[] = {
        {"Kenwood", 14025000, {{205, "FA00014025000;"}}},
        {"Kenwood 2", 14025000, {{205, "FA00014025000;"}}},
        {"Kenwood 2", 14025000, {{205, "FB00014025000;"}}, 1},
        {"Elecraft", 14025000, {{205, ""}, {1000, "FA00014025000;"}}},
        {"Icom", 14025000, {{140, Hex("FE FE 64 E0 05 00 50 02 14 00 FD")}}},
        {"Icom 735", 7025500, {{140, Hex("FE FE 64 E0 05 00 55 02 07 00 FD")}}},
        {"Ten Tec Omni VI", 14025000, {{360, Hex("FE FE 04 E0 05 00 50 02 14 00 FD")}}},
        {"Icom", 435125000, {{140, Hex("FE FE 64 E0 05 00 50 12 35 04 FD")}}},
        {"Ten Tec Fnt Pnl", 14025000, {{205, Hex("2A 41 00 D6 01 28 0D")}}},
        {"Ten Tec Orion", 7025000, {{205, "*AF7025000\r"}}},
        {"Ten Tec Pegasus", 14025000, {{205, "14.025\r\nCW\r\n"}}},
        {"Yaesu", 14025000, {{205, Hex("01 40 25 00 01")}}},
        {"Yaesu 890", 14025000, {{205, Hex("00 25 40 01 0A")}}},
        {"Yaesu 920", 21200000, {{205, Hex("00 00 12 02 0A")}}},
        {"Yaesu 990", 14025000, {{205, Hex("00 25 40 01 0A")}}},
        {"Yaesu 1000 D", 14025000, {{205, Hex("00 25 40 01 0A")}}},
        {"Yaesu 757 GX II", 14025000, {{205, Hex("00 25 40 01 0A")}}},
        {"Yaesu 1000", 14025000, {{10, Hex("00 25 40 01 0A")}}},
        {"Yaesu FTdx9000", 14025000, {{205, "FA14025000;"}}},
        {"Other", 14025000, {}},
        {"None", 14025000, {}},
    };
    for (const Case &c : cases) {
        const RigDescriptor &rig = Rig(c.rig);
        SCOPED_TRACE(std::string(c.rig) + " " + std::to_string(c.hz));
        CommandContext ctx = Context(rig);
        ctx.kenwood2Vfo = c.vfo;
        ctx.rigMode = QStringLiteral("CW");
        const CommandPlan plan = FrequencyCommand(rig, c.hz, ctx);
        EXPECT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
        ASSERT_EQ(plan.steps.size(), c.steps.size());
        for (qsizetype i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(plan.steps[i].pauseMs, c.steps[i].pauseMs);
            EXPECT_EQ(plan.steps[i].bytes.toHex(' '), c.steps[i].bytes.toHex(' '));
        }
    }
    // The command follows the address and prefix the operator put in the queries.
    CommandContext edited = Context(Rig("Icom"));
    edited.freqQuery = QStringLiteral("FE FE 5C E0 03 FD");
    EXPECT_EQ(FrequencyCommand(Rig("Icom"), 7000000, edited).steps.value(0).bytes,
              Hex("FE FE 5C E0 05 00 00 00 07 00 FD"));
    CommandContext vfoB = Context(Rig("Kenwood"));
    vfoB.freqQuery = QStringLiteral("FB;");
    EXPECT_EQ(FrequencyCommand(Rig("Kenwood"), 7000000, vfoB).steps.value(0).bytes, "FB00007000000;");
}

TEST(RigCommands, FrequenciesTheRadioCannotTakeAreRefusedWithAReason)
{
    struct Case {
        const char *rig;
        qint64 hz;
    };
    const Case cases[] = {
        {"Kenwood", 0},      {"Kenwood", -14025000},      {"Icom", 0},
        {"Yaesu", -1000000},       {"Ten Tec Orion", 0},    {"Ten Tec Pegasus", 0},
        {"Kenwood", 100000000000}, {"Icom", 10000000000},         {"Yaesu", 1000000000},
        {"Yaesu 890", 1000000000}, {"Yaesu FTdx9000", 100000000}, {"Ten Tec Fnt Pnl", 4295000000},
        {"Ten Tec Orion", 100000000}, {"Elecraft", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.rig) + " " + std::to_string(c.hz));
        const CommandPlan plan = FrequencyCommand(Rig(c.rig), c.hz, Context(Rig(c.rig)));
        EXPECT_TRUE(plan.steps.isEmpty());
        EXPECT_FALSE(plan.error.isEmpty());
    }
    CommandContext noAddress = Context(Rig("Icom"));
    noAddress.freqQuery = QStringLiteral("FE FE");
    EXPECT_FALSE(FrequencyCommand(Rig("Icom"), 14025000, noAddress).error.isEmpty());
    EXPECT_FALSE(ModeCommand(Rig("Icom"), QStringLiteral("CW"), noAddress).error.isEmpty());
}

TEST(RigCommands, ModeCommandsUseEachFamilysCodes)
{
    struct Case {
        const char *rig;
        const char *mode;
        QByteArray sent;  // empty: nothing is sent
    };
    const Case cases[] = {
        {"Kenwood", "CW", "MD3;"},   {"Kenwood", "LSB", "MD1;"},   {"Kenwood", "USB", "MD2;"},
        {"Kenwood", "AM", "MD5;"},   {"Kenwood", "FM", "MD4;"},    {"Kenwood", "RTTY", "MD6;"},
        {"Kenwood", "FSK", "MD6;"},  {"Kenwood", "CW-R", ""},      {"Kenwood 2", "USB", "MD2;"},
        {"Elecraft", "CW", "MD3;"},
        {"Icom", "LSB", Hex("FE FE 64 E0 06 00 FD")},  {"Icom", "USB", Hex("FE FE 64 E0 06 01 FD")},
        {"Icom", "AM", Hex("FE FE 64 E0 06 02 FD")},   {"Icom", "CW", Hex("FE FE 64 E0 06 03 FD")},
        {"Icom", "RTTY", Hex("FE FE 64 E0 06 04 FD")}, {"Icom", "FM", Hex("FE FE 64 E0 06 05 FD")},
        {"Icom", "CW-R", Hex("FE FE 64 E0 06 07 FD")}, {"Icom", "RTTY-R", Hex("FE FE 64 E0 06 08 FD")},
        {"Icom", "DIG", ""}, {"Ten Tec Omni VI", "CW", Hex("FE FE 04 E0 06 03 FD")},
        {"Yaesu", "LSB", Hex("00 00 00 00 07")}, {"Yaesu", "USB", Hex("01 00 00 00 07")},
        {"Yaesu", "CW", Hex("02 00 00 00 07")},  {"Yaesu", "AM", Hex("04 00 00 00 07")},
        {"Yaesu", "FM", Hex("08 00 00 00 07")},  {"Yaesu", "DIG", Hex("0A 00 00 00 07")},
        {"Yaesu", "RTTY", Hex("0A 00 00 00 07")}, {"Yaesu", "PKT", Hex("0C 00 00 00 07")},
        {"Yaesu", "CW-R", ""},
        {"Yaesu 890", "LSB", Hex("00 00 00 00 0C")}, {"Yaesu 890", "USB", Hex("00 00 00 01 0C")},
        {"Yaesu 920", "CW", Hex("00 00 00 02 0C")},  {"Yaesu 990", "CW-R", Hex("00 00 00 03 0C")},
        {"Yaesu 1000", "AM", Hex("00 00 00 04 0C")}, {"Yaesu 1000 D", "FM", Hex("00 00 00 06 0C")},
        {"Yaesu 757 GX II", "RTTY", Hex("00 00 00 08 0C")}, {"Yaesu 757 GX II", "PKT", Hex("00 00 00 0A 0C")},
        {"Yaesu 890", "DIG", ""},
        {"Yaesu FTdx9000", "LSB", "MD01;"}, {"Yaesu FTdx9000", "USB", "MD02;"},
        {"Yaesu FTdx9000", "CW", "MD03;"},  {"Yaesu FTdx9000", "FM", "MD04;"},
        {"Yaesu FTdx9000", "AM", "MD05;"},  {"Yaesu FTdx9000", "RTTY", "MD06;"},
        {"Yaesu FTdx9000", "CW-R", "MD07;"},
        {"Icom 735", "CW", ""}, {"Ten Tec Fnt Pnl", "CW", ""}, {"Ten Tec Orion", "CW", ""},
        {"Ten Tec Pegasus", "CW", ""}, {"Other", "CW", ""}, {"None", "CW", ""},
        {"Kenwood", "", ""}, {"Kenwood", "cw", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.rig) + " " + c.mode);
        const CommandPlan plan = ModeCommand(Rig(c.rig), QLatin1String(c.mode), Context(Rig(c.rig)));
        EXPECT_TRUE(plan.error.isEmpty());
        if (c.sent.isEmpty()) {
            EXPECT_TRUE(plan.steps.isEmpty());
            continue;
        }
        ASSERT_EQ(plan.steps.size(), 1);
        EXPECT_EQ(plan.steps[0].pauseMs, 99);
        EXPECT_EQ(plan.steps[0].bytes.toHex(' '), c.sent.toHex(' '));
    }
}

TEST(RigCommands, HexTextAndShortestFrequencyText)
{
    EXPECT_EQ(HexToBytes(QStringLiteral("FE FE 64 E0 03 FD")), Hex("FE FE 64 E0 03 FD"));
    EXPECT_EQ(HexToBytes(QStringLiteral("fe 0d")), Hex("FE 0D"));
    EXPECT_TRUE(HexToBytes(QStringLiteral("FE GG")).isEmpty());
    EXPECT_TRUE(HexToBytes(QStringLiteral("FE  F")).isEmpty());
    EXPECT_TRUE(HexToBytes(QStringLiteral("+F 0D")).isEmpty());
    EXPECT_EQ(BytesToHex(Hex("FE 0D 00"), true), "FE 0D 00");
    EXPECT_EQ(BytesToHex(Hex("FE 0D 00"), false), "FE0D00");
    EXPECT_EQ(ShortestMhzText(14025000), "14.025");
    EXPECT_EQ(ShortestMhzText(7000000), "7");
    EXPECT_EQ(ShortestMhzText(21025500), "21.0255");
    EXPECT_EQ(ShortestMhzText(435000010), "435.00001");
}

// Frequencies that single precision cannot hold go out to the hertz, on every family.
TEST(RigCommands, EveryFamilySendsTheExactFrequency)
{
    const qint64 freqs[] = {21300000, 24940000, 144200000, 7025500, 435000010};
    struct Row {
        const char *rig;
        QByteArray sent[5];  // empty: refused, the radio's field cannot hold it
    };
    const Row rows[] = {
        {"Kenwood", {"FA00021300000;", "FA00024940000;", "FA00144200000;", "FA00007025500;", "FA00435000010;"}},
        {"Kenwood 2", {"FA00021300000;", "FA00024940000;", "FA00144200000;", "FA00007025500;", "FA00435000010;"}},
        {"Elecraft", {"FA00021300000;", "FA00024940000;", "FA00144200000;", "FA00007025500;", "FA00435000010;"}},
        {"Icom", {Hex("FE FE 64 E0 05 00 00 30 21 00 FD"), Hex("FE FE 64 E0 05 00 00 94 24 00 FD"),
                  Hex("FE FE 64 E0 05 00 00 20 44 01 FD"), Hex("FE FE 64 E0 05 00 55 02 07 00 FD"),
                  Hex("FE FE 64 E0 05 10 00 00 35 04 FD")}},
        {"Ten Tec Omni VI", {Hex("FE FE 04 E0 05 00 00 30 21 00 FD"), Hex("FE FE 04 E0 05 00 00 94 24 00 FD"),
                             Hex("FE FE 04 E0 05 00 00 20 44 01 FD"), Hex("FE FE 04 E0 05 00 55 02 07 00 FD"),
                             Hex("FE FE 04 E0 05 10 00 00 35 04 FD")}},
        {"Ten Tec Fnt Pnl", {Hex("2A 41 01 45 03 20 0D"), Hex("2A 41 01 7C 8D E0 0D"), Hex("2A 41 08 98 51 40 0D"),
                             Hex("2A 41 00 6B 33 5C 0D"), Hex("2A 41 19 ED 92 CA 0D")}},
        {"Ten Tec Orion", {"*AF21300000\r", "*AF24940000\r", "", "*AF7025500\r", ""}},
        {"Ten Tec Pegasus", {"21.3\r\nCW\r\n", "24.94\r\nCW\r\n", "144.2\r\nCW\r\n", "7.0255\r\nCW\r\n",
                             "435.00001\r\nCW\r\n"}},
        {"Yaesu", {Hex("02 13 00 00 01"), Hex("02 49 40 00 01"), Hex("14 42 00 00 01"), Hex("00 70 25 50 01"),
                   Hex("43 50 00 01 01")}},
        {"Yaesu 890", {Hex("00 00 13 02 0A"), Hex("00 40 49 02 0A"), Hex("00 00 42 14 0A"), Hex("50 25 70 00 0A"),
                       Hex("01 00 50 43 0A")}},
        {"Yaesu 1000", {Hex("00 00 13 02 0A"), Hex("00 40 49 02 0A"), Hex("00 00 42 14 0A"), Hex("50 25 70 00 0A"),
                        Hex("01 00 50 43 0A")}},
        {"Yaesu FTdx9000", {"FA21300000;", "FA24940000;", "", "FA07025500;", ""}},
    };
    for (const Row &row : rows) {
        const RigDescriptor &rig = Rig(row.rig);
        CommandContext ctx = Context(rig);
        ctx.rigMode = QStringLiteral("CW");
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(std::string(row.rig) + " " + std::to_string(freqs[i]));
            const CommandPlan plan = FrequencyCommand(rig, freqs[i], ctx);
            if (row.sent[i].isEmpty()) {
                EXPECT_TRUE(plan.steps.isEmpty());
                EXPECT_FALSE(plan.error.isEmpty());
                continue;
            }
            ASSERT_FALSE(plan.steps.isEmpty()) << plan.error.toStdString();
            EXPECT_EQ(plan.steps.back().bytes.toHex(' '), row.sent[i].toHex(' '));
        }
    }
}
