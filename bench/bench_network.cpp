// A station of several positions sharing one log through a real mosquitto on loopback:
// how soon a contact logged on one position is applied on another (99th percentile under
// 50 ms), how long a position joining late takes to catch up 10,000 contacts (under 2 s),
// and what sharing adds to logging one contact.

#include "../tests/support/mqtt_broker.h"
#include "common/file_io.h"
#include "logcore/contact_log.h"
#include "network/shared_log_link_device.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using namespace zev;

ContactRecord Contact(int i)
{
    ContactRecord r;
    r.Call = QStringLiteral("K%1AB").arg(i);
    r.ReportRcvd = r.ReportSent = QStringLiteral("599");
    r.SerialSent = QString::number(i + 1);
    r.ExchangeRcvd = QStringLiteral("ON");
    r.QsoDate = QStringLiteral("2013/07/01");
    r.QsoTime = QStringLiteral("%1:%2:%3")
                    .arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
                    .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(i % 60, 2, 10, QLatin1Char('0'));
    r.Mode = QStringLiteral("CW");
    r.Band = QStringLiteral("20");
    r.Points = 10;
    r.Frequency = QStringLiteral("14.025");
    r.Country = QStringLiteral("USA");
    return r;
}

bool RunUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

struct Position {
    QTemporaryDir dir;
    ContactLog log;
    std::unique_ptr<SharedLog> shared;
    MqttLink link;
    std::unique_ptr<SharedLogLink> joined;

    bool start(const QString &name, int port)
    {
        shared = std::make_unique<SharedLog>(log, dir.path(), name);
        joined = std::make_unique<SharedLogLink>(*shared, link);
        QString error;
        BrokerSettings s;
        s.host = QStringLiteral("127.0.0.1");
        s.port = port;
        s.station = name;
        return shared->open(&error) && link.start(s, &error) && RunUntil([this] { return link.isConnected(); }, 10000);
    }
};

void BM_ContactAppliedOnAnotherPosition(benchmark::State &state)
{
    zevtest::MosquittoBroker broker;
    Position run, mult;
    if (!broker.start() || !run.start(QStringLiteral("RUN"), broker.port()) ||
        !mult.start(QStringLiteral("MULT"), broker.port())) {
        state.SkipWithError("mosquitto could not be started");
        return;
    }
    std::vector<double> ms;
    int i = 0;
    for (auto _ : state) {
        const int before = mult.log.RecordCount();
        QElapsedTimer t;
        t.start();
        QString error;
        run.shared->store(Contact(i++), &error);
        if (!RunUntil([&] { return mult.log.RecordCount() > before; }, 5000)) {
            state.SkipWithError("a contact never arrived");
            return;
        }
        const double took = double(t.nsecsElapsed()) / 1e6;
        ms.push_back(took);
        state.SetIterationTime(took / 1000);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["p50_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_ContactAppliedOnAnotherPosition)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LateJoinerCatchesUp10000(benchmark::State &state)
{
    constexpr int kContacts = 10000;
    zevtest::MosquittoBroker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto could not be started");
        return;
    }
    // RUN logged them all before; its journal and log are written directly.
    Position run;
    {
        MergedLog build;
        std::vector<LogEvent> events;
        std::vector<ContactRecord> contacts;
        QByteArray journal;
        for (int i = 0; i < kContacts; ++i) {
            events.push_back(build.localAdd(QStringLiteral("RUN"), Contact(i)));
            build.apply(events.back());
            journal += EncodeEvent(events.back()) + '\n';
        }
        WriteFileAtomic(run.dir.filePath(QStringLiteral("netlog.txt")), journal);
        WriteFileAtomic(run.dir.filePath(QStringLiteral("log.txt")), FormatLog(build.contacts()));
        WriteFileAtomic(run.dir.filePath(QStringLiteral("netlog.ok")), QByteArray());
    }
    Position witness;
    if (!run.start(QStringLiteral("RUN"), broker.port()) || !witness.start(QStringLiteral("WITNESS"), broker.port()) ||
        !RunUntil([&] { return witness.log.RecordCount() == kContacts; }, 120000)) {
        state.SkipWithError("the broker never held the whole log");
        return;
    }
    for (auto _ : state) {
        Position late;
        QElapsedTimer t;
        t.start();
        if (!late.start(QStringLiteral("LATE"), broker.port()) ||
            !RunUntil([&] { return late.log.RecordCount() == kContacts; }, 60000)) {
            state.SkipWithError("the late position did not catch up");
            return;
        }
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        state.counters["contacts"] = late.log.RecordCount();
    }
}
BENCHMARK(BM_LateJoinerCatchesUp10000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// Logging one contact on a 5000-contact log: alone, and shared (journal, log, send).
void BM_LogOneContact(benchmark::State &state)
{
    const bool shared = state.range(0) != 0;
    zevtest::MosquittoBroker broker;
    Position p;
    if (shared && (!broker.start() || !p.start(QStringLiteral("RUN"), broker.port()))) {
        state.SkipWithError("mosquitto could not be started");
        return;
    }
    std::vector<ContactRecord> base;
    for (int i = 0; i < 5000; ++i)
        base.push_back(Contact(i));
    QString error;
    if (shared) {
        for (const ContactRecord &r : base)
            p.shared->store(r, &error);
    } else {
        WriteFileAtomic(p.dir.filePath(QStringLiteral("log.txt")), FormatLog(base));
        p.log.setRecords(base);
    }
    int i = 5000;
    for (auto _ : state) {
        const ContactRecord r = Contact(i++);
        const bool ok = shared ? p.shared->store(r, &error)
                               : p.log.store(p.dir.filePath(QStringLiteral("log.txt")), r, &error);
        if (!ok) {
            state.SkipWithError("a contact was not logged");
            return;
        }
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LogOneContact)->Arg(0)->Arg(1)->Iterations(300)->Unit(benchmark::kMillisecond);

}  // namespace
