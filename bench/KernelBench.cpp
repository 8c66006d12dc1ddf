// What each kernel variant and the built plug-in cost per sample on stereo
// blocks, beside two floors on the same buffers (memcpy and a float gain loop),
// and each as a multiple of the reference, Kernel.h's per-sample loop. One run
// prints the cases and then the summary table.
//
// Natively the cases run under Google Benchmark, whose flags apply. The Windows
// builds, which have no Google Benchmark, and --self-timed use a plain timing
// loop instead: --filter=TEXT keeps the cases whose name contains TEXT, and
// --blocks=N runs each case N times untimed, for instruction counts. In both,
// --same-block feeds every call the same block instead of new audio.
#include "PluginInstance.h"
#include "PluginLibrary.h"
#include "simd/KernelVariants.h"

#ifdef ZANDREL_GOOGLE_BENCHMARK
#include <benchmark/benchmark.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zandrel::bench {
namespace {

constexpr std::int32_t kFrameCounts[] = {64, 512, 4096};
constexpr const char* kOperationNames[] = {"xor", "and", "or", "shl", "sar", "rol"};
constexpr KernelIsa kColumns[] = {KernelIsa::kScalar, KernelIsa::kSse2, KernelIsa::kAvx2, KernelIsa::kAvx512};

// The reference's column is the per-sample loop every variant must match.
std::string columnName(KernelIsa isa) { return isa == KernelIsa::kScalar ? "reference" : kernelIsaName(isa); }

// Keeps the compiler from dropping or merging the blocks it cannot see used.
void keepOutputs() {
#ifdef ZANDREL_GOOGLE_BENCHMARK
    benchmark::ClobberMemory();
#else
    asm volatile("" ::: "memory");
#endif
}

// Two channels of noise in -1..1, without zeros, and the outputs of one block.
// Each call takes the next block of a long signal: on audio a kernel meets new
// samples every time, and a branch predictor must not learn one block by heart
// (with --same-block it may, which flatters branchy code).
class Stereo {
public:
    static constexpr std::size_t kSignal = std::size_t{1} << 16;

    Stereo(std::int32_t frames, bool sameBlock)
        : frames_(static_cast<std::size_t>(frames)), step_(sameBlock ? 0 : frames_) {
        std::mt19937 random(0x5EEDu);
        std::uniform_real_distribution<float> audio(-1.0f, 1.0f);
        for (int c = 0; c < 2; ++c) {
            signal_[c].resize(kSignal);
            for (float& x : signal_[c]) x = audio(random);
            output_[c].assign(frames_, 0.0f);
            out[c] = output_[c].data();
        }
    }
    Stereo(const Stereo&) = delete;
    Stereo& operator=(const Stereo&) = delete;

    // The inputs of the next block.
    float* const* next() {
        for (int c = 0; c < 2; ++c) in_[c] = signal_[c].data() + position_;
        position_ = (position_ + step_) % kSignal;
        return in_;
    }

    float* out[2];

private:
    std::size_t frames_;
    std::size_t step_;
    std::size_t position_ = 0;
    std::vector<float> signal_[2], output_[2];
    float* in_[2] = {};
};

Stereo& buffers(std::int32_t frames, bool sameBlock) {
    static std::map<std::int32_t, std::unique_ptr<Stereo>> all;
    auto& slot = all[frames];
    if (!slot) slot = std::make_unique<Stereo>(frames, sameBlock);
    return *slot;
}

// The plug-in's state after the parameters the library case sets.
constexpr KernelSettings settingsFor(std::int32_t operation) {
    return {operation, 0x4CCE, 12, true, 0.8f, 0.35f, 0.9f};
}

struct Case {
    std::string name;  // column/row, e.g. "avx2/xor/replace/512"
    std::string column;
    std::string row;  // "xor/replace/512"
    std::int32_t frames;
    std::function<void()> block;  // both channels once
};

// The built library, loaded once and set to the xor row's setting.
host::PluginInstance* loadedPlugin() {
    static host::PluginLibrary library(ZANDREL_PLUGIN_PATH);
    static std::unique_ptr<host::PluginInstance> plugin;
    if (plugin || library.error() != host::LoadError::kNone) return plugin.get();
    plugin = std::make_unique<host::PluginInstance>(library.entry());
    if (plugin->error() != host::CreateError::kNone) return nullptr;
    const std::pair<std::int32_t, float> parameters[] = {
        {kParamOperator, 0.1f}, {kParamBits, 0.8f}, {kParamWet, 0.8f}, {kParamDry, 0.35f}, {kParamMaster, 0.9f}};
    for (auto [index, value] : parameters) plugin->setParameter(index, value);
    return plugin.get();
}

std::vector<Case> makeCases(bool sameBlock) {
    std::vector<Case> cases;
    for (std::int32_t frames : kFrameCounts) {
        const std::string size = std::to_string(frames);
        Stereo* io = &buffers(frames, sameBlock);
        for (KernelIsa isa : kColumns) {
            if (!kernelIsaSupported(isa)) continue;
            const ChannelKernels* kernels = &channelKernels(isa);
            for (std::int32_t op = kOpXor; op <= kOpRollLeft; ++op)
                for (Store mode : {Store::kReplace, Store::kAccumulate}) {
                    const std::string row = std::string(kOperationNames[op]) + "/" +
                                            (mode == Store::kReplace ? "replace" : "accumulate") + "/" + size;
                    const ChannelKernel kernel = mode == Store::kReplace ? kernels->replace : kernels->accumulate;
                    const KernelSettings s = settingsFor(op);
                    cases.push_back({columnName(isa) + "/" + row, columnName(isa), row, frames, [=] {
                                         float* const* in = io->next();
                                         kernel(in[0], io->out[0], frames, s);
                                         kernel(in[1], io->out[1], frames, s);
                                     }});
                }
        }
        const auto bytes = static_cast<std::size_t>(frames) * sizeof(float);
        cases.push_back({"floor/memcpy/" + size, "memcpy", size, frames, [=] {
                             float* const* in = io->next();
                             std::memcpy(io->out[0], in[0], bytes);
                             std::memcpy(io->out[1], in[1], bytes);
                         }});
        cases.push_back({"floor/gain/" + size, "gain", size, frames, [=] {
                             float* const* in = io->next();
                             for (int c = 0; c < 2; ++c) {
                                 const float* __restrict x = in[c];
                                 float* __restrict y = io->out[c];
                                 for (std::int32_t i = 0; i < frames; ++i) y[i] = x[i] * 0.9f;
                             }
                         }});
        if (host::PluginInstance* plugin = loadedPlugin())
            cases.push_back({"library/processReplacing/" + size, "processReplacing", size, frames, [=] {
                                 float* const* next = io->next();
                                 float* in[2] = {next[0], next[1]};
                                 plugin->processReplacing(in, io->out, frames);
                             }});
    }
    return cases;
}

// Nanoseconds per block of each case, by name.
using Results = std::map<std::string, double>;

void printSummary(const std::vector<Case>& cases, const Results& results) {
    const auto perSample = [&](const std::string& name, std::int32_t frames) {
        const auto found = results.find(name);
        return found == results.end() ? 0.0 : found->second / (2.0 * frames);
    };
    std::printf("\nns per sample, and the reference's time over each (stereo blocks):\n%-22s", "");
    for (KernelIsa isa : kColumns)
        if (kernelIsaSupported(isa)) std::printf("%18s", columnName(isa).c_str());
    std::printf("\n");
    for (const Case& c : cases) {
        const double reference = perSample(c.name, c.frames);
        if (c.column != "reference" || reference == 0.0) continue;
        std::printf("%-22s", c.row.c_str());
        for (KernelIsa isa : kColumns) {
            if (!kernelIsaSupported(isa)) continue;
            const double t = perSample(columnName(isa) + "/" + c.row, c.frames);
            std::printf("%9.3f (%5.1fx)", t, t > 0.0 ? reference / t : 0.0);
        }
        std::printf("\n");
    }
    std::printf("\nagainst reference/xor/replace at the same size:\n");
    for (const Case& c : cases) {
        const double t = perSample(c.name, c.frames);
        if (c.column == "reference" || c.row.find('/') != std::string::npos || t == 0.0) continue;
        const double reference = perSample("reference/xor/replace/" + c.row, c.frames);
        std::printf("%-30s %9.3f ns (%5.1fx)\n", c.name.c_str(), t, t > 0.0 ? reference / t : 0.0);
    }
}

#ifdef ZANDREL_GOOGLE_BENCHMARK
// The console output as usual; of each case the median over the repetitions
// is kept, or the best run when there are no repetitions.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(Results& results) : results_(results) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const std::string& name = run.run_name.function_name;
            const double ns = run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") medians_[name] = results_[name] = ns;
            } else if (medians_.count(name) == 0) {
                auto [slot, fresh] = results_.try_emplace(name, ns);
                if (!fresh) slot->second = std::min(slot->second, ns);
            }
        }
    }

private:
    Results& results_;
    Results medians_;
};
#endif

// Calibrated batches of at least 20 ms; the best of five.
double timeBlock(const Case& c) {
    using Clock = std::chrono::steady_clock;
    const auto batch = [&](std::int64_t n) {
        const auto start = Clock::now();
        for (std::int64_t i = 0; i < n; ++i) {
            c.block();
            keepOutputs();
        }
        return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    };
    std::int64_t n = 1;
    while (batch(n) < 2e7) n *= 2;
    double best = batch(n) / static_cast<double>(n);
    for (int i = 0; i < 4; ++i) best = std::min(best, batch(n) / static_cast<double>(n));
    return best;
}

int runSelfTimed(const std::vector<Case>& cases, const std::string& filter, long blocks) {
    Results results;
    for (const Case& c : cases) {
        if (c.name.find(filter) == std::string::npos) continue;
        if (blocks > 0) {
            for (long i = 0; i < blocks; ++i) {
                c.block();
                keepOutputs();
            }
            std::printf("%-34s %ld blocks\n", c.name.c_str(), blocks);
            continue;
        }
        results[c.name] = timeBlock(c);
        std::printf("%-34s %10.1f ns per block\n", c.name.c_str(), results[c.name]);
        std::fflush(stdout);
    }
    if (blocks == 0) printSummary(cases, results);
    return 0;
}

}  // namespace
}  // namespace zandrel::bench

int main(int argc, char** argv) {
    using namespace zandrel::bench;
    bool selfTimed = false;
    bool sameBlock = false;
    std::string filter;
    long blocks = 0;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--self-timed")
            selfTimed = true;
        else if (arg == "--same-block")
            sameBlock = true;
        else if (arg.rfind("--filter=", 0) == 0)
            filter = arg.substr(9);
        else if (arg.rfind("--blocks=", 0) == 0)
            blocks = std::stol(arg.substr(9));
        else
            rest.push_back(argv[i]);
    }
    const std::vector<Case> cases = makeCases(sameBlock);
#ifdef ZANDREL_GOOGLE_BENCHMARK
    if (!selfTimed) {
        int count = static_cast<int>(rest.size());
        benchmark::Initialize(&count, rest.data());
        if (benchmark::ReportUnrecognizedArguments(count, rest.data())) return 1;
        for (const Case& c : cases)
            benchmark::RegisterBenchmark(c.name.c_str(), [&c](benchmark::State& state) {
                for (auto _ : state) {
                    c.block();
                    keepOutputs();
                }
                state.SetItemsProcessed(state.iterations() * 2 * c.frames);
            });
        Results results;
        SummaryReporter reporter(results);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        benchmark::Shutdown();
        printSummary(cases, results);
        return 0;
    }
#else
    static_cast<void>(selfTimed);
#endif
    return runSelfTimed(cases, filter, blocks);
}
