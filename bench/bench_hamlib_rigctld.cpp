// A radio shared through rigctld that stops answering (the daemon is frozen with SIGSTOP)
// must not hold up the window: while the link polls it at "100 ms" and a frequency
// command waits for it, the longest gap between two passes of the event loop must stay
// under 20 ms. Each iteration reports that gap.

#include "frame/registry.h"
#include "rig/port_map.h"
#include "rig/rig_link.h"
#include "event_loop_gap.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>

namespace {

using zevbench::LongestGapMs;

void BM_FrozenRigctld(benchmark::State &state)
{
    const QString exe = QStandardPaths::findExecutable("rigctld");
    if (exe.isEmpty()) {
        state.SkipWithError("rigctld (libhamlib-utils) is not installed");
        return;
    }
    int port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess rigctld;
    rigctld.start(exe, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    if (!rigctld.waitForStarted()) {
        state.SkipWithError("rigctld did not start");
        return;
    }
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        up = s.waitForConnected(100);
        if (!up)
            LongestGapMs(50);
    }

    QTemporaryDir dir;
    zev::Registry registry(dir.filePath("registry.ini"));
    zev::RigLink link;
    link.setHamlibChoice({zev::kHamlibNetModel, QStringLiteral("127.0.0.1:%1").arg(port)});
    zev::RigLinkSettings s;
    s.RigName = "Hamlib";
    s.PollRate = "F";
    qint64 read = 0;
    QObject::connect(&link, &zev::RigLink::frequencyRead, [&](qint64 hz) { read = hz; });
    if (!up || !link.Start(s, zev::PortMap(registry))) {
        state.SkipWithError("the link did not start");
        return;
    }
    LongestGapMs(5000, [&] { return read != 0; });
    if (read == 0) {
        state.SkipWithError("rigctld never answered");
        return;
    }
    const pid_t pid = pid_t(rigctld.processId());
    ::kill(pid, SIGSTOP);
    double worst = 0;
    for (auto _ : state) {
        link.ChangeFrequency(qint64(14025000), QStringLiteral("CW"));
        const double gap = LongestGapMs(2000);
        state.SetIterationTime(gap / 1000);
        worst = std::max(worst, gap);
    }
    const bool silent = link.state() == zev::kNoResponse;
    ::kill(pid, SIGCONT);
    link.Stop();
    rigctld.kill();
    rigctld.waitForFinished();
    state.counters["longest_gap_ms"] = worst;
    if (!silent)
        state.SkipWithError("the link never said No Response");
    else if (worst >= 20)
        state.SkipWithError("the event loop waited 20 ms or more");
}

BENCHMARK(BM_FrozenRigctld)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
