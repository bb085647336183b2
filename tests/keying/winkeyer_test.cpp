// The WinKeyer link against a keyer of our own on a pseudo-terminal, byte for byte.

#include "keying/cw_buffer.h"
#include "keying/winkeyer.h"
#include "rig/serial_line_device.h"
#include "winkeyer_emulator.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace zev;
using zevtest::WinKeyerEmulator;

QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Bounds each wait; the tests never measure how long anything took.
constexpr int kPatience = 5000;

struct Rig {
    WinKeyerEmulator keyer;
    CwBuffer buffer;
    WinKeyer link{buffer, [] { return std::make_unique<QtSerialLine>(); }};
    int beforeOpenCalls = 0;

    Rig()
    {
        link.setAnswerTimeoutMs(400);
        link.beforeOpen = [this] { ++beforeOpenCalls; };
    }
    // Opens and waits for the settings to arrive, then forgets what was received.
    bool openAndSettle()
    {
        QSignalSpy done(&link, &WinKeyer::openFinished);
        link.open(keyer.path());
        if (!QTest::qWaitFor([&] { return !done.isEmpty(); }, kPatience) || !link.isOpen())
            return false;
        // The mode byte is the last setting sent.
        if (!QTest::qWaitFor([&] { return keyer.received().size() >= 2
                                          && quint8(keyer.received().at(keyer.received().size() - 2)) == 0x0E; },
                             kPatience))
            return false;
        keyer.clearReceived();
        return true;
    }
    // What the host sent, less its status requests.
    QByteArray sentWithoutRequests() const
    {
        QByteArray out = keyer.received();
        out.replace(char(0x15), QByteArray());
        return out;
    }
    // Waits until the link, having run out of room, asks the keyer how it is doing: by
    // then it has given all it is going to give.
    bool waitUntilWaitingForRoom()
    {
        const qsizetype from = keyer.received().size();
        return QTest::qWaitFor([&] { return keyer.received().indexOf(char(0x15), from) >= 0; },
                               kPatience);
    }
};

TEST(WinKeyer, OpensWithHostOpenAndSendsTheSettingsOnlyAfterTheVersion)
{
    Rig r;
    ASSERT_TRUE(r.keyer.ok());
    r.link.setWpm(25);
    r.link.setWeight(50);
    r.link.setLeadTail(1, 2);
    r.link.setRatio(67);
    r.link.setPinConfig(5);
    r.link.setMode(16);
    EXPECT_TRUE(r.keyer.received().isEmpty());  // nothing goes out while closed

    QSignalSpy done(&r.link, &WinKeyer::openFinished);
    QSignalSpy texts(&r.link, &WinKeyer::statusText);
    r.link.open(r.keyer.path());
    EXPECT_EQ(r.beforeOpenCalls, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.isEmpty(); }, kPatience));
    EXPECT_EQ(done.at(0).at(0).toInt(), kWkSuccess);
    EXPECT_EQ(done.at(0).at(1).toInt(), 23);
    EXPECT_EQ(texts.last().at(0).toString(), "WK Success!");
    EXPECT_EQ(r.link.version(), 23);
    // Host open, then speed, weight, lead/tail, ratio, pins and the mode with echo on.
    const QByteArray expected = Hex("0002" "0219" "0332" "040102" "1743" "0905" "0E14");
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.received().size() >= expected.size(); }, kPatience));
    EXPECT_EQ(r.keyer.received().toHex(' '), expected.toHex(' '));

    // Opening again answers "WK Already Open" and sends nothing.
    r.keyer.clearReceived();
    r.link.open(r.keyer.path());
    EXPECT_EQ(done.size(), 2);
    EXPECT_EQ(done.at(1).at(0).toInt(), kWkAlreadyOpen);
    EXPECT_EQ(texts.last().at(0).toString(), "WK Already Open");
    EXPECT_EQ(r.beforeOpenCalls, 1);
    r.link.backspace();  // a marker: whatever arrives before it was sent by the second open
    ASSERT_TRUE(QTest::qWaitFor([&] { return !r.keyer.received().isEmpty(); }, kPatience));
    EXPECT_EQ(r.keyer.received().toHex(' '), "08");

    // A setting changed while open goes out at once.
    r.keyer.clearReceived();
    r.link.setWpm(30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.received().size() >= 2; }, kPatience));
    EXPECT_EQ(r.keyer.received().toHex(' '), "02 1e");
}

TEST(WinKeyer, APortThatCannotOpenSaysSoAndDropsTheMessage)
{
    CwBuffer buffer;
    WinKeyer link(buffer, [] { return std::make_unique<QtSerialLine>(); });
    QSignalSpy done(&link, &WinKeyer::openFinished);
    QSignalSpy texts(&link, &WinKeyer::statusText);
    buffer.append("CQ");
    link.open("/dev/no-such-winkeyer");
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), kWkComOpenFailed);
    EXPECT_EQ(done.at(0).at(1).toInt(), 0);
    EXPECT_EQ(texts.last().at(0).toString(), "Com Open Failed");
    EXPECT_FALSE(link.isOpen());
    link.transmit();  // tries the same device again, fails again, drops the text
    EXPECT_EQ(done.size(), 2);
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(WinKeyer, ASilentKeyerTimesOutOnceAndTheMessageIsDropped)
{
    Rig r;
    r.keyer.silent = true;
    r.link.setWpm(20);
    QSignalSpy done(&r.link, &WinKeyer::openFinished);
    QSignalSpy failed(&r.link, &WinKeyer::failed);
    r.link.open(r.keyer.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.isEmpty(); }, kPatience));
    EXPECT_EQ(done.at(0).at(0).toInt(), kWkNoOpenResponse);
    EXPECT_EQ(done.at(0).at(1).toInt(), 0);
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_EQ(r.keyer.received().toHex(' '), "00 02");  // no settings after a failed open

    // The first message opens the keyer; when that fails the message goes.
    r.buffer.append("CQ TEST");
    r.link.transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.size() == 2; }, kPatience));
    EXPECT_EQ(done.at(1).at(0).toInt(), kWkNoOpenResponse);
    EXPECT_TRUE(r.buffer.isEmpty());
    EXPECT_TRUE(failed.isEmpty());
}

TEST(WinKeyer, AKeyerThatGoesSilentWhileWeWaitForRoomIsClosedOnce)
{
    Rig r;
    ASSERT_TRUE(r.openAndSettle());
    QSignalSpy failed(&r.link, &WinKeyer::failed);
    QSignalSpy closed(&r.link, &WinKeyer::closed);
    r.keyer.hold = true;  // a slow first character: the keyer answers status requests
    r.buffer.append("CQ CQ CQ DE VE3XYZ");
    r.link.transmit();
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    // Alive but slow for well past the answer time: still open.
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    EXPECT_TRUE(r.link.isOpen());
    EXPECT_TRUE(failed.isEmpty());

    r.keyer.silent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failed.isEmpty(); }, kPatience));
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_TRUE(r.buffer.isEmpty());
    EXPECT_EQ(closed.size(), 1);
    r.link.transmit();  // closed with nothing to send: no second message
    r.link.clearBuffer();
    EXPECT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.at(0).at(0).toString().contains("stopped answering"));
}

TEST(WinKeyer, OnlyPrintableTextReachesTheKeyerWithProsignsMerged)
{
    Rig r;
    ASSERT_TRUE(r.openAndSettle());
    QSignalSpy idle(&r.link, &WinKeyer::idle);
    QByteArray keyedWhenIdle;  // idle means the keyer finished, not that it was handed all
    QObject::connect(&r.link, &WinKeyer::idle, [&] { keyedWhenIdle = r.keyer.keyed(); });
    // A paste with CR LF and a tab, a logging "!", the four prosigns, lower case, "-"
    // (BT on the key line) and characters without Morse.
    r.buffer.append(QString::fromUtf8("cq\r\n\tde [x]!;\\ é5nn-#~|,?/."));
    r.link.transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !idle.isEmpty(); }, kPatience));
    const QByteArray expected = QByteArray("CQDE ") + Hex("1B") + "ARX" + Hex("1B") + "SK"
                                + Hex("1B") + "KN" + Hex("1B") + "CL" + " 5NN=,?/.";
    EXPECT_EQ(r.sentWithoutRequests().toHex(' '), expected.toHex(' '));
    EXPECT_EQ(r.keyer.keyed(), "CQDE ARXSKKNCL 5NN=,?/.");
    EXPECT_EQ(keyedWhenIdle, "CQDE ARXSKKNCL 5NN=,?/.");
    EXPECT_EQ(idle.size(), 1);
    EXPECT_EQ(r.link.status(), 0);
}

TEST(WinKeyer, FeedsNoMoreThanTheKeyerMayHoldAndStopsOnXoff)
{
    Rig r;
    ASSERT_TRUE(r.openAndSettle());
    QSignalSpy idle(&r.link, &WinKeyer::idle);
    r.keyer.hold = true;
    r.buffer.append("ABCDEFGHIJKL");
    r.link.transmit();
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    // "A" is being sent; five are waiting in the keyer, the rest wait with us.
    EXPECT_EQ(r.sentWithoutRequests(), "ABCDEF");
    EXPECT_EQ(r.keyer.held(), WinKeyer::kMaxPending);
    EXPECT_EQ(r.buffer.text(), "GHIJKL");
    EXPECT_GT(r.link.status(), 0);

    // Speed-pot bytes are neither echoes nor status: they make no room.
    r.keyer.turnSpeedPot(0x3F);
    r.keyer.turnSpeedPot(0x04);
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    EXPECT_EQ(r.sentWithoutRequests(), "ABCDEF");

    // The keyer says its buffer is nearly full: however many it has sent since, nothing
    // more goes until it says otherwise.
    r.keyer.forceXoff = true;
    r.keyer.sendStatusNow();
    r.keyer.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.keyed() == "ABCDEF" && !r.keyer.busy(); },
                                kPatience));
    ASSERT_TRUE(r.waitUntilWaitingForRoom());
    EXPECT_EQ(r.sentWithoutRequests(), "ABCDEF");
    EXPECT_TRUE(idle.isEmpty());
    r.keyer.forceXoff = false;  // the keyer tells when next asked
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.keyed() == "ABCDEFGHIJKL"; }, kPatience));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !idle.isEmpty(); }, kPatience));
    EXPECT_EQ(r.sentWithoutRequests(), "ABCDEFGHIJKL");
    EXPECT_LE(r.keyer.mostHeld(), WinKeyer::kMaxPending);
    EXPECT_EQ(idle.size(), 1);
    EXPECT_EQ(r.link.status(), 0);
}

TEST(WinKeyer, ClearAndBackspaceGoToTheKeyer)
{
    Rig r;
    ASSERT_TRUE(r.openAndSettle());
    QSignalSpy idle(&r.link, &WinKeyer::idle);
    r.keyer.hold = true;
    r.buffer.append("ABCDEF");  // one being sent, the rest held: nothing left with us
    r.link.transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.held() == WinKeyer::kMaxPending; }, kPatience));
    r.keyer.clearReceived();
    r.link.backspace();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.keyer.held() == WinKeyer::kMaxPending - 1; }, kPatience));
    EXPECT_GT(r.link.status(), 0);
    r.link.clearBuffer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.link.status() == 0; }, kPatience));
    EXPECT_EQ(r.sentWithoutRequests().toHex(' '), "08 0a");
    EXPECT_EQ(r.keyer.held(), 0);
    EXPECT_TRUE(idle.isEmpty());  // stopped, not finished: no repeat pause starts

    // The next message goes out from the start.
    r.keyer.hold = false;
    r.keyer.clearReceived();
    r.buffer.append("TU");
    r.link.transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !idle.isEmpty(); }, kPatience));
    EXPECT_EQ(r.sentWithoutRequests(), "TU");
}

TEST(WinKeyer, CloseSendsHostCloseAndTheNextMessageOpensAgain)
{
    Rig r;
    ASSERT_TRUE(r.openAndSettle());
    QSignalSpy closed(&r.link, &WinKeyer::closed);
    r.link.close();
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_EQ(r.link.version(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !r.keyer.isOpen(); }, kPatience));
    EXPECT_EQ(r.keyer.received().toHex(' '), "00 03");

    QSignalSpy idle(&r.link, &WinKeyer::idle);
    r.keyer.clearReceived();
    r.buffer.append("QRL?");
    r.link.transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !idle.isEmpty(); }, kPatience));
    EXPECT_TRUE(r.link.isOpen());
    EXPECT_EQ(r.beforeOpenCalls, 2);
    EXPECT_TRUE(r.keyer.received().startsWith(Hex("0002")));
    EXPECT_TRUE(r.keyer.received().endsWith("QRL?"));
}

}  // namespace

namespace {

TEST(WinKeyer, TheProgramEndingClearsAndClosesTheKeyer)
{
    WinKeyerEmulator keyer;
    CwBuffer buffer;
    auto link = std::make_unique<WinKeyer>(buffer, [] { return std::make_unique<QtSerialLine>(); });
    QSignalSpy done(link.get(), &WinKeyer::openFinished);
    link->open(keyer.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.isEmpty(); }, kPatience));
    ASSERT_TRUE(link->isOpen());
    keyer.hold = true;
    buffer.append("CQ TEST");
    link->transmit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyer.held() == WinKeyer::kMaxPending; }, kPatience));
    keyer.clearReceived();
    link.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyer.isOpen(); }, kPatience));
    QByteArray got = keyer.received();
    got.replace(char(0x15), QByteArray());  // status requests while it waited for room
    EXPECT_EQ(got.toHex(' '), "0a 00 03");
    EXPECT_EQ(keyer.held(), 0);
}

}  // namespace
