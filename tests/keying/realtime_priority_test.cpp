// Real time for the keying thread: which way is taken for which limits and answers, what
// CW Setup then says, and the RealtimeKit calls against a service on a private bus.

#include "keying/realtime_priority.h"
#include "keying/rtkit_device.h"

#include "test_support.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

using namespace zev;

namespace {

struct Calls {
    QList<int> fifo;
    QList<qint64> rtTimeSet;
    QList<std::pair<quint64, int>> granted;
};

struct Case {
    const char *name;
    int fifoAllowedUpTo;  // SCHED_FIFO succeeds up to this priority (0: refused)
    int rtprioLimit;
    std::optional<RtKitOffer> offer;  // nothing: RealtimeKit does not answer
    qint64 rtTimeLimit;               // -1: none
    bool rtTimeSettable;
    bool rtkitGrants;
    RealTimeOutcome::Way way;
    int priority;
    QList<qint64> rtTimeSet;
    const char *reasonHas;
};

TEST(RealTimePriority, TheFirstWayThatWorksIsTaken)
{
    const Case cases[] = {
        {"root or a generous limit", 99, 0, RtKitOffer{20, 200000}, -1, true, true, RealTimeOutcome::Way::Direct, 10,
         {}, ""},
        {"a limit below the wish", 5, 5, RtKitOffer{20, 200000}, -1, true, true, RealTimeOutcome::Way::Direct, 5, {},
         ""},
        {"RealtimeKit, the cap set first", 0, 0, RtKitOffer{20, 200000}, -1, true, true,
         RealTimeOutcome::Way::RtKit, 10, {200000}, ""},
        {"RealtimeKit's maximum below the wish", 0, 0, RtKitOffer{3, 200000}, -1, true, true,
         RealTimeOutcome::Way::RtKit, 3, {200000}, ""},
        {"a cap already low enough stays", 0, 0, RtKitOffer{20, 200000}, 100000, true, true,
         RealTimeOutcome::Way::RtKit, 10, {}, ""},
        {"a cap too high is lowered", 0, 0, RtKitOffer{20, 200000}, 500000, true, true, RealTimeOutcome::Way::RtKit,
         10, {200000}, ""},
        {"the cap cannot be set", 0, 0, RtKitOffer{20, 200000}, -1, false, true, RealTimeOutcome::Way::None, 0,
         {200000}, "CPU-time limit"},
        {"RealtimeKit allows nothing", 0, 0, RtKitOffer{0, 200000}, -1, true, true, RealTimeOutcome::Way::None, 0,
         {}, "allows no real-time priority"},
        {"RealtimeKit refuses", 0, 0, RtKitOffer{20, 200000}, -1, true, false, RealTimeOutcome::Way::None, 0,
         {200000}, "RealtimeKit refused: not today"},
        {"no RealtimeKit", 0, 0, std::nullopt, -1, true, true, RealTimeOutcome::Way::None, 0, {},
         "did not answer: no bus"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Calls calls;
        RealTimeSystem s;
        s.setFifo = [&](int p) {
            calls.fifo << p;
            return p <= c.fifoAllowedUpTo;
        };
        s.rtprioLimit = [&] { return c.rtprioLimit; };
        s.rtTimeLimit = [&] { return c.rtTimeLimit; };
        s.setRtTimeLimit = [&](qint64 us) {
            calls.rtTimeSet << us;
            return c.rtTimeSettable;
        };
        s.threadId = [] { return quint64(4242); };
        s.rtkitOffer = [&](QString *error) {
            if (!c.offer)
                *error = QStringLiteral("no bus");
            return c.offer;
        };
        s.rtkitMakeRealtime = [&](quint64 tid, int p, QString *error) {
            calls.granted.append({tid, p});
            if (!c.rtkitGrants)
                *error = QStringLiteral("not today");
            return c.rtkitGrants;
        };
        const RealTimeOutcome out = RaiseToRealTime(kKeyingRealTimePriority, s);
        EXPECT_EQ(out.way, c.way);
        EXPECT_EQ(out.priority, c.priority);
        EXPECT_TRUE(out.reason.contains(QLatin1String(c.reasonHas))) << out.reason.toStdString();
        EXPECT_EQ(calls.rtTimeSet, c.rtTimeSet);
        if (c.way == RealTimeOutcome::Way::RtKit) {
            EXPECT_EQ(calls.granted, (QList<std::pair<quint64, int>>{{4242, c.priority}}));
        }
        if (c.way == RealTimeOutcome::Way::Direct) {
            EXPECT_TRUE(calls.granted.isEmpty());
        }
    }
    // Nothing to ask at all.
    const RealTimeOutcome none = RaiseToRealTime(kKeyingRealTimePriority, RealTimeSystem{});
    EXPECT_EQ(none.way, RealTimeOutcome::Way::None);
}

TEST(RealTimePriority, CwSetupSaysWhatTheThreadGotAndHowToAllowRealTime)
{
    struct Shown {
        RealTimeOutcome outcome;
        QStringList has;
    } shown[] = {
        {{RealTimeOutcome::Way::Direct, 10, {}}, {"real time, 10."}},
        {{RealTimeOutcome::Way::RtKit, 3, {}}, {"real time, 3, granted by RealtimeKit"}},
        {{RealTimeOutcome::Way::None, 0, "RealtimeKit refused: busy"},
         {"normal (RealtimeKit refused: busy)", "rtkit", "rtprio", "/etc/security/limits.d/"}},
        {{}, {"not known yet"}},
    };
    for (const Shown &s : shown) {
        const QString text = RealTimeStatusText(s.outcome);
        for (const QString &part : s.has)
            EXPECT_TRUE(text.contains(part)) << text.toStdString() << " lacks " << part.toStdString();
    }
}

// A stand-in for RealtimeKit: its two properties and the grant, recorded.
class FakeRtKit : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
    Q_PROPERTY(int MaxRealtimePriority READ maxPriority)
    Q_PROPERTY(qlonglong RTTimeUSecMax READ rtTimeMax)
public:
    int maxPriority() const { return 7; }
    qlonglong rtTimeMax() const { return 200000; }
    QList<std::pair<qulonglong, uint>> grants;
    bool refuse = false;

public slots:
    void MakeThreadRealtime(qulonglong thread, uint priority)
    {
        if (refuse) {
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                           QStringLiteral("Operation not permitted"));
            return;
        }
        grants.append({thread, priority});
    }
};

// A private bus: dbus-daemon with the session configuration on a socket of its own.
struct PrivateBus {
    QTemporaryDir dir;
    QProcess daemon;
    QString address;
    PrivateBus()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            return;
        address = QStringLiteral("unix:path=") + dir.filePath("bus");
        daemon.start(program, {"--session", "--nofork", "--nopidfile", "--address=" + address});
        if (!daemon.waitForStarted(5000) || !QTest::qWaitFor([&] { return QFile::exists(dir.filePath("bus")); }, 5000))
            address.clear();
    }
    ~PrivateBus()
    {
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
};

TEST(RealTimePriority, RealtimeKitIsAskedForTheKeyingThreadOnTheBus)
{
    PrivateBus bus;
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    ASSERT_FALSE(bus.address.isEmpty());
    QDBusConnection service = QDBusConnection::connectToBus(bus.address, QStringLiteral("fake-rtkit"));
    ASSERT_TRUE(service.isConnected()) << service.lastError().message().toStdString();
    FakeRtKit rtkit;
    ASSERT_TRUE(service.registerObject(kRtKitPath, &rtkit,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(service.registerService(kRtKitService));

    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "refused" : "granted");
        rtkit.refuse = refuse;
        rtkit.grants.clear();
        // From a thread of its own, as the keying thread asks; SCHED_FIFO and the process's
        // limits are left out of this test.
        RealTimeSystem s = DesktopRealTimeSystem(bus.address);
        s.setFifo = [](int) { return false; };
        s.rtprioLimit = [] { return 0; };
        QList<qint64> capped;
        s.rtTimeLimit = [] { return qint64(-1); };
        s.setRtTimeLimit = [&](qint64 us) {
            capped << us;
            return true;
        };
        RealTimeOutcome out;
        quint64 tid = 0;
        std::atomic<bool> done{false};
        std::thread asker([&] {
            tid = quint64(gettid());
            out = RaiseToRealTime(kKeyingRealTimePriority, s);
            done = true;
        });
        // The fake service answers on this thread.
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 20000));
        asker.join();
        EXPECT_EQ(capped, QList<qint64>{200000});
        if (refuse) {
            EXPECT_EQ(out.way, RealTimeOutcome::Way::None);
            EXPECT_TRUE(out.reason.contains("Operation not permitted")) << out.reason.toStdString();
            EXPECT_TRUE(rtkit.grants.isEmpty());
        } else {
            EXPECT_EQ(out.way, RealTimeOutcome::Way::RtKit);
            EXPECT_EQ(out.priority, 7);
            EXPECT_EQ(rtkit.grants, (QList<std::pair<qulonglong, uint>>{{tid, 7u}}));
        }
    }
    service.unregisterService(kRtKitService);
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-rtkit"));
}

}  // namespace

#include "realtime_priority_test.moc"
