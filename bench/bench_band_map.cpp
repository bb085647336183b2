// Redrawing the band map with the store full, as after every spot: lay the labels out
// and paint them. Goal: under 5 ms.

#include "spotting/band_map_widget_ui.h"
#include "spotting/hf_map_window.h"

#include "bench_gui_main.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

const QDateTime kNow(QDate(2009, 7, 1), QTime(18, 0, 0), Qt::UTC);

void FillStore(zev::SpotStore &store)
{
    // Fifty live spots across 20 m, of every age class, a few on other bands.
    for (int i = 0; i < zev::SpotStore::kSlots; ++i) {
        const QString call = QStringLiteral("QQ%1A%2").arg(i % 10).arg(QChar('A' + i % 26));
        const float mhz = i % 7 == 0 ? 7.0f + 0.005f * i : 14.0f + 0.0065f * (i + 1);
        store.add(call + QString::number(i), mhz, kNow.addSecs(-(3500 - 70 * i)), call.left(3));
    }
}

void BM_BandMapRedraw(benchmark::State &state)
{
    zev::SpotStore store;
    FillStore(store);
    zev::BandMapWidget map(store, [] { return kNow; });
    map.resize(1200, 120);
    map.setBand(QStringLiteral("20"));
    QImage image(map.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        map.render(&image);
        if (map.labels().size() < 40)
            state.SkipWithError("labels missing");
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BandMapRedraw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SpectrumMapRedraw(benchmark::State &state)
{
    zev::SpotStore store;
    FillStore(store);
    zev::SpectrumMapView map(store, [] { return kNow; });
    map.resize(1600, 900);
    QImage image(map.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        map.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SpectrumMapRedraw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char **argv)
{
    return zevbench::RunWindowBenchmarks(argc, argv);
}
