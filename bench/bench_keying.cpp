// How close the keying engine puts every key edge to its ideal time: p50 and p99 of the
// lateness at 20 and 40 WPM, idle and with a second thread busy logging contacts (as the
// window thread does during a contest), with the keying thread in real time and, as on a
// desktop where neither the limits nor RealtimeKit allow it, without. Goal: p99 <= 0.2 ms
// idle.

#include "bench_support.h"
#include "common/file_io.h"
#include "keying/cw_engine.h"
#include "keying/morse.h"
#include "keying/recording_key_line.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Figures {
    size_t edges = 0;
    double p50Us = 0, p99Us = 0, maxUs = 0;
    bool realTime = false;
};

// The logging a contest keeps the window thread busy with: records formatted and appended
// to a file that is forced to disk, as every contact is.
void LogContacts(std::atomic<bool> &stop, const QString &path)
{
    while (!stop) {
        const QByteArray lines = zevbench::ContestLog(50);
        zev::AppendDurable(path, lines);
    }
}

Figures Measure(int wpm, zev::CwTiming timing, bool busy, bool realTime, const QString &text)
{
    zev::CwBuffer buffer;
    auto record = std::make_shared<zev::KeyLineRecord>();
    std::atomic<bool> stop{false};
    QTemporaryDir dir;
    std::thread logger;
    if (busy)
        logger = std::thread([&] { LogContacts(stop, dir.filePath(QStringLiteral("log.txt"))); });

    Figures f;
    {
        zev::CwEngine engine(buffer, nullptr, nullptr,
                             realTime ? zev::LocalRealTimeSystem() : zev::RealTimeSystem{});
        engine.setKeyLine(std::make_unique<zev::RecordingKeyLine>(record));
        engine.setSpeed(wpm);
        engine.setTiming(timing);
        buffer.append(text);
        engine.start();
        while (engine.isSending() || !buffer.isEmpty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        f.realTime = engine.hasRealTimePriority();
    }
    stop = true;
    if (logger.joinable())
        logger.join();

    // Set number i belongs to unit i of the message; the first one starts the clock.
    const std::vector<zev::KeyLineRecord::Set> sets = record->sets();
    if (sets.empty())
        return f;
    const double unitNs = double(1'200'000'000LL / wpm);
    std::vector<double> late;
    bool down = false;
    for (size_t i = 0; i < sets.size(); ++i) {
        if (sets[i].down == down)
            continue;  // only the edges the transmitter sees
        down = sets[i].down;
        const double ideal = double(sets[0].ns) + double(i) * unitNs;
        late.push_back(std::abs(double(sets[i].ns) - ideal) / 1000.0);
    }
    std::sort(late.begin(), late.end());
    f.edges = late.size();
    f.p50Us = late[late.size() / 2];
    f.p99Us = late[std::min(late.size() - 1, late.size() * 99 / 100)];
    f.maxUs = late.back();
    return f;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // About 20 s at 20 WPM (200 edges), all characters keyed (no "!" or unknown ones).
    const QString text = QStringLiteral("CQ TEST VE3ZEV 5NN ON TU CQ TEST VE3ZEV 5NN ON TU");
    struct Run {
        int wpm;
        zev::CwTiming timing;
        bool busy;
        bool realTime = true;
    };
    const Run runs[] = {
        {20, zev::CwTiming::Timer, false}, {40, zev::CwTiming::Timer, false},
        {20, zev::CwTiming::Timer, true},  {40, zev::CwTiming::Timer, true},
        {20, zev::CwTiming::Sleep, false}, {20, zev::CwTiming::Timer, true, false},
        {40, zev::CwTiming::Timer, true, false},
    };
    std::printf("%-5s %-6s %-5s %6s %9s %9s %9s  %s\n", "WPM", "timing", "load", "edges", "p50 us", "p99 us",
                "max us", "SCHED_FIFO");
    for (const Run &r : runs) {
        const Figures f = Measure(r.wpm, r.timing, r.busy, r.realTime, text);
        std::printf("%-5d %-6s %-5s %6zu %9.1f %9.1f %9.1f  %s\n", r.wpm,
                    qPrintable(zev::CwTimingText(r.timing)), r.busy ? "busy" : "idle", f.edges, f.p50Us,
                    f.p99Us, f.maxUs, f.realTime ? "yes" : r.realTime ? "no (not permitted)" : "no (not asked)");
        std::fflush(stdout);
    }
    return 0;
}
