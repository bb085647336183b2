// The exports of a full log: the Cabrillo text (2.0 and 3.0) and the ADIF text (plain and
// with the contest fields the menu writes) for 11000 contacts.

#include "bench_support.h"
#include "logcore/contact_log.h"
#include "outputs/adif_export.h"
#include "outputs/cabrillo.h"

#include <benchmark/benchmark.h>

namespace {

zev::ContactLog &FullLog()
{
    static zev::ContactLog log = [] {
        std::vector<zev::ContactRecord> records;
        zev::ParseLog(zevbench::ContestLog(), records);
        return zev::ContactLog(std::move(records));
    }();
    return log;
}

void BM_CabrilloText(benchmark::State &state)
{
    const zev::ContactLog &log = FullLog();
    if (log.RecordCount() != zev::kLogCapacity)
        state.SkipWithError("log did not load");
    zev::CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9");
    h.scoreText = QStringLiteral("1,234,567");
    h.operators = QStringLiteral("VE3XYZ");
    const zev::CabrilloStation abroad{QStringLiteral("W1XYZ"), QString(), false};
    for (auto _ : state) {
        const QByteArray text = zev::CabrilloText(h, abroad, log.records());
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_CabrilloText)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_Cabrillo3Text(benchmark::State &state)
{
    const zev::ContactLog &log = FullLog();
    if (log.RecordCount() != zev::kLogCapacity)
        state.SkipWithError("log did not load");
    zev::CabrilloHeader h;
    h.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9");
    h.scoreText = QStringLiteral("1,234,567");
    h.operators = QStringLiteral("VE3XYZ");
    const zev::Cabrillo3Choices words = zev::Cabrillo3Words(zev::CabrilloCategories()[1], QStringLiteral("All"));
    const zev::CabrilloStation abroad{QStringLiteral("W1XYZ"), QString(), false};
    for (auto _ : state) {
        const QByteArray text = zev::Cabrillo3Text(h, words, abroad, log.records());
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_Cabrillo3Text)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_AdifText(benchmark::State &state)
{
    const zev::ContactLog &log = FullLog();
    QString error;
    const std::optional<zev::CountryTable> countries =
        zev::ReadCountryTable(QStringLiteral(ZEV_BUILD_DIR "/ADIFCnt.txt"), &error);
    if (log.RecordCount() != zev::kLogCapacity || !countries)
        state.SkipWithError("log or country table did not load");
    zev::AdifOptions o;
    o.mainWindowTitle = QStringLiteral("Velko's ZEV Contest Log 1.9");
    o.exportDate = QStringLiteral("2009-07-02");
    o.power = QStringLiteral("100");
    o.comment = QStringLiteral("ZEV Contest");
    if (state.range(0))
        o.contest = zev::AdifContest{QStringLiteral("ZEV-CANADA-DAY"), QStringLiteral("ON"), true};
    for (auto _ : state) {
        const QByteArray text = zev::AdifText(o, log.records(), countries.value_or(zev::CountryTable()));
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(BM_AdifText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
