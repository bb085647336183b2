// Marking every row of a full spot list (200 rows) against a full log (11000 contacts), as
// after each contact logged, edited or deleted. Goal: under 20 ms, the window keeps up.

#include "logcore/contact_log.h"
#include "spotting/spot_list_ui.h"
#include "spotting/spot_status.h"

#include "bench_gui_main.h"

#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

std::vector<zev::ContactRecord> FullLog()
{
    static const char *const kProvinces[] = {"ON", "QC", "BC", "AB", "MB", "SK", "NS"};
    std::vector<zev::ContactRecord> records;
    for (int i = 0; i < zev::kLogCapacity; ++i) {
        zev::ContactRecord r;
        r.Call = QStringLiteral("VE%1A%2").arg(i % 9 + 1).arg(i, 4, 36, QLatin1Char('0')).toUpper();
        r.ExchangeRcvd = QString::fromLatin1(kProvinces[i % 7]);
        r.Band = zev::BandCodes().at(i % 6);
        r.Mode = i % 2 ? QStringLiteral("CW") : QStringLiteral("PH");
        records.push_back(r);
    }
    return records;
}

void BM_MarkFullSpotList(benchmark::State &state)
{
    const zev::ContactLog log(FullLog());
    QTreeWidget list;
    zev::SetupSpotList(&list, 1200);
    for (int i = 0; i < zev::kSpotListRows; ++i) {
        zev::SpotRow row;
        // Half of them in the log, half not.
        row.Call = QStringLiteral("VE%1B%2").arg(i % 9 + 1).arg(i, 4, 36, QLatin1Char('0')).toUpper();
        if (i % 2)
            row.Call = log.record(i * 50 + 1).Call;
        row.Frequency = QString::number(14.0 + 0.001 * i, 'f', 3);
        zev::AddSpotRow(&list, row);
    }
    bool flip = false;
    for (auto _ : state) {
        // Alternate modes so every pass rewrites the rows.
        flip = !flip;
        const QString mode = flip ? QStringLiteral("CW") : QStringLiteral("PH");
        zev::MarkSpotRows(&list, [&](const QString &call, float mhz) {
            return zev::MarkSpot(log, call, mhz, QStringLiteral("20"), mode);
        });
        benchmark::DoNotOptimize(list.topLevelItem(0));
    }
}
BENCHMARK(BM_MarkFullSpotList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    return zevbench::RunWindowBenchmarks(argc, argv);
}
