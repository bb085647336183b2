// Prefix lookup runs on every keystroke in the call field: it must stay within
// a few microseconds over the real table.

#include "logcore/prefix_table.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

const zev::PrefixTable &Table()
{
    static const zev::PrefixTable table = [] {
        zev::PrefixTable t;
        if (zev::LoadPrefixTable(t, QString(), QString(), QStringLiteral(ZEV_BUILD_DIR)).isEmpty()) {
            std::fprintf(stderr, "no arrlpre2.txt in %s\n", ZEV_BUILD_DIR);
            std::exit(1);
        }
        return t;
    }();
    return table;
}

const QStringList &Calls()
{
    static const QStringList calls = {
        QStringLiteral("VE3ABC"), QStringLiteral("W1AW"),   QStringLiteral("JA1ABC"),
        QStringLiteral("4X1AB"),  QStringLiteral("KG4ABC"), QStringLiteral("ZS6ABC"),
        QStringLiteral("9A1AA"),  QStringLiteral("W1AW/VE3"), QStringLiteral("K5ZD"),
        QStringLiteral("N6TR"),   QStringLiteral("DL1ABC"), QStringLiteral("G3XYZ"),
        QStringLiteral("UA9ABC"), QStringLiteral("VK2ABC"), QStringLiteral("PY2XX"),
        QStringLiteral("LU1AA"),  QStringLiteral("3B8CF"),  QStringLiteral("OH2BH"),
        QStringLiteral("ve7abc"), QStringLiteral("QQ9ZZZ"),
    };
    return calls;
}

void BM_LookupPrefix(benchmark::State &state)
{
    const zev::PrefixTable &table = Table();
    const QStringList &calls = Calls();
    for (auto _ : state) {
        for (const QString &call : calls)
            benchmark::DoNotOptimize(zev::LookupPrefix(table, call, 44.35, 78.75));
    }
    state.SetItemsProcessed(state.iterations() * calls.size());
    // Seconds per lookup, shown in the "per_call" column.
    state.counters["per_call"] = benchmark::Counter(
        double(state.iterations() * calls.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

// Repetitions give mean, median and spread; the median is the figure to watch.
BENCHMARK(BM_LookupPrefix)->Repetitions(9)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
