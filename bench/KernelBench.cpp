// Processing cost of the built plug-in, per block size.
#include "PluginInstance.h"
#include "PluginLibrary.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void processReplacingThroughTheRecord(benchmark::State& state) {
    static zandrel::host::PluginLibrary library(ZANDREL_PLUGIN_PATH);
    zandrel::host::PluginInstance plugin(library.entry());
    plugin.setParameter(2, 1.0f);
    plugin.setParameter(0, 0.8f);
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::vector<float> left(frames), right(frames), outLeft(frames), outRight(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        left[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i)));
        right[i] = -left[i];
    }
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (auto _ : state) {
        plugin.processReplacing(inputs, outputs, static_cast<std::int32_t>(frames));
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(2 * frames));
}
BENCHMARK(processReplacingThroughTheRecord)->Arg(64)->Arg(512)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
