// Radios through Hamlib: its dummy radio in this process, and a real rigctld on loopback
// that the network model reads, that dies, and that stops answering.

#include "frame/registry.h"
#include "rig/hamlib_rig_device.h"
#include "rig/port_map.h"
#include "rig/rig_family.h"
#include "rig/rig_link.h"
#include "test_support.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <hamlib/rig.h>

#include <csignal>
#include <functional>

using namespace zev;
using zevtest::WaitFor;

namespace {

int FreePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// A rigctld with Hamlib's dummy radio on a loopback port, killed with the test.
struct Rigctld {
    QProcess process;
    int port = FreePort();
    bool start()
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
        if (exe.isEmpty())
            return false;
        // A port picked free may be taken by another test before rigctld binds it: then
        // rigctld ends, and whatever answers there is not a radio. Try another port.
        for (int attempt = 0; attempt < 3; ++attempt, port = FreePort()) {
            process.start(exe, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(port)});
            if (!process.waitForStarted())
                return false;
            const bool answers = WaitFor([this] {
                return process.state() != QProcess::Running || !ask("f").isEmpty();
            });
            if (answers && process.state() == QProcess::Running)
                return true;
            process.kill();
            process.waitForFinished();
        }
        return false;
    }
    // One rigctl command over its own connection; the first line of the answer.
    QByteArray ask(const QByteArray &command)
    {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (!s.waitForConnected(2000))
            return {};
        s.write(command + '\n');
        s.waitForBytesWritten(2000);
        if (!WaitFor([&s] { return s.canReadLine(); }, 5000))
            return {};
        return s.readLine().trimmed();
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    ~Rigctld()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGCONT);
            process.kill();
            process.waitForFinished();
        }
    }
};

struct HamlibLinkFixture : ::testing::Test {
    QTemporaryDir dir;
    Registry registry{dir.filePath(QStringLiteral("Velko_Software.ini"))};
    RigLink link;
    QList<qint64> frequencies;
    QStringList modes, errors;

    void SetUp() override
    {
        QObject::connect(&link, &RigLink::frequencyRead, [this](qint64 hz) { frequencies << hz; });
        QObject::connect(&link, &RigLink::modeRead, [this](const QString &m) { modes << m; });
        QObject::connect(&link, &RigLink::error,
                         [this](const QString &text, const QString &title) { errors << title + QLatin1Char('|') + text; });
    }
    bool start(int model, const QString &address = {})
    {
        link.setHamlibChoice({model, address});
        RigLinkSettings s;
        s.RigName = QStringLiteral("Hamlib");
        s.PollRate = QStringLiteral("F");
        return link.Start(s, PortMap(registry));
    }
    bool read(qint64 hz) { return WaitFor([&] { return !frequencies.isEmpty() && frequencies.last() == hz; }); }
};

}  // namespace

TEST(HamlibChoice, KeptInTheRegistryWithDefaultsForMissingOrBadValues)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Velko_Software.ini"));
    {
        Registry registry(ini);
        EXPECT_EQ(LoadHamlibChoice(registry), HamlibChoice{});
        ASSERT_TRUE(SaveHamlibChoice(registry, {kHamlibNetModel, QStringLiteral(" shack-pi:4532 ")}));
    }
    Registry again(ini);
    EXPECT_EQ(LoadHamlibChoice(again), (HamlibChoice{kHamlibNetModel, QStringLiteral("shack-pi:4532")}));
    ASSERT_TRUE(again.setValue(QStringLiteral("HamlibModel"), QStringLiteral("Yaesu")));
    EXPECT_EQ(LoadHamlibChoice(again).model, kHamlibDummyModel);
}

TEST(HamlibChoice, ModelListHoldsHamlibsOwnRadiosSearchableByMakerAndModel)
{
    const QList<HamlibModel> models = HamlibModels();
    ASSERT_GT(models.size(), 100);
    auto text = [&](int model) {
        for (const HamlibModel &m : models)
            if (m.model == model)
                return m.text;
        return QString();
    };
    EXPECT_EQ(text(kHamlibDummyModel), QStringLiteral("Hamlib Dummy"));
    EXPECT_EQ(text(kHamlibNetModel), QStringLiteral("Hamlib NET rigctl"));
    EXPECT_EQ(text(RIG_MODEL_FT991), QStringLiteral("Yaesu FT-991"));
}

TEST(HamlibModes, MapBothWays)
{
    const struct {
        quint64 hamlib;
        const char *text;
    } read[] = {{RIG_MODE_CW, "CW"}, {RIG_MODE_CWR, "CW"}, {RIG_MODE_USB, "PH"}, {RIG_MODE_LSB, "PH"},
                {RIG_MODE_AM, "PH"}, {RIG_MODE_FM, "PH"},  {RIG_MODE_RTTY, ""},  {RIG_MODE_NONE, ""}};
    for (const auto &c : read)
        EXPECT_EQ(HamlibModeText(c.hamlib), QLatin1String(c.text)) << c.text;
    const struct {
        const char *mode;
        qint64 hz;
        quint64 hamlib;
    } set[] = {{"CW", 14025000, RIG_MODE_CW},   {"PH", 3750000, RIG_MODE_LSB}, {"PH", 14250000, RIG_MODE_USB},
               {"usb", 7100000, RIG_MODE_USB},   {"CW-R", 7010000, RIG_MODE_CWR}, {"RTTY", 14080000, RIG_MODE_RTTY},
               {"FM", 146520000, RIG_MODE_FM},   {"XYZ", 14000000, 0}};
    for (const auto &c : set)
        EXPECT_EQ(HamlibModeFor(QLatin1String(c.mode), c.hz), c.hamlib) << c.mode << ' ' << c.hz;
}

TEST(HamlibRigList, HamlibIsListedLastAfterOther)
{
    const QList<rig::RigDescriptor> &list = rig::RigList();
    ASSERT_GE(list.size(), 2);
    EXPECT_EQ(list.last().name, QStringLiteral("Hamlib"));
    EXPECT_EQ(list[list.size() - 2].name, QStringLiteral("Other"));
}

TEST_F(HamlibLinkFixture, DummyRadioTunesAndReadsBackFrequencyAndMode)
{
    ASSERT_TRUE(start(kHamlibDummyModel));
    ASSERT_TRUE(WaitFor([&] { return !frequencies.isEmpty(); })) << errors.join(QLatin1Char('\n')).toStdString();
    const struct {
        qint64 hz;
        const char *mode;  // asked for; empty: from the band plan
        const char *read;
    } cases[] = {{14025010, "CW", "CW"}, {3750000, "LSB", "PH"}, {7012345, "CW", "CW"}, {21300000, "USB", "PH"}};
    for (const auto &c : cases) {
        link.ChangeFrequency(c.hz, QLatin1String(c.mode));
        EXPECT_TRUE(read(c.hz)) << c.hz;
        EXPECT_TRUE(WaitFor([&] { return !modes.isEmpty() && modes.last() == QLatin1String(c.read); })) << c.hz;
        EXPECT_EQ(link.RigFrequencyHz(), c.hz);
    }
    EXPECT_EQ(link.state(), QString());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    link.Stop();
    EXPECT_EQ(link.state(), kLinkStopped);
}

TEST_F(HamlibLinkFixture, UnknownModelStopsTheLinkWithTheReason)
{
    QSignalSpy stopped(&link, &RigLink::stateChanged);
    ASSERT_TRUE(start(999999));
    ASSERT_TRUE(WaitFor([&] { return !errors.isEmpty(); }));
    EXPECT_TRUE(errors.first().startsWith(kInvalidCommTitle + QLatin1Char('|'))) << errors.first().toStdString();
    EXPECT_TRUE(errors.first().contains(QLatin1String("999999"))) << errors.first().toStdString();
    EXPECT_FALSE(link.polling());
    EXPECT_EQ(link.state(), kLinkStopped);
}

TEST_F(HamlibLinkFixture, NetworkModelReadsAndTunesARigctld)
{
    Rigctld rigctld;
    if (!rigctld.start())
        GTEST_SKIP() << "rigctld (libhamlib-utils) is not installed";
    ASSERT_EQ(rigctld.ask("F 21012340"), QByteArray("RPRT 0"));
    ASSERT_TRUE(start(kHamlibNetModel, rigctld.address()));
    EXPECT_TRUE(read(21012340)) << errors.join(QLatin1Char('\n')).toStdString();
    link.ChangeFrequency(qint64(7031500), QStringLiteral("CW"));
    EXPECT_TRUE(WaitFor([&] { return rigctld.ask("f") == "7031500"; }));
    EXPECT_TRUE(read(7031500));
    EXPECT_TRUE(WaitFor([&] { return !modes.isEmpty() && modes.last() == QLatin1String("CW"); }));
}

// A rigctld that dies or hangs while polled: the link says "No Response" and the window's
// loop keeps turning (this test's own waits run on it).
TEST_F(HamlibLinkFixture, RigctldKilledOrStoppedMidPollGivesNoResponse)
{
    for (const int sig : {SIGKILL, SIGSTOP}) {
        SCOPED_TRACE(sig == SIGKILL ? "killed" : "stopped");
        Rigctld rigctld;
        if (!rigctld.start())
            GTEST_SKIP() << "rigctld (libhamlib-utils) is not installed";
        frequencies.clear();
        ASSERT_TRUE(start(kHamlibNetModel, rigctld.address()));
        ASSERT_TRUE(WaitFor([&] { return !frequencies.isEmpty(); }))
            << "state " << link.state().toStdString() << " errors " << errors.join(';').toStdString() << " rigctld "
            << rigctld.process.state() << " " << rigctld.ask("f").toStdString();
        ASSERT_EQ(link.state(), QString());
        QSignalSpy responses(&link, &RigLink::responseState);
        ::kill(pid_t(rigctld.process.processId()), sig);
        EXPECT_TRUE(WaitFor([&] { return link.state() == kNoResponse; }));
        EXPECT_TRUE(link.polling());
        ASSERT_FALSE(responses.isEmpty());
        EXPECT_EQ(responses.last().at(0).toString(), kNoResponse);
        link.Stop();
    }
}
