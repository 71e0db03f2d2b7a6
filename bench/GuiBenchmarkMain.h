#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// The main() of every benchmark that needs widgets: runs offscreen unless a
// platform is set, so it works without a display.
#define KORVANE_GUI_BENCHMARK_MAIN()                                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QApplication app(argc, argv);                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
