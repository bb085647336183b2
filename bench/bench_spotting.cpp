// A cluster bursts 1000 spots within one second over the Telnet link while the setup
// window and the spot list run: the longest gap between two passes of the event loop must
// stay under 50 ms, and every spot must arrive. Each iteration reports that gap.

#include "common/prompter.h"
#include "frame/registry.h"
#include "frame/session.h"
#include "logcore/prefix_table.h"
#include "spotting/packet_spot_window.h"
#include "spotting/spot_service_device.h"
#include "spotting/spot_intake.h"
#include "spotting/spot_list_ui.h"
#include "spotting/spot_store.h"

#include <benchmark/benchmark.h>

#include "bench_gui_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kSpots = 1000;

class SilentPrompter : public zev::Prompter {
public:
    void message(const QString &, const QString &, zev::PromptIcon, const QString &) override {}
    bool askYesNo(const QString &, const QString &, zev::PromptIcon, zev::DefaultAnswer) override { return false; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> openFile(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> saveFile(const QString &, const QString &, const QString &, bool) override { return {}; }
    std::optional<quint32> chooseColour(quint32) override { return {}; }
    void beep() override {}
};

QByteArray SpotLine(int i)
{
    QString s = QStringLiteral("DX de W3LPL-#:").leftJustified(15, QLatin1Char(' '));
    s += QString::number(14000.0 + (i % 300) * 0.1, 'f', 1).rightJustified(9, QLatin1Char(' '));
    s += QStringLiteral("  ");
    s += QStringLiteral("K%1ABC").arg(i).leftJustified(13, QLatin1Char(' '));
    s += QStringLiteral("CW 23 dB 28 WPM CQ").leftJustified(31, QLatin1Char(' '));
    s += QStringLiteral("1234Z\r\n");
    return s.toLatin1();
}

// A cluster on its own thread: 1000 spots in 50 bursts over one second, then it hangs up.
class BurstCluster {
public:
    BurstCluster()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(listener_, 1);
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~BurstCluster()
    {
        thread_.join();
        ::close(listener_);
    }
    quint16 port() const { return port_; }

private:
    void serve()
    {
        const int c = ::accept(listener_, nullptr, nullptr);
        if (c < 0)
            return;
        for (int burst = 0; burst < 50; ++burst) {
            QByteArray chunk;
            for (int k = 0; k < kSpots / 50; ++k)
                chunk += SpotLine(burst * (kSpots / 50) + k);
            for (qsizetype sent = 0; sent < chunk.size();) {
                const ssize_t n = ::send(c, chunk.constData() + sent, size_t(chunk.size() - sent), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += n;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::close(c);
    }

    int listener_ = -1;
    quint16 port_ = 0;
    std::thread thread_;
};

void BM_TelnetBurstOf1000Spots(benchmark::State &state)
{
    QTemporaryDir dir;
    SilentPrompter prompter;
    zev::SystemClock clock;
    zev::Registry registry(dir.filePath("registry.ini"));
    zev::Session session(zev::Folders{dir.path(), {}, {}, {}, {}}, prompter, clock, registry);
    session.prefs.MyCall = QStringLiteral("VE3ZZZ");
    // Every spot's country is looked up in the real prefix table.
    zev::LoadPrefixTable(session.prefixes, QStringLiteral(ZEV_BUILD_DIR), {}, {});
    double worst = 0;
    bool lost = false;
    for (auto _ : state) {
        zev::SpotService links(session);
        zev::PacketSpotWindow w(session, links);
        QTreeWidget list;
        zev::SetupSpotList(&list, 1000);
        int spots = 0;
        QObject::connect(&links.intake(), &zev::SpotIntake::spotAdded, [&](const zev::SpotRow &row) {
            zev::AddSpotRow(&list, row);
            ++spots;
        });
        w.Form_Load();
        w.show();
        list.show();
        w.List1->setCurrentRow(2);  // Telnet
        // The first paint (fonts, layout) is not part of the burst.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        BurstCluster cluster;
        w.txtTelnetHost->setText(QStringLiteral("127.0.0.1"));
        w.txtTelnetPort->setText(QString::number(cluster.port()));
        w.Open();

        QElapsedTimer timer;
        timer.start();
        qint64 last = timer.nsecsElapsed(), longest = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = timer.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        probe.start(1);
        while (spots < kSpots && timer.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        probe.stop();
        const double gap = double(longest) / 1e6;
        state.SetIterationTime(gap / 1000);
        worst = std::max(worst, gap);
        lost = lost || spots != kSpots;
        w.Close();
    }
    state.counters["longest_gap_ms"] = worst;
    std::fprintf(stderr, "longest gap %.1f ms\n", worst);
    if (lost)
        state.SkipWithError("spots were lost");
    else if (worst >= 50)
        state.SkipWithError("the event loop waited 50 ms or more");
}

BENCHMARK(BM_TelnetBurstOf1000Spots)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A peer flooding NUL bytes and Telnet commands with no line end: what the Telnet link and
// the intake do with each 64 KB read, in bytes a second. The window stays answering
// while one read takes well under a millisecond.
void BM_TelnetCommandFlood(benchmark::State &state)
{
    QByteArray chunk;
    quint32 seed = 7;
    const char pieces[][3] = {{'\0', '\0', '\0'}, {'\xFF', '\xFF', '\0'}, {'\xFF', '\xFD', '\x18'},
                              {'\xFF', '\xF1', '\0'}, {'\xFF', '\xFA', '\x18'}, {'\xFF', '\xF0', '\0'}};
    while (chunk.size() < 64 * 1024) {
        seed = seed * 1103515245u + 12345u;
        chunk.append(pieces[(seed >> 16) % 6], 3);
    }
    zev::SpotStore store;
    zev::PrefixTable prefixes;
    zev::SystemClock clock;
    zev::SpotIntake intake(store, prefixes, clock);
    zev::TelnetFilter filter;
    QByteArray replies;
    for (auto _ : state) {
        intake.takeTelnet(filter.feed(chunk, replies));
        benchmark::DoNotOptimize(intake.monitor().size());
        replies.clear();
    }
    state.SetBytesProcessed(qint64(state.iterations()) * chunk.size());
}

BENCHMARK(BM_TelnetCommandFlood)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    return zevbench::RunWindowBenchmarks(argc, argv);
}
