#include "Bench.h"

#include "Session.h"
#include "ToolError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace zandrel::tool {
namespace {

using Clock = std::chrono::steady_clock;

// A signal that visits every bit pattern's neighbourhood: a loud sine with a slow sweep.
std::vector<float> testSignal(std::size_t frames, double rate, double phase) {
    std::vector<float> signal(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        signal[i] = static_cast<float>(0.8 * std::sin(2.0 * std::numbers::pi * (220.0 + 220.0 * t) * t + phase));
    }
    return signal;
}

struct Timing {
    double minimum;
    double median;
};

Timing measure(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    const std::size_t n = seconds.size();
    const double median = n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2.0;
    return {seconds.front(), median};
}

}  // namespace

void bench(const BenchCommand& command) {
    const std::int32_t largest = *std::max_element(command.blocks.begin(), command.blocks.end());
    Session session(command.plugin, processingSettings(command.sampleRate, largest));
    session.requireChannels();
    session.configure();
    const AEffect& record = session.record();
    session.apply(command.settings);

    const auto frames = static_cast<std::size_t>(std::max(1.0, std::round(command.seconds * command.sampleRate)));
    std::vector<std::vector<float>> inputs, outputs;
    for (std::int32_t c = 0; c < record.numInputs; ++c) inputs.push_back(testSignal(frames, command.sampleRate, c));
    for (std::int32_t c = 0; c < record.numOutputs; ++c) outputs.emplace_back(frames);
    const bool replacing = (record.flags & effFlagsCanReplacing) != 0;
    std::vector<float*> in(inputs.size()), out(outputs.size());

    const auto run = [&](std::size_t block) {
        for (std::size_t start = 0; start < frames; start += block) {
            for (std::size_t c = 0; c < in.size(); ++c) in[c] = inputs[c].data() + start;
            for (std::size_t c = 0; c < out.size(); ++c) out[c] = outputs[c].data() + start;
            const auto n = static_cast<std::int32_t>(std::min(block, frames - start));
            if (replacing)
                session.plugin().processReplacing(in.data(), out.data(), n);
            else
                session.plugin().process(in.data(), out.data(), n);
        }
    };

    std::printf("%s: %zu frames a run at %g Hz, %d warm-up runs, %d timed runs, %s entry\n", command.plugin.c_str(),
                frames, command.sampleRate, command.warmup, command.runs, replacing ? "replacing" : "accumulating");
    std::printf("%8s %12s %12s %12s %14s\n", "block", "min ms", "median ms", "ns/sample", "x real-time");
    for (const std::int32_t block : command.blocks) {
        // The block size may change only while the plug-in is suspended.
        session.suspend();
        session.plugin().dispatch(effSetBlockSize, 0, block);
        session.resume();
        for (std::int32_t i = 0; i < command.warmup; ++i) run(static_cast<std::size_t>(block));
        std::vector<double> seconds;
        for (std::int32_t i = 0; i < command.runs; ++i) {
            const auto start = Clock::now();
            run(static_cast<std::size_t>(block));
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        }
        const Timing t = measure(seconds);
        const double audioSeconds = static_cast<double>(frames) / command.sampleRate;
        std::printf("%8d %12.4f %12.4f %12.3f %14.1f\n", block, t.minimum * 1e3, t.median * 1e3,
                    t.minimum * 1e9 / static_cast<double>(frames), audioSeconds / t.minimum);
    }
    session.suspend();
}

}  // namespace zandrel::tool
