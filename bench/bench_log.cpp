// Loading the working log: read, parse and total an 11000-contact file.

#include "logcore/contact_log.h"
#include "common/file_io.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray fullLog()
{
    static const char *const calls[] = {"VE3XYZ", "W1AW", "VA3ZEV", "JA1ABC", "VE7ABC", "K5ZZ"};
    static const char *const provinces[] = {"ON", "12", "ON", "345", "BC", "7"};
    static const char *const bands[] = {"160", "80", "40", "20", "15", "10", "6", "2"};
    QByteArray out;
    for (int i = 0; i < zev::kLogCapacity; ++i) {
        zev::ContactRecord r;
        r.Call = QString::fromLatin1(calls[i % 6]) + QString::number(i % 97);
        r.ReportRcvd = r.ReportSent = "599";
        r.SerialSent = QString::number(i + 1);
        r.ExchangeRcvd = provinces[i % 6];
        r.QsoDate = "2009/07/01";
        r.QsoTime = QStringLiteral("%1:%2:%3").arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
                        .arg(i / 60 % 60, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0'));
        r.Mode = i % 2 ? "CW" : "PH";
        r.Band = bands[i % 8];
        r.Points = i % 3 ? 10 : 2;
        r.Frequency = "14.025";
        r.Country = "Canada";
        out += zev::RecordLine(r) + "\r\n";
    }
    return out;
}

void BM_LoadFullLog(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    zev::WriteFileAtomic(path, fullLog());
    std::vector<zev::ContactRecord> records;
    for (auto _ : state) {
        const zev::LogReadResult r = zev::ReadLogFile(path, records);
        if (!r.ok || records.size() != size_t(zev::kLogCapacity))
            state.SkipWithError("log did not load");
        benchmark::DoNotOptimize(zev::SumPoints(records));
    }
}
BENCHMARK(BM_LoadFullLog)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
