// Building the rate graph of a full contest log, as the "&Graph" command does on opening.

#include "frame/rate_graph.h"
#include "logcore/contact_log.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

namespace {

void BM_BuildRateGraph(benchmark::State &state)
{
    std::vector<zev::ContactRecord> records;
    if (!zev::ParseLog(zevbench::ContestLog(), records).ok) {
        state.SkipWithError("log did not parse");
        return;
    }
    zev::ContactLog log;
    log.setRecords(std::move(records));
    for (auto _ : state) {
        const zev::RateGraph g = zev::BuildRateGraph(log);
        if (!g.ready())
            state.SkipWithError("graph not drawn");
        benchmark::DoNotOptimize(g.MaxRate);
    }
}
BENCHMARK(BM_BuildRateGraph)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
