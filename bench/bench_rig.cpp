// Decoding one radio reply runs on every receive tick: it must stay within a few
// microseconds for every family.

#include "rig/rig_family.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

struct Reply {
    const char *rig;
    QByteArray bytes;
    zev::rig::ReplyKind expect;
};

void BM_DecodeReply(benchmark::State &state, const Reply &reply)
{
    using namespace zev::rig;
    const RigDescriptor *rig = FindRig(QLatin1String(reply.rig));
    if (!rig) {
        std::fprintf(stderr, "no rig %s\n", reply.rig);
        std::exit(1);
    }
    const RigQueries queries{rig->freqQuery, rig->modeQuery, rig->convertToHex};
    RxBuffer rx;
    qint64 now = 0;
    for (auto _ : state) {
        BeginReply(rx);
        const RigReading r = DecodeFrames(*rig, TakeFrames(rx, *rig, reply.bytes, ++now, 1000, reply.expect),
                                          queries);
        if (!r.hasFrequency && !r.hasMode)
            state.SkipWithError("reply did not decode");
        benchmark::DoNotOptimize(r);
    }
    // Seconds per reply, shown in the "per_call" column.
    state.counters["per_call"] = benchmark::Counter(
        double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

const Reply kKenwood{"Kenwood", "FA00014025000;MD3;", zev::rig::ReplyKind::FrequencyAndMode};
const Reply kIcom{"Icom",
                  QByteArray::fromHex("FEFE64E003FDFEFEE0640300500214" "00FD"),
                  zev::rig::ReplyKind::Frequency};
const Reply kYaesu{"Yaesu", QByteArray::fromHex("0140250002"), zev::rig::ReplyKind::FrequencyAndMode};
const Reply kOrion{"Ten Tec Orion", "@AF14025000\r@RMM2\r", zev::rig::ReplyKind::FrequencyAndMode};
const Reply kKenwood2{"Kenwood 2", "IF00014025000    +00000000000310000000;", zev::rig::ReplyKind::FrequencyAndMode};

}  // namespace

// Repetitions give mean, median and spread; the median is the figure to watch.
BENCHMARK_CAPTURE(BM_DecodeReply, kenwood, kKenwood)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_DecodeReply, kenwood2, kKenwood2)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_DecodeReply, icom, kIcom)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_DecodeReply, yaesu, kYaesu)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_DecodeReply, orion, kOrion)->Repetitions(9)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
