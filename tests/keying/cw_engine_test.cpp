// The keying engine on its own thread, with a clock that moves only when the engine waits:
// every edge is checked against the time the engine planned for it.

#include "keying/cw_engine.h"
#include "keying/morse.h"
#include "keying/recording_key_line.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using zev::KeyLineRecord;
constexpr qint64 kMs = 1'000'000;

// One engine with a recording line and everything it said.
struct TestStation {
    zev::CwBuffer buffer;
    zev::VirtualCwClock *clock = new zev::VirtualCwClock;
    std::shared_ptr<KeyLineRecord> record = std::make_shared<KeyLineRecord>();
    std::unique_ptr<zev::CwEngine> engine;
    int finished = 0;
    int ended = 0;  // sendingChanged(false)
    int commits = 0;
    bool offThread = false;
    QList<bool> sending;
    QStringList remaining, failures, refusals;

    explicit TestStation(bool withLine = true)
    {
        engine = std::make_unique<zev::CwEngine>(buffer, std::unique_ptr<zev::CwClock>(clock));
        if (withLine)
            engine->setKeyLine(std::make_unique<zev::RecordingKeyLine>(record, [c = clock] { return c->now(); }));
        engine->setSpeed(20);
        auto *e = engine.get();
        auto onOwner = [this] { offThread = offThread || QThread::currentThread() != qApp->thread(); };
        // Direct connections: the signals must arrive on the owner's thread all the same.
        QObject::connect(e, &zev::CwEngine::messageFinished, e, [this, onOwner] { onOwner(); ++finished; }, Qt::DirectConnection);
        QObject::connect(e, &zev::CwEngine::commitRequested, e, [this, onOwner] { onOwner(); ++commits; }, Qt::DirectConnection);
        QObject::connect(e, &zev::CwEngine::sendingChanged, e, [this, onOwner](bool s) { onOwner(); sending << s; ended += s ? 0 : 1; }, Qt::DirectConnection);
        QObject::connect(e, &zev::CwEngine::remainingChanged, e, [this, onOwner](const QString &t) { onOwner(); remaining << t; }, Qt::DirectConnection);
        QObject::connect(e, &zev::CwEngine::lineFailed, e, [this, onOwner](const QString &t) { onOwner(); failures << t; }, Qt::DirectConnection);
        QObject::connect(e, &zev::CwEngine::speedRefused, e, [this, onOwner](const QString &t) { onOwner(); refusals << t; }, Qt::DirectConnection);
    }

    // Sends `text` and waits for the end of the message.
    bool send(const QString &text)
    {
        const int before = ended;
        buffer.append(text);
        engine->start();
        return QTest::qWaitFor([&] { return ended > before && !engine->isSending(); }, 10000);
    }

    // States of every set() and their times from the first one.
    QString states() const
    {
        QString out;
        for (const auto &s : record->sets())
            out += s.down ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
    std::vector<qint64> times() const
    {
        std::vector<qint64> out;
        for (const auto &s : record->sets())
            out.push_back(s.ns);
        return out;
    }
};

std::vector<qint64> Every(qint64 step, size_t n)
{
    std::vector<qint64> out;
    for (size_t i = 0; i < n; ++i)
        out.push_back(qint64(i) * step);
    return out;
}

TEST(CwEngine, KeysALetterUnitByUnitOnItsDeadlines)
{
    struct Case {
        int wpm;
        qint64 unitNs;
    };
    for (const Case &c : {Case{20, 60 * kMs}, Case{40, 30 * kMs}, Case{13, 92'307'692}}) {
        SCOPED_TRACE(c.wpm);
        TestStation st;
        st.engine->setSpeed(c.wpm);
        ASSERT_TRUE(st.send(QStringLiteral("A")));
        // Set for every unit, even when the state stays.
        EXPECT_EQ(st.states(), QStringLiteral("10111000"));
        EXPECT_EQ(st.times(), Every(c.unitNs, 8));
        const auto edges = st.record->edges();
        ASSERT_EQ(edges.size(), 4u);
        EXPECT_EQ(edges[0].ns, 0);
        EXPECT_EQ(edges[1].ns, 1 * c.unitNs);
        EXPECT_EQ(edges[2].ns, 2 * c.unitNs);
        EXPECT_EQ(edges[3].ns, 5 * c.unitNs);
        // The message ends after the letter space, not at its last set().
        EXPECT_EQ(st.clock->deadlines().back(), 8 * c.unitNs);
        EXPECT_FALSE(st.record->isDown());
        EXPECT_EQ(st.sending, (QList<bool>{true, false}));
        EXPECT_EQ(st.remaining, QStringList{QString()});
        EXPECT_FALSE(st.offThread);
    }
}

TEST(CwEngine, LateWakeUpsDoNotAddUp)
{
    TestStation st;
    st.clock->lateNs = 3 * kMs;
    ASSERT_TRUE(st.send(QStringLiteral("AE")));
    EXPECT_EQ(st.states(), QStringLiteral("10111000" "1000"));
    // Each unit is planned from the start of the message, not from the late wake-up before it.
    std::vector<qint64> expected = Every(60 * kMs, 12);
    for (size_t i = 1; i < expected.size(); ++i)
        expected[i] += 3 * kMs;
    EXPECT_EQ(st.times(), expected);
    EXPECT_EQ(st.clock->deadlines().back(), 12 * 60 * kMs);
}

TEST(CwEngine, WordSpaceAndSilentCharactersTakeTheirTime)
{
    struct Case {
        const char *text;
        int wordSpace;
        const char *states;
    };
    const Case cases[] = {
        {"E E", 0, "1000" "00000000" "1000"},
        {"E E", 2, "1000" "0000000000" "1000"},
        {"E E", -8, "1000" "1000"},
        {"E E", -3, "1000" "00000" "1000"},
        {"e%E", 0, "1000" "1000"},  // "%" takes no time at all
        {"E-E=", 0, "1000" "1110101010111000" "1000" "1110101010111000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        TestStation st;
        st.engine->setWordSpace(c.wordSpace);
        ASSERT_TRUE(st.send(QString::fromLatin1(c.text)));
        EXPECT_EQ(st.states(), QString::fromLatin1(c.states));
        // Deadlines run on from the start of the message, unit after unit.
        EXPECT_EQ(st.times(), Every(60 * kMs, qstrlen(c.states)));
    }
}

TEST(CwEngine, EmptyingTheBufferStopsAfterTheCharacterInProgress)
{
    TestStation st;
    bool cleared = false;
    st.clock->onWait = [&](qint64 now) {
        if (!cleared && now >= 120 * kMs) {  // inside the dah of "T"
            cleared = true;
            st.buffer.clear();
        }
    };
    ASSERT_TRUE(st.send(QStringLiteral("TEST")));
    EXPECT_EQ(st.states(), QStringLiteral("111000"));
    EXPECT_FALSE(st.record->isDown());
    EXPECT_TRUE(st.buffer.isEmpty());
    EXPECT_EQ(st.finished, 1);
    EXPECT_EQ(st.sending, (QList<bool>{true, false}));
}

TEST(CwEngine, TextAppendedWhileSendingIsPickedUpByTheSameMessage)
{
    TestStation st;
    bool appended = false;
    st.clock->onWait = [&](qint64) {
        if (!appended) {
            appended = true;
            st.buffer.append(QStringLiteral("T"));
            st.engine->start();  // harmless while sending
        }
    };
    ASSERT_TRUE(st.send(QStringLiteral("E")));
    QTest::qWait(50);
    EXPECT_EQ(st.states(), QStringLiteral("1000" "111000"));
    EXPECT_EQ(st.times(), Every(60 * kMs, 10));
    EXPECT_EQ(st.finished, 1);
    EXPECT_EQ(st.sending, (QList<bool>{true, false}));
    EXPECT_EQ(st.remaining, (QStringList{QStringLiteral("T"), QString()}));
}

TEST(CwEngine, EachExclamationMarkAsksForOneCommit)
{
    TestStation st;
    ASSERT_TRUE(st.send(QStringLiteral("A!E!")));
    EXPECT_EQ(st.commits, 2);
    EXPECT_EQ(st.states(), QStringLiteral("10111000" "1000"));
    ASSERT_TRUE(st.send(QStringLiteral("!")));
    EXPECT_EQ(st.commits, 3);
    EXPECT_EQ(st.remaining.last(), QString());
}

TEST(CwEngine, WithoutALineTheBufferIsStillTakenButNothingKeyed)
{
    TestStation st(false);
    ASSERT_TRUE(st.send(QStringLiteral("AB!")));
    EXPECT_TRUE(st.buffer.isEmpty());
    EXPECT_EQ(st.remaining, (QStringList{QStringLiteral("B!"), QStringLiteral("!"), QString()}));
    EXPECT_EQ(st.commits, 0);
    EXPECT_TRUE(st.clock->deadlines().empty() || st.clock->deadlines().back() == 0);
    EXPECT_EQ(st.sending, (QList<bool>{true, false}));
}

TEST(CwEngine, SpeedOutsideFiveToNinetyNineKeysNothingAndSaysSoOnce)
{
    for (int wpm : {0, -3, 4, 100, zev::SpeedFromText(QString())}) {
        SCOPED_TRACE(wpm);
        TestStation st;
        st.engine->setSpeed(wpm);
        ASSERT_TRUE(st.send(QStringLiteral("CQ CQ TEST")));
        EXPECT_TRUE(st.record->sets().empty());
        EXPECT_EQ(st.record->opens(), 0);  // the line is not even touched
        EXPECT_TRUE(st.buffer.isEmpty());
        ASSERT_EQ(st.refusals.size(), 1);
        EXPECT_TRUE(st.refusals[0].contains(QStringLiteral("%1 WPM").arg(wpm)));
        EXPECT_TRUE(st.failures.isEmpty());
        EXPECT_EQ(st.finished, 0);
    }
    for (int wpm : {5, 99}) {
        SCOPED_TRACE(wpm);
        TestStation st;
        st.engine->setSpeed(wpm);
        ASSERT_TRUE(st.send(QStringLiteral("E")));
        EXPECT_EQ(st.states(), QStringLiteral("1000"));
        EXPECT_TRUE(st.refusals.isEmpty());
    }
}

TEST(CwEngine, AFailingLineIsReleasedReportedOnceAndTheBufferEmptied)
{
    TestStation st;
    st.record->failAtSet(3);  // the second unit of "A"'s dah
    ASSERT_TRUE(st.send(QStringLiteral("AAAA")));
    EXPECT_EQ(st.states(), QStringLiteral("10"));
    EXPECT_FALSE(st.record->isDown());
    EXPECT_TRUE(st.buffer.isEmpty());
    ASSERT_EQ(st.failures.size(), 1);
    EXPECT_TRUE(st.failures[0].contains(QStringLiteral("refused")));

    // The next message tries the line again and reports again, once.
    ASSERT_TRUE(st.send(QStringLiteral("EEEE")));
    EXPECT_EQ(st.failures.size(), 2);
    EXPECT_EQ(st.finished, 0);  // nothing for a repeat to send again
    EXPECT_FALSE(st.record->isDown());
}

TEST(CwEngine, ALineThatWillNotOpenIsReportedOncePerMessage)
{
    TestStation st;
    st.record->failOpen(true);
    ASSERT_TRUE(st.send(QStringLiteral("CQ TEST")));
    EXPECT_TRUE(st.record->sets().empty());
    EXPECT_TRUE(st.buffer.isEmpty());
    EXPECT_EQ(st.failures.size(), 1);
    st.record->failOpen(false);
    ASSERT_TRUE(st.send(QStringLiteral("E")));
    EXPECT_EQ(st.failures.size(), 1);
    EXPECT_EQ(st.states(), QStringLiteral("1000"));
}

TEST(CwEngine, ANewLineReplacesTheOldOneWithItsKeyUp)
{
    TestStation st;
    ASSERT_TRUE(st.send(QStringLiteral("E")));
    auto second = std::make_shared<KeyLineRecord>();
    st.engine->setKeyLine(std::make_unique<zev::RecordingKeyLine>(second));
    ASSERT_TRUE(st.send(QStringLiteral("T")));
    EXPECT_EQ(st.states(), QStringLiteral("1000" "0"));  // released on the way out
    EXPECT_EQ(st.record->closes(), 1);
    EXPECT_EQ(second->sets().size(), 6u);
}

TEST(CwEngine, DestroyedWhileSendingLeavesTheKeyUp)
{
    // The real clock: at 5 WPM a "0" keeps the key down for seconds.
    zev::CwBuffer buffer;
    auto record = std::make_shared<KeyLineRecord>();
    auto engine = std::make_unique<zev::CwEngine>(buffer);
    engine->setKeyLine(std::make_unique<zev::RecordingKeyLine>(record));
    engine->setSpeed(5);
    buffer.append(QStringLiteral("000"));
    engine->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->isDown(); }, 5000));
    EXPECT_TRUE(engine->isSending());
    engine.reset();
    EXPECT_FALSE(record->isDown());
    EXPECT_EQ(record->closes(), 1);
    ASSERT_FALSE(record->sets().empty());
    EXPECT_FALSE(record->sets().back().down);
    EXPECT_FALSE(buffer.isEmpty());  // nothing more was taken
}

TEST(CwEngine, StoredTimingChoicesAndTheLoopCount)
{
    for (const char *t : {"Timer", "Sleep", "Loop"})
        EXPECT_EQ(zev::CwTimingText(zev::CwTimingFromText(QString::fromLatin1(t))), QString::fromLatin1(t));
    EXPECT_EQ(zev::CwTimingFromText(QStringLiteral("junk")), zev::CwTiming::Timer);
    EXPECT_DOUBLE_EQ(zev::LoopCountPerUnit(6000, 20), 6000);
    EXPECT_DOUBLE_EQ(zev::LoopCountPerUnit(6000, 10), 12000);
    EXPECT_DOUBLE_EQ(zev::LoopCountFaster(6000), 5400);
    EXPECT_DOUBLE_EQ(zev::LoopCountSlower(6000), 6667);
    EXPECT_DOUBLE_EQ(zev::LoopCountFaster(25), 22);  // 22.5: a half goes to the even one
    EXPECT_DOUBLE_EQ(zev::LoopCountFaster(35), 32);  // 31.5
}

}  // namespace
