#pragma once
// The main of a benchmark that needs windows: offscreen unless a platform is chosen.

#include <QApplication>
#include <benchmark/benchmark.h>

namespace zevbench {

inline int RunWindowBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace zevbench
