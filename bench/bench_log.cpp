// Loading the working log: read, parse, total and tally an 11000-contact file.

#include "logcore/contact_log.h"
#include "common/file_io.h"
#include "bench_support.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_LoadFullLog(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    zev::WriteFileAtomic(path, zevbench::ContestLog());
    std::vector<zev::ContactRecord> records;
    zev::ContactLog log;
    for (auto _ : state) {
        const zev::LogReadResult r = zev::ReadLogFile(path, records);
        if (!r.ok || records.size() != size_t(zev::kLogCapacity))
            state.SkipWithError("log did not load");
        log.setRecords(std::move(records));
        benchmark::DoNotOptimize(log.mults.TotalMultipliers());
    }
}
BENCHMARK(BM_LoadFullLog)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
